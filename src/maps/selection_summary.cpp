// The text panel of the sky and orbit maps.
#include "maps/selection_summary.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "maps/bitmap_font.h"
#include "maps/canvas.h"
#include "maps/map_inputs.h"
#include "orbits/selection_conditions.h"

namespace {

const std::vector<int> kConditionColumns{30, 76, 96, 132, 152};
const std::vector<int> kAverageColumns{30, 80, 116, 156};
// Where the notes after a line's last column start.
constexpr int kNoteLeft = 134;
// Backing around the text.
constexpr int kPanelMargin = 2;

int textWidth(const std::string& text) { return static_cast<int>(text.size()) * kGlyphAdvance; }

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...)
{
    char text[96];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    return text;
}

std::string monthDay(double solDeg, int year)
{
    int month = 0;
    int day = 0;
    if (!SolToMonthDay(static_cast<float>(solDeg), year, month, day))
        return "--/--";
    return format("%02d/%02d", month, day);
}

class Panel {
public:
    explicit Panel(std::vector<PanelLine>& lines) : m_lines(lines) {}
    void line(std::string label, std::vector<std::string> cells = {}, std::string note = {})
    {
        m_lines.push_back({std::move(label), std::move(cells), std::move(note), m_averageTable});
    }
    void blank() { m_lines.emplace_back(); }
    void useAverageColumns(bool on) { m_averageTable = on; }

private:
    std::vector<PanelLine>& m_lines;
    bool m_averageTable = false;
};

using SC = SelectionConditions;

struct Condition {
    const char* label;
    int SC::*flag;
    float SC::*centre;
    float SC::*tolerance;
};

const Condition kConditions[] = {
    {"ra", &SC::po_rC, &SC::po_r1, &SC::po_r2},   {"dec", &SC::po_dC, &SC::po_d1, &SC::po_d2},
    {"vg", &SC::po_vC, &SC::po_v1, &SC::po_v2},   {"a", &SC::po_aC, &SC::po_a1, &SC::po_a2},
    {"q", &SC::po_qC, &SC::po_q1, &SC::po_q2},    {"e", &SC::po_eC, &SC::po_e1, &SC::po_e2},
    {"peri", &SC::po_pC, &SC::po_p1, &SC::po_p2}, {"node", &SC::po_nC, &SC::po_n1, &SC::po_n2},
    {"incl", &SC::po_iC, &SC::po_i1, &SC::po_i2},
};

bool anyCondition(const SelectionConditions& s)
{
    return s.po_daysC || s.po_rC || s.po_dC || s.po_vC || s.po_aC || s.po_qC || s.po_eC ||
           s.po_pC || s.po_nC || s.po_iC || s.po_RC || s.po_DC || s.po_selstream;
}

void drawConditions(Panel& panel, const SelectionConditions& s, const MapInputs& inputs)
{
    panel.line("Select Condition");
    if (s.po_selstream)
        panel.line("stream " + inputs.currentStreamCode);
    if (s.po_daysC) {
        // The date window of the selection: noon of the working date +- w days,
        // and the sol it spans on either side.
        const double sc = inputs.referenceSolDeg;
        const double m0 = DateToMJD(s.dlg_Y, s.dlg_M, s.dlg_D, 12, 0, 0);
        const double w = s.po_days == 0 ? 0.5 : s.po_days;
        double half = SolarLongitude(m0 + w + kMjdToJd) - SolarLongitude(m0 + kMjdToJd);
        if (half < 0)
            half += 360;
        panel.line("sol", {monthDay(sc - half, s.dlg_Y), "..", monthDay(sc + half, s.dlg_Y)});
        panel.line("",
                   {format("%6.1f", Normalize360(static_cast<float>(sc - half))), "..",
                    format("%6.1f", Normalize360(static_cast<float>(sc + half)))},
                   format(" %.1f +-%.1f", sc, half));
    }
    for (const Condition& c : kConditions)
        if (s.*c.flag)
            panel.line(c.label,
                       {format("%6.1f", s.*c.centre), "+-", format("%6.1f", s.*c.tolerance)});
    if (s.po_RC)
        panel.line("R", {format("%6.1f", s.po_R)});
    if (s.po_DC)
        panel.line("D'", {format("%6.2f", s.po_D),
                          format("@(%.1f %.1f %.1f)", s.po_r1, s.po_d1, s.po_v1)});
    panel.blank();
    panel.line("Selected Orbits");
}

void drawAverages(Panel& panel, const MapAverages& avr, int year)
{
    panel.line("", {"Avr", "Sd"});
    panel.line("sol", {format("%6.1f", avr.solDeg), format("%3.1f", avr.solSd),
                       monthDay(avr.solDeg, year)});
    panel.line("ra", {format("%6.1f", avr.raDeg), format("%3.1f", avr.raSd)});
    panel.line("dec", {format("%6.1f", avr.decDeg), format("%3.1f", avr.decSd)});
    panel.line("vg", {format("%6.1f", avr.vgKms), format("%3.1f", avr.vgSd)});
    const std::pair<const char*, double> means[] = {{"a", avr.a},       {"q", avr.q},
                                                    {"e", avr.e},       {"node", avr.node},
                                                    {"peri", avr.peri}, {"incl", avr.incl}};
    for (const auto& [label, value] : means)
        panel.line(label, {format("%6.3f", value)});
    panel.line("D'", {format("%6.2f", avr.dPrime)});
    panel.line("dra", {format("%6.2f", avr.driftRaDeg)});
    panel.line("ddec", {format("%6.2f", avr.driftDecDeg)});
    panel.line("sR", {format("%6.2f", avr.sR)});
    panel.line("mR", {format("%6.2f", avr.mR)});
}

