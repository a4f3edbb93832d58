// PNG output: canvases of random pixels decoded again with libpng, and Save Map choosing the
// format by the name's extension.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "maps/bmp_writer.h"
#include "maps/canvas.h"
#include "maps/png_writer.h"
#include "maps/save_map.h"
#include "platform/scripted_ui.h"
#include "support/png_decode.h"
#include "support/test_support.h"

namespace {

Canvas randomCanvas(std::mt19937& random, int width, int height)
{
    Canvas canvas(width, height, false);
    for (int y = 0; y <= canvas.maxY(); ++y)
        for (int x = 0; x <= canvas.maxX(); ++x) {
            const auto bits = random();
            canvas.setColor({static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                             static_cast<std::uint8_t>(bits >> 16)});
            canvas.plotPoint(x, y);
        }
    return canvas;
}

// Every pixel of the drawable part, the file's top row being the canvas row maxY.
void expectSamePixels(const Canvas& canvas, const DecodedPng& png)
{
    ASSERT_EQ(png.width, canvas.maxX() + 1);
    ASSERT_EQ(png.height, canvas.maxY() + 1);
    int differing = 0;
    for (int row = 0; row < png.height; ++row)
        for (int x = 0; x < png.width; ++x) {
            const std::uint8_t* p = &png.rgb[(static_cast<std::size_t>(row) * png.width + x) * 3];
            differing += Rgb{p[0], p[1], p[2]} == canvas.pixel(x, canvas.maxY() - row) ? 0 : 1;
        }
    EXPECT_EQ(differing, 0);
}

struct SizeCase {
    const char* label;
    int width;
    int height;
};

const SizeCase kSizes[] = {
    {"Tiny", 5, 5}, {"Odd_area", 21, 13}, {"Wide", 1283, 7}, {"Map_sized", 800, 600}};

class PngRoundTripTest : public testing::TestWithParam<SizeCase> {};

TEST_P(PngRoundTripTest, DecodesToTheCanvasPixels)
{
    const SizeCase& c = GetParam();
    std::mt19937 random(static_cast<unsigned>(c.width * 1000 + c.height));
    const Canvas canvas = randomCanvas(random, c.width, c.height);
    const std::string bytes = encodePng(canvas);
    ASSERT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
    const std::optional<DecodedPng> decoded = decodePng(bytes);
    ASSERT_TRUE(decoded.has_value());
    expectSamePixels(canvas, *decoded);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PngRoundTripTest, testing::ValuesIn(kSizes),
                         [](const auto& info) { return std::string(info.param.label); });

struct FormatCase {
    const char* label;
    std::string name;
    bool png;
};

const FormatCase kFormats[] = {{"Png", "map.png", true},
                               {"Upper_case_png", "MAP.PNG", true},
                               {"Bmp", "map.bmp", false},
                               {"Png_inside_the_name", "map.png.bmp", false},
                               {"No_extension", "map", false}};

class SaveMapFormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(SaveMapFormatTest, ChosenByTheNamesExtension)
{
    const FormatCase& c = GetParam();
    TempDir dir;
    ScopedScriptedUi scripted;
    scripted->answerPath(dir.file(c.name));
    std::mt19937 random(7);
    const Canvas canvas = randomCanvas(random, 64, 48);
    ASSERT_TRUE(saveMap(canvas, dir.file("OV20181214SM.bmp")));
    const std::string bytes = readFileBytes(dir.file(c.name));
    if (c.png) {
        const std::optional<DecodedPng> decoded = decodePng(bytes);
        ASSERT_TRUE(decoded.has_value());
        expectSamePixels(canvas, *decoded);
    } else {
        EXPECT_EQ(bytes, encodeBmp(canvas));
    }
    EXPECT_EQ(scripted->busyDepth(), 0);
}

INSTANTIATE_TEST_SUITE_P(Names, SaveMapFormatTest, testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
