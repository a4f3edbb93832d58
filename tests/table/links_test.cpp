// Link lists, link-table building against a scan oracle, and rebuilding.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/scripted_ui.h"
#include "table/id_index.h"
#include "table/links.h"
#include "table_test_support.h"

namespace {

// Owners and targets: two tables of the test layout sharing one pool; a link table.
constexpr UColumnDef kLinkColumns[] = {{kTypeUnsigned, 0, "exist"},
                                       {kTypeUnsigned, 1, "owner"},
                                       {kTypeUnsigned, 1, "target"},
                                       {kTypeInt, 0, "itemdata"}};
constexpr UTableDef kLinkDef{"L.csv", 9, 100, 4, kLinkColumns};

struct LinkedTables {
    LinkedTables()
    {
        owners.initialise(kTestDef, pools);
        targets.initialise(kTestDef, pools);
        linkTable.initialise(kLinkDef, pools);
    }
    int addRow(CUTABLE& table, std::uint32_t id)
    {
        const int row = table.addRow();
        table.cell(row, tcol::id)->number = id;
        return row;
    }
    CellRef owner(int row) { return {&owners, row, tcol::links}; }
    CellRef target(int row) { return {&targets, row, tcol::links}; }
    LinkEnds ownerEnds() { return {owners, tcol::id, tcol::links}; }
    LinkEnds targetEnds() { return {targets, tcol::id, tcol::links}; }
    void addLinkRow(std::uint32_t ownerId, std::uint32_t targetId)
    {
        const int row = linkTable.addRow();
        linkTable.cell(row, kLinkOwnerIdColumn)->number = ownerId;
        linkTable.cell(row, kLinkTargetIdColumn)->number = targetId;
    }

    TablePools pools;
    CUTABLE owners;
    CUTABLE targets;
    CUTABLE linkTable;
};

// A list as (partner row, or -1 - held ID for an unresolved node), checking
// that the previous of the first node is the last and partners point back.
std::vector<long> listOf(const CUTABLE& table, int row)
{
    std::vector<long> entries;
    const LinkNode* last = nullptr;
    for (const LinkNode& node : linksOf(table, row, tcol::links)) {
        if (node.resolved()) {
            EXPECT_EQ(node.partner->partner, &node);
            EXPECT_EQ(node.partner->partnerCell,
                      (CellRef{const_cast<CUTABLE*>(&table), row, tcol::links}));
            entries.push_back(node.partnerCell.row);
        } else {
            entries.push_back(-1 - static_cast<long>(node.heldId));
        }
        last = &node;
    }
    if (last) {
        EXPECT_EQ(table.cell(row, tcol::links)->links->previous, last);
    }
    return entries;
}

using Lists = std::vector<std::vector<long>>;

Lists allLists(const CUTABLE& table)
{
    Lists lists;
    for (int row = 0; row < table.count(); ++row)
        lists.push_back(table.isLive(row) ? listOf(table, row) : std::vector<long>{});
    return lists;
}

// The scan the hash index replaces: the first live row with the ID.
int scanForId(const CUTABLE& table, std::uint32_t id)
{
    for (int row = 0; row < table.count(); ++row)
        if (table.isLive(row) && table.cell(row, tcol::id)->number == id)
            return row;
    return -1;
}

} // namespace

TEST(Links, LinkingTwiceMakesOneLinkSeenFromBothSides)
{
    LinkedTables t;
    t.addRow(t.owners, 1);
    t.addRow(t.targets, 10);
    t.addRow(t.targets, 11);
    link(t.owner(0), t.target(1));
    link(t.owner(0), t.target(1));
    link(t.target(1), t.owner(0));
    link(t.owner(0), t.target(0));
    EXPECT_EQ(listOf(t.owners, 0), (std::vector<long>{1, 0}));
    EXPECT_EQ(listOf(t.targets, 1), (std::vector<long>{0}));
    EXPECT_TRUE(isLinked(t.owner(0), t.target(1)));
    EXPECT_TRUE(isLinked(t.target(0), t.owner(0)));
    EXPECT_EQ(partnerId(*linksOf(t.owners, 0, tcol::links).begin(), tcol::id), 11u);
}

