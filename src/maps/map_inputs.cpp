// Filling the maps' inputs from the tables, and the stream helpers.
#include "maps/map_inputs.h"

#include <algorithm>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/frames.h"
#include "maps/map_layers.h"
#include "mdb/database.h"
#include "mdb/schema.h"
#include "orbits/orbit_selection.h"
#include "orbits/selection_conditions.h"
#include "streams/stream_grouping.h"

namespace {

// cells: the row's, side by side.
MapOrbit orbitOfRow(const Database& db, int row, const UCell* cells)
{
    using C = col::Orbit;
    auto real = [cells](int column) { return cells[column].real; };
    MapOrbit orbit;
    orbit.oid = cells[C::OID].number;
    orbit.row = row;
    // A row without a line in the Orbit page's list keeps its mark but counts for nothing.
    orbit.sel = cells[C::dline].integer >= 0 ? cells[C::sel].number : 0;
    orbit.sourceInUse = db.sources.isInUse(orbit.oid);
    orbit.type = cells[C::type].integer;
    orbit.mjd = static_cast<float>(cells[C::mjd].real64);
    orbit.sol = real(C::sol);
    orbit.ra = real(C::ra);
    orbit.dec = real(C::dec);
    orbit.vg = real(C::vg);
    orbit.vs = real(C::vs);
    orbit.a = real(C::a);
    orbit.e = real(C::e);
    orbit.peri = real(C::peri);
    orbit.node = real(C::node);
    orbit.incl = real(C::incl);
    return orbit;
}

MapStream streamOfRow(const CUTABLE& streams, int row)
{
    using C = col::Stream;
    auto real = [&](int column) { return streams.cell(row, column)->real; };
    MapStream stream;
    stream.code = streams.text(row, C::code);
    stream.sol1 = real(C::sol1);
    stream.sol2 = real(C::sol2);
    stream.solp = real(C::solp);
    stream.ra = real(C::ra);
    stream.dec = real(C::dec);
    stream.dra = real(C::dra);
    stream.ddec = real(C::ddec);
    stream.R = real(C::R);
    return stream;
}

// Orders indexes by the line each one's table row has in a page's list
// (sorting the list renumbers its lines), keeping row order among equals.
// A list numbers its lines 0, 1, ... once each, so each index goes straight
// to its place; other numberings are sorted.
template <typename RowOf>
void toLineOrder(std::vector<int>& indexes, const CUTABLE& table, int lineColumn, RowOf rowOf)
{
    const std::size_t count = indexes.size();
    std::vector<std::pair<int, int>> byLine; // line, index
    byLine.reserve(count);
    std::vector<int> placed(count, -1);
    bool numbered = true;
    for (int index : indexes) {
        const int line = table.integer(rowOf(index), lineColumn);
        byLine.emplace_back(line, index);
        const auto at = static_cast<std::size_t>(line);
        numbered = numbered && line >= 0 && at < count && placed[at] < 0;
        if (numbered)
            placed[at] = index;
    }
    if (numbered) {
        indexes = std::move(placed);
        return;
    }
    // The indexes ascend with the rows, so equal lines keep row order.
    std::ranges::sort(byLine);
    for (std::size_t i = 0; i < count; ++i)
        indexes[i] = byLine[i].second;
}

// The streams the Stream page marks as members of the current list, in its line order.
std::vector<MapStream> currentListStreams(const CUTABLE& table)
{
    std::vector<int> rows;
    for (int row = 0; row < table.count(); ++row)
        if (table.isLive(row) && table.cell(row, col::Stream::LS)->number != 0)
            rows.push_back(row);
    toLineOrder(rows, table, col::Stream::valid, [](int row) { return row; });
    std::vector<MapStream> streams;
    for (int row : rows)
        streams.push_back(streamOfRow(table, row));
    return streams;
}

// Every live orbit row in row order, read on both cores, and the Orbit
// page's list in its line order.
void gatherOrbits(const Database& db, MapInputs& inputs)
{
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(db.orbits.count()));
    for (int row = 0; row < db.orbits.count(); ++row)
        if (db.orbits.isLive(row))
            rows.push_back(row);
    inputs.orbits.resize(rows.size());
    std::vector<int> lines(rows.size());
    parallelSlices(rows.size(), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            // One checked lookup for the row.
            const UCell* cells = db.orbits.cell(rows[i], 0);
            inputs.orbits[i] = orbitOfRow(db, rows[i], cells);
            lines[i] = cells[col::Orbit::dline].integer;
        }
    });
    bool inLineOrder = true;
    int lastLine = -1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] < 0)
            continue;
        inputs.listed.push_back(static_cast<int>(i));
        inLineOrder = inLineOrder && lines[i] > lastLine;
        lastLine = lines[i];
    }
    // Unless the list is sorted, its lines run in row order.
    if (!inLineOrder)
        toLineOrder(inputs.listed, db.orbits, col::Orbit::dline,
                    [&](int index) { return inputs.orbits[static_cast<std::size_t>(index)].row; });
}

