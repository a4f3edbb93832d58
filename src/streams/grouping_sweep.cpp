// The sol-sorted sweep behind the all-stream grouping runs.
#include "streams/grouping_sweep.h"

#include <algorithm>
#include <cmath>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "mdb/database.h"
#include "mdb/schema.h"

namespace {

using O = col::Orbit;

// Orbits sharing one bound: near enough in sol for the radiant to move little between them.
constexpr std::size_t kBlock = 64;
// The bounds only skip orbits beyond the limit by more than this (degrees, or D' units), far
// above the rounding of the exact tests.
constexpr double kBoundMarginDeg = 1e-3;
constexpr double kBoundMarginDprime = 1e-6;

void unitVector(double raDeg, double decDeg, double& x, double& y, double& z)
{
    const double ra = raDeg * kDegToRad, dec = decDeg * kDegToRad;
    x = std::cos(dec) * std::cos(ra);
    y = std::cos(dec) * std::sin(ra);
    z = std::sin(dec);
}

double relativeDifference(double a, double b)
{
    const double sum = a + b;
    return sum == 0.0 ? 0.0 : (a - b) / sum;
}

} // namespace

std::optional<double> DPrimeProbe::match(const CUTABLE& orbits, int row) const
{
    if (withRadiant && !(radiantOffset(radiant.radiant, orbits.cell(row, O::sol)->real,
                                       orbits.cell(row, O::ra)->real,
                                       orbits.cell(row, O::dec)->real) <= radiant.limitDeg))
        return std::nullopt;
    const double dprime = DPrime(typical, dprimeOrbitOf(orbits, row));
    if (!(dprime <= limit))
        return std::nullopt;
    return dprime;
}

OrbitSweep::OrbitSweep(const Database& db, bool withElements) : m_orbits(db.orbits)
{
    for (int row = 0; row < db.orbits.count(); ++row) {
        if (!isEligibleOrbit(db, row))
            continue;
        Point point{};
        point.sol = db.orbits.cell(row, O::sol)->real;
        if (std::isnan(point.sol))
            continue;
        point.vg = db.orbits.cell(row, O::vg)->real;
        point.ra = db.orbits.cell(row, O::ra)->real;
        point.dec = db.orbits.cell(row, O::dec)->real;
        point.row = row;
        unitVector(point.ra, point.dec, point.x, point.y, point.z);
        m_points.push_back(point);
    }
    std::sort(m_points.begin(), m_points.end(), [](const Point& a, const Point& b) {
        return a.sol < b.sol || (a.sol == b.sol && a.row < b.row);
    });
    if (!withElements)
        return;
    m_elements.reserve(m_points.size());
    for (const Point& point : m_points) {
        const DPrimeOrbit orbit = dprimeOrbitOf(db.orbits, point.row);
        const double incl = orbit.inclDeg * kDegToRad, node = orbit.nodeDeg * kDegToRad;
        m_elements.push_back({orbit.e, orbit.q, std::sin(incl) * std::sin(node),
                              -std::sin(incl) * std::cos(node), std::cos(incl)});
    }
}

std::vector<OrbitSweep::Range> OrbitSweep::windowRanges(float sol1, float sol2) const
{
    const auto below = [](const Point& point, float sol) { return point.sol < sol; };
    const auto above = [](float sol, const Point& point) { return sol < point.sol; };
    const auto begin = m_points.begin();
    const auto index = [begin](auto it) { return static_cast<std::size_t>(it - begin); };
    if (sol1 <= sol2)
        return {{index(std::lower_bound(begin, m_points.end(), sol1, below)),
                 index(std::upper_bound(begin, m_points.end(), sol2, above))}};
    std::vector<Range> ranges;
    if (!std::isnan(sol2))
        ranges.push_back({0, index(std::lower_bound(begin, m_points.end(), sol2, below))});
    if (!std::isnan(sol1))
        ranges.push_back({index(std::upper_bound(begin, m_points.end(), sol1, above)), size()});
    return ranges;
}

void OrbitSweep::chooseNearest(const RadiantProbe& probe, float sol1, float sol2, int streamRow,
                               bool pri, std::vector<RvgChoice>& choices) const
{
    for (const auto& [first, last] : windowRanges(sol1, sol2))
        for (std::size_t block = first; block < last; block += kBlock)
            chooseInBlock(probe, block, std::min(last, block + kBlock), streamRow, pri, choices);
}

