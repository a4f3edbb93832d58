#pragma once
// The maps' fixed bitmap font: printable ASCII in cells 6 pixels wide and
// 12 high, the height of a map text line.

#include <array>
#include <cstdint>

inline constexpr int kGlyphAdvance = 6; // 5 columns of ink and 1 of space
inline constexpr int kGlyphInkWidth = 5;
inline constexpr int kGlyphHeight = 12;

// Rows of a glyph, top first; bit 4 is the leftmost column.
using GlyphRows = std::array<std::uint8_t, kGlyphHeight>;

// The glyph of c; characters outside 32..126 show as '?'.
const GlyphRows& glyph(char c);
