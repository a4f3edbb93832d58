// The list view logic: lines and rows, cell texts, sorting, clicks, the
// header menu and the in-place editor.
#include "views/ulist.h"

#include <algorithm>

#include "platform/ui.h"
#include "table/cutable.h"
#include "views/cell_format.h"
#include "views/edit_line_dlg.h"
#include "views/list_sort.h"
#include "views/rs_dlg.h"
#include "views/view_layout.h"

namespace {

int nextControlId()
{
    static int counter = 0;
    return ++counter;
}

ListDisplay& noDisplay()
{
    static ListDisplay none;
    return none;
}

// A double click on a selection state: 0 -> 4, 1 -> 2, 2 -> 1, 3 -> 1,
// 4 -> 0, 5 -> 1; other states stay.
std::uint32_t nextSelectionState(std::uint32_t state)
{
    constexpr std::uint32_t kNext[] = {4, 2, 1, 1, 0, 1};
    return state < std::size(kNext) ? kNext[state] : state;
}

} // namespace

CUList::CUList(ListOwner& page, UViewDef& layout, CUTABLE& table)
    : m_page(page), m_layout(layout), m_table(table), m_display(&noDisplay()),
      m_controlId(nextControlId())
{
}

void CUList::setDisplay(ListDisplay* display) { m_display = display ? display : &noDisplay(); }

const UViewColumn& CUList::viewColumn(int layoutColumn) const
{
    return m_layout.columns[static_cast<std::size_t>(layoutColumn)];
}

int CUList::layoutColumnOf(int listColumn) const
{
    if (listColumn < 0 || listColumn >= listColumnCount())
        fatal("CLU: row %d not exist", listColumn);
    return m_listColumns[static_cast<std::size_t>(listColumn)];
}

int CUList::rowOfLine(int line) const { return m_table.integer(line, m_layout.itemdataColumn); }

int CUList::checkedRow(int line) const
{
    const int row = rowOfLine(line);
    if (row < 0 || row >= m_table.count())
        fatal("CLU: line %d not exist", line);
    return row;
}

void CUList::showRowAt(int line, int row)
{
    if (m_layout.dlineColumn > 0)
        m_table.setInteger(row, line, m_layout.dlineColumn);
    m_table.setInteger(line, row, m_layout.itemdataColumn);
}

void CUList::post(int code, int wParam, int lParam)
{
    if (code != 0)
        m_page.notify(code, wParam, lParam);
}

void CUList::build(int filterColumn, std::int32_t filterValue)
{
    WaitCursor wait;
    commitEdit();
    m_display->beginRebuild();
    m_filterColumn = filterColumn;
    m_filterValue = filterValue;
    m_selected = -1;
    layOutColumns();
    listRows(filterColumn, filterValue);
    if (m_sortColumn >= 0)
        sortLines();
    m_display->endRebuild();
}

void CUList::layOutColumns()
{
    m_listColumns.clear();
    for (int i = 0; i < m_layout.columnCount(); ++i) {
        UViewColumn& column = m_layout.columns[static_cast<std::size_t>(i)];
        column.displayPosition = column.shown ? listColumnCount() : -1;
        if (column.shown)
            m_listColumns.push_back(i);
    }
    // A list without columns could not be clicked to bring any back.
    if (m_listColumns.empty() && !m_layout.columns.empty()) {
        m_layout.columns.front().displayPosition = 0;
        m_listColumns.push_back(0);
    }
}

void CUList::listRows(int filterColumn, std::int32_t filterValue)
{
    m_lines = 0;
    for (int row = 0; row < m_table.count(); ++row) {
        if (!m_table.isLive(row))
            continue;
        if (filterColumn > 0 && m_table.integer(row, filterColumn) == filterValue)
            continue;
        showRowAt(m_lines++, row);
    }
}

void CUList::sort(int layoutColumn, int direction)
{
    if (layoutColumn < 0 || layoutColumn >= m_layout.columnCount())
        fatal("CLU: row %d not exist", layoutColumn);
    commitEdit();
    m_sortColumn = layoutColumn;
    m_sortDirection = direction;
    sortLines();
    redrawAllLines();
}

void CUList::sortLines()
{
    std::vector<int> rows(static_cast<std::size_t>(m_lines));
    for (int line = 0; line < m_lines; ++line)
        rows[static_cast<std::size_t>(line)] = checkedRow(line);
    std::vector<int> sorted = sortRowsAscending(m_table, viewColumn(m_sortColumn).column, rows);
    if (m_sortDirection <= 0)
        std::reverse(sorted.begin(), sorted.end());
    for (int line = 0; line < m_lines; ++line)
        showRowAt(line, sorted[static_cast<std::size_t>(line)]);
}

