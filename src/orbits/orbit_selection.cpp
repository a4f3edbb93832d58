// The selection run: each orbit row tested against the enabled conditions.
#include "orbits/orbit_selection.h"

#include <algorithm>
#include <vector>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/frames.h"
#include "astro/similarity.h"
#include "mdb/database.h"
#include "mdb/schema.h"
#include "orbits/selection_conditions.h"
#include "platform/parallel.h"
#include "table/links.h"

namespace {

using C = col::Orbit;

constexpr std::uint32_t kKeepMarks = 6; // bits 1 and 2
constexpr std::uint32_t kByConditions = 1;
constexpr std::uint32_t kRegardless = 4;
constexpr int kWholeYearDays = 200;
constexpr int kRowsPerThread = 20000;

// Reference minus and plus half-width; all comparisons are on single-precision values.
struct Range {
    bool on;
    float low;
    float high;
    bool holds(float value) const { return !on || (low <= value && value <= high); }
};

Range range(int flag, float reference, float halfWidth)
{
    return {flag != 0, reference - halfWidth, reference + halfWidth};
}

// An angle within a half-width of its reference, across 0/360.
struct AngleRange {
    bool on;
    float reference;
    float halfWidth;
    bool holds(float value) const { return !on || AbsAngleDiff(value, reference) <= halfWidth; }
};

// The enabled conditions, prepared once per run.
struct Conditions {
    bool dateOn = false;
    bool allYears = false;
    float sc = 0.0f;
    double solHalfWidth = 0.0;
    double mjdLow = 0.0, mjdHigh = 0.0;
    AngleRange ra{};
    Range dec{}, vg{}, a{}, q{}, e{};
    AngleRange peri{}, node{}, incl{};
    bool radiusOn = false, dPrimeOn = false, streamOn = false, sporadic = false;
    float radius = 0.0f, dPrime = 0.0f;
    float refRa = 0.0f, refDec = 0.0f;
};

Conditions conditionsOf(const SelectionConditions& s, bool sporadicChosen,
                        const OrbitSelection& selection)
{
    Conditions c;
    const double m0 = DateToMJD(s.dlg_Y, s.dlg_M, s.dlg_D, 12, 0, 0);
    const double w = s.po_days > 0 ? s.po_days : 0.5;
    c.dateOn = s.po_daysC != 0;
    c.allYears = s.po_allyC != 0;
    c.sc = static_cast<float>(selection.currentSol);
    c.solHalfWidth = solWindowHalfWidth(m0, s.po_days);
    c.mjdLow = m0 - w;
    c.mjdHigh = m0 + w;
    c.ra = {s.po_rC != 0, s.po_r1, s.po_r2};
    c.dec = {s.po_dC != 0, ClampLatitude(s.po_d1 - s.po_d2), ClampLatitude(s.po_d1 + s.po_d2)};
    c.vg = range(s.po_vC, s.po_v1, s.po_v2);
    c.a = range(s.po_aC, s.po_a1, s.po_a2);
    c.q = range(s.po_qC, s.po_q1, s.po_q2);
    c.e = range(s.po_eC, s.po_e1, s.po_e2);
    c.peri = {s.po_pC != 0, s.po_p1, s.po_p2};
    c.node = {s.po_nC != 0, s.po_n1, s.po_n2};
    c.incl = {s.po_iC != 0, s.po_i1, s.po_i2};
    c.radiusOn = s.po_RC != 0;
    c.radius = s.po_R;
    c.dPrimeOn = s.po_DC != 0;
    c.dPrime = s.po_D;
    c.streamOn = s.po_selstream != 0;
    c.sporadic = sporadicChosen;
    c.refRa = s.po_r1;
    c.refDec = s.po_d1;
    return c;
}

// A linked stream chosen in the stream dialog passes the orbit; otherwise
// the sporadic choice passes it when none of its streams is in the current list.
bool passesStreamCondition(const CUTABLE& orbits, int row, bool sporadic)
{
    bool inList = false;
    for (const LinkNode& node : linksOf(orbits, row, C::SLINK)) {
        if (!node.resolved())
            continue;
        const CUTABLE& streams = *node.partnerCell.table;
        const int stream = node.partnerCell.row;
        if (streams.cell(stream, col::Stream::ssel)->number != 0)
            return true;
        inList = inList || streams.cell(stream, col::Stream::LS)->number != 0;
    }
    return sporadic && !inList;
}

float real(const CUTABLE& orbits, int row, int column) { return orbits.cell(row, column)->real; }

// The conditions in their order; the first failure decides.
bool passes(const Conditions& c, const CUTABLE& orbits, int row)
{
    if (c.dateOn) {
        if (c.allYears) {
            if (!(AbsAngleDiff(real(orbits, row, C::sol), c.sc) <= c.solHalfWidth))
                return false;
        } else {
            const double mjd = orbits.cell(row, C::mjd)->real64;
            if (!(c.mjdLow <= mjd && mjd <= c.mjdHigh))
                return false;
        }
    }
    if (!c.ra.holds(real(orbits, row, C::ra)) || !c.dec.holds(real(orbits, row, C::dec)) ||
        !c.vg.holds(real(orbits, row, C::vg)) || !c.a.holds(real(orbits, row, C::a)) ||
        !c.q.holds(real(orbits, row, C::q)) || !c.e.holds(real(orbits, row, C::e)) ||
        !c.peri.holds(real(orbits, row, C::peri)) || !c.node.holds(real(orbits, row, C::node)) ||
        !c.incl.holds(real(orbits, row, C::incl)))
        return false;
    if (c.radiusOn && !(real(orbits, row, C::sR) <= c.radius))
        return false;
    if (c.dPrimeOn && !(real(orbits, row, C::DD) <= c.dPrime))
        return false;
    return !c.streamOn || passesStreamCondition(orbits, row, c.sporadic);
}

// What one part of the rows found.
struct PartResult {
    int selected = 0;
    double firstMjd = OrbitSelection::kNoFirstMjd;
    double lastMjd = 0.0;
};

void markRows(const Conditions& c, const DPrimeReference& reference, CUTABLE& orbits,
              PartRange rows, PartResult& result)
{
    for (int row = rows.first; row < rows.last; ++row) {
        if (!orbits.isLive(row))
            continue;
        UCell* cells = orbits.cell(row, 0);
        cells[C::sR].real = static_cast<float>(
            AngularDistance(c.refRa, c.refDec, cells[C::ra].real, cells[C::dec].real));
        cells[C::DD].real = static_cast<float>(
            reference.to({cells[C::e].real, cells[C::q].real, cells[C::incl].real,
                          cells[C::node].real, cells[C::peri].real}));
        std::uint32_t& sel = cells[C::sel].number;
        if (cells[C::dline].integer < 0) {
            // A row without a list line is out of the selection, whatever its mark.
            sel &= kKeepMarks;
            continue;
        }
        if (sel < kRegardless) {
            if (!passes(c, orbits, row)) {
                sel &= kKeepMarks;
                continue;
            }
            sel |= kByConditions;
            const double mjd = cells[C::mjd].real64;
            result.firstMjd = std::min(result.firstMjd, mjd);
            result.lastMjd = std::max(result.lastMjd, mjd);
            if (sel != kByConditions)
                continue; // kept out of the averages
        }
        ++result.selected;
    }
}

} // namespace

