// Fast readers and writers of numeric table fields, with sscanf and
// snprintf behind them for the rare forms the fast paths leave alone.
#include "table/csv_field.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// The characters scanf skips before a number.
bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

const char* skipBlanks(const char* p, const char* end)
{
    while (p < end && isBlank(*p))
        ++p;
    return p;
}

enum class Fast { Parsed, Failed, Unhandled };

// Up to 18 digits: the value is exact in 64 bits, so strtol and strtoul
// (which scanf uses before storing the low 32 bits) cannot saturate.
constexpr int kMaxFastIntDigits = 18;

// The low 32 bits of what scanf's strtol/strtoul gives; "%d" and "%u" store the same bits.
Fast fastInteger(const char* p, const char* end, std::uint32_t& bits, const char*& stop)
{
    p = skipBlanks(p, end);
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    const char* digits = p;
    std::uint64_t magnitude = 0;
    while (p < end && isDigit(*p) && p - digits < kMaxFastIntDigits)
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(*p++ - '0');
    if (p == digits)
        return Fast::Failed;
    if (p < end && isDigit(*p))
        return Fast::Unhandled;
    bits = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
    stop = p;
    return Fast::Parsed;
}

// At most 15 digits: the digits are exact in a double, as is 10^k for k <= 22,
// so one division rounds correctly (the decimal's nearest double).
constexpr int kMaxFastFloatDigits = 15;
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// A double in the float's normal range lies halfway between two floats
// exactly when its 29 bits below float precision are 1000...0.
bool isFloatMidpoint(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    constexpr std::uint64_t kBelowFloat = (std::uint64_t{1} << 29) - 1;
    return (bits & kBelowFloat) == std::uint64_t{1} << 28;
}

// Plain decimals "[blanks][sign]digits[.digits]" as their nearest double.
Fast fastDecimal(const char* p, const char* end, double& value, const char*& stop)
{
    p = skipBlanks(p, end);
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    std::uint64_t mantissa = 0;
    int digits = 0;
    int fractionDigits = 0;
    for (; p < end && isDigit(*p) && digits <= kMaxFastFloatDigits; ++p, ++digits)
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    if (p < end && *p == '.') {
        for (++p; p < end && isDigit(*p) && digits <= kMaxFastFloatDigits; ++p, ++digits) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
            ++fractionDigits;
        }
    }
    if (digits == 0 || digits > kMaxFastFloatDigits)
        return Fast::Unhandled;
    if (p < end && (*p == 'e' || *p == 'E' || *p == 'x' || *p == 'X'))
        return Fast::Unhandled;
    const double nearest = static_cast<double>(mantissa) / kPowersOfTen[fractionDigits];
    value = negative ? -nearest : nearest;
    stop = p;
    return Fast::Parsed;
}

// Rounding the nearest double to float gives the nearest float unless that
// double is itself a float midpoint (no float midpoint can lie between a
// decimal and its nearest double, both midpoints and floats being doubles);
// those go to strtof.
Fast fastFloat(const char* p, const char* end, float& value, const char*& stop)
{
    double nearest = 0;
    if (fastDecimal(p, end, nearest, stop) != Fast::Parsed || isFloatMidpoint(nearest))
        return Fast::Unhandled;
    value = static_cast<float>(nearest);
    return Fast::Parsed;
}

// A field holds at most one line of 1023 characters.
constexpr std::size_t kFieldCopySize = 1024;

// The format ends in "%n", which tells how far the conversion read.
template <typename T>
bool sscanfField(const char* begin, const char* end, const char* format, T& value,
                 const char** stop)
{
    char copy[kFieldCopySize];
    const std::size_t length = std::min(static_cast<std::size_t>(end - begin), kFieldCopySize - 1);
    std::memcpy(copy, begin, length);
    copy[length] = '\0';
    int consumed = 0;
    if (std::sscanf(copy, format, &value, &consumed) != 1)
        return false;
    if (stop)
        *stop = begin + consumed;
    return true;
}

void noteStop(const char** stop, const char* at)
{
    if (stop)
        *stop = at;
}

// Only blanks may follow the number.
template <typename T, typename Scan>
bool wholeField(const char* begin, const char* end, T& value, Scan scan)
{
    T scanned{};
    const char* stop = begin;
    if (!scan(begin, end, scanned, &stop) || skipBlanks(stop, end) != end)
        return false;
    value = scanned;
    return true;
}

} // namespace

bool sscanfIntField(const char* begin, const char* end, std::int32_t& value, const char** stop)
{
    int scanned = 0;
    if (!sscanfField(begin, end, "%d%n", scanned, stop))
        return false;
    value = scanned;
    return true;
}

bool sscanfUnsignedField(const char* begin, const char* end, std::uint32_t& value,
                         const char** stop)
{
    unsigned scanned = 0;
    if (!sscanfField(begin, end, "%u%n", scanned, stop))
        return false;
    value = scanned;
    return true;
}

