// Placing the maps' labels.
#include "maps/map_labels.h"

#include <algorithm>
#include <vector>

#include "maps/bitmap_font.h"
#include "maps/canvas.h"

namespace {

constexpr int kGap = 2;
// Room for the widest count the note is likely to print.
const std::string kWidestNote = "+99999 labels";

// Half the width of a marker of that size, as the canvas draws it; -1 for
// a point without a marker (a grid line's end), which labels may touch.
int markerReach(int size) { return size < 1 ? -1 : size / 2 + 1; }

// The preferred place, then the eight places around the point, then the
// same a line further out.
std::vector<ScreenBox> candidates(const Canvas& canvas, const LabelPlacement::Request& r)
{
    const int x = r.anchor.x;
    const int row = canvas.maxY() - r.anchor.y;
    const int width = static_cast<int>(r.text.size()) * kGlyphAdvance;
    std::vector<ScreenBox> boxes{textBox(x + r.dx, row - r.dy - kGlyphHeight / 2, r.text)};
    for (int ring = 0; ring < 2; ++ring) {
        const int d = std::max(r.clearance, 0) + kGap + ring * kGlyphHeight;
        const int right = x + d;
        const int left = x - d - width;
        const int middle = x - width / 2;
        const int above = row - d - kGlyphHeight;
        const int below = row + d + 1;
        const int level = row - kGlyphHeight / 2;
        for (const auto& [l, t] : {std::pair{right, level},
                                   {left, level},
                                   {middle, above},
                                   {middle, below},
                                   {right, above},
                                   {right, below},
                                   {left, above},
                                   {left, below}})
            boxes.push_back(textBox(l, t, r.text));
    }
    return boxes;
}

} // namespace

void labelAt(Canvas& canvas, Pixel p, int dx, int dy, const std::string& text, int markerSize)
{
    // A point off the canvas is not shown, so neither is its name.
    if (!canvas.inside(p.x, p.y))
        return;
    canvas.labels().queue({p, markerReach(markerSize), dx, dy, text, canvas.color()});
}

void fixedText(Canvas& canvas, int left, int top, const std::string& text)
{
    canvas.labels().record(textBox(left, top, text), BoxKind::Footer, text);
    canvas.drawTextAt(left, top, text, TextAlign::Left);
}

ScreenBox reserveDroppedNote(Canvas& canvas, int left, int top)
{
    const ScreenBox box = textBox(left, top, kWidestNote);
    canvas.labels().record(box, BoxKind::Footer, "labels left out");
    return box;
}

void placeLabels(Canvas& canvas, std::optional<ScreenBox> droppedNote)
{
    LabelPlacement& placement = canvas.labels();
    std::vector<LabelPlacement::Request> requests;
    placement.takeQueued(requests);
    // The labelled points themselves stay visible.
    for (const LabelPlacement::Request& r : requests)
        if (r.clearance >= 0) {
            const int row = canvas.maxY() - r.anchor.y;
            placement.record({r.anchor.x - r.clearance, row - r.clearance, r.anchor.x + r.clearance,
                              row + r.clearance},
                             BoxKind::Marker);
        }
    for (const LabelPlacement::Request& r : requests) {
        const PlacedBox* placed =
            placement.placeFirstFree(candidates(canvas, r), BoxKind::Label, r.text);
        if (!placed) {
            placement.countDropped();
            continue;
        }
        canvas.setColor(r.color);
        canvas.drawTextAt(placed->box.left, placed->box.top, r.text, TextAlign::Left);
    }
    if (droppedNote && placement.dropped() > 0) {
        canvas.setColor(kWhite);
        canvas.drawTextAt(droppedNote->left, droppedNote->top,
                          "+" + std::to_string(placement.dropped()) + " labels", TextAlign::Left);
    }
}
