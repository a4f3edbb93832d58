#pragma once
// LinkNode, the node of a link list, and CellBuf, the pool the nodes come from.

#include <cstddef>
#include <cstdint>
#include <vector>

class CUTABLE;

// A cell addressed by its table, row and column; a link node names its
// partner's cell this way, so the partner row's other columns are one cell() away.
struct CellRef {
    CUTABLE* table = nullptr;
    std::int32_t row = 0;
    std::int32_t column = 0;

    friend bool operator==(const CellRef&, const CellRef&) = default;
};

// One end of a link. The list is null-terminated forwards; the first node's
// previous is the last node, so appending needs no walk.
struct LinkNode {
    LinkNode* next;
    LinkNode* previous;
    union {
        LinkNode* partner;    // resolved: the node in the partner cell's list
        std::uint32_t heldId; // unresolved: the ID no row was found for
    };
    CellRef partnerCell; // table nullptr when unresolved

    bool resolved() const { return partnerCell.table != nullptr; }
};

class CellBuf {
public:
    static constexpr std::size_t kNodesPerBlock = 100000;
    static constexpr std::size_t kBlockBytes = kNodesPerBlock * sizeof(LinkNode);

    CellBuf() = default;
    ~CellBuf() { free(); }
    CellBuf(const CellBuf&) = delete;
    CellBuf& operator=(const CellBuf&) = delete;

    // A node with no next node, itself as previous and no partner.
    LinkNode* take();
    // Puts a node at the head of the free list.
    void giveBack(LinkNode* node);
    // Empties every block and the free list: drops all nodes at once.
    void reset();
    // Releases every block.
    void free();

    std::size_t blockCount() const { return m_blocks.size(); }

private:
    struct Block {
        LinkNode* nodes;
        std::size_t used;
    };

    LinkNode* takeUnused();

    std::vector<Block> m_blocks; // oldest first
    std::size_t m_firstOpen = 0; // no block before it has unused nodes
    LinkNode* m_freeList = nullptr;
};
