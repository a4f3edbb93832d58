// The Stream page: the list combo and membership, stream deletion and edits, the typical
// orbit, the grouping buttons and the date edits.
#include <gtest/gtest.h>

#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "pages/data_dlg.h"
#include "pages/main_window_logic.h"
#include "pages/page_stream.h"
#include "platform/feedback.h"
#include "platform/scripted_ui.h"
#include "stream_db.h"
#include "streams/stream_grouping.h"
#include "support/test_support.h"
#include "table/links.h"

namespace {

using S = col::Stream;
using O = col::Orbit;

struct PageFixture : ::testing::Test {
    ScopedScriptedUi ui;
    TempDir dir;
    StreamDb mdb;
    int a = -1, b = -1, outside = -1, orbit = -1;
    std::unique_ptr<CPageStream> page;

    void SetUp() override
    {
        mdb.app.startupFolder = dir.str();
        TestStream values{130, 150, 140, 46, 58, 0, 0, 59, 3, 3, 0.2f};
        a = mdb.addStream(StreamDb::kInUse, "VN_A", values);
        b = mdb.addStream(StreamDb::kInUse, "VN_B", values);
        outside = mdb.addStream(StreamDb::kInUse, "VN_X", values, false);
        orbit = mdb.addOrbit(StreamDb::kInUse, {140, 46.5f, 58, 59});
        mdb.app.settings.ps_lid = static_cast<int>(mdb.app.currentLid);
        page = std::make_unique<CPageStream>(mdb.app);
        page->initialise();
    }
    Database& db() { return mdb.db(); }
    unsigned ls(int row) { return db().streams.cell(row, S::LS)->number; }
    int lineOf(int row) { return db().streams.cell(row, S::valid)->integer; }
    int listColumnOf(int tableColumn)
    {
        for (int c = 0; c < page->streamView().listColumnCount(); ++c)
            if (page->streamView().layout().columns[page->streamView().layoutColumnOf(c)].column ==
                tableColumn)
                return c;
        return -1;
    }
    int addOrbitFile(bool loaded)
    {
        const int row = db().orbitFiles.addRow();
        db().orbitFiles.cell(row, col::OrbitFile::use)->number = 1;
        db().orbitFiles.setText(row, col::OrbitFile::fileName, "O_VN_1.csv");
        db().orbitFiles.cell(row, col::OrbitFile::loaded)->number = loaded ? 1 : 0;
        return row;
    }
};

TEST_F(PageFixture, ComboListsTheListsInUseAndMarksTheirStreams)
{
    ASSERT_EQ(page->listItems().size(), 1u);
    EXPECT_EQ(page->listItems()[0].name, "L_VN_test");
    EXPECT_EQ(page->comboSelection(), 0);
    EXPECT_EQ(ls(a) + ls(b) + ls(outside), 2u);
    EXPECT_EQ(page->streamsInList(), 2);
    EXPECT_EQ(page->streamsInUse(), 3);
    EXPECT_EQ(page->streamView().lineCount(), 3);

    // The list's data source goes out of use: no list at all.
    db().dsids.cell(0, col::Dsid::use)->number = 0;
    db().dsids.cell(1, col::Dsid::use)->number = 1;
    db().sources.markInUse();
    page->fillCombo();
    EXPECT_TRUE(page->listItems().empty());
    EXPECT_EQ(mdb.app.currentLid, 0u);
    EXPECT_EQ(ls(a) + ls(b) + ls(outside), 0u);
    EXPECT_EQ(page->streamView().lineCount(), 0);
}

TEST_F(PageFixture, MembershipEditsNeedAList)
{
    CUList& view = page->streamView();
    view.doubleClick(lineOf(outside), listColumnOf(S::LS));
    EXPECT_EQ(ls(outside), 1u);
    EXPECT_TRUE(isLinked({&db().lists, mdb.listRow(), col::List::SLINK},
                         {&db().streams, outside, S::LLINK}));
    EXPECT_TRUE(db().modified);

    mdb.app.currentListRow = -1;
    db().modified = false;
    view.doubleClick(lineOf(a), listColumnOf(S::LS));
    page->notify(CPageStream::kAllOff, S::LS, 0);
    EXPECT_EQ(ui->messages(),
              (std::vector<std::string>{CPageStream::kSelectList, CPageStream::kSelectList}));
    EXPECT_FALSE(db().modified);
    EXPECT_TRUE(
        isLinked({&db().lists, mdb.listRow(), col::List::SLINK}, {&db().streams, a, S::LLINK}));
}

TEST_F(PageFixture, DeletingAStreamClearsBothLinksAndTheTitleCount)
{
    link({&db().streams, a, S::OLINK}, {&db().orbits, orbit, O::SLINK});
    mdb.app.currentStreamRow = a;
    page->streamView().setSelectedLine(lineOf(a));
    ui->answerOk();
    page->menuCommand(CPageStream::MenuCommand::DeleteStream);
    EXPECT_FALSE(db().streams.isLive(a));
    EXPECT_EQ(mdb.app.currentStreamRow, -1);
    EXPECT_TRUE(linksOf(db().orbits, orbit, O::SLINK).empty());
    int listed = 0;
    for ([[maybe_unused]] const LinkNode& node :
         linksOf(db().lists, mdb.listRow(), col::List::SLINK))
        ++listed;
    EXPECT_EQ(listed, 1);
    EXPECT_EQ(COrvanDlg(mdb.app).titleInfo().streamsInUse, 2);
    EXPECT_EQ(page->streamView().lineCount(), 2);

    ui->answerOk();
    page->deleteAll();
    EXPECT_FALSE(db().streams.isLive(b));
    EXPECT_TRUE(db().streams.isLive(outside));
    EXPECT_EQ(COrvanDlg(mdb.app).titleInfo().streamsInUse, 1);
}

TEST_F(PageFixture, EditingAStreamRecomputesItsTypicalOrbitFromThatOrbitsRadiant)
{
    const int typical = mdb.addOrbit(StreamDb::kInUse, {140, 46, 58, 59, 0, 0, 0, 0, 0});
    mdb.setTypical(a, typical);
    CUList& view = page->streamView();
    view.doubleClick(lineOf(a), listColumnOf(S::code));
    view.setEditText("VN_Z");
    view.commitEdit();
    EXPECT_STREQ(db().streams.text(a, S::code), "VN_Z");
    // 59 km/s from (46, 58) near sol 140: a Perseid-like orbit (i about 113, q about 0.95).
    EXPECT_NEAR(db().orbits.cell(typical, O::incl)->real, 113, 2);
    EXPECT_NEAR(db().orbits.cell(typical, O::q)->real, 0.95, 0.03);
    EXPECT_STREQ(db().streams.text(a, S::MDp), "08/13");
}

TEST_F(PageFixture, UpdateTypicalOrbitRefusesAFileThatIsNotLoaded)
{
    page->streamView().setSelectedLine(lineOf(b));
    db().streams.cell(b, S::vg)->real = 0;
    page->menuCommand(CPageStream::MenuCommand::UpdateTypicalOrbit);
    EXPECT_EQ(ui->messages().back(), CPageStream::kNoVelocity);

    db().streams.cell(b, S::vg)->real = 59;
    const int file = addOrbitFile(false);
    const std::uint32_t idNext = db().sources.currentIdNext();
    const int orbits = db().orbits.count();
    ui->answerDialog([](DialogModel&) { return true; });
    page->menuCommand(CPageStream::MenuCommand::UpdateTypicalOrbit);
    EXPECT_EQ(db().sources.currentIdNext(), idNext);
    EXPECT_EQ(db().orbits.count(), orbits);

    db().orbitFiles.cell(file, col::OrbitFile::loaded)->number = 1;
    ui->answerDialog([](DialogModel&) { return true; });
    page->menuCommand(CPageStream::MenuCommand::UpdateTypicalOrbit);
    const int typical = db().streams.cell(b, S::TOIDline)->integer;
    ASSERT_EQ(typical, orbits);
    EXPECT_STREQ(db().orbits.text(typical, O::name), "TO_VN_B");
    EXPECT_EQ(db().orbits.integer(typical, O::OFILE), file);
    EXPECT_EQ(db().orbits.cell(typical, O::sol)->real, 140.0f);
    EXPECT_NEAR(db().orbits.cell(typical, O::incl)->real, 113, 2);
    EXPECT_STREQ(db().orbits.text(typical, O::code), positionCode(140, 46, 58, 59).c_str());
}

TEST_F(PageFixture, GroupingButtonsLinkCountAndWriteTheCountFile)
{
    NoFeedback quiet;
    page->rvgGrouping(quiet);
    EXPECT_EQ(db().streams.cell(a, S::SO)->integer, 1);
    EXPECT_STREQ(db().orbits.text(orbit, O::stream), "VN_A");
    EXPECT_TRUE(db().modified);
    EXPECT_EQ(readFileBytes(dir.file("StramCnt.csv")), "code,count\r\nVN_A,1\r\nVN_B,0\r\n");
    page->eraseGrouping();
    EXPECT_EQ(db().streams.cell(a, S::SO)->integer, 0);
    EXPECT_STREQ(db().orbits.text(orbit, O::stream), "");

    page->streamView().setSelectedLine(lineOf(b));
    page->menuCommand(CPageStream::MenuCommand::RvgSingle);
    EXPECT_EQ(db().streams.cell(b, S::SO)->integer, 1);
    EXPECT_EQ(mdb.app.currentStreamRow, b);
    EXPECT_EQ(db().streams.cell(a, S::ssel)->number, 0u);
}

struct DateEditCase {
    const char* name;
    int dateColumn; // the M/D column double-clicked
    int solColumn;
    const char* title;
};

const DateEditCase kDateEdits[] = {
    {"First", S::MD1, S::sol1, "VN_B SOL1"},
    {"Last", S::MD2, S::sol2, "VN_B SOL"},
    {"Peak", S::MDp, S::solp, "VN_B SOLp"},
};

struct DateEditTest : PageFixture, ::testing::WithParamInterface<DateEditCase> {};

TEST_P(DateEditTest, DoubleClickEditsTheSolInTheDateDialog)
{
    const DateEditCase& c = GetParam();
    const float before = db().streams.cell(b, c.solColumn)->real;
    const int year = mdb.app.settings.dlg_Y;
    ui->answerDialog([&](DialogModel& model) {
        auto& dialog = static_cast<CDataDlg&>(model);
        EXPECT_EQ(dialog.title(), c.title);
        EXPECT_EQ(dialog.field(CDataDlg::Year), year);
        EXPECT_NEAR(dialog.sol(), before, 1e-4);
        dialog.typeSol("360.5");
        EXPECT_EQ(dialog.solStatus(), CDataDlg::kInvalid);
        dialog.typeSol("262");
        return true;
    });
    ui->answerDialog([](DialogModel& model) {
        static_cast<CDataDlg&>(model).typeSol("10");
        return false;
    });
    const int listColumn = listColumnOf(c.dateColumn);
    ASSERT_GE(listColumn, 0);
    page->streamView().doubleClick(lineOf(b), listColumn);
    EXPECT_NEAR(db().streams.cell(b, c.solColumn)->real, 262.0f, 1e-4);
    EXPECT_STREQ(db().streams.text(b, c.dateColumn), "12/14");
    EXPECT_EQ(db().streams.cell(a, c.solColumn)->real, before);
    EXPECT_TRUE(db().modified);

    // Cancel keeps the value.
    page->streamView().doubleClick(lineOf(b), listColumn);
    EXPECT_NEAR(db().streams.cell(b, c.solColumn)->real, 262.0f, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Ends, DateEditTest, testing::ValuesIn(kDateEdits), caseName);

TEST_F(PageFixture, CancelledNewStreamGivesItsIdBack)
{
    const std::uint32_t idNext = db().sources.currentIdNext();
    ui->answerDialog([](DialogModel&) { return false; });
    page->newStream();
    EXPECT_EQ(db().sources.currentIdNext(), idNext);
    EXPECT_EQ(page->streamView().lineCount(), 3);
    EXPECT_FALSE(db().modified);
}

} // namespace

namespace {

TEST_F(PageFixture, ExportWritesTheListsStreamsUnderTheProposedName)
{
    mdb.app.settings.docdir = dir.str();
    ui->answerPath(dir.file("ULE_test.csv"));
    page->exportList();
    ASSERT_EQ(ui->events().size(), 1u);
    EXPECT_EQ(ui->events()[0].text, "ULE_test.csv");
    const std::string text = readFileBytes(dir.file("ULE_test.csv"));
    EXPECT_EQ(text.rfind("_Version,_SID,", 0), 0u);
    EXPECT_NE(text.find("_VN_A,"), std::string::npos);
    EXPECT_NE(text.find("_VN_B,"), std::string::npos);
    EXPECT_EQ(text.find("_VN_X,"), std::string::npos);
}

} // namespace
