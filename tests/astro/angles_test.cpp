// Angle utilities: normalisation, signed and absolute differences, clamps, quadrant arctan.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "astro/angles.h"

namespace {

struct AngleCase {
    const char* name;
    float a;
    float b;
    float expected;
};

// Cases from the definition of the angle utilities.
const AngleCase kAngleDiffCases[] = {
    {"wraps forward", 10.0f, 350.0f, 20.0f},
    {"wraps backward", 350.0f, 10.0f, -20.0f},
    {"half turn positive", 0.0f, 180.0f, 180.0f},
    {"half turn stays positive", 180.0f, 0.0f, 180.0f},
    {"plain", 30.0f, 10.0f, 20.0f},
    {"several turns", 1090.0f, -20.0f, 30.0f},
    {"short way across zero", 359.0f, 1.0f, -2.0f},
    {"just below minus half turn", -179.5f, 0.5f, 180.0f},
};

TEST(AngleDiff, ReducesIntoHalfOpenHalfTurn)
{
    for (const AngleCase& c : kAngleDiffCases) {
        SCOPED_TRACE(c.name);
        EXPECT_FLOAT_EQ(AngleDiff(c.a, c.b), c.expected);
        EXPECT_FLOAT_EQ(AbsAngleDiff(c.a, c.b), std::fabs(c.expected));
    }
}

TEST(Normalize360, BringsIntoOneTurn)
{
    const struct {
        const char* name;
        float in;
        float out;
    } cases[] = {
        {"negative", -30.0f, 330.0f},       {"two turns", 720.0f, 0.0f},
        {"inside", 123.5f, 123.5f},         {"minus 360", -360.0f, 0.0f},
        {"far negative", -1090.0f, 350.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FLOAT_EQ(Normalize360(c.in), c.out);
    }
}

TEST(Normalize360, NeverReturnsAFullTurn)
{
    // -1e-8 + 360 rounds to 360 in single precision.
    const float result = Normalize360(-1e-8f);
    EXPECT_GE(result, 0.0f);
    EXPECT_LT(result, 360.0f);
}

TEST(Normalize360, HugeAndNonFiniteValuesReturn)
{
    EXPECT_LT(Normalize360(3e30f), 360.0f);
    EXPECT_TRUE(std::isinf(Normalize360(std::numeric_limits<float>::infinity())));
    EXPECT_FALSE(std::isfinite(AngleDiff(std::numeric_limits<float>::infinity(), 0.0f)));
}

TEST(SnapUnit, SnapsOnlyRoundingNoiseNextToOne)
{
    const double eps = std::numeric_limits<double>::epsilon();
    EXPECT_EQ(SnapUnit(1.0 - eps), 1.0);
    EXPECT_EQ(SnapUnit(-1.0 + eps), -1.0);
    EXPECT_EQ(SnapUnit(1.5), 1.0);
    // 1e-12 below 1 is a real angle of 8e-5 degrees and stays.
    EXPECT_EQ(SnapUnit(1.0 - 1e-12), 1.0 - 1e-12);
}

TEST(ArctanQuadrant, FollowsTheSignOfTheDenominator)
{
    const double pi = std::acos(-1.0);
    EXPECT_NEAR(ArctanQuadrant(1.0, 1.0), pi / 4, 1e-15);
    EXPECT_NEAR(ArctanQuadrant(1.0, -1.0), 3 * pi / 4, 1e-15);
    EXPECT_NEAR(ArctanQuadrant(-1.0, -1.0), 5 * pi / 4, 1e-15);
    EXPECT_NEAR(ArctanQuadrant(-1.0, 1.0), -pi / 4, 1e-15);
    EXPECT_EQ(ArctanQuadrant(2.0, 0.0), pi / 2);
    EXPECT_EQ(ArctanQuadrant(-2.0, 0.0), -pi / 2);
    EXPECT_EQ(ArctanQuadrant(0.0, 0.0), 0.0);
}

} // namespace
