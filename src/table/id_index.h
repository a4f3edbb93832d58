#pragma once
// IdIndex: finds the row of an ID in O(1), the row a scan would find.

#include <cstdint>
#include <memory>
#include <vector>

class CUTABLE;

// A snapshot of one ID column: for each ID, the first live row that holds
// it, as a scan in index order would find it. Rebuild after the table changes.
class IdIndex {
public:
    // A later live row holding the ID of an earlier one.
    struct Duplicate {
        int firstRow;
        int row;
    };

    IdIndex(const CUTABLE& table, int idColumn);
    // The row, or -1 when no live row holds the ID.
    int find(std::uint32_t id) const;
    // Starts fetching the ID's slot, for a find soon after.
    void prefetch(std::uint32_t id) const { __builtin_prefetch(&m_slots[slotOf(id)]); }
    // The rows whose ID an earlier row holds, in row order.
    const std::vector<Duplicate>& duplicates() const { return m_duplicates; }

private:
    struct Slot {
        std::uint32_t id;
        std::int32_t rowPlusOne; // 0: empty, so that fresh zeroed pages are an empty index
    };
    struct Unmap {
        std::size_t bytes;
        void operator()(Slot* slots) const;
    };
    std::size_t slotOf(std::uint32_t id) const;
    // Keeps the row already there for the ID, the first one, and notes the duplicate.
    void insert(std::uint32_t id, int row);

    std::size_t m_mask = 0;
    std::unique_ptr<Slot[], Unmap> m_slots; // open addressing, a power of two at most 2/3 full
    int m_shift = 0;
    std::vector<Duplicate> m_duplicates;
};
