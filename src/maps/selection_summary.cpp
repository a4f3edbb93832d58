// The text panel of the sky and orbit maps.
#include "maps/selection_summary.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "maps/canvas.h"
#include "maps/map_inputs.h"
#include "orbits/selection_conditions.h"

namespace {

const std::vector<int> kConditionColumns{30, 76, 96, 132, 152};
const std::vector<int> kAverageColumns{30, 80, 116, 156};
// Where the notes after a line's last column start.
constexpr int kNoteLeft = 134;

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
    Panel(Canvas& canvas) : m_canvas(canvas) { m_canvas.setTextLine(0); }
    // The label at the left, the cells right-aligned in the table's columns
    // from the second on, and a note left-aligned after the last column.
    void line(const char* label, std::vector<std::string> cells = {}, const std::string& note = {})
    {
        const int top = m_canvas.textLine() * Canvas::kTextLineHeight;
        m_canvas.drawTextAt(0, top, label, TextAlign::Left);
        for (std::size_t i = 0; i < cells.size(); ++i)
            m_canvas.drawTableText(static_cast<int>(i) + 1, cells[i]);
        if (!note.empty())
            m_canvas.drawTextAt(kNoteLeft, top, note, TextAlign::Left);
        m_canvas.nextTextLine();
    }
    void blank() { m_canvas.nextTextLine(); }

private:
    Canvas& m_canvas;
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
        panel.line("stream", {inputs.currentStreamCode});
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
                   format(" +-%.1f", half));
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

} // namespace

void drawSelectionSummary(Canvas& canvas, const SelectionConditions& conditions,
                          const MapInputs& inputs, bool withAverages)
{
    canvas.setTableColumns(kConditionColumns);
    Panel panel(canvas);
    if (anyCondition(conditions))
        drawConditions(panel, conditions, inputs);
    if (!inputs.listed.empty()) {
        float low = 360;
        float high = 0;
        for (int index : inputs.listed) {
            low = std::min(low, inputs.orbits[static_cast<std::size_t>(index)].sol);
            high = std::max(high, inputs.orbits[static_cast<std::size_t>(index)].sol);
        }
        std::vector<std::string> cells{monthDay(low, conditions.dlg_Y), "..",
                                       monthDay(high, conditions.dlg_Y)};
        panel.line("", cells);
        const std::string offsets = inputs.averages
                                        ? format(" (%+5.1f)(%+6.1f)", low - inputs.averages->solDeg,
                                                 high - inputs.averages->solDeg)
                                        : std::string();
        panel.line("", {format("%6.1f", low), "..", format("%6.1f", high)}, offsets);
    }
    if (withAverages && inputs.averages) {
        canvas.setTableColumns(kAverageColumns);
        drawAverages(panel, *inputs.averages, conditions.dlg_Y);
        canvas.setTableColumns(kConditionColumns);
    }
    canvas.drawTextAt(
        0, canvas.textLine() * Canvas::kTextLineHeight,
        format(" %d / %d orbits", static_cast<int>(inputs.listed.size()), inputs.orbitRows),
        TextAlign::Left);
}
