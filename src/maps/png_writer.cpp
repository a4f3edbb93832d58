// The PNG encoder, on libpng's simplified interface.
#include "maps/png_writer.h"

#include <png.h>

#include "maps/canvas.h"

std::string encodePng(const Canvas& canvas)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(canvas.maxX() + 1);
    image.height = static_cast<png_uint_32>(canvas.maxY() + 1);
    image.format = PNG_FORMAT_RGB;
    // The canvas holds its top row (y = maxY) first, each row the area's width long.
    const png_int_32 rowStride = canvas.bytesPerLine();
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(image, size, 0, canvas.rgbData(), rowStride, nullptr))
        return {};
    std::string bytes(size, '\0');
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, canvas.rgbData(), rowStride,
                                   nullptr))
        return {};
    bytes.resize(size);
    return bytes;
}
