// One writer per MDB folder: a writer excludes every other holder, readers share, the refusal
// names the holder's process, and the lock of a process that died never blocks.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "mdb/mdb_lock.h"
#include "support/test_support.h"

namespace {

struct LockCase {
    std::string name;
    MdbAccess held;
    MdbAccess wanted;
    bool refused;
};

void PrintTo(const LockCase& c, std::ostream* out) { *out << c.name; }

class LockConflict : public ::testing::TestWithParam<LockCase> {};

} // namespace

TEST_P(LockConflict, ASecondHolderIsRefusedExactlyWhenEitherWrites)
{
    const LockCase& c = GetParam();
    TempDir dir;
    std::string refusal;
    const std::optional<MdbLock> first = MdbLock::take(dir.str(), c.held, refusal);
    ASSERT_TRUE(first && first->held()) << refusal;
    const std::optional<MdbLock> second = MdbLock::take(dir.str(), c.wanted, refusal);
    EXPECT_EQ(!second, c.refused);
    if (c.refused)
        EXPECT_EQ(refusal, dir.str() + " is in use by process " + std::to_string(::getpid()) +
                               "\nTry again once it has ended");
}

INSTANTIATE_TEST_SUITE_P(
    Access, LockConflict,
    ::testing::Values(LockCase{"WriterThenWriter", MdbAccess::Write, MdbAccess::Write, true},
                      LockCase{"WriterThenReader", MdbAccess::Write, MdbAccess::Read, true},
                      LockCase{"ReaderThenWriter", MdbAccess::Read, MdbAccess::Write, true},
                      LockCase{"ReaderThenReader", MdbAccess::Read, MdbAccess::Read, false}),
    caseName);

TEST(MdbLock, IsFreeOnceReleasedOrItsProcessIsKilled)
{
    TempDir dir;
    std::string refusal;
    std::optional<MdbLock> lock = MdbLock::take(dir.str(), MdbAccess::Write, refusal);
    ASSERT_TRUE(lock);
    lock->release();
    ASSERT_TRUE(MdbLock::take(dir.str(), MdbAccess::Write, refusal)) << refusal;

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        std::string ignored;
        const std::optional<MdbLock> held = MdbLock::take(dir.str(), MdbAccess::Write, ignored);
        const char byte = held ? 1 : 0;
        static_cast<void>(::write(ready[1], &byte, 1));
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ASSERT_EQ(byte, 1);
    EXPECT_FALSE(MdbLock::take(dir.str(), MdbAccess::Write, refusal));
    EXPECT_NE(refusal.find("process " + std::to_string(child)), std::string::npos) << refusal;
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(MdbLock::take(dir.str(), MdbAccess::Write, refusal)) << refusal;
    ::close(ready[0]);
    ::close(ready[1]);
}
