#pragma once
// The numeric fields of table files: read exactly as sscanf "%d", "%u", "%f"
// and "%lf" read them, written exactly as printf "%d", "%u" and "%f" write them.

#include <cstddef>
#include <cstdint>

// A field is [begin, end): the text up to the next comma or the line end.
// Like sscanf, leading blanks are skipped and parsing stops at the first
// character that does not fit ("12abc" gives 12); false when no value converts.
// With stop, where parsing stopped (as "%n" tells it).
bool scanIntField(const char* begin, const char* end, std::int32_t& value,
                  const char** stop = nullptr);
bool scanUnsignedField(const char* begin, const char* end, std::uint32_t& value,
                       const char** stop = nullptr);
bool scanFloatField(const char* begin, const char* end, float& value, const char** stop = nullptr);
bool scanDoubleField(const char* begin, const char* end, double& value,
                     const char** stop = nullptr);

// A stored cell: the whole field must be the number, blanks around it allowed
// ("12abc" and "3O.5" convert nothing, so the line is broken rather than cut).
// The value is left alone when false.
bool readIntField(const char* begin, const char* end, std::int32_t& value);
bool readUnsignedField(const char* begin, const char* end, std::uint32_t& value);
bool readFloatField(const char* begin, const char* end, float& value);
bool readDoubleField(const char* begin, const char* end, double& value);

// sscanf itself on a copy of the field: the reference the fast readers
// above fall back to for the forms they do not handle.
bool sscanfIntField(const char* begin, const char* end, std::int32_t& value,
                    const char** stop = nullptr);
bool sscanfUnsignedField(const char* begin, const char* end, std::uint32_t& value,
                         const char** stop = nullptr);
bool sscanfFloatField(const char* begin, const char* end, float& value,
                      const char** stop = nullptr);
bool sscanfDoubleField(const char* begin, const char* end, double& value,
                       const char** stop = nullptr);

// Room enough for any field written below and its terminating zero: "%f" of
// -DBL_MAX is a sign, 309 digits, the point and six decimals.
inline constexpr std::size_t kMaxNumberText = 320;

// Write the text at out and return its end; no terminating zero.
char* formatIntField(char* out, std::int32_t value);
char* formatUnsignedField(char* out, std::uint32_t value);
char* formatFloatField(char* out, float value);
char* formatDoubleField(char* out, double value);
