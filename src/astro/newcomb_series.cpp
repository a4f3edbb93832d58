// Newcomb's planetary series by angle addition: a dozen sines and cosines per evaluation
// instead of one cosine per term.
#include "astro/newcomb_series.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "astro/angles.h"
#include "astro/newcomb_terms.h"
#include "astro/unit_angle.h"

namespace {

// The multiples -kMaxNewcombMultiple to kMaxNewcombMultiple of an angle, multiple k at index
// kMaxNewcombMultiple + k.
template <typename Real>
using Multiples = std::array<UnitAngleOf<Real>, 2 * kMaxNewcombMultiple + 1>;

// Fills m with the multiples -largest to largest of the angle; those beyond are left unset.
// In place: the arrays are large enough for a copy to cost as much as the products.
template <typename Real>
void fillMultiples(Multiples<Real>& m, const UnitAngleOf<Real>& unit, int largest)
{
    UnitAngleOf<Real>* zero = &m[kMaxNewcombMultiple];
    zero[0] = {Real{} + 1.0, Real{}};
    zero[1] = unit;
    for (int k = 2; k <= largest; ++k)
        zero[k] = zero[k - 1] * zero[1];
    for (int k = 1; k <= largest; ++k)
        zero[-k] = {zero[k].c, -zero[k].s};
}

UnitAngle unitOfDeg(double deg) { return unitAngle(deg * kDegToRad); }

// cos(phase - theta) from the units of phase and theta.
template <typename Real> Real cosDifference(const UnitAngle& phase, const UnitAngleOf<Real>& theta)
{
    return phase.c * theta.c + phase.s * theta.s;
}

// What the tables fix once: the units of the phases, and the largest multiple of each angle
// any term names, beyond which no multiple is worth computing.
struct SeriesConstants {
    std::array<UnitAngle, kNewcombLonRadTerms.size()> lon;
    std::array<UnitAngle, kNewcombLonRadTerms.size()> rad;
    std::array<UnitAngle, kNewcombLatTerms.size()> lat;
    int largestSunMultiple = 1;
    std::array<int, kPerturbingPlanets> largestPlanetMultiple{1, 1, 1, 1, 1};

    template <typename Term> void coverMultiplesOf(const Term& term)
    {
        largestSunMultiple = std::max(largestSunMultiple, std::abs(int{term.i}));
        int& planet = largestPlanetMultiple[static_cast<int>(term.planet)];
        planet = std::max(planet, std::abs(int{term.j}));
    }
};

const SeriesConstants& seriesConstants()
{
    static const SeriesConstants constants = [] {
        SeriesConstants built{};
        for (size_t k = 0; k < kNewcombLonRadTerms.size(); ++k) {
            built.lon[k] = unitOfDeg(kNewcombLonRadTerms[k].lonPhaseDeg);
            built.rad[k] = unitOfDeg(kNewcombLonRadTerms[k].radPhaseDeg);
            built.coverMultiplesOf(kNewcombLonRadTerms[k]);
        }
        for (size_t k = 0; k < kNewcombLatTerms.size(); ++k) {
            built.lat[k] = unitOfDeg(kNewcombLatTerms[k].phaseDeg);
            built.coverMultiplesOf(kNewcombLatTerms[k]);
        }
        return built;
    }();
    return constants;
}

} // namespace

template <typename Real>
NewcombSumsOf<Real>
EvaluateNewcombSeries(const UnitAngleOf<Real>& g,
                      const std::array<Real, kPerturbingPlanets>& planetAnomalies)
{
    const SeriesConstants& constants = seriesConstants();
    Multiples<Real> sun;
    fillMultiples(sun, g, constants.largestSunMultiple);
    std::array<Multiples<Real>, kPerturbingPlanets> planets;
    for (int p = 0; p < kPerturbingPlanets; ++p)
        fillMultiples(planets[p], unitAngle(planetAnomalies[p]),
                      constants.largestPlanetMultiple[p]);
    auto theta = [&](PerturbingPlanet planet, int i, int j) {
        return planets[static_cast<int>(planet)][kMaxNewcombMultiple + j] *
               sun[kMaxNewcombMultiple + i];
    };

    NewcombSumsOf<Real> sums{Real{}, Real{}, Real{}};
    for (size_t k = 0; k < kNewcombLonRadTerms.size(); ++k) {
        const NewcombLonRadTerm& term = kNewcombLonRadTerms[k];
        const UnitAngleOf<Real> t = theta(term.planet, term.i, term.j);
        sums.lonArcsec += term.lonAmplitudeArcsec * cosDifference(constants.lon[k], t);
        sums.rad1e9 += term.radAmplitude1e9 * cosDifference(constants.rad[k], t);
    }
    for (size_t k = 0; k < kNewcombLatTerms.size(); ++k) {
        const NewcombLatTerm& term = kNewcombLatTerms[k];
        sums.latArcsec += term.amplitudeArcsec *
                          cosDifference(constants.lat[k], theta(term.planet, term.i, term.j));
    }
    return sums;
}

template NewcombSumsOf<double> EvaluateNewcombSeries(const UnitAngleOf<double>&,
                                                     const std::array<double, kPerturbingPlanets>&);
template NewcombSumsOf<DoublePair>
EvaluateNewcombSeries(const UnitAngleOf<DoublePair>&,
                      const std::array<DoublePair, kPerturbingPlanets>&);
