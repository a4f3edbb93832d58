// The old one-instant evaluation of the Sun, kept verbatim as the oracle of the fast one.
#include "straightforward_sun.h"

#include <array>
#include <cmath>

#include "astro/angles.h"
#include "astro/frames.h"
#include "astro/newcomb_series.h"
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

NewcombPlanetarySums
straightforwardSeries(double g, const std::array<double, kPerturbingPlanets>& planetAnomalies)
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

constexpr double kTwoPi = 6.283185307179586;
constexpr double kArcsecToRad = kDegToRad / 3600.0;

// An angle given in degrees, reduced modulo 360 and converted to radians.
double rad(double deg) { return std::fmod(deg, 360.0) * kDegToRad; }

// The arguments of the series at one instant; angles in radians.
struct SolarArguments {
    double t;                                       // Julian centuries from 1900.0
    double meanLon;                                 // L
    double longArc;                                 // A, arcseconds
    double g;                                       // the Sun's mean anomaly
    std::array<double, kPerturbingPlanets> planets; // Mercury ... Saturn
    double d;                                       // lunar elongation D
    double mMoon;                                   // the Moon's mean anomaly M'
    double f;                                       // the Moon's argument of latitude F
    double w;                                       // L - the Moon's node
    double moonNode;                                // the Moon's node
};

SolarArguments solarArguments(double jd)
{
    SolarArguments a{};
    const double t = (jd - 2415020.0) / 36525.0;
    const double t2 = t * t, t3 = t2 * t;
    a.t = t;
    a.meanLon = rad(279.696677778 + 36000.768925 * t + 0.0003025 * t2 +
                    (0.0000922528 - 0.0000147194 * t + 0.0000109972 * t2));
    a.longArc = (1.882 - 0.016 * t) * std::sin(rad(57.24 + 150.27 * t)) +
                6.4 * std::sin(rad(231.19 + 20.2 * t)) + 0.266 * std::sin(rad(31.8 + 119.0 * t));
    a.g = rad(358.475833333 + 35999.04975 * t - 0.00015 * t2 - 0.000003333333333 * t3 +
              a.longArc / 3600.0 + 0.00148833 + 0.0015963889 * t + 0.000143333333 * t2);
    a.planets[0] = rad(102.2 + 149472.35 * t);
    a.planets[1] = rad(212.45 + 58517.493 * t);
    a.planets[2] = rad(319.58 + 19139.977 * t);
    a.planets[3] =
        rad(225.28 + 3034.583 * t + (0.3315 - 0.00155 * t) * std::sin(rad(133.91 + 38.394 * t)));
    a.planets[4] = rad(175.6 + 1221.794 * t);
    a.d = rad(350.7374861 + 445267.11421667 * t - 0.00143611111111 * t2 + 0.00000188888888889 * t3);
    a.mMoon = rad(296.104608333 + 477198.84910833 * t + 0.0091916667 * t2 + 0.0000143889 * t3);
    a.f = rad(11.2508888889 + 483202.02515 * t - 0.003211111111 * t2 - 0.0000003333333333 * t3);
    a.w = rad(20.5134027777 + 37934.9109333333 * t - 0.001775277778 * t2 - 0.000002222222222 * t3);
    a.moonNode = rad(259.183275 - 1934.142008333 * t + 0.00207778 * t2 + 0.000002222 * t3);
    return a;
}

// The angles of the elliptic and lunar terms as unit angles; products of them are the sums and
// multiples the terms name (D * M is D + M', D / M is D - M').
struct TermAngles {
    UnitAngle g, g2, g3, g4;
    UnitAngle d, d3;
    UnitAngle m;
    UnitAngle f;
    UnitAngle w2;
    UnitAngle moonNode;
};