bool isSelectedOrbit(const CUTABLE& orbits, int row)
{
    const std::uint32_t sel = orbits.cell(row, C::sel)->number;
    return (sel == kByConditions || sel >= kRegardless) && orbits.integer(row, C::dline) >= 0;
}

double solWindowHalfWidth(double mjdNoon, int days)
{
    if (days >= kWholeYearDays)
        return 180.0;
    const double w = days > 0 ? days : 0.5;
    double halfWidth = SolarLongitude(mjdNoon + w + kMjdToJd) - SolarLongitude(mjdNoon + kMjdToJd);
    if (halfWidth < 0.0)
        halfWidth += 360.0;
    return halfWidth;
}

void markSelectedOrbits(Database& db, const SelectionConditions& given, bool sporadicChosen,
                        OrbitSelection& selection)
{
    const Conditions conditions = conditionsOf(given, sporadicChosen, selection);
    const DPrimeReference reference(
        {given.po_e1, given.po_q1, given.po_i1, given.po_n1, given.po_p1});
    CUTABLE& orbits = db.orbits;
    const int rows = orbits.count();
    std::vector<PartResult> parts(std::max(1u, std::thread::hardware_concurrency()));
    onAllCores(rows, kRowsPerThread, [&](int part, int partCount) {
        markRows(conditions, reference, orbits, partRange(rows, part, partCount),
                 parts[static_cast<std::size_t>(part)]);
    });
    selection.selected = 0;
    selection.firstMjd = OrbitSelection::kNoFirstMjd;
    selection.lastMjd = 0.0;
    for (const PartResult& part : parts) {
        selection.selected += part.selected;
        selection.firstMjd = std::min(selection.firstMjd, part.firstMjd);
        selection.lastMjd = std::max(selection.lastMjd, part.lastMjd);
    }
}

void SelectOrbits(Database& db, const SelectionConditions& given, bool sporadicChosen,
                  OrbitSelection& selection)
{
    markSelectedOrbits(db, given, sporadicChosen, selection);
    averageSelectedOrbits(db, given, selection);
}
