#pragma once
// A canvas as a 24-bit uncompressed BMP file.

#include <string>

class Canvas;

inline constexpr int kBmpHeaderSize = 54;

// The file's bytes: header, then rows bottom first of (maxX+1) pixels as
// blue, green, red; the width is a multiple of four, so rows need no padding.
std::string encodeBmp(const Canvas& canvas);