TermAngles termAngles(const SolarArguments& a)
{
    TermAngles u{};
    u.g = unitAngle(a.g);
    u.g2 = u.g * u.g;
    u.g3 = u.g2 * u.g;
    u.g4 = u.g3 * u.g;
    u.d = unitAngle(a.d);
    u.d3 = u.d * u.d * u.d;
    u.m = unitAngle(a.mMoon);
    u.f = unitAngle(a.f);
    u.w2 = unitAngle(2 * a.w);
    u.moonNode = unitAngle(a.moonNode);
    return u;
}

double longitudeRad(const SolarArguments& a, const TermAngles& u, double planetaryArcsec)
{
    const double t = a.t;
    const double centre = (6909.794 - 17.274 * t - 0.021 * t * t) * u.g.s +
                          (72.334 - 0.362 * t) * u.g2.s + (1.05 - 0.008 * t) * u.g3.s +
                          0.017 * u.g4.s;
    const double lunar = 6.466 * u.d.s + 0.013 * u.d3.s + 0.177 * (u.d * u.m).s -
                         0.425 * (u.d / u.m).s + 0.039 * (u.d3 / u.m).s - 0.064 * (u.d * u.g).s +
                         0.172 * (u.d / u.g).s - 0.013 * (u.d / u.m / u.g).s - 0.013 * u.w2.s;
    const double longPeriod = a.longArc + 0.202 * std::sin(rad(315.6 + 893.3 * t));
    return a.meanLon + (centre + planetaryArcsec + lunar + longPeriod) * kArcsecToRad;
}

double latitudeRad(const SolarArguments& a, const TermAngles& u, double planetaryArcsec,
                   const UnitAngle& lon)
{
    const double t = a.t;
    const double lunar = 0.577 * u.f.s + 0.016 * (u.f * u.m).s - 0.047 * (u.f / u.m).s +
                         0.021 * (u.f / u.w2).s + 0.005 * (u.f / u.w2 / u.m).s +
                         0.005 * (u.f * u.g).s + 0.005 * (u.f / u.g).s;
    const double secular = (-0.03903 + 0.0345 * t - 0.00077 * t * t) * lon.s +
                           (0.03363 + 0.01058 * t + 0.00286 * t * t) * lon.c -
                           0.01914 * (lon / u.moonNode).s;
    return (lunar - planetaryArcsec + secular) * kArcsecToRad;
}

double radiusAU(const SolarArguments& a, const TermAngles& u, double planetary1e9)
{
    const double t = a.t;
    const double elliptic = 0.000030594 - 0.000000152 * t +
                            (-0.007273841 + 0.000018182 * t + 0.000000022 * t * t) * u.g.c +
                            (-0.000091374 + 0.000000457 * t) * u.g2.c +
                            (-0.000001446 + 0.000000011 * t) * u.g3.c - 0.000000025 * u.g4.c;
    const double lunar = 13384 * u.d.c + 30 * u.d3.c + 370 * (u.d * u.m).c - 1332 * (u.d / u.m).c +
                         80 * (u.d3 / u.m).c - 140 * (u.d * u.g).c + 360 * (u.d / u.g).c -
                         30 * (u.d / u.m / u.g).c + 30 * u.w2.c;
    const double longPeriod = kArcsecToRad * ((0.01015 + 0.00035 * t + 0.00023 * t * t) * u.g.s +
                                              (0.02652 + 0.00002 * t - 0.00054 * t * t) * u.g.c);
    return std::pow(10.0, elliptic + 1e-9 * (planetary1e9 + lunar) + longPeriod);
}

// B1950.0 to J2000.0, a fixed rotation.
Vec3 b1950ToJ2000(const Vec3& v)
{
    return {0.9999257180268403 * v.x - 0.0111782838886141 * v.y - 0.0048584357372842 * v.z,
            0.0111782838782385 * v.x + 0.9999375206641666 * v.y - 0.0000271576311202 * v.z,
            0.0048584357611567 * v.x - 0.0000271533600777 * v.y + 0.9999881973626737 * v.z};
}

