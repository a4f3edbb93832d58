#pragma once
// A page and a widget that record what a list tells them, and a layout over
// the test table with a column of every type.

#include <vector>

#include "table/table_test_support.h"
#include "views/ulist.h"
#include "views/view_layout.h"

struct Notification {
    int code;
    int wParam;
    int lParam;
    bool operator==(const Notification&) const = default;
};

inline void PrintTo(const Notification& n, std::ostream* os)
{
    *os << "{" << n.code << ", " << n.wParam << ", " << n.lParam << "}";
}

struct RecordingPage final : ListOwner {
    void notify(int code, int wParam, int lParam) override
    {
        received.push_back({code, wParam, lParam});
    }
    std::vector<Notification> received;
};

// Notification numbers of the test layout.
namespace tnote {
enum : int { changed = 11, rightClick = 12, leftClick = 13, deleteItem = 14, allOnOff = 20 };
}

// Layout columns of the test layout, in layout order.
namespace tlay {
enum : int { id, count, flag, sel, real, name, code, note, links, columnCount };
}

// Every type of the test table; id read-only, the link column hidden.
inline UViewDef testLayout()
{
    UViewDef view{
        {0, 0, 0, 0},   {tnote::changed, 0, tnote::leftClick, tnote::deleteItem, tnote::allOnOff},
        true,           0,
        tcol::itemdata, {}};
    const auto column = [](int tableColumn, const char* format, bool readOnly = false) {
        UViewColumn result;
        result.column = tableColumn;
        result.readOnly = readOnly;
        result.width = 40;
        result.format = format;
        return result;
    };
    view.columns = {
        column(tcol::id, "%u", true), column(tcol::count, "%d"),  column(tcol::flag, "%u"),
        column(tcol::sel, "%u"),      column(tcol::real, "%.2f"), column(tcol::name, "%s"),
        column(tcol::code, "%s"),     column(tcol::note, "%s"),   column(tcol::links, "%s")};
    view.columns[tlay::links].shown = false;
    return view;
}

// The test table with a list over it.
struct ListedTable : PooledTable {
    explicit ListedTable(UViewDef viewLayout = testLayout(), const UTableDef& definition = kTestDef)
        : PooledTable(definition), layout(std::move(viewLayout)), list(page, layout, table)
    {
    }
    // Adds rows whose id is their index.
    void addRows(int count)
    {
        for (int i = 0; i < count; ++i) {
            const int row = table.addRow();
            table.cell(row, 1)->number = static_cast<std::uint32_t>(row);
        }
    }
    std::vector<int> listedRows() const
    {
        std::vector<int> rows;
        for (int line = 0; line < list.lineCount(); ++line)
            rows.push_back(list.rowOfLine(line));
        return rows;
    }

    RecordingPage page;
    UViewDef layout;
    CUList list;
};