int lineWidth(const PanelLine& line)
{
    const std::vector<int>& columns = line.averageTable ? kAverageColumns : kConditionColumns;
    int width = textWidth(line.label);
    if (!line.cells.empty())
        width = std::max(width, columns[std::min(line.cells.size(), columns.size() - 1)] + 1);
    if (!line.note.empty())
        width = std::max(width, kNoteLeft + textWidth(line.note));
    return width;
}

void drawLine(Canvas& canvas, int left, int top, const PanelLine& line)
{
    const std::vector<int>& columns = line.averageTable ? kAverageColumns : kConditionColumns;
    canvas.drawTextAt(left, top, line.label, TextAlign::Left);
    for (std::size_t i = 0; i < line.cells.size() && i + 1 < columns.size(); ++i)
        canvas.drawTextAt(left + columns[i + 1] + 1 - textWidth(line.cells[i]), top, line.cells[i],
                          TextAlign::Left);
    if (!line.note.empty())
        canvas.drawTextAt(left + kNoteLeft, top, line.note, TextAlign::Left);
}

// The four corners, and each of them moved off the recorded boxes it
// would cover (beside them or above or below them).
std::vector<ScreenBox> panelPlaces(const Canvas& canvas, int width, int height)
{
    const int right = canvas.maxX();
    const int bottom = canvas.maxY();
    const ScreenBox corners[] = {{0, 0, width - 1, height - 1},
                                 {right - width + 1, 0, right, height - 1},
                                 {0, bottom - height + 1, width - 1, bottom},
                                 {right - width + 1, bottom - height + 1, right, bottom}};
    std::vector<ScreenBox> places;
    for (const ScreenBox& corner : corners) {
        places.push_back(corner);
        for (const PlacedBox& placed : canvas.labels().boxes()) {
            if (!placed.box.overlaps(corner))
                continue;
            const bool atLeft = corner.left == 0;
            const bool atTop = corner.top == 0;
            const int dx =
                atLeft ? placed.box.right + 1 - corner.left : placed.box.left - 1 - corner.right;
            const int dy =
                atTop ? placed.box.bottom + 1 - corner.top : placed.box.top - 1 - corner.bottom;
            places.push_back({corner.left + dx, corner.top, corner.right + dx, corner.bottom});
            places.push_back({corner.left, corner.top + dy, corner.right, corner.bottom + dy});
        }
    }
    return places;
}

// Of the places where the box keeps off the recorded texts, the one over
// the fewest lit pixels; the top left corner when none is free.
ScreenBox leastCoveringCorner(const Canvas& canvas, int width, int height)
{
    const std::vector<ScreenBox> places = panelPlaces(canvas, width, height);
    ScreenBox best = places.front();
    int bestLit = -1;
    for (const ScreenBox& place : places) {
        if (!canvas.labels().isFree(place))
            continue;
        const int lit = canvas.litPixelsIn(place);
        if (bestLit < 0 || lit < bestLit) {
            best = place;
            bestLit = lit;
        }
    }
    return best;
}

} // namespace

std::vector<PanelLine> selectionSummaryLines(const SelectionConditions& conditions,
                                             const MapInputs& inputs, bool withAverages)
{
    std::vector<PanelLine> lines;
    Panel panel(lines);
    if (anyCondition(conditions))
        drawConditions(panel, conditions, inputs);
    if (!inputs.listed.empty()) {
        // Across 0 the range runs from the first sol before the mean to the last after it.
        AngleSpan span(
            static_cast<float>(inputs.averages ? inputs.averages->solDeg : inputs.referenceSolDeg));
        for (int index : inputs.listed)
            span.add(inputs.orbits[static_cast<std::size_t>(index)].sol);
        panel.line("", {monthDay(span.startDeg(), conditions.dlg_Y), "..",
                        monthDay(span.endDeg(), conditions.dlg_Y)});
        const std::string offsets =
            inputs.averages ? format(" (%+5.1f)(%+6.1f)", span.lowOffset(), span.highOffset())
                            : std::string();
        panel.line("", {format("%6.1f", span.startDeg()), "..", format("%6.1f", span.endDeg())},
                   offsets);
    }
    if (withAverages && inputs.averages) {
        panel.useAverageColumns(true);
        drawAverages(panel, *inputs.averages, conditions.dlg_Y);
        panel.useAverageColumns(false);
    }
    panel.line(format(" %d / %d orbits", static_cast<int>(inputs.listed.size()), inputs.orbitRows));
    return lines;
}

std::string panelLineText(const PanelLine& line)
{
    std::string text = line.label;
    for (const std::string& cell : line.cells)
        text += (text.empty() ? "" : " ") + cell;
    if (!line.note.empty())
        text += (text.empty() ? "" : " ") + line.note;
    return text;
}

void drawSelectionPanel(Canvas& canvas, const std::vector<PanelLine>& lines)
{
    int width = 0;
    for (const PanelLine& line : lines)
        width = std::max(width, lineWidth(line));
    const int height = static_cast<int>(lines.size()) * Canvas::kTextLineHeight;
    const ScreenBox box =
        leastCoveringCorner(canvas, width + 2 * kPanelMargin, height + 2 * kPanelMargin);
    canvas.labels().record(box, BoxKind::Panel, "panel");
    canvas.shadeBox(box);
    int top = box.top + kPanelMargin;
    for (const PanelLine& line : lines) {
        drawLine(canvas, box.left + kPanelMargin, top, line);
        top += Canvas::kTextLineHeight;
    }
}
