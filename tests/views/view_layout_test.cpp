// The five list view layouts against the table of layouts they were made from.
#include <gtest/gtest.h>

#include <vector>

#include "mdb/schema.h"
#include "views/view_layout.h"

namespace {

struct ExpectedColumn {
    const char* name; // the table column's name
    bool shown;
    bool readOnly;
    int width;
    const char* format;
    int doubleClick;
};

struct ExpectedView {
    const char* title;
    UViewDef (*make)();
    const UTableDef* table;
    UViewRect rect;
    UViewNotify notify;
    int dline;
    int itemdata;
    std::vector<ExpectedColumn> columns;
};

constexpr bool on = true, off = false, ro = true, rw = false;

// Transcribed from the layout table of the list views: shown, read-only,
// width, format ("%s" for texts, "%u" for numbers where none is given) and
// the notification numbers.
const std::vector<ExpectedView>& expectedViews()
{
    static const std::vector<ExpectedView> views = {
        {"data sources",
         defaultDataSourceView,
         &kDsidTableDef,
         {47, 168, 2, -2},
         {1324, 0, 0, 1325, 0},
         6,
         7,
         {{"use", on, rw, 32, "%u", 0},
          {"DSID", on, ro, 45, "%u", 0},
          {"code", on, rw, 40, "%s", 0},
          {"IDnext", on, ro, 75, "%u", 0},
          {"memo", on, rw, 160, "%s", 0}}},
        {"stream lists",
         defaultStreamListView,
         &kListTableDef,
         {192, 296, 2, -2},
         {1326, 1327, 0, 1328, 0},
         6,
         7,
         {{"LID", on, ro, 75, "%u", 0},
          {"name", on, rw, 110, "%s", 0},
          {"ver", on, rw, 50, "%s", 0},
          {"memo", on, rw, 115, "%s", 0}}},
        {"orbit files",
         defaultOrbitFileView,
         &kOrbitFileTableDef,
         {322, -20, 2, -2},
         {1329, 0, 0, 1330, 0},
         5,
         6,
         {{"use", on, rw, 32, "%u", 0},
          {"orbit file name", on, rw, 130, "%s", 0},
          {"memo", on, rw, 130, "%s", 0},
          {"loaded", on, ro, 60, "%u", 0}}},
        {"streams",
         defaultStreamView,
         &kStreamTableDef,
         {22, -46, 0, -1},
         {1334, 1335, 1336, 1337, 1338},
         23,
         29,
         {{"L-S", on, rw, 32, "%u", 0},        {"use", off, rw, 32, "%u", 0},
          {"SID", off, ro, 80, "%u", 0},       {"code", on, rw, 60, "%s", 0},
          {"name", off, rw, 110, "%s", 0},     {"S-O", on, ro, 38, "%d", 0},
          {"M/D1", on, ro, 44, "%s", 1354},    {"M/D2", on, ro, 44, "%s", 1355},
          {"M/Dp", on, ro, 44, "%s", 1356},    {"sol1", off, rw, 40, "%.1f", 1354},
          {"sol2", off, rw, 40, "%.1f", 1355}, {"solp", on, rw, 40, "%.1f", 1356},
          {"ra", on, rw, 40, "%.1f", 0},       {"dec", on, rw, 40, "%.1f", 0},
          {"dra", on, rw, 40, "%.2f", 0},      {"ddec", on, rw, 40, "%.2f", 0},
          {"vg", on, rw, 40, "%.1f", 0},       {"type", off, rw, 40, "%d", 0},
          {"R", on, rw, 40, "%.1f", 0},        {"dv", on, rw, 40, "%.1f", 0},
          {"D'", on, rw, 40, "%.1f", 0},       {"TypicalOID", on, ro, 70, "%u", 0},
          {"memo", on, rw, 200, "%s", 0}}},
        {"orbits",
         defaultOrbitView,
         &kOrbitTableDef,
         {140, -24, 0, -1},
         {1344, 1345, 1346, 1347, 2},
         34,
         39,
         {{"sel", on, rw, 32, "%u", 0},       {"use", off, rw, 32, "%u", 0},
          {"code", on, ro, 40, "%s", 0},      {"stream", on, ro, 70, "%s", 0},
          {"OID", off, ro, 80, "%u", 0},      {"name", on, rw, 110, "%s", 0},
          {"M/D", on, ro, 44, "%s", 1357},    {"mjd", off, rw, 60, "%.1f", 1357},
          {"sol", off, rw, 40, "%.1f", 1357}, {"ra", on, rw, 40, "%.1f", 0},
          {"dec", on, rw, 40, "%.1f", 0},     {"vg", on, rw, 40, "%.1f", 0},
          {"vs", on, rw, 40, "%.1f", 0},      {"type", off, rw, 40, "%d", 0},
          {"a", on, rw, 40, "%.2f", 0},       {"q", on, rw, 40, "%.2f", 0},
          {"e", on, rw, 40, "%.2f", 0},       {"peri", on, rw, 40, "%.1f", 0},
          {"node", on, rw, 40, "%.1f", 0},    {"incl", on, rw, 40, "%.1f", 0},
          {"M", off, rw, 60, "%.1f", 0},      {"T/e", off, rw, 60, "%.1f", 0},
          {"r_sd", on, rw, 40, "%.2f", 0},    {"v_sd", on, rw, 40, "%.2f", 0},
          {"Hb", off, rw, 40, "%.1f", 0},     {"He", off, rw, 40, "%.1f", 0},
          {"zr", off, rw, 40, "%.1f", 0},     {"mag", on, rw, 40, "%.1f", 0},
          {"mass", off, rw, 40, "%.1f", 0},   {"memo", on, rw, 200, "%s", 0},
          {"sR", on, ro, 40, "%.1f", 0},      {"mR", on, ro, 40, "%.1f", 0}}},
    };
    return views;
}

class ViewLayoutTest : public ::testing::TestWithParam<ExpectedView> {};

} // namespace

