#pragma once
// CSSELDlg, "Stream Selection": the streams of the current list (L-S set) in a list of marks,
// in three modes: choose the streams the Orbit page lists (0), change an orbit's streams (1),
// pick one stream (2). The window shows and edits this model.

#include <string>
#include <vector>

#include "platform/ui.h"

struct AppContext;

class CSSELDlg final : public DialogModel {
public:
    enum Mode : int { kListUp = 0, kChange = 1, kSelect = 2 };

    static constexpr const char* kListUpTitle = "Select listup Stream";
    static constexpr const char* kChangeTitle = "Change Stream";
    static constexpr const char* kSelectTitle = "Select Stream";
    static constexpr const char* kSporadic = "Spo";
    static constexpr const char* kMarked = "*";
    // Mode 1 starts every mark as a blank: "leave this link as it is".
    static constexpr const char* kUntouched = " ";
    static constexpr int kSelectWidth = 170; // mode 2 narrows the window to this (pixels)

    struct Column {
        std::string title;
        int width; // pixels
    };

    // Mode 1 needs the orbit row whose links it changes.
    CSSELDlg(AppContext& app, Mode mode, int orbitRow = -1);
    const char* dialogName() const override { return "CSSELDlg"; }

    // Fills the rows from the tables; exec() does this itself.
    void open();
    // open(), the modal dialog, and on OK accept(); true for OK.
    bool exec();
    // What OK changes (see each mode).
    void accept();

    Mode mode() const { return m_mode; }
    std::string title() const;
    // "all On" and "all Off" are shown in mode 0 only.
    bool showsAllButtons() const { return m_mode == kListUp; }
    const std::vector<Column>& columns() const { return m_columns; }
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    std::string cellText(int line, int column) const;
    // The stream row a line shows; -1 for "Spo".
    int streamRowOf(int line) const;
    const std::string& mark(int line) const { return m_rows[line].mark; }
    // The line to scroll into view at start: mode 1's last linked stream, else -1.
    int scrollLine() const { return m_scrollLine; }

    // The view's selected line (-1 none).
    int selectedLine() const { return m_selected; }
    // Moves the selection (the arrow keys) without touching a mark.
    void setSelectedLine(int line) { m_selected = line >= 0 && line < rowCount() ? line : -1; }
    // A click: selects the line and toggles its mark (modes 1 and 2 clear the others first).
    void click(int line);
    // Enter on the selected line: clears the marks (mode 2 keeps them), toggles the line's
    // mark; the caller then confirms. False when no line is selected.
    bool enter();
    void allOn();
    void allOff();

private:
    struct Row {
        int streamRow; // -1: the sporadic entry
        std::vector<std::string> cells;
        std::string mark;
    };
    void addStreamRow(int streamRow);
    void toggle(int line);
    void clearMarks();
    void acceptListUp();
    void acceptChange();
    void acceptSelect();

    AppContext& m_app;
    Mode m_mode;
    int m_orbitRow;
    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    int m_selected = -1;
    int m_scrollLine = -1;
};
