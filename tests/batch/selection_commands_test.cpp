// The batch selection and export over a copy of the demo database.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "batch/batch_command.h"
#include "batch_test_support.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

struct DemoMdb {
    TempDir dir;
    std::string mdb = dir.file("MDB");
    DemoMdb()
    {
        fs::copy(fs::path(ORVANTELLA_SOURCE_DIR) / "data/demo/MDB", mdb,
                 fs::copy_options::recursive);
    }
};

CommandRun run(const std::string& name, const std::vector<std::string>& args)
{
    return runBatchCommand(selectionCommands(), name, args);
}

// "name value" lines.
std::map<std::string, double> values(const std::string& out)
{
    std::map<std::string, double> found;
    std::istringstream lines(out);
    std::string name;
    double value = 0;
    while (lines >> name >> value)
        found[name] = value;
    return found;
}

TEST(BatchSelect, GeminidsOfTheDemoAroundTheirOwnMean)
{
    DemoMdb m;
    // The reference at the mean, as "avr->ref" leaves it, so that the drift is the shower's.
    const CommandRun r = run("select", {m.mdb, "--stream", "IAU_GEM", "--sol", "261.134735",
                                        "--radiant", "113.093813", "32.717117"});
    ASSERT_EQ(r.status, kBatchOk) << r.err;
    const std::vector<std::string> names = {"selected", "sol", "ra", "dec",  "dra",  "ddec", "vg",
                                            "a",        "q",   "e",  "peri", "node", "incl"};
    std::istringstream lines(r.out);
    for (const std::string& name : names) {
        std::string got;
        std::getline(lines, got);
        EXPECT_EQ(got.substr(0, got.find(' ')), name);
    }
    const auto v = values(r.out);
    EXPECT_EQ(v.at("selected"), 200);
    // GMN's established-shower table: Geminids at sol 262, ra 113.4, dec 32.3, drift +1.06 and
    // -0.21 deg/deg, vg 34.0; IAU MDC: q 0.141, peri 324.4, node 261.5, incl 24.0.
    EXPECT_NEAR(v.at("ra") + (262 - v.at("sol")) * 1.06, 113.4, 0.8);
    EXPECT_NEAR(v.at("dec") - (262 - v.at("sol")) * 0.21, 32.3, 0.5);
    EXPECT_NEAR(v.at("dra"), 1.06, 0.2);
    EXPECT_NEAR(v.at("ddec"), -0.21, 0.1);
    EXPECT_NEAR(v.at("vg"), 34.0, 0.3);
    EXPECT_NEAR(v.at("q"), 0.141, 0.005);
    EXPECT_NEAR(v.at("peri"), 324.4, 1.0);
    EXPECT_NEAR(v.at("incl"), 24.0, 0.5);
}

TEST(BatchSelect, ConditionsNarrowTheSelection)
{
    DemoMdb m;
    const struct {
        const char* name;
        std::vector<std::string> options;
        int low, high; // selected
    } cases[] = {
        {"everything", {}, 1031, 1031},
        {"the Geminids", {"--stream", "IAU_GEM"}, 200, 200},
        {"Geminids of vg 33-35", {"--stream", "IAU_GEM", "--vg", "34", "1"}, 100, 120},
        {"a radiant box", {"--ra", "113", "5", "--dec", "32", "5"}, 180, 200},
        {"two days of December 2018",
         {"--date", "2018-12-14", "--days", "1", "--all-years", "0"},
         100,
         140},
        // The March file holds one night: all 534 orbits, in 2022 or at its sol in any year.
        {"the March night", {"--date", "2022-03-05", "--days", "1", "--all-years", "0"}, 534, 534},
        {"the March night's sol in 2007",
         {"--date", "2007-03-05", "--days", "1", "--all-years", "1"},
         534,
         534},
        {"the March night's date in 2007",
         {"--date", "2007-03-05", "--days", "1", "--all-years", "0"},
         0,
         0},
        {"D' around the Geminid orbit",
         {"--orbit", "1.3", "0.142", "0.89", "324.7", "261.2", "24.0", "--dprime", "0.1"},
         170,
         185},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {m.mdb};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CommandRun r = run("select", args);
        ASSERT_EQ(r.status, kBatchOk) << r.err;
        const double selected = values(r.out).at("selected");
        EXPECT_GE(selected, c.low);
        EXPECT_LE(selected, c.high);
    }
}

TEST(BatchSelect, Failures)
{
    DemoMdb m;
    EXPECT_EQ(run("select", {m.mdb, "--stream", "NONE"}).status, kBatchFailed);
    EXPECT_EQ(run("select", {m.dir.file("missing")}).status, kBatchFailed);
    EXPECT_EQ(run("select", {m.mdb, "--vg", "34"}).status, kBatchUsage);
    EXPECT_EQ(run("select", {m.mdb, "--date", "2018-12"}).status, kBatchUsage);
    EXPECT_EQ(run("select", {m.mdb, "--colour", "1"}).status, kBatchUsage);
    EXPECT_EQ(run("select", {}).status, kBatchUsage);
}

TEST(BatchExportSelection, WritesTheSelectedOrbitsOutsideTheOrbitsFolder)
{
    DemoMdb m;
    const std::string out = m.dir.file("gem.csv");
    const CommandRun r = run("export-selection", {m.mdb, out, "--stream", "IAU_GEM"});
    ASSERT_EQ(r.status, kBatchOk) << r.err;
    EXPECT_EQ(r.out, "exported 200\n");
    const std::string text = readFileBytes(out);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 201);
    EXPECT_EQ(text.substr(0, 14), "_Version,_OID,");
    const std::string inOrbits = m.mdb + "/orbits/O_gem.csv";
    EXPECT_EQ(run("export-selection", {m.mdb, inOrbits, "--stream", "IAU_GEM"}).status,
              kBatchFailed);
    EXPECT_FALSE(fs::exists(inOrbits));
}

// The Geminids counted per degree of sol: their 200 orbits all in the GEM column.
TEST(BatchStreamCount, CountsTheSelectionPerStream)
{
    DemoMdb m;
    const std::string out = m.dir.file("count.csv");
    const CommandRun r = run("stream-count", {m.mdb, out, "--stream", "IAU_GEM"});
    ASSERT_EQ(r.status, kBatchOk) << r.err;
    std::istringstream lines(readFileBytes(out));
    std::string header, line;
    std::getline(lines, header);
    EXPECT_EQ(header.substr(0, 8), "sol(deg)");
    std::vector<std::string> codes;
    std::istringstream names(header.substr(0, header.find('\r')));
    for (std::string name; std::getline(names, name, ',');)
        codes.push_back(name);
    const auto gem = std::find(codes.begin(), codes.end(), "IAU_GEM") - codes.begin();
    ASSERT_LT(static_cast<std::size_t>(gem), codes.size()) << header;
    long total = 0, gemTotal = 0;
    int rows = 0;
    for (; std::getline(lines, line); ++rows) {
        std::istringstream fields(line);
        std::string field;
        for (long column = 0; std::getline(fields, field, ','); ++column) {
            if (column > 0)
                total += std::stol(field);
            if (column == gem)
                gemTotal += std::stol(field);
        }
    }
    EXPECT_EQ(rows, 360);
    EXPECT_EQ(gemTotal, 200);
    EXPECT_EQ(total, 200);
    EXPECT_EQ(run("stream-count", {m.mdb, m.mdb + "/orbits/O_count.csv"}).status, kBatchFailed);
}

} // namespace
