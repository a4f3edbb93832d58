// The Orbit page and its commands driven through the scripted user interface
// on a database in a temporary folder.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "astro/calendar.h"
#include "mdb/schema.h"
#include "orbits/orbit_exports.h"
#include "pages/data_dlg.h"
#include "pages/dsid_select_dialog.h"
#include "pages/orbit_edits.h"
#include "pages/orbit_files.h"
#include "pages/page_orbit.h"
#include "pages/reference_orbit.h"
#include "pages/ssel_dlg.h"
#include "support/mdb_session.h"
#include "table/links.h"

namespace {

using O = col::Orbit;
using S = col::Stream;

// Work-source IDs (41000 is in use in every session).
constexpr std::uint32_t kFirstOid = 4100000001u;

struct OrbitPage {
    MdbSession session;
    int file = -1;
    std::unique_ptr<CPageOrbit> page;

    // Orbits at these sols (ra 46, dec 58, vg 59, type 1), saved and loaded again.
    explicit OrbitPage(std::vector<float> sols = {140.0f, 141.0f, 300.0f})
    {
        file = session.addOrbitFile("O_test.csv");
        std::uint32_t oid = kFirstOid;
        for (float sol : sols) {
            const int row = session.addOrbit(file, oid++, "orbit", 54324.5f);
            CUTABLE& orbits = session.db().orbits;
            orbits.cell(row, O::sol)->real = sol;
            orbits.cell(row, O::ra)->real = 46.0f;
            orbits.cell(row, O::dec)->real = 58.0f;
            orbits.cell(row, O::vg)->real = 59.0f;
            orbits.cell(row, O::type)->integer = 1;
            orbits.cell(row, O::q)->real = 0.95f;
            orbits.cell(row, O::e)->real = 0.9f;
        }
        session.db().dsids.cell(0, col::Dsid::IDnext)->number = oid;
        session.saveAndReload();
        page = std::make_unique<CPageOrbit>(session.app());
        page->initialise();
    }
    AppContext& app() { return session.app(); }
    Database& db() { return session.db(); }
    Settings& settings() { return session.app().settings; }
    std::uint32_t sel(int row) { return db().orbits.cell(row, O::sel)->number; }
    int dline(int row) { return db().orbits.integer(row, O::dline); }
    std::uint32_t idNext() { return db().dsids.cell(0, col::Dsid::IDnext)->number; }
    // Only orbits within a day of the sol of the page date.
    void selectByDate(float sol)
    {
        settings().po_daysC = 1;
        app().selection.currentSol = sol;
        page->conditionChanged();
    }
    void answerDsidDialog() { session.ui().answerOk(); }
};

TEST(CPageOrbit, SelFilterHidesUnselectedAndWideningBringsThemBack)
{
    OrbitPage p;
    EXPECT_EQ(p.page->listedCount(), 3);
    p.selectByDate(140.0f);
    EXPECT_EQ(p.sel(2), 0u);
    EXPECT_EQ(p.dline(2), -1);
    EXPECT_EQ(p.page->listedCount(), 2);
    EXPECT_EQ(p.page->selectedCount(), 2);
    // Every listed line points at a live row that passes the filter.
    for (int line = 0; line < p.page->listedCount(); ++line)
        EXPECT_NE(p.sel(p.page->orbitView().rowOfLine(line)), 0u);
    p.settings().po_daysC = 0;
    p.page->conditionChanged();
    EXPECT_EQ(p.sel(2), 1u);
    EXPECT_EQ(p.page->listedCount(), 3);
}

TEST(CPageOrbit, UseFilterAndSelOff)
{
    OrbitPage p;
    p.db().orbits.cell(1, O::use)->number = 0;
    p.page->setSelOnly(false);
    EXPECT_EQ(p.page->listedCount(), 2);
    EXPECT_EQ(p.dline(1), -1);
    EXPECT_EQ(p.sel(1), 0u); // hidden: never selected
    p.page->setUseOnly(false);
    EXPECT_EQ(p.page->listedCount(), 3);
}

TEST(CPageOrbit, CellCodeField)
{
    const struct {
        const char* typed;
        double sc;
        float ra, dec, vg;
    } cases[] = {
        {"0000", 0, 0, 90, 0},
        {"z9z9", 350, 90, -85, 18},
        {"1a2b and more", 10, 100, 80, 22},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        OrbitPage p;
        p.page->typeCellCode(c.typed);
        EXPECT_EQ(p.app().selection.currentSol, c.sc);
        EXPECT_EQ(p.settings().po_r1, c.ra);
        EXPECT_EQ(p.settings().po_d1, c.dec);
        EXPECT_EQ(p.settings().po_v1, c.vg);
    }
    OrbitPage p;
    p.page->typeCellCode("z9z");
    EXPECT_EQ(p.settings().po_v1, 20.0f) << "fewer than four characters are ignored";
}

TEST(CPageOrbit, AveragesToReferenceAndTheCellCodeOfTheNewReference)
{
    OrbitPage p({140.0f, 140.2f});
    p.page->averagesToReference();
    EXPECT_FLOAT_EQ(p.settings().po_r1, 46.0f);
    EXPECT_FLOAT_EQ(p.settings().po_d1, 58.0f);
    EXPECT_NEAR(p.app().selection.currentSol, 140.1, 1e-4);
    EXPECT_GT(p.settings().po_q1, 0.0f); // the average orbit
    const std::string code = p.page->cellCode();
    EXPECT_EQ(code, "e46t");
    // The page date follows the mean sol: mid August.
    EXPECT_EQ(p.settings().dlg_M, 8);
    p.page->typeCellCode(code);
    EXPECT_EQ(p.app().selection.currentSol, 140.0);
    EXPECT_EQ(p.settings().po_r1, 40.0f);
    EXPECT_EQ(p.settings().po_d1, 60.0f);
    EXPECT_EQ(p.settings().po_v1, 58.0f);
}

TEST(CPageOrbit, AveragesToReferenceWithNothingSelectedChangesNothing)
{
    OrbitPage p;
    p.selectByDate(200.0f);
    ASSERT_EQ(p.page->selectedCount(), 0);
    const Settings before = p.settings();
    p.page->averagesToReference();
    EXPECT_EQ(p.settings().po_r1, before.po_r1);
    EXPECT_EQ(p.settings().po_q1, before.po_q1);
    EXPECT_EQ(p.app().selection.currentSol, 200.0);
}

TEST(CPageOrbit, DateFields)
{
    const struct {
        const char* name;
        CPageOrbit::DateField field;
        const char* typed;
        int year, month, day;
    } cases[] = {
        {"a new month", CPageOrbit::Month, "8", 2007, 8, 1},
        {"year after the calendar refused", CPageOrbit::Year, "2150", 2007, 1, 1},
        {"year before the calendar refused", CPageOrbit::Year, "1850", 2007, 1, 1},
        {"day beyond February limited", CPageOrbit::Day, "31", 2007, 1, 31},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OrbitPage p;
        p.page->dateEdited(c.field, c.typed);
        EXPECT_EQ(p.settings().dlg_Y, c.year);
        EXPECT_EQ(p.settings().dlg_M, c.month);
        EXPECT_EQ(p.settings().dlg_D, c.day);
        EXPECT_NEAR(p.app().selection.currentSol,
                    SolarLongitude(DateToJD(c.year, c.month, c.day, 12, 0, 0)), 1e-9);
    }
    OrbitPage p;
    p.page->dateEdited(CPageOrbit::Day, "30");
    p.page->dateEdited(CPageOrbit::Month, "2");
    EXPECT_EQ(p.settings().dlg_D, 28);
}

TEST(CPageOrbit, DeleteOrbitRebuildsTheListAndDropsTypicalMarks)
{
    OrbitPage p;
    const int stream = p.session.addStream(4100000100u, "WK_TST", kFirstOid + 1);
    p.db().streams.cell(stream, S::TOIDline)->integer = 1;
    link({&p.db().streams, stream, S::OLINK}, {&p.db().orbits, 1, O::SLINK});
    const int countBefore = p.db().orbitCount;
    p.session.ui().answerOk();
    p.page->menuCommand(CPageOrbit::MenuItem::DeleteOrbit, p.dline(1));
    EXPECT_FALSE(p.db().orbits.isLive(1));
    EXPECT_EQ(p.db().orbitCount, countBefore - 1);
    EXPECT_EQ(p.db().streams.cell(stream, S::TypicalOID)->number, 0u);
    EXPECT_EQ(p.db().streams.integer(stream, S::TOIDline), -1);
    EXPECT_TRUE(linksOf(p.db().streams, stream, S::OLINK).empty());
    ASSERT_EQ(p.page->listedCount(), 2);
    for (int line = 0; line < 2; ++line)
        EXPECT_TRUE(p.db().orbits.isLive(p.page->orbitView().rowOfLine(line)));
    EXPECT_TRUE(p.db().modified);
    // Cancel keeps the orbit.
    p.session.ui().answerCancel();
    p.page->menuCommand(CPageOrbit::MenuItem::DeleteOrbit, 0);
    EXPECT_EQ(p.page->listedCount(), 2);
}

TEST(ReferenceCommands, NewStreamFromTheReference)
{
    const struct {
        const char* name;
        float sc; // only orbits within a day of this sol are selected
        float sol1, sol2;
    } cases[] = {
        {"one orbit: its sol -3 and +3", 300.0f, 297.0f, 303.0f},
        {"two orbits: their spread widened by 3", 140.5f, 137.0f, 144.0f},
        {"nothing selected: SC -3 and +3", 200.0f, 197.0f, 203.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OrbitPage p;
        p.selectByDate(c.sc);
        const std::uint32_t idNext = p.idNext();
        p.answerDsidDialog();
        p.page->referenceToNewStream();
        ASSERT_EQ(p.db().streams.count(), 1);
        const CUTABLE& streams = p.db().streams;
        EXPECT_NEAR(streams.cell(0, S::sol1)->real, c.sol1, 1e-3);
        EXPECT_NEAR(streams.cell(0, S::sol2)->real, c.sol2, 1e-3);
        EXPECT_STREQ(streams.text(0, S::name), "WK_xxx");
        EXPECT_EQ(streams.cell(0, S::SID)->number, idNext);
        const int typical = streams.integer(0, S::TOIDline);
        ASSERT_GE(typical, 0);
        EXPECT_STREQ(p.db().orbits.text(typical, O::name), "TO_WK_xxx");
        EXPECT_EQ(streams.cell(0, S::TypicalOID)->number, idNext + 1);
        EXPECT_EQ(p.db().orbits.integer(typical, O::OFILE), p.file);
        // The typical orbit is written with the next save.
        p.session.saveAndReload();
        EXPECT_GE(p.session.orbitRow("TO_WK_xxx"), 0);
    }
}

TEST(ReferenceCommands, NewOrbitsGoOnlyIntoLoadedFilesAndGiveTheirIdsBack)
{
    OrbitPage p;
    p.db().orbitFiles.cell(p.file, col::OrbitFile::loaded)->number = 0;
    const std::uint32_t idNext = p.idNext();
    const int rows = p.db().orbits.count();
    p.answerDsidDialog();
    p.page->averagesToOrbit();
    p.answerDsidDialog();
    p.page->referenceToNewStream();
    EXPECT_EQ(p.idNext(), idNext);
    EXPECT_EQ(p.db().orbits.count(), rows);
    EXPECT_EQ(p.db().streams.count(), 0);
    const std::vector<std::string> messages = p.session.ui().messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], kFileNotLoaded);
}

