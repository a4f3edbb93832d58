// A list import on a small file system that fills up at different points of its save:
// either the whole import lands or every file of the database stays as it was.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "batch/batch_command.h"
#include "batch_test_support.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

// The demo database and the import's new tables fit in this.
constexpr long kFileSystemBytes = 1024 * 1024;

std::map<std::string, std::string> contents(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files[entry.path().string()] = entry.is_regular_file()
                                           ? readFileBytes(entry.path().string())
                                           : std::string("(not a file)");
    return files;
}

// In a private mount namespace (this process only), a fresh small tmpfs at the folder.
bool mountSmallFileSystem(const fs::path& folder)
{
    const std::string size = "size=" + std::to_string(kFileSystemBytes);
    return unshare(CLONE_NEWNS) == 0 &&
           mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount("tmpfs", folder.c_str(), "tmpfs", 0, size.c_str()) == 0;
}

// Fills the file system, then frees about `free` bytes of it again.
void leaveFree(const fs::path& folder, long free)
{
    const std::string filler = (folder / "filler").string();
    const int fd = open(filler.c_str(), O_WRONLY | O_CREAT, 0600);
    const std::string block(4096, 'x');
    while (write(fd, block.data(), block.size()) > 0) {
    }
    const off_t full = lseek(fd, 0, SEEK_END);
    if (ftruncate(fd, full > free ? full - free : 0) != 0)
        std::perror("ftruncate");
    close(fd);
}

// Runs in a child process: exits 0 when the import either landed or changed nothing.
[[noreturn]] void importOnAFullDisk(const fs::path& mount, long free, int expected)
{
    if (!mountSmallFileSystem(mount))
        std::_Exit(77);
    const fs::path mdb = mount / "MDB";
    fs::copy(fs::path(ORVANTELLA_SOURCE_DIR) / "data/demo/MDB", mdb, fs::copy_options::recursive);
    leaveFree(mount, free);
    const auto before = contents(mdb);
    ScopedScriptedUi scripted;
    const CommandRun run = runBatchCommand(
        streamListCommands(), "list-import",
        {mdb.string(), projectDataFile("sources/iau_mdc_showers.psv").string(), "--dsid", "WK"});
    const bool unchanged = contents(mdb) == before;
    std::fprintf(stderr, "status %d, %s\n%s", run.status, unchanged ? "unchanged" : "changed",
                 run.err.c_str());
    const bool ok = run.status == expected && unchanged == (run.status != kBatchOk);
    std::_Exit(ok ? 0 : 1);
}

// Whether this process may mount a file system of its own (root, or a CI without the right).
bool canMountPrivately(const fs::path& folder)
{
    const pid_t child = fork();
    if (child == 0)
        std::_Exit(mountSmallFileSystem(folder) ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct FullDiskCase {
    std::string name;
    long freeBytes;
    int status;
};

void PrintTo(const FullDiskCase& c, std::ostream* out) { *out << c.name; }

class FullDisk : public ::testing::TestWithParam<FullDiskCase> {};

} // namespace

TEST_P(FullDisk, ImportLandsWholeOrChangesNothing)
{
    const FullDiskCase& c = GetParam();
    TempDir dir;
    if (!canMountPrivately(dir.path()))
        GTEST_SKIP() << "no private mount namespace here: the write-failure seam covers saves";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(importOnAFullDisk(dir.path(), c.freeBytes, c.status), testing::ExitedWithCode(0),
                "");
}

// The save writes every table and orbit file (about 300 kB) before replacing any.
INSTANTIATE_TEST_SUITE_P(
    Room, FullDisk,
    ::testing::Values(FullDiskCase{"Room for one page", 4096, kBatchFailed},
                      FullDiskCase{"Room for the tables", 64 * 1024, kBatchFailed},
                      FullDiskCase{"Room for one orbit file", 160 * 1024, kBatchFailed},
                      FullDiskCase{"Room for all", 600 * 1024, kBatchOk}),
    caseName);