double solOf(const Vec3& j2000, double obliquityRad)
{
    double ra = std::atan2(j2000.y, j2000.x) * kRadToDeg;
    if (ra < 0.0)
        ra += 360.0;
    const double dec = std::asin(ClampUnit(j2000.z / norm(j2000))) * kRadToDeg;
    double lonDeg = 0.0, latDeg = 0.0;
    EquatorialToEcliptic(obliquityRad, ra, dec, lonDeg, latDeg);
    double sol = lonDeg * kDegToRad;
    if (sol < 0.0)
        sol += kTwoPi;
    if (sol > kTwoPi)
        sol -= kTwoPi;
    return sol;
}

Vec3 precessToB1950(double jd, const Vec3& v)
{
    const double u = (jd - 2433282.423) / 36524.22;
    const double u2 = u * u, u3 = u2 * u, u4 = u3 * u, u5 = u4 * u;
    const double m11 = 1 - 0.0002969571 * u2 - 0.0000001311 * u3 + 0.0000000146 * u4;
    const double m12 = 0.0223494065 * u + 0.0000067631 * u2 - 0.0000022082 * u3 -
                       0.0000000017 * u4 + 0.0000000001 * u5;
    const double m13 = 0.0097169024 * u - 0.0000020653 * u2 - 0.0000009613 * u3 + 0.0000000001 * u4;
    const double m21 = -0.0223494065 * u - 0.0000067632 * u2 + 0.0000022083 * u3 +
                       0.0000000015 * u4 - 0.0000000001 * u5;
    const double m22 = 1 - 0.000249748 * u2 - 0.0000001512 * u3 + 0.0000000122 * u4;
    const double m23 = -0.0001085835 * u2 + 0.0000000089 * u3 + 0.0000000054 * u4;
    const double m31 =
        -0.0097169024 * u + 0.0000020653 * u2 + 0.0000009613 * u3 + 0.0000000003 * u4;
    const double m32 = -0.0001085835 * u2 - 0.0000000284 * u3 + 0.0000000053 * u4;
    const double m33 = 1 - 0.0000472091 * u2 + 0.0000000201 * u3 + 0.0000000023 * u4;
    return {m11 * v.x + m12 * v.y + m13 * v.z, m21 * v.x + m22 * v.y + m23 * v.z,
            m31 * v.x + m32 * v.y + m33 * v.z};
}

SunVector straightforwardSun(double jd)
{
    const SolarArguments a = solarArguments(jd);
    const TermAngles u = termAngles(a);
    const NewcombPlanetarySums planetary = straightforwardSeries(a.g, a.planets);
    const UnitAngle lon = unitAngle(longitudeRad(a, u, planetary.lonArcsec));
    const UnitAngle lat = unitAngle(latitudeRad(a, u, planetary.latArcsec, lon));
    const double r = radiusAU(a, u, planetary.rad1e9);
    const double obliquity = ObliquityRad(jd);
    const UnitAngle eps = unitAngle(obliquity);

    const Vec3 ofDate{r * lat.c * lon.c, r * (lat.c * lon.s * eps.c - lat.s * eps.s),
                      r * (lat.c * lon.s * eps.s + lat.s * eps.c)};
    const Vec3 j2000 = b1950ToJ2000(precessToB1950(jd, ofDate));
    return {j2000.x, j2000.y, j2000.z, solOf(j2000, obliquity), obliquity};
}

} // namespace

SunVector StraightforwardSunPosition(double jd) { return straightforwardSun(jd); }

EarthState StraightforwardEarthState(double jd)
{
    const SunVector now = straightforwardSun(jd);
    const SunVector later = straightforwardSun(jd + 0.01);
    const Vec3 sunNow{now.x, now.y, now.z};
    const Vec3 sunLater{later.x, later.y, later.z};
    return {now, -sunNow, -100.0 * (sunLater - sunNow)};
}
