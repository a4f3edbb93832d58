// The batch import: a source imported into an MDB folder, its target name, and the failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "batch/batch_command.h"
#include "batch_test_support.h"
#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "support/test_support.h"

namespace {

CommandRun runImport(const std::vector<std::string>& args)
{
    return runBatchCommand(orbitFileCommands(), "import", args);
}

// Two radiants of the 2010 Perseids.
const std::string kMSource = "90,2010,8,12,21,30,45,46.1,57.6,59.1,-1.5,_A1,_first\r\n"
                             "90,2010,8,12,22,10,05,46.3,57.7,59.0,-0.5,_B2,_second\r\n";

struct BatchMdb {
    TempDir dir;
    std::string mdb = dir.file("MDB");
    std::string source = dir.file("M_perseids.csv");
    BatchMdb()
    {
        std::filesystem::create_directories(mdb);
        writeFileBytes(source, kMSource);
    }
    int orbitsOnDisk() const
    {
        Database db;
        loadAll(db, mdb, 2007);
        return liveRowCount(db.orbits);
    }
};

TEST(BatchImport, FreshMdbGetsTheWorkSourceAndTheProposedTarget)
{
    BatchMdb m;
    const CommandRun run = runImport({m.mdb, m.source, "--dsid", "WK"});
    EXPECT_EQ(run.status, kBatchOk) << run.err;
    EXPECT_EQ(run.out, "rows_imported 2\n");
    EXPECT_TRUE(std::filesystem::exists(m.mdb + "/orbits/O_WK_4100000000.csv"));
    EXPECT_EQ(m.orbitsOnDisk(), 2);
    // Again into a named target: the M layout has no duplicate test.
    const CommandRun again =
        runImport({m.mdb, m.source, "--target", "O_again.csv", "--dsid", "WK"});
    EXPECT_EQ(again.status, kBatchOk) << again.err;
    EXPECT_TRUE(std::filesystem::exists(m.mdb + "/orbits/O_again.csv"));
    EXPECT_EQ(m.orbitsOnDisk(), 4);
}

TEST(BatchImport, ReportsRowsReadWhileConverting)
{
    BatchMdb m;
    std::string many;
    for (int n = 0; n < 60000; ++n)
        many += "90,2010,8,12,21,30,45,46.1,57.6,59.1\r\n";
    writeFileBytes(m.source, many);
    const CommandRun run = runImport({m.mdb, m.source, "--dsid", "WK"});
    EXPECT_EQ(run.status, kBatchOk) << run.err;
    EXPECT_EQ(run.out, "rows_imported 60000\n");
    EXPECT_NE(run.err.find("lines read: 10"), std::string::npos) << run.err;
}

TEST(BatchImport, FailuresAndUsage)
{
    BatchMdb m;
    writeFileBytes(m.dir.file("U3_bad.csv"), "header\r\n");
    const struct {
        const char* label;
        std::vector<std::string> args;
        int status;
        const char* err;
    } cases[] = {
        {"no dsid", {m.mdb, m.source}, kBatchUsage, ""},
        {"dsid without value", {m.mdb, m.source, "--dsid"}, kBatchUsage, ""},
        {"unknown option", {m.mdb, m.source, "--dsid", "WK", "--x", "1"}, kBatchUsage, ""},
        {"three paths", {m.mdb, m.source, m.source, "--dsid", "WK"}, kBatchUsage, ""},
        {"unknown code",
         {m.mdb, m.source, "--dsid", "SkyCam"},
         kBatchFailed,
         "no data source in use has the code SkyCam"},
        {"no mdb", {m.dir.file("none"), m.source, "--dsid", "WK"}, kBatchFailed, "no MDB folder"},
        {"refused name",
         {m.mdb, m.dir.file("U3_bad.csv"), "--dsid", "WK"},
         kBatchFailed,
         "file name invalid"},
        {"target the load would not find",
         {m.mdb, m.source, "--dsid", "WK", "--target", "x.csv"},
         kBatchFailed,
         "Orbit files are named O*.csv"},
    };
    for (const auto& c : cases) {
        const CommandRun run = runImport(c.args);
        EXPECT_EQ(run.status, c.status) << c.label;
        EXPECT_EQ(run.out, "") << c.label;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << c.label << ": " << run.err;
    }
    EXPECT_EQ(m.orbitsOnDisk(), 0);
}

} // namespace
