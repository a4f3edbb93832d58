#pragma once
// The selection summary the sky and orbit maps print as their text panel:
// the active conditions, the sol range of the shown orbits, the averages
// table and the orbit counts.

#include <string>
#include <vector>

struct MapInputs;
struct SelectionConditions;
class Canvas;

// One line of the panel: the label at the left, the cells right-aligned in
// the table's columns from the second on, and a note after the last column.
struct PanelLine {
    std::string label;
    std::vector<std::string> cells;
    std::string note;
    bool averageTable = false; // in the averages table's columns
};

std::vector<PanelLine> selectionSummaryLines(const SelectionConditions& conditions,
                                             const MapInputs& inputs, bool withAverages);
// The line's texts joined by single blanks, as a reader would copy them.
std::string panelLineText(const PanelLine& line);

// Draws the panel on a shaded backing in the current colour, in the corner
// where it covers the least of what is drawn and keeps off the texts the
// canvas has recorded; records its box.
void drawSelectionPanel(Canvas& canvas, const std::vector<PanelLine>& lines);
