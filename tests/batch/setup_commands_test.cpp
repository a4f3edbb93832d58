// The set-up commands run one after the other on a new database, as a script would: each
// step's status, and what it printed or refused with the window's own messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "batch/batch_command.h"
#include "batch_test_support.h"
#include "support/test_support.h"

namespace {

struct Step {
    std::vector<std::string> args; // command name first, "MDB" for the database folder
    int status;
    std::string out; // the whole standard output, when not empty
    std::string err; // a text standard error contains, when not empty
};

const Step kSteps[] = {
    {{"create", "MDB"}, kBatchOk, "data_source 41000 WK\n", ""},
    {{"create", "MDB"}, kBatchFailed, "", "exists and is not an empty folder"},
    {{"dsid-add", "MDB", "2", "GMN", "--memo", "network"}, kBatchOk, "data_source 2100 GMN\n", ""},
    {{"dsid-add", "MDB", "2", "GMN"},
     kBatchFailed,
     "",
     "Duplicate DSID code found\nPlease correct GMN"},
    {{"dsid-add", "MDB", "4", "X", "--dsid", "41000"}, kBatchFailed, "", "ID already used"},
    {{"dsid-add", "MDB", "2", "X", "--dsid", "500"}, kBatchFailed, "", "ID is not valid"},
    {{"dsid-add", "MDB", "1", "IAU", "--dsid", "5"}, kBatchOk, "data_source 5 IAU\n", ""},
    {{"dsid-add", "MDB", "2", "ABCDEFGH"}, kBatchFailed, "", "1 to 7 characters"},
    {{"dsid-add", "MDB", "5", "X"}, kBatchUsage, "", ""},
    {{"dsid-use", "MDB", "WK", "0"}, kBatchOk, "", ""},
    {{"dsid-use", "MDB", "NONE", "1"}, kBatchFailed, "", "no data source has the code NONE"},
    // A DSID of a source not in use is no longer "already used", but still not free.
    {{"dsid-add", "MDB", "4", "X", "--dsid", "41000"}, kBatchFailed, "", "ID is not valid"},
    {{"dsid-list", "MDB"},
     kBatchOk,
     "dsid kind code use ids_used ids_free\n5 1 IAU 1 0 99999\n2100 2 GMN 1 0 99999\n"
     "41000 4 WK 0 0 99999\n",
     ""},
    {{"list-create", "MDB", "L_IAU_mine", "--dsid", "IAU"},
     kBatchOk,
     "list 500000 L_IAU_mine\n",
     ""},
    {{"list-create", "MDB", "L_IAU_mine", "--dsid", "IAU"},
     kBatchFailed,
     "",
     "is named L_IAU_mine"},
    {{"list-create", "MDB", "L_x", "--dsid", "WK"}, kBatchFailed, "", "no data source in use"},
    {{"list-create", "MDB", "L_a,b", "--dsid", "IAU"}, kBatchFailed, "", "may not contain a comma"},
    {{"list-create", "MDB", "L_a\nb", "--dsid", "IAU"},
     kBatchFailed,
     "",
     "may not contain a comma"},
    {{"list-create", "MDB", "L_a\rb", "--dsid", "IAU"},
     kBatchFailed,
     "",
     "may not contain a comma"},
    {{"dsid-list", "MDB"},
     kBatchOk,
     "dsid kind code use ids_used ids_free\n5 1 IAU 1 1 99998\n2100 2 GMN 1 0 99999\n"
     "41000 4 WK 0 0 99999\n",
     ""},
    {{"files", "MDB"}, kBatchOk, "file use loaded orbits\n", ""},
};

TEST(SetupCommands, BuildADatabaseStepByStep)
{
    TempDir dir;
    const std::string mdb = dir.file("MDB");
    std::vector<BatchCommand> commands = setupCommands();
    for (const Step& step : kSteps) {
        std::vector<std::string> args(step.args.begin() + 1, step.args.end());
        for (std::string& arg : args)
            if (arg == "MDB")
                arg = mdb;
        const CommandRun run = runBatchCommand(commands, step.args[0], args);
        const std::string what = step.args[0] + " " + (args.size() > 1 ? args[1] : "");
        EXPECT_EQ(run.status, step.status) << what << "\n" << run.err;
        if (!step.out.empty()) {
            EXPECT_EQ(run.out, step.out) << what;
        }
        EXPECT_NE(run.err.find(step.err), std::string::npos) << what << "\n" << run.err;
    }
}

} // namespace
