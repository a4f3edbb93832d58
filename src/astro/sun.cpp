// Newcomb's theory of the Sun: mean elements, planetary, lunar and long-period perturbations,
// then precession to B1950.0 and the fixed rotation to J2000.0.
#include "astro/sun.h"

#include <array>
#include <cmath>
#include <limits>

#include "astro/double_pair.h"
#include "astro/frames.h"
#include "astro/newcomb_series.h"
#include "astro/unit_angle.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kArcsecToRad = kDegToRad / 3600.0;

// x, y, z of one instant or two.
template <typename Real> struct Triple {
    Real x;
    Real y;
    Real z;
};

// The maths library on one instant, or on two lane by lane: the functions below take double or
// DoublePair, and so does every function templated on Real.

// An angle given in degrees, reduced modulo 360 and converted to radians.
double rad(double deg) { return Fmod360(deg) * kDegToRad; }
DoublePair rad(DoublePair deg) { return eachLane(deg, Fmod360) * kDegToRad; }

double sine(double x) { return std::sin(x); }
DoublePair sine(DoublePair x)
{
    return eachLane(x, [](double v) { return std::sin(v); });
}

double tenToThe(double x) { return std::pow(10.0, x); }
DoublePair tenToThe(DoublePair x)
{
    return eachLane(x, [](double v) { return std::pow(10.0, v); });
}

// The arguments of the series at one instant or two; angles in radians.
template <typename Real> struct SolarArguments {
    Real t;                                       // Julian centuries from 1900.0
    Real meanLon;                                 // L
    Real longArc;                                 // A, arcseconds
    Real g;                                       // the Sun's mean anomaly
    std::array<Real, kPerturbingPlanets> planets; // Mercury ... Saturn
    Real d;                                       // lunar elongation D
    Real mMoon;                                   // the Moon's mean anomaly M'
    Real f;                                       // the Moon's argument of latitude F
    Real w;                                       // L - the Moon's node
    Real moonNode;                                // the Moon's node
};