TEST_P(ViewLayoutTest, MatchesTheLayoutTable)
{
    const ExpectedView& expected = GetParam();
    const UViewDef view = expected.make();
    EXPECT_EQ(view.rect.top, expected.rect.top);
    EXPECT_EQ(view.rect.bottom, expected.rect.bottom);
    EXPECT_EQ(view.rect.left, expected.rect.left);
    EXPECT_EQ(view.rect.right, expected.rect.right);
    EXPECT_EQ(view.notify.changed, expected.notify.changed);
    EXPECT_EQ(view.notify.rightClick, expected.notify.rightClick);
    EXPECT_EQ(view.notify.leftClick, expected.notify.leftClick);
    EXPECT_EQ(view.notify.deleteItem, expected.notify.deleteItem);
    EXPECT_EQ(view.notify.allOnOff, expected.notify.allOnOff);
    EXPECT_TRUE(view.fullRowSelect);
    EXPECT_EQ(view.dlineColumn, expected.dline);
    EXPECT_EQ(view.itemdataColumn, expected.itemdata);
    // The stream list marks its lines in the "valid" column.
    const char* dlineName = expected.table == &kStreamTableDef ? "valid" : "dline";
    EXPECT_STREQ(expected.table->columns[view.dlineColumn].name, dlineName);
    EXPECT_STREQ(expected.table->columns[view.itemdataColumn].name, "itemdata");

    ASSERT_EQ(view.columnCount(), static_cast<int>(expected.columns.size()));
    for (std::size_t i = 0; i < expected.columns.size(); ++i) {
        const UViewColumn& column = view.columns[i];
        const ExpectedColumn& want = expected.columns[i];
        SCOPED_TRACE(std::string(expected.title) + " column " + std::to_string(i));
        ASSERT_GE(column.column, 0);
        ASSERT_LT(column.column, expected.table->columnCount);
        EXPECT_STREQ(expected.table->columns[column.column].name, want.name);
        EXPECT_EQ(column.shown, want.shown);
        EXPECT_EQ(column.readOnly, want.readOnly);
        EXPECT_EQ(column.width, want.width);
        EXPECT_EQ(column.format, want.format);
        EXPECT_EQ(column.doubleClick, want.doubleClick);
        EXPECT_EQ(column.displayPosition, -1);
        const bool streamMenu =
            expected.table == &kOrbitTableDef && column.column == col::Orbit::stream;
        EXPECT_EQ(column.headerMenu, streamMenu ? 1348 : 0);
        EXPECT_EQ(column.headerMenuText, streamMenu ? "Set Stream for all" : "");
    }
}

INSTANTIATE_TEST_SUITE_P(FiveViews, ViewLayoutTest, ::testing::ValuesIn(expectedViews()),
                         [](const auto& info) {
                             std::string name = info.param.title;
                             std::erase(name, ' ');
                             return name;
                         });

TEST(ViewLayouts, TextColumnsUseTheTextFormat)
{
    const ViewLayouts views;
    const std::pair<const UViewDef*, const UTableDef*> pairs[] = {
        {&views.dataSources, &kDsidTableDef},
        {&views.streamLists, &kListTableDef},
        {&views.orbitFiles, &kOrbitFileTableDef},
        {&views.streams, &kStreamTableDef},
        {&views.orbits, &kOrbitTableDef}};
    for (const auto& [view, table] : pairs) {
        for (const UViewColumn& column : view->columns) {
            const int type = table->columns[column.column].type;
            const bool text = type == kTypeText || type == kTypeCode;
            EXPECT_EQ(column.format == "%s", text) << table->columns[column.column].name;
        }
    }
}

TEST(ViewLayouts, ResetRestoresEveryDefault)
{
    ViewLayouts views;
    views.streams.columns[1].shown = true;
    views.orbits.columns[5].width = 999;
    views.dataSources.columns[0].displayPosition = 3;
    views.orbitFiles.columns.pop_back();
    views.resetToDefaults();
    EXPECT_FALSE(views.streams.columns[1].shown);
    EXPECT_EQ(views.orbits.columns[5].width, 110);
    EXPECT_EQ(views.dataSources.columns[0].displayPosition, -1);
    EXPECT_EQ(views.orbitFiles.columnCount(), 4);
}
