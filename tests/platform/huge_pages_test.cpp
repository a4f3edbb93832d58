// Mapped blocks: zeroed, writable to their last byte, and on a huge page boundary when large.
#include "platform/huge_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

TEST(HugePages, BlocksAreZeroedWritableAndAlignedWhenLarge)
{
    for (std::size_t bytes :
         {std::size_t{1}, std::size_t{4095}, std::size_t{4097}, kHugePageBytes - 1, kHugePageBytes,
          kHugePageBytes + 1, 16 * kHugePageBytes + 8}) {
        auto* block = static_cast<unsigned char*>(mapZeroedPages(bytes));
        ASSERT_NE(block, nullptr) << bytes;
        EXPECT_TRUE(std::all_of(block, block + bytes, [](unsigned char c) { return c == 0; }))
            << bytes;
        std::fill(block, block + bytes, 0xA5);
        EXPECT_EQ(block[bytes - 1], 0xA5) << bytes;
        if (bytes >= kHugePageBytes) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % kHugePageBytes, 0u) << bytes;
        }
        unmapPages(block, bytes);
    }
}

TEST(ZeroedBlocks, EachBlockTakenIsZeroedAndItsOwnAcrossRestarts)
{
    ZeroedBlocks blocks;
    for (std::size_t bytes : {std::size_t{5000}, 3 * kHugePageBytes + 1}) {
        blocks.restart(bytes);
        std::vector<unsigned char*> taken;
        for (int i = 0; i < 4; ++i) {
            auto* block = static_cast<unsigned char*>(blocks.take());
            ASSERT_NE(block, nullptr);
            EXPECT_TRUE(std::all_of(block, block + bytes, [](unsigned char c) { return c == 0; }));
            std::fill(block, block + bytes, static_cast<unsigned char>(i + 1));
            taken.push_back(block);
        }
        for (std::size_t i = 0; i < taken.size(); ++i) {
            EXPECT_EQ(taken[i][bytes - 1], i + 1);
            unmapPages(taken[i], bytes);
        }
    }
}
