// Open-addressing hash of an ID column.
#include "table/id_index.h"

#include <algorithm>
#include <bit>
#include <new>

#include "platform/huge_pages.h"
#include "table/cutable.h"

IdIndex::IdIndex(const CUTABLE& table, int idColumn)
{
    const auto rowCount = static_cast<std::size_t>(table.count());
    const std::size_t capacity = std::bit_ceil(rowCount + rowCount / 2 + 2);
    m_mask = capacity - 1;
    m_shift = 64 - std::countr_zero(capacity);
    // Ten million orbits take 128 MB of slots: huge zeroed pages spare both a fill and most faults.
    const std::size_t bytes = capacity * sizeof(Slot);
    m_slots = {static_cast<Slot*>(mapZeroedPages(bytes)), Unmap{bytes}};
    if (!m_slots)
        throw std::bad_alloc();
    // Rows go in by batches whose slots are fetched first: the slots are
    // scattered over a table far larger than the cache. Row order is kept.
    constexpr int kBatch = 16;
    std::uint32_t ids[kBatch];
    int rows[kBatch];
    for (int first = 0; first < table.count(); first += kBatch) {
        int taken = 0;
        for (int row = first; row < std::min(first + kBatch, table.count()); ++row) {
            if (!table.isLive(row))
                continue;
            ids[taken] = table.cell(row, idColumn)->number;
            rows[taken] = row;
            prefetch(ids[taken]);
            ++taken;
        }
        for (int i = 0; i < taken; ++i)
            insert(ids[i], rows[i]);
    }
}

void IdIndex::Unmap::operator()(Slot* slots) const { unmapPages(slots, bytes); }

void IdIndex::insert(std::uint32_t id, int row)
{
    std::size_t slot = slotOf(id);
    while (m_slots[slot].rowPlusOne != 0 && m_slots[slot].id != id)
        slot = (slot + 1) & m_mask;
    if (m_slots[slot].rowPlusOne == 0)
        m_slots[slot] = {id, row + 1};
    else
        m_duplicates.push_back({m_slots[slot].rowPlusOne - 1, row});
}

std::size_t IdIndex::slotOf(std::uint32_t id) const
{
    // Fibonacci hashing spreads the consecutive IDs handed out per data source.
    return static_cast<std::size_t>((id * 0x9E3779B97F4A7C15ull) >> m_shift);
}

int IdIndex::find(std::uint32_t id) const
{
    for (std::size_t slot = slotOf(id);; slot = (slot + 1) & m_mask) {
        if (m_slots[slot].rowPlusOne == 0)
            return -1;
        if (m_slots[slot].id == id)
            return m_slots[slot].rowPlusOne - 1;
    }
}
