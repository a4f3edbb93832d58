// The weighted sums over the selected orbits, the averages, and the second
// pass with the drift-corrected reference radiant.
#include "orbits/orbit_averages.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/frames.h"
#include "astro/orbit_from_radiant.h"
#include "mdb/database.h"
#include "mdb/schema.h"
#include "orbits/orbit_selection.h"
#include "orbits/selection_conditions.h"
#include "platform/parallel.h"

namespace {

using C = col::Orbit;

constexpr int kRowsPerThread = 20000;
constexpr double kLowestVg = 0.01;

struct Sums {
    double w = 0, dRa = 0, dRa2 = 0, dSol = 0, dSol2 = 0;
    double dec = 0, dec2 = 0, vg = 0, vg2 = 0, dPrime = 0, dPrime2 = 0, sR = 0;
    double Hb = 0, He = 0, zr = 0, mag = 0, mass = 0;
    double driftSol = 0, driftRa = 0, driftDec = 0; // D, Dra, Ddec
    int count = 0;
};

// The weight a row brings to the averages: its type for a live selected orbit, 0 when it is
// left out.
int averageWeight(const CUTABLE& orbits, int row)
{
    if (!orbits.isLive(row) || !isSelectedOrbit(orbits, row))
        return 0;
    return std::max(orbits.integer(row, C::type), 0);
}

// sqrt of a variance that rounding may have pushed below 0.
double scatter(double variance) { return std::sqrt(std::max(0.0, variance)); }

double reduce360(double angle)
{
    double reduced = std::fmod(angle, 360.0);
    if (reduced < 0.0)
        reduced += 360.0;
    return reduced >= 360.0 ? 0.0 : reduced;
}

Sums weightedSums(const CUTABLE& orbits, const SelectionConditions& s, float sc)
{
    Sums sums;
    for (int row = 0; row < orbits.count(); ++row) {
        const int type = averageWeight(orbits, row);
        if (type < 1)
            continue;
        const UCell* cells = orbits.cell(row, 0);
        const double w = type;
        const double dRa = AngleDiff(cells[C::ra].real, s.po_r1);
        const double dSol = AngleDiff(cells[C::sol].real, sc);
        const double dec = cells[C::dec].real, vg = cells[C::vg].real, dp = cells[C::DD].real;
        ++sums.count;
        sums.w += w;
        sums.dRa += w * dRa;
        sums.dRa2 += w * dRa * dRa;
        sums.dSol += w * dSol;
        sums.dSol2 += w * dSol * dSol;
        sums.dec += w * dec;
        sums.dec2 += w * dec * dec;
        sums.vg += w * vg;
        sums.vg2 += w * vg * vg;
        sums.dPrime += w * dp;
        sums.dPrime2 += w * dp * dp;
        sums.sR += w * cells[C::sR].real;
        sums.Hb += w * cells[C::Hb].real;
        sums.He += w * cells[C::He].real;
        sums.zr += w * cells[C::zr].real;
        sums.mag += w * cells[C::mag].real;
        sums.mass += w * cells[C::mass].real;
        const double sign = dSol > 0.0 ? 1.0 : -1.0;
        sums.driftSol += sign * w * dSol;
        sums.driftRa += sign * w * dRa;
        sums.driftDec += sign * w * (dec - s.po_d1);
    }
    return sums;
}

SelectionAverages averagesOf(const Sums& sums, const SelectionConditions& s, float sc)
{
    SelectionAverages avg;
    const double W = sums.w;
    avg.totalWeight = W;
    avg.averaged = sums.count;
    avg.ra = reduce360(s.po_r1 + sums.dRa / W);
    avg.raScatter = scatter((sums.dRa2 - sums.dRa * sums.dRa / W) / W);
    avg.sol = Normalize360(static_cast<float>(sc + sums.dSol / W));
    avg.solScatter = scatter((sums.dSol2 - sums.dSol * sums.dSol / W) / W);
    avg.dec = sums.dec / W;
    avg.decScatter = scatter(sums.dec2 / W - avg.dec * avg.dec);
    avg.vg = sums.vg / W;
    avg.vgScatter = scatter(sums.vg2 / W - avg.vg * avg.vg);
    avg.dPrime = sums.dPrime / W;
    avg.dPrimeScatter = scatter(sums.dPrime2 / W - avg.dPrime * avg.dPrime);
    avg.sR = sums.sR / W;
    avg.Hb = sums.Hb / W;
    avg.He = sums.He / W;
    avg.zr = sums.zr / W;
    avg.mag = sums.mag / W;
    avg.mass = sums.mass / W;
    if (sums.driftSol != 0.0) {
        avg.driftRa = sums.driftRa / sums.driftSol;
        avg.driftDec = sums.driftDec / sums.driftSol;
    }
    const std::optional<double> jd = SolToJD(avg.sol, s.dlg_Y);
    if (avg.vg >= kLowestVg && jd)
        OrbitFromRadiant(*jd, avg.ra * kDegToRad, avg.dec * kDegToRad, avg.vg, avg.peri, avg.node,
                         avg.incl, avg.a, avg.q, avg.e);
    return avg;
}

// mR of every selected orbit: its distance from the reference radiant moved
// along the drift by its sol offset.
void writeDistancesFromDriftedRadiant(CUTABLE& orbits, const SelectionConditions& s, float sc,
                                      const SelectionAverages& avg)
{
    double rate = 0.0, angle = 0.0;
    RelativePosition(s.po_d1, avg.driftRa, avg.driftDec, rate, angle);
    const int rows = orbits.count();
    onAllCores(rows, kRowsPerThread, [&](int part, int parts) {
        const PartRange range = partRange(rows, part, parts);
        for (int row = range.first; row < range.last; ++row) {
            if (!orbits.isLive(row) || !isSelectedOrbit(orbits, row))
                continue;
            UCell* cells = orbits.cell(row, 0);
            const double dSol = AngleDiff(cells[C::sol].real, sc);
            double ra = 0.0, dec = 0.0;
            OffsetPoint(s.po_r1, s.po_d1, angle, rate * dSol / kSolPerDay, ra, dec);
            cells[C::mR].real =
                static_cast<float>(AngularDistance(static_cast<float>(ra), static_cast<float>(dec),
                                                   cells[C::ra].real, cells[C::dec].real));
        }
    });
}

// The activity limits and the mean mR over the weighted selected orbits.
void activityLimits(const CUTABLE& orbits, SelectionAverages& avg)
{
    const float meanSol = static_cast<float>(avg.sol);
    float smallest = 0.0f, largest = 0.0f;
    double weightedMR = 0.0, weights = 0.0;
    for (int row = 0; row < orbits.count(); ++row) {
        const int type = averageWeight(orbits, row);
        if (type < 1)
            continue;
        const UCell* cells = orbits.cell(row, 0);
        const float offset = AngleDiff(cells[C::sol].real, meanSol);
        smallest = std::min(smallest, offset);
        largest = std::max(largest, offset);
        weightedMR += type * static_cast<double>(cells[C::mR].real);
        weights += type;
    }
    avg.sol1 = Normalize360(meanSol + smallest);
    avg.sol2 = Normalize360(meanSol + largest);
    avg.meanMR = weights > 0.0 ? weightedMR / weights : 0.0;
}

} // namespace

void averageSelectedOrbits(Database& db, const SelectionConditions& conditions,
                           OrbitSelection& selection)
{
    const float sc = static_cast<float>(selection.currentSol);
    const Sums sums = weightedSums(db.orbits, conditions, sc);
    selection.averages = {};
    if (sums.w <= 0.0)
        return;
    selection.averages = averagesOf(sums, conditions, sc);
    writeDistancesFromDriftedRadiant(db.orbits, conditions, sc, selection.averages);
    activityLimits(db.orbits, selection.averages);
}
