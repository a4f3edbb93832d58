#pragma once
// CUList: a list view bound to one table and one view layout. It holds no
// data of its own: line i shows the row stored in the table's itemdata column
// at index i, and each listed row's dline column holds its line.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "views/cell_edit.h"

class CUTABLE;
struct UViewColumn;
struct UViewDef;

// The page that owns a list receives its notifications: a number of the
// layout (changed, right click, ...) and two arguments, as listed with each
// action below. A notification is delivered once the list has finished the
// action, so the page may rebuild the list or delete rows from within.
class ListOwner {
public:
    virtual ~ListOwner() = default;
    virtual void notify(int code, int wParam, int lParam) = 0;
};

// The widget that shows a list; the list tells it what changed. Lines and
// columns only change between the begin and end calls of a pair.
class ListDisplay {
public:
    virtual ~ListDisplay() = default;
    virtual void beginRebuild() {} // every line and column is about to go
    virtual void endRebuild() {}
    virtual void beginAppendLine(int /*line*/) {}
    virtual void endAppendLine() {}
    virtual void beginRemoveLine(int /*line*/) {}
    virtual void endRemoveLine() {}
    virtual void redrawLines(int /*first*/, int /*last*/) {}
    virtual void showLine(int /*line*/) {}
    // The list selected the line itself (-1: none); the widget follows.
    virtual void selectLine(int /*line*/) {}
    // The in-place editor opened (CUList::cellEdit()) or closed.
    virtual void editStarted() {}
    virtual void editEnded() {}
};

// The entries of the column header's popup menu.
enum class HeaderCommand {
    Hide,
    RowSelect,
    Separator,
    SortAscending,  // "Sort +"
    SortDescending, // "Sort -"
    AllOn,
    AllOff,
    Reset,
    LayoutItem, // the layout column's own item
};

struct HeaderMenuItem {
    HeaderCommand command;
    std::string text;
    bool operator==(const HeaderMenuItem&) const = default;
};

class CUList {
public:
    // Binds the list; no lines until the first build, no sort column.
    CUList(ListOwner& page, UViewDef& layout, CUTABLE& table);
    CUList(const CUList&) = delete;
    CUList& operator=(const CUList&) = delete;

    CUTABLE& table() const { return m_table; }
    UViewDef& layout() const { return m_layout; }
    // From a counter that every list created increments.
    int controlId() const { return m_controlId; }
    // The widget showing the list (not owned); nullptr for none.
    void setDisplay(ListDisplay* display);

    // Lists the live rows in index order, leaving out rows whose filter
    // column holds the filter value (when the filter column is above 0).
    // Commits a cell edit first; sorts again by the last sort.
    void build(int filterColumn = 0, std::int32_t filterValue = 0);
    // Orders the lines by the layout column's keys, ascending for a direction
    // above 0; otherwise the ascending order reversed.
    void sort(int layoutColumn, int direction);
    // Adds a table row and a line for it, and returns the line. After a
    // filtered build the new row's filter column gets filter value + 1.
    int addRow();
    // Deletes the row shown at the line (-1: the selected line) and removes
    // the line; unless keep, rebuilds with no filter. The row, or -1 when
    // there is no such line.
    int deleteLine(int line, bool keep);
    // The itemdata column at index line, unchecked.
    int rowOfLine(int line) const;
    void redrawLine(int line);
    // Every line, after the rows' cells changed under the list.
    void redrawAllLines();
    // The record editor on the line's row (-1: the selected line). OK
    // redraws the line, posts changed (-1, line) and gives 1. Cancel gives
    // 0; "Delete This Item" posts delete item (row, 0) and gives 0.
    int editRecord(int line, bool allowDelete);

    int lineCount() const { return m_lines; }
    int listColumnCount() const { return static_cast<int>(m_listColumns.size()); }
    // The layout column shown at a list column; fatal "CLU: row %d not exist" for none.
    int layoutColumnOf(int listColumn) const;
    std::string columnTitle(int listColumn) const;
    int columnWidth(int listColumn) const;
    // Whether the column still has its default width (the user never dragged it).
    bool columnWidthIsDefault(int listColumn) const;
    // The text of a cell by its column's type; empty beyond the last line.
    // A listed line whose row is outside the table is fatal "CLU: line %d not exist".
    std::string cellText(int line, int listColumn) const;

    int filterColumn() const { return m_filterColumn; }
    std::int32_t filterValue() const { return m_filterValue; }
    int sortColumn() const { return m_sortColumn; } // layout column, -1 none
    int sortDirection() const { return m_sortDirection; }

    int selectedLine() const { return m_selected; }
    // The widget's selection, as the user moved it.
    void setSelectedLine(int line) { m_selected = line; }
    // Selects the line (-1: none) from the page's side: the widget selects
    // it too and scrolls it into view.
    void selectLine(int line);

    // Mouse and keys, as the widget reports them; lines outside the list do nothing.
    // Commits a cell edit and posts left click (0, 0).
    void leftButtonDown();
    // Up or Down: posts left click (0, 0) unless a cell is being edited.
    void upDownKey();
    // Commits a cell edit; posts right click (list column, line) when the
    // layout has one, else opens the record editor with deleting allowed.
    void rightButtonDown(int line, int listColumn);
    // The column's double-click notification (list column, line) if it has
    // one; else, unless read-only, toggles a flag, steps a selection state
    // (both post changed (list column, line)) or starts the in-place editor.
    void doubleClick(int line, int listColumn);
    // The widths of the list columns after a resize, into the layout.
    void columnsResized(const std::vector<int>& widths);
    std::vector<HeaderMenuItem> headerMenu(int listColumn) const;
    // all On / all Off post their number with the table column (0 as lParam);
    // so does the layout item.
    void headerCommand(int listColumn, HeaderCommand command);

    // The in-place editor.
    bool editing() const { return m_edit.has_value(); }
    const CCellEdit* cellEdit() const { return m_edit ? &*m_edit : nullptr; }
    void setEditText(std::string text);
    // Enter: stores the text, redraws the line and posts changed (list column, line).
    void commitEdit();
    // Escape: ends editing without change.
    void cancelEdit();

private:
    int checkedRow(int line) const;
    bool isListed(int line) const { return line >= 0 && line < m_lines; }
    const UViewColumn& viewColumn(int layoutColumn) const;
    void layOutColumns();
    void listRows(int filterColumn, std::int32_t filterValue);
    void sortLines();
    void showRowAt(int line, int row);
    void startEdit(int line, int listColumn);
    void post(int code, int wParam, int lParam);
    void chooseColumns();
    void resetStates(int tableColumn);

    ListOwner& m_page;
    UViewDef& m_layout;
    CUTABLE& m_table;
    ListDisplay* m_display;
    int m_controlId;
    int m_lines = 0;
    int m_filterColumn = 0;
    std::int32_t m_filterValue = 0;
    int m_sortColumn = -1;
    int m_sortDirection = 1;
    int m_selected = -1;
    std::vector<int> m_listColumns; // the layout column of each list column
    std::optional<CCellEdit> m_edit;
};

// Where a list goes in its page: the layout rectangle with a negative bottom
// measured up from the page's bottom edge and a negative right from its right edge.
struct ListPlacement {
    int left;
    int top;
    int width;
    int height;
};
ListPlacement placeList(const UViewDef& layout, int pageWidth, int pageHeight);