void OrbitSweep::chooseInBlock(const RadiantProbe& probe, std::size_t first, std::size_t last,
                               int streamRow, bool pri, std::vector<RvgChoice>& choices) const
{
    // Within the block the radiant moves continuously along its great circle, so no orbit is
    // nearer to it than to the radiant at the block's middle sol, less the way travelled.
    const DriftingRadiant& radiant = probe.radiant;
    const double solFirst = m_points[first].sol, solLast = m_points[last - 1].sol;
    bool bounded = radiant.turn(solFirst) == radiant.turn(solLast);
    double cx = 0.0, cy = 0.0, cz = 0.0, cosBound = -2.0;
    if (bounded) {
        const double solMiddle = 0.5 * (solFirst + solLast);
        double ra = 0.0, dec = 0.0;
        radiant.at(solMiddle, ra, dec);
        unitVector(ra, dec, cx, cy, cz);
        const double travel =
            radiant.drifts() ? radiant.dailyRate() *
                                   std::max(solMiddle - solFirst, solLast - solMiddle) / kSolPerDay
                             : 0.0;
        const double bound = std::min(probe.limitDeg, 99.9) + travel + kBoundMarginDeg;
        bounded = bound < 180.0;
        if (bounded)
            cosBound = std::cos(bound * kDegToRad);
    }
    for (std::size_t i = first; i < last; ++i) {
        const Point& point = m_points[i];
        RvgChoice& choice = choices[i];
        if ((pri && choice.streamRow >= 0) || !probe.velocity.contains(point.vg))
            continue;
        if (bounded && point.x * cx + point.y * cy + point.z * cz < cosBound)
            continue;
        const double distance = radiantOffset(radiant, point.sol, point.ra, point.dec);
        if (distance < probe.limitDeg && distance < choice.bestDeg) {
            choice.bestDeg = distance;
            choice.streamRow = streamRow;
        }
    }
}

std::vector<MatchedOrbit> OrbitSweep::matchDprime(const DPrimeProbe& probe, float sol1,
                                                  float sol2) const
{
    // D' is at least the root of its e and q terms, and its plane term is the angle between
    // the planes over 180 degrees: both are cheap and skip most orbits.
    const DPrimeOrbit& typical = probe.typical;
    const double limit = probe.limit * (1.0 + kBoundMarginDprime) + kBoundMarginDprime;
    const double limitSquared = limit * limit;
    const double incl = typical.inclDeg * kDegToRad, node = typical.nodeDeg * kDegToRad;
    const double nx = std::sin(incl) * std::sin(node), ny = -std::sin(incl) * std::cos(node),
                 nz = std::cos(incl);
    const double planeBound = kPi * limit;
    const double cosPlane = planeBound < kPi ? std::cos(planeBound) : -2.0;
    std::vector<MatchedOrbit> matched;
    for (const auto& [first, last] : windowRanges(sol1, sol2)) {
        for (std::size_t i = first; i < last; ++i) {
            const Elements& elements = m_elements[i];
            const double eTerm = relativeDifference(typical.e, elements.e);
            const double qTerm = relativeDifference(typical.q, elements.q);
            if (eTerm * eTerm + qTerm * qTerm > limitSquared ||
                nx * elements.nx + ny * elements.ny + nz * elements.nz < cosPlane)
                continue;
            const int row = m_points[i].row;
            if (const std::optional<double> dprime = probe.match(m_orbits, row))
                matched.push_back({static_cast<int>(i), row, static_cast<float>(*dprime)});
        }
    }
    std::sort(matched.begin(), matched.end(),
              [](const MatchedOrbit& a, const MatchedOrbit& b) { return a.orbitRow < b.orbitRow; });
    return matched;
}

std::vector<std::pair<int, int>>
OrbitSweep::chosenInRowOrder(const std::vector<RvgChoice>& choices) const
{
    std::vector<std::pair<int, int>> chosen;
    for (std::size_t i = 0; i < m_points.size(); ++i)
        if (choices[i].streamRow >= 0)
            chosen.emplace_back(m_points[i].row, choices[i].streamRow);
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

std::vector<std::pair<int, DPrimeBest>>
OrbitSweep::bestInRowOrder(const std::vector<DPrimeBest>& best) const
{
    std::vector<std::pair<int, DPrimeBest>> chosen;
    for (std::size_t i = 0; i < m_points.size(); ++i)
        if (best[i].streamRow >= 0)
            chosen.emplace_back(m_points[i].row, best[i]);
    std::sort(chosen.begin(), chosen.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return chosen;
}
