#pragma once
// The selection summary the sky and orbit maps print in their top left
// corner: the active conditions, the sol range of the shown orbits, the
// averages table and the orbit counts.

struct MapInputs;
struct SelectionConditions;
class Canvas;

// Drawn from line 0 down in the current colour; with averages, their table.
void drawSelectionSummary(Canvas& canvas, const SelectionConditions& conditions,
                          const MapInputs& inputs, bool withAverages);
