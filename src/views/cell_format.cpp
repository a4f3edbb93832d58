// Cell values as texts for the views and editors, and typed texts as values.
#include "views/cell_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "table/cutable.h"

namespace {

enum class Conversion { None, Signed, Unsigned, Float };

// The one conversion of a printf format: flags, width and precision allowed,
// no '*', no length modifier, "%%" passes as text.
Conversion conversionOf(const std::string& format)
{
    Conversion found = Conversion::None;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        if (++i < format.size() && format[i] == '%')
            continue;
        i = format.find_first_not_of("-+ #0123456789.", i);
        if (i == std::string::npos || found != Conversion::None)
            return Conversion::None;
        const char type = format[i];
        if (std::strchr("di", type))
            found = Conversion::Signed;
        else if (std::strchr("ouxX", type))
            found = Conversion::Unsigned;
        else if (std::strchr("fFeEgGaA", type))
            found = Conversion::Float;
        else
            return Conversion::None;
    }
    return found;
}

template <class T> std::string printed(const char* format, T value)
{
    char text[128];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Prints a 32-bit cell with an integer format (signed or unsigned
// conversion); false when the format has no such conversion.
bool printInteger(const std::string& format, std::uint32_t bits, std::string& text)
{
    switch (conversionOf(format)) {
    case Conversion::Signed:
        text = printed(format.c_str(), static_cast<std::int32_t>(bits));
        return true;
    case Conversion::Unsigned:
        text = printed(format.c_str(), bits);
        return true;
    default:
        return false;
    }
}

std::optional<long long> parseWide(std::string_view text)
{
    const std::string copy(text);
    char* end = nullptr;
    const long long value = std::strtoll(copy.c_str(), &end, 10);
    if (end == copy.c_str())
        return std::nullopt;
    return value;
}

} // namespace

std::string formatSigned(const std::string& format, std::int32_t value)
{
    std::string text;
    if (!printInteger(format, static_cast<std::uint32_t>(value), text))
        text = printed("%d", value);
    return text;
}

std::string formatUnsigned(const std::string& format, std::uint32_t value)
{
    std::string text;
    if (!printInteger(format, value, text))
        text = printed("%u", value);
    return text;
}

std::string formatFloat(const std::string& format, double value)
{
    const bool fits = conversionOf(format) == Conversion::Float;
    return printed(fits ? format.c_str() : "%f", value);
}

std::optional<std::int32_t> parseSigned(std::string_view text)
{
    const std::optional<long long> value = parseWide(text);
    if (!value)
        return std::nullopt;
    if (*value > INT32_MAX)
        return INT32_MAX;
    if (*value < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(*value);
}

std::optional<std::uint32_t> parseUnsigned(std::string_view text)
{
    const std::optional<long long> value = parseWide(text);
    if (!value)
        return std::nullopt;
    // A minus wraps around as it does for "%u"; beyond 32 bits the value is held.
    constexpr long long kLimit = UINT32_MAX;
    return static_cast<std::uint32_t>(std::clamp(*value, -kLimit, kLimit));
}

std::optional<float> parseFloat(std::string_view text)
{
    const std::string copy(text);
    char* end = nullptr;
    const float value = std::strtof(copy.c_str(), &end);
    if (end == copy.c_str() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> parseDouble(std::string_view text)
{
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (end == copy.c_str() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

const char* selectionMark(std::uint32_t state)
{
    if (state == 1)
        return "*";
    if (state == 2 || state == 3)
        return "-";
    if (state >= 4 && state <= 7)
        return "+";
    return "";
}

std::string viewText(const CUTABLE& table, int row, int column, const std::string& format)
{
    const UCell& cell = *table.cell(row, column);
    switch (table.columnType(column)) {
    case kTypeInt:
        return formatSigned(format, cell.integer);
    case kTypeUnsigned:
        return formatUnsigned(format, cell.number);
    case kTypeFloat:
        return formatFloat(format, cell.real);
    case kTypeDouble:
        return formatFloat(format, cell.real64);
    case kTypeFlag:
        return cell.number != 0 ? "*" : "";
    case kTypeSelState:
        return selectionMark(cell.number);
    case kTypeText:
    case kTypeCode:
        return table.text(row, column);
    default:
        return {};
    }
}

std::string recordText(const CUTABLE& table, int row, int column)
{
    switch (table.columnType(column)) {
    case kTypeInt:
        return formatSigned("%d", table.cell(row, column)->integer);
    case kTypeFlag:
    case kTypeSelState:
    case kTypeUnsigned:
        return formatUnsigned("%u", table.cell(row, column)->number);
    case kTypeFloat:
        return formatFloat("%f", table.cell(row, column)->real);
    case kTypeDouble:
        return formatFloat("%f", table.cell(row, column)->real64);
    case kTypeText:
    case kTypeCode:
        return table.text(row, column);
    default:
        return {};
    }
}

bool isStorableText(std::string_view text)
{
    return text.find_first_of(",\r\n") == std::string_view::npos;
}

std::string cutText(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    // Back off over at most three continuation bytes (10xxxxxx) to the
    // start of the character that the cut would split.
    std::size_t end = maxBytes;
    while (end > 0 && maxBytes - end < 3 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end));
}
