// Canvas construction, markers, lines and text.
#include "maps/canvas.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <span>

#include "maps/bitmap_font.h"

namespace {

// One horizontal run of a marker: dx from..to on row dy (dy upwards).
struct MarkerRun {
    int dy;
    int dxFrom;
    int dxTo;
};

constexpr MarkerRun kSize1[] = {{0, 0, 0}};
constexpr MarkerRun kSize2[] = {{0, 0, 1}, {1, 0, 1}};
constexpr MarkerRun kSize3[] = {{0, -1, 1}, {1, 0, 0}, {-1, -1, -1}};
constexpr MarkerRun kSize4[] = {{-1, -1, 1}, {0, -1, 1}, {1, -1, 1}};
constexpr MarkerRun kSize5[] = {{1, -1, 1}, {-1, -1, 1}, {0, -2, 2}};
constexpr MarkerRun kSize6[] = {{-1, -2, 2}, {0, -2, 2}, {1, -2, 2}};
constexpr MarkerRun kSize7[] = {{2, -2, 2}, {-2, -2, 2}, {1, -3, 3}, {-1, -3, 3}, {0, -4, 4}};
constexpr MarkerRun kSize8[] = {{2, -2, 2}, {-2, -2, 2}, {1, -3, 3}, {-1, -3, 3}, {0, -5, 6}};
constexpr MarkerRun kSize9[] = {{4, -1, 1},  {-4, -1, 1}, {3, -2, 2},  {-3, -2, 2}, {2, -3, 3},
                                {-2, -3, 3}, {1, -4, 4},  {-1, -4, 4}, {0, -5, 5}};
constexpr MarkerRun kSize10[] = {{0, -1, 1}, {1, 0, 0}, {-1, 0, 0}};
constexpr MarkerRun kSize11[] = {{2, 0, 0}, {-2, 0, 0}, {1, -1, 1}, {-1, -1, 1}, {0, -2, 2}};
constexpr MarkerRun kSize12[] = {{0, -2, 2}, {1, 0, 0}, {2, 0, 0}, {-1, 0, 0}, {-2, 0, 0}};
// The cross of sizes 13 to 15: a horizontal and a vertical arm of 4 pixels.
constexpr MarkerRun kCross[] = {{0, -4, 4}, {1, 0, 0},  {2, 0, 0},  {3, 0, 0}, {4, 0, 0},
                                {-1, 0, 0}, {-2, 0, 0}, {-3, 0, 0}, {-4, 0, 0}};
constexpr std::span<const MarkerRun> kMarkerRuns[] = {kSize1,  kSize2,  kSize3, kSize4, kSize5,
                                                      kSize6,  kSize7,  kSize8, kSize9, kSize10,
                                                      kSize11, kSize12, kCross, kCross, kCross};

// Sizes 13 and 14 add both diagonals out to this many pixels.
int markerDiagonalReach(int size)
{
    if (size == 13)
        return 4;
    if (size == 14)
        return 2;
    return 0;
}

int multipleOfFourMinusOne(int pixels) { return 4 * (std::max(pixels, 0) / 4) - 1; }

int textWidth(std::string_view line) { return static_cast<int>(line.size()) * kGlyphAdvance; }

} // namespace

Canvas::Canvas(int areaWidth, int areaHeight, bool blackAndWhite)
    : m_areaWidth(std::max(areaWidth, 0)), m_areaHeight(std::max(areaHeight, 0)),
      m_maxX(multipleOfFourMinusOne(areaWidth)), m_maxY(multipleOfFourMinusOne(areaHeight)),
      m_blackAndWhite(blackAndWhite),
      m_pixels(static_cast<std::size_t>(m_areaWidth) * static_cast<std::size_t>(m_areaHeight) * 3)
{
    m_labels.setCanvas(m_maxX, m_maxY);
    clear();
}

