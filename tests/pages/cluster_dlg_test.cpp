// The clustering dialog: the run in the tables, the log, the end message, Start and Stop, the
// closing rules, and the worker's updates on the interface thread.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "cluster/worker_channel.h"
#include "cluster_session.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "pages/cluster_command.h"
#include "pages/cluster_dlg.h"
#include "pages/cluster_pages.h"
#include "pages/page_orbit.h"
#include "pages/page_stream.h"
#include "random_catalogue.h"
#include "straightforward_clustering.h"
#include "table/links.h"

namespace {

using S = col::Stream;
using O = col::Orbit;

std::vector<int> linkedRows(const CUTABLE& table, int row, int column)
{
    std::vector<int> rows;
    for (const LinkNode& node : linksOf(table, row, column))
        rows.push_back(node.partnerCell.row);
    return rows;
}

std::vector<int> liveStreamRows(const Database& db)
{
    std::vector<int> rows;
    for (int row = 0; row < db.streams.count(); ++row)
        if (db.streams.isLive(row))
            rows.push_back(row);
    return rows;
}

// Reads every stream and its links, as a map page repainting mid-run would.
int readTablesAsARepaint(const Database& db)
{
    int links = 0;
    for (const int row : liveStreamRows(db))
        links += static_cast<int>(linkedRows(db.streams, row, S::OLINK).size());
    return links;
}

TEST(ClusterDialog, RunMakesTheStraightforwardStreamsInTheTables)
{
    const std::vector<ClusterOrbit> orbits =
        randomCatalogue({.orbits = 400, .nearSolZero = true}, 3);
    ClusterSession session(orbits);
    ClusterPages pages;
    CClusterDlg dialog(session.app(), session.rows(), pages);
    EXPECT_EQ(dialog.conditionText(), "New stream dsid : ABC\nstream list : L_test");
    EXPECT_EQ(dialog.totalText(), "Total orbit count = 400\n");
    EXPECT_TRUE(dialog.startEnabled());
    EXPECT_FALSE(dialog.stopEnabled());
    dialog.runToEnd();

    const std::vector<ClusterStream> expected = straightforwardClustering(orbits, ClusterParams{});
    ASSERT_FALSE(expected.empty());
    const Database& db = session.db();
    const std::vector<int> streamRows = liveStreamRows(db);
    ASSERT_EQ(streamRows.size(), expected.size());
    std::string log;
    for (std::size_t k = 0; k < expected.size(); ++k) {
        SCOPED_TRACE(k);
        const int row = streamRows[k];
        const ClusterOrbit& centre = orbits[static_cast<std::size_t>(expected[k].centre)];
        const std::string code = "AB_" + positionCode(centre.sol, centre.ra, centre.dec, centre.vg);
        EXPECT_EQ(db.streams.cell(row, S::SID)->number, 4100000000u + k);
        EXPECT_STREQ(db.streams.text(row, S::code), code.c_str());
        EXPECT_EQ(db.streams.cell(row, S::TypicalOID)->number,
                  100000000u + static_cast<unsigned>(expected[k].centre));
        EXPECT_EQ(db.streams.cell(row, S::valid)->integer, static_cast<int>(k));
        EXPECT_EQ(db.streams.cell(row, S::SO)->integer,
                  static_cast<int>(expected[k].members.size()));
        EXPECT_EQ(linkedRows(db.streams, row, S::LLINK), std::vector<int>{session.listRow()});
        std::vector<int> memberRows;
        for (const int member : expected[k].members)
            memberRows.push_back(session.rows()[static_cast<std::size_t>(member)]);
        EXPECT_EQ(linkedRows(db.streams, row, S::OLINK), memberRows);
        if (!memberRows.empty()) {
            EXPECT_NE(std::string(db.orbits.text(memberRows.front(), O::stream)).find(code),
                      std::string::npos);
        }
        char line[128];
        std::snprintf(line, sizeof line, "%d %s cnt=%d ra=%.1f dec=%.1f vg=%.1f\n",
                      static_cast<int>(k) + 1, code.c_str(), expected[k].count, centre.ra,
                      centre.dec, centre.vg);
        log += line;
    }
    EXPECT_EQ(dialog.log(), log);
    EXPECT_EQ(db.streams.cell(streamRows.back(), S::ssel)->number, 1u);
    EXPECT_EQ(session.app().currentStreamRow, streamRows.back());
    EXPECT_TRUE(db.modified);
    EXPECT_TRUE(dialog.canClose());
    const std::vector<std::string> messages = session.ui().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind(" Clustering ended new stream = " +
                                    std::to_string(expected.size()) + "\n time=0 days 00:00:0",
                                0),
              0u);
}

