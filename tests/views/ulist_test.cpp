// The list view logic: building, cell texts, sorting against a plain
// reference, clicks, the header menu, added and deleted lines, fatal misuse.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "list_test_support.h"
#include "mdb/schema.h"
#include "platform/scripted_ui.h"
#include "views/rs_dlg.h"

namespace {

// Records the ui's wait-cursor depth when a rebuild starts, and every redraw.
struct RecordingDisplay final : ListDisplay {
    explicit RecordingDisplay(ScriptedUi& scripted) : ui(scripted) {}
    void beginRebuild() override { busyAtRebuild = ui.busyDepth(); }
    void redrawLines(int first, int last) override { redrawn.push_back({first, last}); }
    void showLine(int line) override { shown = line; }
    ScriptedUi& ui;
    int busyAtRebuild = -1;
    int shown = -1;
    std::vector<std::pair<int, int>> redrawn;
};

// The data source table under its view: it has a dline column.
struct DsidList : ListedTable {
    DsidList() : ListedTable(defaultDataSourceView(), kDsidTableDef) {}
};

} // namespace

TEST(CUListBuild, ListsLiveRowsAndLeavesItemdataAfterTheLastLine)
{
    DsidList t;
    t.addRows(6);
    constexpr int kSentinel = 777;
    for (int row = 0; row < 6; ++row) {
        t.table.setInteger(row, kSentinel, col::Dsid::itemdata);
        t.table.setInteger(row, -5, col::Dsid::dline);
    }
    t.table.deleteRow(1);
    t.table.deleteRow(4);
    t.list.build();
    EXPECT_EQ(t.listedRows(), (std::vector<int>{0, 2, 3, 5}));
    for (int line = 0; line < 4; ++line)
        EXPECT_EQ(t.table.integer(t.list.rowOfLine(line), col::Dsid::dline), line);
    EXPECT_EQ(t.table.integer(4, col::Dsid::itemdata), kSentinel) << "the last line + 1";
    EXPECT_EQ(t.table.integer(5, col::Dsid::itemdata), kSentinel);
    EXPECT_EQ(t.table.integer(1, col::Dsid::dline), -5) << "a deleted row keeps its dline";
}

