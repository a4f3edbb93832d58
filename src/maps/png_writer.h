#pragma once
// A canvas as an 8-bit RGB PNG file, written through libpng.

#include <string>

class Canvas;

// The file's bytes: the same pixels a BMP of the canvas holds, 0..maxX by 0..maxY, top row
// first; empty when libpng could not encode them.
std::string encodePng(const Canvas& canvas);