void CUList::selectLine(int line)
{
    m_selected = isListed(line) ? line : -1;
    m_display->selectLine(m_selected);
}

int CUList::addRow()
{
    commitEdit();
    const int row = m_table.addRow();
    // Set before the row's line, which the filter column may be.
    if (m_filterColumn > 0)
        m_table.setInteger(
            row, static_cast<std::int32_t>(static_cast<std::uint32_t>(m_filterValue) + 1u),
            m_filterColumn);
    const int line = m_lines;
    m_display->beginAppendLine(line);
    showRowAt(line, row);
    ++m_lines;
    m_display->endAppendLine();
    m_display->showLine(line);
    return line;
}

int CUList::deleteLine(int line, bool keep)
{
    commitEdit();
    if (line < 0)
        line = m_selected;
    if (!isListed(line))
        return -1;
    const int row = checkedRow(line);
    m_table.deleteRow(row);
    if (!keep) {
        build();
        return row;
    }
    m_display->beginRemoveLine(line);
    for (int later = line + 1; later < m_lines; ++later)
        showRowAt(later - 1, rowOfLine(later));
    --m_lines;
    if (m_selected == line)
        m_selected = -1;
    else if (m_selected > line)
        --m_selected;
    m_display->endRemoveLine();
    return row;
}

void CUList::redrawLine(int line) { m_display->redrawLines(line, line); }

void CUList::redrawAllLines()
{
    if (m_lines > 0)
        m_display->redrawLines(0, m_lines - 1);
}

int CUList::editRecord(int line, bool allowDelete)
{
    if (line < 0)
        line = m_selected;
    if (!isListed(line))
        return 0;
    commitEdit();
    const int row = checkedRow(line);
    CEditLineDlg dialog(m_table, m_layout, row, allowDelete);
    if (ui().runModal(dialog) && dialog.accepted()) {
        redrawLine(line);
        post(m_layout.notify.changed, -1, line);
        return 1;
    }
    if (dialog.deleteRequested())
        post(m_layout.notify.deleteItem, row, 0);
    return 0;
}

int CUList::columnWidth(int listColumn) const
{
    return viewColumn(layoutColumnOf(listColumn)).width;
}

bool CUList::columnWidthIsDefault(int listColumn) const
{
    const UViewColumn& column = viewColumn(layoutColumnOf(listColumn));
    return column.width == defaultColumnWidth(m_layout, column.column);
}

std::string CUList::columnTitle(int listColumn) const
{
    return m_table.definition().columns[viewColumn(layoutColumnOf(listColumn)).column].name;
}

std::string CUList::cellText(int line, int listColumn) const
{
    if (!isListed(line))
        return {};
    const UViewColumn& column = viewColumn(layoutColumnOf(listColumn));
    return viewText(m_table, checkedRow(line), column.column, column.format);
}

void CUList::leftButtonDown()
{
    commitEdit();
    post(m_layout.notify.leftClick, 0, 0);
}

void CUList::upDownKey()
{
    if (!editing())
        post(m_layout.notify.leftClick, 0, 0);
}

void CUList::rightButtonDown(int line, int listColumn)
{
    commitEdit();
    if (!isListed(line))
        return;
    if (m_layout.notify.rightClick != 0)
        post(m_layout.notify.rightClick, listColumn, line);
    else
        editRecord(line, true);
}

void CUList::doubleClick(int line, int listColumn)
{
    if (!isListed(line))
        return;
    const int layoutColumn = layoutColumnOf(listColumn);
    const UViewColumn& column = viewColumn(layoutColumn);
    if (column.doubleClick != 0) {
        post(column.doubleClick, listColumn, line);
        return;
    }
    if (column.readOnly)
        return;
    const int type = m_table.columnType(column.column);
    if (type != kTypeFlag && type != kTypeSelState) {
        if (isEditableInPlace(type))
            startEdit(line, listColumn);
        return;
    }
    UCell& cell = *m_table.cell(checkedRow(line), column.column);
    cell.number = type == kTypeFlag ? (cell.number != 0 ? 0 : 1) : nextSelectionState(cell.number);
    redrawLine(line);
    post(m_layout.notify.changed, listColumn, line);
}

