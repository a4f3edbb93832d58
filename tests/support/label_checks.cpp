// Checks on a map's text placement.
#include "support/label_checks.h"

#include <gtest/gtest.h>

#include "maps/canvas.h"

void expectNoCollision(const Canvas& canvas, const std::string& what)
{
    const std::vector<PlacedBox>& boxes = canvas.labels().boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const PlacedBox& a = boxes[i];
        if (a.kind == BoxKind::Label) {
            EXPECT_GE(a.box.left, 0) << what << " " << a.text;
            EXPECT_GE(a.box.top, 0) << what << " " << a.text;
            EXPECT_LE(a.box.right, canvas.maxX()) << what << " " << a.text;
            EXPECT_LE(a.box.bottom, canvas.maxY()) << what << " " << a.text;
        }
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            const PlacedBox& b = boxes[j];
            // Markers of points may touch each other and the fixed texts.
            const bool label = a.kind == BoxKind::Label || b.kind == BoxKind::Label;
            if (!label && (a.kind == BoxKind::Marker || b.kind == BoxKind::Marker))
                continue;
            EXPECT_FALSE(a.box.overlaps(b.box))
                << what << ": \"" << a.text << "\" and \"" << b.text << "\"";
        }
    }
}
