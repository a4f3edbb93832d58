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

using Multiples = std::array<UnitAngle, kMaxNewcombMultiple + 1>;

// The multiples 0 to largest of the angle; those above are left unset.
Multiples multiplesOf(const UnitAngle& unit, int largest)
{
    Multiples m;
    m[0] = {1.0, 0.0};
    m[1] = unit;
    for (int k = 2; k <= largest; ++k)
        m[k] = m[k - 1] * m[1];
    return m;
}

UnitAngle multiple(const Multiples& m, int k)
{
    return k >= 0 ? m[k] : UnitAngle{m[-k].c, -m[-k].s};
}

UnitAngle unitOfDeg(double deg) { return unitAngle(deg * kDegToRad); }

// cos(phase - theta) from the units of phase and theta.
double cosDifference(const UnitAngle& phase, const UnitAngle& theta)
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

NewcombPlanetarySums
EvaluateNewcombSeries(const UnitAngle& g,
                      const std::array<double, kPerturbingPlanets>& planetAnomalies)
{
    const SeriesConstants& constants = seriesConstants();
    const Multiples sun = multiplesOf(g, constants.largestSunMultiple);
    std::array<Multiples, kPerturbingPlanets> planets;
    for (int p = 0; p < kPerturbingPlanets; ++p)
        planets[p] = multiplesOf(unitAngle(planetAnomalies[p]), constants.largestPlanetMultiple[p]);
    auto theta = [&](PerturbingPlanet planet, int i, int j) {
        return multiple(planets[static_cast<int>(planet)], j) * multiple(sun, i);
    };

    NewcombPlanetarySums sums{0.0, 0.0, 0.0};
    for (size_t k = 0; k < kNewcombLonRadTerms.size(); ++k) {
        const NewcombLonRadTerm& term = kNewcombLonRadTerms[k];
        const UnitAngle t = theta(term.planet, term.i, term.j);
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
