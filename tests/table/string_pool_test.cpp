// The string pool: size classes, free lists, the free byte, blocks and fatal paths.
#include <gtest/gtest.h>

#include <string>

#include "table/string_pool.h"
#include "table_test_support.h"

namespace {

std::string textOf(std::size_t length, char fill = 'x') { return std::string(length, fill); }

} // namespace

TEST(StringPool, SlotSizeIsEightTimesClassPlusOne)
{
    // Slot of n characters: 8 * (floor(n / 8) + 1) bytes, the terminating zero included.
    const struct {
        std::size_t length;
        std::ptrdiff_t slot;
    } cases[] = {{1, 8}, {7, 8}, {8, 16}, {15, 16}, {16, 24}, {100, 104}, {248, 256}, {255, 256}};
    for (const auto& c : cases) {
        UCBUF pool;
        const char* first = pool.pool(textOf(c.length));
        const char* second = pool.pool("y");
        EXPECT_EQ(second - first, c.slot) << c.length << " characters";
    }
}

TEST(StringPool, CopiesTheTextWithItsTerminatingZero)
{
    UCBUF pool;
    std::string source = "Perseids";
    const char* handle = pool.pool(source);
    source[0] = 'X';
    EXPECT_STREQ(handle, "Perseids");
    EXPECT_EQ(pool.pool(""), nullptr);
}

TEST(StringPool, FreedSlotServesItsOwnClassLastInFirstOut)
{
    UCBUF pool;
    const char* a = pool.pool(textOf(10));
    const char* b = pool.pool(textOf(12));
    pool.pool("keeps a and b below the free byte");
    pool.release(a);
    pool.release(b);
    EXPECT_NE(pool.pool(textOf(3)), b) << "class 0 must not take a class-1 slot";
    EXPECT_EQ(pool.pool(textOf(9)), b);
    EXPECT_EQ(pool.pool(textOf(15)), a);
}

TEST(StringPool, ReleasingTheLastSlotMovesTheFreeByteBack)
{
    UCBUF pool;
    pool.pool(textOf(5));
    const char* last = pool.pool(textOf(20));
    pool.release(last);
    // Not on a free list: a text of another class gets the same place.
    const char* other = pool.pool(textOf(100));
    EXPECT_EQ(other, last);
    EXPECT_EQ(pool.pool("z") - other, 104);
}

TEST(StringPool, FullBlockAppendsAnotherAndOlderBlocksServeFirst)
{
    UCBUF pool;
    // 2,097,088 bytes of text space hold 8191 slots of 256 bytes, leaving 192.
    const char* first = pool.pool(textOf(255));
    for (int i = 1; i < 8191; ++i)
        pool.pool(textOf(255));
    EXPECT_EQ(pool.blockCount(), 1u);
    const char* newer = pool.pool(textOf(255));
    EXPECT_EQ(pool.blockCount(), 2u);
    EXPECT_NE(newer, first + 8191 * 256);
    // 104 bytes still fit in the older block's last 192.
    EXPECT_EQ(pool.pool(textOf(100)), first + 8191 * 256);
    pool.release(first);
    EXPECT_EQ(pool.pool(textOf(250)), first);
}

TEST(StringPoolDeathTest, FatalErrors)
{
    UCBUF pool;
    EXPECT_EXIT(pool.pool(textOf(256)), kFatalExit, "Too long str to UCBUF");
    const char notPooled[] = "stack";
    EXPECT_EXIT(pool.release(notPooled), kFatalExit, "Delete string not found");
    SKIP_UNDER_ADDRESS_SANITIZER();
    EXPECT_EXIT(
        {
            limitAddressSpace(1 << 20);
            pool.pool("needs the first block");
        },
        kFatalExit, "Cannot allocate UCBUF");
}