TEST(ReferenceCommands, AverageToOrbitNamesAndFillsTheNewOrbit)
{
    OrbitPage p({140.0f, 140.2f});
    p.answerDsidDialog();
    p.page->averagesToOrbit();
    const int row = p.session.orbitRow("A046+58");
    ASSERT_GE(row, 0);
    EXPECT_EQ(p.db().orbits.cell(row, O::type)->integer, 2);
    EXPECT_NEAR(p.db().orbits.cell(row, O::sol)->real, 140.1f, 1e-3);
    EXPECT_STREQ(p.db().orbits.text(row, O::MD), "08/13");
    EXPECT_GT(p.db().orbits.cell(row, O::q)->real, 0.0f);
    EXPECT_TRUE(p.db().modified);
}

TEST(ReferenceCommands, Names)
{
    EXPECT_EQ(averageOrbitName(46.2, 0.0), "A046-00");
    EXPECT_EQ(averageOrbitName(46.2, -0.0), "A046-00");
    EXPECT_EQ(averageOrbitName(350.6, 12.6), "A351+13");
    EXPECT_EQ(averageOrbitName(5, -33.4), "A005-33");
    const std::string longName(255, 'x');
    EXPECT_EQ(typicalOrbitName(longName.c_str()).size(), 255u);
    EXPECT_EQ(typicalOrbitName("GEM"), "TO_GEM");
}

