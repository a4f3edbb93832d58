// The GMN trajectory summaries: both flavours recognised by their first content line, their
// rows read into the columns that have a home in the orbit table.
#include "orbits/gmn_layout.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>

#include "astro/calendar.h"

namespace {

// The columns taken from a summary, in the order a GmnRow holds them.
enum GmnColumn : std::size_t {
    Id,
    Jd,
    ShowerCode,
    Sol,
    Ra,
    RaSd,
    Dec,
    DecSd,
    Vg,
    VgSd,
    A,
    E,
    Incl,
    Peri,
    Node,
    Q,
    MeanAnomaly,
    Elevation,
    HeightBegin,
    HeightEnd,
    Magnitude,
    Mass,
    kColumnCount
};

// Each column's name in the comma-separated flavour, and its field (0-based) in the
// ';'-separated one, where the Julian date and the heights are those of the beginning, the
// radiant and speed geocentric, the elevation the radiant's, the magnitude the peak absolute
// one and the mass in kg.
struct ColumnSource {
    std::string_view csvName;
    std::size_t field;
};
constexpr std::array<ColumnSource, kColumnCount> kSources{{
    {kGmnCsvFirstName, 0},  {"beginning_julian_date", 1},
    {"iau_shower_code", 4}, {"sol_lon_deg", 5},
    {"rageo_deg", 7},       {"rageo_sigma", 8},
    {"decgeo_deg", 9},      {"decgeo_sigma", 10},
    {"vgeo_km_s", 15},      {"vgeo_sigma", 16},
    {"a_au", 23},           {"e", 25},
    {"i_deg", 27},          {"peri_deg", 29},
    {"node_deg", 31},       {"q_au", 37},
    {"m_deg", 41},          {"elev_deg", 57},
    {"htbeg_km", 67},       {"htend_km", 73},
    {"peak_absmag", 76},    {"mass_kg_tau_0_7", 79},
}};

using GmnRow = std::array<std::string_view, kColumnCount>;
using ColumnFields = std::array<std::size_t, kColumnCount>;

constexpr double kSecondsPerDay = 86400.0;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Content lines looked at for the flavour: past them, a file is no summary.
constexpr int kMaxLinesBeforeContent = 100;

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A field without its blanks and, in the comma-separated flavour, its quotes.
std::string_view fieldText(std::string_view field)
{
    field = trimmed(field);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
        field = field.substr(1, field.size() - 2);
    return field;
}

// GMN writes these where it has no value.
bool isPlaceholder(std::string_view text)
{
    return text.empty() || text == "None" || text == "nan" || text == "...";
}

// A number field: absent for a placeholder, malformed when it is anything but a whole decimal
// number within the float range.
struct NumberField {
    enum State { Present, Absent, Malformed } state = Absent;
    double value = 0;
};

NumberField numberField(std::string_view text)
{
    if (isPlaceholder(text))
        return {NumberField::Absent, 0};
    if (text.size() > 1 && text[0] == '+' && text[1] != '-')
        text.remove_prefix(1);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
        !(std::fabs(value) <= FLT_MAX))
        return {NumberField::Malformed, 0};
    return {NumberField::Present, value};
}

