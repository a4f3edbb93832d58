// The batch stream-list commands on an MDB folder: the IAU MDC list imported,
// exported both ways and imported again, cross-listed and given typical orbits.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "batch/batch_command.h"
#include "batch_test_support.h"
#include "support/test_support.h"

namespace {

std::string showerList() { return projectDataFile("sources/iau_mdc_showers.psv").string(); }

CommandRun run(const std::string& name, const std::vector<std::string>& args)
{
    return runBatchCommand(streamListCommands(), name, args);
}

struct BatchMdb {
    TempDir dir;
    std::string mdb = dir.file("MDB");
    BatchMdb() { std::filesystem::create_directories(mdb); }
};

TEST(BatchStreamLists, ImportExportReimportCrossListAndTypicalOrbits)
{
    BatchMdb m;
    const CommandRun imported = run("list-import", {m.mdb, showerList(), "--dsid", "WK"});
    EXPECT_EQ(imported.status, kBatchOk) << imported.err;
    EXPECT_EQ(imported.out, "list L_WK_IAU_established\nstreams 112\n");

    const CommandRun info = runBatchCommand(mdbCommands(), "info", {m.mdb});
    EXPECT_NE(info.out.find("stream_lists 1\nstreams 112\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("list 112 L_WK_IAU_established\n"), std::string::npos) << info.out;

    const std::string csv = m.dir.file("ULE_est.csv");
    const std::string tarn = m.dir.file("est.txt");
    EXPECT_EQ(run("list-export", {m.mdb, "L_WK_IAU_established", "--csv", csv}).status, kBatchOk);
    EXPECT_EQ(run("list-export", {m.mdb, "4100000000", "--tarn", tarn}).status, kBatchOk);
    EXPECT_EQ(run("list-import", {m.mdb, csv, "--dsid", "WK"}).out, "list L_WK_est\nstreams 112\n");
    EXPECT_EQ(run("list-import", {m.mdb, tarn, "--dsid", "WK"}).out,
              "list L_WK_est.txt\nstreams 112\n");
    // The CSV export of the reimported list is the first export but for the SIDs.
    const std::string again = m.dir.file("ULE_again.csv");
    EXPECT_EQ(run("list-export", {m.mdb, "L_WK_est", "--csv", again}).status, kBatchOk);
    const auto withoutSids = [](std::string text) {
        std::string out;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find('\n', at) + 1;
            std::string line = text.substr(at, end - at);
            if (line.starts_with("301,"))
                line.erase(4, line.find(',', 4) - 4);
            out += line;
            at = end;
        }
        return out;
    };
    EXPECT_EQ(withoutSids(readFileBytes(again)), withoutSids(readFileBytes(csv)));

    const std::string crl = m.dir.file("CRL.csv");
    EXPECT_EQ(run("cross-listing", {m.mdb, "L_WK_est", crl}).status, kBatchOk);
    EXPECT_TRUE(readFileBytes(crl).starts_with(" WK_CAP,0\r\n"));

    const CommandRun typical = run("typical-orbits", {m.mdb, "L_WK_est", "--dsid", "WK"});
    EXPECT_EQ(typical.status, kBatchOk) << typical.err;
    EXPECT_EQ(typical.out, "typical_orbits 112\nfile O_L_WK_est.csv\n");
    EXPECT_NE(runBatchCommand(mdbCommands(), "info", {m.mdb}).out.find("orbits 112\n"),
              std::string::npos);
    EXPECT_EQ(run("typical-orbits", {m.mdb, "L_WK_est", "--dsid", "WK"}).status, kBatchFailed);
}

// The demo database's stream list is what the import makes of the IAU MDC list under
// data source 1 "IAU" (scripts/make_demo_mdb.py builds it without the program).
TEST(BatchStreamLists, DemoListIsTheImportOfTheIauList)
{
    BatchMdb m;
    writeFileBytes(m.mdb + "/UDSID.csv",
                   "_Version,_DSID,_use,_code,_IDnext,_memo\r\n1,1,1,_IAU,100000,_\r\n");
    for (const char* name :
         {"UList.csv", "ULSlink.csv", "UStream.csv", "USOlink.csv", "UOFile.csv"})
        writeFileBytes(m.mdb + "/" + name, "_Version\r\n");
    const CommandRun imported = run("list-import", {m.mdb, showerList(), "--dsid", "IAU"});
    ASSERT_EQ(imported.status, kBatchOk) << imported.err;
    for (const char* table : {"UList.csv", "ULSlink.csv", "UStream.csv"})
        EXPECT_EQ(readFileBytes(m.mdb + "/" + table),
                  readFileBytes(projectDataFile(std::string("demo/MDB/") + table)))
            << table;
}

struct FailureCase {
    const char* name;
    std::string command;
    std::vector<std::string> args; // "MDB" and "BROKEN" stand for the folder and a broken file
    int status;
};

const FailureCase kFailures[] = {
    {"unknown status",
     "list-import",
     {"MDB", showerList(), "--dsid", "WK", "--status", "x"},
     kBatchUsage},
    {"no data source option", "list-import", {"MDB", showerList()}, kBatchUsage},
    {"unknown data source", "list-import", {"MDB", showerList(), "--dsid", "NONE"}, kBatchFailed},
    {"broken list", "list-import", {"MDB", "BROKEN", "--dsid", "WK"}, kBatchFailed},
    {"no MDB folder", "list-import", {"MDB/none", showerList(), "--dsid", "WK"}, kBatchFailed},
    {"export without layout", "list-export", {"MDB", "L", "out"}, kBatchUsage},
    {"export of no list", "list-export", {"MDB", "L", "--csv", "out"}, kBatchFailed},
    {"cross listing of no list", "cross-listing", {"MDB", "L", "out"}, kBatchFailed},
    {"typical orbits of no list", "typical-orbits", {"MDB", "L", "--dsid", "WK"}, kBatchFailed},
};

class BatchListFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(BatchListFailureTest, ExitsWithItsStatus)
{
    BatchMdb m;
    const std::string broken = m.dir.file("ULE_broken.csv");
    writeFileBytes(broken, "_Version\r\n302,1\r\n");
    std::vector<std::string> args = GetParam().args;
    for (std::string& arg : args) {
        if (arg.starts_with("MDB"))
            arg.replace(0, 3, m.mdb);
        if (arg == "BROKEN")
            arg = broken;
    }
    EXPECT_EQ(run(GetParam().command, args).status, GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(Commands, BatchListFailureTest, testing::ValuesIn(kFailures), caseName);

} // namespace
