// The record editor's fields and its OK.
#include "views/edit_line_dlg.h"

#include "table/cutable.h"
#include "views/cell_format.h"
#include "views/view_layout.h"

CEditLineDlg::CEditLineDlg(CUTABLE& table, const UViewDef& layout, int row, bool allowDelete)
    : m_table(table), m_row(row), m_deleteOffered(allowDelete && layout.notify.deleteItem != 0)
{
    for (const UViewColumn& column : layout.columns) {
        if (table.columnType(column.column) == kTypeLink)
            continue;
        m_fields.push_back({table.definition().columns[column.column].name,
                            recordText(table, row, column.column), column.readOnly, column.column});
    }
}

std::string CEditLineDlg::title() const { return m_table.definition().fileName; }

void CEditLineDlg::setText(int field, std::string text)
{
    m_fields.at(static_cast<std::size_t>(field)).text = std::move(text);
}

bool CEditLineDlg::allTextsStorable() const
{
    for (const Field& field : m_fields) {
        const int type = m_table.columnType(field.column);
        const bool text = type == kTypeText || type == kTypeCode;
        if (text && !field.readOnly && !isStorableText(cutText(field.text, kMaxTypedChars)))
            return false;
    }
    return true;
}

bool CEditLineDlg::accept()
{
    if (!allTextsStorable()) {
        message("%s", kTextRefused);
        return false;
    }
    for (const Field& field : m_fields)
        if (!field.readOnly)
            store(field);
    m_accepted = true;
    return true;
}

void CEditLineDlg::store(const Field& field)
{
    const std::string typed = cutText(field.text, kMaxTypedChars);
    UCell& cell = *m_table.cell(m_row, field.column);
    switch (m_table.columnType(field.column)) {
    case kTypeInt:
        cell.integer = parseSigned(typed).value_or(cell.integer);
        break;
    case kTypeFlag:
    case kTypeSelState:
        cell.number = typed.empty() ? 0 : parseUnsigned(typed).value_or(cell.number);
        break;
    case kTypeUnsigned:
        cell.number = parseUnsigned(typed).value_or(cell.number);
        break;
    case kTypeFloat:
        cell.real = parseFloat(typed).value_or(cell.real);
        break;
    case kTypeDouble:
        cell.real64 = parseDouble(typed).value_or(cell.real64);
        break;
    case kTypeText:
        m_table.setText(m_row, field.column, cutText(typed, kMaxStoredText).c_str());
        break;
    case kTypeCode:
        m_table.setText(m_row, field.column, cutText(typed, kMaxStoredCode).c_str());
        break;
    default:
        break;
    }
}
