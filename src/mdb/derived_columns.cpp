// Derived columns of orbits and streams.
#include "mdb/derived_columns.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
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

// M/D, code and vs of a row whose Earth state is known.
void setOrbitDerived(CUTABLE& orbits, int row, const EarthState& earth)
{
    using C = col::Orbit;
    const double mjd = orbits.cell(row, C::mjd)->real;
    const float sol = orbits.cell(row, C::sol)->real;
    const float ra = orbits.cell(row, C::ra)->real;
    const float dec = orbits.cell(row, C::dec)->real;
    const float vg = orbits.cell(row, C::vg)->real;
    int year = 0, month = 0, day = 0;
    setCode(orbits, row, C::MD, MJDToDate(mjd, year, month, day) ? monthDayText(month, day) : "");
    setCode(orbits, row, C::code, positionCode(sol, ra, dec, vg));
    orbits.cell(row, C::vs)->real =
        static_cast<float>(HeliocentricSpeed(earth, ra * kDegToRad, dec * kDegToRad, vg));
}

EarthState earthAt(float mjd) { return EarthPositionVelocity(double(mjd) + kMjdToJd); }

// Below this many rows the work stays on one thread.
constexpr int kRowsPerThread = 20000;

// The Earth's state depends only on the time, and single-precision MJDs of
// a catalogue repeat (they are minutes apart), so each distinct time is
// computed once.
class EarthStates {
public:
    explicit EarthStates(const CUTABLE& orbits)
    {
        for (int row = 0; row < orbits.count(); ++row)
            if (orbits.isLive(row))
                m_mjds.push_back(orbits.cell(row, col::Orbit::mjd)->real);
        std::sort(m_mjds.begin(), m_mjds.end(), [](float a, float b) { return bits(a) < bits(b); });
        m_mjds.erase(std::unique(m_mjds.begin(), m_mjds.end(),
                                 [](float a, float b) { return bits(a) == bits(b); }),
                     m_mjds.end());
        m_states.resize(m_mjds.size());
        onAllCores(static_cast<int>(m_mjds.size()), kRowsPerThread, [this](int part, int parts) {
            for (std::size_t i = static_cast<std::size_t>(part); i < m_mjds.size(); i += parts)
                m_states[i] = earthAt(m_mjds[i]);
        });
    }
    const EarthState& at(float mjd) const
    {
        const auto found = std::lower_bound(m_mjds.begin(), m_mjds.end(), mjd,
                                            [](float a, float b) { return bits(a) < bits(b); });
        return m_states[static_cast<std::size_t>(found - m_mjds.begin())];
    }

private:
    // Ordered by bit pattern so that equal times meet, NaNs included.
    static std::uint32_t bits(float value)
    {
        std::uint32_t pattern;
        std::memcpy(&pattern, &value, sizeof pattern);
        return pattern;
    }
    std::vector<float> m_mjds;
    std::vector<EarthState> m_states;
};

} // namespace

void computeOrbitDerived(CUTABLE& orbits, int row)
{
    setOrbitDerived(orbits, row, earthAt(orbits.cell(row, col::Orbit::mjd)->real));
}

void computeAllOrbitDerived(CUTABLE& orbits)
{
    // Rows are independent and the inline codes touch no pool, so the rows
    // can be split between threads.
    const EarthStates earth(orbits);
    onAllCores(orbits.count(), kRowsPerThread, [&orbits, &earth](int part, int parts) {
        for (int row = part; row < orbits.count(); row += parts)
            if (orbits.isLive(row))
                setOrbitDerived(orbits, row, earth.at(orbits.cell(row, col::Orbit::mjd)->real));
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

void locateTypicalOrbits(Database& db)
{
    using C = col::Stream;
    const IdIndex orbitsById(db.orbits, col::Orbit::OID);
    for (int row = 0; row < db.streams.count(); ++row) {
        if (!db.streams.isLive(row))
            continue;
        const std::uint32_t typical = db.streams.cell(row, C::TypicalOID)->number;
        db.streams.cell(row, C::TOIDline)->integer = typical != 0 ? orbitsById.find(typical) : -1;
    }
}
