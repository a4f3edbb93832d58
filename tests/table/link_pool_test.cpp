// The link node pool: fresh nodes, recycling, blocks and reset.
#include <gtest/gtest.h>

#include "table/link_pool.h"
#include "table_test_support.h"

TEST(CellBuf, TakenNodeIsAloneAndUnresolved)
{
    CellBuf nodes;
    LinkNode* node = nodes.take();
    EXPECT_EQ(node->next, nullptr);
    EXPECT_EQ(node->previous, node);
    EXPECT_EQ(node->partner, nullptr);
    EXPECT_FALSE(node->resolved());
}

TEST(CellBuf, GivenBackNodesAreTakenAgainLastFirstAndCleaned)
{
    CellBuf nodes;
    LinkNode* a = nodes.take();
    LinkNode* b = nodes.take();
    LinkNode* c = nodes.take();
    c->partner = a;
    c->partnerCell.row = 9;
    nodes.giveBack(c);
    nodes.giveBack(b);
    EXPECT_EQ(nodes.take(), b);
    LinkNode* again = nodes.take();
    EXPECT_EQ(again, c);
    EXPECT_EQ(again->next, nullptr);
    EXPECT_EQ(again->partner, nullptr);
    EXPECT_EQ(again->partnerCell, CellRef{});
    EXPECT_EQ(nodes.take(), c + 1) << "free list empty: next never-used node";
}

TEST(CellBuf, BlocksHoldAHundredThousandNodesAndResetEmptiesThem)
{
    CellBuf nodes;
    LinkNode* first = nodes.take();
    for (std::size_t i = 1; i < CellBuf::kNodesPerBlock; ++i)
        nodes.take();
    EXPECT_EQ(nodes.blockCount(), 1u);
    LinkNode* second = nodes.take();
    EXPECT_EQ(nodes.blockCount(), 2u);
    nodes.giveBack(second);
    nodes.reset();
    EXPECT_EQ(nodes.take(), first) << "reset drops the free list and starts the oldest block again";
    EXPECT_EQ(nodes.blockCount(), 2u);
}

TEST(CellBufDeathTest, CannotAllocate)
{
    SKIP_UNDER_ADDRESS_SANITIZER();
    CellBuf nodes;
    EXPECT_EXIT(
        {
            limitAddressSpace(1 << 20);
            nodes.take();
        },
        kFatalExit, "Cannot allocate CellBuf");
}
