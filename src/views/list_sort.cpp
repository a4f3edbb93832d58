// Sorting a list's rows: every key is turned into unsigned integers whose
// order is the key's order, so that a million rows sort by integer compares;
// texts compare their first sixteen bytes that way and the rest byte by byte.
#include "views/list_sort.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "table/cutable.h"

namespace {

struct Entry {
    std::uint64_t key;
    std::uint64_t key2; // texts: bytes 8-15
    const char* rest;   // texts: the bytes after the first sixteen, when the text is longer
    int order;          // position in the given rows, the last tie-breaker
};

// The first eight bytes of a zero-terminated text, big-endian, zero-padded.
std::uint64_t bytesKey(const char* text)
{
    std::uint64_t key = 0;
    int i = 0;
    for (; i < 8 && text[i] != '\0'; ++i)
        key = key << 8 | static_cast<unsigned char>(text[i]);
    return i == 0 ? 0 : key << 8 * (8 - i);
}

// Floats ordered by their bits: negatives reversed below positives; -0 is 0.
std::uint64_t floatKey(float value)
{
    const auto bits = std::bit_cast<std::uint32_t>(value == 0.0f ? 0.0f : value);
    return (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
}

std::uint64_t doubleKey(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value == 0.0 ? 0.0 : value);
    constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
    return (bits & kSign) ? ~bits : bits | kSign;
}

Entry entryOf(const CUTABLE& table, int row, int column, int order)
{
    const UCell& cell = *table.cell(row, column);
    switch (table.columnType(column)) {
    case kTypeInt:
        return {static_cast<std::uint32_t>(cell.integer) ^ 0x80000000u, 0, nullptr, order};
    case kTypeFlag:
    case kTypeSelState:
    case kTypeUnsigned:
        return {cell.number, 0, nullptr, order};
    case kTypeFloat:
        return {floatKey(cell.real), 0, nullptr, order};
    case kTypeDouble:
        return {doubleKey(cell.real64), 0, nullptr, order};
    case kTypeText:
    case kTypeCode: {
        const char* text = table.text(row, column);
        const std::size_t length = std::strlen(text);
        return {bytesKey(text), length > 8 ? bytesKey(text + 8) : 0,
                length > 16 ? text + 16 : nullptr, order};
    }
    default:
        return {0, 0, nullptr, order};
    }
}

bool before(const Entry& a, const Entry& b)
{
    if (a.key != b.key)
        return a.key < b.key;
    if (a.key2 != b.key2)
        return a.key2 < b.key2;
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