TEST(ClusterDialog, StopAtOnceMakesNoStream)
{
    ClusterSession session(randomCatalogue({}, 1));
    ClusterPages pages;
    CClusterDlg dialog(session.app(), session.rows(), pages);
    PumpedChannel channel;
    bool closed = false;
    dialog.closeRequested = [&] { closed = true; };
    dialog.start(channel);
    dialog.stop();
    channel.pumpUntil([&] { return dialog.ended(); });
    dialog.joinWorker();
    EXPECT_TRUE(closed);
    EXPECT_EQ(dialog.newStreams(), 0);
    EXPECT_TRUE(liveStreamRows(session.db()).empty());
    EXPECT_EQ(session.ui().messages(),
              std::vector<std::string>{" Clustering ended new stream = 0\n time=0 days 00:00:00"});
}

// Closing is refused, Start is off and the fields are locked for as long as the worker lives;
// the tables are read between the worker's updates; Stop comes while the neighbours are counted.
TEST(ClusterDialog, StopWhileCountingNeighboursWhileClosingIsRefused)
{
    ClusterSession session(randomCatalogue({.orbits = 30000, .showers = 40}, 5));
    ClusterPages pages;
    CClusterDlg dialog(session.app(), session.rows(), pages);
    int refused = 0;
    dialog.runToEnd([&] {
        if (dialog.ended())
            return;
        refused += !dialog.canClose() && !dialog.startEnabled() && !dialog.fieldsEnabled();
        readTablesAsARepaint(session.db());
        if (!dialog.currentCountText().empty())
            dialog.stop();
    });
    EXPECT_GT(refused, 0);
    EXPECT_EQ(dialog.newStreams(), 0);
    EXPECT_TRUE(dialog.canClose());
}

// A stop asked for while a stream is being made lets that stream complete, then ends the run.
TEST(ClusterDialog, StopDuringAStreamCompletesItFirst)
{
    const std::vector<ClusterOrbit> orbits = randomCatalogue({.orbits = 400}, 2);
    ASSERT_GT(straightforwardClustering(orbits, ClusterParams{}).size(), 1u);
    ClusterSession session(orbits);
    ClusterPages pages;
    CClusterDlg dialog(session.app(), session.rows(), pages);
    dialog.changed = [&] {
        if (dialog.newStreams() == 1 && dialog.stopEnabled())
            dialog.stop();
    };
    dialog.runToEnd([&] { readTablesAsARepaint(session.db()); });
    EXPECT_EQ(dialog.newStreams(), 1);
    const std::vector<int> streams = liveStreamRows(session.db());
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(
        session.db().streams.cell(streams[0], S::SO)->integer,
        static_cast<int>(straightforwardClustering(orbits, ClusterParams{})[0].members.size()));
}

// A stop asked for as the first cycle begins ends it within the cycle: no stream, no link, no
// ID taken.
TEST(ClusterDialog, StopWithinTheFirstCycleMakesNothing)
{
    const std::vector<ClusterOrbit> orbits = randomCatalogue({.orbits = 400}, 2);
    ASSERT_FALSE(straightforwardClustering(orbits, ClusterParams{}).empty());
    ClusterSession session(orbits);
    ClusterPages pages;
    CClusterDlg dialog(session.app(), session.rows(), pages);
    dialog.changed = [&] {
        if (dialog.cycling() && dialog.stopEnabled())
            dialog.stop();
    };
    dialog.runToEnd();
    EXPECT_EQ(dialog.newStreams(), 0);
    EXPECT_TRUE(liveStreamRows(session.db()).empty());
    for (const int row : session.rows())
        EXPECT_TRUE(linkedRows(session.db().orbits, row, O::SLINK).empty());
    EXPECT_EQ(session.db().sources.currentIdNext(), ClusterSession::kStreamDsid * 100000);
}

