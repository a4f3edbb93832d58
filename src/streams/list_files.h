#pragma once
// The stream-list file layouts line by line: the CSV layout ("ULE_*.csv",
// the stream table's file layout), the fixed-width layout ("*.txt") and the
// "TarnRadiant.txt" export.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "streams/stream_list_rows.h"

// The line of a CSV stream-list file as read: the values (code holding the
// part after the source's DSID code), or the field at which it broke.
struct UleLine {
    std::optional<StreamValues> values;
    int brokenField = 0;
};
// A data line (after the header): table number 301, a code with "_" after
// its first character, sol1 ... D' converting; TypicalOID is not taken.
UleLine parseUleLine(std::string_view line);

// A fixed-width line as read: the ID field (up to 7 characters, as the
// TarnRadiant export writes them), the dates of sol1 and sol2 and the
// numbers up to R; the name only on lines of 123 characters or more.
struct FixedWidthLine {
    std::string code;
    int d1 = 0, m1 = 0, d2 = 0, m2 = 0;
    float solp = 0, ra = 0, dec = 0, dra = 0, ddec = 0, vg = 0, R = 0;
    std::string name;
};
// Nothing when a field up to R does not convert (a blank or garbage line).
std::optional<FixedWidthLine> parseFixedWidthLine(std::string_view line);
// The stream of a fixed-width line: sol1 and sol2 from its dates at 0 h in
// the year, type 1, dv and D' 0. Nothing when a date is not a date of the year.
std::optional<StreamValues> fixedWidthStream(const FixedWidthLine& line, int year);

// "TarnRadiant.txt": the header naming the list, and one line per stream
// (dates in the year), each with CR LF.
std::string tarnRadiantHeader(std::uint32_t lid, std::string_view listName);
std::string tarnRadiantLine(const StreamValues& stream, int year);
