// The in-place editor, the record editor and the column chooser of a list,
// and the refusal of texts that would break a table file.
#include <gtest/gtest.h>

#include <string>

#include "list_test_support.h"
#include "mdb/schema.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"
#include "views/cell_format.h"
#include "views/edit_line_dlg.h"
#include "views/rs_dlg.h"

namespace {

// One row with a value in every column, listed.
struct OneRow : ListedTable {
    OneRow()
    {
        table.addRow();
        table.cell(0, tcol::id)->number = 3000000000u;
        table.cell(0, tcol::count)->integer = -7;
        table.cell(0, tcol::flag)->number = 1;
        table.cell(0, tcol::sel)->number = 5;
        table.cell(0, tcol::real)->real = 2.5f;
        table.setText(0, tcol::name, "Geminids");
        table.setText(0, tcol::code, "GEM");
        list.build();
    }
    int listColumn(int layoutColumn) const
    {
        return layout.columns[static_cast<std::size_t>(layoutColumn)].displayPosition;
    }
    // Double-clicks the cell, types the text and presses Enter.
    void editInPlace(int layoutColumn, const std::string& typed)
    {
        list.doubleClick(0, listColumn(layoutColumn));
        list.setEditText(typed);
        list.commitEdit();
    }
};

struct StartTextCase {
    const char* name;
    int layoutColumn;
    const char* format;
    const char* expected;
};

// 1 and 4 by the column's format, 6 always "%f", 8 and 9 their texts.
const StartTextCase kStartTextCases[] = {
    {"SignedByFormat", tlay::count, "%3d", " -7"},
    {"UnsignedByFormat", tlay::id, "%u", "3000000000"},
    {"FloatIgnoresTheFormat", tlay::real, "%.1f", "2.500000"},
    {"Text", tlay::name, "%s", "Geminids"},
    {"Code", tlay::code, "%s", "GEM"},
};

class StartText : public ::testing::TestWithParam<StartTextCase> {};

} // namespace

TEST_P(StartText, ByColumnType)
{
    const StartTextCase& c = GetParam();
    OneRow t;
    t.layout.columns[static_cast<std::size_t>(c.layoutColumn)].format = c.format;
    t.layout.columns[tlay::id].readOnly = false;
    t.list.doubleClick(0, t.listColumn(c.layoutColumn));
    ASSERT_TRUE(t.list.editing());
    EXPECT_EQ(t.list.cellEdit()->text(), c.expected);
    EXPECT_EQ(t.list.cellEdit()->row(), 0);
    EXPECT_EQ(t.list.cellEdit()->layoutColumn(), c.layoutColumn);
    EXPECT_EQ(t.list.cellEdit()->tableColumn(),
              t.layout.columns[static_cast<std::size_t>(c.layoutColumn)].column);
}

