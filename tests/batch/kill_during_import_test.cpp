// An import of 90,000 orbits killed with SIGKILL at random moments: after the next load the
// MDB is exactly as before the import or exactly as after it (target file, registration and
// IDnext together), it loads whole, and the import run again lands as if never interrupted.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <signal.h>
#include <string>
#include <thread>

#include "batch/batch_process.h"
#include "mdb/database.h"
#include "mdb/database_store.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

namespace {

constexpr int kRows = 90000;
constexpr int kKills = 30;

std::string sourceRows()
{
    std::string rows = "_Version,_OID,_use,_name,_mjd,_sol,_ra,_dec,_vg,_type,_a,_q,_e,_peri,_node,"
                       "_incl,_M,_T/e,_r_sd,_v_sd,_Hb,_He,_zr,_mag,_mass,_memo\r\n";
    for (int n = 0; n < kRows; ++n)
        rows += "501,1,1,_Ann Example " + std::to_string(n) +
                ",51000.500000,140.000000,46.000000,58.000000,59.000000,1,2.500000,0.950000,"
                "0.620000,150.000000,140.000000,113.000000,0.000000,0.000000,0.100000,0.200000,"
                "100.000000,80.000000,0.000000,1.500000,0.000000,_VidNet\r\n";
    return rows;
}

// The files of the MDB but the temporaries a kill leaves (no load reads them).
Files contents(const std::string& folder)
{
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() &&
            entry.path().filename().string().find(".saving-") == std::string::npos)
            files[fs::relative(entry.path(), folder).string()] = readFileBytes(entry.path());
    return files;
}

void writeContents(const std::string& folder, const Files& files)
{
    fs::remove_all(folder);
    fs::create_directories(folder + "/orbits");
    for (const auto& [name, bytes] : files)
        writeFileBytes(folder + "/" + name, bytes);
}

pid_t startImport(const std::string& mdb, const std::string& source)
{
    return startBatchProcess({"import", mdb, source, "--dsid", "VN"});
}

// Loads the MDB (completing an interrupted commit); true when every file was read whole.
bool loadsWhole(const std::string& mdb)
{
    ScopedScriptedUi scripted;
    Database db;
    loadAll(db, mdb, 2007);
    return db.unreadFiles.empty() && scripted->messages().empty();
}

} // namespace

TEST(KillDuringImport, TheDatabaseIsAsBeforeOrAsAfterAndTheNextImportLandsWhole)
{
    if (!std::getenv("ORVANTELLA_SLOW_TESTS"))
        GTEST_SKIP() << "slow: run by the ctest entry labelled slow";
    TempDir dir;
    const std::string mdb = dir.file("MDB");
    const std::string source = dir.file("O_src.csv");
    writeFileBytes(source, sourceRows());
    Files tables = {{"UDSID.csv", "_Version\r\n1,1000,1,_VN,100000000,_\r\n"}};
    for (const char* name :
         {"UList.csv", "ULSlink.csv", "UStream.csv", "USOlink.csv", "UOFile.csv"})
        tables[name] = "_Version\r\n";
    writeContents(mdb, tables);
    // As the import's first save writes it.
    ASSERT_EQ(batchExitStatus(startBatchProcess({"resave", mdb})), 0);
    const Files before = contents(mdb);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(batchExitStatus(startImport(mdb, source)), 0);
    const auto fullRun = std::chrono::steady_clock::now() - start;
    const Files after = contents(mdb);
    ASSERT_EQ(after.size(), before.size() + 1);

    std::mt19937 random(21);
    std::uniform_int_distribution<long long> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(fullRun).count());
    int landed = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        writeContents(mdb, before);
        const pid_t pid = startImport(mdb, source);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(pid, SIGKILL);
        batchExitStatus(pid);
        ASSERT_TRUE(loadsWhole(mdb)) << "after kill " << kill;
        const Files now = contents(mdb);
        ASSERT_TRUE(now == before || now == after) << "after kill " << kill;
        landed += now == after ? 1 : 0;
        if (now == before) {
            // The import again, over what the killed one left: as if it had never run.
            ASSERT_EQ(batchExitStatus(startImport(mdb, source)), 0) << "after kill " << kill;
            EXPECT_EQ(contents(mdb), after) << "after kill " << kill;
        }
    }
    std::printf("%d kills, %d after the import had landed; an import takes %lld ms\n", kKills,
                landed,
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(fullRun).count()));
    EXPECT_LT(landed, kKills);
}
