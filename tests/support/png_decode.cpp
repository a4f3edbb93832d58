// PNG decoding through libpng's simplified interface.
#include "support/png_decode.h"

#include <png.h>

std::optional<DecodedPng> decodePng(const std::string& bytes)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return std::nullopt;
    image.format = PNG_FORMAT_RGB;
    DecodedPng decoded{static_cast<int>(image.width), static_cast<int>(image.height), {}};
    decoded.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, decoded.rgb.data(), 0, nullptr))
        return std::nullopt;
    return decoded;
}
