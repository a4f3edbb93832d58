#pragma once
// Evaluation of Newcomb's planetary perturbation series of the Sun at given mean anomalies.

#include <array>

#include "astro/double_pair.h"
#include "astro/unit_angle.h"

constexpr int kPerturbingPlanets = 5;
// Largest |i| and |j| of the term tables.
constexpr int kMaxNewcombMultiple = 17;

template <typename Real> struct NewcombSumsOf {
    Real lonArcsec;
    Real rad1e9;
    Real latArcsec;
};
using NewcombPlanetarySums = NewcombSumsOf<double>;

// Sums amplitude * cos(phase - j * P - i * g) over each series; g is the Sun's mean anomaly (as
// its unit angle) and planetAnomalies the perturbing planets' (PerturbingPlanet order), radians.
// The multiples of the angles come from products of unit complex numbers rather than from one
// cosine per term. Real is double, or DoublePair for two instants at once, each lane equal to
// its own evaluation.
template <typename Real>
NewcombSumsOf<Real>
EvaluateNewcombSeries(const UnitAngleOf<Real>& g,
                      const std::array<Real, kPerturbingPlanets>& planetAnomalies);

extern template NewcombSumsOf<double>
EvaluateNewcombSeries(const UnitAngleOf<double>&, const std::array<double, kPerturbingPlanets>&);
extern template NewcombSumsOf<DoublePair>
EvaluateNewcombSeries(const UnitAngleOf<DoublePair>&,
                      const std::array<DoublePair, kPerturbingPlanets>&);
