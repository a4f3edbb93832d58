// The straightforward grouping loops.
#include "grouping_reference.h"

#include <vector>

#include "mdb/database.h"
#include "mdb/schema.h"
#include "platform/ui.h"
#include "table/links.h"

namespace {

using S = col::Stream;
using O = col::Orbit;

float value(const CUTABLE& table, int row, int column) { return table.cell(row, column)->real; }

bool listed(const Database& db, int row)
{
    return db.streams.isLive(row) && db.streams.cell(row, S::LS)->number != 0;
}

void linkPair(Database& db, int streamRow, int orbitRow)
{
    link({&db.streams, streamRow, S::OLINK}, {&db.orbits, orbitRow, O::SLINK});
}

double offset(const Database& db, int streamRow, int orbitRow)
{
    return radiantOffset(DriftingRadiant::ofStream(db.streams, streamRow),
                         value(db.orbits, orbitRow, O::sol), value(db.orbits, orbitRow, O::ra),
                         value(db.orbits, orbitRow, O::dec));
}

bool inWindow(const Database& db, int streamRow, int orbitRow)
{
    return solInWindow(value(db.orbits, orbitRow, O::sol), value(db.streams, streamRow, S::sol1),
                       value(db.streams, streamRow, S::sol2));
}

} // namespace

void referenceGroupRvgAll(Database& db, const GroupingOptions& options)
{
    eraseGroupingAll(db);
    for (int orbit = 0; orbit < db.orbits.count(); ++orbit) {
        if (!isEligibleOrbit(db, orbit))
            continue;
        double best = 99.9;
        int chosen = -1;
        for (int stream = 0; stream < db.streams.count(); ++stream) {
            if (!listed(db, stream) || !inWindow(db, stream, orbit))
                continue;
            const float vg = value(db.streams, stream, S::vg),
                        dv = value(db.streams, stream, S::dv), r = value(db.streams, stream, S::R);
            if (!(vg >= 0) || !(dv >= 0) || !(r >= 0) ||
                !velocityWindow(vg, dv, options.kv).contains(value(db.orbits, orbit, O::vg)))
                continue;
            const double d = offset(db, stream, orbit);
            if (d < radiusLimit(r, options.kR) && d < best) {
                best = d;
                chosen = stream;
                if (options.pri)
                    break;
            }
        }
        if (chosen >= 0)
            linkPair(db, chosen, orbit);
    }
    recountStreams(db);
}

bool referenceGroupDprimeAll(Database& db, const GroupingOptions& options)
{
    eraseGroupingAll(db);
    for (int orbit = 0; orbit < db.orbits.count(); ++orbit)
        if (db.orbits.isLive(orbit))
            db.orbits.cell(orbit, O::DD)->real = 99.0f;
    std::vector<int> best(static_cast<std::size_t>(db.orbits.count()), -1);
    for (int stream = 0; stream < db.streams.count(); ++stream) {
        if (!listed(db, stream))
            continue;
        const int typical = typicalOrbitRow(db, stream);
        if (typical < 0) {
            if (db.streams.cell(stream, S::TypicalOID)->number != 0 &&
                !ui().askOkCancel(kTypicalNotLoadedQuestion, kAppCaption))
                return false;
            continue;
        }
        const float r = value(db.streams, stream, S::R);
        if (options.dAndR && r < 0)
            continue;
        const double dlim = dprimeLimit(value(db.streams, stream, S::Dp), options.kD);
        for (int orbit = 0; orbit < db.orbits.count(); ++orbit) {
            if (!isEligibleOrbit(db, orbit) || !inWindow(db, stream, orbit))
                continue;
            if (options.dAndR && !(offset(db, stream, orbit) <= radiusLimit(r, options.kR)))
                continue;
            const double d =
                DPrime(dprimeOrbitOf(db.orbits, typical), dprimeOrbitOf(db.orbits, orbit));
            if (!(d <= dlim))
                continue;
            if (!options.exclusive) {
                linkPair(db, stream, orbit);
            } else if (static_cast<float>(d) < db.orbits.cell(orbit, O::DD)->real) {
                db.orbits.cell(orbit, O::DD)->real = static_cast<float>(d);
                best[static_cast<std::size_t>(orbit)] = stream;
            }
        }
    }
    if (options.exclusive)
        for (int orbit = 0; orbit < db.orbits.count(); ++orbit)
            if (isEligibleOrbit(db, orbit) && db.orbits.cell(orbit, O::DD)->real <= 90.0f &&
                best[static_cast<std::size_t>(orbit)] >= 0)
                linkPair(db, best[static_cast<std::size_t>(orbit)], orbit);
    recountStreams(db);
    return true;
}
