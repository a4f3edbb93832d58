// Filling the maps' inputs from the tables, and the stream helpers.
#include "maps/map_inputs.h"

#include <algorithm>

#include "app/app_context.h"
#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/frames.h"
#include "mdb/schema.h"
#include "table/links.h"

namespace {

// Degrees of sol per day.
constexpr double kSolPerDay = 0.9856262833675564;

MapOrbit orbitOfRow(const Database& db, int row)
{
    using C = col::Orbit;
    const CUTABLE& t = db.orbits;
    auto real = [&](int column) { return t.cell(row, column)->real; };
    MapOrbit orbit;
    orbit.oid = t.cell(row, C::OID)->number;
    orbit.row = row;
    orbit.sel = t.cell(row, C::sel)->number;
    orbit.sourceInUse = db.sources.isInUse(orbit.oid);
    orbit.type = t.cell(row, C::type)->integer;
    orbit.mjd = real(C::mjd);
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

int currentListRow(const AppContext& app)
{
    const CUTABLE& lists = app.db->lists;
    if (app.currentListRow >= 0 && app.currentListRow < lists.count() &&
        lists.isLive(app.currentListRow))
        return app.currentListRow;
    for (int row = 0; row < lists.count(); ++row)
        if (lists.isLive(row) && app.currentLid != 0 &&
            lists.cell(row, col::List::LID)->number == app.currentLid)
            return row;
    return -1;
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

// The streams linked to the current list, in the stream table's order.
std::vector<MapStream> currentListStreams(const AppContext& app)
{
    std::vector<MapStream> streams;
    const int listRow = currentListRow(app);
    if (listRow < 0)
        return streams;
    const CUTABLE& table = app.db->streams;
    std::vector<bool> inList(static_cast<std::size_t>(table.count()), false);
    for (const LinkNode& node : linksOf(app.db->lists, listRow, col::List::SLINK))
        if (node.resolved() && node.partnerCell.table == &table)
            inList[static_cast<std::size_t>(node.partnerCell.row)] = true;
    for (int row = 0; row < table.count(); ++row)
        if (inList[static_cast<std::size_t>(row)] && table.isLive(row))
            streams.push_back(streamOfRow(table, row));
    return streams;
}

} // namespace

MapInputs mapInputsFromTables(const AppContext& app)
{
    MapInputs inputs;
    const Settings& s = app.settings;
    const double noon = DateToJD(s.dlg_Y, s.dlg_M, s.dlg_D, 12, 0, 0);
    inputs.referenceSolDeg = SolarLongitude(noon);
    EclipticPointToEquatorial(noon, 90, inputs.apex.lonDeg, inputs.apex.latDeg);
    EclipticPointToEquatorial(noon, 180, inputs.antiHelion.lonDeg, inputs.antiHelion.latDeg);
    inputs.vgWindow = {s.po_vC != 0, s.po_v1, s.po_v2};
    if (!app.db)
        return inputs;
    const Database& db = *app.db;
    bool anySelected = false;
    for (int row = 0; row < db.orbits.count(); ++row)
        if (db.orbits.isLive(row)) {
            inputs.orbits.push_back(orbitOfRow(db, row));
            anySelected = anySelected || isSelectedMark(inputs.orbits.back().sel);
        }
    for (std::size_t i = 0; i < inputs.orbits.size(); ++i) {
        MapOrbit& orbit = inputs.orbits[i];
        if (!anySelected && orbit.sourceInUse)
            orbit.sel = 1;
        if (!isSelectedMark(orbit.sel))
            continue;
        inputs.listed.push_back(static_cast<int>(i));
        inputs.firstMjd = std::min<double>(inputs.firstMjd.value_or(orbit.mjd), orbit.mjd);
        inputs.lastMjd = std::max<double>(inputs.lastMjd.value_or(orbit.mjd), orbit.mjd);
    }
    inputs.streams = currentListStreams(app);
    inputs.orbitRows = db.orbitCount;
    return inputs;
}

SkyPoint streamRadiantAt(const MapStream& stream, double solDeg)
{
    if (stream.dra < 0.0001f && stream.ddec < 0.0001f)
        return {stream.ra, stream.dec};
    double delta = solDeg - stream.solp;
    if (delta > 180)
        delta -= 360;
    else if (delta < -180)
        delta += 360;
    double rate = 0;
    double angle = 0;
    RelativePosition(stream.dec, stream.dra, stream.ddec, rate, angle);
    SkyPoint point;
    OffsetPoint(stream.ra, stream.dec, angle, rate * delta / kSolPerDay, point.lonDeg,
                point.latDeg);
    if (point.lonDeg >= 360)
        point.lonDeg -= 360;
    return point;
}

bool inActivityWindow(double solDeg, double sol1Deg, double sol2Deg)
{
    if (sol1Deg <= sol2Deg)
        return solDeg >= sol1Deg && solDeg <= sol2Deg;
    return solDeg >= sol1Deg || solDeg <= sol2Deg;
}
