// Drummond's D' criterion and the perihelion direction.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "astro/angles.h"
#include "astro/similarity.h"

namespace {

DPrimeOrbit randomOrbit(std::mt19937& random)
{
    std::uniform_real_distribution<double> e(0.01, 1.2), q(0.05, 1.1), incl(0.0, 180.0),
        angle(0.0, 360.0);
    return {e(random), q(random), incl(random), angle(random), angle(random)};
}

TEST(DPrime, ZeroForIdenticalOrbitsAndSymmetric)
{
    std::mt19937 random(23);
    for (int n = 0; n < 5000; ++n) {
        const DPrimeOrbit a = randomOrbit(random), b = randomOrbit(random);
        ASSERT_EQ(DPrime(a, a), 0.0);
        ASSERT_EQ(DPrime(a, b), DPrime(b, a));
        ASSERT_GE(DPrime(a, b), 0.0);
    }
}

TEST(DPrime, WorkedCases)
{
    const struct {
        const char* name;
        DPrimeOrbit a, b;
        double expected;
    } cases[] = {
        {"only q differs: 0.1 / 1.9", {0.7, 1.0, 30, 40, 50}, {0.7, 0.9, 30, 40, 50}, 0.1 / 1.9},
        // i = 0 and 180 with the perihelion on the node: plane term 1, nothing else.
        {"opposite planes", {0.5, 0.8, 0, 40, 0}, {0.5, 0.8, 180, 40, 0}, 1.0},
        // Hand computation: planes 10 deg apart (P = 1/18); perihelia at latitudes 10 and 20
        // on the same meridian (W = 10 * 1.0 / 360).
        {"planes and perihelia 10 deg apart",
         {0.5, 0.6, 10, 0, 90},
         {0.5, 0.6, 20, 0, 90},
         std::hypot(10.0 / 180.0, 10.0 / 360.0)},
        {"eccentricity term", {0.2, 1.0, 5, 5, 5}, {0.6, 1.0, 5, 5, 5}, 0.4 / 0.8},
        {"two circular orbits", {0.0, 1.0, 30, 40, 50}, {0.0, 0.9, 30, 40, 50}, 0.1 / 1.9},
        {"a full turn of node is no difference",
         {0.7, 1.0, 30, 10, 50},
         {0.7, 1.0, 30, 370, 50},
         0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(DPrime(c.a, c.b), c.expected, 1e-9);
    }
}

TEST(DPrime, CircularOrbitsAreANumber)
{
    const DPrimeOrbit circular{0.0, 1.0, 12.0, 34.0, 56.0};
    EXPECT_EQ(DPrime(circular, circular), 0.0);
    EXPECT_FALSE(std::isnan(DPrime(circular, {0.0, 1.0, 50.0, 34.0, 56.0})));
}

TEST(PerihelionDirection, KnownDirections)
{
    const struct {
        double peri, incl, lon, lat;
    } cases[] = {
        {0, 30, 0, 0}, {90, 30, 90, 30}, {180, 30, 180, 0}, {270, 30, 270, -30}, {45, 0, 45, 0},
    };
    for (const auto& c : cases) {
        double lon = 0.0, lat = 0.0;
        PerihelionDirection(c.peri * kDegToRad, c.incl * kDegToRad, lon, lat);
        EXPECT_NEAR(lon * kRadToDeg, c.lon, 1e-9) << c.peri;
        EXPECT_NEAR(lat * kRadToDeg, c.lat, 1e-9) << c.peri;
    }
}

} // namespace
