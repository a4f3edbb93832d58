// Stream grouping: the tests of one orbit against one stream, and the runs over the list.
#include "streams/stream_grouping.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "astro/calendar.h"
#include "astro/frames.h"
#include "mdb/database.h"
#include "mdb/schema.h"
#include "platform/feedback.h"
#include "platform/ui.h"
#include "streams/grouping_sweep.h"
#include "table/links.h"
#include "table/text_file.h"

namespace {

using S = col::Stream;
using O = col::Orbit;

constexpr double kTiny = 0.0001;
constexpr float kNoBestDprime = 99.0f;
constexpr float kLinkedDprime = 90.0f;

float streamValue(const CUTABLE& streams, int row, int column)
{
    return streams.cell(row, column)->real;
}

CellRef orbitLinks(Database& db, int row) { return {&db.orbits, row, O::SLINK}; }
CellRef streamLinks(Database& db, int row) { return {&db.streams, row, S::OLINK}; }

bool inList(const Database& db, int streamRow)
{
    return db.streams.isLive(streamRow) && db.streams.cell(streamRow, S::LS)->number != 0;
}

// Unlinks the stream from every eligible orbit it is linked to.
void unlinkEligible(Database& db, int streamRow)
{
    std::vector<int> orbitRows;
    for (const LinkNode& node : linksOf(db.streams, streamRow, S::OLINK))
        if (node.resolved() && node.partnerCell.table == &db.orbits &&
            isEligibleOrbit(db, node.partnerCell.row))
            orbitRows.push_back(node.partnerCell.row);
    for (int orbitRow : orbitRows)
        unlink(streamLinks(db, streamRow), orbitLinks(db, orbitRow));
}

void linkRows(Database& db, int streamRow, int orbitRow)
{
    link(streamLinks(db, streamRow), orbitLinks(db, orbitRow));
}

// The streams of the list that a run considers, in table order.
std::vector<int> listedStreams(const Database& db)
{
    std::vector<int> rows;
    for (int row = 0; row < db.streams.count(); ++row)
        if (inList(db, row))
            rows.push_back(row);
    return rows;
}

bool stopRequested(Feedback& feedback, std::size_t done, std::size_t total)
{
    feedback.progress("grouping", static_cast<std::int64_t>(done),
                      static_cast<std::int64_t>(total));
    return feedback.cancelled();
}

// R-vg: the stream takes part in an all-stream run (vg, dv and R not negative).
bool takesPartInRvg(const CUTABLE& streams, int row)
{
    return streamValue(streams, row, S::vg) >= 0.0f && streamValue(streams, row, S::dv) >= 0.0f &&
           streamValue(streams, row, S::R) >= 0.0f;
}

RadiantProbe rvgProbe(const CUTABLE& streams, int row, const GroupingOptions& options)
{
    return {DriftingRadiant::ofStream(streams, row),
            velocityWindow(streamValue(streams, row, S::vg), streamValue(streams, row, S::dv),
                           options.kv),
            radiusLimit(streamValue(streams, row, S::R), options.kR)};
}

// The streams of the list asked about and kept for a D' run; nothing when the user cancels.
std::optional<std::vector<int>> dprimeStreams(const Database& db, const GroupingOptions& options)
{
    std::vector<int> kept;
    for (int row : listedStreams(db)) {
        if (typicalOrbitRow(db, row) < 0) {
            if (db.streams.cell(row, S::TypicalOID)->number != 0 &&
                !ui().askOkCancel(kTypicalNotLoadedQuestion, kAppCaption))
                return std::nullopt;
            continue;
        }
        if (options.dAndR && !(streamValue(db.streams, row, S::R) >= 0.0f))
            continue;
        kept.push_back(row);
    }
    return kept;
}

DPrimeProbe dprimeProbe(const Database& db, int row, const GroupingOptions& options)
{
    DPrimeProbe probe;
    probe.typical = dprimeOrbitOf(db.orbits, typicalOrbitRow(db, row));
    probe.limit = dprimeLimit(streamValue(db.streams, row, S::Dp), options.kD);
    probe.radiant = {DriftingRadiant::ofStream(db.streams, row), VelocityWindow{},
                     radiusLimit(streamValue(db.streams, row, S::R), options.kR)};
    probe.withRadiant = options.dAndR;
    return probe;
}

void finishSingle(Database& db, int streamRow, int count)
{
    db.streams.cell(streamRow, S::SO)->integer = count;
}

} // namespace

bool solInWindow(float solDeg, float sol1Deg, float sol2Deg)
{
    if (sol1Deg <= sol2Deg)
        return sol1Deg <= solDeg && solDeg <= sol2Deg;
    return solDeg > sol1Deg || solDeg < sol2Deg;
}

double radiusLimit(float rDeg, double kR) { return kR * (rDeg >= kTiny ? rDeg : 3.0); }

