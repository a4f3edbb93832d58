#pragma once
// Newcomb's planetary perturbation terms of the Sun's longitude, radius and latitude.

#include <array>

enum class PerturbingPlanet : unsigned char { Mercury, Venus, Mars, Jupiter, Saturn };

// One argument (i, j) with its longitude term (arcseconds) and its log10 R term (units of
// 1e-9); each evaluates as amplitude * cos(phase - j * P - i * g), P the perturbing planet's
// mean anomaly, g the Sun's.
struct NewcombLonRadTerm {
    PerturbingPlanet planet;
    signed char i;
    signed char j;
    double lonAmplitudeArcsec;
    double lonPhaseDeg;
    double radAmplitude1e9;
    double radPhaseDeg;
};

// A latitude term, arcseconds, evaluated the same way.
struct NewcombLatTerm {
    PerturbingPlanet planet;
    signed char i;
    signed char j;
    double amplitudeArcsec;
    double phaseDeg;
};

// Mercury 4, Venus 39, Mars 45, Jupiter 21, Saturn 11.
extern const std::array<NewcombLonRadTerm, 120> kNewcombLonRadTerms;
// Venus 22, Mars 3, Jupiter 7, Saturn 2: Newcomb's tables have only two Saturn terms.
extern const std::array<NewcombLatTerm, 34> kNewcombLatTerms;