TEST(Links, UnlinkRemovesThePairAndKeepsTheOrderOfTheRest)
{
    LinkedTables t;
    t.addRow(t.owners, 1);
    for (std::uint32_t id = 10; id < 15; ++id)
        link(t.owner(0), t.target(t.addRow(t.targets, id)));
    unlink(t.owner(0), t.target(2)); // middle
    unlink(t.target(0), t.owner(0)); // first, from the other side
    unlink(t.owner(0), t.target(4)); // last
    unlink(t.owner(0), t.target(4)); // not linked any more: nothing happens
    EXPECT_EQ(listOf(t.owners, 0), (std::vector<long>{1, 3}));
    EXPECT_TRUE(linksOf(t.targets, 4, tcol::links).empty());
    link(t.owner(0), t.target(0));
    EXPECT_EQ(listOf(t.owners, 0), (std::vector<long>{1, 3, 0})) << "appends after the new last";
    EXPECT_FALSE(isLinked(t.owner(0), t.target(2)));
}

TEST(Links, RemovedNodesAreRecycledFirst)
{
    LinkedTables t;
    t.addRow(t.owners, 1);
    t.addRow(t.targets, 10);
    link(t.owner(0), t.target(0));
    const LinkNode* ownerNode = t.owners.cell(0, tcol::links)->links;
    const LinkNode* targetNode = t.targets.cell(0, tcol::links)->links;
    unlink(t.owner(0), t.target(0));
    EXPECT_EQ(t.pools.nodes.take(), targetNode);
    EXPECT_EQ(t.pools.nodes.take(), ownerNode);
}

TEST(Links, ClearLinksRemovesPartnersAndUnresolvedNodes)
{
    LinkedTables t;
    t.addRow(t.owners, 1);
    t.addRow(t.owners, 2);
    t.addRow(t.targets, 10);
    t.addRow(t.targets, 11);
    t.addLinkRow(1, 10);
    t.addLinkRow(1, 99);
    t.addLinkRow(1, 11);
    t.addLinkRow(2, 10);
    buildLinks(t.linkTable, t.ownerEnds(), t.targetEnds());
    EXPECT_EQ(listOf(t.owners, 0), (std::vector<long>{0, -100, 1}));
    clearLinks(t.owners, 0, tcol::links);
    EXPECT_EQ(allLists(t.owners), (Lists{{}, {0}}));
    EXPECT_EQ(allLists(t.targets), (Lists{{1}, {}}));
}

TEST(Links, RebuildWritesOwnerOrderThenLinkOrderWithHeldIds)
{
    ScopedScriptedUi scripted;
    LinkedTables t;
    t.addRow(t.owners, 2);
    t.addRow(t.owners, 1);
    t.addRow(t.targets, 10);
    t.addRow(t.targets, 11);
    for (auto [ownerId, targetId] : std::vector<std::pair<std::uint32_t, std::uint32_t>>{
             {1, 11}, {2, 77}, {3, 10}, {1, 10}, {2, 10}, {1, 11}})
        t.addLinkRow(ownerId, targetId);
    buildLinks(t.linkTable, t.ownerEnds(), t.targetEnds());
    EXPECT_EQ(scripted->messages(),
              std::vector<std::string>{" Link table contains unknown id 3 -- 10"});
    rebuildLinkTable(t.linkTable, t.ownerEnds(), tcol::id);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> rows;
    for (int row = 0; row < t.linkTable.count(); ++row)
        rows.emplace_back(t.linkTable.cell(row, kLinkOwnerIdColumn)->number,
                          t.linkTable.cell(row, kLinkTargetIdColumn)->number);
    // Owner 2 (row 0) first: 77 unresolved, then 10; owner 1: 11, 10 (the repeat is one link).
    EXPECT_EQ(rows, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                        {2, 77}, {2, 10}, {1, 11}, {1, 10}}));
}