void CUList::columnsResized(const std::vector<int>& widths)
{
    const std::size_t count = std::min(widths.size(), m_listColumns.size());
    for (std::size_t i = 0; i < count; ++i)
        m_layout.columns[static_cast<std::size_t>(m_listColumns[i])].width = widths[i];
}

std::vector<HeaderMenuItem> CUList::headerMenu(int listColumn) const
{
    const UViewColumn& column = viewColumn(layoutColumnOf(listColumn));
    const int type = m_table.columnType(column.column);
    const int base = m_layout.notify.allOnOff;
    std::vector<HeaderMenuItem> items = {{HeaderCommand::Hide, "Hide"},
                                         {HeaderCommand::RowSelect, "Row Select"},
                                         {HeaderCommand::Separator, ""},
                                         {HeaderCommand::SortAscending, "Sort +"},
                                         {HeaderCommand::SortDescending, "Sort -"}};
    const bool state = type == kTypeFlag || type == kTypeSelState;
    if (state && base != 0 && base != kHeaderResetOnly) {
        items.push_back({HeaderCommand::AllOn, "all On"});
        items.push_back({HeaderCommand::AllOff, "all Off"});
    }
    if (type == kTypeSelState && base != 0)
        items.push_back({HeaderCommand::Reset, "reset"});
    if (column.headerMenu != 0)
        items.push_back({HeaderCommand::LayoutItem, column.headerMenuText});
    return items;
}

void CUList::headerCommand(int listColumn, HeaderCommand command)
{
    const std::vector<HeaderMenuItem> menu = headerMenu(listColumn);
    const auto offered = [&](const HeaderMenuItem& item) { return item.command == command; };
    if (std::none_of(menu.begin(), menu.end(), offered))
        return;
    const int layoutColumn = layoutColumnOf(listColumn);
    const UViewColumn& column = viewColumn(layoutColumn);
    switch (command) {
    case HeaderCommand::Hide:
        m_layout.columns[static_cast<std::size_t>(layoutColumn)].shown = false;
        build(m_filterColumn, m_filterValue);
        break;
    case HeaderCommand::RowSelect:
        chooseColumns();
        break;
    case HeaderCommand::SortAscending:
    case HeaderCommand::SortDescending:
        sort(layoutColumn, command == HeaderCommand::SortAscending ? 1 : -1);
        break;
    case HeaderCommand::AllOn:
    case HeaderCommand::AllOff:
        post(m_layout.notify.allOnOff + (command == HeaderCommand::AllOff ? 1 : 0), column.column,
             0);
        break;
    case HeaderCommand::Reset:
        resetStates(column.column);
        break;
    case HeaderCommand::LayoutItem:
        post(column.headerMenu, column.column, 0);
        break;
    case HeaderCommand::Separator:
        break;
    }
}

void CUList::chooseColumns()
{
    CRSDlg dialog(m_table, m_layout);
    if (ui().runModal(dialog))
        build(m_filterColumn, m_filterValue);
}

void CUList::resetStates(int tableColumn)
{
    for (int line = 0; line < m_lines; ++line) {
        UCell& cell = *m_table.cell(checkedRow(line), tableColumn);
        if (cell.number > 1)
            cell.number &= 1;
    }
    redrawAllLines();
}

void CUList::startEdit(int line, int listColumn)
{
    commitEdit();
    const int layoutColumn = layoutColumnOf(listColumn);
    m_edit.emplace(m_table, checkedRow(line), layoutColumn, viewColumn(layoutColumn), line,
                   listColumn);
    m_display->editStarted();
}

void CUList::setEditText(std::string text)
{
    if (m_edit)
        m_edit->setText(std::move(text));
}

void CUList::commitEdit()
{
    if (!m_edit)
        return;
    const CCellEdit edit = std::move(*m_edit);
    m_edit.reset();
    m_display->editEnded();
    if (!edit.store(m_table))
        return;
    redrawLine(edit.line());
    post(m_layout.notify.changed, edit.listColumn(), edit.line());
}

void CUList::cancelEdit()
{
    if (!m_edit)
        return;
    m_edit.reset();
    m_display->editEnded();
}

ListPlacement placeList(const UViewDef& layout, int pageWidth, int pageHeight)
{
    const UViewRect& rect = layout.rect;
    const int bottom = rect.bottom < 0 ? pageHeight + rect.bottom : rect.bottom;
    const int right = rect.right < 0 ? pageWidth + rect.right : rect.right;
    return {rect.left, rect.top, std::max(0, right - rect.left), std::max(0, bottom - rect.top)};
}