TEST(CUListBuild, FilterLeavesOutRowsHoldingTheValue)
{
    DsidList t;
    t.addRows(4);
    t.table.setInteger(2, -1, col::Dsid::dline);
    t.list.build(col::Dsid::dline, -1);
    EXPECT_EQ(t.listedRows(), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(t.table.integer(2, col::Dsid::dline), -1);
    EXPECT_EQ(t.list.filterColumn(), col::Dsid::dline);
    EXPECT_EQ(t.list.filterValue(), -1);
}

TEST(CUListBuild, ShowsTheWaitCursorWhileBuilding)
{
    ScopedScriptedUi scripted;
    ListedTable t;
    RecordingDisplay display(*scripted);
    t.list.setDisplay(&display);
    t.addRows(2);
    t.list.build();
    EXPECT_EQ(display.busyAtRebuild, 1);
    EXPECT_EQ(scripted->busyDepth(), 0);
}

TEST(CUListBuild, ColumnsFollowTheShownFlags)
{
    ListedTable t;
    t.layout.columns[tlay::count].shown = false;
    t.list.build();
    EXPECT_EQ(t.list.listColumnCount(), tlay::columnCount - 2) << "count and links hidden";
    EXPECT_EQ(t.list.columnTitle(0), "id");
    EXPECT_EQ(t.list.columnTitle(1), "flag");
    EXPECT_EQ(t.list.layoutColumnOf(1), tlay::flag);
    EXPECT_EQ(t.layout.columns[tlay::count].displayPosition, -1);
    EXPECT_EQ(t.layout.columns[tlay::flag].displayPosition, 1);
    EXPECT_EQ(t.list.columnWidth(1), 40);
}

TEST(CUListBuild, HidingEveryColumnThroughTheChooserStillShowsTheFirst)
{
    ScopedScriptedUi scripted;
    ListedTable t;
    t.addRows(3);
    t.list.build();
    scripted->answerDialog([](DialogModel& model) {
        static_cast<CRSDlg&>(model).allOff();
        return true;
    });
    t.list.headerCommand(0, HeaderCommand::RowSelect);
    EXPECT_FALSE(scripted->anyUnexpected());
    ASSERT_EQ(t.list.listColumnCount(), 1);
    EXPECT_EQ(t.list.columnTitle(0), "id");
    EXPECT_EQ(t.list.cellText(2, 0), "2");
    EXPECT_FALSE(t.layout.columns[tlay::id].shown) << "its flag stays cleared";
    EXPECT_EQ(t.layout.columns[tlay::id].displayPosition, 0);
}

TEST(CUListBuild, ChooserCancelKeepsFlagsWithoutRebuilding)
{
    ScopedScriptedUi scripted;
    ListedTable t;
    t.list.build();
    const int columns = t.list.listColumnCount();
    scripted->answerDialog([](DialogModel& model) {
        static_cast<CRSDlg&>(model).click(tlay::name);
        return false;
    });
    t.list.headerCommand(0, HeaderCommand::RowSelect);
    EXPECT_FALSE(t.layout.columns[tlay::name].shown);
    EXPECT_EQ(t.list.listColumnCount(), columns);
}

namespace {

struct CellTextCase {
    const char* name;
    int layoutColumn;
    void (*set)(UCell& cell);
    const char* format; // nullptr: the test layout's
    const char* expected;
};

// Texts by type: 1 and 4 by format, 6 by format, 2 "*", 3 the state marks.
const CellTextCase kCellTextCases[] = {
    {"SignedByFormat", tlay::count, [](UCell& c) { c.integer = -42; }, "%5d", "  -42"},
    {"UnsignedByFormat", tlay::id, [](UCell& c) { c.number = 4000000000u; }, "%u", "4000000000"},
    {"FloatByFormat", tlay::real, [](UCell& c) { c.real = 2.3f; }, "%.1f", "2.3"},
    {"FloatDefaultLayoutFormat", tlay::real, [](UCell& c) { c.real = -0.5f; }, nullptr, "-0.50"},
    {"FormatOfWrongKindFallsBack", tlay::count, [](UCell& c) { c.integer = 7; }, "%s", "7"},
    {"FloatFormatOnIntegerFallsBack", tlay::count, [](UCell& c) { c.integer = 7; }, "%.1f", "7"},
    {"FlagZero", tlay::flag, [](UCell& c) { c.number = 0; }, nullptr, ""},
    {"FlagOne", tlay::flag, [](UCell& c) { c.number = 1; }, nullptr, "*"},
    {"FlagNonzero", tlay::flag, [](UCell& c) { c.number = 9; }, nullptr, "*"},
    {"State0", tlay::sel, [](UCell& c) { c.number = 0; }, nullptr, ""},
    {"State1", tlay::sel, [](UCell& c) { c.number = 1; }, nullptr, "*"},
    {"State2", tlay::sel, [](UCell& c) { c.number = 2; }, nullptr, "-"},
    {"State3", tlay::sel, [](UCell& c) { c.number = 3; }, nullptr, "-"},
    {"State4", tlay::sel, [](UCell& c) { c.number = 4; }, nullptr, "+"},
    {"State7", tlay::sel, [](UCell& c) { c.number = 7; }, nullptr, "+"},
    {"State8ShowsNothing", tlay::sel, [](UCell& c) { c.number = 8; }, nullptr, ""},
    {"LinkShowsNothing", tlay::links, [](UCell&) {}, nullptr, ""},
};

class CellText : public ::testing::TestWithParam<CellTextCase> {};

} // namespace

TEST_P(CellText, ByColumnType)
{
    const CellTextCase& c = GetParam();
    ListedTable t;
    t.addRows(1);
    for (UViewColumn& column : t.layout.columns)
        column.shown = false;
    t.layout.columns[static_cast<std::size_t>(c.layoutColumn)].shown = true;
    if (c.format)
        t.layout.columns[static_cast<std::size_t>(c.layoutColumn)].format = c.format;
    c.set(*t.table.cell(0, t.layout.columns[static_cast<std::size_t>(c.layoutColumn)].column));
    t.list.build();
    EXPECT_EQ(t.list.cellText(0, 0), c.expected);
}

INSTANTIATE_TEST_SUITE_P(CUList, CellText, ::testing::ValuesIn(kCellTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CUListCells, TextsAndCodesAndLinesBeyondTheCount)
{
    ListedTable t;
    t.addRows(1);
    t.table.setText(0, tcol::name, "Perseids");
    t.table.setText(0, tcol::code, "PER");
    t.list.build();
    EXPECT_EQ(t.list.cellText(0, t.layout.columns[tlay::name].displayPosition), "Perseids");
    EXPECT_EQ(t.list.cellText(0, t.layout.columns[tlay::code].displayPosition), "PER");
    EXPECT_EQ(t.list.cellText(1, 0), "");
    EXPECT_EQ(t.list.cellText(-1, 0), "");
}

TEST(CUListDeathTest, LineWhoseRowIsOutsideTheTable)
{
    ListedTable t;
    t.addRows(2);
    t.list.build();
    t.table.setInteger(1, 5, tcol::itemdata);
    EXPECT_EXIT(t.list.cellText(1, 0), kFatalExit, "CLU: line 1 not exist");
}

TEST(CUListDeathTest, ListColumnWithoutLayoutColumn)
{
    ListedTable t;
    t.addRows(1);
    t.list.build();
    EXPECT_EXIT(t.list.cellText(0, t.list.listColumnCount()), kFatalExit, "CLU: row 8 not exist");
}

// ---- sorting ----------------------------------------------------------------

namespace {

// The plain reference: a stable sort of the listed rows by the typed key,
// reversed for a direction <= 0.
std::vector<int> referenceOrder(const CUTABLE& table, std::vector<int> rows, int column,
                                int direction)
{
    const auto less = [&](int a, int b) {
        const UCell& x = *table.cell(a, column);
        const UCell& y = *table.cell(b, column);
        switch (table.columnType(column)) {
        case kTypeInt:
            return x.integer < y.integer;
        case kTypeFloat:
            return x.real < y.real;
        case kTypeText:
        case kTypeCode:
            return std::string_view(table.text(a, column)) < table.text(b, column);
        default:
            return x.number < y.number;
        }
    };
    std::stable_sort(rows.begin(), rows.end(), less);
    if (direction <= 0)
        std::reverse(rows.begin(), rows.end());
    return rows;
}

// A text of 0-20 characters over a few letters, some above 0x7f, so that
// ties, shared prefixes of 8 and 16 bytes and byte order all occur.
std::string randomText(std::mt19937& random)
{
    static const char kLetters[] = {'a', 'b', 'B', '\xe9', '0'};
    const int length = static_cast<int>(random() % 21);
    std::string text;
    for (int i = 0; i < length; ++i)
        text += kLetters[random() % 2 == 0 ? 0 : random() % 5];
    return text;
}

void fillRandomRows(ListedTable& t, int rows, std::uint32_t seed)
{
    std::mt19937 random(seed);
    for (int i = 0; i < rows; ++i) {
        const int row = t.table.addRow();
        t.table.cell(row, tcol::id)->number = random() % 5 * 1000000000u;
        t.table.cell(row, tcol::count)->integer = static_cast<int>(random() % 9) - 4;
        t.table.cell(row, tcol::flag)->number = random() % 2;
        t.table.cell(row, tcol::sel)->number = random() % 8;
        const float reals[] = {-1e30f, -2.5f, -0.0f, 0.0f, 1e-20f, 2.5f, 3e38f};
        t.table.cell(row, tcol::real)->real = reals[random() % 7];
        t.table.setText(row, tcol::name, randomText(random).c_str());
        t.table.setText(row, tcol::code, randomText(random).substr(0, 7).c_str());
    }
    for (int row = 0; row < rows; row += 7)
        t.table.deleteRow(row);
}

} // namespace

TEST(CUListSort, MatchesTheReferenceOnRandomRowsWithTies)
{
    for (const std::uint32_t seed : {1u, 2u, 3u}) {
        ListedTable t;
        fillRandomRows(t, 400, seed);
        t.list.build();
        for (int layoutColumn = 0; layoutColumn < tlay::note; ++layoutColumn) {
            for (const int direction : {1, 0, -1}) {
                SCOPED_TRACE(::testing::Message() << "seed " << seed << " layout column "
                                                  << layoutColumn << " direction " << direction);
                const std::vector<int> before = t.listedRows();
                t.list.sort(layoutColumn, direction);
                const int column = t.layout.columns[static_cast<std::size_t>(layoutColumn)].column;
                EXPECT_EQ(t.listedRows(), referenceOrder(t.table, before, column, direction));
            }
        }
    }
}

TEST(CUListSort, TimesSortByTheirFullPrecision)
{
    // Microseconds apart: a single-precision key would tie them all.
    PooledTable orbits(kOrbitTableDef);
    UViewDef layout = defaultOrbitView();
    RecordingPage page;
    CUList list(page, layout, orbits.table);
    std::mt19937 random(7);
    const double times[] = {-1.0, -0.0, 0.0, 59642.922756, 59642.922757, 59642.922758, 1e300};
    for (int i = 0; i < 200; ++i)
        orbits.table.cell(orbits.table.addRow(), col::Orbit::mjd)->real64 = times[random() % 7];
    layout.columns[7].shown = true; // mjd
    list.build();
    for (const int direction : {1, -1}) {
        list.sort(7, direction);
        for (int line = 1; line < list.lineCount(); ++line) {
            const double before =
                orbits.table.cell(list.rowOfLine(line - 1), col::Orbit::mjd)->real64;
            const double after = orbits.table.cell(list.rowOfLine(line), col::Orbit::mjd)->real64;
            EXPECT_TRUE(direction > 0 ? before <= after : before >= after) << line;
        }
    }
}

TEST(CUListSort, DescendingShowsEqualKeysInReverseOfAscending)
{
    ListedTable t;
    t.addRows(4);
    const int keys[] = {5, 3, 5, 3};
    for (int row = 0; row < 4; ++row)
        t.table.cell(row, tcol::count)->integer = keys[row];
    t.list.build();
    t.list.sort(tlay::count, 1);
    const std::vector<int> ascending = t.listedRows();
    EXPECT_EQ(ascending, (std::vector<int>{1, 3, 0, 2}));
    t.list.build();
    t.list.sort(tlay::count, -1);
    EXPECT_EQ(t.listedRows(), (std::vector<int>{2, 0, 3, 1}));
}

TEST(CUListSort, SetsDlineAndIsRepeatedByTheNextBuild)
{
    DsidList t;
    t.addRows(3);
    const char* codes[] = {"b", "c", "a"};
    for (int row = 0; row < 3; ++row)
        t.table.setText(row, col::Dsid::code, codes[row]);
    t.list.build();
    t.list.sort(2, 1); // layout column 2: code
    EXPECT_EQ(t.listedRows(), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(t.table.integer(2, col::Dsid::dline), 0);
    EXPECT_EQ(t.table.integer(1, col::Dsid::dline), 2);
    t.list.addRow();
    t.table.setText(3, col::Dsid::code, "0");
    t.list.build();
    EXPECT_EQ(t.listedRows(), (std::vector<int>{3, 2, 0, 1}));
    EXPECT_EQ(t.list.sortColumn(), 2);
    EXPECT_EQ(t.list.sortDirection(), 1);
}

// ---- clicks -----------------------------------------------------------------

TEST(CUListClicks, StateDoubleClickedFiveTimesFromZero)
{
    ListedTable t;
    t.addRows(1);
    t.list.build();
    const int column = t.layout.columns[tlay::sel].displayPosition;
    std::vector<std::uint32_t> states;
    for (int i = 0; i < 5; ++i) {
        t.list.doubleClick(0, column);
        states.push_back(t.table.cell(0, tcol::sel)->number);
    }
    EXPECT_EQ(states, (std::vector<std::uint32_t>{4, 0, 4, 0, 4}));
    EXPECT_EQ(t.page.received,
              std::vector<Notification>(5, Notification{tnote::changed, column, 0}));
}

TEST(CUListClicks, StateStepsFromEveryValue)
{
    // 0 -> 4, 1 -> 2, 2 -> 1, 3 -> 1, 4 -> 0, 5 -> 1, other states stay.
    const std::uint32_t next[] = {4, 2, 1, 1, 0, 1, 6, 7, 8};
    ListedTable t;
    t.addRows(9);
    for (int row = 0; row < 9; ++row)
        t.table.cell(row, tcol::sel)->number = static_cast<std::uint32_t>(row);
    t.list.build();
    for (int line = 0; line < 9; ++line) {
        t.list.doubleClick(line, t.layout.columns[tlay::sel].displayPosition);
        EXPECT_EQ(t.table.cell(line, tcol::sel)->number, next[line]) << "from " << line;
    }
}

TEST(CUListClicks, FlagToggles)
{
    ListedTable t;
    t.addRows(3);
    const std::uint32_t start[] = {0, 1, 5};
    for (int row = 0; row < 3; ++row)
        t.table.cell(row, tcol::flag)->number = start[row];
    t.list.build();
    for (int line = 0; line < 3; ++line)
        t.list.doubleClick(line, t.layout.columns[tlay::flag].displayPosition);
    EXPECT_EQ(t.table.cell(0, tcol::flag)->number, 1u);
    EXPECT_EQ(t.table.cell(1, tcol::flag)->number, 0u);
    EXPECT_EQ(t.table.cell(2, tcol::flag)->number, 0u);
}

TEST(CUListClicks, ReadOnlyColumnDoesNothing)
{
    ListedTable t;
    t.addRows(1);
    t.layout.columns[tlay::flag].readOnly = true;
    t.list.build();
    t.list.doubleClick(0, t.layout.columns[tlay::flag].displayPosition);
    t.list.doubleClick(0, t.layout.columns[tlay::id].displayPosition);
    EXPECT_EQ(t.table.cell(0, tcol::flag)->number, 0u);
    EXPECT_FALSE(t.list.editing());
    EXPECT_TRUE(t.page.received.empty());
}

TEST(CUListClicks, ColumnNotificationComesInsteadOfAnEdit)
{
    PooledTable orbits(kOrbitTableDef);
    UViewDef layout = defaultOrbitView();
    RecordingPage page;
    CUList list(page, layout, orbits.table);
    orbits.table.addRow();
    orbits.table.addRow();
    orbits.table.cell(1, col::Orbit::mjd)->real64 = 58000.5;
    layout.columns[7].shown = true; // mjd: writable, with the date notification
    list.build();
    list.doubleClick(1, layout.columns[6].displayPosition); // M/D, read-only
    list.doubleClick(1, layout.columns[7].displayPosition);
    EXPECT_EQ(page.received,
              (std::vector<Notification>{{1357, layout.columns[6].displayPosition, 1},
                                         {1357, layout.columns[7].displayPosition, 1}}));
    EXPECT_FALSE(list.editing());
    EXPECT_EQ(orbits.table.cell(1, col::Orbit::mjd)->real64, 58000.5);
}

TEST(CUListClicks, LeftClickAndKeysPostLeftClick)
{
    ListedTable t;
    t.addRows(1);
    t.list.build();
    t.list.leftButtonDown();
    t.list.upDownKey();
    t.list.doubleClick(0, t.layout.columns[tlay::count].displayPosition);
    ASSERT_TRUE(t.list.editing());
    t.list.upDownKey(); // while editing: nothing
    t.list.setEditText("5");
    t.list.leftButtonDown(); // commits first
    const int column = t.layout.columns[tlay::count].displayPosition;
    EXPECT_EQ(t.page.received, (std::vector<Notification>{{tnote::leftClick, 0, 0},
                                                          {tnote::leftClick, 0, 0},
                                                          {tnote::changed, column, 0},
                                                          {tnote::leftClick, 0, 0}}));
    EXPECT_EQ(t.table.cell(0, tcol::count)->integer, 5);
}

TEST(CUListClicks, RightClickPostsOrOpensTheRecordEditor)
{
    ScopedScriptedUi scripted;
    ListedTable t;
    t.addRows(2);
    t.list.build();
    scripted->answerCancel();
    t.list.rightButtonDown(1, 2);
    ASSERT_EQ(scripted->events().size(), 1u);
    EXPECT_EQ(scripted->events()[0].caption, "Edit record");
    t.layout.notify.rightClick = tnote::rightClick;
    t.list.rightButtonDown(1, 2);
    t.list.rightButtonDown(5, 2); // no such line
    EXPECT_EQ(t.page.received, (std::vector<Notification>{{tnote::rightClick, 2, 1}}));
    EXPECT_EQ(scripted->events().size(), 1u);
}

TEST(CUListClicks, ResizedWidthsGoBackIntoTheLayout)
{
    ListedTable t;
    t.layout.columns[tlay::count].shown = false;
    t.list.build();
    t.list.columnsResized({50, 60});
    EXPECT_EQ(t.layout.columns[tlay::id].width, 50);
    EXPECT_EQ(t.layout.columns[tlay::count].width, 40) << "hidden: untouched";
    EXPECT_EQ(t.layout.columns[tlay::flag].width, 60);
}

// ---- the header menu --------------------------------------------------------

namespace {

struct HeaderMenuCase {
    const char* name;
    int allOnOff; // the layout's base
    int layoutColumn;
    bool layoutItem;
    std::vector<std::string> extra; // after "Sort -"
};

const HeaderMenuCase kHeaderMenuCases[] = {
    {"FlagWithBase", 1338, tlay::flag, false, {"all On", "all Off"}},
    {"StateWithBase", 1338, tlay::sel, false, {"all On", "all Off", "reset"}},
    {"StateResetOnly", kHeaderResetOnly, tlay::sel, false, {"reset"}},
    {"FlagResetOnly", kHeaderResetOnly, tlay::flag, false, {}},
    {"StateWithoutBase", 0, tlay::sel, false, {}},
    {"NumberWithBase", 1338, tlay::count, false, {}},
    {"LayoutItem", 0, tlay::name, true, {"Set all"}},
    {"StateAndLayoutItem", kHeaderResetOnly, tlay::sel, true, {"reset", "Set all"}},
};

class HeaderMenu : public ::testing::TestWithParam<HeaderMenuCase> {};

} // namespace

TEST_P(HeaderMenu, EntriesByTypeAndBase)
{
    const HeaderMenuCase& c = GetParam();
    ListedTable t;
    t.layout.notify.allOnOff = c.allOnOff;
    if (c.layoutItem) {
        t.layout.columns[static_cast<std::size_t>(c.layoutColumn)].headerMenu = 99;
        t.layout.columns[static_cast<std::size_t>(c.layoutColumn)].headerMenuText = "Set all";
    }
    t.list.build();
    std::vector<std::string> texts;
    for (const HeaderMenuItem& item : t.list.headerMenu(
             t.layout.columns[static_cast<std::size_t>(c.layoutColumn)].displayPosition))
        texts.push_back(item.text);
    std::vector<std::string> expected = {"Hide", "Row Select", "", "Sort +", "Sort -"};
    expected.insert(expected.end(), c.extra.begin(), c.extra.end());
    EXPECT_EQ(texts, expected);
}

INSTANTIATE_TEST_SUITE_P(CUList, HeaderMenu, ::testing::ValuesIn(kHeaderMenuCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CUListHeader, AllOnAllOffAndTheLayoutItemPostTheTableColumn)
{
    ListedTable t;
    t.layout.columns[tlay::sel].headerMenu = 99;
    t.layout.columns[tlay::sel].headerMenuText = "Set all";
    t.list.build();
    const int sel = t.layout.columns[tlay::sel].displayPosition;
    t.list.headerCommand(sel, HeaderCommand::AllOn);
    t.list.headerCommand(sel, HeaderCommand::AllOff);
    t.list.headerCommand(sel, HeaderCommand::LayoutItem);
    t.list.headerCommand(t.layout.columns[tlay::count].displayPosition, HeaderCommand::AllOn);
    EXPECT_EQ(t.page.received, (std::vector<Notification>{{tnote::allOnOff, tcol::sel, 0},
                                                          {tnote::allOnOff + 1, tcol::sel, 0},
                                                          {99, tcol::sel, 0}}))
        << "all On is not offered for a number column";
}

TEST(CUListHeader, ResetKeepsBitZeroOfListedRowsAboveOne)
{
    ListedTable t;
    t.addRows(9);
    for (int row = 0; row < 9; ++row)
        t.table.cell(row, tcol::sel)->number = static_cast<std::uint32_t>(row);
    t.table.cell(8, tcol::count)->integer = -1;
    t.list.build(tcol::count, -1); // row 8 (state 8) is not listed
    t.list.headerCommand(t.layout.columns[tlay::sel].displayPosition, HeaderCommand::Reset);
    std::vector<std::uint32_t> states;
    for (int row = 0; row < 9; ++row)
        states.push_back(t.table.cell(row, tcol::sel)->number);
    EXPECT_EQ(states, (std::vector<std::uint32_t>{0, 1, 0, 1, 0, 1, 0, 1, 8}));
    EXPECT_TRUE(t.page.received.empty());
}

TEST(CUListHeader, HideRebuildsWithTheLastFilterAndSortsByTheColumn)
{
    ListedTable t;
    t.addRows(4);
    for (int row = 0; row < 4; ++row)
        t.table.cell(row, tcol::count)->integer = 3 - row;
    t.table.cell(0, tcol::flag)->number = 1;
    t.list.build(tcol::flag, 1);
    t.list.headerCommand(t.layout.columns[tlay::count].displayPosition,
                         HeaderCommand::SortAscending);
    EXPECT_EQ(t.listedRows(), (std::vector<int>{3, 2, 1}));
    t.list.headerCommand(t.layout.columns[tlay::count].displayPosition,
                         HeaderCommand::SortDescending);
    EXPECT_EQ(t.listedRows(), (std::vector<int>{1, 2, 3}));
    t.list.headerCommand(t.layout.columns[tlay::count].displayPosition, HeaderCommand::Hide);
    EXPECT_FALSE(t.layout.columns[tlay::count].shown);
    EXPECT_EQ(t.layout.columns[tlay::count].displayPosition, -1);
    EXPECT_EQ(t.listedRows(), (std::vector<int>{1, 2, 3})) << "filter and sort stay";
}

// ---- added and deleted lines ------------------------------------------------

TEST(CUListLines, AddedRowPassesTheFilterAndKeepsItsLine)
{
    DsidList t;
    ScopedScriptedUi scripted;
    RecordingDisplay display(*scripted);
    t.list.setDisplay(&display);
    t.addRows(2);
    t.table.setInteger(0, -1, col::Dsid::dline);
    t.table.setInteger(1, 0, col::Dsid::dline);
    t.list.build(col::Dsid::dline, -1);
    const int line = t.list.addRow();
    EXPECT_EQ(line, 1);
    EXPECT_EQ(t.list.rowOfLine(1), 2);
    EXPECT_EQ(t.table.integer(2, col::Dsid::dline), 1) << "the line, which passes the filter";
    EXPECT_EQ(display.shown, 1);
    t.list.build(col::Dsid::DSID, 41);
    t.list.addRow();
    EXPECT_EQ(t.table.cell(3, col::Dsid::DSID)->number, 42u);
}

TEST(CUListLines, DeleteKeepingTheListShiftsLaterLines)
{
    DsidList t;
    t.addRows(4);
    t.list.build();
    t.list.setSelectedLine(3);
    EXPECT_EQ(t.list.deleteLine(1, true), 1);
    EXPECT_EQ(t.table.exist(1), CUTABLE::kDeleted);
    EXPECT_EQ(t.listedRows(), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(t.table.integer(3, col::Dsid::dline), 2);
    EXPECT_EQ(t.list.selectedLine(), 2);
    EXPECT_EQ(t.list.deleteLine(-1, true), 3) << "the selected line";
    EXPECT_EQ(t.list.selectedLine(), -1);
    EXPECT_EQ(t.list.deleteLine(-1, true), -1) << "nothing selected";
    EXPECT_EQ(t.listedRows(), (std::vector<int>{0, 2}));
}

TEST(CUListLines, DeleteRebuildsWithoutFilter)
{
    DsidList t;
    t.addRows(3);
    t.table.setInteger(2, -1, col::Dsid::dline);
    t.list.build(col::Dsid::dline, -1);
    EXPECT_EQ(t.list.deleteLine(0, false), 0);
    EXPECT_EQ(t.listedRows(), (std::vector<int>{1, 2}));
    EXPECT_EQ(t.list.filterColumn(), 0);
}

TEST(CUListPlacement, NegativeEdgesCountFromThePageEdges)
{
    // The orbit view: top 140, bottom -24, left 0, right -1.
    const ListPlacement orbit = placeList(defaultOrbitView(), 500, 400);
    EXPECT_EQ(orbit.left, 0);
    EXPECT_EQ(orbit.top, 140);
    EXPECT_EQ(orbit.width, 499);
    EXPECT_EQ(orbit.height, 236);
    // The data source view: 47, 168, 2, -2.
    const ListPlacement sources = placeList(defaultDataSourceView(), 300, 100);
    EXPECT_EQ(sources.height, 121);
    EXPECT_EQ(sources.width, 296);
    EXPECT_EQ(placeList(defaultOrbitView(), 10, 100).height, 0) << "a page too small";
}
