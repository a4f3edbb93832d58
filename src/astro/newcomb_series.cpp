// Newcomb's planetary series by angle addition: a dozen sines and cosines per evaluation
// instead of one cosine per term.
#include "astro/newcomb_series.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/newcomb_terms.h"
#include "astro/unit_angle.h"

namespace {

using Multiples = std::array<UnitAngle, kMaxNewcombMultiple + 1>;

Multiples multiplesOf(double angle)
{
    Multiples m{};
    m[0] = {1.0, 0.0};
    m[1] = unitAngle(angle);
    for (int k = 2; k <= kMaxNewcombMultiple; ++k)
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

struct PhaseUnits {
    std::array<UnitAngle, kNewcombLonRadTerms.size()> lon;
    std::array<UnitAngle, kNewcombLonRadTerms.size()> rad;
    std::array<UnitAngle, kNewcombLatTerms.size()> lat;
};

const PhaseUnits& phaseUnits()
{
    static const PhaseUnits units = [] {
        PhaseUnits built{};
        for (size_t k = 0; k < kNewcombLonRadTerms.size(); ++k) {
            built.lon[k] = unitOfDeg(kNewcombLonRadTerms[k].lonPhaseDeg);
            built.rad[k] = unitOfDeg(kNewcombLonRadTerms[k].radPhaseDeg);
        }
        for (size_t k = 0; k < kNewcombLatTerms.size(); ++k)
            built.lat[k] = unitOfDeg(kNewcombLatTerms[k].phaseDeg);
        return built;
    }();
    return units;
}

} // namespace

NewcombPlanetarySums
EvaluateNewcombSeries(double g, const std::array<double, kPerturbingPlanets>& planetAnomalies)
{
    const PhaseUnits& phases = phaseUnits();
    const Multiples sun = multiplesOf(g);
    std::array<Multiples, kPerturbingPlanets> planets{};
    for (int p = 0; p < kPerturbingPlanets; ++p)
        planets[p] = multiplesOf(planetAnomalies[p]);
    auto theta = [&](PerturbingPlanet planet, int i, int j) {
        return multiple(planets[static_cast<int>(planet)], j) * multiple(sun, i);
    };

    NewcombPlanetarySums sums{0.0, 0.0, 0.0};
    for (size_t k = 0; k < kNewcombLonRadTerms.size(); ++k) {
        const NewcombLonRadTerm& term = kNewcombLonRadTerms[k];
        const UnitAngle t = theta(term.planet, term.i, term.j);
        sums.lonArcsec += term.lonAmplitudeArcsec * cosDifference(phases.lon[k], t);
        sums.rad1e9 += term.radAmplitude1e9 * cosDifference(phases.rad[k], t);
    }
    for (size_t k = 0; k < kNewcombLatTerms.size(); ++k) {
        const NewcombLatTerm& term = kNewcombLatTerms[k];
        sums.latArcsec +=
            term.amplitudeArcsec * cosDifference(phases.lat[k], theta(term.planet, term.i, term.j));
    }
    return sums;
}
