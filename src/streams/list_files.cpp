// Reading and writing the stream-list file layouts.
#include "streams/list_files.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

#include "astro/calendar.h"
#include "mdb/schema.h"
#include "table/csv_field.h"

namespace {

constexpr std::uint32_t kStreamTableNumber = 301;
constexpr std::size_t kNameLineLength = 123;

std::vector<std::string_view> splitAtCommas(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t comma = line.find(',');
        fields.push_back(line.substr(0, comma));
        if (comma == std::string_view::npos)
            return fields;
        line.remove_prefix(comma + 1);
    }
}

std::string withoutMarker(std::string_view field)
{
    if (!field.empty() && field.front() == '_')
        field.remove_prefix(1);
    return std::string(field);
}

bool readFloat(std::string_view field, float& value)
{
    return readFloatField(field.data(), field.data() + field.size(), value);
}

// The whitespace-separated token at the start of text, and the text after it.
std::string_view firstToken(std::string_view& text)
{
    std::size_t begin = 0;
    while (begin < text.size() && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    std::size_t end = begin;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])))
        ++end;
    const std::string_view token = text.substr(begin, end - begin);
    text.remove_prefix(end);
    return token;
}

std::optional<float> solOfDate(int year, int month, int day)
{
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return std::nullopt;
    return static_cast<float>(SolarLongitude(DateToJD(year, month, day, 0, 0, 0)));
}

bool isSolarLongitude(float solDeg) { return std::isfinite(solDeg) && solDeg >= 0 && solDeg < 360; }

void monthDay(float sol, int year, int& month, int& day)
{
    if (!SolToMonthDay(sol, year, month, day))
        month = day = 0;
}

} // namespace

UleLine parseUleLine(std::string_view line)
{
    using C = col::Stream;
    const std::vector<std::string_view> fields = splitAtCommas(line);
    std::uint32_t tableNumber = 0;
    if (!readUnsignedField(fields[0].data(), fields[0].data() + fields[0].size(), tableNumber) ||
        tableNumber != kStreamTableNumber)
        return {std::nullopt, 0};
    if (fields.size() <= C::code)
        return {std::nullopt, C::code};
    const std::string_view code = fields[C::code];
    const std::size_t separator = code.size() > 1 ? code.find('_', 1) : std::string_view::npos;
    if (separator == std::string_view::npos)
        return {std::nullopt, C::code};
    StreamValues values;
    values.code = std::string(code.substr(separator + 1));
    if (fields.size() > C::name)
        values.name = withoutMarker(fields[C::name]);
    float* const reals[] = {&values.sol1, &values.sol2, &values.solp, &values.ra,
                            &values.dec,  &values.dra,  &values.ddec, &values.vg};
    for (int column = C::sol1; column <= C::Dp; ++column) {
        if (static_cast<std::size_t>(column) >= fields.size())
            return {std::nullopt, column};
        const std::string_view field = fields[column];
        bool read = false;
        if (column == C::type)
            read = readIntField(field.data(), field.data() + field.size(), values.type);
        else if (column == C::R)
            read = readFloat(field, values.R);
        else if (column == C::dv)
            read = readFloat(field, values.dv);
        else if (column == C::Dp)
            read = readFloat(field, values.Dp);
        else
            read = readFloat(field, *reals[column - C::sol1]);
        // A solar longitude outside one turn would make every loop over the stream's range endless.
        const bool isSol = column == C::sol1 || column == C::sol2 || column == C::solp;
        if (!read || (isSol && !isSolarLongitude(*reals[column - C::sol1])))
            return {std::nullopt, column};
    }
    if (fields.size() > C::memo)
        values.memo = withoutMarker(fields[C::memo]);
    return {values, 0};
}

std::optional<FixedWidthLine> parseFixedWidthLine(std::string_view line)
{
    FixedWidthLine parsed;
    std::string_view rest = line;
    const std::string_view code = firstToken(rest);
    if (code.empty() || code.size() > kCodeLength)
        return std::nullopt;
    parsed.code = std::string(code);
    // The numbers are whitespace-separated as the widths of the layout keep them.
    const std::string numbers(rest);
    int dmax = 0, mmax = 0;
    float err = 0;
    const int converted =
        std::sscanf(numbers.c_str(), "%5d%8d%8d%8d%8d%8d%12f%9f%8f%7f%8f%8f%8f%10f", &parsed.d1,
                    &parsed.m1, &parsed.d2, &parsed.m2, &dmax, &mmax, &parsed.solp, &parsed.ra,
                    &parsed.dec, &parsed.dra, &parsed.ddec, &parsed.vg, &parsed.R, &err);
    constexpr int kFieldsUpToR = 13;
    if (converted < kFieldsUpToR)
        return std::nullopt;
    if (line.size() >= kNameLineLength && converted == kFieldsUpToR + 1) {
        char name[27] = {};
        // The name is the token after err, as "%26s" reads it.
        const std::string full(line);
        const int nameRead =
            std::sscanf(full.c_str(),
                        "%*s%*5d%*8d%*8d%*8d%*8d%*8d%*12f%*9f%*8f%*7f%*8f%*8f%*8f%*10f%26s", name);
        if (nameRead == 1)
            parsed.name = name;
    }
    return parsed;
}

std::optional<StreamValues> fixedWidthStream(const FixedWidthLine& line, int year)
{
    const std::optional<float> sol1 = solOfDate(year, line.m1, line.d1);
    const std::optional<float> sol2 = solOfDate(year, line.m2, line.d2);
    if (!sol1 || !sol2 || !isSolarLongitude(line.solp))
        return std::nullopt;
    StreamValues values;
    values.code = line.code;
    values.name = line.name;
    values.sol1 = *sol1;
    values.sol2 = *sol2;
    values.solp = line.solp;
    values.ra = line.ra;
    values.dec = line.dec;
    values.dra = line.dra;
    values.ddec = line.ddec;
    values.vg = line.vg;
    values.R = line.R;
    values.type = 1;
    return values;
}

std::string tarnRadiantHeader(std::uint32_t lid, std::string_view listName)
{
    char header[512];
    std::snprintf(
        header, sizeof header,
        "ID        d1      m1      d2      m2      dmax    mmax    sol     ra      dec     "
        "dra     ddec    v       r       err     name (%u %.*s)\r\n",
        lid, static_cast<int>(listName.size()), listName.data());
    return header;
}

std::string tarnRadiantLine(const StreamValues& stream, int year)
{
    int m1 = 0, d1 = 0, m2 = 0, d2 = 0, mmax = 0, dmax = 0;
    monthDay(stream.sol1, year, m1, d1);
    monthDay(stream.sol2, year, m2, d2);
    monthDay(stream.solp, year, mmax, dmax);
    float err = 2 * stream.R;
    if (err < 0.1)
        err = 6;
    char line[1024];
    const int length = std::snprintf(
        line, sizeof line,
        "%5s     %02d      %02d      %02d      %02d      %02d      %02d      %5.1f   %5.1f   "
        "%5.1f %5.1f    %5.1f    %4.1f    %3.1f   %5.1f    %s\r\n",
        stream.code.c_str(), d1, m1, d2, m2, dmax, mmax, static_cast<double>(stream.solp),
        static_cast<double>(stream.ra), static_cast<double>(stream.dec),
        static_cast<double>(stream.dra), static_cast<double>(stream.ddec),
        static_cast<double>(stream.vg), static_cast<double>(stream.R), static_cast<double>(err),
        stream.name.empty() ? " " : stream.name.c_str());
    return std::string(line, static_cast<std::size_t>(std::min(length, int(sizeof line) - 1)));
}
