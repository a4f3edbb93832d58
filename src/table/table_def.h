#pragma once
// Static table definitions: file name, table number, block size and columns.

#include <cstdint>

// What a cell holds; every cell is 8 bytes whatever its type.
enum ColumnType : std::int32_t {
    kTypeInt = 1,      // signed 32-bit, "%d"
    kTypeFlag = 2,     // 0 or 1, "%u", shown "*"
    kTypeSelState = 3, // selection state 0-7, "%u"
    kTypeUnsigned = 4, // IDs and counters, "%u"
    kTypeFloat = 6,    // IEEE single, "%f"
    kTypeDouble = 7,   // IEEE double, "%f": times, whose six decimals a single cannot hold
    kTypeText = 8,     // pooled text of 1-255 characters, "_" + text
    kTypeCode = 9,     // inline text of at most 7 characters, "_" + text
    kTypeLink = 10,    // head of a link list, never saved
};

struct UColumnDef {
    std::int32_t type;
    std::int32_t saved; // 1: written to and read from files
    const char* name;   // CSV header name and view label
};

struct UTableDef {
    const char* fileName; // relative to a folder; "Orbit Edit" only names the orbit table
    std::int32_t tableNumber;
    std::int32_t rowsPerBlock;
    std::int32_t columnCount;
    const UColumnDef* columns;
};