template <typename Real> SolarArguments<Real> solarArguments(Real jd)
{
    SolarArguments<Real> a{};
    const Real t = (jd - 2415020.0) / 36525.0;
    const Real t2 = t * t, t3 = t2 * t;
    a.t = t;
    a.meanLon = rad(279.696677778 + 36000.768925 * t + 0.0003025 * t2 +
                    (0.0000922528 - 0.0000147194 * t + 0.0000109972 * t2));
    a.longArc = (1.882 - 0.016 * t) * sine(rad(57.24 + 150.27 * t)) +
                6.4 * sine(rad(231.19 + 20.2 * t)) + 0.266 * sine(rad(31.8 + 119.0 * t));
    a.g = rad(358.475833333 + 35999.04975 * t - 0.00015 * t2 - 0.000003333333333 * t3 +
              a.longArc / 3600.0 + 0.00148833 + 0.0015963889 * t + 0.000143333333 * t2);
    a.planets[0] = rad(102.2 + 149472.35 * t);
    a.planets[1] = rad(212.45 + 58517.493 * t);
    a.planets[2] = rad(319.58 + 19139.977 * t);
    a.planets[3] =
        rad(225.28 + 3034.583 * t + (0.3315 - 0.00155 * t) * sine(rad(133.91 + 38.394 * t)));
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
template <typename Real> struct TermAngles {
    UnitAngleOf<Real> g, g2, g3, g4;
    UnitAngleOf<Real> d, d3;
    UnitAngleOf<Real> m;
    UnitAngleOf<Real> f;
    UnitAngleOf<Real> w2;
    UnitAngleOf<Real> moonNode;
};

template <typename Real> TermAngles<Real> termAngles(const SolarArguments<Real>& a)
{
    TermAngles<Real> u{};
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

template <typename Real>
Real longitudeRad(const SolarArguments<Real>& a, const TermAngles<Real>& u, Real planetaryArcsec)
{
    const Real t = a.t;
    const Real centre = (6909.794 - 17.274 * t - 0.021 * t * t) * u.g.s +
                        (72.334 - 0.362 * t) * u.g2.s + (1.05 - 0.008 * t) * u.g3.s +
                        0.017 * u.g4.s;
    const Real lunar = 6.466 * u.d.s + 0.013 * u.d3.s + 0.177 * (u.d * u.m).s -
                       0.425 * (u.d / u.m).s + 0.039 * (u.d3 / u.m).s - 0.064 * (u.d * u.g).s +
                       0.172 * (u.d / u.g).s - 0.013 * (u.d / u.m / u.g).s - 0.013 * u.w2.s;
    const Real longPeriod = a.longArc + 0.202 * sine(rad(315.6 + 893.3 * t));
    return a.meanLon + (centre + planetaryArcsec + lunar + longPeriod) * kArcsecToRad;
}

template <typename Real>
Real latitudeRad(const SolarArguments<Real>& a, const TermAngles<Real>& u, Real planetaryArcsec,
                 const UnitAngleOf<Real>& lon)
{
    const Real t = a.t;
    const Real lunar = 0.577 * u.f.s + 0.016 * (u.f * u.m).s - 0.047 * (u.f / u.m).s +
                       0.021 * (u.f / u.w2).s + 0.005 * (u.f / u.w2 / u.m).s +
                       0.005 * (u.f * u.g).s + 0.005 * (u.f / u.g).s;
    const Real secular = (-0.03903 + 0.0345 * t - 0.00077 * t * t) * lon.s +
                         (0.03363 + 0.01058 * t + 0.00286 * t * t) * lon.c -
                         0.01914 * (lon / u.moonNode).s;
    return (lunar - planetaryArcsec + secular) * kArcsecToRad;
}

template <typename Real>
Real radiusAU(const SolarArguments<Real>& a, const TermAngles<Real>& u, Real planetary1e9)
{
    const Real t = a.t;
    const Real elliptic = 0.000030594 - 0.000000152 * t +
                          (-0.007273841 + 0.000018182 * t + 0.000000022 * t * t) * u.g.c +
                          (-0.000091374 + 0.000000457 * t) * u.g2.c +
                          (-0.000001446 + 0.000000011 * t) * u.g3.c - 0.000000025 * u.g4.c;
    const Real lunar = 13384 * u.d.c + 30 * u.d3.c + 370 * (u.d * u.m).c - 1332 * (u.d / u.m).c +
                       80 * (u.d3 / u.m).c - 140 * (u.d * u.g).c + 360 * (u.d / u.g).c -
                       30 * (u.d / u.m / u.g).c + 30 * u.w2.c;
    const Real longPeriod = kArcsecToRad * ((0.01015 + 0.00035 * t + 0.00023 * t * t) * u.g.s +
                                            (0.02652 + 0.00002 * t - 0.00054 * t * t) * u.g.c);
    return tenToThe(elliptic + 1e-9 * (planetary1e9 + lunar) + longPeriod);
}

// B1950.0 to J2000.0, a fixed rotation.
template <typename Real> Triple<Real> b1950ToJ2000(const Triple<Real>& v)
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

// Rotates a vector of the mean equator and equinox of date jd to B1950.0.
template <typename Real> Triple<Real> precessToB1950(Real jd, const Triple<Real>& v)
{
    const Real u = (jd - 2433282.423) / 36524.22;
    const Real u2 = u * u, u3 = u2 * u, u4 = u3 * u, u5 = u4 * u;
    const Real m11 = 1 - 0.0002969571 * u2 - 0.0000001311 * u3 + 0.0000000146 * u4;
    const Real m12 = 0.0223494065 * u + 0.0000067631 * u2 - 0.0000022082 * u3 - 0.0000000017 * u4 +
                     0.0000000001 * u5;
    const Real m13 = 0.0097169024 * u - 0.0000020653 * u2 - 0.0000009613 * u3 + 0.0000000001 * u4;
    const Real m21 = -0.0223494065 * u - 0.0000067632 * u2 + 0.0000022083 * u3 + 0.0000000015 * u4 -
                     0.0000000001 * u5;
    const Real m22 = 1 - 0.000249748 * u2 - 0.0000001512 * u3 + 0.0000000122 * u4;
    const Real m23 = -0.0001085835 * u2 + 0.0000000089 * u3 + 0.0000000054 * u4;
    const Real m31 = -0.0097169024 * u + 0.0000020653 * u2 + 0.0000009613 * u3 + 0.0000000003 * u4;
    const Real m32 = -0.0001085835 * u2 - 0.0000000284 * u3 + 0.0000000053 * u4;
    const Real m33 = 1 - 0.0000472091 * u2 + 0.0000000201 * u3 + 0.0000000023 * u4;
    return {m11 * v.x + m12 * v.y + m13 * v.z, m21 * v.x + m22 * v.y + m23 * v.z,
            m31 * v.x + m32 * v.y + m33 * v.z};
}

double obliquityOf(double jd) { return ObliquityRad(jd); }
DoublePair obliquityOf(DoublePair jd) { return eachLane(jd, ObliquityRad); }

// The Sun's J2000.0 position and the obliquity of date at jd, one instant or two.
template <typename Real> struct SunPlace {
    Triple<Real> j2000;
    Real obliquity;
};

template <typename Real> SunPlace<Real> sunPlace(Real jd)
{
    const SolarArguments<Real> a = solarArguments(jd);
    const TermAngles<Real> u = termAngles(a);
    const NewcombSumsOf<Real> planetary = EvaluateNewcombSeries(u.g, a.planets);
    const UnitAngleOf<Real> lon = unitAngle(longitudeRad(a, u, planetary.lonArcsec));
    const UnitAngleOf<Real> lat = unitAngle(latitudeRad(a, u, planetary.latArcsec, lon));
    const Real r = radiusAU(a, u, planetary.rad1e9);
    const Real obliquity = obliquityOf(jd);
    const UnitAngleOf<Real> eps = unitAngle(obliquity);

    const Triple<Real> ofDate{r * lat.c * lon.c, r * (lat.c * lon.s * eps.c - lat.s * eps.s),
                              r * (lat.c * lon.s * eps.s + lat.s * eps.c)};
    return {b1950ToJ2000(precessToB1950(jd, ofDate)), obliquity};
}

// The Sun of a place, its sol left NaN until asked for.
SunVector withoutSol(const Triple<double>& j2000, double obliquity)
{
    return {j2000.x, j2000.y, j2000.z, std::numeric_limits<double>::quiet_NaN(), obliquity};
}

SunVector sunWithoutSol(double jd)
{
    const SunPlace<double> place = sunPlace(jd);
    return withoutSol(place.j2000, place.obliquity);
}

// Lane `lane` of a two-instant place.
SunVector sunWithoutSol(const SunPlace<DoublePair>& pair, int lane)
{
    const Triple<DoublePair>& p = pair.j2000;
    return withoutSol({p.x[lane], p.y[lane], p.z[lane]}, pair.obliquity[lane]);
}

// The Sun at the last two instants of a thread: an orbit, its heliocentric speed and its sol all
// need the Sun at jd and jd + 0.01, so a record costs one two-instant evaluation, not five. The
// sol of an instant is worked out the first time it is asked for.
class RememberedSun {
public:
    SunVector at(double jd, bool withSol)
    {
        Memo* found = find(jd);
        if (found == nullptr)
            found = &store(jd, sunWithoutSol(jd));
        if (withSol && !found->hasSol) {
            SunVector& sun = found->sun;
            sun.sol = solOf({sun.x, sun.y, sun.z}, sun.obliquity);
            found->hasSol = true;
        }
        return found->sun;
    }

    // Both instants remembered, evaluated together unless both already are.
    void holdPair(double jd, double laterJd)
    {
        if (find(jd) != nullptr && find(laterJd) != nullptr)
            return;
        const SunPlace<DoublePair> pair = sunPlace(DoublePair{jd, laterJd});
        store(jd, sunWithoutSol(pair, 0));
        store(laterJd, sunWithoutSol(pair, 1));
    }

private:
    struct Memo {
        double jd = std::numeric_limits<double>::quiet_NaN();
        SunVector sun{};
        bool hasSol = false;
    };

    Memo* find(double jd)
    {
        for (Memo& m : m_memo)
            if (m.jd == jd)
                return &m;
        return nullptr;
    }

    Memo& store(double jd, const SunVector& sun)
    {
        Memo& slot = m_memo[m_next];
        slot = {jd, sun, false};
        m_next = 1 - m_next;
        return slot;
    }

    std::array<Memo, 2> m_memo;
    int m_next = 0;
};

RememberedSun& rememberedSun()
{
    thread_local RememberedSun remembered;
    return remembered;
}

} // namespace

Vec3 PrecessToB1950(double jd, const Vec3& v)
{
    const Triple<double> p = precessToB1950(jd, Triple<double>{v.x, v.y, v.z});
    return {p.x, p.y, p.z};
}

SunVector SunPosition(double jd) { return rememberedSun().at(jd, true); }

EarthState EarthPositionVelocity(double jd)
{
    const double laterJd = jd + 0.01;
    RememberedSun& remembered = rememberedSun();
    remembered.holdPair(jd, laterJd);
    const SunVector now = remembered.at(jd, true);
    const SunVector later = remembered.at(laterJd, false);
    const Vec3 sunNow{now.x, now.y, now.z};
    const Vec3 sunLater{later.x, later.y, later.z};
    return {now, -sunNow, -100.0 * (sunLater - sunNow)};
}
