// The velocity colour scale and the radiant map's greys, with the floored
// index and the clamped greys.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "maps/velocity_colors.h"

TEST(VelocityColors, ScaleRunsAndNamedIndexes)
{
    const auto& scale = velocityScale();
    EXPECT_EQ(scale[0], (Rgb{255, 15, 0}));
    EXPECT_EQ(scale[16], (Rgb{255, 255, 0}));
    EXPECT_EQ(scale[32], (Rgb{0, 255, 15}));
    EXPECT_EQ(scale[48], (Rgb{0, 255, 255}));
    EXPECT_EQ(scale[79], (Rgb{255, 0, 255}));
    struct Case {
        const char* name;
        double a;
        int offset;
        int index;
    };
    const Case cases[] = {
        {"vg 65, offset -13: 80 mod 80", 65, -13, 0},
        {"vg 20, offset -13", 20, -13, 45},
        {"positive offset", 30, 10, 19},
        {"a large value floors into the scale", 200, -13, 25},
        {"negative raw value floors, not -1", 80, 0, 79},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), -13, -1},
        {"infinite", std::numeric_limits<double>::infinity(), 5, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(velocityIndex(c.a, c.offset), c.index) << c.name;
}

TEST(VelocityColors, IndexNeverLeavesTheScaleOnRandomInput)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<double> a(-1e6, 1e6);
    std::uniform_int_distribution<int> offset(-79, 79);
    for (int i = 0; i < 100000; ++i) {
        const int index = velocityIndex(a(random), offset(random));
        ASSERT_GE(index, 0);
        ASSERT_LT(index, kVelocityColors);
    }
}

TEST(VelocityColors, WindowScalingAndBlackOutside)
{
    const VgCondition window{true, 35, 5};
    EXPECT_EQ(velocityColor(29.9, window, -13), kBlack);
    EXPECT_EQ(velocityColor(40.1, window, -13), kBlack);
    // 30 is the window's start: a = 0, index trunc(145) mod 80 = 65.
    EXPECT_EQ(velocityColor(30, window, -13), velocityScale()[65]);
    EXPECT_EQ(velocityColor(std::nan(""), VgCondition{}, -13), kBlack);
}

TEST(VelocityColors, RadiantMapGreys)
{
    // The worked cases: offset 40, vs 30 grey 100, vs 45 grey 240.
    EXPECT_EQ(vsGrey(30, 40), (Rgb{100, 100, 100}));
    EXPECT_EQ(vsGrey(45, 40), (Rgb{240, 240, 240}));
    EXPECT_EQ(vsGrey(10, 40), kWhite);
    // vg 20 with offset -13: d = 7, trunc(192 - 16.8) = 175.
    EXPECT_EQ(vgGrey(20, -13), (Rgb{175, 175, 175}));
    // A negative sum gives a negative remainder; the level is clamped to 255.
    EXPECT_EQ(vgGrey(0, -50), kWhite);
    EXPECT_EQ(vgGrey(std::nan(""), 0), kBlack);
}
