// The whitespace-separated source layouts: the text layout (one orbit a line) and the dat
// layout (one orbit in five lines).
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "orbits/conversion_frame.h"

namespace {

// Every conversion of a line must succeed, and its numbers must be finite.
bool allFinite(std::initializer_list<float> values)
{
    return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

// arccos of a cosine limited to [-1, 1], in degrees.
double arccosDeg(double cosine) { return std::acos(ClampUnit(cosine)) * kRadToDeg; }

struct TextRow {
    char tag[20] = {};
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    float c[25] = {}; // c[8] ... c[24], numbered as the conversions
};

bool parseTextRow(const std::string& line, TextRow& r)
{
    float* c = r.c;
    const int converted = std::sscanf(
        line.c_str(),
        "%6s %4d %2d %2d %2d %2d %2d %7f %4f %6f %4f %5f %3f %5f %5f %5f %5f %5f %5f %5f %5f "
        "%5f %4f %f",
        r.tag, &r.year, &r.month, &r.day, &r.hour, &r.minute, &r.second, &c[8], &c[9], &c[10],
        &c[11], &c[12], &c[13], &c[14], &c[15], &c[16], &c[17], &c[18], &c[19], &c[20], &c[21],
        &c[22], &c[23], &c[24]);
    return converted == 24 && fitsField(r.tag) &&
           std::all_of(c + 8, c + 25, [](float v) { return std::isfinite(v); });
}

void writeTextRow(ConversionFrame& frame, const TextRow& r, double mjd, std::string_view name)
{
    const float* c = r.c;
    const double jd = mjd + kMjdToJd;
    const double raSd = radiantScatterDeg(c[9], c[11]);
    frame.text(name);
    for (const double value : {mjd, SolarLongitude(jd), double(c[8]), double(c[10]), double(c[12])})
        frame.number(value);
    frame.integer(1); // type
    // a, q, e, peri, node, incl, M, T/e, r_sd, v_sd (the velocity uncertainty), Hb, He, zr,
    // mag, mass
    for (const double value : {c[14], c[16], c[15], c[17], c[18], c[19]})
        frame.number(value);
    for (const double value : {0.0, 0.0, raSd, double(c[13])})
        frame.number(value);
    for (const double value : {c[20], c[21], c[22], c[23], c[24]})
        frame.number(value);
    frame.text("");
}

struct DatRecord {
    char t1[8] = {}, t2[8] = {}, t3[24] = {};
    int month = 0, year = 0;
    float day = 0, sol = 0, ra = 0, dec = 0, vg = 0;
    float q = 0, a = 0, e = 0, incl = 0, peri = 0, node = 0;
    float cosZenith = 0, hb = 0, he = 0, mass = 0;
};

// The whole day must fit an int for the time of day to be taken from its fraction.
constexpr float kMaxDatDay = 1e9f;

bool parseDatLine1(const std::string& line, DatRecord& r)
{
    return std::sscanf(line.c_str(), "%5s    %5s  %20s", r.t1, r.t2, r.t3) == 3 &&
           fitsField(r.t1) && fitsField(r.t2) && fitsField(r.t3);
}

bool parseDatLine2(const std::string& line, DatRecord& r)
{
    float ignored = 0;
    return std::sscanf(line.c_str(), " %2d %8f %4d %5f %5f %5f %5f %5f ", &r.month, &r.day, &r.year,
                       &r.sol, &r.ra, &r.dec, &ignored, &r.vg) == 8 &&
           allFinite({r.day, r.sol, r.ra, r.dec, r.vg}) && std::fabs(r.day) < kMaxDatDay;
}

bool parseDatLine3(const std::string& line, DatRecord& r)
{
    float ignored = 0;
    return std::sscanf(line.c_str(), " %5f %8f %7f %5f %5f %5f %5f", &r.q, &r.a, &ignored, &r.e,
                       &r.incl, &r.peri, &r.node) == 7 &&
           allFinite({r.q, r.a, r.e, r.incl, r.peri, r.node});
}

bool parseDatLine4(const std::string& line, DatRecord& r)
{
    float ignored[3] = {};
    return std::sscanf(line.c_str(), " %5f %6f %5f %5f %5f %6f %9f", &ignored[0], &r.cosZenith,
                       &r.hb, &ignored[1], &r.he, &ignored[2], &r.mass) == 7 &&
           allFinite({r.cosZenith, r.hb, r.he, r.mass});
}

// The date and time of a record: the time of day from the day's fraction, each part truncated.
double datMjd(const DatRecord& r)
{
    const int wholeDay = static_cast<int>(r.day);
    const double hours = (r.day - wholeDay) * 24.0;
    const int hour = static_cast<int>(hours);
    const double minutes = (hours - hour) * 60.0;
    const int minute = static_cast<int>(minutes);
    const int second = static_cast<int>((minutes - minute) * 60.0);
    return DateToMJD(r.year, r.month, wholeDay, hour, minute, second);
}

void writeDatRecord(ConversionFrame& frame, const DatRecord& r, double mjd, std::string_view name)
{
    frame.text(name);
    for (const double value : {mjd, double(r.sol), double(r.ra), double(r.dec), double(r.vg)})
        frame.number(value);
    frame.integer(1); // type
    // a, q, e, peri, node, incl, M, T/e, r_sd, v_sd, Hb, He, zr, mag, mass
    for (const double value : {r.a, r.q, r.e, r.peri, r.node, r.incl})
        frame.number(value);
    for (const double value : {0.0, 0.0, 9.8, 9.8, double(r.hb), double(r.he),
                               arccosDeg(r.cosZenith), 0.0, double(r.mass)})
        frame.number(value);
    frame.text(r.t3);
}

// The next line that is not blank; nullopt at the end of the source.
std::optional<std::string_view> nextFilledLine(ConversionFrame& frame)
{
    std::optional<std::string_view> line;
    do
        line = frame.nextLine();
    while (line && isBlankLine(*line));
    return line;
}

using DatLineParser = bool (*)(const std::string&, DatRecord&);

} // namespace

Outcome convertTextLayout(ConversionFrame& frame)
{
    for (int header = 0; header < 2; ++header) {
        if (!frame.nextLine())
            return frame.missingLineOutcome();
    }
    std::string lineText;
    std::string name;
    while (const std::optional<std::string_view> line = nextFilledLine(frame)) {
        lineText.assign(*line);
        TextRow row;
        if (!parseTextRow(lineText, row))
            return Outcome::Invalid;
        if (!frame.keepsFilters({std::nullopt, row.c[12], row.c[15],
                                 radiantScatterDeg(row.c[9], row.c[11]), std::nullopt}))
            continue;
        name.assign(frame.dsidCode()).append("_").append(row.tag);
        const double mjd =
            DateToMJD(row.year, row.month, row.day, row.hour, row.minute, row.second);
        if (frame.isDuplicate(mjd, tableText(name), ""))
            continue;
        if (!frame.beginRow())
            return Outcome::Stopped;
        writeTextRow(frame, row, mjd, tableText(name));
        frame.endRow();
    }
    return frame.readOutcome();
}

Outcome convertDatLayout(ConversionFrame& frame)
{
    constexpr DatLineParser kParsers[] = {parseDatLine2, parseDatLine3, parseDatLine4};
    std::string lineText;
    std::string name;
    while (const std::optional<std::string_view> first = nextFilledLine(frame)) {
        DatRecord record;
        if (!parseDatLine1(lineText.assign(*first), record))
            return Outcome::Invalid;
        for (const DatLineParser parse : kParsers) {
            const std::optional<std::string_view> line = frame.nextLine();
            if (!line)
                return frame.missingLineOutcome();
            if (!parse(lineText.assign(*line), record))
                return Outcome::Invalid;
        }
        const std::optional<std::string_view> fifth = frame.nextLine();
        if (!fifth)
            return frame.missingLineOutcome();
        if (isBlankLine(*fifth))
            return Outcome::Invalid;
        if (!frame.keepsFilters({std::nullopt, record.vg, record.e, std::nullopt, std::nullopt}))
            continue;
        name.assign(frame.dsidCode()).append("_").append(record.t1).append("_").append(record.t2);
        const double mjd = datMjd(record);
        if (frame.isDuplicate(mjd, tableText(name), record.t3))
            continue;
        if (!frame.beginRow())
            return Outcome::Stopped;
        writeDatRecord(frame, record, mjd, tableText(name));
        frame.endRow();
    }
    return frame.readOutcome();
}
