// The M layout: one radiant and time a line, the orbit computed from the radiant.
#include <algorithm>
#include <cmath>
#include <system_error>
#include <thread>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/orbit_from_radiant.h"
#include "orbits/conversion_frame.h"

namespace {

constexpr std::size_t kMaxMText = 63;
// Rows read before their orbits are computed, on all cores, and written in source order.
constexpr std::size_t kBatchRows = 4096;
constexpr unsigned kMaxWorkers = 8;
constexpr std::size_t kParallelFrom = 256;

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
    std::string name;
    std::string memo;
};

// A row with its time and orbit.
struct MOrbit {
    MRow row;
    double mjd = 0;
    double sol = 0;
    double peri = 0, node = 0, incl = 0, a = 0, q = 0, e = 0;
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
        row.name.assign(mText(token));
    else if (number == 12)
        row.memo.assign(mText(token));
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

void computeOrbit(MOrbit& orbit)
{
    const MRow& row = orbit.row;
    orbit.mjd = DateToMJD(row.year, row.month, row.day, row.hour, row.minute, row.second);
    const double jd = orbit.mjd + kMjdToJd;
    orbit.sol = SolarLongitude(jd);
    OrbitFromRadiant(jd, row.raDeg * kDegToRad, row.decDeg * kDegToRad, row.vgKms, orbit.peri,
                     orbit.node, orbit.incl, orbit.a, orbit.q, orbit.e);
}

// Worker k computes orbits k, k + n, k + 2n, ...; shares whose thread cannot start are
// computed by the caller.
void computeOrbits(std::vector<MOrbit>& batch)
{
    const unsigned workers = batch.size() < kParallelFrom
                                 ? 1u
                                 : std::clamp(std::thread::hardware_concurrency(), 1u, kMaxWorkers);
    auto share = [&batch, workers](unsigned first) {
        for (std::size_t i = first; i < batch.size(); i += workers)
            computeOrbit(batch[i]);
    };
    std::vector<std::thread> threads;
    unsigned next = 1;
    try {
        for (; next < workers; ++next)
            threads.emplace_back(share, next);
    } catch (const std::system_error&) {
    }
    for (unsigned first = next; first < workers; ++first)
        share(first);
    share(0);
    for (std::thread& thread : threads)
        thread.join();
}

void writeOrbit(ConversionFrame& frame, const MOrbit& orbit)
{
    const MRow& row = orbit.row;
    frame.text(row.name);
    for (const double value :
         {orbit.mjd, orbit.sol, double(row.raDeg), double(row.decDeg), double(row.vgKms)})
        frame.number(value);
    frame.integer(1); // type
    // a, q, e, peri, node, incl, M, T/e, r_sd, v_sd, Hb, He, zr, mag, mass
    for (const double value : {orbit.a, orbit.q, orbit.e, orbit.peri, orbit.node, orbit.incl, 0.0,
                               0.0, -1.0, -1.0, -1.0, -1.0, -1.0, double(row.mag), -1.0})
        frame.number(value);
    frame.text(row.memo);
}

} // namespace

Outcome convertMLayout(ConversionFrame& frame)
{
    std::vector<std::string_view> tokens;
    std::vector<MOrbit> batch;
    for (;;) {
        batch.clear();
        std::optional<std::string_view> line;
        while (batch.size() < kBatchRows && (line = frame.nextLine())) {
            if (line->starts_with("90"))
                batch.push_back({parseMRow(*line, tokens)});
        }
        const bool sourceEnded = batch.size() < kBatchRows;
        if (sourceEnded && frame.readOutcome() != Outcome::Done)
            return frame.readOutcome();
        computeOrbits(batch);
        for (const MOrbit& orbit : batch) {
            if (!frame.keepsFilters(
                    {std::nullopt, orbit.row.vgKms, orbit.e, std::nullopt, std::nullopt}))
                continue;
            if (!frame.beginRow())
                return Outcome::Stopped;
            writeOrbit(frame, orbit);
            frame.endRow();
        }
        if (sourceEnded)
            return Outcome::Done;
    }
}
