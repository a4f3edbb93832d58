// The in-place cell editor's start text and commit.
#include "views/cell_edit.h"

#include "platform/ui.h"
#include "table/cutable.h"
#include "views/cell_format.h"
#include "views/view_layout.h"

namespace {

bool isRealColumn(int type) { return type == kTypeFloat || type == kTypeDouble; }

// The editor starts with the cell's view text, reals with all six decimals.
std::string startText(const CUTABLE& table, int row, int column, const std::string& format)
{
    return viewText(table, row, column, isRealColumn(table.columnType(column)) ? "%f" : format);
}

} // namespace

bool isEditableInPlace(int type)
{
    return type == kTypeInt || type == kTypeUnsigned || isRealColumn(type) || type == kTypeText ||
           type == kTypeCode;
}

CCellEdit::CCellEdit(const CUTABLE& table, int row, int layoutColumn, const UViewColumn& column,
                     int line, int listColumn)
    : m_row(row), m_layoutColumn(layoutColumn), m_tableColumn(column.column), m_line(line),
      m_listColumn(listColumn), m_text(startText(table, row, column.column, column.format))
{
}

bool CCellEdit::store(CUTABLE& table) const
{
    const std::string typed = cutText(m_text, kMaxTypedChars);
    UCell& cell = *table.cell(m_row, m_tableColumn);
    switch (table.columnType(m_tableColumn)) {
    case kTypeInt:
        cell.integer = parseSigned(typed).value_or(cell.integer);
        return true;
    case kTypeUnsigned:
        cell.number = parseUnsigned(typed).value_or(cell.number);
        return true;
    case kTypeFloat:
        cell.real = parseFloat(typed).value_or(cell.real);
        return true;
    case kTypeDouble:
        cell.real64 = parseDouble(typed).value_or(cell.real64);
        return true;
    case kTypeText:
    case kTypeCode:
        if (!isStorableText(typed)) {
            message("%s", kTextRefused);
            return false;
        }
        table.setText(
            m_row, m_tableColumn,
            cutText(typed, table.columnType(m_tableColumn) == kTypeText ? kMaxText : kMaxStoredCode)
                .c_str());
        return true;
    default:
        return false;
    }
}
