// The batch command map: a BMP of each map from a database folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "batch_test_support.h"
#include "maps/bmp_writer.h"
#include "support/test_support.h"

namespace {

std::string demoMdb() { return std::string(ORVANTELLA_SOURCE_DIR) + "/data/demo/MDB"; }

} // namespace

TEST(MapCommand, WritesEachMapAsABmpOfTheAskedSizeOrAPng)
{
    TempDir dir;
    // The star catalogue is looked for in the current folder first.
    std::filesystem::copy_file(std::string(ORVANTELLA_SOURCE_DIR) + "/data/VexoStarMap.txt",
                               dir.file("VexoStarMap.txt"));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    for (const char* kind : {"sky", "radiant", "orbit"}) {
        const std::string out = dir.file(std::string(kind) + ".bmp");
        const CommandRun run = runBatchCommand(
            mapCommands(), "map",
            {demoMdb(), kind, out, "--width", "203", "--height", "101", "--date", "2018-12-14"});
        EXPECT_EQ(run.status, kBatchOk) << kind << run.err;
        const std::string bytes = readFileBytes(out);
        // 203 x 101 rounds down to 200 x 100.
        ASSERT_EQ(bytes.size(), 54u + 200 * 100 * 3) << kind;
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        // The Orbit page's conditions as options: the Geminids alone make another picture.
        const std::string geminids = dir.file(std::string(kind) + "_gem.bmp");
        EXPECT_EQ(runBatchCommand(mapCommands(), "map",
                                  {demoMdb(), kind, geminids, "--width", "203", "--height", "101",
                                   "--date", "2018-12-14", "--stream", "IAU_GEM"})
                      .status,
                  kBatchOk)
            << kind;
        const std::string geminidBytes = readFileBytes(geminids);
        EXPECT_EQ(geminidBytes.size(), bytes.size()) << kind;
        EXPECT_NE(geminidBytes, bytes) << kind;
    }
    // A name ending in .png gets a PNG file.
    const std::string png = dir.file("sky.png");
    EXPECT_EQ(runBatchCommand(mapCommands(), "map", {demoMdb(), "sky", png}).status, kBatchOk);
    EXPECT_EQ(readFileBytes(png).substr(0, 4), "\x89PNG");
    std::filesystem::current_path(before);
}

TEST(MapCommand, UsageErrors)
{
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {"unknown map", {demoMdb(), "star", "x.bmp"}, kBatchUsage},
        {"missing output", {demoMdb(), "sky"}, kBatchUsage},
        {"zero width", {demoMdb(), "sky", "x.bmp", "--width", "0"}, kBatchUsage},
        {"unknown option", {demoMdb(), "sky", "x.bmp", "--depth", "3"}, kBatchUsage},
        {"no such folder", {"/nonexistent/MDB", "sky", "x.bmp"}, kBatchFailed},
        {"bad condition", {demoMdb(), "sky", "x.bmp", "--days", "x"}, kBatchUsage},
        {"no such stream", {demoMdb(), "sky", "x.bmp", "--stream", "IAU_NONE"}, kBatchFailed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(runBatchCommand(mapCommands(), "map", c.args).status, c.status) << c.name;
}
