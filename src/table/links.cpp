// Link lists: pairs of nodes appended to and removed from the lists of two cells.
#include "table/links.h"

#include <algorithm>

#include "platform/ui.h"
#include "table/id_index.h"

namespace {

void append(LinkNode*& first, LinkNode* node)
{
    if (!first) {
        node->previous = node;
        first = node;
        return;
    }
    node->previous = first->previous;
    first->previous->next = node;
    first->previous = node;
}

void remove(LinkNode*& first, LinkNode* node)
{
    LinkNode* after = node->next ? node->next : first;
    after->previous = node->previous;
    if (node == first)
        first = node->next;
    else
        node->previous->next = node->next;
}

// The node of a's list whose partner cell is b. Links come in pairs, so
// either list answers and the shorter one ends the search: both are walked
// in step (an orbit has a few streams where a stream has thousands of orbits).
LinkNode* findLink(const LinkNode* aList, const CellRef& a, const LinkNode* bList, const CellRef& b)
{
    for (; aList && bList; aList = aList->next, bList = bList->next) {
        if (aList->partnerCell == b)
            return const_cast<LinkNode*>(aList);
        if (bList->partnerCell == a)
            return bList->partner;
    }
    return nullptr;
}

// The partner's cell may belong to a row deleted without clearing its links
// first; its list is still reached, without the existence check of cell().
LinkNode*& listOf(const CellRef& ref)
{
    return ref.table->cellForWriting(ref.row, ref.column)->links;
}

void appendUnresolved(CUTABLE& table, const CellRef& owner, std::uint32_t id)
{
    LinkNode* node = table.pools().nodes.take();
    node->heldId = id;
    append(table.cell(owner)->links, node);
}

// One link-table row: owner and target found through their indexes.
void linkIds(const IdIndex& owners, const LinkEnds& owner, const IdIndex& targets,
             const LinkEnds& target, std::uint32_t ownerId, std::uint32_t targetId)
{
    const int ownerRow = owners.find(ownerId);
    if (ownerRow < 0) {
        message(" Link table contains unknown id %u -- %u", ownerId, targetId);
        return;
    }
    const CellRef ownerCell{&owner.table, ownerRow, owner.linkColumn};
    const int targetRow = targets.find(targetId);
    if (targetRow >= 0)
        link(ownerCell, CellRef{&target.table, targetRow, target.linkColumn});
    else
        appendUnresolved(owner.table, ownerCell, targetId);
}

} // namespace

void link(const CellRef& a, const CellRef& b)
{
    LinkNode*& aList = a.table->cell(a)->links;
    LinkNode*& bList = b.table->cell(b)->links;
    if (findLink(aList, a, bList, b))
        return;
    CellBuf& nodes = a.table->pools().nodes;
    LinkNode* toB = nodes.take();
    LinkNode* toA = nodes.take();
    toB->partner = toA;
    toB->partnerCell = b;
    toA->partner = toB;
    toA->partnerCell = a;
    append(aList, toB);
    append(bList, toA);
}

void unlink(const CellRef& a, const CellRef& b)
{
    LinkNode*& aList = a.table->cell(a)->links;
    LinkNode*& bList = b.table->cell(b)->links;
    LinkNode* toB = findLink(aList, a, bList, b);
    if (!toB)
        return;
    LinkNode* toA = toB->partner;
    remove(aList, toB);
    remove(bList, toA);
    CellBuf& nodes = a.table->pools().nodes;
    nodes.giveBack(toB);
    nodes.giveBack(toA);
}

bool isLinked(const CellRef& a, const CellRef& b)
{
    return findLink(a.table->cell(a)->links, a, b.table->cell(b)->links, b) != nullptr;
}

void clearLinks(CUTABLE& table, int row, int column)
{
    LinkNode*& list = table.cell(row, column)->links;
    CellBuf& nodes = table.pools().nodes;
    while (list) {
        LinkNode* node = list;
        remove(list, node);
        if (node->resolved()) {
            remove(listOf(node->partnerCell), node->partner);
            nodes.giveBack(node->partner);
        }
        nodes.giveBack(node);
    }
}

std::uint32_t partnerId(const LinkNode& node, int idColumn)
{
    if (!node.resolved())
        return node.heldId;
    return static_cast<std::uint32_t>(
        node.partnerCell.table->integer(node.partnerCell.row, idColumn));
}

LinkList linksOf(const CUTABLE& table, int row, int column)
{
    return LinkList(table.cell(row, column)->links);
}

void buildLinks(const CUTABLE& linkTable, const LinkEnds& owner, const LinkEnds& target)
{
    if (linkTable.count() > 0)
        buildLinks(linkTable, owner, target, IdIndex(target.table, target.idColumn));
}

void buildLinks(const CUTABLE& linkTable, const LinkEnds& owner, const LinkEnds& target,
                const IdIndex& targets)
{
    if (linkTable.count() == 0)
        return;
    const IdIndex owners(owner.table, owner.idColumn);
    // Link-table rows go by batches whose index slots are fetched first;
    // the rows are still linked one by one in index order.
    constexpr int kBatch = 16;
    struct {
        std::uint32_t owner;
        std::uint32_t target;
    } ids[kBatch];
    for (int first = 0; first < linkTable.count(); first += kBatch) {
        const int last = std::min(first + kBatch, linkTable.count());
        for (int row = first; row < last; ++row) {
            auto& pair = ids[row - first];
            pair.owner = static_cast<std::uint32_t>(linkTable.integer(row, kLinkOwnerIdColumn));
            pair.target = static_cast<std::uint32_t>(linkTable.integer(row, kLinkTargetIdColumn));
            owners.prefetch(pair.owner);
            targets.prefetch(pair.target);
        }
        for (int row = first; row < last; ++row)
            if (linkTable.isLive(row))
                linkIds(owners, owner, targets, target, ids[row - first].owner,
                        ids[row - first].target);
    }
}

void rebuildLinkTable(CUTABLE& linkTable, const LinkEnds& owner, int targetIdColumn)
{
    linkTable.clear();
    for (int ownerRow = 0; ownerRow < owner.table.count(); ++ownerRow) {
        if (!owner.table.isLive(ownerRow))
            continue;
        const std::uint32_t ownerId = owner.table.cell(ownerRow, owner.idColumn)->number;
        for (const LinkNode& node : linksOf(owner.table, ownerRow, owner.linkColumn)) {
            const int row = linkTable.addRow();
            linkTable.cell(row, kLinkOwnerIdColumn)->number = ownerId;
            linkTable.cell(row, kLinkTargetIdColumn)->number = partnerId(node, targetIdColumn);
        }
    }
}
