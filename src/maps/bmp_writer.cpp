// The BMP encoder and file writer.
#include "maps/bmp_writer.h"

#include <cstdint>

#include "maps/canvas.h"

namespace {

constexpr int kInfoHeaderSize = 40;

void putLittleEndian(std::string& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void putHeader(std::string& bytes, int width, int height)
{
    const auto pixelBytes =
        static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height) * 3;
    bytes += "BM";
    putLittleEndian(bytes, kBmpHeaderSize + pixelBytes, 4);
    putLittleEndian(bytes, 0, 4); // reserved
    putLittleEndian(bytes, kBmpHeaderSize, 4);
    putLittleEndian(bytes, kInfoHeaderSize, 4);
    putLittleEndian(bytes, static_cast<std::uint32_t>(width), 4);
    putLittleEndian(bytes, static_cast<std::uint32_t>(height), 4); // positive: bottom row first
    putLittleEndian(bytes, 1, 2);                                  // planes
    putLittleEndian(bytes, 24, 2);                                 // bits per pixel
    for (int field = 0; field < 6; ++field)
        putLittleEndian(bytes, 0, 4); // compression, image size, resolutions, colours
}

} // namespace

std::string encodeBmp(const Canvas& canvas)
{
    const int width = canvas.maxX() + 1;
    const int height = canvas.maxY() + 1;
    std::string bytes;
    putHeader(bytes, width, height);
    bytes.resize(kBmpHeaderSize + static_cast<std::size_t>(width) * height * 3);
    char* out = bytes.data() + kBmpHeaderSize;
    // Canvas row y is screen row maxY - y: the file's first row is the
    // screen's row maxY.
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = canvas.rgbData() + (canvas.maxY() - y) * canvas.bytesPerLine();
        for (int x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = static_cast<char>(in[2]);
            out[1] = static_cast<char>(in[1]);
            out[2] = static_cast<char>(in[0]);
        }
    }
    return bytes;
}
