// Crash safety seen from outside: "orvantella-batch resave" on a database of
// 200,000 orbits is killed with SIGKILL at random moments. After each kill
// every file is the old or the new one and no temporary file is where a load
// would take it; the next load makes the whole database old or new (a kill
// between the first and the last file replaced is completed) and reads it
// whole; the next save removes the temporaries.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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
#include "table/text_file.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kOrbitFiles = 4;
// All in one data source, whose IDs run from DSID * 100000 to DSID * 100000 + 99999.
constexpr int kOrbitsPerFile = 24000;
constexpr int kKills = 60;

using Files = std::map<std::string, std::string>;

// The database as another program wrote it: LF line ends and short numbers,
// so that every file the resave writes differs from its old content.
Files oldDatabase()
{
    Files files;
    files["UDSID.csv"] = "_Version,_DSID,_use,_code,_IDnext,_memo\n1,1000,1,_VN,100096000,_\n";
    std::string fileRows = "_Version,_use,_orbit file name,_memo\n";
    std::string links = "_Version,_SID,_OID\n";
    std::string streams = "_Version,_SID,_use,_code,_name,_sol1,_sol2,_solp,_ra,_dec,_dra,_ddec,"
                          "_vg,_type,_R,_dv,_D',_TypicalOID,_memo\n";
    for (int s = 0; s < 20; ++s)
        streams += "301," + std::to_string(100000000 + s) +
                   ",1,_S,_stream,1,2,3,4,5,6,7,8,1,3,3,0.2,0,_\n";
    std::mt19937 random(7);
    for (int f = 0; f < kOrbitFiles; ++f) {
        const std::string name = "O_VN_" + std::to_string(f) + ".csv";
        fileRows += "901,1,_" + name + ",_\n";
        std::string orbits =
            "_Version,_OID,_use,_name,_mjd,_sol,_ra,_dec,_vg,_type,_a,_q,_e,_peri,_node,_incl,_M,"
            "_T/e,_r_sd,_v_sd,_Hb,_He,_zr,_mag,_mass,_memo\n";
        for (int n = 0; n < kOrbitsPerFile; ++n) {
            const int id = 100000000 + f * kOrbitsPerFile + n;
            orbits += "501," + std::to_string(id) + ",1,_Ann Example " + std::to_string(n) + "," +
                      std::to_string(50000 + random() % 9000) + ".5," +
                      std::to_string(random() % 360) + ".25,46.5,57.75,59,1,2.5,0.875,0.625,150," +
                      "140,113,0,0,0.5,0.25,100,80,0,1.5,0,_VidNet\n";
            if (n % 1000 == 0)
                links +=
                    "401," + std::to_string(100000000 + n % 20) + "," + std::to_string(id) + "\n";
        }
        files["orbits/" + name] = orbits;
    }
    files["UOFile.csv"] = fileRows;
    files["USOlink.csv"] = links;
    files["UStream.csv"] = streams;
    files["UList.csv"] = "_Version,_LID,_name,_ver,_memo\n";
    files["ULSlink.csv"] = "_Version,_LID,_SID\n";
    return files;
}

Files contents(const std::string& folder)
{
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = readFileBytes(entry.path());
    return files;
}

void writeContents(const std::string& folder, const Files& files)
{
    fs::create_directories(folder + "/orbits");
    for (const auto& [name, bytes] : files)
        writeFileBytes(folder + "/" + name, bytes);
}

// The live rows of every table.
std::vector<int> rowCounts(const std::string& folder, bool& whole)
{
    ScopedScriptedUi scripted;
    Database db;
    loadAll(db, folder, 2007);
    whole = db.unreadFiles.empty() && scripted->messages().empty();
    return {liveRowCount(db.dsids),
            liveRowCount(db.lists),
            liveRowCount(db.listStreamLinks),
            liveRowCount(db.streams),
            liveRowCount(db.streamOrbitLinks),
            liveRowCount(db.orbits),
            liveRowCount(db.orbitFiles)};
}

std::vector<std::string> temporaries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.path().filename().string().find(".saving-") != std::string::npos)
            names.push_back(entry.path().filename().string());
    return names;
}

// Whether every file of before is as it was.
bool allAsBefore(const Files& now, const Files& before)
{
    for (const auto& [name, bytes] : before)
        if (now.at(name) != bytes)
            return false;
    return true;
}

