#pragma once
// The numeric fields of table files: read exactly as sscanf "%d", "%u" and
// "%f" read them, written exactly as printf "%d", "%u" and "%f" write them.

#include <cstddef>
#include <cstdint>

// A field is [begin, end): the text up to the next comma or the line end.
// Like sscanf, leading blanks are skipped and parsing stops at the first
// character that does not fit ("12abc" gives 12); false when no value converts.
bool scanIntField(const char* begin, const char* end, std::int32_t& value);
bool scanUnsignedField(const char* begin, const char* end, std::uint32_t& value);
bool scanFloatField(const char* begin, const char* end, float& value);

// sscanf itself on a copy of the field: the reference the fast readers
// above fall back to for the forms they do not handle.
bool sscanfIntField(const char* begin, const char* end, std::int32_t& value);
bool sscanfUnsignedField(const char* begin, const char* end, std::uint32_t& value);
bool sscanfFloatField(const char* begin, const char* end, float& value);

// Room enough for any field written below.
inline constexpr std::size_t kMaxNumberText = 64;

// Write the text at out and return its end; no terminating zero.
char* formatIntField(char* out, std::int32_t value);
char* formatUnsignedField(char* out, std::uint32_t value);
char* formatFloatField(char* out, float value);
