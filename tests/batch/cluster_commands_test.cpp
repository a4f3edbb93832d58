// The batch "cluster" on a copy of the demo database: the Geminids of December 2018 come out as
// the first stream, the tables are saved, and the arguments are checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "batch/batch_command.h"
#include "batch_test_support.h"
#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "pages/cluster_command.h"
#include "pages/cluster_dlg.h"
#include "pages/dsid_select_dialog.h"
#include "pages/page_orbit.h"
#include "pages/page_setup.h"
#include "pages/page_stream.h"
#include "support/test_support.h"
#include "table/links.h"

namespace {

namespace fs = std::filesystem;

struct DemoCopy {
    TempDir dir;
    std::string mdb = dir.file("MDB");
    DemoCopy()
    {
        fs::copy(fs::path(ORVANTELLA_SOURCE_DIR) / "data/demo/MDB", mdb,
                 fs::copy_options::recursive);
    }
};

constexpr const char* kList = "L_IAU_IAU_established";

// The user of the window: start-up's settings from the folder's settings file, the pages
// opened, the list chosen on the Stream page, the Orbit page's clustering with the work source,
// the dialog run to its end, then Save Tables. Returns the dialog's candidate count.
int clusterAsTheWindowDoes(const std::string& startupFolder, const std::string& mdb)
{
    AppContext app;
    app.startupFolder = startupFolder;
    app.settings = defaultSettings({startupFolder, {}});
    app.views.resetToDefaults();
    EXPECT_EQ(readSettings(app.settings, app.views, startupFolder), SettingsFileState::Read);
    app.settings.mdbdir = mdb;
    app.db = std::make_unique<Database>();
    loadAll(*app.db, mdb, app.settings.dlg_Y);
    CPageSetup setup(app);
    CPageStream stream(app);
    CPageOrbit orbit(app);
    connectClustering(app, stream, orbit);
    setup.initialise();
    stream.initialise();
    orbit.initialise();
    const std::vector<CPageStream::ListItem>& lists = stream.listItems();
    const auto list =
        std::find_if(lists.begin(), lists.end(),
                     [](const CPageStream::ListItem& item) { return item.name == kList; });
    EXPECT_NE(list, lists.end());
    stream.chooseList(static_cast<int>(list - lists.begin()));

    BatchAnswers user;
    int candidates = -1;
    user->answerDialog([](DialogModel& model) {
        auto& dialog = dynamic_cast<CDSIDSDlg&>(model);
        for (std::size_t item = 0; item < dialog.dsidItems().size(); ++item)
            if (dialog.dsidItems()[item].text == "WK")
                dialog.selectDsid(static_cast<int>(item));
        return true;
    });
    user->answerDialog([&candidates](DialogModel& model) {
        auto& dialog = dynamic_cast<CClusterDlg&>(model);
        candidates = dialog.candidateCount();
        dialog.runToEnd();
        return true;
    });
    orbit.clustering();
    EXPECT_EQ(user->pendingAnswers(), 0u);
    EXPECT_TRUE(saveAll(*app.db, mdb));
    return candidates;
}

CommandRun runCluster(const std::vector<std::string>& args)
{
    return runBatchCommand(clusterCommands(), "cluster", args);
}

int lineCount(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(ClusterCommand, DemoGeminidsComeFirstAndAreSaved)
{
    DemoCopy demo;
    Database before;
    loadAll(before, demo.mdb, 2007);
    const int streamsBefore = liveRowCount(before.streams);

    const CommandRun run = runCluster({demo.mdb, "L_IAU_IAU_established", "--dsid", "WK"});
    ASSERT_EQ(run.status, kBatchOk) << run.err;
    // The Geminid radiant (ra 112, dec +33, vg 34 km/s) at sol 260-269 ("q").
    EXPECT_EQ(run.out.rfind("1 WK_qbbg cnt=185 ra=112.8 dec=33.1 vg=33.7\n", 0), 0u) << run.out;
    EXPECT_NE(run.err.find(" Clustering ended new stream = " + std::to_string(lineCount(run.out))),
              std::string::npos);

    Database after;
    loadAll(after, demo.mdb, 2007);
    ASSERT_EQ(liveRowCount(after.streams), streamsBefore + lineCount(run.out));
    int geminids = -1;
    for (int row = 0; row < after.streams.count(); ++row)
        if (after.streams.isLive(row) &&
            std::string(after.streams.text(row, col::Stream::code)) == "WK_qbbg")
            geminids = row;
    ASSERT_GE(geminids, 0);
    EXPECT_EQ(after.streams.cell(geminids, col::Stream::SID)->number, 4100000000u);
    EXPECT_FALSE(linksOf(after.streams, geminids, col::Stream::LLINK).empty());
    int members = 0;
    for ([[maybe_unused]] const LinkNode& node :
         linksOf(after.streams, geminids, col::Stream::OLINK))
        ++members;
    EXPECT_GE(members, 150);
}

TEST(ClusterCommand, ParametersChangeTheRun)
{
    DemoCopy demo;
    const CommandRun strict =
        runCluster({demo.mdb, "L_IAU_IAU_established", "--dsid", "WK", "--minc", "1000"});
    ASSERT_EQ(strict.status, kBatchOk) << strict.err;
    EXPECT_EQ(strict.out, "");
    EXPECT_NE(strict.err.find("new stream = 0"), std::string::npos);
}

// Under a settings file with a vg condition and its own minimum count, the batch command and
// the window's clustering give the same streams, columns and links byte for byte.
TEST(ClusterCommand, SameTablesAsTheWindow)
{
    TempDir folder;
    DemoCopy batch, window;
    Settings settings = defaultSettings({folder.path().string(), {}});
    settings.mdbdir = window.mdb;
    settings.po_vC = 1;
    settings.po_v1 = 35;
    settings.po_v2 = 8;
    settings.ac_minc = 8;
    ViewLayouts views;
    views.resetToDefaults();
    ASSERT_TRUE(writeSettings(settings, views, folder.path().string()));
    Database demo;
    loadAll(demo, window.mdb, settings.dlg_Y);

    const fs::path before = fs::current_path();
    fs::current_path(folder.path());
    const CommandRun run = runCluster({batch.mdb, kList, "--dsid", "WK"});
    fs::current_path(before);
    ASSERT_EQ(run.status, kBatchOk) << run.err;
    EXPECT_GT(lineCount(run.out), 1);

    const int candidates = clusterAsTheWindowDoes(folder.path().string(), window.mdb);
    // The condition leaves out part of the orbits.
    EXPECT_GT(candidates, 0);
    EXPECT_LT(candidates, liveRowCount(demo.orbits));
    for (const char* table : {"UStream.csv", "USOlink.csv", "ULSlink.csv", "UDSID.csv"}) {
        SCOPED_TRACE(table);
        const std::string batchBytes = readFileBytes(batch.mdb + "/" + table);
        EXPECT_EQ(batchBytes, readFileBytes(window.mdb + "/" + table));
        EXPECT_NE(batchBytes,
                  readFileBytes(std::string(ORVANTELLA_SOURCE_DIR) + "/data/demo/MDB/" + table));
    }
}

struct BadArgs {
    const char* name;
    std::vector<std::string> args; // after the MDB folder
    int status;
};

TEST(ClusterCommand, BadArguments)
{
    DemoCopy demo;
    const BadArgs cases[] = {
        {"no dsid", {"L_IAU_IAU_established"}, kBatchUsage},
        {"no list", {"--dsid", "WK"}, kBatchUsage},
        {"unknown option", {"L_IAU_IAU_established", "--dsid", "WK", "--x", "1"}, kBatchUsage},
        {"fractional minimum",
         {"L_IAU_IAU_established", "--dsid", "WK", "--minc", "2.5"},
         kBatchUsage},
        {"unknown data source", {"L_IAU_IAU_established", "--dsid", "NONE"}, kBatchFailed},
        {"unknown list", {"L_none", "--dsid", "WK"}, kBatchFailed},
    };
    for (const BadArgs& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args{demo.mdb};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(runCluster(args).status, c.status);
    }
    EXPECT_EQ(runCluster({demo.dir.file("missing"), "L", "--dsid", "WK"}).status, kBatchFailed);
}

} // namespace