double dprimeLimit(float dprime, double kD)
{
    const double limit = kD * dprime;
    return limit < kTiny ? kD * 0.1 : limit;
}

VelocityWindow velocityWindow(float vgKms, float dvKms, double kv)
{
    VelocityWindow window;
    if (!(vgKms > kTiny))
        return window;
    const double halfWidth = kv * (dvKms >= kTiny ? dvKms : 0.3 * vgKms);
    window.active = true;
    window.lowKms = vgKms - halfWidth;
    window.highKms = vgKms + halfWidth;
    return window;
}

DriftingRadiant::DriftingRadiant(float solpDeg, float raDeg, float decDeg, float draDeg,
                                 float ddecDeg)
    : m_solp(solpDeg), m_ra(raDeg), m_dec(decDeg),
      m_drifts(!(std::fabs(draDeg) < kTiny && std::fabs(ddecDeg) < kTiny))
{
    if (m_drifts)
        RelativePosition(m_dec, draDeg, ddecDeg, m_rateDeg, m_angleDeg);
}

DriftingRadiant DriftingRadiant::ofStream(const CUTABLE& streams, int row)
{
    return {streamValue(streams, row, S::solp), streamValue(streams, row, S::ra),
            streamValue(streams, row, S::dec), streamValue(streams, row, S::dra),
            streamValue(streams, row, S::ddec)};
}

int DriftingRadiant::turn(double solDeg) const
{
    const double delta = solDeg - m_solp;
    if (delta > 180.0)
        return -1;
    if (delta < -180.0)
        return 1;
    return 0;
}

void DriftingRadiant::at(double solDeg, double& raDeg, double& decDeg) const
{
    if (!m_drifts) {
        raDeg = m_ra;
        decDeg = m_dec;
        return;
    }
    const double delta = solDeg - m_solp + 360.0 * turn(solDeg);
    OffsetPoint(m_ra, m_dec, m_angleDeg, m_rateDeg * (delta / kSolPerDay), raDeg, decDeg);
    if (raDeg >= 360.0)
        raDeg -= 360.0;
}

double radiantOffset(const DriftingRadiant& radiant, float solDeg, float raDeg, float decDeg)
{
    double streamRa = 0.0, streamDec = 0.0;
    radiant.at(solDeg, streamRa, streamDec);
    return AngularDistance(raDeg, decDeg, static_cast<float>(streamRa),
                           static_cast<float>(streamDec));
}

DPrimeOrbit dprimeOrbitOf(const CUTABLE& orbits, int row)
{
    return {orbits.cell(row, O::e)->real, orbits.cell(row, O::q)->real,
            orbits.cell(row, O::incl)->real, orbits.cell(row, O::node)->real,
            orbits.cell(row, O::peri)->real};
}

int typicalOrbitRow(const Database& db, int streamRow)
{
    const int row = db.streams.cell(streamRow, S::TOIDline)->integer;
    return isLiveRow(db.orbits, row) ? row : -1;
}

bool isEligibleOrbit(const Database& db, int orbitRow)
{
    return db.orbits.isLive(orbitRow) &&
           db.sources.isInUse(db.orbits.cell(orbitRow, O::OID)->number);
}

void eraseGroupingAll(Database& db)
{
    for (int row : listedStreams(db))
        unlinkEligible(db, row);
}

void eraseGroupingOfStream(Database& db, int streamRow)
{
    unlinkEligible(db, streamRow);
    db.streams.cell(streamRow, S::SO)->integer = 0;
}

void recountStreams(Database& db)
{
    for (int row = 0; row < db.streams.count(); ++row) {
        if (!db.streams.isLive(row))
            continue;
        int count = 0;
        for (const LinkNode& node : linksOf(db.streams, row, S::OLINK))
            if (node.resolved() && node.partnerCell.table == &db.orbits &&
                db.sources.isInUse(partnerId(node, O::OID)))
                ++count;
        db.streams.cell(row, S::SO)->integer = count;
    }
}

GroupingOutcome groupRvgAll(Database& db, const GroupingOptions& options, Feedback& feedback)
{
    const std::vector<int> streams = listedStreams(db);
    const OrbitSweep sweep(db, false);
    std::vector<RvgChoice> choices(sweep.size());
    for (std::size_t i = 0; i < streams.size(); ++i) {
        if (stopRequested(feedback, i, streams.size()))
            return GroupingOutcome::Cancelled;
        const int row = streams[i];
        if (!takesPartInRvg(db.streams, row))
            continue;
        sweep.chooseNearest(rvgProbe(db.streams, row, options),
                            streamValue(db.streams, row, S::sol1),
                            streamValue(db.streams, row, S::sol2), row, options.pri, choices);
    }
    eraseGroupingAll(db);
    for (const auto& [orbitRow, streamRow] : sweep.chosenInRowOrder(choices))
        linkRows(db, streamRow, orbitRow);
    recountStreams(db);
    return GroupingOutcome::Done;
}

