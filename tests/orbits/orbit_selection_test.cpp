// The selection run: its edge cases, and the fast run against a
// straightforward single-threaded loop on random data (same bits).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/frames.h"
#include "astro/orbit_from_radiant.h"
#include "astro/similarity.h"
#include "mdb/schema.h"
#include "selection_fixture.h"
#include "table/links.h"

namespace {

using C = col::Orbit;

// ---- The oracle: the selection and the averages as one plain loop each. ----

struct Straightforward {
    std::vector<std::uint32_t> sel;
    std::vector<float> sR, DD, mR;
    int selected = 0;
    double firstMjd = 9999999999.0, lastMjd = 0.0;
    SelectionAverages avg;
};

bool streamConditionHolds(const CUTABLE& orbits, int row, bool sporadic)
{
    bool anyLink = false, anyInList = false;
    for (const LinkNode& node : linksOf(orbits, row, C::SLINK)) {
        if (!node.resolved())
            continue;
        anyLink = true;
        const CUTABLE& streams = *node.partnerCell.table;
        if (streams.cell(node.partnerCell.row, col::Stream::ssel)->number != 0)
            return true;
        if (streams.cell(node.partnerCell.row, col::Stream::LS)->number != 0)
            anyInList = true;
    }
    return anyLink ? sporadic && !anyInList : sporadic;
}

Straightforward straightforwardRun(const SelectionFixture& f)
{
    const Settings& s = f.settings;
    const CUTABLE& t = f.db.orbits;
    const int n = t.count();
    Straightforward r;
    r.sel.assign(n, 0);
    r.sR.assign(n, 0);
    r.DD.assign(n, 0);
    r.mR.assign(n, 0);
    const float sc = static_cast<float>(f.selection.currentSol);
    const double m0 = DateToMJD(s.dlg_Y, s.dlg_M, s.dlg_D, 12, 0, 0);
    const int days = s.po_days < 0 ? 0 : s.po_days;
    const double w = days == 0 ? 0.5 : days;
    double ds = SolarLongitude(m0 + w + 2400000.5) - SolarLongitude(m0 + 2400000.5);
    if (ds < 0)
        ds += 360;
    if (days >= 200)
        ds = 180;
    const float decLow = ClampLatitude(s.po_d1 - s.po_d2),
                decHigh = ClampLatitude(s.po_d1 + s.po_d2);
    std::vector<bool> reached(n, false);
    for (int row = 0; row < n; ++row) {
        if (!t.isLive(row))
            continue;
        auto v = [&](int column) { return t.cell(row, column)->real; };
        const double mjd = t.cell(row, C::mjd)->real64;
        r.sR[row] = static_cast<float>(AngularDistance(s.po_r1, s.po_d1, v(C::ra), v(C::dec)));
        r.DD[row] =
            static_cast<float>(DPrime({s.po_e1, s.po_q1, s.po_i1, s.po_n1, s.po_p1},
                                      {v(C::e), v(C::q), v(C::incl), v(C::node), v(C::peri)}));
        std::uint32_t sel = t.cell(row, C::sel)->number;
        if (t.integer(row, C::dline) < 0) {
            r.sel[row] = sel & 6;
            continue;
        }
        if (sel >= 4) {
            r.sel[row] = sel;
            reached[row] = true;
            continue;
        }
        bool ok = true;
        auto within = [&](int on, float value, float ref, float half) {
            if (on && !(ref - half <= value && value <= ref + half))
                ok = false;
        };
        auto angleWithin = [&](int on, float value, float ref, float half) {
            if (on && !(AbsAngleDiff(value, ref) <= half))
                ok = false;
        };
        if (s.po_daysC) {
            if (s.po_allyC)
                ok = AbsAngleDiff(v(C::sol), sc) <= ds;
            else
                ok = m0 - w <= mjd && mjd <= m0 + w;
        }
        angleWithin(s.po_rC, v(C::ra), s.po_r1, s.po_r2);
        if (s.po_dC && !(decLow <= v(C::dec) && v(C::dec) <= decHigh))
            ok = false;
        within(s.po_vC, v(C::vg), s.po_v1, s.po_v2);
        within(s.po_aC, v(C::a), s.po_a1, s.po_a2);
        within(s.po_qC, v(C::q), s.po_q1, s.po_q2);
        within(s.po_eC, v(C::e), s.po_e1, s.po_e2);
        angleWithin(s.po_pC, v(C::peri), s.po_p1, s.po_p2);
        angleWithin(s.po_nC, v(C::node), s.po_n1, s.po_n2);
        angleWithin(s.po_iC, v(C::incl), s.po_i1, s.po_i2);
        if (s.po_RC && !(r.sR[row] <= s.po_R))
            ok = false;
        if (s.po_DC && !(r.DD[row] <= s.po_D))
            ok = false;
        if (s.po_selstream && !streamConditionHolds(t, row, f.sporadicChosen))
            ok = false;
        if (!ok) {
            r.sel[row] = sel & 6;
            continue;
        }
        r.sel[row] = sel | 1;
        r.firstMjd = std::min(r.firstMjd, mjd);
        r.lastMjd = std::max(r.lastMjd, mjd);
        reached[row] = r.sel[row] == 1;
    }
    // The averages, in table order.
    double W = 0, sra = 0, sra2 = 0, ss = 0, ss2 = 0, sd = 0, sd2 = 0, sv = 0, sv2 = 0, sp = 0,
           sp2 = 0, ssr = 0, shb = 0, she = 0, szr = 0, smag = 0, smass = 0, D = 0, Dra = 0,
           Ddec = 0;
    for (int row = 0; row < n; ++row) {
        if (!reached[row])
            continue;
        ++r.selected;
        const int type = t.cell(row, C::type)->integer;
        if (type < 1)
            continue;
        ++r.avg.averaged;
        auto v = [&](int column) { return double(t.cell(row, column)->real); };
        const double wt = type;
        const double dra = AngleDiff(t.cell(row, C::ra)->real, s.po_r1);
        const double dsol = AngleDiff(t.cell(row, C::sol)->real, sc);
        const double dd = r.DD[row];
        W += wt;
        sra += wt * dra;
        sra2 += wt * dra * dra;
        ss += wt * dsol;
        ss2 += wt * dsol * dsol;
        sd += wt * v(C::dec);
        sd2 += wt * v(C::dec) * v(C::dec);
        sv += wt * v(C::vg);
        sv2 += wt * v(C::vg) * v(C::vg);
        sp += wt * dd;
        sp2 += wt * dd * dd;
        ssr += wt * double(r.sR[row]);
        shb += wt * v(C::Hb);
        she += wt * v(C::He);
        szr += wt * v(C::zr);
        smag += wt * v(C::mag);
        smass += wt * v(C::mass);
        const double sign = dsol > 0 ? 1 : -1;
        D += sign * wt * dsol;
        Dra += sign * wt * dra;
        Ddec += sign * wt * (v(C::dec) - s.po_d1);
    }
    if (W == 0) {
        r.avg = {};
        return r;
    }
    SelectionAverages& a = r.avg;
    a.totalWeight = W;
    double ra = std::fmod(s.po_r1 + sra / W, 360.0);
    a.ra = ra < 0 ? ra + 360 : ra;
    a.raScatter = std::sqrt(std::max(0.0, (sra2 - sra * sra / W) / W));
    a.sol = Normalize360(static_cast<float>(sc + ss / W));
    a.solScatter = std::sqrt(std::max(0.0, (ss2 - ss * ss / W) / W));
    a.dec = sd / W;
    a.decScatter = std::sqrt(std::max(0.0, sd2 / W - a.dec * a.dec));
    a.vg = sv / W;
    a.vgScatter = std::sqrt(std::max(0.0, sv2 / W - a.vg * a.vg));
    a.dPrime = sp / W;
    a.dPrimeScatter = std::sqrt(std::max(0.0, sp2 / W - a.dPrime * a.dPrime));
    a.sR = ssr / W;
    a.Hb = shb / W;
    a.He = she / W;
    a.zr = szr / W;
    a.mag = smag / W;
    a.mass = smass / W;
    a.driftRa = D != 0 ? Dra / D : 0;
    a.driftDec = D != 0 ? Ddec / D : 0;
    if (a.vg >= 0.01 && SolToJD(a.sol, s.dlg_Y))
        OrbitFromRadiant(*SolToJD(a.sol, s.dlg_Y), a.ra * kDegToRad, a.dec * kDegToRad, a.vg,
                         a.peri, a.node, a.incl, a.a, a.q, a.e);
    // The second pass.
    double rate = 0, angle = 0;
    RelativePosition(s.po_d1, a.driftRa, a.driftDec, rate, angle);
    float smallest = 0, largest = 0;
    double wmr = 0, wsum = 0;
    for (int row = 0; row < n; ++row) {
        if (!t.isLive(row) || t.integer(row, C::dline) < 0 || !(r.sel[row] == 1 || r.sel[row] >= 4))
            continue;
        double pra = 0, pdec = 0;
        OffsetPoint(s.po_r1, s.po_d1, angle,
                    rate * AngleDiff(t.cell(row, C::sol)->real, sc) / 0.9856262833675564, pra,
                    pdec);
        r.mR[row] = static_cast<float>(
            AngularDistance(static_cast<float>(pra), static_cast<float>(pdec),
                            t.cell(row, C::ra)->real, t.cell(row, C::dec)->real));
        const int type = t.cell(row, C::type)->integer;
        if (type < 1)
            continue;
        const float offset = AngleDiff(t.cell(row, C::sol)->real, static_cast<float>(a.sol));
        smallest = std::min(smallest, offset);
        largest = std::max(largest, offset);
        wmr += type * double(r.mR[row]);
        wsum += type;
    }
    a.sol1 = Normalize360(static_cast<float>(a.sol) + smallest);
    a.sol2 = Normalize360(static_cast<float>(a.sol) + largest);
    a.meanMR = wmr / wsum;
    return r;
}

std::uint32_t bitsOf(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void expectSameAverages(const SelectionAverages& got, const SelectionAverages& want)
{
    const double SelectionAverages::*fields[] = {&SelectionAverages::totalWeight,
                                                 &SelectionAverages::ra,
                                                 &SelectionAverages::raScatter,
                                                 &SelectionAverages::dec,
                                                 &SelectionAverages::decScatter,
                                                 &SelectionAverages::vg,
                                                 &SelectionAverages::vgScatter,
                                                 &SelectionAverages::sol,
                                                 &SelectionAverages::solScatter,
                                                 &SelectionAverages::dPrime,
                                                 &SelectionAverages::dPrimeScatter,
                                                 &SelectionAverages::sR,
                                                 &SelectionAverages::Hb,
                                                 &SelectionAverages::He,
                                                 &SelectionAverages::zr,
                                                 &SelectionAverages::mag,
                                                 &SelectionAverages::mass,
                                                 &SelectionAverages::driftRa,
                                                 &SelectionAverages::driftDec,
                                                 &SelectionAverages::a,
                                                 &SelectionAverages::q,
                                                 &SelectionAverages::e,
                                                 &SelectionAverages::peri,
                                                 &SelectionAverages::node,
                                                 &SelectionAverages::incl,
                                                 &SelectionAverages::sol1,
                                                 &SelectionAverages::sol2,
                                                 &SelectionAverages::meanMR};
    for (std::size_t i = 0; i < std::size(fields); ++i)
        EXPECT_EQ(std::memcmp(&(got.*fields[i]), &(want.*fields[i]), sizeof(double)), 0)
            << "field " << i << ": " << got.*fields[i] << " vs " << want.*fields[i];
    EXPECT_EQ(got.averaged, want.averaged);
}

TEST(SelectOrbits, SameBitsAsTheStraightforwardLoopOnRandomData)
{
    // Enough rows for both cores to take part.
    int runsWithAverages = 0, runsWithFewerSelected = 0;
    for (std::uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        SelectionFixture f;
        f.fillRandom(random, 60000);
        f.randomConditions(random);
        const Straightforward want = straightforwardRun(f);
        f.run();
        int differing = 0, selected = 0;
        for (int row = 0; row < f.db.orbits.count(); ++row) {
            if (!f.db.orbits.isLive(row))
                continue;
            const bool same = f.sel(row) == want.sel[row] &&
                              bitsOf(f.real(row, C::sR)) == bitsOf(want.sR[row]) &&
                              bitsOf(f.real(row, C::DD)) == bitsOf(want.DD[row]);
            const bool selectedRow = want.sel[row] == 1 || want.sel[row] >= 4;
            differing += same && (!selectedRow || f.db.orbits.integer(row, C::dline) < 0 ||
                                  want.avg.totalWeight == 0 ||
                                  bitsOf(f.real(row, C::mR)) == bitsOf(want.mR[row]))
                             ? 0
                             : 1;
            selected += isSelectedOrbit(f.db.orbits, row) ? 1 : 0;
        }
        EXPECT_EQ(differing, 0);
        EXPECT_EQ(f.selection.selected, want.selected);
        EXPECT_EQ(selected, want.selected);
        EXPECT_EQ(f.selection.firstMjd, want.firstMjd);
        EXPECT_EQ(f.selection.lastMjd, want.lastMjd);
        expectSameAverages(f.selection.averages, want.avg);
        runsWithAverages += want.avg.totalWeight > 0 ? 1 : 0;
        runsWithFewerSelected += want.selected < liveRowCount(f.db.orbits) / 2 ? 1 : 0;
    }
    // The random conditions both select and reject.
    EXPECT_GE(runsWithAverages, 3);
    EXPECT_GE(runsWithFewerSelected, 2);
}

// ---- Edge cases, each a named setting and orbit with its outcome. ----

struct EdgeCase {
    const char* name;
    void (*setUp)(Settings&);
    OrbitValues orbit;
    std::uint32_t selAfter;
    bool averaged;
};

void allOff(Settings&) {}
void decNearPole(Settings& s)
{
    s.po_dC = 1;
    s.po_d1 = 88;
    s.po_d2 = 5;
}
void raAcrossZero(Settings& s)
{
    s.po_rC = 1;
    s.po_r1 = 358;
    s.po_r2 = 5;
}
// Page date 2007-08-13; the default SC of the fixture is set to 140.
void dateAllYears(Settings& s)
{
    s.dlg_Y = 2007;
    s.dlg_M = 8;
    s.dlg_D = 13;
    s.po_daysC = 1;
    s.po_allyC = 1;
}
void dateThisYear(Settings& s)
{
    dateAllYears(s);
    s.po_allyC = 0;
}
void dateHalfDay(Settings& s)
{
    dateThisYear(s);
    s.po_days = 0;
}
void dateNegativeDays(Settings& s)
{
    dateThisYear(s);
    s.po_days = -3;
}
void dateLongWindow(Settings& s)
{
    dateAllYears(s);
    s.po_days = 250;
}
void vgFar(Settings& s)
{
    s.po_vC = 1;
    s.po_v1 = 20;
    s.po_v2 = 10;
}

TEST(SelectOrbits, EdgeCases)
{
    const double noon = DateToMJD(2007, 8, 13, 12, 0, 0);
    const float sameSolOtherYear = 140.0f;
    const EdgeCase cases[] = {
        {"every flag off selects a listed orbit", allOff, {}, 1, true},
        {"dec window 83..90 takes 84", decNearPole, {.dec = 84.0f}, 1, true},
        {"dec window 83..90 takes 90", decNearPole, {.dec = 90.0f}, 1, true},
        {"dec window 83..90 refuses 82.9", decNearPole, {.dec = 82.9f}, 0, false},
        {"ra 358 +-5 takes 2", raAcrossZero, {.ra = 2.0f}, 1, true},
        {"ra 358 +-5 refuses 4", raAcrossZero, {.ra = 4.0f}, 0, false},
        {"all years: another year at the same sol",
         dateAllYears,
         {.sol = sameSolOtherYear, .mjd = 51000.0f},
         1,
         true},
        {"this year only: another year refused",
         dateThisYear,
         {.sol = sameSolOtherYear, .mjd = 51000.0f},
         0,
         false},
        {"this year: 0.9 day off within 1 day",
         dateThisYear,
         {.mjd = static_cast<float>(noon + 0.9)},
         1,
         true},
        {"0 days is half a day: 0.4 off taken",
         dateHalfDay,
         {.mjd = static_cast<float>(noon - 0.4)},
         1,
         true},
        {"0 days is half a day: 0.6 off refused",
         dateHalfDay,
         {.mjd = static_cast<float>(noon + 0.6)},
         0,
         false},
        {"negative days count as 0",
         dateNegativeDays,
         {.mjd = static_cast<float>(noon + 0.6)},
         0,
         false},
        {"250 days cover every sol", dateLongWindow, {.sol = 330.0f}, 1, true},
        {"sel 5 stays selected whatever the conditions", vgFar, {.vg = 70.0f, .sel = 5}, 5, true},
        {"sel 2 gains bit 0 but is not averaged", allOff, {.sel = 2}, 3, false},
        {"sel 3 loses bit 0 when refused", vgFar, {.vg = 70.0f, .sel = 3}, 2, false},
        {"a hidden orbit keeps its mark and counts for nothing",
         allOff,
         {.sel = 4, .dline = -1},
         4,
         false},
        {"a hidden orbit loses bit 0", allOff, {.sel = 1, .dline = -1}, 0, false},
        {"type 0 is selected but has no weight", allOff, {.type = 0}, 1, false},
    };
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.name);
        SelectionFixture f;
        f.selection.currentSol = 140.0;
        c.setUp(f.settings);
        const int row = f.addOrbit(c.orbit);
        f.run();
        EXPECT_EQ(f.sel(row), c.selAfter);
        EXPECT_EQ(f.selection.averages.averaged, c.averaged ? 1 : 0);
        // sR and DD are written whatever the outcome.
        EXPECT_FLOAT_EQ(f.real(row, C::sR),
                        static_cast<float>(AngularDistance(f.settings.po_r1, f.settings.po_d1,
                                                           c.orbit.ra, c.orbit.dec)));
        EXPECT_GT(f.real(row, C::DD), 0.0f);
    }
}

