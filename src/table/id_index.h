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

private:
    struct Slot {
        std::uint32_t id;
        std::int32_t row; // -1: empty
    };
    std::size_t slotOf(std::uint32_t id) const;

    std::vector<Slot> m_slots; // open addressing, a power of two at most half full
    int m_shift = 0;
};
