// The stream selection dialog: rows, marks and what OK changes in each mode.
#include <gtest/gtest.h>

#include "mdb/schema.h"
#include "pages/ssel_dlg.h"
#include "platform/scripted_ui.h"
#include "stream_db.h"
#include "table/links.h"

namespace {

using S = col::Stream;
using O = col::Orbit;

struct SselFixture : ::testing::Test {
    ScopedScriptedUi ui;
    StreamDb mdb;
    int a = -1, outside = -1, b = -1, orbit = -1, typical = -1;

    void SetUp() override
    {
        TestStream stream{130, 150, 140, 46, 58, 0, 0, 59, 3, 3, 0.2f};
        a = mdb.addStream(StreamDb::kInUse, "VN_A", stream);
        outside = mdb.addStream(StreamDb::kInUse, "VN_X", stream, false);
        stream.ra = 56;
        b = mdb.addStream(StreamDb::kInUse, "VN_B", stream);
        orbit = mdb.addOrbit(StreamDb::kInUse, {140, 48, 58, 59});
        typical = mdb.addOrbit(StreamDb::kInUse, {140, 46, 58, 59, 0.9f, 0.9f, 113, 140, 150});
        mdb.setTypical(a, typical);
        mdb.db().streams.cell(b, S::SO)->integer = 7;
    }
    std::vector<std::string> column(const CSSELDlg& dialog, int c)
    {
        std::vector<std::string> texts;
        for (int line = 0; line < dialog.rowCount(); ++line)
            texts.push_back(dialog.cellText(line, c));
        return texts;
    }
    bool linked(int stream) const
    {
        return isLinked({&mdb.app.db->streams, stream, S::OLINK},
                        {&mdb.app.db->orbits, orbit, O::SLINK});
    }
};

TEST_F(SselFixture, ListUpModeMarksTheSelectedStreamsAndAllOnLeavesSporadicAlone)
{
    mdb.db().streams.cell(a, S::ssel)->number = 0;
    CSSELDlg dialog(mdb.app, CSSELDlg::kListUp);
    dialog.open();
    EXPECT_EQ(dialog.title(), "Select listup Stream");
    EXPECT_TRUE(dialog.showsAllButtons());
    ASSERT_EQ(dialog.columns().size(), 4u);
    EXPECT_EQ(dialog.columns()[3].title, "sel");
    EXPECT_EQ(column(dialog, 0), (std::vector<std::string>{"Spo", "VN_A", "VN_B"}));
    EXPECT_EQ(column(dialog, 2), (std::vector<std::string>{"", "", "7"}));
    EXPECT_EQ(column(dialog, 3), (std::vector<std::string>{"", "", "*"}));
    dialog.allOn();
    EXPECT_EQ(column(dialog, 3), (std::vector<std::string>{"", "*", "*"}));
    dialog.click(0);
    dialog.accept();
    EXPECT_TRUE(mdb.app.sporadicChosen);
    EXPECT_EQ(mdb.app.currentStreamRow, -2);
    EXPECT_EQ(mdb.db().streams.cell(outside, S::ssel)->number, 0u);
}

TEST_F(SselFixture, ListUpOkMakesTheOnlyMarkedStreamCurrentOrNone)
{
    struct Case {
        const char* name;
        std::vector<int> clicks; // each toggles its line's mark
        int current;             // -1 none, -2 several, else a stream row
    };
    for (const Case& c :
         {Case{"none", {1, 1}, -1}, Case{"only B", {2}, b}, Case{"both", {1, 2}, -2}}) {
        SCOPED_TRACE(c.name);
        CSSELDlg dialog(mdb.app, CSSELDlg::kListUp);
        dialog.open();
        dialog.allOff();
        for (int line : c.clicks)
            dialog.click(line);
        dialog.accept();
        EXPECT_EQ(mdb.app.currentStreamRow, c.current);
    }
}

TEST_F(SselFixture, ChangeModeShowsDistancesAndOkLinksTheOneChosenStream)
{
    link({&mdb.db().streams, a, S::OLINK}, {&mdb.db().orbits, orbit, O::SLINK});
    CSSELDlg dialog(mdb.app, CSSELDlg::kChange, orbit);
    dialog.open();
    EXPECT_EQ(dialog.title(), "Change Stream");
    ASSERT_EQ(dialog.columns().size(), 6u);
    EXPECT_EQ(column(dialog, 3), (std::vector<std::string>{"*", " "}));
    // 2 degrees of ra at dec 58 is 1.06 degrees of arc; B is 8 degrees of ra away.
    EXPECT_EQ(column(dialog, 4), (std::vector<std::string>{"1.1", "4.2"}));
    EXPECT_EQ(dialog.cellText(1, 5), ""); // B has no typical orbit
    EXPECT_FALSE(dialog.cellText(0, 5).empty());
    EXPECT_EQ(dialog.scrollLine(), 0);

    CSSELDlg untouched(mdb.app, CSSELDlg::kChange, orbit);
    untouched.open();
    untouched.accept();
    EXPECT_TRUE(linked(a));
    EXPECT_FALSE(linked(b));

    dialog.click(1);
    dialog.accept();
    EXPECT_FALSE(linked(a));
    EXPECT_TRUE(linked(b));
    EXPECT_STREQ(mdb.db().orbits.text(orbit, O::stream), "VN_B");
    EXPECT_EQ(mdb.db().streams.cell(b, S::SO)->integer, 1);
    EXPECT_TRUE(mdb.db().modified);
}

TEST_F(SselFixture, SelectModePicksOneStreamAndOkWithoutOneDoesNothing)
{
    mdb.app.currentStreamRow = -1;
    CSSELDlg dialog(mdb.app, CSSELDlg::kSelect);
    dialog.open();
    EXPECT_EQ(dialog.title(), "Select Stream");
    EXPECT_FALSE(dialog.showsAllButtons());
    EXPECT_EQ(dialog.columns().size(), 3u);
    dialog.accept();
    EXPECT_EQ(mdb.app.currentStreamRow, -1);
    dialog.click(0);
    dialog.click(1);
    EXPECT_TRUE(dialog.enter());
    dialog.accept();
    EXPECT_EQ(mdb.app.currentStreamRow, b);
    EXPECT_EQ(mdb.db().streams.cell(a, S::ssel)->number, 0u);
    EXPECT_EQ(mdb.db().streams.cell(b, S::ssel)->number, 1u);
}

TEST_F(SselFixture, ExecRunsTheDialogAndAppliesOnlyOk)
{
    ui->answerDialog([](DialogModel& model) {
        static_cast<CSSELDlg&>(model).click(1);
        return false;
    });
    mdb.app.currentStreamRow = -1;
    CSSELDlg dialog(mdb.app, CSSELDlg::kSelect);
    EXPECT_FALSE(dialog.exec());
    EXPECT_EQ(mdb.app.currentStreamRow, -1);
    ui->answerDialog([](DialogModel& model) {
        static_cast<CSSELDlg&>(model).click(0);
        return true;
    });
    EXPECT_TRUE(dialog.exec());
    EXPECT_EQ(mdb.app.currentStreamRow, a);
}

} // namespace
