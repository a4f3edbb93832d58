#pragma once
// Evaluation of Newcomb's planetary perturbation series of the Sun at given mean anomalies.

#include <array>

#include "astro/unit_angle.h"

constexpr int kPerturbingPlanets = 5;
// Largest |i| and |j| of the term tables.
constexpr int kMaxNewcombMultiple = 17;

struct NewcombPlanetarySums {
    double lonArcsec;
    double rad1e9;
    double latArcsec;
};

// Sums amplitude * cos(phase - j * P - i * g) over each series; g is the Sun's mean anomaly (as
// its unit angle) and planetAnomalies the perturbing planets' (PerturbingPlanet order), radians.
// The multiples of the angles come from products of unit complex numbers rather than from one
// cosine per term.
NewcombPlanetarySums
EvaluateNewcombSeries(const UnitAngle& g,
                      const std::array<double, kPerturbingPlanets>& planetAnomalies);
