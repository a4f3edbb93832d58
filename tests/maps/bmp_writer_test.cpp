// The BMP bytes of a canvas, checked against the file layout.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "maps/bmp_writer.h"
#include "maps/canvas.h"

namespace {

std::uint32_t field(const std::string& bytes, std::size_t offset, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value =
            (value << 8) | static_cast<std::uint8_t>(bytes[offset + static_cast<std::size_t>(i)]);
    return value;
}

} // namespace

TEST(Bmp, WorkedExampleSize)
{
    // 403 x 250 pixels: a 400 x 248 file of 54 + 400 * 248 * 3 bytes.
    const std::string bytes = encodeBmp(Canvas(403, 250, false));
    EXPECT_EQ(bytes.size(), 54u + 400u * 248u * 3u);
    EXPECT_EQ(field(bytes, 2, 4), bytes.size());
    EXPECT_EQ(field(bytes, 18, 4), 400u);
    EXPECT_EQ(field(bytes, 22, 4), 248u);
}

TEST(Bmp, HeaderFieldsAsTabled)
{
    const std::string bytes = encodeBmp(Canvas(10, 9, false)); // W = 7, H = 7
    struct Field {
        const char* name;
        std::size_t offset;
        int size;
        std::uint32_t value;
    };
    const Field fields[] = {
        {"file size", 2, 4, 54 + 8 * 8 * 3},
        {"reserved", 6, 4, 0},
        {"pixel offset", 10, 4, 54},
        {"header size", 14, 4, 40},
        {"width", 18, 4, 8},
        {"height", 22, 4, 8},
        {"planes", 26, 2, 1},
        {"bits per pixel", 28, 2, 24},
        {"compression", 30, 4, 0},
        {"image size", 34, 4, 0},
        {"horizontal resolution", 38, 4, 0},
        {"vertical resolution", 42, 4, 0},
        {"colours used", 46, 4, 0},
        {"important colours", 50, 4, 0},
    };
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    for (const Field& f : fields)
        EXPECT_EQ(field(bytes, f.offset, f.size), f.value) << f.name;
}

TEST(Bmp, SmallCanvasByteForByte)
{
    // A 6 x 5 area holds a 4 x 4 canvas; the margin must not reach the file.
    Canvas canvas(6, 5, false);
    canvas.setColor({0x11, 0x22, 0x33});
    canvas.plotPoint(0, 0); // bottom left: the first pixel of the file
    canvas.setColor({0xA1, 0xB2, 0xC3});
    canvas.plotPoint(3, 3); // top right: the last pixel
    canvas.setColor({0x01, 0x02, 0x03});
    canvas.plotPoint(1, 2); // third row from the bottom, second pixel

    std::string expected(
        "BM"
        "\x66\x00\x00\x00" // 54 + 4 * 4 * 3 = 102
        "\x00\x00\x00\x00"
        "\x36\x00\x00\x00" // 54
        "\x28\x00\x00\x00" // 40
        "\x04\x00\x00\x00"
        "\x04\x00\x00\x00"
        "\x01\x00"
        "\x18\x00" // 24
        "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
        "\x00\x00",
        54);
    std::string pixels(48, '\0');
    const auto put = [&pixels](int row, int column, std::uint8_t b, std::uint8_t g,
                               std::uint8_t r) {
        const auto at = static_cast<std::size_t>(row * 12 + column * 3);
        pixels[at] = static_cast<char>(b);
        pixels[at + 1] = static_cast<char>(g);
        pixels[at + 2] = static_cast<char>(r);
    };
    put(0, 0, 0x33, 0x22, 0x11);
    put(2, 1, 0x03, 0x02, 0x01);
    put(3, 3, 0xC3, 0xB2, 0xA1);
    EXPECT_EQ(encodeBmp(canvas), expected + pixels);
}

TEST(Bmp, BlackAndWhiteBackgroundIsWhite)
{
    const std::string bytes = encodeBmp(Canvas(4, 4, true));
    EXPECT_EQ(bytes.substr(54), std::string(48, '\xFF'));
}