// The shortest text that reads back as the same float, so that tiny masses keep their digits.
void writeFloat(ConversionFrame& frame, double value)
{
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, static_cast<float>(value));
    frame.copy(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

// The empty value of a float cell (a cleared cell), where GMN has no value.
void writeEmpty(ConversionFrame& frame) { frame.number(0.0); }

class RowValues {
public:
    // False when a number field is malformed or the row has no Julian date.
    bool read(const GmnRow& row)
    {
        for (std::size_t column = Jd; column < kColumnCount; ++column) {
            if (column == ShowerCode)
                continue;
            m_fields[column] = numberField(row[column]);
            if (m_fields[column].state == NumberField::Malformed)
                return false;
        }
        return present(Jd);
    }
    bool present(GmnColumn column) const { return m_fields[column].state == NumberField::Present; }
    double value(GmnColumn column) const { return m_fields[column].value; }
    // The column's value, or the cell's empty value.
    void write(ConversionFrame& frame, GmnColumn column) const
    {
        if (present(column))
            writeFloat(frame, value(column));
        else
            writeEmpty(frame);
    }

private:
    std::array<NumberField, kColumnCount> m_fields;
};

void writeOrbit(ConversionFrame& frame, const RowValues& v, double mjd, std::string_view name,
                std::string_view memo)
{
    frame.text(name);
    frame.number(mjd);
    for (const GmnColumn column : {Sol, Ra, Dec, Vg})
        v.write(frame, column);
    frame.integer(1); // type
    // GMN's elements, hyperbolic ones too, and its mean anomaly as M.
    for (const GmnColumn column : {A, Q, E, Peri, Node, Incl, MeanAnomaly})
        v.write(frame, column);
    frame.number(0.0); // T/e
    if (v.present(RaSd) && v.present(DecSd))
        frame.number(radiantScatterDeg(v.value(RaSd), v.value(DecSd)));
    else
        writeEmpty(frame);
    for (const GmnColumn column : {VgSd, HeightBegin, HeightEnd})
        v.write(frame, column);
    // zr: the radiant's zenith distance.
    if (v.present(Elevation))
        frame.number(90.0 - v.value(Elevation));
    else
        writeEmpty(frame);
    for (const GmnColumn column : {Magnitude, Mass})
        v.write(frame, column);
    frame.text(memo);
}

// One row: Done when it was written or skipped as a duplicate.
Outcome convertRow(ConversionFrame& frame, const GmnRow& row)
{
    const std::string_view name = tableText(row[Id]);
    // The shower's IAU code, "..." (sporadic) giving the empty memo.
    const std::string_view memo = isPlaceholder(row[ShowerCode]) ? "" : tableText(row[ShowerCode]);
    RowValues values;
    if (isPlaceholder(name) || !fitsField(name) || !fitsField(memo) || !values.read(row))
        return Outcome::Invalid;
    // GMN's Julian date is UTC; the table's times carry the clock offset.
    const double mjd = values.value(Jd) - kMjdToJd + kClockOffsetSeconds / kSecondsPerDay;
    if (frame.isDuplicate(mjd, name, memo))
        return Outcome::Done;
    if (!frame.beginRow())
        return Outcome::Stopped;
    writeOrbit(frame, values, mjd, name, memo);
    frame.endRow();
    return Outcome::Done;
}

// The next row or column-name line; nullopt at the end of the source.
std::optional<std::string_view> nextContentLine(ConversionFrame& frame)
{
    while (const std::optional<std::string_view> line = frame.nextLine()) {
        const std::string_view text = gmnLineText(*line);
        if (isGmnContentLine(text))
            return text;
    }
    return std::nullopt;
}

// The comma-separated fields of a line, a quoted field (with "" for a quote) holding commas;
// false for an unclosed quote or text after a closing one.
bool splitQuoted(std::string_view line, std::vector<std::string_view>& fields)
{
    fields.clear();
    std::size_t begin = 0;
    for (;;) {
        std::size_t at = begin;
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        if (at < line.size() && line[at] == '"') {
            for (++at;; at += 2) {
                at = line.find('"', at);
                if (at == std::string_view::npos)
                    return false;
                if (at + 1 >= line.size() || line[at + 1] != '"')
                    break;
            }
            ++at;
            while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
                ++at;
            if (at < line.size() && line[at] != ',')
                return false;
        } else {
            at = std::min(line.find(',', begin), line.size());
        }
        fields.push_back(line.substr(begin, at - begin));
        if (at >= line.size())
            return true;
        begin = at + 1;
    }
}

// Where each column is in the comma-separated flavour: by its name, or, in a header of the
// summary's 86 columns that names it otherwise, at the summary's field.
std::optional<ColumnFields> columnsOfHeader(std::vector<std::string_view> names)
{
    if (!names.empty() && names[0].starts_with(kByteOrderMark))
        names[0].remove_prefix(kByteOrderMark.size());
    ColumnFields fields{};
    for (std::size_t column = 0; column < kColumnCount; ++column) {
        const auto named = std::find_if(names.begin(), names.end(), [&](std::string_view name) {
            return fieldText(name) == kSources[column].csvName;
        });
        if (named != names.end())
            fields[column] = static_cast<std::size_t>(named - names.begin());
        else if (names.size() == kGmnFields)
            fields[column] = kSources[column].field;
        else
            return std::nullopt;
    }
    return fields;
}

} // namespace

std::string_view gmnLineText(std::string_view line)
{
    while (!line.empty() && line.front() == '\r')
        line.remove_prefix(1);
    while (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

bool isGmnContentLine(std::string_view line) { return !isBlankLine(line) && line[0] != '#'; }

std::optional<OrbitLayout> gmnLayoutOfFirstLine(std::string_view line)
{
    line = gmnLineText(line);
    if (std::count(line.begin(), line.end(), ';') == kGmnFields - 1)
        return OrbitLayout::Gmn;
    if (line.starts_with(kByteOrderMark))
        line.remove_prefix(kByteOrderMark.size());
    if (line.starts_with(kGmnCsvFirstName) && line.size() > kGmnCsvFirstName.size() &&
        line[kGmnCsvFirstName.size()] == ',')
        return OrbitLayout::GmnCsv;
    return std::nullopt;
}

std::optional<OrbitLayout> gmnLayoutOf(const std::string& path)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               std::fclose);
    if (!file)
        return std::nullopt;
    SourceLines lines(file.get(), kGmnMaxLine, LineEnd::Lf);
    std::string_view line;
    for (int read = 0; read < kMaxLinesBeforeContent; ++read) {
        if (lines.next(line) != SourceLines::Status::Line)
            return std::nullopt;
        if (isGmnContentLine(gmnLineText(line)))
            return gmnLayoutOfFirstLine(line);
    }
    return std::nullopt;
}

Outcome convertGmnLayout(ConversionFrame& frame)
{
    std::vector<std::string_view> fields;
    GmnRow row;
    while (const std::optional<std::string_view> line = nextContentLine(frame)) {
        splitFields(*line, fields, ';');
        if (fields.size() != kGmnFields)
            return Outcome::Invalid;
        for (std::size_t column = 0; column < kColumnCount; ++column)
            row[column] = fieldText(fields[kSources[column].field]);
        const Outcome outcome = convertRow(frame, row);
        if (outcome != Outcome::Done)
            return outcome;
    }
    return frame.readOutcome();
}

Outcome convertGmnCsvLayout(ConversionFrame& frame)
{
    std::vector<std::string_view> fields;
    const std::optional<std::string_view> header = nextContentLine(frame);
    if (!header)
        return frame.missingLineOutcome();
    if (!splitQuoted(*header, fields))
        return Outcome::Invalid;
    const std::size_t width = fields.size();
    const std::optional<ColumnFields> columns = columnsOfHeader(fields);
    if (!columns)
        return Outcome::Invalid;
    GmnRow row;
    while (const std::optional<std::string_view> line = nextContentLine(frame)) {
        if (!splitQuoted(*line, fields) || fields.size() != width)
            return Outcome::Invalid;
        for (std::size_t column = 0; column < kColumnCount; ++column)
            row[column] = fieldText(fields[(*columns)[column]]);
        const Outcome outcome = convertRow(frame, row);
        if (outcome != Outcome::Done)
            return outcome;
    }
    return frame.readOutcome();
}