TEST(Links, HashedBuildMatchesTheScanOnRandomTables)
{
    std::mt19937 random(2000);
    for (int round = 0; round < 20; ++round) {
        ScopedScriptedUi scripted;
        LinkedTables t;
        std::uniform_int_distribution<std::uint32_t> ownerIds(1, 40), targetIds(100, 260);
        for (int i = 0; i < 60; ++i)
            t.addRow(t.owners, ownerIds(random)); // duplicates on purpose
        for (int i = 0; i < 150; ++i)
            t.addRow(t.targets, targetIds(random));
        for (int i = 0; i < 15; ++i) {
            t.owners.deleteRow(static_cast<int>(random() % 60));
            t.targets.deleteRow(static_cast<int>(random() % 150));
        }
        for (int i = 0; i < 400; ++i)
            t.addLinkRow(ownerIds(random) + (i % 13 == 0 ? 1000 : 0), targetIds(random));

        // The oracle: scans, and links kept as (owner row, target row or -1 - ID) in order.
        Lists expectedOwners(60), expectedTargets(150);
        std::vector<std::string> expectedMessages;
        for (int row = 0; row < t.linkTable.count(); ++row) {
            const std::uint32_t ownerId = t.linkTable.cell(row, 1)->number;
            const std::uint32_t targetId = t.linkTable.cell(row, 2)->number;
            const int ownerRow = scanForId(t.owners, ownerId);
            const int targetRow = scanForId(t.targets, targetId);
            if (ownerRow < 0) {
                expectedMessages.push_back(" Link table contains unknown id " +
                                           std::to_string(ownerId) + " -- " +
                                           std::to_string(targetId));
                continue;
            }
            std::vector<long>& ownerList = expectedOwners[static_cast<std::size_t>(ownerRow)];
            if (targetRow < 0) {
                ownerList.push_back(-1 - static_cast<long>(targetId));
            } else if (std::find(ownerList.begin(), ownerList.end(), targetRow) ==
                       ownerList.end()) {
                ownerList.push_back(targetRow);
                expectedTargets[static_cast<std::size_t>(targetRow)].push_back(ownerRow);
            }
        }
        buildLinks(t.linkTable, t.ownerEnds(), t.targetEnds());
        ASSERT_EQ(allLists(t.owners), expectedOwners) << "round " << round;
        ASSERT_EQ(allLists(t.targets), expectedTargets) << "round " << round;
        ASSERT_EQ(scripted->messages(), expectedMessages) << "round " << round;
    }
}

TEST(IdIndex, FindsTheFirstLiveRowAndTheLaterOnesLikeTheScan)
{
    PooledTable t;
    std::mt19937 random(7);
    for (int i = 0; i < 500; ++i) {
        const int row = t.table.addRow();
        t.table.cell(row, tcol::id)->number = static_cast<std::uint32_t>(random() % 300) * 100000u;
        if (random() % 5 == 0)
            t.table.deleteRow(row);
    }
    const IdIndex index(t.table, tcol::id);
    for (std::uint32_t id = 0; id < 310; ++id)
        ASSERT_EQ(index.find(id * 100000u), scanForId(t.table, id * 100000u)) << id;
    std::vector<std::pair<int, int>> duplicates, expected;
    for (const IdIndex::Duplicate& twice : index.duplicates())
        duplicates.emplace_back(twice.firstRow, twice.row);
    for (int row = 0; row < t.table.count(); ++row)
        if (t.table.isLive(row)) {
            const int first = scanForId(t.table, t.table.cell(row, tcol::id)->number);
            if (first != row)
                expected.emplace_back(first, row);
        }
    EXPECT_EQ(duplicates, expected);
}

TEST(LinksDeathTest, LinkingADeletedRowIsFatal)
{
    LinkedTables t;
    t.addRow(t.owners, 1);
    t.addRow(t.targets, 10);
    t.targets.deleteRow(0);
    EXPECT_EXIT(link(t.owner(0), t.target(0)), kFatalExit, "UT recored was deteled");
}
