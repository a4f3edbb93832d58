// Files replaced together: a commit interrupted after its record landed is completed at the
// next load, one interrupted before is rolled back; only a writer's own temporary files are
// ever removed; symbolic links are written through and non-regular files refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "support/test_support.h"
#include "table/text_file.h"

namespace fs = std::filesystem;

namespace {

// No process has this ID (above the largest the kernel hands out).
constexpr const char* kDeadSuffix = ".saving-999999999-3";

struct InterruptedCase {
    std::string name;
    bool recordLanded;
    int replacedBeforeCrash; // of the three files
};

void PrintTo(const InterruptedCase& c, std::ostream* out) { *out << c.name; }

class InterruptedCommit : public ::testing::TestWithParam<InterruptedCase> {};

} // namespace

TEST_P(InterruptedCommit, IsCompletedWhenItsRecordLandedAndRolledBackOtherwise)
{
    const InterruptedCase& c = GetParam();
    TempDir dir;
    fs::create_directory(dir.path() / "orbits");
    const std::vector<std::string> targets = {dir.file("UList.csv"), dir.file("UStream.csv"),
                                              dir.file("orbits/O_a.csv")};
    std::string record = std::string(kDeadSuffix) + "\n";
    for (std::size_t n = 0; n < targets.size(); ++n) {
        writeFileBytes(targets[n], "old");
        writeFileBytes(targets[n] + kDeadSuffix, "new");
        if (static_cast<int>(n) < c.replacedBeforeCrash)
            fs::rename(targets[n] + kDeadSuffix, targets[n]);
        record += targets[n] + "\n";
    }
    if (c.recordLanded)
        writeFileBytes(dir.file(FileTransaction::kRecordName), record);

    EXPECT_EQ(completeInterruptedCommit(dir.str()), c.recordLanded);
    removeStaleTemporaries(dir.str(), [](std::string_view) { return true; });
    removeStaleTemporaries(dir.file("orbits"), [](std::string_view) { return true; });
    for (const std::string& target : targets) {
        EXPECT_EQ(readFileBytes(target),
                  c.recordLanded || c.replacedBeforeCrash > 0 ? "new" : "old")
            << target;
        EXPECT_FALSE(fs::exists(target + kDeadSuffix)) << target;
    }
    EXPECT_FALSE(fs::exists(dir.file(FileTransaction::kRecordName)));
}

INSTANTIATE_TEST_SUITE_P(Crashes, InterruptedCommit,
                         ::testing::Values(InterruptedCase{"BeforeTheRecord", false, 0},
                                           InterruptedCase{"AfterTheRecord", true, 0},
                                           InterruptedCase{"BetweenReplacements", true, 2},
                                           InterruptedCase{"BeforeTheRecordWasRemoved", true, 3}),
                         caseName);

TEST(FileTransaction, CommitReplacesEveryFileAndAFailureBeforeTheRecordReplacesNone)
{
    TempDir dir;
    for (const int failAt : {-1, 0, 3, 5, 6}) {
        for (const char* name : {"a.csv", "b.csv"})
            writeFileBytes(dir.file(name), "old");
        bool committed = false;
        {
            WriteFailureInjection injection(failAt);
            FileTransaction transaction(dir.str());
            bool written = true;
            for (const char* name : {"a.csv", "b.csv"}) {
                AtomicFileWriter out(dir.file(name), &transaction);
                written &= out.open();
                out.append("new");
                written &= out.commit();
            }
            committed = written && transaction.commit();
        }
        for (const char* name : {"a.csv", "b.csv"})
            EXPECT_EQ(readFileBytes(dir.file(name)), committed ? "new" : "old") << failAt;
        EXPECT_EQ(committed, failAt < 0) << failAt;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2)
            << "a temporary file or the record is left at " << failAt;
    }
}

TEST(StaleTemporaries, OnlyAWritersOwnNamesForItsOwnTargetsGo)
{
    TempDir dir;
    const std::vector<std::pair<std::string, bool>> files = {
        {std::string("UStream.csv") + kDeadSuffix, true},
        {"budget.saving-99999999.xlsx", false},
        {std::string("budget.xlsx") + kDeadSuffix, false},
        {std::string("UStream.csv") + kDeadSuffix + ".bak", false},
        {"UStream.csv.saving-1-x", false},
    };
    for (const auto& [name, removed] : files)
        writeFileBytes(dir.file(name), "x");
    removeStaleTemporaries(dir.str(),
                           [](std::string_view target) { return target == "UStream.csv"; });
    for (const auto& [name, removed] : files)
        EXPECT_EQ(fs::exists(dir.file(name)), !removed) << name;
}

TEST(AtomicFileWriter, WritesThroughASymbolicLinkAndRefusesAFifo)
{
    TempDir dir;
    fs::create_directory(dir.path() / "elsewhere");
    writeFileBytes(dir.file("elsewhere/UList.csv"), "old");
    fs::create_symlink(dir.file("elsewhere/UList.csv"), dir.file("UList.csv"));
    AtomicFileWriter linked(dir.file("UList.csv"));
    ASSERT_TRUE(linked.open());
    linked.append("new");
    ASSERT_TRUE(linked.commit());
    EXPECT_TRUE(fs::is_symlink(dir.file("UList.csv")));
    EXPECT_EQ(readFileBytes(dir.file("elsewhere/UList.csv")), "new");

    ASSERT_EQ(::mkfifo(dir.file("UStream.csv").c_str(), 0600), 0);
    AtomicFileWriter fifo(dir.file("UStream.csv"));
    EXPECT_FALSE(fifo.open());
    TextLineReader reader;
    EXPECT_FALSE(reader.open(dir.file("UStream.csv"))) << "a FIFO is refused, not waited on";
    EXPECT_TRUE(fs::is_fifo(dir.file("UStream.csv")));
}
