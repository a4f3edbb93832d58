// Keeping a map's texts on the canvas and apart.
#include "maps/label_placement.h"

#include <algorithm>

#include "maps/bitmap_font.h"

ScreenBox textBox(int left, int top, const std::string& text)
{
    // The last cell's blank column is part of the text's room.
    const int width = static_cast<int>(text.size()) * kGlyphAdvance;
    return {left, top, left + width - 1, top + kGlyphHeight - 1};
}

void LabelPlacement::clear()
{
    m_boxes.clear();
    m_requests.clear();
    m_dropped = 0;
}

bool LabelPlacement::isFree(const ScreenBox& box) const
{
    if (box.left < 0 || box.top < 0 || box.right > m_maxX || box.bottom > m_maxY)
        return false;
    return std::none_of(m_boxes.begin(), m_boxes.end(),
                        [&box](const PlacedBox& placed) { return placed.box.overlaps(box); });
}

void LabelPlacement::record(const ScreenBox& box, BoxKind kind, std::string text)
{
    m_boxes.push_back({box, kind, std::move(text)});
}

const PlacedBox* LabelPlacement::placeFirstFree(const std::vector<ScreenBox>& candidates,
                                                BoxKind kind, const std::string& text)
{
    for (const ScreenBox& box : candidates)
        if (isFree(box)) {
            record(box, kind, text);
            return &m_boxes.back();
        }
    return nullptr;
}
