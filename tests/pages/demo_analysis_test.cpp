// The demo run against the same figures computed straight from the tables of a fresh load.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <map>
#include <sstream>

#include "app/engine_params.h"
#include "app/settings.h"
#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "pages/demo_analysis.h"
#include "platform/feedback.h"
#include "platform/scripted_ui.h"
#include "streams/stream_grouping.h"
#include "streams/stream_membership.h"
#include "support/png_decode.h"
#include "support/test_support.h"
#include "table/links.h"

namespace fs = std::filesystem;

namespace {

using S = col::Stream;
using O = col::Orbit;

// What the demo reports, counted from the streams' side of the links after a plain R-vg run.
struct Oracle {
    std::map<std::string, ShowerCount> showers;
    int orbits = 0;
    int agreeing = 0;
    double geminidVg = 0.0, geminidDec = 0.0;
};

Oracle groupDirectly(const std::string& mdb)
{
    ScopedScriptedUi quiet;
    Database db;
    loadAll(db, mdb, Settings{}.dlg_Y);
    markValidStreams(db);
    int list = 0;
    while (db.lists.text(list, col::List::name) != std::string(kDemoGroupedList))
        ++list;
    markListMembers(db, list);
    NoFeedback none;
    EXPECT_EQ(groupRvgAll(db, groupingOptions(Settings{}), none), GroupingOutcome::Done);
    std::map<int, std::string> showerOfOrbit;
    for (int row = 0; row < db.streams.count(); ++row)
        if (db.streams.isLive(row) && db.streams.cell(row, S::LS)->number)
            for (const LinkNode& node : linksOf(db.streams, row, S::OLINK))
                showerOfOrbit[node.partnerCell.row] = showerCodeOf(db.streams.text(row, S::code));
    Oracle o;
    int geminids = 0;
    for (int row = 0; row < db.orbits.count(); ++row) {
        const std::string label = db.orbits.text(row, O::memo);
        const std::string grouped = showerOfOrbit[row];
        ++o.orbits;
        o.agreeing += label == grouped;
        ++o.showers[label].labelled;
        ++o.showers[grouped].grouped;
        if (grouped == kDemoShower) {
            ++geminids;
            o.geminidVg += db.orbits.cell(row, O::vg)->real;
            o.geminidDec += db.orbits.cell(row, O::dec)->real;
        }
    }
    o.geminidVg /= geminids;
    o.geminidDec /= geminids;
    return o;
}

// "N CODE cnt=K ..." lines of the clustering log: K orbits per code.
std::map<std::string, int> loggedClusters(const std::string& log)
{
    std::map<std::string, int> clusters;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        char code[16];
        int number = 0, count = 0;
        if (std::sscanf(line.c_str(), "%d %15s cnt=%d", &number, code, &count) == 3)
            clusters[code] = count;
    }
    return clusters;
}

// The streams of the cluster list in the saved tables, with their linked orbits.
std::map<std::string, int> savedClusters(const std::string& mdb)
{
    ScopedScriptedUi quiet;
    Database db;
    loadAll(db, mdb, Settings{}.dlg_Y);
    std::map<std::string, int> clusters;
    for (int list = 0; list < db.lists.count(); ++list)
        if (db.lists.text(list, col::List::name) == std::string(kDemoClusterList))
            for (const LinkNode& stream : linksOf(db.lists, list, col::List::SLINK)) {
                const int row = stream.partnerCell.row;
                const LinkList orbits = linksOf(db.streams, row, S::OLINK);
                clusters[db.streams.text(row, S::code)] =
                    static_cast<int>(std::distance(orbits.begin(), orbits.end()));
            }
    return clusters;
}

TEST(Demo, ReportsTheFiguresOfTheCommandsRunDirectly)
{
    TempDir dir;
    const std::string data = (fs::path(ORVANTELLA_SOURCE_DIR) / "data").string();
    const std::string out = dir.file("report");
    const std::optional<std::string> mdb = findDemoMdb(dir.str(), data);
    ASSERT_TRUE(mdb);
    NoFeedback none;
    const std::optional<DemoResult> result = runDemo(*mdb, out, data, none);
    ASSERT_TRUE(result);
    ASSERT_TRUE(writeDemoReport(*result, out));

    const Oracle o = groupDirectly(*mdb);
    EXPECT_EQ(result->orbits, o.orbits);
    EXPECT_EQ(result->agreeing, o.agreeing);
    std::size_t nonEmpty = 0;
    for (const auto& [code, count] : o.showers)
        nonEmpty += count.grouped + count.labelled > 0;
    EXPECT_EQ(result->showers.size(), nonEmpty);
    for (const ShowerCount& s : result->showers) {
        SCOPED_TRACE(s.code);
        EXPECT_EQ(s.grouped, o.showers.at(s.code).grouped);
        EXPECT_EQ(s.labelled, o.showers.at(s.code).labelled);
    }
    // The Geminids selected by their stream are the orbits grouped into it; all weigh 1.
    EXPECT_EQ(result->geminids, o.showers.at(kDemoShower).grouped);
    EXPECT_NEAR(result->geminidAverages.vg, o.geminidVg, 1e-4);
    EXPECT_NEAR(result->geminidAverages.dec, o.geminidDec, 1e-4);

    const std::string report = readFileBytes((fs::path(out) / kDemoReportName).string());
    char agreement[80];
    std::snprintf(agreement, sizeof agreement, "Agreement: %.1f %% of %d orbits",
                  100.0 * o.agreeing / o.orbits, o.orbits);
    EXPECT_NE(report.find(agreement), std::string::npos) << report;
    EXPECT_NE(report.find("| GEM | " + std::to_string(o.showers.at("GEM").grouped) + " | 200 |"),
              std::string::npos);
    ASSERT_EQ(result->mapFiles.size(), 3u);
    for (const std::string& file : result->mapFiles) {
        SCOPED_TRACE(file);
        const std::optional<DecodedPng> map = decodePng(readFileBytes(dir.file("report/" + file)));
        ASSERT_TRUE(map);
        EXPECT_EQ(map->width, kDemoMapWidth);
        EXPECT_EQ(map->height, kDemoMapHeight);
        EXPECT_NE(report.find("](" + file + ")"), std::string::npos);
    }
    // Each stream of the clustering log is saved in the new list, linked to its densest orbit
    // and to the neighbours the log counts.
    EXPECT_TRUE(result->clustered);
    EXPECT_GT(result->newStreams, 0);
    std::map<std::string, int> logged = loggedClusters(result->clusterLog);
    EXPECT_EQ(logged.size(), std::size_t(result->newStreams));
    for (auto& [code, count] : logged)
        ++count;
    EXPECT_EQ(savedClusters(dir.file("report/MDB")), logged);
    // A second run replaces the first one's database; a folder with another MDB is left alone.
    EXPECT_TRUE(runDemo(*mdb, out, data, none));
    fs::create_directories(dir.path() / "other/MDB");
    EXPECT_FALSE(runDemo(*mdb, dir.file("other"), data, none));
    EXPECT_TRUE(fs::is_empty(dir.path() / "other/MDB"));
}

} // namespace