// A kill at `at` came too early (every file old) or too late (every file new): the span of
// the next aimed kills starts or ends there, and widens again when the two ends meet, as the
// runs' length varies.
void narrowSpan(bool tooEarly, long long at, long long& spanStart, long long& spanEnd)
{
    constexpr long long kWiden = 20000;
    (tooEarly ? spanStart : spanEnd) = at;
    if (spanEnd - spanStart < kWiden / 20) {
        spanStart = std::max(0LL, spanStart - kWiden);
        spanEnd += kWiden;
    }
}

} // namespace

TEST(KillDuringResave, EveryFileIsOldOrNewAndTheDatabaseLoadsWhole)
{
    if (!std::getenv("ORVANTELLA_SLOW_TESTS"))
        GTEST_SKIP() << "slow: run by the ctest entry labelled slow";
    TempDir dir;
    const std::string mdb = dir.file("MDB");
    const Files before = oldDatabase();
    writeContents(mdb, before);
    bool whole = false;
    const std::vector<int> counts = rowCounts(mdb, whole);
    ASSERT_TRUE(whole);
    ASSERT_EQ(counts[5], kOrbitFiles * kOrbitsPerFile);

    // An uninterrupted resave gives the new files and the time a run takes.
    const auto start = Clock::now();
    ASSERT_EQ(batchExitStatus(startBatchProcess({"resave", mdb})), 0);
    const auto fullRun = Clock::now() - start;
    const Files after = contents(mdb);
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [name, bytes] : before)
        ASSERT_NE(after.at(name), bytes) << name;

    std::mt19937 random(20261208);
    const long long runMicroseconds =
        std::chrono::duration_cast<std::chrono::microseconds>(fullRun).count();
    std::uniform_int_distribution<long long> moment(0, runMicroseconds);
    // The replacements come last and take little time, and a loaded machine stretches a run:
    // later kills aim at a span that closes in on them, moving its start after a kill that
    // found every file old and its end before one that found every file new. They go on (up
    // to six times as many) until one has fallen among the replacements.
    long long spanStart = runMicroseconds * 8 / 10, spanEnd = runMicroseconds * 11 / 10;
    int killedWhileWriting = 0;
    int kills = 0;
    for (int kill = 0; kill < kKills || (killedWhileWriting == 0 && kill < 6 * kKills); ++kill) {
        writeContents(mdb, before);
        const bool aimed = kill >= kKills / 2;
        const long long at =
            aimed ? std::uniform_int_distribution<long long>(spanStart, spanEnd)(random)
                  : moment(random);
        const pid_t pid = startBatchProcess({"resave", mdb});
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(at));
        ::kill(pid, SIGKILL);
        batchExitStatus(pid);
        ++kills;
        const Files now = contents(mdb);
        for (const auto& [name, bytes] : before) {
            ASSERT_TRUE(now.count(name)) << name << " gone after kill " << kill;
            ASSERT_TRUE(now.at(name) == after.at(name) || now.at(name) == bytes)
                << name << " is neither old nor new after kill " << kill;
        }
        const bool inReplacementWindow = now.count(FileTransaction::kRecordName) > 0;
        killedWhileWriting += inReplacementWindow ? 1 : 0;
        if (aimed && !inReplacementWindow)
            narrowSpan(allAsBefore(now, before), at, spanStart, spanEnd);
        // Only the temporaries and the commit record are extra, and their names are none a
        // load reads.
        for (const auto& [name, bytes] : now) {
            if (!before.count(name) && name != FileTransaction::kRecordName) {
                ASSERT_NE(name.find(".saving-"), std::string::npos) << name;
                ASSERT_FALSE(isOrbitFileName(fs::path(name).filename().string())) << name;
            }
        }
        EXPECT_EQ(rowCounts(mdb, whole), counts) << "after kill " << kill;
        EXPECT_TRUE(whole) << "after kill " << kill;
        Files loaded = contents(mdb);
        std::erase_if(loaded, [](const auto& file) {
            return file.first.find(".saving-") != std::string::npos;
        });
        EXPECT_TRUE(loaded == before || loaded == after)
            << "after kill " << kill << " and a load, the database is neither all old nor all new";
        EXPECT_TRUE(!inReplacementWindow || loaded == after) << "after kill " << kill;
    }
    // Some moments must have fallen between the first and the last replacement.
    EXPECT_GT(killedWhileWriting, 0);
    std::printf(
        "%d kills, %d between the commit record and the last file replaced; a resave takes %lld "
        "ms\n",
        kills, killedWhileWriting,
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(fullRun).count()));

    writeContents(mdb, before);
    ASSERT_EQ(batchExitStatus(startBatchProcess({"resave", mdb})), 0);
    EXPECT_EQ(contents(mdb), after);
    EXPECT_TRUE(temporaries(mdb).empty());
}
