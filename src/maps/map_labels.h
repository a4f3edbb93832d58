#pragma once
// Labels that keep off each other and off the maps' fixed texts: queued
// while a map draws, placed and drawn on top once the fixed boxes (legend,
// panel, footer) are recorded; what finds no place is counted in a footer.

#include <optional>
#include <string>

#include "maps/label_placement.h"

class Canvas;

// Queues a label beside canvas pixel p (none when p is off the canvas) in
// the current colour: first tried with its left edge dx right of p and its
// middle dy above it, then around the point, clear of a marker of that size
// (0 for none).
void labelAt(Canvas& canvas, Pixel p, int dx, int dy, const std::string& text, int markerSize = 0);
// Records the box of a fixed text line and draws it in the current colour.
void fixedText(Canvas& canvas, int left, int top, const std::string& text);
// Records the footer line where "+N labels" goes (x pixels from the left,
// its top `top` rows from the top edge).
ScreenBox reserveDroppedNote(Canvas& canvas, int left, int top);
// Places and draws the queued labels in the order queued, then writes
// "+N labels" in the reserved note box when some found no free place.
void placeLabels(Canvas& canvas, std::optional<ScreenBox> droppedNote);