std::optional<MapAverages> averagesOf(const SelectionAverages& a)
{
    if (a.totalWeight <= 0)
        return std::nullopt;
    MapAverages m;
    m.raDeg = a.ra;
    m.decDeg = a.dec;
    m.vgKms = a.vg;
    m.solDeg = a.sol;
    m.raSd = a.raScatter;
    m.decSd = a.decScatter;
    m.vgSd = a.vgScatter;
    m.solSd = a.solScatter;
    m.dPrime = a.dPrime;
    m.dPrimeSd = a.dPrimeScatter;
    m.sR = a.sR;
    m.mR = a.meanMR;
    m.driftRaDeg = a.driftRa;
    m.driftDecDeg = a.driftDec;
    m.sol1Deg = a.sol1;
    m.sol2Deg = a.sol2;
    m.a = a.a;
    m.q = a.q;
    m.e = a.e;
    m.peri = a.peri;
    m.node = a.node;
    m.incl = a.incl;
    return m;
}

} // namespace

MapInputs mapInputsFromTables(const Database* db, const SelectionConditions& s,
                              const OrbitSelection& selection, int currentStreamRow)
{
    MapInputs inputs;
    const double noon = DateToJD(s.dlg_Y, s.dlg_M, s.dlg_D, 12, 0, 0);
    inputs.referenceSolDeg = selection.currentSol;
    EclipticPointToEquatorial(noon, 90, inputs.apex.lonDeg, inputs.apex.latDeg);
    EclipticPointToEquatorial(noon, 180, inputs.antiHelion.lonDeg, inputs.antiHelion.latDeg);
    inputs.vgWindow = {s.po_vC != 0, s.po_v1, s.po_v2};
    inputs.averages = averagesOf(selection.averages);
    if (selection.firstMjd != OrbitSelection::kNoFirstMjd) {
        inputs.firstMjd = selection.firstMjd;
        inputs.lastMjd = selection.lastMjd;
    }
    if (!db)
        return inputs;
    gatherOrbits(*db, inputs);
    inputs.streams = currentListStreams(db->streams);
    if (currentStreamRow >= 0 && currentStreamRow < db->streams.count() &&
        db->streams.isLive(currentStreamRow))
        inputs.currentStreamCode = db->streams.text(currentStreamRow, col::Stream::code);
    inputs.orbitRows = db->orbitCount;
    return inputs;
}

int orbitIndexOfRow(const MapInputs& inputs, int orbitRow)
{
    const auto found = std::ranges::lower_bound(inputs.orbits, orbitRow, {}, &MapOrbit::row);
    return found != inputs.orbits.end() && found->row == orbitRow
               ? static_cast<int>(found - inputs.orbits.begin())
               : -1;
}

SkyPoint streamRadiantAt(const MapStream& stream, double solDeg)
{
    SkyPoint point;
    DriftingRadiant(stream.solp, stream.ra, stream.dec, stream.dra, stream.ddec)
        .at(solDeg, point.lonDeg, point.latDeg);
    return point;
}
