// Nothing is saved after an incomplete load: with any table or orbit file broken, missing
// while the rest is there, or an ID used twice, every command that would save exits 1 and
// leaves every file of the demo database as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "batch/batch_command.h"
#include "batch_test_support.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

struct Damage {
    std::string name;
    std::function<void(const fs::path& mdb)> apply;
    std::string named; // what the error output must name
};

// Every occurrence.
void replaceInFile(const fs::path& path, const std::string& from, const std::string& to)
{
    std::string bytes = readFileBytes(path.string());
    for (std::size_t at = bytes.find(from); at != std::string::npos;
         at = bytes.find(from, at + to.size()))
        bytes.replace(at, from.size(), to);
    writeFileBytes(path.string(), bytes);
}

const std::vector<Damage> kDamages = {
    {"TruncatedStreams",
     [](const fs::path& mdb) {
         const std::string bytes = readFileBytes((mdb / "UStream.csv").string());
         writeFileBytes((mdb / "UStream.csv").string(), bytes.substr(0, bytes.size() / 2));
     },
     "UStream.csv"},
    {"MissingStreams", [](const fs::path& mdb) { fs::remove(mdb / "UStream.csv"); }, "UStream.csv"},
    {"MissingLists", [](const fs::path& mdb) { fs::remove(mdb / "UList.csv"); }, "UList.csv"},
    {"OrbitsFolderIsAFile",
     [](const fs::path& mdb) {
         fs::remove_all(mdb / "orbits");
         writeFileBytes((mdb / "orbits").string(), "x");
     },
     "orbits"},
    {"RegisteredCopyOfAnOrbitFile",
     [](const fs::path& mdb) {
         fs::copy_file(mdb / "orbits/O_GMN_201812.csv", mdb / "orbits/O_GMN_copy.csv");
         replaceInFile(mdb / "UOFile.csv", "901,1,_O_GMN_201812.csv",
                       "901,1,_O_GMN_copy.csv,_\r\n901,1,_O_GMN_201812.csv");
     },
     "O_GMN_"},
    {"IdNextBelowAnIdInUse",
     [](const fs::path& mdb) { replaceInFile(mdb / "UDSID.csv", "100001031", "100000500"); },
     "UDSID.csv"},
    {"IdNextBelowAStreamId",
     [](const fs::path& mdb) { replaceInFile(mdb / "UDSID.csv", "100113", "100050"); },
     "UDSID.csv"},
    {"IdNextAtAListId",
     [](const fs::path& mdb) {
         replaceInFile(mdb / "UList.csv", "101,100000,", "101,100113,");
         replaceInFile(mdb / "ULSlink.csv", "201,100000,", "201,100113,");
     },
     "UDSID.csv"},
    {"IdNextAtTheTopOfTheRange",
     [](const fs::path& mdb) { replaceInFile(mdb / "UDSID.csv", "100001031", "4294967295"); },
     "UDSID.csv"},
};

std::vector<BatchCommand> writers()
{
    std::vector<BatchCommand> commands;
    for (auto group :
         {mdbCommands, orbitFileCommands, groupingCommands, streamListCommands, clusterCommands})
        for (BatchCommand& command : group())
            commands.push_back(std::move(command));
    return commands;
}

void PrintTo(const Damage& d, std::ostream* out) { *out << d.name; }

class IncompleteLoad : public ::testing::TestWithParam<Damage> {};

} // namespace

TEST_P(IncompleteLoad, EveryCommandThatWouldSaveRefusesAndChangesNothing)
{
    const Damage& damage = GetParam();
    TempDir dir;
    const fs::path mdb = dir.path() / "MDB";
    fs::copy(fs::path(ORVANTELLA_SOURCE_DIR) / "data/demo/MDB", mdb, fs::copy_options::recursive);
    damage.apply(mdb);
    const std::string list = "L_IAU_IAU_established";
    const std::string source =
        projectDataFile("sources/gmn_traj_summary_monthly_201812_first40.csv");
    const std::string listFile = projectDataFile("sources/iau_mdc_showers.psv");
    const std::string m = mdb.string();
    const std::vector<std::pair<std::string, std::vector<std::string>>> runs = {
        {"resave", {m}},
        {"import", {m, source, "--dsid", "WK"}},
        {"group", {m, list, "--rvg"}},
        {"erase-grouping", {m, list}},
        {"list-import", {m, listFile, "--dsid", "WK"}},
        {"typical-orbits", {m, list, "--dsid", "WK"}},
        {"cluster", {m, list, "--dsid", "WK"}},
    };
    const auto before = filesBelow(mdb.string());
    ScopedScriptedUi scripted;
    for (const auto& [name, args] : runs) {
        const CommandRun run = runBatchCommand(writers(), name, args);
        EXPECT_EQ(run.status, kBatchFailed) << name << ": " << run.err;
        EXPECT_NE(run.err.find(damage.named), std::string::npos) << name << ": " << run.err;
        EXPECT_EQ(filesBelow(mdb.string()), before) << name << " changed the database";
    }
}

INSTANTIATE_TEST_SUITE_P(Damages, IncompleteLoad, ::testing::ValuesIn(kDamages), caseName);
