// The stream selection dialog's rows, marks and OK.
#include "pages/ssel_dlg.h"

#include <cstdio>

#include "app/app_context.h"
#include "astro/similarity.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "streams/stream_grouping.h"
#include "streams/stream_membership.h"
#include "table/links.h"

namespace {

using S = col::Stream;
using O = col::Orbit;

std::string formatted(const char* format, double value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

CSSELDlg::CSSELDlg(AppContext& app, Mode mode, int orbitRow)
    : m_app(app), m_mode(mode), m_orbitRow(orbitRow)
{
}

std::string CSSELDlg::title() const
{
    switch (m_mode) {
    case kListUp:
        return kListUpTitle;
    case kChange:
        return kChangeTitle;
    case kSelect:
        break;
    }
    return kSelectTitle;
}

void CSSELDlg::open()
{
    m_columns = {{"Stream", 60}, {"M/Dp", 40}, {"count", 40}};
    if (m_mode != kSelect)
        m_columns.push_back({"sel", 30});
    if (m_mode == kChange) {
        m_columns.push_back({"mR", 40});
        m_columns.push_back({"D'", 40});
    }
    m_rows.clear();
    m_selected = -1;
    m_scrollLine = -1;
    if (m_mode == kListUp)
        m_rows.push_back({-1, {kSporadic, "", ""}, m_app.sporadicChosen ? kMarked : ""});
    const CUTABLE& streams = m_app.db->streams;
    for (int row = 0; row < streams.count(); ++row)
        if (streams.isLive(row) && streams.cell(row, S::LS)->number != 0)
            addStreamRow(row);
}

void CSSELDlg::addStreamRow(int streamRow)
{
    Database& db = *m_app.db;
    const int so = db.streams.cell(streamRow, S::SO)->integer;
    Row row{streamRow,
            {db.streams.text(streamRow, S::code), db.streams.text(streamRow, S::MDp),
             so != 0 ? std::to_string(so) : ""},
            ""};
    if (m_mode == kListUp && db.streams.cell(streamRow, S::ssel)->number != 0)
        row.mark = kMarked;
    if (m_mode == kChange) {
        const float sol = db.orbits.cell(m_orbitRow, O::sol)->real;
        row.cells.push_back(
            formatted("%.1f", radiantOffset(DriftingRadiant::ofStream(db.streams, streamRow), sol,
                                            db.orbits.cell(m_orbitRow, O::ra)->real,
                                            db.orbits.cell(m_orbitRow, O::dec)->real)));
        const int typical = typicalOrbitRow(db, streamRow);
        row.cells.push_back(typical < 0
                                ? ""
                                : formatted("%.2f", DPrime(dprimeOrbitOf(db.orbits, typical),
                                                           dprimeOrbitOf(db.orbits, m_orbitRow))));
        const bool linked =
            isLinked({&db.streams, streamRow, S::OLINK}, {&db.orbits, m_orbitRow, O::SLINK});
        row.mark = linked ? kMarked : kUntouched;
        if (linked)
            m_scrollLine = rowCount();
    }
    m_rows.push_back(std::move(row));
}

bool CSSELDlg::exec()
{
    open();
    if (!ui().runModal(*this))
        return false;
    accept();
    return true;
}

std::string CSSELDlg::cellText(int line, int column) const
{
    if (line < 0 || line >= rowCount() || column < 0)
        return "";
    const Row& row = m_rows[line];
    constexpr int kMarkColumn = 3;
    if (m_mode != kSelect && column == kMarkColumn)
        return row.mark;
    const int cell = m_mode != kSelect && column > kMarkColumn ? column - 1 : column;
    return cell < static_cast<int>(row.cells.size()) ? row.cells[cell] : "";
}

int CSSELDlg::streamRowOf(int line) const
{
    return line >= 0 && line < rowCount() ? m_rows[line].streamRow : -1;
}

void CSSELDlg::toggle(int line)
{
    std::string& mark = m_rows[line].mark;
    mark = mark == kMarked ? "" : kMarked;
}

void CSSELDlg::clearMarks()
{
    for (Row& row : m_rows)
        row.mark.clear();
}

void CSSELDlg::click(int line)
{
    if (line < 0 || line >= rowCount())
        return;
    m_selected = line;
    if (m_mode != kListUp)
        clearMarks();
    toggle(line);
}

bool CSSELDlg::enter()
{
    if (m_selected < 0 || m_selected >= rowCount())
        return false;
    // In mode 2 the line is the one choice: a toggle could undo the click that chose it.
    if (m_mode == kSelect) {
        clearMarks();
        m_rows[m_selected].mark = kMarked;
        return true;
    }
    clearMarks();
    toggle(m_selected);
    return true;
}

void CSSELDlg::allOn()
{
    for (Row& row : m_rows)
        if (row.streamRow >= 0)
            row.mark = kMarked;
}

void CSSELDlg::allOff()
{
    if (m_mode != kSelect)
        clearMarks();
}

void CSSELDlg::accept()
{
    switch (m_mode) {
    case kListUp:
        acceptListUp();
        break;
    case kChange:
        acceptChange();
        break;
    case kSelect:
        acceptSelect();
        break;
    }
}

void CSSELDlg::acceptListUp()
{
    CUTABLE& streams = m_app.db->streams;
    for (int row = 0; row < streams.count(); ++row)
        if (streams.isLive(row))
            streams.cell(row, S::ssel)->number = 0;
    int current = -1;
    for (const Row& row : m_rows) {
        const bool marked = row.mark == kMarked;
        if (row.streamRow < 0) {
            m_app.sporadicChosen = marked;
            continue;
        }
        if (!marked)
            continue;
        streams.cell(row.streamRow, S::ssel)->number = 1;
        current = current == -1 ? row.streamRow : -2;
    }
    m_app.currentStreamRow = current;
}

void CSSELDlg::acceptChange()
{
    Database& db = *m_app.db;
    const CellRef orbit{&db.orbits, m_orbitRow, O::SLINK};
    for (const Row& row : m_rows) {
        const CellRef stream{&db.streams, row.streamRow, S::OLINK};
        if (row.mark == kMarked)
            link(stream, orbit);
        else if (row.mark.empty())
            unlink(stream, orbit);
    }
    computeOrbitStreamCodes(db, m_orbitRow);
    recountStreams(db);
    db.modified = true;
}

void CSSELDlg::acceptSelect()
{
    for (const Row& row : m_rows) {
        if (row.mark == kMarked) {
            selectOnlyStream(*m_app.db, row.streamRow);
            m_app.currentStreamRow = row.streamRow;
        }
    }
}