TEST(ClusterDialog, ParametersAreClampedAtStart)
{
    ClusterSession session(randomCatalogue({.orbits = 50}, 4));
    Settings& s = session.app().settings;
    s.ac_minc = 0;
    s.ac_S = 500;
    s.ac_R = -2;
    s.ac_V = 5000;
    s.ac_D = 12;
    ClusterPages pages;
    CClusterDlg dialog(session.app(), session.rows(), pages);
    dialog.runToEnd();
    EXPECT_EQ(s.ac_minc, 1);
    EXPECT_EQ(s.ac_S, 180.0f);
    EXPECT_EQ(s.ac_R, 0.0f);
    EXPECT_EQ(s.ac_V, 1000);
    EXPECT_EQ(s.ac_D, 10.0f);
    EXPECT_EQ(dialog.fields()[2].text(), "1");
    EXPECT_EQ(dialog.runParams().minCount, 1);
}

TEST(ClusterDialog, NoCandidateEndsAtOnce)
{
    ClusterSession session({});
    ClusterPages pages;
    CClusterDlg dialog(session.app(), {}, pages);
    dialog.runToEnd();
    // The clock counts whole seconds, so an instant run may cross into the next one.
    const std::vector<std::string> endedAtOnce{
        " Clustering ended new stream = 0\n time=0 days 00:00:00"};
    const std::vector<std::string> endedAcrossASecond{
        " Clustering ended new stream = 0\n time=0 days 00:00:01"};
    EXPECT_TRUE(session.ui().messages() == endedAtOnce ||
                session.ui().messages() == endedAcrossASecond)
        << ::testing::PrintToString(session.ui().messages());
    EXPECT_TRUE(session.db().modified);
}

// The last ID of the data source goes to the first stream; the run ends with "ID Limit".
TEST(ClusterDialog, RunEndsWhenTheIdsRunOut)
{
    const std::vector<ClusterOrbit> orbits = randomCatalogue({.orbits = 400}, 2);
    ClusterSession session(orbits, ClusterSession::kStreamDsid * 100000 + 99998);
    ClusterPages pages;
    CClusterDlg dialog(session.app(), session.rows(), pages);
    dialog.runToEnd();
    EXPECT_EQ(dialog.newStreams(), 1);
    const std::vector<std::string> messages = session.ui().messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "ID Limit");
    EXPECT_EQ(std::count(dialog.log().begin(), dialog.log().end(), '\n'), 1);
}

TEST(ClusterDialog, StreamCodesAndEndText)
{
    // Cell indices (10, 3, 12, 20): sol 100, ra 30, dec 30, vg 40.
    const ClusterOrbit centre{105, 35, 30, 40, 0, 0, 0, 0, 0};
    EXPECT_EQ(clusterStreamCode("ABC", centre), "AB_a3ck");
    EXPECT_EQ(clusterStreamCode("A", centre), "A_a3ck");
    const ClusterOrbit corner{5, 5, -90, 80, 0, 0, 0, 0, 0};
    EXPECT_EQ(clusterStreamCode("WK", corner), "WK_00zz");
    EXPECT_EQ(clusteringEndedText(3, 90061),
              " Clustering ended new stream = 3\n time=1 days 01:01:01");
}

// The candidates are the listed orbits (dline 0 or more), in table order.
TEST(ClusterRun, RunsOverTheListedOrbits)
{
    ClusterSession session(randomCatalogue({.orbits = 100}, 6));
    CUTABLE& orbits = session.db().orbits;
    for (const int row : session.rows())
        orbits.setInteger(row, row % 4 == 1 ? -1 : row, col::Orbit::dline);
    const std::vector<int> listed = listedOrbitRows(session.db());
    EXPECT_EQ(listed.size(), 75u);
    EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end()));
    ClusterPages pages;
    int candidates = -1;
    session.ui().answerDialog([&](DialogModel& model) {
        auto& dialog = static_cast<CClusterDlg&>(model);
        candidates = dialog.candidateCount();
        dialog.runToEnd();
        return true;
    });
    runClustering(session.app(), listed, pages);
    EXPECT_EQ(candidates, 75);
    EXPECT_FALSE(session.ui().anyUnexpected());
}

