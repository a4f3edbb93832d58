#pragma once
// CCellEdit: the in-place editor of one list cell, from the text it starts
// with to the value Enter stores.

#include <string>

class CUTABLE;
struct UViewColumn;

class CCellEdit {
public:
    static constexpr int kControlId = 900;
    // A text typed in place keeps at most this many characters.
    static constexpr std::size_t kMaxText = 60;

    // Opens on the cell shown at (line, list column) with the cell's text:
    // types 1 and 4 by the column's format, 6 as "%f", 8 the text, 9 the code.
    CCellEdit(const CUTABLE& table, int row, int layoutColumn, const UViewColumn& column, int line,
              int listColumn);

    int row() const { return m_row; }
    int layoutColumn() const { return m_layoutColumn; }
    int tableColumn() const { return m_tableColumn; }
    int line() const { return m_line; }
    int listColumn() const { return m_listColumn; }
    const std::string& text() const { return m_text; }
    // What the user typed so far.
    void setText(std::string text) { m_text = std::move(text); }

    // Stores the text (its first 255 characters) into the cell: 1 "%d",
    // 4 "%u", 6 "%f" (a text that is no number leaves the cell as it is),
    // 8 cut to 60 characters, 9 the first 7. A text with a comma or a line
    // break is refused with a message and nothing is stored: false.
    bool store(CUTABLE& table) const;

private:
    int m_row;
    int m_layoutColumn;
    int m_tableColumn;
    int m_line;
    int m_listColumn;
    std::string m_text;
};

// Whether a cell of this type is edited in place (types 1, 4, 6, 8 and 9).
bool isEditableInPlace(int type);
