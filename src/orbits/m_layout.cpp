// The M layout: one radiant and time a line, the orbit computed from the radiant.
#include <cmath>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/orbit_from_radiant.h"
#include "orbits/conversion_frame.h"

namespace {

constexpr std::size_t kMaxMText = 63;

// One line's values, with the defaults of the tokens a line leaves out.
struct MRow {
    int year = 2007;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    float raDeg = 0;
    float decDeg = 0;
    float vgKms = 0;
    float mag = 0;
    std::string_view name;
    std::string_view memo;
};

// Seconds rounded by adding 0.5 and truncating, kept where an int holds them.
int wholeSeconds(float seconds)
{
    const double limit = kIntegerLimit;
    return static_cast<int>(std::trunc(std::clamp(seconds + 0.5, -limit, limit)));
}

std::string_view mText(std::string_view token)
{
    if (token.starts_with('_'))
        token.remove_prefix(1);
    return token.substr(0, kMaxMText);
}

void readInteger(std::string_view token, int& value)
{
    if (const std::optional<int> parsed = leadingInteger(token))
        value = *parsed;
}

void readFloat(std::string_view token, float& value)
{
    if (const std::optional<float> parsed = leadingFloat(token))
        value = *parsed;
}

void readToken(std::size_t number, std::string_view token, MRow& row)
{
    int* const dateParts[] = {&row.year, &row.month, &row.day, &row.hour, &row.minute};
    float* const floats[] = {&row.raDeg, &row.decDeg, &row.vgKms, &row.mag};
    if (number >= 1 && number <= 5)
        readInteger(token, *dateParts[number - 1]);
    else if (number == 6) {
        if (const std::optional<float> seconds = leadingFloat(token))
            row.second = wholeSeconds(*seconds);
    } else if (number >= 7 && number <= 10)
        readFloat(token, *floats[number - 7]);
    else if (number == 11)
        row.name = mText(token);
    else if (number == 12)
        row.memo = mText(token);
}

MRow parseMRow(std::string_view line, std::vector<std::string_view>& tokens)
{
    splitFields(line, tokens);
    MRow row;
    for (std::size_t number = 1; number < tokens.size(); ++number) {
        std::string_view token = tokens[number];
        token.remove_prefix(std::min(token.find_first_not_of(" \t"), token.size()));
        readToken(number, token, row);
    }
    return row;
}

} // namespace

Outcome convertMLayout(ConversionFrame& frame)
{
    std::vector<std::string_view> tokens;
    while (const std::optional<std::string_view> line = frame.nextLine()) {
        if (!line->starts_with("90"))
            continue;
        const MRow row = parseMRow(*line, tokens);
        const double mjd =
            DateToMJD(row.year, row.month, row.day, row.hour, row.minute, row.second);
        const double jd = mjd + kMjdToJd;
        double peri = 0, node = 0, incl = 0, a = 0, q = 0, e = 0;
        OrbitFromRadiant(jd, row.raDeg * kDegToRad, row.decDeg * kDegToRad, row.vgKms, peri, node,
                         incl, a, q, e);
        if (!frame.beginRow())
            return Outcome::Stopped;
        frame.text(row.name);
        for (const double value :
             {mjd, SolarLongitude(jd), double(row.raDeg), double(row.decDeg), double(row.vgKms)})
            frame.number(value);
        frame.integer(1); // type
        for (const double value : {a, q, e, peri, node, incl, 0.0, 0.0, -1.0, -1.0, -1.0, -1.0,
                                   -1.0, double(row.mag), -1.0})
            frame.number(value); // ... M, T/e, r_sd, v_sd, Hb, He, zr, mag, mass
        frame.text(row.memo);
        frame.endRow();
    }
    return frame.readOutcome();
}