// In the window the Orbit page shows each new stream and its averages become the stream's
// activity window and drift.
TEST(ClusterRun, TheOrbitPageShowsEachStream)
{
    ClusterSession session(randomCatalogue({.orbits = 300}, 8));
    session.app().settings.ps_lid = static_cast<int>(session.app().currentLid);
    CPageStream streamPage(session.app());
    streamPage.initialise();
    CPageOrbit orbitPage(session.app());
    orbitPage.initialise();
    WindowClusterPages pages(session.app(), streamPage, orbitPage);
    CClusterDlg dialog(session.app(), session.rows(), pages);
    dialog.runToEnd();
    const std::vector<int> rows = liveStreamRows(session.db());
    ASSERT_FALSE(rows.empty());
    const CUTABLE& streams = session.db().streams;
    const SelectionAverages& last = session.app().selection.averages;
    EXPECT_EQ(streams.cell(rows.back(), S::sol1)->real, static_cast<float>(last.sol1));
    EXPECT_EQ(streams.cell(rows.back(), S::dra)->real, static_cast<float>(last.driftRa));
    EXPECT_GT(last.averaged, 0);
    EXPECT_EQ(session.app().settings.po_selstream, 1);
}

// The Orbit page shows a stream at most every so often; the streams it skips take their
// activity and drift from their members. Every stream, every orbit's page columns and the
// page's final averages are as when it shows each one.
TEST(ClusterRun, SkippingTheShowOfStreamsChangesNothing)
{
    struct Case {
        const char* name;
        CatalogueShape shape;
        int keptOutEvery; // every n-th candidate kept out of the averages, 0 none
    } cases[] = {{"showers", {.orbits = 400}, 0},
                 {"some kept out of the averages", {.orbits = 400, .duplicateShare = 0.2}, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto run = [&](std::chrono::milliseconds interval) {
            auto session = std::make_unique<ClusterSession>(randomCatalogue(c.shape, 9));
            for (std::size_t k = 0; c.keptOutEvery && k < session->rows().size();
                 k += c.keptOutEvery)
                session->db().orbits.cell(session->rows()[k], O::sel)->number = 2;
            session->app().settings.ps_lid = static_cast<int>(session->app().currentLid);
            CPageStream streamPage(session->app());
            streamPage.initialise();
            CPageOrbit orbitPage(session->app());
            orbitPage.initialise();
            WindowClusterPages pages(session->app(), streamPage, orbitPage);
            CClusterDlg dialog(session->app(), session->rows(), pages);
            dialog.setShowInterval(interval);
            dialog.runToEnd();
            return session;
        };
        const auto every = run(std::chrono::milliseconds(0));
        const auto few = run(std::chrono::hours(1));
        ASSERT_GT(liveStreamRows(every->db()).size(), 2u);
        auto expectSameCells = [](const CUTABLE& a, const CUTABLE& b, std::vector<int> columns) {
            ASSERT_EQ(a.count(), b.count());
            for (int row = 0; row < a.count(); ++row)
                for (const int column : columns)
                    if (a.isLive(row)) {
                        ASSERT_EQ(a.cell(row, column)->number, b.cell(row, column)->number)
                            << "row " << row << " column " << column;
                    }
        };
        expectSameCells(every->db().streams, few->db().streams,
                        {S::SID, S::code, S::sol1, S::sol2, S::solp, S::ra, S::dec, S::dra, S::ddec,
                         S::MD1, S::MD2, S::MDp, S::ssel, S::valid});
        expectSameCells(every->db().orbits, few->db().orbits,
                        {O::sel, O::sR, O::mR, O::DD, O::dline});
        const SelectionAverages& a = every->app().selection.averages;
        const SelectionAverages& b = few->app().selection.averages;
        EXPECT_EQ(a.averaged, b.averaged);
        EXPECT_EQ(a.sol1, b.sol1);
        EXPECT_EQ(a.meanMR, b.meanMR);
        EXPECT_EQ(every->app().settings.po_r1, few->app().settings.po_r1);
    }
}

} // namespace

namespace {

// With the Stream page, each new stream is a line of its list.
TEST(ClusterDialog, StreamsAreAppendedThroughTheStreamPage)
{
    ClusterSession session(randomCatalogue({.orbits = 300}, 8));
    session.app().settings.ps_lid = static_cast<int>(session.app().currentLid);
    CPageStream page(session.app());
    page.initialise();
    StreamPageClusterPages pages(page);
    CClusterDlg dialog(session.app(), session.rows(), pages);
    dialog.runToEnd();
    const std::vector<int> rows = liveStreamRows(session.db());
    ASSERT_FALSE(rows.empty());
    for (const int row : rows)
        EXPECT_EQ(page.streamView().rowOfLine(session.db().streams.cell(row, S::valid)->integer),
                  row);
}

} // namespace
