// Sorting a list's rows: every key is turned into one unsigned integer whose
// order is the key's order, so that a million rows sort by integer compares;
// texts compare their first eight bytes that way and the rest byte by byte.
#include "table/list_sort.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "table/cutable.h"

namespace {

struct Entry {
    std::uint64_t key;
    const char* rest; // texts: the bytes after the first eight, when the text is longer
    int order;        // position in the given rows, the last tie-breaker
};

// The first eight bytes of a zero-terminated text, big-endian, zero-padded.
std::uint64_t prefixKey(const char* text)
{
    std::uint64_t key = 0;
    int i = 0;
    for (; i < 8 && text[i] != '\0'; ++i)
        key = key << 8 | static_cast<unsigned char>(text[i]);
    return key << 8 * (8 - i);
}

// Floats ordered by their bits: negatives reversed below positives; -0 is 0.
std::uint64_t floatKey(float value)
{
    const auto bits = std::bit_cast<std::uint32_t>(value == 0.0f ? 0.0f : value);
    return (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
}

Entry entryOf(const CUTABLE& table, int row, int column, int order)
{
    const UCell& cell = *table.cell(row, column);
    switch (table.columnType(column)) {
    case kTypeInt:
        return {static_cast<std::uint32_t>(cell.integer) ^ 0x80000000u, nullptr, order};
    case kTypeFlag:
    case kTypeSelState:
    case kTypeUnsigned:
        return {cell.number, nullptr, order};
    case kTypeFloat:
        return {floatKey(cell.real), nullptr, order};
    case kTypeText:
    case kTypeCode: {
        const char* text = table.text(row, column);
        const bool longer = std::strlen(text) > 8;
        return {prefixKey(text), longer ? text + 8 : nullptr, order};
    }
    default:
        return {0, nullptr, order};
    }
}

bool before(const Entry& a, const Entry& b)
{
    if (a.key != b.key)
        return a.key < b.key;
    // Equal prefixes: a text that ends there sorts before one that goes on.
    if (a.rest != b.rest) {
        if (!a.rest || !b.rest)
            return !a.rest;
        const int compared = std::strcmp(a.rest, b.rest);
        if (compared != 0)
            return compared < 0;
    }
    return a.order < b.order;
}

} // namespace

std::vector<int> sortRowsAscending(const CUTABLE& table, int column, const std::vector<int>& rows)
{
    std::vector<Entry> entries;
    entries.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        entries.push_back(entryOf(table, rows[i], column, static_cast<int>(i)));
    std::sort(entries.begin(), entries.end(), before);
    std::vector<int> sorted;
    sorted.reserve(rows.size());
    for (const Entry& entry : entries)
        sorted.push_back(rows[static_cast<std::size_t>(entry.order)]);
    return sorted;
}
