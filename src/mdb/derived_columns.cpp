// Derived columns of orbits and streams.
#include "mdb/derived_columns.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/orbit_from_radiant.h"
#include "astro/sun.h"
#include "mdb/database.h"
#include "mdb/schema.h"
#include "platform/parallel.h"
#include "table/id_index.h"
#include "table/links.h"

namespace {

constexpr char kCodeAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";
// The stream codes stop growing past this length and are cut to the cell's limit.
constexpr std::size_t kStreamCodesSoftLimit = 248;
constexpr std::size_t kStreamCodesMax = 253;

char codeCharacter(double position)
{
    const int index = std::clamp(static_cast<int>(std::trunc(position)), 0, 35);
    return kCodeAlphabet[index];
}

void setCode(CUTABLE& table, int row, int column, const std::string& text)
{
    table.setText(row, column, text.c_str());
}

} // namespace

std::string positionCode(float solDeg, float raDeg, float decDeg, float vgKms)
{
    // NaN fields clamp to "0" rather than index the alphabet out of range.
    auto safe = [](double value) { return std::isnan(value) ? 0.0 : value; };
    return {codeCharacter(safe(solDeg / 10.0)), codeCharacter(safe(raDeg / 10.0)),
            codeCharacter(safe((90.0 - decDeg) / 5.0)), codeCharacter(safe(vgKms * 0.5))};
}

std::string monthDayText(int month, int day)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d", month, day);
    return text;
}

namespace {

// M/D, code and vs of a row.
template <class Speed> void setOrbitDerived(CUTABLE& orbits, int row, Speed&& heliocentricSpeed)
{
    using C = col::Orbit;
    const double mjd = orbits.cell(row, C::mjd)->real64;
    const float sol = orbits.cell(row, C::sol)->real;
    const float ra = orbits.cell(row, C::ra)->real;
    const float dec = orbits.cell(row, C::dec)->real;
    const float vg = orbits.cell(row, C::vg)->real;
    int year = 0, month = 0, day = 0;
    setCode(orbits, row, C::MD, MJDToDate(mjd, year, month, day) ? monthDayText(month, day) : "");
    setCode(orbits, row, C::code, positionCode(sol, ra, dec, vg));
    orbits.cell(row, C::vs)->real = heliocentricSpeed(mjd, ra, dec, vg);
}

float exactSpeed(float mjd, float ra, float dec, float vg)
{
    return static_cast<float>(HeliocentricSpeed(EarthPositionVelocity(double(mjd) + kMjdToJd),
                                                ra * kDegToRad, dec * kDegToRad, vg));
}

// Below this many rows the work stays on one thread.
constexpr int kRowsPerThread = 20000;

// The Earth's velocity is a smooth function of time whose fastest terms (the Moon's) have
// periods of days: it is computed from the series at every eighth of a day and interpolated by
// the cubic through the four nearest such instants. The cubic's own error is below 3e-13
// AU/day (h^4 * 9/16 / 24 times a fourth derivative of about 5e-8 AU/day^5); the series'
// velocity, a difference of two positions 0.01 day apart, carries rounding noise of up to
// about 5e-11 AU/day (1e-13 AU in each position, from the large rates times T), which no
// interpolation reproduces: together below 1e-7 km/s in vs. A vs that lies within kSafeKms of
// a rounding boundary of the float it is stored as is computed from the series instead, so
// every stored value is the series' own, bit for bit. Times too sparse to share the grid's
// instants are computed from the series one by one.
class EarthVelocityGrid {
public:
    explicit EarthVelocityGrid(const CUTABLE& orbits)
    {
        double low = kGridLimit, high = -kGridLimit;
        int rows = 0;
        for (int row = 0; row < orbits.count(); ++row) {
            if (!orbits.isLive(row))
                continue;
            const double mjd = orbits.cell(row, col::Orbit::mjd)->real64;
            if (!(std::fabs(mjd) < kGridLimit))
                continue;
            low = std::min(low, mjd);
            high = std::max(high, mjd);
            ++rows;
        }
        if (rows == 0 || (high - low) / kStepDays > 2.0 * rows)
            return;
        m_first = std::floor(low / kStepDays) - 1.0;
        m_nodes.resize(static_cast<std::size_t>(std::floor(high / kStepDays) - m_first) + 3);
        onAllCores(
            static_cast<int>(m_nodes.size()), kRowsPerThread / 8, [this](int part, int parts) {
                for (std::size_t k = static_cast<std::size_t>(part); k < m_nodes.size(); k += parts)
                    m_nodes[k] = EarthPositionVelocity(
                                     (m_first + static_cast<double>(k)) * kStepDays + kMjdToJd)
                                     .velocity;
            });
    }

