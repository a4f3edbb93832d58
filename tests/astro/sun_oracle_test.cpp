// The fast Sun, Earth state and orbit from radiant against the one-instant evaluation: every
// double identical to the last bit, sign of zero included.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "astro/angles.h"
#include "astro/orbit_from_radiant.h"
#include "straightforward_sun.h"

namespace {

std::uint64_t bitsOf(double value) { return std::bit_cast<std::uint64_t>(value); }

std::vector<double> fieldsOf(const SunVector& s) { return {s.x, s.y, s.z, s.sol, s.obliquity}; }

std::vector<double> fieldsOf(const EarthState& e)
{
    std::vector<double> fields = fieldsOf(e.sun);
    fields.insert(fields.end(), {e.position.x, e.position.y, e.position.z, e.velocity.x,
                                 e.velocity.y, e.velocity.z});
    return fields;
}

std::vector<double> fieldsOf(const HeliocentricOrbit& o)
{
    return {o.peri, o.node, o.incl, o.a, o.q, o.e, o.vs};
}

void expectSameBits(const std::vector<double>& fast, const std::vector<double>& plain)
{
    ASSERT_EQ(fast.size(), plain.size());
    for (size_t k = 0; k < fast.size(); ++k)
        ASSERT_EQ(bitsOf(fast[k]), bitsOf(plain[k])) << "field " << k << ": " << fast[k];
}

TEST(Fmod360, EqualsStdFmodBitForBit)
{
    std::vector<double> values{0.0,
                               -0.0,
                               360.0,
                               -360.0,
                               720.0,
                               359.99999999999994,
                               1e-310,
                               -1e-310,
                               9007199254740992.0,
                               -9007199254740991.0,
                               1e300,
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN()};
    std::mt19937_64 random(26);
    std::uniform_int_distribution<std::int64_t> multiple(-(std::int64_t{1} << 44),
                                                         std::int64_t{1} << 44);
    std::uniform_int_distribution<int> exponent(-60, 70);
    std::uniform_real_distribution<double> mantissa(-2.0, 2.0);
    for (int n = 0; n < 200000; ++n) {
        // Multiples of 360 and their neighbours, where a rounded quotient goes wrong.
        const double onMultiple = 360.0 * static_cast<double>(multiple(random));
        values.insert(values.end(), {onMultiple, std::nextafter(onMultiple, 0.0),
                                     std::nextafter(onMultiple, 1e300 * onMultiple)});
        values.push_back(std::ldexp(mantissa(random), exponent(random)));
        values.push_back(std::bit_cast<double>(random()));
    }
    for (double deg : values) {
        const double expected = std::fmod(deg, 360.0);
        if (std::isnan(expected))
            ASSERT_TRUE(std::isnan(Fmod360(deg))) << deg;
        else
            ASSERT_EQ(bitsOf(Fmod360(deg)), bitsOf(expected)) << deg;
    }
}

// Instants over 1600-2400, half of them within 1900-2100.
std::vector<double> randomInstants(int count)
{
    std::mt19937_64 random(2026);
    std::uniform_real_distribution<double> wide(2305447.5, 2597641.5), near(2415020.5, 2488069.5);
    std::vector<double> instants;
    for (int n = 0; n < count; ++n)
        instants.push_back(n % 2 == 0 ? wide(random) : near(random));
    return instants;
}

TEST(FastSun, SunAndEarthStateEqualTheOneInstantEvaluation)
{
    for (double jd : randomInstants(20000)) {
        SCOPED_TRACE(jd);
        // A new instant alone, then evaluated again beside its later one, then that one's sol.
        expectSameBits(fieldsOf(SunPosition(jd)), fieldsOf(StraightforwardSunPosition(jd)));
        expectSameBits(fieldsOf(EarthPositionVelocity(jd)),
                       fieldsOf(StraightforwardEarthState(jd)));
        expectSameBits(fieldsOf(SunPosition(jd + 0.01)),
                       fieldsOf(StraightforwardSunPosition(jd + 0.01)));
    }
}

// The orbit composed from the one-instant Earth state and the shared elements step.
HeliocentricOrbit straightforwardOrbit(double jd, double ra, double dec, double vg)
{
    const EarthState earth = StraightforwardEarthState(jd);
    const Vec3 toward{std::cos(dec) * std::cos(ra), std::cos(dec) * std::sin(ra), std::sin(dec)};
    const Vec3 velocity = (-vg * kKmsToInternal) * toward + (1.0 / GaussK) * earth.velocity;
    HeliocentricOrbit o{};
    ElementsFromState(earth.position, velocity, earth.sun.obliquity, earth.sun.sol, o.peri, o.node,
                      o.incl, o.a, o.q, o.e);
    o.vs = HeliocentricSpeed(earth, ra, dec, vg);
    return o;
}

TEST(FastSun, OrbitsFromRadiantsEqualTheOneInstantComposition)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> ra(0.0, 2 * kPi), sinDec(-1.0, 1.0), vg(0.01, 75.0);
    for (double jd : randomInstants(5000)) {
        const double r = ra(random), d = std::asin(sinDec(random)), v = vg(random);
        SCOPED_TRACE(jd);
        const HeliocentricOrbit plain = straightforwardOrbit(jd, r, d, v);
        expectSameBits(fieldsOf(OrbitAndSpeedFromRadiant(jd, r, d, v)), fieldsOf(plain));
        HeliocentricOrbit twoCalls{};
        OrbitFromRadiant(jd, r, d, v, twoCalls.peri, twoCalls.node, twoCalls.incl, twoCalls.a,
                         twoCalls.q, twoCalls.e);
        twoCalls.vs = HeliocentricSpeed(jd, r, d, v);
        expectSameBits(fieldsOf(twoCalls), fieldsOf(plain));
    }
}

} // namespace
