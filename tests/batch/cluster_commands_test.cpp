// The batch "cluster" on a copy of the demo database: the Geminids of December 2018 come out as
// the first stream, the tables are saved, and the arguments are checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/batch_command.h"
#include "batch_test_support.h"
#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
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
