#pragma once
// Canvas: the RGB pixel buffer a map draws into, with its lower-left origin,
// clipping, black-and-white rule, markers, lines and bitmap-font text.

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "maps/label_placement.h"
#include "maps/map_colors.h"

enum class TextAlign { Left, Right };

class Canvas {
public:
    static constexpr int kMaxMarkerSize = 15;
    static constexpr int kTextLineHeight = 12;
    // The smallest map area drawn, each way: the window's map never gets smaller, and
    // below it the drawable part shrinks towards nothing.
    static constexpr int kMinAreaSide = 64;

    // areaWidth x areaHeight is the map area on screen; the drawable part is
    // 0..maxX() by 0..maxY(), a multiple of four pixels each way.
    Canvas(int areaWidth, int areaHeight, bool blackAndWhite);

    int areaWidth() const { return m_areaWidth; }
    int areaHeight() const { return m_areaHeight; }
    int maxX() const { return m_maxX; } // W
    int maxY() const { return m_maxY; } // H
    bool blackAndWhite() const { return m_blackAndWhite; }
    Rgb background() const { return m_blackAndWhite ? kWhite : kBlack; }

    // Fills the whole area with the background.
    void clear();

    void setColor(Rgb color) { m_color = color; }
    Rgb color() const { return m_color; }

    // One pixel at canvas (x, y) in the current colour; outside the canvas
    // nothing happens. In black-and-white mode black becomes white and every
    // other colour black.
    void plotPoint(int x, int y)
    {
        if (inside(x, y))
            put(x, y, m_blackAndWhite ? mappedToBlackAndWhite(m_color) : m_color);
    }
    // As plotPoint, but always in the current colour (the radiant map picks
    // its own greys in black-and-white mode).
    void plotPointTrueColor(int x, int y)
    {
        if (inside(x, y))
            put(x, y, m_color);
    }
    // A marker of size 1..15 centred on (x, y); other sizes draw nothing.
    void plotMarker(int x, int y, int size);
    void plotMarkerTrueColor(int x, int y, int size);
    // Every pixel from (x0, y0) to (x1, y1), both ends included.
    void drawLine(int x0, int y0, int x1, int y1);

    // Text in the box from column x to maxX(), its top `top` rows below the
    // top edge; "\n" starts a new line 12 rows lower. Not clipped to the box.
    void drawTextAt(int x, int top, std::string_view text, TextAlign align);
    // The fixed column table of the orbit text lists: right edges in pixels
    // from the left, and the current line (counted from the top).
    void setTableColumns(std::vector<int> rightEdges) { m_tableColumns = std::move(rightEdges); }
    void setTextLine(int line) { m_textLine = line; }
    void nextTextLine() { ++m_textLine; }
    int textLine() const { return m_textLine; }
    // Right-aligned in that column of the table on the current line; an
    // unknown column draws nothing.
    void drawTableText(int column, std::string_view text);

    // Darkens the box to a quarter of its brightness, so text on it reads
    // over anything; in black-and-white mode fills it white.
    void shadeBox(const ScreenBox& box);
    // The pixels of the box (clipped to the canvas) that are not background.
    int litPixelsIn(const ScreenBox& box) const;
    // Where the map's texts went; emptied by clear().
    LabelPlacement& labels() { return m_labels; }
    const LabelPlacement& labels() const { return m_labels; }

    bool inside(int x, int y) const { return x >= 0 && x <= m_maxX && y >= 0 && y <= m_maxY; }
    // The colour at canvas (x, y), which must be inside.
    Rgb pixel(int x, int y) const;
    // The area's pixels top row first, each as red, green, blue.
    const std::uint8_t* rgbData() const { return m_pixels.data(); }
    int bytesPerLine() const { return m_areaWidth * 3; }

private:
    static Rgb mappedToBlackAndWhite(Rgb color) { return color == kBlack ? kWhite : kBlack; }
    void put(int x, int y, Rgb color)
    {
        std::uint8_t* p = &m_pixels[offset(x, y)];
        p[0] = color.r;
        p[1] = color.g;
        p[2] = color.b;
    }
    std::size_t offset(int x, int y) const
    {
        return static_cast<std::size_t>(m_maxY - y) * static_cast<std::size_t>(bytesPerLine()) +
               static_cast<std::size_t>(x) * 3;
    }
    template <typename Plot> void forEachMarkerPixel(int x, int y, int size, Plot plot);
    void drawTextLine(int left, int top, std::string_view line);

    int m_areaWidth;
    int m_areaHeight;
    int m_maxX;
    int m_maxY;
    bool m_blackAndWhite;
    Rgb m_color = kWhite;
    std::vector<int> m_tableColumns;
    int m_textLine = 0;
    std::vector<std::uint8_t> m_pixels;
    LabelPlacement m_labels;
};