    float speed(float mjd, float ra, float dec, float vg) const
    {
        const double position = double(mjd) / kStepDays - m_first;
        if (m_nodes.empty() || !(position >= 1.0 && position < m_nodes.size() - 2.0))
            return exactSpeed(mjd, ra, dec, vg);
        const double node = std::floor(position);
        const double u = position - node;
        const auto k = static_cast<std::size_t>(node);
        const double w[4] = {-u * (u - 1) * (u - 2) / 6, (u + 1) * (u - 1) * (u - 2) / 2,
                             -(u + 1) * u * (u - 2) / 2, (u + 1) * u * (u - 1) / 6};
        EarthState earth{};
        earth.velocity = w[0] * m_nodes[k - 1] + w[1] * m_nodes[k] + w[2] * m_nodes[k + 1] +
                         w[3] * m_nodes[k + 2];
        const double vs = HeliocentricSpeed(earth, ra * kDegToRad, dec * kDegToRad, vg);
        const float rounded = static_cast<float>(vs);
        const float beyond = std::nextafter(rounded, vs > rounded ? kHuge : -kHuge);
        const double boundary = (double(rounded) + double(beyond)) / 2.0;
        if (!std::isfinite(rounded) || std::fabs(vs - boundary) <= kSafeKms)
            return exactSpeed(mjd, ra, dec, vg);
        return rounded;
    }

private:
    static constexpr double kStepDays = 0.125;
    static constexpr double kSafeKms = 2.5e-7;
    static constexpr double kGridLimit = 1e6;
    static constexpr float kHuge = std::numeric_limits<float>::infinity();
    double m_first = 0; // grid instant of m_nodes[0], in steps
    std::vector<Vec3> m_nodes;
};

} // namespace

void computeOrbitDerived(CUTABLE& orbits, int row) { setOrbitDerived(orbits, row, exactSpeed); }

void computeAllOrbitDerived(CUTABLE& orbits)
{
    // Rows are independent and the inline codes touch no pool, so the rows
    // can be split between threads.
    const EarthVelocityGrid grid(orbits);
    auto speed = [&grid](float mjd, float ra, float dec, float vg) {
        return grid.speed(mjd, ra, dec, vg);
    };
    onAllCores(orbits.count(), kRowsPerThread, [&orbits, &speed](int part, int parts) {
        for (int row = part; row < orbits.count(); row += parts)
            if (orbits.isLive(row))
                setOrbitDerived(orbits, row, speed);
    });
}

void computeStreamMonthDays(CUTABLE& streams, int row, int year)
{
    using C = col::Stream;
    const int pairs[][2] = {{C::sol1, C::MD1}, {C::sol2, C::MD2}, {C::solp, C::MDp}};
    for (const auto& [solColumn, textColumn] : pairs) {
        int month = 0, day = 0;
        const bool known = SolToMonthDay(streams.cell(row, solColumn)->real, year, month, day);
        setCode(streams, row, textColumn, known ? monthDayText(month, day) : "");
    }
}

void computeAllStreamMonthDays(CUTABLE& streams, int year)
{
    for (int row = 0; row < streams.count(); ++row)
        if (streams.isLive(row))
            computeStreamMonthDays(streams, row, year);
}

void computeOrbitStreamCodes(Database& db, int orbitRow)
{
    std::string codes;
    for (const LinkNode& node : linksOf(db.orbits, orbitRow, col::Orbit::SLINK)) {
        if (!node.resolved() || codes.size() > kStreamCodesSoftLimit)
            continue;
        const CUTABLE& streams = *node.partnerCell.table;
        const int streamRow = node.partnerCell.row;
        if (!db.sources.isInUse(streams.cell(streamRow, col::Stream::SID)->number))
            continue;
        if (!codes.empty())
            codes += ',';
        codes += streams.text(streamRow, col::Stream::code);
    }
    codes.resize(std::min(codes.size(), kStreamCodesMax));
    if (!codes.empty() || *db.orbits.text(orbitRow, col::Orbit::stream) != '\0')
        db.orbits.setText(orbitRow, col::Orbit::stream, codes.c_str());
}

void computeAllStreamCodes(Database& db)
{
    for (int row = 0; row < db.orbits.count(); ++row)
        if (db.orbits.isLive(row))
            computeOrbitStreamCodes(db, row);
}

void locateTypicalOrbits(Database& db, const IdIndex& orbitsById)
{
    using C = col::Stream;
    for (int row = 0; row < db.streams.count(); ++row) {
        if (!db.streams.isLive(row))
            continue;
        const std::uint32_t typical = db.streams.cell(row, C::TypicalOID)->number;
        db.streams.cell(row, C::TOIDline)->integer = typical != 0 ? orbitsById.find(typical) : -1;
    }
}
