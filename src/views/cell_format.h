#pragma once
// Cell values as the list views and editors show them, and typed texts read
// back into cells.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CUTABLE;

// A number printed with a layout's print format. A format that does not
// print exactly one number of that kind (say "%s" for an integer) falls back
// to "%d", "%u" or "%f", so that a bad layout can never misread the argument.
std::string formatSigned(const std::string& format, std::int32_t value);
std::string formatUnsigned(const std::string& format, std::uint32_t value);
std::string formatFloat(const std::string& format, double value);

// "%d" as the table files read it: blanks skipped, parsing stops at the first
// character that does not fit; none when no digit is found. Values beyond
// the 32-bit range are held at its limits.
std::optional<std::int32_t> parseSigned(std::string_view text);
// "%u": a leading minus wraps around as it does for "%u".
std::optional<std::uint32_t> parseUnsigned(std::string_view text);
// "%f", finite values only.
std::optional<float> parseFloat(std::string_view text);
std::optional<double> parseDouble(std::string_view text);

// The text a list shows for a cell, by the column's type: 1 and 4 the format
// applied to the integer, 6 and 7 to the real; 2 "*" for nonzero; 3 the state mark;
// 8 the text; 9 the code; 10 and unknown states nothing.
std::string viewText(const CUTABLE& table, int row, int column, const std::string& format);
// The mark of a selection state: 0 empty, 1 "*", 2 and 3 "-", 4-7 "+", others empty.
const char* selectionMark(std::uint32_t state);
// The record editor's text of a cell: 1 "%d", 2-4 "%u", 6 and 7 "%f", 8 the text, 9 the code.
std::string recordText(const CUTABLE& table, int row, int column);

// Table files have no quoting: a comma or a line break in a text would split
// its row at the next load. Typed texts holding one are refused.
bool isStorableText(std::string_view text);
inline constexpr const char* kTextRefused =
    "A text may not contain a comma or a line break.\n\nNothing was stored.";

// The first maxBytes bytes of the text, fewer when the cut would split a
// UTF-8 character.
std::string cutText(std::string_view text, std::size_t maxBytes);

// Longest texts typed into a cell. A pooled text of 255 characters can be held
// but not read back from a table file, so typed texts stop at 254.
inline constexpr std::size_t kMaxTypedChars = 255;
inline constexpr std::size_t kMaxStoredText = 254;
inline constexpr std::size_t kMaxStoredCode = 7;
