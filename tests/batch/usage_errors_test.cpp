// Every usage error of the batch tool exits 2 and ends with the command's usage line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "batch/batch_command.h"
#include "batch_test_support.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"

TEST(UsageErrors, EveryCommandPrintsItsUsageLine)
{
    ScopedScriptedUi scripted;
    TempDir dir;
    const std::string mdb = dir.file("MDB");
    // No arguments for every command, then misuses that reach each command's own checks.
    std::vector<std::pair<std::string, std::vector<std::string>>> runs;
    for (const BatchCommand& command : allBatchCommands())
        runs.push_back({command.name, {}});
    const std::vector<std::pair<std::string, std::vector<std::string>>> misuses = {
        {"sol", {"x"}},
        {"group", {mdb, "L"}},
        {"import", {mdb, "a.txt"}},
        {"import", {mdb, "a.txt", "--dsid", "WK", "--min-qc"}},
        {"list-create", {mdb, "L", "--dsid"}},
        {"map", {mdb, "sky", "x.bmp", "--width", "2"}},
        {"cluster", {mdb, "L", "--dsid", "WK", "--minc", "x"}},
        {"select", {mdb, "--days"}},
    };
    runs.insert(runs.end(), misuses.begin(), misuses.end());
    for (const auto& [name, args] : runs) {
        const CommandRun run = runBatchCommand(allBatchCommands(), name, args);
        EXPECT_EQ(run.status, kBatchUsage) << name << ": " << run.err;
        const std::string line = "usage: orvantella-batch " + name + " ";
        EXPECT_NE(run.err.find(line), std::string::npos) << name << ": " << run.err;
        EXPECT_FALSE(std::filesystem::exists(mdb)) << name;
    }
}
