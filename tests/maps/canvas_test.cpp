// Canvas size rounding, origin, clipping, the black-and-white rule, markers and lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "maps/canvas.h"

namespace {

using Offsets = std::set<std::pair<int, int>>;

// Every canvas pixel that differs from the background, as canvas (x, y).
Offsets litPixels(const Canvas& canvas)
{
    Offsets lit;
    for (int y = 0; y <= canvas.maxY(); ++y)
        for (int x = 0; x <= canvas.maxX(); ++x)
            if (canvas.pixel(x, y) != canvas.background())
                lit.insert({x, y});
    return lit;
}

Rgb screenPixel(const Canvas& canvas, int column, int row)
{
    const std::uint8_t* p = canvas.rgbData() + row * canvas.bytesPerLine() + column * 3;
    return {p[0], p[1], p[2]};
}

} // namespace

TEST(Canvas, AreaIsRoundedDownToMultiplesOfFour)
{
    // The worked example: 403 x 250 pixels give W = 399 and H = 247.
    const Canvas canvas(403, 250, false);
    EXPECT_EQ(canvas.maxX(), 399);
    EXPECT_EQ(canvas.maxY(), 247);
    EXPECT_EQ(canvas.bytesPerLine(), 403 * 3);
}

TEST(Canvas, OriginIsLowerLeft)
{
    Canvas canvas(403, 250, false);
    canvas.setColor({10, 20, 30});
    canvas.plotPoint(0, 0);
    canvas.plotPoint(5, 247);
    EXPECT_EQ(screenPixel(canvas, 0, 247), (Rgb{10, 20, 30}));
    EXPECT_EQ(screenPixel(canvas, 5, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(canvas.pixel(5, 247), (Rgb{10, 20, 30}));
    EXPECT_EQ(litPixels(canvas).size(), 2u);
}

TEST(Canvas, PointsOutsideAreClippedAndTheMarginStaysBackground)
{
    Canvas canvas(403, 250, false);
    canvas.setColor(kWhite);
    for (int y = -3; y <= 252; ++y)
        for (int x = -3; x <= 405; ++x)
            canvas.plotPoint(x, y);
    // Inside: everything lit. Columns 400..402 and rows 248..249 are outside
    // the canvas and must keep the background.
    EXPECT_EQ(litPixels(canvas).size(), 400u * 248u);
    for (int row = 0; row < 250; ++row)
        for (int column = 0; column < 403; ++column) {
            const bool margin = column > 399 || row > 247;
            EXPECT_EQ(screenPixel(canvas, column, row) == kBlack, margin)
                << "column " << column << " row " << row;
        }
}

TEST(Canvas, PointJustOutsideIsNotDrawn)
{
    Canvas canvas(403, 250, false);
    canvas.setColor(kStarColor);
    canvas.plotPoint(400, 10); // x = W + 1
    canvas.plotPoint(10, -1);
    canvas.plotPoint(10, 248); // y = H + 1
    canvas.plotMarkerTrueColor(-1, -1, 1);
    EXPECT_TRUE(litPixels(canvas).empty());
}

TEST(Canvas, TinyAreaHasNoDrawablePixel)
{
    Canvas canvas(3, 2, false);
    EXPECT_EQ(canvas.maxX(), -1);
    canvas.plotPoint(0, 0);
    canvas.drawTextAt(0, 0, "x", TextAlign::Left);
    EXPECT_FALSE(canvas.inside(0, 0));
}

struct ColorRuleCase {
    const char* name;
    bool blackAndWhite;
    Rgb drawn;
    Rgb expected;
};

TEST(Canvas, BlackAndWhiteRule)
{
    const ColorRuleCase cases[] = {
        {"grey star stays grey in colour", false, kStarColor, kStarColor},
        {"grey star is black on white", true, kStarColor, kBlack},
        {"black point is white", true, kBlack, kWhite},
        {"white point is black", true, kWhite, kBlack},
        {"nearly black is black", true, {0, 0, 1}, kBlack},
    };
    for (const ColorRuleCase& c : cases) {
        Canvas canvas(8, 8, c.blackAndWhite);
        EXPECT_EQ(canvas.background(), c.blackAndWhite ? kWhite : kBlack) << c.name;
        EXPECT_EQ(canvas.pixel(3, 3), canvas.background()) << c.name;
        canvas.setColor(c.drawn);
        canvas.plotPoint(1, 1);
        canvas.plotMarker(5, 5, 1);
        canvas.drawLine(0, 7, 1, 7);
        EXPECT_EQ(canvas.pixel(1, 1), c.expected) << c.name;
        EXPECT_EQ(canvas.pixel(5, 5), c.expected) << c.name;
        EXPECT_EQ(canvas.pixel(1, 7), c.expected) << c.name;
    }
}

TEST(Canvas, TrueColorVariantIgnoresTheBlackAndWhiteRule)
{
    Canvas canvas(16, 16, true);
    canvas.setColor({100, 100, 100});
    canvas.plotPointTrueColor(2, 2);
    canvas.plotMarkerTrueColor(8, 8, 4);
    EXPECT_EQ(canvas.pixel(2, 2), (Rgb{100, 100, 100}));
    EXPECT_EQ(canvas.pixel(9, 7), (Rgb{100, 100, 100}));
}

TEST(Canvas, ClearRestoresTheBackground)
{
    Canvas canvas(16, 16, true);
    canvas.setColor(kBlack);
    canvas.plotPointTrueColor(4, 4);
    canvas.clear();
    EXPECT_TRUE(litPixels(canvas).empty());
}

// Marker pictures drawn from the marker table: dy grows upwards (top row is
// the largest dy), '@' is the centre (lit in every size), '#' a lit pixel.
struct MarkerCase {
    int size;
    std::vector<std::string> picture;
};

const MarkerCase kMarkerCases[] = {
    {1, {"@"}},
    {2, {"##", "@#"}},
    {3, {".#.", "#@#", "#.."}},
    {4, {"###", "#@#", "###"}},
    {5, {".###.", "##@##", ".###."}},
    {6, {"#####", "##@##", "#####"}},
    {7, {"..#####..", ".#######.", "####@####", ".#######.", "..#####.."}},
    {8, {"...#####....", "..#######...", "#####@######", "..#######...", "...#####...."}},
    {9,
     {"....###....", "...#####...", "..#######..", ".#########.", "#####@#####", ".#########.",
      "..#######..", "...#####...", "....###...."}},
    {10, {".#.", "#@#", ".#."}},
    {11, {"..#..", ".###.", "##@##", ".###.", "..#.."}},
    {12, {"..#..", "..#..", "##@##", "..#..", "..#.."}},
    {13,
     {"#...#...#", ".#..#..#.", "..#.#.#..", "...###...", "####@####", "...###...", "..#.#.#..",
      ".#..#..#.", "#...#...#"}},
    {14,
     {"....#....", "....#....", "..#.#.#..", "...###...", "####@####", "...###...", "..#.#.#..",
      "....#....", "....#...."}},
    {15,
     {"....#....", "....#....", "....#....", "....#....", "####@####", "....#....", "....#....",
      "....#....", "....#...."}},
};

Offsets pictureOffsets(const std::vector<std::string>& picture)
{
    int centreRow = 0;
    int centreColumn = 0;
    for (int row = 0; row < static_cast<int>(picture.size()); ++row) {
        const auto at = picture[static_cast<std::size_t>(row)].find('@');
        if (at != std::string::npos) {
            centreRow = row;
            centreColumn = static_cast<int>(at);
        }
    }
    Offsets offsets;
    for (int row = 0; row < static_cast<int>(picture.size()); ++row)
        for (int column = 0;
             column < static_cast<int>(picture[static_cast<std::size_t>(row)].size()); ++column)
            if (picture[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] != '.')
                offsets.insert({column - centreColumn, centreRow - row});
    return offsets;
}

Offsets markerOffsets(int size, bool trueColor)
{
    Canvas canvas(40, 40, false);
    canvas.setColor(kApexColor);
    if (trueColor)
        canvas.plotMarkerTrueColor(20, 20, size);
    else
        canvas.plotMarker(20, 20, size);
    Offsets offsets;
    for (const auto& [x, y] : litPixels(canvas))
        offsets.insert({x - 20, y - 20});
    return offsets;
}

class MarkerShape : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(MarkerShape, MatchesTheTable)
{
    const MarkerCase& c = GetParam();
    EXPECT_EQ(markerOffsets(c.size, false), pictureOffsets(c.picture));
    EXPECT_EQ(markerOffsets(c.size, true), pictureOffsets(c.picture));
}

INSTANTIATE_TEST_SUITE_P(Sizes, MarkerShape, ::testing::ValuesIn(kMarkerCases),
                         [](const auto& info) { return "Size" + std::to_string(info.param.size); });

TEST(Marker, SizesOutsideOneToFifteenDrawNothing)
{
    EXPECT_TRUE(markerOffsets(0, false).empty());
    EXPECT_TRUE(markerOffsets(16, false).empty());
    EXPECT_TRUE(markerOffsets(-3, true).empty());
}

TEST(Marker, IsClippedPixelByPixelAtTheCorner)
{
    Canvas canvas(40, 40, false);
    canvas.plotMarker(0, 0, 4);
    // Only the quarter of the 3 x 3 square inside the canvas remains.
    EXPECT_EQ(litPixels(canvas), (Offsets{{0, 0}, {1, 0}, {0, 1}, {1, 1}}));
}

TEST(Line, EndpointsIncludedInEitherDirection)
{
    Canvas canvas(40, 40, false);
    canvas.drawLine(3, 4, 3, 4);
    EXPECT_EQ(litPixels(canvas), (Offsets{{3, 4}}));
    Canvas forward(40, 40, false);
    Canvas backward(40, 40, false);
    forward.drawLine(2, 30, 12, 1);
    backward.drawLine(12, 1, 2, 30);
    EXPECT_TRUE(litPixels(forward).contains({2, 30}));
    EXPECT_TRUE(litPixels(forward).contains({12, 1}));
    EXPECT_EQ(litPixels(forward).size(), litPixels(backward).size());
}

// Reference: one pixel per step of the longer axis, within half a pixel of
// the ideal line (Bresenham and rounding may differ only on exact ties).
TEST(Line, FollowsTheIdealLineOnePixelPerStep)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(0, 63);
    for (int trial = 0; trial < 500; ++trial) {
        const int x0 = coordinate(random), y0 = coordinate(random);
        const int x1 = coordinate(random), y1 = coordinate(random);
        Canvas canvas(64, 64, false);
        canvas.drawLine(x0, y0, x1, y1);
        const Offsets lit = litPixels(canvas);
        const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        EXPECT_EQ(lit.size(), static_cast<std::size_t>(steps) + 1);
        for (const auto& [x, y] : lit) {
            const double t = steps == 0 ? 0.0
                                        : static_cast<double>(steep ? y - y0 : x - x0) /
                                              (steep ? y1 - y0 : x1 - x0);
            const double ideal = steep ? x0 + t * (x1 - x0) : y0 + t * (y1 - y0);
            EXPECT_LE(std::abs((steep ? x : y) - ideal), 0.5)
                << x0 << "," << y0 << " -> " << x1 << "," << y1 << " at " << x << "," << y;
        }
    }
}

TEST(Line, ClippedLineKeepsTheInsidePixelsOfTheWholeLine)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> coordinate(-40, 100);
    constexpr int kShift = 50;
    for (int trial = 0; trial < 200; ++trial) {
        const int x0 = coordinate(random), y0 = coordinate(random);
        const int x1 = coordinate(random), y1 = coordinate(random);
        Canvas clipped(64, 64, false);
        Canvas whole(256, 256, false);
        clipped.drawLine(x0, y0, x1, y1);
        whole.drawLine(x0 + kShift, y0 + kShift, x1 + kShift, y1 + kShift);
        Offsets expected;
        for (const auto& [x, y] : litPixels(whole))
            if (clipped.inside(x - kShift, y - kShift))
                expected.insert({x - kShift, y - kShift});
        EXPECT_EQ(litPixels(clipped), expected) << x0 << "," << y0 << " -> " << x1 << "," << y1;
    }
}
