// The comma-separated source layouts: the database's own orbit files (O), and the U and U2
// layouts whose fields are copied into the orbit columns.
#include <algorithm>
#include <array>
#include <cmath>

#include "astro/calendar.h"
#include "orbits/conversion_frame.h"

namespace {

// Fields of a line of the database's own orbit-file layout.
constexpr std::size_t kOrbitFileFields = 26;
constexpr std::size_t kU2Fields = 78;

// "%s-%s-%s", cut to what the orbit table holds.
std::string_view joinMemo(std::string& memo, std::string_view a, std::string_view b,
                          std::string_view c)
{
    memo.assign(a).append("-").append(b).append("-").append(c);
    return tableText(memo);
}

float floatAt(const std::vector<std::string_view>& fields, std::size_t number)
{
    return leadingFloat(fieldAt(fields, number)).value_or(0.0f);
}

// A field's number as the orbit table will hold it, nullopt when it holds none.
std::optional<double> valueAt(const std::vector<std::string_view>& fields, std::size_t number)
{
    const std::optional<float> value = leadingFloat(fieldAt(fields, number));
    return value ? std::optional<double>(*value) : std::nullopt;
}

// The filtered values of a row whose speed, eccentricity and, when given, radiant scatter are
// copied from these fields.
FilterValues copiedValues(const std::vector<std::string_view>& fields, std::size_t vg,
                          std::size_t e, std::optional<std::size_t> radErr = std::nullopt)
{
    return {std::nullopt, valueAt(fields, vg), valueAt(fields, e),
            radErr ? valueAt(fields, *radErr) : std::nullopt, std::nullopt};
}

int integerAt(const std::vector<std::string_view>& fields, std::size_t number)
{
    return leadingInteger(fieldAt(fields, number)).value_or(0);
}

// Field 3 brought to 100 km by the mean of the distances in fields 49 and 50. Without a
// positive distance there is no magnitude: 0, as the layouts that carry none write it, rather
// than an infinity or a non-number that every later sort and average would trip over.
double uMagnitude(const std::vector<std::string_view>& fields)
{
    const double distance = (static_cast<double>(floatAt(fields, 49)) + floatAt(fields, 50)) / 2.0;
    if (!(distance > 0.0))
        return 0.0;
    return floatAt(fields, 3) + 10.0 - 5.0 * std::log10(distance);
}

// The orbit columns from sol to incl, then M and T/e, as the U and U2 layouts write them.
void writeCopiedOrbit(ConversionFrame& frame, const std::vector<std::string_view>& fields,
                      const std::array<std::size_t, 10>& solToIncl)
{
    for (std::size_t i = 0; i < 4; ++i)
        frame.copy(fields[solToIncl[i]]);
    frame.integer(1); // type
    for (std::size_t i = 4; i < solToIncl.size(); ++i)
        frame.copy(fields[solToIncl[i]]);
    frame.number(0.0); // M
    frame.number(0.0); // T/e
}

} // namespace

Outcome convertOLayout(ConversionFrame& frame)
{
    std::vector<std::string_view> fields;
    frame.nextLine();
    while (const std::optional<std::string_view> line = frame.nextLine()) {
        const std::size_t marker = line->find('_');
        splitFields(*line, fields);
        if (!line->starts_with("501") || marker == std::string_view::npos ||
            fields.size() < kOrbitFileFields)
            return Outcome::Invalid;
        if (!frame.keepsFilters(copiedValues(fields, 8, 12, 18)))
            continue;
        const double mjd = floatAt(fields, 4);
        if (frame.isDuplicate(mjd, lessFirst(fields[3]), lessFirst(fields[25])))
            continue;
        if (!frame.beginRow())
            return Outcome::Stopped;
        frame.copy(line->substr(marker));
        frame.endRow();
    }
    return frame.readOutcome();
}

Outcome convertULayout(ConversionFrame& frame)
{
    // Rows lacking any of these fields are skipped.
    constexpr std::array<std::size_t, 10> kRequired{87, 6, 7, 9, 10, 11, 12, 13, 14, 15};
    std::vector<std::string_view> fields;
    std::string memoText;
    frame.nextLine();
    while (const std::optional<std::string_view> line = frame.nextLine()) {
        if (!line->starts_with("M04_0"))
            return Outcome::Invalid;
        splitFields(*line, fields);
        if (std::any_of(kRequired.begin(), kRequired.end(),
                        [&](std::size_t number) { return fieldAt(fields, number).empty(); }))
            continue;
        if (!frame.keepsFilters(copiedValues(fields, 9, 12)))
            continue;
        const double mjd =
            DateToMJD(integerAt(fields, 80), integerAt(fields, 81), integerAt(fields, 82),
                      integerAt(fields, 83), integerAt(fields, 84), integerAt(fields, 85));
        const std::string_view name = tableText(lessFirst(fields[1]));
        const std::string_view memo =
            joinMemo(memoText, lessFirst(fields[17]), fields[18], fields[2]);
        if (frame.isDuplicate(mjd, name, memo))
            continue;
        const double mag = uMagnitude(fields);
        if (!frame.beginRow())
            return Outcome::Stopped;
        frame.text(name);
        frame.number(mjd);
        writeCopiedOrbit(frame, fields, {87, 6, 7, 9, 10, 11, 12, 13, 14, 15});
        frame.number(9.9);      // r_sd
        frame.number(9.9);      // v_sd
        frame.copy(fields[45]); // Hb
        frame.copy(fields[46]); // He
        frame.number(-1.0);     // zr
        frame.number(mag);
        frame.number(0.0); // mass
        frame.text(memo);
        frame.endRow();
    }
    return frame.readOutcome();
}

Outcome convertU2Layout(ConversionFrame& frame)
{
    std::vector<std::string_view> fields;
    std::string memoText;
    frame.nextLine();
    while (const std::optional<std::string_view> line = frame.nextLine()) {
        splitFields(*line, fields);
        if (!line->starts_with("51") || fields.size() < kU2Fields)
            return Outcome::Invalid;
        if (!frame.keepsFilters(copiedValues(fields, 16, 20, 76)))
            continue;
        const double mjd = floatAt(fields, 3);
        const std::string_view name = tableText(lessFirst(fields[2]));
        const std::string_view memo =
            joinMemo(memoText, lessFirst(fields[5]), lessFirst(fields[6]), lessFirst(fields[25]));
        if (frame.isDuplicate(mjd, name, memo))
            continue;
        if (!frame.beginRow())
            return Outcome::Stopped;
        frame.copy(fields[2].substr(0, 1 + name.size())); // carries its own text marker
        frame.copy(fields[3]);                            // mjd
        writeCopiedOrbit(frame, fields, {4, 10, 11, 16, 18, 19, 20, 22, 23, 24});
        frame.copy(fields[76]); // r_sd
        frame.copy(fields[77]); // v_sd
        frame.copy(fields[43]); // Hb
        frame.copy(fields[50]); // He
        frame.number(-1.0);     // zr
        frame.copy(fields[7]);  // mag
        frame.number(0.0);      // mass
        frame.text(memo);
        frame.endRow();
    }
    return frame.readOutcome();
}