GroupingOutcome groupDprimeAll(Database& db, const GroupingOptions& options, Feedback& feedback)
{
    const std::optional<std::vector<int>> streams = dprimeStreams(db, options);
    if (!streams)
        return GroupingOutcome::Cancelled;
    const OrbitSweep sweep(db, true);
    std::vector<DPrimeBest> best(sweep.size());
    std::vector<std::vector<int>> members(streams->size());
    for (std::size_t i = 0; i < streams->size(); ++i) {
        if (stopRequested(feedback, i, streams->size()))
            return GroupingOutcome::Cancelled;
        const int row = (*streams)[i];
        const std::vector<MatchedOrbit> matched =
            sweep.matchDprime(dprimeProbe(db, row, options), streamValue(db.streams, row, S::sol1),
                              streamValue(db.streams, row, S::sol2));
        for (const MatchedOrbit& match : matched) {
            if (!options.exclusive)
                members[i].push_back(match.orbitRow);
            else if (match.dprime < best[match.index].dprime)
                best[match.index] = {match.dprime, row};
        }
    }
    eraseGroupingAll(db);
    for (int row = 0; row < db.orbits.count(); ++row)
        if (db.orbits.isLive(row))
            db.orbits.cell(row, O::DD)->real = kNoBestDprime;
    if (options.exclusive) {
        for (const auto& [orbitRow, choice] : sweep.bestInRowOrder(best)) {
            db.orbits.cell(orbitRow, O::DD)->real = choice.dprime;
            if (choice.dprime <= kLinkedDprime)
                linkRows(db, choice.streamRow, orbitRow);
        }
    } else {
        for (std::size_t i = 0; i < streams->size(); ++i)
            for (int orbitRow : members[i])
                linkRows(db, (*streams)[i], orbitRow);
    }
    recountStreams(db);
    return GroupingOutcome::Done;
}

int groupRvgSingle(Database& db, int streamRow, const GroupingOptions& options)
{
    eraseGroupingOfStream(db, streamRow);
    if (!(streamValue(db.streams, streamRow, S::R) >= 0.0f))
        return 0;
    const RadiantProbe probe = rvgProbe(db.streams, streamRow, options);
    const float sol1 = streamValue(db.streams, streamRow, S::sol1);
    const float sol2 = streamValue(db.streams, streamRow, S::sol2);
    int count = 0;
    for (int row = 0; row < db.orbits.count(); ++row) {
        if (!isEligibleOrbit(db, row))
            continue;
        const float sol = db.orbits.cell(row, O::sol)->real;
        if (!solInWindow(sol, sol1, sol2) ||
            !probe.velocity.contains(db.orbits.cell(row, O::vg)->real))
            continue;
        if (radiantOffset(probe.radiant, sol, db.orbits.cell(row, O::ra)->real,
                          db.orbits.cell(row, O::dec)->real) <= probe.limitDeg) {
            linkRows(db, streamRow, row);
            ++count;
        }
    }
    finishSingle(db, streamRow, count);
    return count;
}

std::optional<int> groupDprimeSingle(Database& db, int streamRow, const GroupingOptions& options)
{
    if (typicalOrbitRow(db, streamRow) < 0)
        return std::nullopt;
    eraseGroupingOfStream(db, streamRow);
    if (options.kD * streamValue(db.streams, streamRow, S::Dp) < 0.0 ||
        (options.dAndR && streamValue(db.streams, streamRow, S::R) < 0.0f))
        return 0;
    const DPrimeProbe probe = dprimeProbe(db, streamRow, options);
    const float sol1 = streamValue(db.streams, streamRow, S::sol1);
    const float sol2 = streamValue(db.streams, streamRow, S::sol2);
    int count = 0;
    for (int row = 0; row < db.orbits.count(); ++row) {
        if (!isEligibleOrbit(db, row) ||
            !solInWindow(db.orbits.cell(row, O::sol)->real, sol1, sol2))
            continue;
        if (probe.accepts(db.orbits, row)) {
            linkRows(db, streamRow, row);
            ++count;
        }
    }
    finishSingle(db, streamRow, count);
    return count;
}

bool writeStreamCounts(const Database& db, const std::string& path)
{
    AtomicFileWriter writer(path);
    if (!writer.open())
        return false;
    writer.append("code,count\r\n");
    for (int row = 0; row < db.streams.count(); ++row) {
        if (!inList(db, row))
            continue;
        char line[64];
        std::snprintf(line, sizeof line, "%s,%d\r\n", db.streams.text(row, S::code),
                      db.streams.cell(row, S::SO)->integer);
        writer.append(line);
    }
    return writer.commit();
}
