// Orbit from radiant: worked examples, apex and anti-apex cases, and the degenerate states.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/frames.h"
#include "astro/orbit_from_radiant.h"

namespace {

struct Elements {
    double peri, node, incl, a, q, e;
};

Elements orbitOf(double jd, double raDeg, double decDeg, double vg)
{
    Elements el{};
    OrbitFromRadiant(jd, raDeg * kDegToRad, decDeg * kDegToRad, vg, el.peri, el.node, el.incl, el.a,
                     el.q, el.e);
    return el;
}

Elements stateOf(const Vec3& r, const Vec3& v, double solDeg)
{
    Elements el{};
    ElementsFromState(r, v, 0.0, solDeg * kDegToRad, el.peri, el.node, el.incl, el.a, el.q, el.e);
    return el;
}

// A Perseid (the worked example of the orbit computation).
TEST(OrbitFromRadiant, PerseidExample)
{
    const Elements el = orbitOf(2451767.5, 48.2, 58.1, 59.1);
    EXPECT_NEAR(el.q, 0.936, 0.0005);
    EXPECT_NEAR(el.e, 0.966, 0.0005);
    EXPECT_NEAR(el.incl, 112.7, 0.05);
    EXPECT_NEAR(el.node, 138.6, 0.05);
    EXPECT_NEAR(el.peri, 147.6, 0.05);
    EXPECT_NEAR(el.a, el.q / (1 - el.e), 1e-9);
    EXPECT_NEAR(HeliocentricSpeed(2451767.5, 48.2 * kDegToRad, 58.1 * kDegToRad, 59.1), 41.5, 0.05);
}

struct ApexCase {
    const char* name;
    double offset; // of EclipticPointToEquatorial: 90 apex, 270 anti-apex
    double vg;
    double speed;
    double e;
    double a;
    double incl;
};

// Reference figures of the orbit computation's edge cases, in August 2000.
const ApexCase kApexCases[] = {
    {"anti-apex, slow: prograde, Earth at perihelion", 270.0, 5.0, 34.4, 0.350, 1.559, 0.0},
    {"anti-apex, near parabolic", 270.0, 12.3, 41.7, 0.985, 64.7, 0.0},
    {"anti-apex, hyperbolic", 270.0, 20.0, 49.4, 1.79, -1.3, 0.0},
    {"apex, fast: retrograde", 90.0, 60.0, 30.6, 0.072, 1.09, 180.0},
};

TEST(OrbitFromRadiant, ApexAndAntiApex)
{
    const double jd = DateToJD(2000, 8, 12, 0, 0, 0);
    const double earthDistance = 1.0134;
    for (const ApexCase& c : kApexCases) {
        SCOPED_TRACE(c.name);
        double ra = 0.0, dec = 0.0;
        EclipticPointToEquatorial(jd, c.offset, ra, dec);
        const Elements el = orbitOf(jd, ra, dec, c.vg);
        EXPECT_NEAR(HeliocentricSpeed(jd, ra * kDegToRad, dec * kDegToRad, c.vg), c.speed, 0.1);
        EXPECT_NEAR(el.e, c.e, 0.005 * std::max(1.0, c.e));
        EXPECT_NEAR(el.a, c.a, 0.01 * std::fabs(c.a));
        EXPECT_NEAR(el.incl, c.incl, 0.01);
        EXPECT_GT(el.q, 0.0);
        if (c.offset == 270.0) {
            EXPECT_NEAR(el.q, earthDistance, 0.001);
        }
    }
}

TEST(HeliocentricSpeed, ZeroVgIsTheEarthsSpeed)
{
    for (int month = 1; month <= 12; ++month) {
        const double speed = HeliocentricSpeed(DateToJD(2005, month, 10, 0, 0, 0), 1.0, 0.3, 0.0);
        EXPECT_GT(speed, 29.3) << month;
        EXPECT_LT(speed, 30.3) << month;
    }
}

// The meteoroid is at the Earth, on the ecliptic: one of its nodes lies at the Earth, so the
// ascending node is the Sun's longitude or its opposite; argument of perihelion and
// inclination stay in range. The ecliptic used is the J2000 equator tilted by the obliquity of
// date, so away from 2000 the Earth lies up to |eps - eps2000| off it and the node of a
// low-inclination orbit moves by about that angle / tan i.
TEST(OrbitFromRadiant, EarthSitsAtANode)
{
    std::mt19937 random(17);
    std::uniform_real_distribution<double> ra(0.0, 360.0), sinDec(-1.0, 1.0), vg(11.0, 72.0);
    std::uniform_real_distribution<double> jd(2415021.0, 2488069.0);
    for (int n = 0; n < 300; ++n) {
        const double when = jd(random);
        const Elements el =
            orbitOf(when, ra(random), std::asin(sinDec(random)) * kRadToDeg, vg(random));
        const double separation =
            AbsAngleDiff(static_cast<float>(el.node), static_cast<float>(SolarLongitude(when)));
        const double tilt = std::fabs(ObliquityRad(when) - kObliquityJ2000Rad);
        const double allowed =
            0.001 +
            std::atan(std::tan(tilt) / std::fabs(std::tan(el.incl * kDegToRad))) * kRadToDeg;
        ASSERT_TRUE(separation < allowed || separation > 180.0 - allowed)
            << separation << " allowed " << allowed << " incl " << el.incl;
        ASSERT_GE(el.node, 0.0);
        ASSERT_LT(el.node, 360.0);
        ASSERT_GE(el.peri, 0.0);
        ASSERT_LT(el.peri, 360.0);
        ASSERT_GE(el.incl, 0.0);
        ASSERT_LE(el.incl, 180.0);
        ASSERT_TRUE(std::isfinite(el.a) && std::isfinite(el.q) && std::isfinite(el.e));
    }
}

TEST(ElementsFromState, ParabolaKeepsNumbers)
{
    // r = 2 and v^2 = 1 make 1/a = 2/r - v^2 exactly 0; perihelion at r since v is tangential.
    const Elements el = stateOf({2.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, 0.0);
    EXPECT_TRUE(std::isinf(el.a));
    EXPECT_GT(el.a, 0.0);
    EXPECT_DOUBLE_EQ(el.e, 1.0);
    EXPECT_DOUBLE_EQ(el.q, 2.0);
    EXPECT_FALSE(std::isnan(el.peri));
}

TEST(ElementsFromState, CircleHasZeroEccentricity)
{
    const Elements el = stateOf({1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, 180.0);
    EXPECT_DOUBLE_EQ(el.e, 0.0);
    EXPECT_DOUBLE_EQ(el.a, 1.0);
    EXPECT_DOUBLE_EQ(el.q, 1.0);
    EXPECT_DOUBLE_EQ(el.incl, 0.0);
    EXPECT_FALSE(std::isnan(el.peri));
}

TEST(ElementsFromState, NodeLineGivesNinetyOrTwoSeventy)
{
    // The normal (+-1, 0, 0) lies along the node line's perpendicular: -n'y = 0.
    EXPECT_DOUBLE_EQ(stateOf({0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}, 90.0).node, 90.0);
    EXPECT_DOUBLE_EQ(stateOf({0.0, 1.0, 0.0}, {0.0, 0.0, -1.0}, 90.0).node, 270.0);
}

TEST(ElementsFromState, NodeBranchWrapsAcrossZero)
{
    // Ascending node at 0.3 deg: the Earth's position on the ecliptic, moving upward.
    const double lon = 0.3 * kDegToRad;
    const Vec3 r{std::cos(lon), std::sin(lon), 0.0};
    const Vec3 v{-0.9 * std::sin(lon), 0.9 * std::cos(lon), 0.4};
    const Elements sunBelowZero = stateOf(r, v, 359.5);
    const Elements sunAboveZero = stateOf(r, v, 1.0);
    const Elements sunOpposite = stateOf(r, v, 180.3);
    EXPECT_NEAR(sunBelowZero.node, 0.3, 1e-9);
    EXPECT_DOUBLE_EQ(sunBelowZero.peri, sunAboveZero.peri);
    EXPECT_NEAR(std::fabs(std::remainder(sunBelowZero.peri - sunOpposite.peri, 360.0)), 180.0,
                1e-9);
    EXPECT_EQ(stateOf(r, v, 90.3).peri, 0.0);
}

// The one-pass version against the two functions it stands for, over random radiants (slow
// ones and retrograde ones included): every bit the same.
TEST(OrbitAndSpeedFromRadiant, EqualsOrbitFromRadiantAndHeliocentricSpeed)
{
    std::mt19937_64 random(26);
    std::uniform_real_distribution<double> jd(2415020.5, 2488069.5), ra(0.0, 2 * kPi),
        sinDec(-1.0, 1.0), vg(0.01, 75.0);
    for (int n = 0; n < 20000; ++n) {
        const double t = jd(random), r = ra(random), d = std::asin(sinDec(random)), v = vg(random);
        HeliocentricOrbit expected{};
        OrbitFromRadiant(t, r, d, v, expected.peri, expected.node, expected.incl, expected.a,
                         expected.q, expected.e);
        expected.vs = HeliocentricSpeed(t, r, d, v);
        const HeliocentricOrbit got = OrbitAndSpeedFromRadiant(t, r, d, v);
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << "jd " << t << " vg " << v;
    }
}

} // namespace