INSTANTIATE_TEST_SUITE_P(CCellEdit, StartText, ::testing::ValuesIn(kStartTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

struct CommitCase {
    const char* name;
    int layoutColumn;
    std::string typed;
    std::string expected; // the cell's text in the record editor's formats
};

std::string cellAsText(const CUTABLE& table, int layoutColumn)
{
    return recordText(table, 0,
                      testLayout().columns[static_cast<std::size_t>(layoutColumn)].column);
}

const CommitCase kCommitCases[] = {
    {"SignedStopsAtTheFirstMisfit", tlay::count, " 12abc", "12"},
    {"SignedNoNumberLeavesTheCell", tlay::count, "abc", "-7"},
    {"SignedHeldAtTheLimit", tlay::count, "99999999999", "2147483647"},
    {"UnsignedMinusWraps", tlay::id, "-1", "4294967295"},
    {"Float", tlay::real, "1.5e2", "150.000000"},
    {"FloatNotANumberLeavesTheCell", tlay::real, "nan", "2.500000"},
    {"TextCutTo60", tlay::name, std::string(70, 'x'), std::string(60, 'x')},
    {"TextReadsAtMost255", tlay::name, std::string(300, 'y'), std::string(60, 'y')},
    {"EmptyText", tlay::name, "", ""},
    {"CodeFirstSeven", tlay::code, "ABCDEFGHIJ", "ABCDEFG"},
    {"CutKeepsWholeUtf8Characters", tlay::code, "abcdef\xc3\xa9", "abcdef"},
};

class CommitInPlace : public ::testing::TestWithParam<CommitCase> {};

} // namespace

TEST_P(CommitInPlace, StoresByType)
{
    const CommitCase& c = GetParam();
    OneRow t;
    t.layout.columns[tlay::id].readOnly = false;
    t.editInPlace(c.layoutColumn, c.typed);
    EXPECT_FALSE(t.list.editing());
    EXPECT_EQ(cellAsText(t.table, c.layoutColumn), c.expected);
    EXPECT_EQ(t.page.received,
              (std::vector<Notification>{{tnote::changed, t.listColumn(c.layoutColumn), 0}}));
}

INSTANTIATE_TEST_SUITE_P(CCellEdit, CommitInPlace, ::testing::ValuesIn(kCommitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CCellEdit, EscapeLeavesTheCell)
{
    OneRow t;
    t.list.doubleClick(0, t.listColumn(tlay::name));
    t.list.setEditText("Quadrantids");
    t.list.cancelEdit();
    EXPECT_FALSE(t.list.editing());
    EXPECT_STREQ(t.table.text(0, tcol::name), "Geminids");
    EXPECT_TRUE(t.page.received.empty());
}

TEST(CCellEdit, BuildCommitsAPendingEdit)
{
    OneRow t;
    t.list.doubleClick(0, t.listColumn(tlay::code));
    t.list.setEditText("QUA");
    t.list.build();
    EXPECT_STREQ(t.table.text(0, tcol::code), "QUA");
}

struct RefusedText {
    const char* name;
    int layoutColumn;
    const char* typed;
};

class InPlaceRefusal : public ::testing::TestWithParam<RefusedText> {};

TEST_P(InPlaceRefusal, NothingIsStoredAndTheMessageSaysWhy)
{
    ScopedScriptedUi scripted;
    OneRow t;
    t.editInPlace(GetParam().layoutColumn, GetParam().typed);
    EXPECT_FALSE(t.list.editing());
    EXPECT_STREQ(t.table.text(0, tcol::name), "Geminids");
    EXPECT_STREQ(t.table.text(0, tcol::code), "GEM");
    EXPECT_EQ(scripted->messages(), std::vector<std::string>{kTextRefused});
    EXPECT_TRUE(t.page.received.empty()) << "nothing changed";
}

// A comma ends a field and a line break a row when the table file is read back.
INSTANTIATE_TEST_SUITE_P(CCellEdit, InPlaceRefusal,
                         ::testing::Values(RefusedText{"Comma", tlay::name, "Perseids, 2020"},
                                           RefusedText{"LineFeed", tlay::name, "two\nlines"},
                                           RefusedText{"CarriageReturn", tlay::name, "cr\r"},
                                           RefusedText{"CommaInCode", tlay::code, "a,b"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the record editor ------------------------------------------------------

TEST(CEditLineDlg, FieldsOfEveryColumnButLinksInLayoutOrder)
{
    OneRow t;
    t.layout.columns[tlay::count].shown = false; // hidden columns are edited too
    const CEditLineDlg dialog(t.table, t.layout, 0, true);
    EXPECT_EQ(dialog.title(), "T.csv");
    std::vector<std::string> labels, texts;
    for (const CEditLineDlg::Field& field : dialog.fields()) {
        labels.push_back(field.label);
        texts.push_back(field.text);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"id", "count", "flag", "sel", "real", "name",
                                                "code", "note"}));
    // 1 "%d", 2-4 "%u", 6 "%f", 8 and 9 the texts.
    EXPECT_EQ(texts, (std::vector<std::string>{"3000000000", "-7", "1", "5", "2.500000", "Geminids",
                                               "GEM", ""}));
    EXPECT_TRUE(dialog.fields()[0].readOnly);
    EXPECT_FALSE(dialog.fields()[1].readOnly);
    EXPECT_TRUE(dialog.deleteOffered());
}

TEST(CEditLineDlg, OrbitTitleAndDeleteOnlyWithANotification)
{
    PooledTable orbits(kOrbitTableDef);
    orbits.table.addRow();
    UViewDef layout = defaultOrbitView();
    EXPECT_EQ(CEditLineDlg(orbits.table, layout, 0, true).title(), "Orbit Edit");
    EXPECT_FALSE(CEditLineDlg(orbits.table, layout, 0, false).deleteOffered());
    layout.notify.deleteItem = 0;
    EXPECT_FALSE(CEditLineDlg(orbits.table, layout, 0, true).deleteOffered());
}

TEST(CEditLineDlg, OkReadsEveryEditableFieldBack)
{
    OneRow t;
    CEditLineDlg dialog(t.table, t.layout, 0, false);
    const std::vector<std::string> typed = {
        "1", "12x", "", "3", "-1.25", std::string(300, 'n'), "12345678", "note"};
    for (int i = 0; i < static_cast<int>(typed.size()); ++i)
        dialog.setText(i, typed[static_cast<std::size_t>(i)]);
    ASSERT_TRUE(dialog.accept());
    EXPECT_EQ(t.table.cell(0, tcol::id)->number, 3000000000u) << "read-only";
    EXPECT_EQ(t.table.cell(0, tcol::count)->integer, 12);
    EXPECT_EQ(t.table.cell(0, tcol::flag)->number, 0u) << "empty gives 0";
    EXPECT_EQ(t.table.cell(0, tcol::sel)->number, 3u);
    EXPECT_EQ(t.table.cell(0, tcol::real)->real, -1.25f);
    EXPECT_EQ(t.table.text(0, tcol::name), std::string(254, 'n'));
    EXPECT_STREQ(t.table.text(0, tcol::code), "1234567");
    EXPECT_STREQ(t.table.text(0, tcol::note), "note");
}

TEST(CEditLineDlg, LongestTextSurvivesTheTableFile)
{
    ScopedScriptedUi scripted;
    TempDir dir;
    OneRow t;
    CEditLineDlg dialog(t.table, t.layout, 0, false);
    dialog.setText(5, std::string(255, 'm'));
    ASSERT_TRUE(dialog.accept());
    ASSERT_TRUE(t.table.save(dir.file("T.csv")));
    PooledTable reread;
    EXPECT_TRUE(reread.table.load(dir.file("T.csv")));
    EXPECT_EQ(reread.table.text(0, tcol::name), std::string(254, 'm'));
    EXPECT_TRUE(scripted->messages().empty());
}

TEST(CEditLineDlg, TextWithACommaStoresNoFieldAndStaysOpen)
{
    ScopedScriptedUi scripted;
    OneRow t;
    CEditLineDlg dialog(t.table, t.layout, 0, false);
    dialog.setText(1, "99");
    dialog.setText(5, "Orionids,\r\n2021");
    EXPECT_FALSE(dialog.accept());
    EXPECT_FALSE(dialog.accepted());
    EXPECT_EQ(t.table.cell(0, tcol::count)->integer, -7) << "no field of the record";
    EXPECT_STREQ(t.table.text(0, tcol::name), "Geminids");
    EXPECT_EQ(scripted->messages(), std::vector<std::string>{kTextRefused});
    dialog.setText(5, "Orionids 2021");
    EXPECT_TRUE(dialog.accept());
    EXPECT_EQ(t.table.cell(0, tcol::count)->integer, 99);
}

TEST(CEditLineDlg, ListPostsChangedOnOkAndDeleteOnDelete)
{
    ScopedScriptedUi scripted;
    OneRow t;
    t.list.setSelectedLine(0);
    scripted->answerDialog([](DialogModel& model) {
        auto& dialog = static_cast<CEditLineDlg&>(model);
        dialog.setText(1, "8");
        return dialog.accept();
    });
    EXPECT_EQ(t.list.editRecord(-1, true), 1);
    EXPECT_EQ(t.table.cell(0, tcol::count)->integer, 8);
    scripted->answerDialog([](DialogModel& model) {
        static_cast<CEditLineDlg&>(model).pressDelete();
        return false;
    });
    EXPECT_EQ(t.list.editRecord(0, true), 0);
    scripted->answerOk(); // OK without the model's accept stores nothing and counts as cancel
    EXPECT_EQ(t.list.editRecord(0, true), 0);
    EXPECT_EQ(t.page.received,
              (std::vector<Notification>{{tnote::changed, -1, 0}, {tnote::deleteItem, 0, 0}}));
    EXPECT_EQ(t.table.exist(0), CUTABLE::kLive) << "the page deletes the row";
}

TEST(CEditLineDlg, DeleteIsIgnoredWhenNotOffered)
{
    OneRow t;
    CEditLineDlg dialog(t.table, t.layout, 0, false);
    dialog.pressDelete();
    EXPECT_FALSE(dialog.deleteRequested());
}

// ---- the column chooser -----------------------------------------------------

TEST(CRSDlg, LinesMarksAndFlags)
{
    OneRow t;
    t.layout.columns[tlay::count].shown = false;
    CRSDlg dialog(t.table, t.layout);
    ASSERT_EQ(dialog.lineCount(), tlay::columnCount - 1) << "no link column";
    EXPECT_EQ(dialog.name(1), "count");
    EXPECT_EQ(dialog.mark(0), "*");
    EXPECT_EQ(dialog.mark(1), " ");
    dialog.click(1);
    EXPECT_EQ(dialog.mark(1), "*");
    EXPECT_TRUE(t.layout.columns[tlay::count].shown);
    dialog.click(0);
    EXPECT_EQ(dialog.mark(0), " ");
    EXPECT_FALSE(t.layout.columns[tlay::id].shown);
    dialog.allOff();
    EXPECT_EQ(dialog.mark(3), "") << "allOff clears the marks";
    EXPECT_FALSE(t.layout.columns[tlay::sel].shown);
    EXPECT_FALSE(t.layout.columns[tlay::links].shown);
    dialog.allOn();
    EXPECT_EQ(dialog.mark(3), "*");
    EXPECT_TRUE(t.layout.columns[tlay::note].shown);
    EXPECT_FALSE(t.layout.columns[tlay::links].shown) << "link columns are not offered";
}