TEST(OrbitExports, SelectedOrbitsOnlyAndNeverIntoTheOrbitsFolder)
{
    OrbitPage p;
    p.selectByDate(140.0f);
    p.db().orbits.cell(0, O::dline)->integer = -1; // hidden after the run: not exported
    const std::string inOrbits = p.session.orbitPath("O_select.csv");
    const std::string outside = p.session.mdb() + "/../O_select.csv";
    p.session.ui().answerPath(inOrbits);
    p.session.ui().answerPath(outside);
    p.page->exportSelection();
    EXPECT_FALSE(std::filesystem::exists(inOrbits));
    const std::string written = readFileBytes(outside);
    EXPECT_EQ(written.find("_memo\r\n501,4100000002,"), written.find("\r\n501,") - 5);
    EXPECT_EQ(written.find("4100000001"), std::string::npos);
    EXPECT_EQ(written.find("4100000003"), std::string::npos);
    ASSERT_EQ(p.session.ui().messages().size(), 1u);
}

TEST(OrbitExports, StreamCount)
{
    OrbitPage p({0.5f, 359.9f, 140.0f});
    p.db().orbits.cell(2, O::sol)->real = std::nanf("");
    p.page->conditionChanged();
    const std::string path = p.session.mdb() + "/../count.csv";
    ASSERT_TRUE(writeStreamCount(p.db(), path));
    const std::string text = readFileBytes(path);
    EXPECT_EQ(text.substr(0, 18), "sol(deg),spo\r\n0,2\r");
    EXPECT_NE(text.find("\r\n359,1\r\n"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 361);
    // A linked stream in use gets its own column.
    const int stream = p.session.addStream(4100000100u, "WK_TST", 0);
    link({&p.db().streams, stream, S::OLINK}, {&p.db().orbits, 0, O::SLINK});
    ASSERT_TRUE(writeStreamCount(p.db(), path));
    const std::string expected = "sol(deg),spo,WK_TST\r\n0,1,1\r\n1,0,0\r\n";
    EXPECT_EQ(readFileBytes(path).substr(0, expected.size()), expected);
}

TEST(CPageOrbit, ClusteringEntryChecks)
{
    OrbitPage p;
    int runs = 0;
    p.page->runClusteringDialog = [&runs] { ++runs; };
    p.page->clustering();
    EXPECT_EQ(runs, 0);
    ASSERT_EQ(p.session.ui().messages().size(), 1u);
    EXPECT_EQ(p.session.ui().messages()[0], CPageOrbit::kNoStreamList);
    const int list = p.db().lists.addRow();
    p.db().lists.cell(list, col::List::LID)->number = 4100000200u;
    p.app().currentListRow = list;
    p.session.ui().answerCancel();
    p.page->clustering();
    EXPECT_EQ(runs, 0);
    p.session.ui().answerOk();
    p.page->clustering();
    EXPECT_EQ(runs, 1);
}

TEST(CPageOrbit, TitleCountsAndCentreOfTheStarMap)
{
    OrbitPage p;
    p.selectByDate(140.0f);
    EXPECT_EQ(p.app().selection.selected, 2);
    EXPECT_EQ(p.app().selection.listed, 2);
    p.db().orbits.cell(0, O::ra)->real = 12.5f;
    p.page->menuCommand(CPageOrbit::MenuItem::CenterStarMap, p.dline(0));
    EXPECT_EQ(p.settings().sm_ra, 12.5f);
    EXPECT_EQ(p.settings().sm_dec, 58.0f);
}

TEST(CDataDlg, ThreeWaysIn)
{
    // From the MJD: 2007-08-13 12:00 (with the 64.184 s clock offset).
    const double noon = DateToMJD(2007, 8, 13, 12, 0, 0);
    CDataDlg fromMjd("t", noon, 0, false, 2000);
    EXPECT_EQ(fromMjd.field(CDataDlg::Year), 2007);
    EXPECT_EQ(fromMjd.field(CDataDlg::Day), 13);
    EXPECT_EQ(fromMjd.field(CDataDlg::Hour), 12);
    EXPECT_EQ(fromMjd.field(CDataDlg::Minute), 0);
    EXPECT_EQ(fromMjd.field(CDataDlg::Second), 0);
    EXPECT_NEAR(fromMjd.sol(), SolarLongitude(noon + kMjdToJd), 1e-12);
    // From the sol in the page year; the time is a linear step from midnight.
    CDataDlg fromSol("t", 0, 140.0, true, 2007);
    EXPECT_EQ(fromSol.field(CDataDlg::Month), 8);
    EXPECT_NEAR(fromSol.sol(), 140.0, 1e-9);
    EXPECT_NEAR(SolarLongitude(fromSol.mjd() + kMjdToJd), 140.0, 0.01);
    // From the fields.
    fromSol.setField(CDataDlg::Hour, 0);
    fromSol.setField(CDataDlg::Minute, 0);
    fromSol.setField(CDataDlg::Second, 0);
    EXPECT_EQ(fromSol.mjd(), DateToMJD(2007, 8, fromSol.field(CDataDlg::Day), 0, 0, 0));
    fromSol.setField(CDataDlg::Month, 2);
    fromSol.setField(CDataDlg::Day, 31);
    EXPECT_EQ(fromSol.field(CDataDlg::Day), 28);
    EXPECT_EQ(fromSol.mjdText(), "54159.00074");
}

TEST(CDataDlg, InvalidEntriesAndTimesWithinTheDay)
{
    CDataDlg dialog("t", 54324.5, 140.0, false, 2007);
    const double mjd = dialog.mjd();
    const struct {
        const char* name;
        bool solField;
        const char* typed;
        bool valid;
    } cases[] = {
        {"sol 360.5", true, "360.5", false},       {"sol -1", true, "-1", false},
        {"sol text", true, "abc", false},          {"mjd before 1900", false, "10000", false},
        {"mjd after 2099", false, "90000", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.solField ? dialog.typeSol(c.typed) : dialog.typeMjd(c.typed);
        EXPECT_EQ(c.solField ? dialog.solStatus() : dialog.mjdStatus(), "invalid");
        EXPECT_EQ(dialog.mjd(), mjd);
    }
    dialog.typeSol("0");
    EXPECT_EQ(dialog.solStatus(), "");
    EXPECT_EQ(dialog.field(CDataDlg::Month), 3);
    // Every sol of a year gives a time within its day.
    for (double sol = 0.0; sol <= 360.0; sol += 0.37) {
        dialog.typeSol(std::to_string(sol));
        ASSERT_GE(dialog.field(CDataDlg::Minute), 0) << sol;
        ASSERT_LT(dialog.field(CDataDlg::Hour), 24) << sol;
        ASSERT_GE(dialog.field(CDataDlg::Hour), 0) << sol;
    }
    // So does every MJD, around midnight too.
    for (double mjd = 54323.99; mjd < 54324.01; mjd += 0.00003) {
        dialog.typeMjd(std::to_string(mjd));
        ASSERT_GE(dialog.field(CDataDlg::Minute), 0) << mjd;
        ASSERT_LT(dialog.field(CDataDlg::Hour), 24) << mjd;
        ASSERT_GE(dialog.field(CDataDlg::Hour), 0) << mjd;
    }
}

TEST(OrbitEdits, ChangeSolMjdThroughTheDialog)
{
    OrbitPage p;
    p.session.ui().answerDialog([](DialogModel& model) {
        auto& dialog = static_cast<CDataDlg&>(model);
        EXPECT_EQ(dialog.title(), "orbit MJD/SOL");
        dialog.typeSol("150");
        return true;
    });
    ASSERT_TRUE(changeSolMjd(p.app(), 0));
    EXPECT_NEAR(p.db().orbits.cell(0, O::sol)->real, 150.0f, 1e-4);
    EXPECT_STREQ(p.db().orbits.text(0, O::MD), "08/23");
}

TEST(OrbitEdits, TypedMjdSurvivesEverySave)
{
    OrbitPage p;
    p.session.ui().answerDialog([](DialogModel& model) {
        static_cast<CDataDlg&>(model).typeMjd("59642.922756");
        return true;
    });
    ASSERT_TRUE(changeSolMjd(p.app(), 0));
    for (int save = 0; save < 2; ++save) {
        p.session.saveAndReload();
        EXPECT_EQ(p.db().orbits.cell(0, O::mjd)->real64, 59642.922756) << save;
        EXPECT_NE(readFileBytes(p.session.orbitPath("O_test.csv")).find(",59642.922756,"),
                  std::string::npos);
    }
}

} // namespace

namespace {

// A stream of the current list at the Perseid radiant, its typical orbit an orbit of the page.
struct StreamOnPage : OrbitPage {
    int stream = -1;
    StreamOnPage()
    {
        stream = session.addStream(4100000100u, "WK_PER", 0);
        CUTABLE& streams = db().streams;
        streams.cell(stream, S::LS)->number = 1;
        streams.cell(stream, S::ra)->real = 48.0f;
        streams.cell(stream, S::dec)->real = 57.0f;
        streams.cell(stream, S::vg)->real = 59.5f;
        streams.cell(stream, S::solp)->real = 139.8f;
        streams.setText(stream, S::name, "Perseids");
        streams.cell(stream, S::TOIDline)->integer = -1;
        db().dsids.cell(0, col::Dsid::IDnext)->number = 4100000200u;
    }
    // The stream selection dialog answered with a click on the stream's line.
    void pickTheStream()
    {
        session.ui().answerDialog([](DialogModel& model) {
            auto& dialog = static_cast<CSSELDlg&>(model);
            EXPECT_EQ(dialog.title(), CSSELDlg::kSelectTitle);
            dialog.click(0);
            return true;
        });
    }
};

TEST(StreamCommands, StreamToReferenceWithAndWithoutTypicalOrbit)
{
    {
        SCOPED_TRACE("no typical orbit: elements zero, SC the peak");
        StreamOnPage p;
        p.pickTheStream();
        p.page->streamToReference();
        EXPECT_EQ(p.settings().po_r1, 48.0f);
        EXPECT_EQ(p.settings().po_q1, 0.0f);
        EXPECT_FLOAT_EQ(static_cast<float>(p.app().selection.currentSol), 139.8f);
        EXPECT_EQ(p.settings().dlg_M, 8);
    }
    {
        SCOPED_TRACE("typical orbit: its elements, date and sol");
        StreamOnPage p;
        p.db().streams.cell(p.stream, S::TypicalOID)->number = kFirstOid;
        p.db().streams.cell(p.stream, S::TOIDline)->integer = 0;
        p.pickTheStream();
        p.page->streamToReference();
        EXPECT_EQ(p.settings().po_q1, 0.95f);
        EXPECT_EQ(p.app().selection.currentSol, 140.0);
        EXPECT_EQ(p.settings().dlg_Y, 2007);
        EXPECT_EQ(p.settings().dlg_D, 12); // MJD 54324.5
    }
    {
        SCOPED_TRACE("cancelled: only the selection again");
        StreamOnPage p;
        p.session.ui().answerCancel();
        p.page->streamToReference();
        EXPECT_EQ(p.settings().po_r1, 0.0f);
    }
}

TEST(StreamCommands, ReferenceToStreamMakesItsTypicalOrbitAfterTheQuestion)
{
    StreamOnPage p;
    p.selectByDate(140.5f);
    p.pickTheStream();
    p.session.ui().answerOk(); // "Create new typical orbit"
    p.page->referenceToStream();
    const CUTABLE& streams = p.db().streams;
    const int typical = streams.integer(p.stream, S::TOIDline);
    ASSERT_GE(typical, 0);
    EXPECT_STREQ(p.db().orbits.text(typical, O::name), "TO_Perseids");
    EXPECT_NEAR(streams.cell(p.stream, S::sol1)->real, 137.0f, 1e-3);
    EXPECT_NEAR(streams.cell(p.stream, S::sol2)->real, 144.0f, 1e-3);
    // Twice the mean D' of the selection, which is small here.
    EXPECT_NEAR(streams.cell(p.stream, S::Dp)->real, 2 * p.app().selection.averages.dPrime, 1e-6);
    EXPECT_NEAR(p.db().orbits.cell(typical, O::sol)->real, 140.5f, 1e-3);
    EXPECT_GT(p.db().orbits.cell(typical, O::q)->real, 0.0f);
}

TEST(StreamCommands, ChangeStreamForAllMovesTheSelectedListedOrbits)
{
    StreamOnPage p;
    p.selectByDate(140.0f);
    p.page->setSelOnly(false);
    p.pickTheStream();
    p.page->notify(CPageOrbit::kStreamForAll, O::stream, 0);
    const auto linked = [&](int row) { return !linksOf(p.db().orbits, row, O::SLINK).empty(); };
    EXPECT_TRUE(linked(0));
    EXPECT_TRUE(linked(1));
    EXPECT_FALSE(linked(2)) << "listed but not selected";
    EXPECT_STREQ(p.db().orbits.text(0, O::stream), "WK_PER");
    EXPECT_TRUE(p.db().modified);
}

// Two streams of the current list, orbit 0 linked to the first, orbit 1 to the second, orbit 2
// to none; only the stream condition is on once the dialog said OK.
TEST(StreamCommands, StreamConditionTakesTheStreamsAndSporadicMarkedInTheListUpDialog)
{
    struct Case {
        const char* name;
        std::vector<int> clickedLines; // 0 "Spo", 1 and 2 the streams
        bool ok;
        std::vector<std::uint32_t> selectedBit; // of orbits 0, 1, 2
        int currentStream;                      // -2 several
        const char* status;
    };
    const Case cases[] = {
        {"one stream", {1}, true, {1, 0, 0}, 0, "stream condition: 1 stream"},
        {"two streams", {1, 2}, true, {1, 1, 0}, -2, "stream condition: 2 streams"},
        {"sporadic only",
         {0},
         true,
         {0, 0, 1},
         -1,
         "stream condition: 0 streams and sporadic orbits"},
        {"all On and Spo",
         {-1, 0},
         true,
         {1, 1, 1},
         -2,
         "stream condition: 2 streams and sporadic orbits"},
        {"cancelled: the condition stays off", {1}, false, {1, 1, 1}, -1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StreamOnPage p;
        const int second = p.session.addStream(4100000101u, "WK_SEC", 0);
        p.db().streams.cell(second, S::LS)->number = 1;
        for (int stream : {p.stream, second})
            link({&p.db().streams, stream, S::OLINK}, {&p.db().orbits, stream, O::SLINK});
        p.session.ui().answerDialog([&c](DialogModel& model) {
            auto& dialog = static_cast<CSSELDlg&>(model);
            EXPECT_EQ(dialog.title(), CSSELDlg::kListUpTitle);
            EXPECT_TRUE(dialog.showsAllButtons());
            for (int line : c.clickedLines)
                line < 0 ? dialog.allOn() : dialog.click(line);
            return c.ok;
        });
        p.page->chooseConditionStreams();
        EXPECT_EQ(p.settings().po_selstream, c.ok ? 1 : 0);
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(p.sel(row) & 1u, c.selectedBit[static_cast<std::size_t>(row)]) << row;
        EXPECT_EQ(p.app().currentStreamRow, c.currentStream);
        const std::vector<std::string> statuses = p.session.ui().statuses();
        if (c.status)
            EXPECT_EQ(statuses, std::vector<std::string>{c.status});
        else
            EXPECT_TRUE(statuses.empty());
    }
}

TEST(StreamCommands, StreamChosenOnTheStreamPage)
{
    StreamOnPage p;
    p.settings().po_vC = 1;
    p.page->showStream(p.stream, false);
    EXPECT_EQ(p.settings().po_vC, 0);
    EXPECT_EQ(p.settings().po_daysC, 1);
    EXPECT_EQ(p.settings().po_selstream, 0);
    EXPECT_EQ(p.settings().po_r1, 48.0f);
    p.page->showStream(p.stream, true);
    EXPECT_EQ(p.settings().po_daysC, 0);
    EXPECT_EQ(p.settings().po_selstream, 1);
}

} // namespace
