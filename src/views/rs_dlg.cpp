// The column chooser's lines and their shown flags.
#include "views/rs_dlg.h"

#include "table/cutable.h"
#include "views/view_layout.h"

namespace {

const char* shownMark(bool shown) { return shown ? "*" : " "; }

} // namespace

CRSDlg::CRSDlg(const CUTABLE& table, UViewDef& layout) : m_layout(layout)
{
    for (int i = 0; i < layout.columnCount(); ++i) {
        const UViewColumn& column = layout.columns[static_cast<std::size_t>(i)];
        if (table.columnType(column.column) == kTypeLink)
            continue;
        m_lines.push_back(
            {i, table.definition().columns[column.column].name, shownMark(column.shown)});
    }
}

void CRSDlg::click(int line)
{
    Line& clicked = m_lines.at(static_cast<std::size_t>(line));
    UViewColumn& column = m_layout.columns[static_cast<std::size_t>(clicked.layoutColumn)];
    column.shown = !column.shown;
    clicked.mark = shownMark(column.shown);
}

void CRSDlg::allOn()
{
    for (Line& line : m_lines) {
        m_layout.columns[static_cast<std::size_t>(line.layoutColumn)].shown = true;
        line.mark = "*";
    }
}

void CRSDlg::allOff()
{
    for (Line& line : m_lines) {
        m_layout.columns[static_cast<std::size_t>(line.layoutColumn)].shown = false;
        line.mark.clear();
    }
}
