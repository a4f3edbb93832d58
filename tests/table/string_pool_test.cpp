// The string pool: size classes, free lists, the free byte, blocks and fatal paths.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "table/string_pool.h"
#include "table_test_support.h"

namespace {

std::string textOf(std::size_t length, char fill = 'x') { return std::string(length, fill); }

// The pool as first written: every text tries the blocks from the oldest, a free slot of its
// class before the free byte; a slot is (block, offset).
class ReferencePool {
public:
    struct Slot {
        std::size_t block;
        std::uint32_t offset;
        bool operator==(const Slot&) const = default;
    };
    Slot pool(std::size_t length)
    {
        const std::size_t sizeClass = length / 8;
        for (std::size_t b = 0;; ++b) {
            if (b == m_blocks.size())
                m_blocks.push_back({});
            Block& block = m_blocks[b];
            if (!block.freed[sizeClass].empty()) {
                const std::uint32_t offset = block.freed[sizeClass].back();
                block.freed[sizeClass].pop_back();
                return {b, offset};
            }
            if (UCBUF::kSpaceBytes - block.nextFree > length + 1) {
                block.nextFree += static_cast<std::uint32_t>(UCBUF::slotSize(length));
                return {b, block.nextFree - static_cast<std::uint32_t>(UCBUF::slotSize(length))};
            }
        }
    }
    void release(Slot slot, std::size_t length)
    {
        Block& block = m_blocks[slot.block];
        if (slot.offset + UCBUF::slotSize(length) == block.nextFree)
            block.nextFree = slot.offset;
        else
            block.freed[length / 8].push_back(slot.offset);
    }

private:
    struct Block {
        std::uint32_t nextFree = 0;
        std::vector<std::uint32_t> freed[UCBUF::kClassCount];
    };
    std::vector<Block> m_blocks;
};

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

TEST(StringPool, AShorterTextFitsWhereALongerOneOfItsClassDidNot)
{
    // 8191 slots of 256 bytes leave 192: no room for 191 characters and their zero, room for 184.
    UCBUF pool;
    const char* first = pool.pool(textOf(255));
    for (int k = 1; k < 8191; ++k)
        pool.pool(textOf(255));
    const char* longer = pool.pool(textOf(191));
    EXPECT_EQ(pool.blockCount(), 2u);
    EXPECT_NE(longer, first + 8191 * 256);
    EXPECT_EQ(pool.pool(textOf(184)), first + 8191 * 256);
}

TEST(StringPool, PlacesEveryTextWhereTheOldestFirstScanWould)
{
    // Random texts and releases over several blocks: each handle must be the reference's slot.
    std::mt19937 random(25);
    UCBUF pool;
    ReferencePool reference;
    struct Live {
        const char* handle;
        ReferencePool::Slot slot;
        std::size_t length;
    };
    std::vector<Live> live;
    std::vector<const char*> blockStarts;
    for (int step = 0; step < 300000; ++step) {
        if (!live.empty() && random() % 4 == 0) {
            const std::size_t pick = random() % live.size();
            pool.release(live[pick].handle);
            reference.release(live[pick].slot, live[pick].length);
            live[pick] = live.back();
            live.pop_back();
            continue;
        }
        const std::size_t length = 1 + random() % (random() % 2 ? 255 : 30);
        const char* handle = pool.pool(textOf(length));
        const ReferencePool::Slot slot = reference.pool(length);
        if (slot.block == blockStarts.size())
            blockStarts.push_back(handle - slot.offset);
        ASSERT_EQ(handle, blockStarts[slot.block] + slot.offset) << "step " << step;
        live.push_back({handle, slot, length});
    }
    EXPECT_GE(pool.blockCount(), 4u);
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
