// The link node pool: blocks of never-used nodes and one free list of recycled ones.
#include "table/link_pool.h"

#include "platform/huge_pages.h"
#include "platform/ui.h"

LinkNode* CellBuf::takeUnused()
{
    // Blocks fill oldest first and are only emptied all together, so the
    // first block with unused nodes never moves back until reset.
    while (m_firstOpen < m_blocks.size() && m_blocks[m_firstOpen].used == kNodesPerBlock)
        ++m_firstOpen;
    if (m_firstOpen == m_blocks.size()) {
        auto* nodes = static_cast<LinkNode*>(mapZeroedPages(kBlockBytes));
        if (!nodes)
            fatal("Cannot allocate CellBuf");
        m_blocks.push_back({nodes, 0});
    }
    Block& block = m_blocks[m_firstOpen];
    return block.nodes + block.used++;
}

LinkNode* CellBuf::take()
{
    LinkNode* node = m_freeList;
    if (node)
        m_freeList = node->next;
    else
        node = takeUnused();
    node->next = nullptr;
    node->previous = node;
    node->partner = nullptr;
    node->partnerCell = CellRef{};
    return node;
}

void CellBuf::giveBack(LinkNode* node)
{
    node->next = m_freeList;
    m_freeList = node;
}

void CellBuf::reset()
{
    for (Block& block : m_blocks)
        block.used = 0;
    m_firstOpen = 0;
    m_freeList = nullptr;
}

void CellBuf::free()
{
    for (Block& block : m_blocks)
        unmapPages(block.nodes, kBlockBytes);
    m_blocks.clear();
    reset();
}