bool sscanfFloatField(const char* begin, const char* end, float& value, const char** stop)
{
    return sscanfField(begin, end, "%f%n", value, stop);
}

bool sscanfDoubleField(const char* begin, const char* end, double& value, const char** stop)
{
    return sscanfField(begin, end, "%lf%n", value, stop);
}

bool scanIntField(const char* begin, const char* end, std::int32_t& value, const char** stop)
{
    std::uint32_t bits = 0;
    const char* at = begin;
    switch (fastInteger(begin, end, bits, at)) {
    case Fast::Parsed:
        value = static_cast<std::int32_t>(bits);
        noteStop(stop, at);
        return true;
    case Fast::Failed:
        return false;
    case Fast::Unhandled:
        break;
    }
    return sscanfIntField(begin, end, value, stop);
}

bool scanUnsignedField(const char* begin, const char* end, std::uint32_t& value, const char** stop)
{
    const char* at = begin;
    switch (fastInteger(begin, end, value, at)) {
    case Fast::Parsed:
        noteStop(stop, at);
        return true;
    case Fast::Failed:
        return false;
    case Fast::Unhandled:
        break;
    }
    return sscanfUnsignedField(begin, end, value, stop);
}

bool scanFloatField(const char* begin, const char* end, float& value, const char** stop)
{
    const char* at = begin;
    if (fastFloat(begin, end, value, at) != Fast::Parsed)
        return sscanfFloatField(begin, end, value, stop);
    noteStop(stop, at);
    return true;
}

bool scanDoubleField(const char* begin, const char* end, double& value, const char** stop)
{
    const char* at = begin;
    if (fastDecimal(begin, end, value, at) != Fast::Parsed)
        return sscanfDoubleField(begin, end, value, stop);
    noteStop(stop, at);
    return true;
}

bool readIntField(const char* begin, const char* end, std::int32_t& value)
{
    return wholeField(begin, end, value, scanIntField);
}

bool readUnsignedField(const char* begin, const char* end, std::uint32_t& value)
{
    return wholeField(begin, end, value, scanUnsignedField);
}

bool readFloatField(const char* begin, const char* end, float& value)
{
    return wholeField(begin, end, value, scanFloatField);
}

bool readDoubleField(const char* begin, const char* end, double& value)
{
    return wholeField(begin, end, value, scanDoubleField);
}

char* formatIntField(char* out, std::int32_t value)
{
    return std::to_chars(out, out + kMaxNumberText, value).ptr;
}

char* formatUnsignedField(char* out, std::uint32_t value)
{
    return std::to_chars(out, out + kMaxNumberText, value).ptr;
}

// Below this magnitude the scaled value fits in 63 bits; beyond it snprintf.
constexpr double kFastFormatLimit = 9e12;

namespace {

// The digits of |scaled| / 10^6 with six decimals, signed as value.
char* appendMicros(char* out, double value, double scaled)
{
    const auto units = static_cast<std::uint64_t>(std::fabs(scaled));
    if (std::signbit(value))
        *out++ = '-';
    out = std::to_chars(out, out + kMaxNumberText, units / 1000000).ptr;
    *out++ = '.';
    std::uint64_t fraction = units % 1000000;
    for (int i = 5; i >= 0; --i) {
        out[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    return out + 6;
}

} // namespace

char* formatFloatField(char* out, float value)
{
    const double wide = value;
    if (!std::isfinite(wide) || std::fabs(wide) >= kFastFormatLimit)
        return out + std::snprintf(out, kMaxNumberText, "%f", wide);
    // Exact: a 24-bit significand times 10^6 = 15625 * 2^6 needs at most 38
    // bits. printf rounds the exact value to 6 decimals in the current rounding
    // mode, as nearbyint rounds this exact product; its sign stays even when
    // the value rounds to zero.
    return appendMicros(out, wide, std::nearbyint(wide * 1e6));
}

// Below this magnitude the product and its rounding error are exact
// enough to tell the side of every half-unit.
constexpr double kFastDoubleFormatLimit = 1e9;

char* formatDoubleField(char* out, double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= kFastDoubleFormatLimit)
        return out + std::snprintf(out, kMaxNumberText, "%f", value);
    // The exact value * 10^6 is product + error. Rounding the product gives
    // printf's digits unless the exact value lies within the error of a
    // half-unit; those rare cases (exact ties among them) go to snprintf.
    const double product = value * 1e6;
    const double error = std::fma(value, 1e6, -product);
    const double fraction = product - std::floor(product);
    if (std::fabs(fraction - 0.5) <= std::fabs(error))
        return out + std::snprintf(out, kMaxNumberText, "%f", value);
    return appendMicros(out, value, std::nearbyint(product));
}
