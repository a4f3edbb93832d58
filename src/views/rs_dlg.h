#pragma once
// CRSDlg: the column chooser ("Row Select") of a list: which layout columns
// are shown.

#include <string>
#include <vector>

#include "platform/ui.h"

class CUTABLE;
struct UViewDef;

inline constexpr const char* kRowSelectDialog = "Row Select";

class CRSDlg final : public DialogModel {
public:
    static constexpr int kListId = 1003;

    // One line per layout column that is not a link column, in layout order.
    CRSDlg(const CUTABLE& table, UViewDef& layout);

    const char* dialogName() const override { return kRowSelectDialog; }
    int lineCount() const { return static_cast<int>(m_lines.size()); }
    const std::string& name(int line) const
    {
        return m_lines.at(static_cast<std::size_t>(line)).name;
    }
    // The "ON" column: "*" shown, " " hidden, "" after allOff.
    const std::string& mark(int line) const
    {
        return m_lines.at(static_cast<std::size_t>(line)).mark;
    }

    // Each of these changes the layout's shown flags at once; Cancel keeps them.
    void click(int line);
    void allOn();
    void allOff();

private:
    struct Line {
        int layoutColumn;
        std::string name;
        std::string mark;
    };
    UViewDef& m_layout;
    std::vector<Line> m_lines;
};
