// The astronomy batch commands: printed results of the worked examples, usage and failures.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "batch/batch_command.h"
#include "batch_test_support.h"

namespace {

CommandRun runCommand(const std::string& name, const std::vector<std::string>& args)
{
    return runBatchCommand(astroCommands(), name, args);
}

std::vector<double> numbers(const std::string& text)
{
    std::istringstream in(text);
    std::vector<double> values;
    for (double v = 0; in >> v;)
        values.push_back(v);
    return values;
}

TEST(AstroCommands, PrintTheWorkedExamples)
{
    const struct {
        const char* name;
        const char* command;
        std::vector<std::string> args;
        const char* out;
    } cases[] = {
        // Data note of Newcomb's terms: sol at JD 2451545.0.
        {"sol at J2000", "sol", {"2451545.0"}, "280.377805\n"},
        // 2000-01-01 0h is MJD 51544, plus 64.184 s.
        {"mjd of 2000-01-01", "mjd", {"2000", "1", "1", "0", "0", "0"}, "51544.000743\n"},
        {"date at midnight is the day before", "date", {"51544.0"}, "1999 12 31\n"},
        {"date after the offset", "date", {"51544.0008"}, "2000 1 1\n"},
        // Orbits differing only in q, 1.0 and 0.9: D' = 0.1 / 1.9.
        {"dprime of q alone",
         "dprime",
         {"0.7", "1", "30", "40", "50", "0.7", "0.9", "30", "40", "50"},
         "0.052632\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CommandRun run = runCommand(c.command, c.args);
        EXPECT_EQ(run.status, kBatchOk);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, "");
    }
}

TEST(AstroCommands, OrbitPrintsElementsAndSpeed)
{
    // The Perseid worked example: q 0.936, e 0.966, i 112.7, node 138.6, peri 147.6, vs 41.5.
    const CommandRun run = runCommand("orbit", {"2451767.5", "48.2", "58.1", "59.1"});
    ASSERT_EQ(run.status, kBatchOk);
    const std::vector<double> v = numbers(run.out);
    ASSERT_EQ(v.size(), 7u) << run.out;
    EXPECT_NEAR(v[0], v[1] / (1 - v[2]), 0.01);
    EXPECT_NEAR(v[1], 0.936, 0.0005);
    EXPECT_NEAR(v[2], 0.966, 0.0005);
    EXPECT_NEAR(v[3], 147.6, 0.05);
    EXPECT_NEAR(v[4], 138.6, 0.05);
    EXPECT_NEAR(v[5], 112.7, 0.05);
    EXPECT_NEAR(v[6], 41.5, 0.05);
}

TEST(AstroCommands, RefuseBadArguments)
{
    const struct {
        const char* name;
        const char* command;
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {"missing argument", "sol", {}, kBatchUsage},
        {"not a number", "sol", {"2451545x"}, kBatchUsage},
        {"fractional month", "mjd", {"2000", "1.5", "1", "0", "0", "0"}, kBatchUsage},
        {"too many arguments", "date", {"51544", "1"}, kBatchUsage},
        {"date after 2099", "date", {"88069.5"}, kBatchFailed},
        {"date before 1900", "date", {"15000"}, kBatchFailed},
        {"vg of zero", "orbit", {"2451767.5", "48.2", "58.1", "0"}, kBatchFailed},
        {"short dprime", "dprime", {"0.7", "1", "30", "40", "50"}, kBatchUsage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CommandRun run = runCommand(c.command, c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err, "");
    }
}

} // namespace