TEST(SelectOrbits, StreamCondition)
{
    const struct {
        const char* name;
        int links; // 0: none, 1: a chosen stream, 2: a listed stream not chosen, 3: neither
        bool sporadic;
        bool selected;
    } cases[] = {
        {"chosen stream passes", 1, false, true},
        {"listed but not chosen fails", 2, true, false},
        {"unlisted stream passes as sporadic", 3, true, true},
        {"unlisted stream fails without sporadic", 3, false, false},
        {"no links pass as sporadic", 0, true, true},
        {"no links fail without sporadic", 0, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SelectionFixture f;
        f.settings.po_selstream = 1;
        f.sporadicChosen = c.sporadic;
        const int chosen = f.addStream(true, true), listed = f.addStream(false, true),
                  other = f.addStream(false, false);
        const int row = f.addOrbit({});
        if (c.links != 0)
            f.linkOrbit(row, c.links == 1 ? chosen : c.links == 2 ? listed : other);
        f.run();
        EXPECT_EQ(f.sel(row), c.selected ? 1u : 0u);
    }
}

TEST(SelectionAverages, EdgeCases)
{
    {
        SCOPED_TRACE("ra 359 and 1 average to about 0, never 360");
        SelectionFixture f;
        f.settings.po_r1 = 10;
        f.addOrbit({.ra = 359.0f});
        f.addOrbit({.ra = 1.0f});
        f.run();
        const double ra = f.selection.averages.ra;
        EXPECT_TRUE(ra < 1e-4 || ra > 359.9999) << ra;
        EXPECT_LT(ra, 360.0);
    }
    {
        SCOPED_TRACE("identical values scatter 0, never NaN");
        SelectionFixture f;
        for (int n = 0; n < 3; ++n)
            f.addOrbit({.ra = 46.3f, .dec = 58.1f, .vg = 35.7f});
        f.run();
        const SelectionAverages& a = f.selection.averages;
        for (double scatter :
             {a.raScatter, a.decScatter, a.vgScatter, a.solScatter, a.dPrimeScatter})
            EXPECT_EQ(scatter, 0.0);
        EXPECT_EQ(a.averaged, 3);
    }
    {
        SCOPED_TRACE("mean vg below 0.01 leaves the average orbit zero");
        SelectionFixture f;
        f.addOrbit({.vg = 0.0f});
        f.run();
        const SelectionAverages& a = f.selection.averages;
        EXPECT_EQ(a.totalWeight, 1.0);
        for (double element : {a.a, a.q, a.e, a.peri, a.node, a.incl})
            EXPECT_EQ(element, 0.0);
    }
    {
        SCOPED_TRACE("one orbit: limits at its sol, drift 0, weights by type");
        SelectionFixture f;
        f.selection.currentSol = 140.0;
        f.addOrbit({.sol = 140.0f, .type = 3});
        f.run();
        const SelectionAverages& a = f.selection.averages;
        EXPECT_EQ(a.totalWeight, 3.0);
        EXPECT_FLOAT_EQ(a.sol1, 140.0f);
        EXPECT_FLOAT_EQ(a.sol2, 140.0f);
        EXPECT_EQ(a.driftRa, 0.0);
        EXPECT_GT(a.q, 0.0);
    }
    {
        SCOPED_TRACE("nothing weighted: all zero");
        SelectionFixture f;
        f.addOrbit({.type = 0});
        f.run();
        EXPECT_EQ(f.selection.averages.totalWeight, 0.0);
        EXPECT_EQ(f.selection.averages.ra, 0.0);
        EXPECT_EQ(f.selection.selected, 1);
    }
}

TEST(SolWindow, LongSpansCoverTheYearAndShortOnesFollowTheSun)
{
    const double noon = DateToMJD(2007, 8, 13, 12, 0, 0);
    EXPECT_EQ(solWindowHalfWidth(noon, 200), 180.0);
    EXPECT_EQ(solWindowHalfWidth(noon, 365), 180.0);
    // About 0.96 degree a day in August.
    EXPECT_NEAR(solWindowHalfWidth(noon, 1), 0.96, 0.02);
    EXPECT_NEAR(solWindowHalfWidth(noon, 0), 0.48, 0.01);
    EXPECT_EQ(solWindowHalfWidth(noon, -5), solWindowHalfWidth(noon, 0));
    // August to November: the Sun nears perihelion and moves faster than on average.
    EXPECT_NEAR(solWindowHalfWidth(noon, 100), 98.4, 0.5);
}

} // namespace