void Canvas::clear()
{
    m_labels.clear();
    const Rgb fill = background();
    if (fill.r == fill.g && fill.g == fill.b) {
        std::fill(m_pixels.begin(), m_pixels.end(), fill.r);
        return;
    }
    for (std::size_t i = 0; i < m_pixels.size(); i += 3) {
        m_pixels[i] = fill.r;
        m_pixels[i + 1] = fill.g;
        m_pixels[i + 2] = fill.b;
    }
}

Rgb Canvas::pixel(int x, int y) const
{
    const std::uint8_t* p = &m_pixels[offset(x, y)];
    return {p[0], p[1], p[2]};
}

void Canvas::shadeBox(const ScreenBox& box)
{
    for (int row = std::max(box.top, 0); row <= std::min(box.bottom, m_maxY); ++row)
        for (int x = std::max(box.left, 0); x <= std::min(box.right, m_maxX); ++x) {
            const int y = m_maxY - row;
            if (m_blackAndWhite) {
                put(x, y, kWhite);
                continue;
            }
            const Rgb old = pixel(x, y);
            put(x, y,
                {static_cast<std::uint8_t>(old.r / 4), static_cast<std::uint8_t>(old.g / 4),
                 static_cast<std::uint8_t>(old.b / 4)});
        }
}

int Canvas::litPixelsIn(const ScreenBox& box) const
{
    int lit = 0;
    const Rgb empty = background();
    for (int row = std::max(box.top, 0); row <= std::min(box.bottom, m_maxY); ++row)
        for (int x = std::max(box.left, 0); x <= std::min(box.right, m_maxX); ++x)
            lit += pixel(x, m_maxY - row) == empty ? 0 : 1;
    return lit;
}

template <typename Plot> void Canvas::forEachMarkerPixel(int x, int y, int size, Plot plot)
{
    if (size < 1 || size > kMaxMarkerSize)
        return;
    for (const MarkerRun& run : kMarkerRuns[size - 1])
        for (int dx = run.dxFrom; dx <= run.dxTo; ++dx)
            plot(x + dx, y + run.dy);
    for (int k = 1; k <= markerDiagonalReach(size); ++k) {
        plot(x + k, y + k);
        plot(x - k, y + k);
        plot(x + k, y - k);
        plot(x - k, y - k);
    }
}

void Canvas::plotMarker(int x, int y, int size)
{
    forEachMarkerPixel(x, y, size, [this](int px, int py) { plotPoint(px, py); });
}

void Canvas::plotMarkerTrueColor(int x, int y, int size)
{
    forEachMarkerPixel(x, y, size, [this](int px, int py) { plotPointTrueColor(px, py); });
}

void Canvas::drawLine(int x0, int y0, int x1, int y1)
{
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int stepX = x0 < x1 ? 1 : -1;
    const int stepY = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        plotPoint(x0, y0);
        if (x0 == x1 && y0 == y1)
            return;
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x0 += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            y0 += stepY;
        }
    }
}

void Canvas::drawTextLine(int left, int top, std::string_view line)
{
    for (const char c : line) {
        const GlyphRows& rows = glyph(c);
        for (int row = 0; row < kGlyphHeight; ++row)
            for (int column = 0; column < kGlyphInkWidth; ++column)
                if (rows[static_cast<std::size_t>(row)] & (0x10 >> column))
                    plotPoint(left + column, m_maxY - (top + row));
        left += kGlyphAdvance;
    }
}

void Canvas::drawTextAt(int x, int top, std::string_view text, TextAlign align)
{
    for (;;) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        // Right-aligned text ends with its last cell on the box's last column.
        const int left = align == TextAlign::Right ? m_maxX + 1 - textWidth(line) : x;
        drawTextLine(left, top, line);
        if (end == std::string_view::npos)
            return;
        text.remove_prefix(end + 1);
        top += kTextLineHeight;
    }
}

void Canvas::drawTableText(int column, std::string_view text)
{
    if (column < 0 || static_cast<std::size_t>(column) >= m_tableColumns.size())
        return;
    const int right = m_tableColumns[static_cast<std::size_t>(column)];
    drawTextLine(right + 1 - textWidth(text), m_textLine * kTextLineHeight, text);
}
