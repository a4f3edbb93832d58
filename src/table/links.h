#pragma once
// Link lists between type-10 cells of two tables, walking them, and the
// link tables (owner ID, target ID) that stand for them on disk.

#include <cstdint>
#include <iterator>

#include "table/cutable.h"

// A link table's columns: 1 the owner ID, 2 the target ID.
inline constexpr int kLinkOwnerIdColumn = 1;
inline constexpr int kLinkTargetIdColumn = 2;

// Links a's row with b's row once; linking them again changes nothing.
void link(const CellRef& a, const CellRef& b);
// Removes the link between the two cells, if there is one.
void unlink(const CellRef& a, const CellRef& b);
bool isLinked(const CellRef& a, const CellRef& b);
// Removes every node of the cell and the partner of each.
void clearLinks(CUTABLE& table, int row, int column);

// The ID a node stands for: the partner row's ID column, or the held ID of an unresolved node.
std::uint32_t partnerId(const LinkNode& node, int idColumn);

// The nodes of one link cell in list order:
//   for (const LinkNode& node : linksOf(streams, row, col::Stream::OLINK))
//       if (node.resolved()) use(node.partnerCell.table, node.partnerCell.row);
// Valid while the list is not changed.
class IdIndex;

class LinkList {
public:
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = LinkNode;
        using difference_type = std::ptrdiff_t;
        using pointer = const LinkNode*;
        using reference = const LinkNode&;

        Iterator() = default;
        explicit Iterator(const LinkNode* node) : m_node(node) {}
        reference operator*() const { return *m_node; }
        pointer operator->() const { return m_node; }
        Iterator& operator++()
        {
            m_node = m_node->next;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            m_node = m_node->next;
            return before;
        }
        friend bool operator==(const Iterator&, const Iterator&) = default;

    private:
        const LinkNode* m_node = nullptr;
    };

    explicit LinkList(const LinkNode* first) : m_first(first) {}
    Iterator begin() const { return Iterator(m_first); }
    Iterator end() const { return Iterator(); }
    bool empty() const { return m_first == nullptr; }

private:
    const LinkNode* m_first;
};

LinkList linksOf(const CUTABLE& table, int row, int column);

// The owner or target side of a link table: a table with its ID and link columns.
struct LinkEnds {
    CUTABLE& table;
    int idColumn;
    int linkColumn;
};

// Links the rows named by each live link-table row, in index order. An
// unknown owner ID: " Link table contains unknown id %u -- %u", row skipped;
// an unknown target ID: an unresolved node holding it in the owner's cell.
void buildLinks(const CUTABLE& linkTable, const LinkEnds& owner, const LinkEnds& target);
// The same with the target table's ID index at hand.
void buildLinks(const CUTABLE& linkTable, const LinkEnds& owner, const LinkEnds& target,
                const IdIndex& targets);
// Replaces the link table's rows with one (owner ID, target ID) per node of
// every live owner row, in row order then list order; unresolved nodes give their held IDs.
void rebuildLinkTable(CUTABLE& linkTable, const LinkEnds& owner, int targetIdColumn);
