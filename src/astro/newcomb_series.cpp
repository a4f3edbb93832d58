// Newcomb's planetary series by angle addition: a dozen sines and cosines per evaluation
// instead of one cosine per term.
#include "astro/newcomb_series.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <type_traits>

#include "astro/angles.h"
#include "astro/newcomb_terms.h"
#include "astro/unit_angle.h"

namespace {

constexpr int kMultiplesPerAngle = 2 * kMaxNewcombMultiple + 1;
// The Sun's mean anomaly after the planets' among the angles of the terms.
constexpr int kSunAngle = kPerturbingPlanets;

// The multiples -kMaxNewcombMultiple to kMaxNewcombMultiple of each angle of the terms, multiple
// k of angle a at a * kMultiplesPerAngle + kMaxNewcombMultiple + k.
template <typename Real>
using AllMultiples = std::array<UnitAngleOf<Real>, (kPerturbingPlanets + 1) * kMultiplesPerAngle>;

int multipleAt(int angle, int k) { return angle * kMultiplesPerAngle + kMaxNewcombMultiple + k; }

// Sets the multiples -largest to largest of an angle around zero, its multiple 0; those beyond
// are left unset.
template <typename Real>
void fillMultiples(UnitAngleOf<Real>* zero, const UnitAngleOf<Real>& unit, int largest)
{
    zero[0] = {Real{} + 1.0, Real{}};
    zero[1] = unit;
    for (int k = 2; k <= largest; ++k)
        zero[k] = zero[k - 1] * zero[1];
    for (int k = 1; k <= largest; ++k)
        zero[-k] = {zero[k].c, -zero[k].s};
}

template <typename Real> Real broadcast(double value)
{
    if constexpr (std::is_same_v<Real, double>)
        return value;
    else
        return Real{value, value};
}

// amplitude * cos(phase - theta), with the phase as its unit angle.
template <typename Real> struct Wave {
    Real amplitude;
    UnitAngleOf<Real> phase;

    static Wave of(double amplitude, double phaseDeg)
    {
        const UnitAngle unit = unitAngle(phaseDeg * kDegToRad);
        return {broadcast<Real>(amplitude), {broadcast<Real>(unit.c), broadcast<Real>(unit.s)}};
    }
    Real at(const UnitAngleOf<Real>& theta) const
    {
        return amplitude * (phase.c * theta.c + phase.s * theta.s);
    }
};

// The terms as the evaluation reads them: where their two multiples sit, and their waves in the
// type of the lanes, built once from the tables.
template <typename Real> struct LonRadTerm {
    int planetMultiple;
    int sunMultiple;
    Wave<Real> lon;
    Wave<Real> rad;
};

template <typename Real> struct LatTerm {
    int planetMultiple;
    int sunMultiple;
    Wave<Real> lat;
};

template <typename Real> struct PreparedSeries {
    std::array<LonRadTerm<Real>, kNewcombLonRadTerms.size()> lonRad;
    std::array<LatTerm<Real>, kNewcombLatTerms.size()> lat;
    // Beyond the largest multiple of an angle that a term names, none is worth computing.
    std::array<int, kPerturbingPlanets + 1> largestMultiple{1, 1, 1, 1, 1, 1};

    template <typename Term> std::array<int, 2> placeMultiplesOf(const Term& term)
    {
        const int planet = static_cast<int>(term.planet);
        largestMultiple[planet] = std::max(largestMultiple[planet], std::abs(int{term.j}));
        largestMultiple[kSunAngle] = std::max(largestMultiple[kSunAngle], std::abs(int{term.i}));
        return {multipleAt(planet, term.j), multipleAt(kSunAngle, term.i)};
    }
};

template <typename Real> const PreparedSeries<Real>& preparedSeries()
{
    static const PreparedSeries<Real> series = [] {
        PreparedSeries<Real> built{};
        for (size_t k = 0; k < kNewcombLonRadTerms.size(); ++k) {
            const NewcombLonRadTerm& term = kNewcombLonRadTerms[k];
            const auto [planet, sun] = built.placeMultiplesOf(term);
            built.lonRad[k] = {planet, sun,
                               Wave<Real>::of(term.lonAmplitudeArcsec, term.lonPhaseDeg),
                               Wave<Real>::of(term.radAmplitude1e9, term.radPhaseDeg)};
        }
        for (size_t k = 0; k < kNewcombLatTerms.size(); ++k) {
            const NewcombLatTerm& term = kNewcombLatTerms[k];
            const auto [planet, sun] = built.placeMultiplesOf(term);
            built.lat[k] = {planet, sun, Wave<Real>::of(term.amplitudeArcsec, term.phaseDeg)};
        }
        return built;
    }();
    return series;
}

} // namespace

template <typename Real>
NewcombSumsOf<Real>
EvaluateNewcombSeries(const UnitAngleOf<Real>& g,
                      const std::array<Real, kPerturbingPlanets>& planetAnomalies)
{
    const PreparedSeries<Real>& series = preparedSeries<Real>();
    AllMultiples<Real> multiples;
    auto fill = [&](int angle, const UnitAngleOf<Real>& unit) {
        fillMultiples(&multiples[multipleAt(angle, 0)], unit, series.largestMultiple[angle]);
    };
    for (int p = 0; p < kPerturbingPlanets; ++p)
        fill(p, unitAngle(planetAnomalies[p]));
    fill(kSunAngle, g);
    auto theta = [&](const auto& term) {
        return multiples[term.planetMultiple] * multiples[term.sunMultiple];
    };

    NewcombSumsOf<Real> sums{Real{}, Real{}, Real{}};
    for (const LonRadTerm<Real>& term : series.lonRad) {
        const UnitAngleOf<Real> t = theta(term);
        sums.lonArcsec += term.lon.at(t);
        sums.rad1e9 += term.rad.at(t);
    }
    for (const LatTerm<Real>& term : series.lat)
        sums.latArcsec += term.lat.at(theta(term));
    return sums;
}

template NewcombSumsOf<double> EvaluateNewcombSeries(const UnitAngleOf<double>&,
                                                     const std::array<double, kPerturbingPlanets>&);
template NewcombSumsOf<DoublePair>
EvaluateNewcombSeries(const UnitAngleOf<DoublePair>&,
                      const std::array<DoublePair, kPerturbingPlanets>&);
