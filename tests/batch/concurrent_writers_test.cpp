// Two batch processes on one MDB at the same moment: one writer at a time. Each run either
// succeeds or exits 1 naming the process that holds the database; whatever succeeded is in
// the database afterwards, which loads whole with every OID used once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "batch/batch_process.h"
#include "mdb/database.h"
#include "mdb/database_store.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 50;
constexpr int kRowsPerImport = 20;

const std::string kOrbitHeader =
    "_Version,_OID,_use,_name,_mjd,_sol,_ra,_dec,_vg,_type,_a,_q,_e,_peri,_node,_incl,_M,_T/e,"
    "_r_sd,_v_sd,_Hb,_He,_zr,_mag,_mass,_memo\r\n";

// Orbits no other source of the test holds (named after the source), in the O layout.
std::string importSource(const std::string& tag)
{
    std::string rows = kOrbitHeader;
    for (int n = 0; n < kRowsPerImport; ++n)
        rows += "501,1,1,_" + tag + "-" + std::to_string(n) +
                ",51000.5,140.0,46.0,58.0,59.0,1,2.5,0.95,0.62,150.0,140.0,113.0,0.0,0.0,0.1,0.2,"
                "100.0,80.0,0.0,1.5,0.0,_VidNet\r\n";
    return rows;
}

void writeDatabase(const std::string& mdb)
{
    fs::remove_all(mdb);
    fs::create_directories(mdb + "/orbits");
    writeFileBytes(mdb + "/UDSID.csv",
                   "_Version,_DSID,_use,_code,_IDnext,_memo\r\n1,1000,1,_VN,100000000,_\r\n");
    writeFileBytes(mdb + "/UOFile.csv", "_Version,_use,_orbit file name,_memo\r\n");
    for (const char* name : {"UList.csv", "ULSlink.csv", "UStream.csv", "USOlink.csv"})
        writeFileBytes(mdb + "/" + name, "_Version\r\n");
}

} // namespace

TEST(ConcurrentWriters, NothingIsLostAndNoOidIsUsedTwice)
{
    if (!std::getenv("ORVANTELLA_SLOW_TESTS"))
        GTEST_SKIP() << "slow: run by the ctest entry labelled slow";
    TempDir dir;
    const std::string mdb = dir.file("MDB");
    writeDatabase(mdb);
    int imported = 0;
    int refused = 0;
    for (int run = 0; run < kRuns; ++run) {
        std::vector<pid_t> pids;
        for (int writer = 0; writer < 2; ++writer) {
            const std::string source =
                dir.file("O_src_" + std::to_string(run) + "_" + std::to_string(writer) + ".csv");
            writeFileBytes(source, importSource(fs::path(source).stem().string()));
            // Every third run pairs an import with a resave.
            const bool resave = writer == 1 && run % 3 == 0;
            pids.push_back(startBatchProcess(
                resave ? std::vector<std::string>{"resave", mdb}
                       : std::vector<std::string>{"import", mdb, source, "--dsid", "VN"},
                dir.file("err" + std::to_string(writer))));
        }
        for (int writer = 0; writer < 2; ++writer) {
            const int status = batchExitStatus(pids[writer]);
            const std::string err = readFileBytes(dir.file("err" + std::to_string(writer)));
            ASSERT_TRUE(status == 0 ||
                        (status == 1 && err.find(" is in use by process ") != std::string::npos))
                << "run " << run << " writer " << writer << ": " << status << " " << err;
            const bool isImport = !(writer == 1 && run % 3 == 0);
            imported += status == 0 && isImport ? 1 : 0;
            refused += status == 1 ? 1 : 0;
        }
        ScopedScriptedUi scripted;
        Database db;
        loadAll(db, mdb, 2007);
        ASSERT_TRUE(db.unreadFiles.empty()) << "run " << run << ": " << *db.unreadFiles.begin();
        ASSERT_TRUE(scripted->messages().empty())
            << "run " << run << ": " << scripted->messages()[0];
        ASSERT_EQ(liveRowCount(db.orbits), imported * kRowsPerImport) << "run " << run;
    }
    std::printf("%d runs: %d imports landed, %d commands refused while another held the MDB\n",
                kRuns, imported, refused);
    // Both outcomes must have happened: imports that landed and writers that were refused.
    EXPECT_GT(imported, 0);
    EXPECT_GT(refused, 0);
}
