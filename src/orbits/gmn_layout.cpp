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

// The columns taken from a summary, in the order a GmnRow holds them: three texts, then numbers.
enum GmnColumn : std::size_t {
    Id,
    Utc,
    ShowerCode,
    Jd,
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
    Qc,
    Stations,
    kColumnCount
};
constexpr std::size_t kFirstNumber = Jd;

// Each column's name in the ';' flavour (its '#' name lines put together, an uncertainty
// named after the column before it), in the comma-separated flavour, and its field (0-based)
// in the 86-field summary, where the Julian date and the heights are those of the beginning,
// the radiant and speed geocentric, the elevation the radiant's, the magnitude the peak
// absolute one and the mass in kg. Optional columns may be missing: the identifier (older
// summaries lack it; the beginning time then names the orbit), Qc and the station count.
struct ColumnSource {
    std::string_view summaryName;
    std::string_view csvName;
    std::size_t field;
    bool optional;
};
constexpr std::array<ColumnSource, kColumnCount> kSources{{
    {"Unique trajectory identifier", kGmnCsvFirstName, 0, true},
    {"Beginning UTC Time", "beginning_utc_time", 2, false},
    {"IAU code", "iau_shower_code", 4, false},
    {"Beginning Julian date", "beginning_julian_date", 1, false},
    {"Sol lon deg", "sol_lon_deg", 5, false},
    {"RAgeo deg", "rageo_deg", 7, false},
    {"RAgeo deg +/- sigma", "rageo_sigma", 8, false},
    {"DECgeo deg", "decgeo_deg", 9, false},
    {"DECgeo deg +/- sigma", "decgeo_sigma", 10, false},
    {"Vgeo km/s", "vgeo_km_s", 15, false},
    {"Vgeo km/s +/- sigma", "vgeo_sigma", 16, false},
    {"a AU", "a_au", 23, false},
    {"e", "e", 25, false},
    {"i deg", "i_deg", 27, false},
    {"peri deg", "peri_deg", 29, false},
    {"node deg", "node_deg", 31, false},
    {"q AU", "q_au", 37, false},
    {"M deg", "m_deg", 41, false},
    {"Elev deg", "elev_deg", 57, false},
    {"HtBeg km", "htbeg_km", 67, false},
    {"HtEnd km", "htend_km", 73, false},
    {"Peak AbsMag", "peak_absmag", 76, false},
    {"Mass kg tau=0.7%", "mass_kg_tau_0_7", 79, false},
    {"Qc deg", "qc_deg", 80, true},
    {"Num stat", "num_stat", 84, true},
}};
// The fields of the summary written before GMN added the identifier column.
constexpr std::size_t kGmnFieldsWithoutId = kGmnFields - 1;
// Fewer ';'-separated fields than this make no summary.
constexpr std::size_t kGmnMinFields = 40;
constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

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
        for (std::size_t column = kFirstNumber; column < kColumnCount; ++column) {
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
    std::optional<double> radiantScatter() const
    {
        if (!present(RaSd) || !present(DecSd))
            return std::nullopt;
        return radiantScatterDeg(value(RaSd), value(DecSd));
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
    if (const std::optional<double> scatter = v.radiantScatter())
        frame.number(*scatter);
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

std::optional<double> valueOf(const RowValues& v, GmnColumn column)
{
    return v.present(column) ? std::optional<double>(v.value(column)) : std::nullopt;
}

// Whether a row passes: its radiant and speed are numbers, and it keeps every limit set.
bool passesFilters(ConversionFrame& frame, const RowValues& v)
{
    if (!v.present(Ra) || !v.present(Dec) || !v.present(Vg)) {
        ++frame.dropped().noRadiant;
        return false;
    }
    return frame.keepsFilters(
        {valueOf(v, Qc), valueOf(v, Vg), valueOf(v, E), v.radiantScatter(), valueOf(v, Stations)});
}

// Whether the source must have the column: one GMN always writes, or an optional one a filter
// set tests.
bool isNeeded(ConversionFrame& frame, std::size_t column)
{
    const ImportFilters& f = frame.filters();
    return !kSources[column].optional || (column == Qc && f.minQcDeg) ||
           (column == Stations && f.minStations);
}

// The name of an orbit of a summary without identifiers: the digits of its beginning time
// (UTC) with the fraction of its second, "20181210010656.588151".
std::string nameFromTime(std::string_view utc)
{
    std::string name;
    for (const char c : utc)
        if ((c >= '0' && c <= '9') || c == '.')
            name += c;
    return name;
}

// One row: Done when it was written, skipped as a duplicate or dropped by a filter.
Outcome convertRow(ConversionFrame& frame, const GmnRow& row, bool namedByTime)
{
    const std::string name = namedByTime ? nameFromTime(row[Utc]) : std::string(tableText(row[Id]));
    // The shower's IAU code, "..." (sporadic) giving the empty memo.
    const std::string_view memo = isPlaceholder(row[ShowerCode]) ? "" : tableText(row[ShowerCode]);
    RowValues values;
    if (isPlaceholder(name) || !fitsField(name) || !fitsField(memo) || !values.read(row))
        return Outcome::Invalid;
    if (!passesFilters(frame, values))
        return Outcome::Done;
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

// The next row or column-name line; nullopt at the end of the source. Header lines before it
// are added to comments when given.
std::optional<std::string_view> nextContentLine(ConversionFrame& frame,
                                                std::vector<std::string>* comments = nullptr)
{
    while (const std::optional<std::string_view> line = frame.nextLine()) {
        const std::string_view text = gmnLineText(*line);
        if (isGmnContentLine(text))
            return text;
        if (comments && !isBlankLine(text))
            comments->emplace_back(text.substr(1));
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

// The words of a text joined by single blanks.
void appendWords(std::string& name, std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t begin = text.find_first_not_of(" \t", at);
        if (begin == std::string_view::npos)
            return;
        const std::size_t end = std::min(text.find_first_of(" \t", begin), text.size());
        if (!name.empty())
            name += ' ';
        name += text.substr(begin, end - begin);
        at = end;
    }
}

bool isRuleLine(const std::vector<std::string_view>& parts)
{
    return std::all_of(parts.begin(), parts.end(), [](std::string_view part) {
        return part.find_first_not_of(" \t-") == std::string_view::npos;
    });
}

// The column names of a ';' summary from its '#' lines: those with as many fields as its rows
// (and not the rule of dashes) put together field by field. Empty when there are none.
std::vector<std::string> summaryNames(const std::vector<std::string>& comments, std::size_t width)
{
    std::vector<std::string> names;
    std::vector<std::string_view> parts;
    for (const std::string& comment : comments) {
        splitFields(comment, parts, ';');
        if (parts.size() != width || isRuleLine(parts))
            continue;
        names.resize(width);
        for (std::size_t field = 0; field < width; ++field)
            appendWords(names[field], parts[field]);
    }
    for (std::size_t field = 1; field < names.size(); ++field)
        if (names[field].starts_with("+/-"))
            names[field] = names[field - 1] + " " + names[field];
    return names;
}

// Where each column is: found by its name; without names, in a summary of the 86 (or, without
// the identifier, 85) fields of GMN's own order. Nothing when a column that must be there is
// not: the frame then names the missing ones.
template <typename Names>
std::optional<ColumnFields> columnsOf(ConversionFrame& frame, const Names& names,
                                      std::string_view ColumnSource::*name, std::size_t width)
{
    ColumnFields fields{};
    std::string missing;
    const bool byOrder = names.empty() && (width == kGmnFields || width == kGmnFieldsWithoutId);
    for (std::size_t column = 0; column < kColumnCount; ++column) {
        const ColumnSource& source = kSources[column];
        const auto named = std::find(names.begin(), names.end(), source.*name);
        if (named != names.end())
            fields[column] = static_cast<std::size_t>(named - names.begin());
        else if (byOrder && width == kGmnFields)
            fields[column] = source.field;
        else if (byOrder && column != Id)
            fields[column] = source.field - 1;
        else
            fields[column] = kAbsent;
        if (fields[column] == kAbsent && isNeeded(frame, column))
            missing += (missing.empty() ? "" : ", ") + std::string(source.*name);
    }
    if (missing.empty())
        return fields;
    frame.setProblem(std::string(kGmnMissingColumns) + missing);
    return std::nullopt;
}

// Converts the rows of a flavour, each split into its width of fields.
template <typename Split>
Outcome convertRows(ConversionFrame& frame, std::string_view firstRow, const ColumnFields& columns,
                    std::size_t width, Split split)
{
    std::vector<std::string_view> fields;
    GmnRow row;
    for (std::optional<std::string_view> line = firstRow; line; line = nextContentLine(frame)) {
        if (!split(*line, fields) || fields.size() != width)
            return Outcome::Invalid;
        for (std::size_t column = 0; column < kColumnCount; ++column)
            row[column] = columns[column] == kAbsent ? std::string_view()
                                                     : fieldText(fields[columns[column]]);
        const Outcome outcome = convertRow(frame, row, columns[Id] == kAbsent);
        if (outcome != Outcome::Done)
            return outcome;
    }
    return frame.readOutcome();
}

bool splitSummary(std::string_view line, std::vector<std::string_view>& fields)
{
    splitFields(line, fields, ';');
    return true;
}

std::size_t summaryFieldCount(std::string_view line)
{
    return static_cast<std::size_t>(std::count(line.begin(), line.end(), ';')) + 1;
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
    if (summaryFieldCount(line) >= kGmnMinFields)
        return OrbitLayout::Gmn;
    if (line.starts_with(kByteOrderMark))
        line.remove_prefix(kByteOrderMark.size());
    std::vector<std::string_view> names;
    splitFields(line, names, ',');
    const auto named = [&](std::string_view wanted) {
        return std::any_of(names.begin(), names.end(),
                           [&](std::string_view name) { return fieldText(name) == wanted; });
    };
    if (names.size() > 1 && (named(kGmnCsvFirstName) || named(kSources[Jd].csvName)))
        return OrbitLayout::GmnCsv;
    return std::nullopt;
}

std::optional<OrbitLayout> gmnLayoutOf(const std::string& path)
{
    SourceFile file;
    if (!file.open(path))
        return std::nullopt;
    SourceLines lines(file, kGmnMaxLine, LineEnd::Lf);
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
    std::vector<std::string> comments;
    const std::optional<std::string_view> first = nextContentLine(frame, &comments);
    if (!first)
        return frame.readOutcome();
    const std::size_t width = summaryFieldCount(*first);
    const std::optional<ColumnFields> columns =
        columnsOf(frame, summaryNames(comments, width), &ColumnSource::summaryName, width);
    if (!columns)
        return Outcome::Invalid;
    return convertRows(frame, *first, *columns, width, splitSummary);
}

Outcome convertGmnCsvLayout(ConversionFrame& frame)
{
    std::vector<std::string_view> fields;
    const std::optional<std::string_view> header = nextContentLine(frame);
    if (!header)
        return frame.missingLineOutcome();
    if (!splitQuoted(*header, fields))
        return Outcome::Invalid;
    if (!fields.empty() && fields[0].starts_with(kByteOrderMark))
        fields[0].remove_prefix(kByteOrderMark.size());
    std::vector<std::string_view> names;
    for (const std::string_view field : fields)
        names.push_back(fieldText(field));
    const std::optional<ColumnFields> columns =
        columnsOf(frame, names, &ColumnSource::csvName, names.size());
    if (!columns)
        return Outcome::Invalid;
    const std::optional<std::string_view> first = nextContentLine(frame);
    if (!first)
        return frame.readOutcome();
    return convertRows(frame, *first, *columns, names.size(), splitQuoted);
}
