// The bitmap font and the placement of map text.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "maps/bitmap_font.h"
#include "maps/canvas.h"

namespace {

// Screen columns and rows (from the top left) of the lit pixels.
struct LitBox {
    int left = 1 << 30;
    int right = -1;
    int top = 1 << 30;
    int bottom = -1;
    int count = 0;
};

LitBox litBox(const Canvas& canvas)
{
    LitBox box;
    for (int y = 0; y <= canvas.maxY(); ++y)
        for (int x = 0; x <= canvas.maxX(); ++x)
            if (canvas.pixel(x, y) != canvas.background()) {
                const int row = canvas.maxY() - y;
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, row);
                box.bottom = std::max(box.bottom, row);
                ++box.count;
            }
    return box;
}

} // namespace

TEST(BitmapFont, EveryPrintableGlyphIsDistinctAndFitsItsCell)
{
    std::set<GlyphRows> seen;
    for (char c = ' '; c <= '~'; ++c) {
        const GlyphRows& rows = glyph(c);
        const bool blank = std::all_of(rows.begin(), rows.end(), [](auto row) { return row == 0; });
        EXPECT_EQ(blank, c == ' ') << "glyph '" << c << "'";
        for (const auto row : rows)
            EXPECT_EQ(row & ~0x1F, 0) << "glyph '" << c << "' is wider than 5 columns";
        // Row 0 keeps lines apart; row 11 keeps descenders off the next line.
        EXPECT_EQ(rows.front(), 0) << "glyph '" << c << "'";
        EXPECT_EQ(rows.back(), 0) << "glyph '" << c << "'";
        EXPECT_TRUE(seen.insert(rows).second) << "glyph '" << c << "' repeats another";
    }
}

TEST(BitmapFont, UnprintableCharactersShowAsQuestionMark)
{
    EXPECT_EQ(glyph('\t'), glyph('?'));
    EXPECT_EQ(glyph('\x7f'), glyph('?'));
    EXPECT_EQ(glyph(static_cast<char>(0xB0)), glyph('?'));
}

TEST(Text, LeftAlignedGlyphLandsInsideItsBox)
{
    Canvas canvas(200, 100, false);
    canvas.drawTextAt(10, 20, "H", TextAlign::Left);
    const LitBox box = litBox(canvas);
    ASSERT_GT(box.count, 0);
    // 'H' spans its 5 ink columns and the 7 rows of a capital from row 2.
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.right, 14);
    EXPECT_EQ(box.top, 22);
    EXPECT_EQ(box.bottom, 28);
}

TEST(Text, RightAlignedTextEndsAtTheCanvasEdge)
{
    Canvas canvas(203, 100, false); // W = 199
    canvas.drawTextAt(150, 0, "- 75.0", TextAlign::Right);
    const LitBox box = litBox(canvas);
    // 6 cells of 6 columns end on column W; the last column of a cell is
    // space, and '0' has ink in its fifth column.
    EXPECT_EQ(box.right, 198);
    EXPECT_GE(box.left, 199 + 1 - 6 * kGlyphAdvance);
    EXPECT_LE(box.bottom, kGlyphHeight - 1);
}

TEST(Text, NewlineStartsALineTwelveRowsLower)
{
    Canvas one(100, 100, false);
    Canvas two(100, 100, false);
    one.drawTextAt(0, 12, "E", TextAlign::Left);
    two.drawTextAt(0, 0, "\nE", TextAlign::Left);
    for (int y = 0; y <= 99; ++y)
        for (int x = 0; x <= 99; ++x)
            ASSERT_EQ(one.pixel(x, y), two.pixel(x, y)) << x << "," << y;
}

TEST(Text, IsNotClippedToTheBoxButNeverLeavesTheCanvas)
{
    Canvas canvas(50, 30, false); // W = 47, H = 27
    // Both strings run over the canvas edges; 'W' and 'M' have ink in their
    // fourth column, which lands on columns 47 and 0.
    canvas.drawTextAt(44, 10, "WW", TextAlign::Left);
    canvas.drawTextAt(-3, -2, "MM", TextAlign::Left);
    const LitBox box = litBox(canvas);
    EXPECT_EQ(box.right, 47);
    EXPECT_EQ(box.left, 0);
    // The margin right of W and below H keeps the background.
    for (int row = 0; row < 30; ++row)
        for (int column = 48; column < 50; ++column) {
            const std::uint8_t* p = canvas.rgbData() + row * canvas.bytesPerLine() + column * 3;
            EXPECT_EQ(p[0] | p[1] | p[2], 0) << column << "," << row;
        }
}

TEST(Text, UsesTheBlackAndWhiteRule)
{
    Canvas canvas(100, 40, true);
    canvas.setColor(kWhite);
    canvas.drawTextAt(0, 0, "A", TextAlign::Left);
    // 'A' has ink at its top-left corner's neighbour: row 2, column 1.
    EXPECT_EQ(canvas.pixel(1, canvas.maxY() - 2), kBlack);
}

TEST(TableText, IsRightAlignedInItsColumnOnTheCurrentLine)
{
    Canvas canvas(300, 200, false);
    canvas.setTableColumns({30, 76, 96});
    canvas.setTextLine(2);
    canvas.drawTableText(1, "12.5");
    const LitBox box = litBox(canvas);
    // '5' has ink in its fifth column, so the text ends one column before the
    // column's right edge at 76; line 2 starts 24 rows from the top.
    EXPECT_EQ(box.right, 75);
    EXPECT_GE(box.left, 77 - 4 * kGlyphAdvance);
    EXPECT_GE(box.top, 24);
    EXPECT_LE(box.bottom, 35);
}

TEST(TableText, NextLineAndUnknownColumns)
{
    Canvas canvas(300, 200, false);
    canvas.setTableColumns({30});
    canvas.nextTextLine();
    EXPECT_EQ(canvas.textLine(), 1);
    canvas.drawTableText(1, "x");
    canvas.drawTableText(-1, "x");
    EXPECT_EQ(litBox(canvas).count, 0);
    canvas.drawTableText(0, "1");
    EXPECT_GE(litBox(canvas).top, 12);
}
