#pragma once
// IdIndex: finds the row of an ID in O(1), the row a scan would find.

#include <cstdint>
#include <vector>

class CUTABLE;

// A snapshot of one ID column: for each ID, the first live row that holds
// it, as a scan in index order would find it. Rebuild after the table changes.
class IdIndex {
public:
    IdIndex(const CUTABLE& table, int idColumn);
    // The row, or -1 when no live row holds the ID.
    int find(std::uint32_t id) const;
    // Starts fetching the ID's slot, for a find soon after.
    void prefetch(std::uint32_t id) const { __builtin_prefetch(&m_slots[slotOf(id)]); }

private:
    struct Slot {
        std::uint32_t id;
        std::int32_t row; // -1: empty
    };
    std::size_t slotOf(std::uint32_t id) const;
    // Keeps the row already there for the ID: the first one.
    void insert(std::uint32_t id, int row);

    std::vector<Slot> m_slots; // open addressing, a power of two at most half full
    int m_shift = 0;
};
