// The reference commands, each a few named steps.
#include "pages/reference_orbit.h"

#include <cstdio>
#include <vector>

#include "app/app_context.h"
#include "astro/angles.h"
#include "astro/calendar.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "pages/dsid_select_dialog.h"
#include "pages/orbit_files.h"
#include "platform/ui.h"
#include "table/links.h"

namespace {

using O = col::Orbit;
using S = col::Stream;

constexpr std::size_t kTextWidth = 255;
constexpr float kWideDPrime = 0.5f;
constexpr float kDefaultDPrime = 0.1f;

double mjdOfSol(double sol, int year)
{
    const std::optional<double> jd = SolToJD(sol, year);
    return jd ? *jd - kMjdToJd : 0.0;
}

struct Elements {
    float a, q, e, peri, node, incl;
};

Elements referenceElements(const Settings& s)
{
    return {s.po_a1, s.po_q1, s.po_e1, s.po_p1, s.po_n1, s.po_i1};
}

Elements averageElements(const SelectionAverages& avg)
{
    return {static_cast<float>(avg.a),    static_cast<float>(avg.q),
            static_cast<float>(avg.e),    static_cast<float>(avg.peri),
            static_cast<float>(avg.node), static_cast<float>(avg.incl)};
}

void setElements(CUTABLE& orbits, int row, const Elements& el)
{
    orbits.cell(row, O::a)->real = el.a;
    orbits.cell(row, O::q)->real = el.q;
    orbits.cell(row, O::e)->real = el.e;
    orbits.cell(row, O::peri)->real = el.peri;
    orbits.cell(row, O::node)->real = el.node;
    orbits.cell(row, O::incl)->real = el.incl;
}

void setReferenceElements(Settings& s, const Elements& el)
{
    s.po_a1 = el.a;
    s.po_q1 = el.q;
    s.po_e1 = el.e;
    s.po_p1 = el.peri;
    s.po_n1 = el.node;
    s.po_i1 = el.incl;
}

// r_sd, v_sd and the means of Hb ... mass, as every orbit made from the averages gets them.
void setScatterAndMeans(CUTABLE& orbits, int row, const SelectionAverages& avg)
{
    const std::pair<int, double> values[] = {
        {O::r_sd, avg.meanMR}, {O::v_sd, avg.vgScatter}, {O::Hb, avg.Hb},     {O::He, avg.He},
        {O::zr, avg.zr},       {O::mag, avg.mag},        {O::mass, avg.mass},
    };
    for (const auto& [column, value] : values)
        orbits.cell(row, column)->real = static_cast<float>(value);
}

// The data source and the loaded orbit file that receive new rows.
std::optional<int> askTarget(AppContext& app, const char* question)
{
    CDSIDSDlg dialog(app, question, true);
    if (!dialog.exec())
        return std::nullopt;
    const int fileRow = dialog.targetOrbitFileRow();
    if (!isLiveRow(app.db->orbitFiles, fileRow) ||
        app.db->orbitFiles.cell(fileRow, col::OrbitFile::loaded)->number == 0) {
        // A row in a file that is not loaded would not be saved.
        message("%s", kFileNotLoaded);
        return std::nullopt;
    }
    return fileRow;
}

// IDs of the current data source, taken together: all or none.
std::optional<std::vector<std::uint32_t>> takeIds(DataSources& sources, int count)
{
    std::vector<std::uint32_t> ids;
    for (int n = 0; n < count; ++n) {
        const std::optional<std::uint32_t> id = sources.nextId();
        if (!id) {
            for (auto it = ids.rbegin(); it != ids.rend(); ++it)
                sources.giveBackId(*it);
            return std::nullopt;
        }
        ids.push_back(*id);
    }
    return ids;
}

int addOrbitRow(Database& db, std::uint32_t oid, const std::string& name, int fileRow)
{
    const int row = db.orbits.addRow();
    db.orbits.cell(row, O::OID)->number = oid;
    db.orbits.cell(row, O::use)->number = 1;
    db.orbits.setText(row, O::name, name.c_str());
    db.orbits.setInteger(row, fileRow, O::OFILE);
    // Listed by the next relisting of the page.
    db.orbits.setInteger(row, -1, O::dline);
    ++db.orbitCount;
    return row;
}

// The typical orbit of a stream at a sol: the reference radiant, the given
// elements, the averages' scatter and means.
void fillTypicalOrbit(AppContext& app, int row, float sol, const Elements& elements)
{
    const Settings& s = app.settings;
    CUTABLE& orbits = app.db->orbits;
    orbits.cell(row, O::mjd)->real64 = mjdOfSol(sol, s.dlg_Y);
    orbits.cell(row, O::sol)->real = sol;
    orbits.cell(row, O::ra)->real = s.po_r1;
    orbits.cell(row, O::dec)->real = s.po_d1;
    orbits.cell(row, O::vg)->real = s.po_v1;
    orbits.cell(row, O::type)->integer = 0;
    setElements(orbits, row, elements);
    setScatterAndMeans(orbits, row, app.selection.averages);
    computeOrbitDerived(orbits, row);
}

// A stream's radiant, activity and windows from the reference and the averages.
void fillStreamFromReference(AppContext& app, int row)
{
    const Settings& s = app.settings;
    const SelectionAverages& avg = app.selection.averages;
    const float sc = static_cast<float>(app.selection.currentSol);
    CUTABLE& streams = app.db->streams;
    const bool averaged = avg.totalWeight > 0.0;
    const float first = averaged ? static_cast<float>(avg.sol1) : sc;
    const float last = averaged ? static_cast<float>(avg.sol2) : sc;
    streams.cell(row, S::ra)->real = s.po_r1;
    streams.cell(row, S::dec)->real = s.po_d1;
    streams.cell(row, S::vg)->real = s.po_v1;
    streams.cell(row, S::sol1)->real = Normalize360(first - kActivityMargin);
    streams.cell(row, S::sol2)->real = Normalize360(last + kActivityMargin);
    streams.cell(row, S::solp)->real = sc;
    streams.cell(row, S::dra)->real = static_cast<float>(avg.driftRa);
    streams.cell(row, S::ddec)->real = static_cast<float>(avg.driftDec);
    streams.cell(row, S::type)->integer = 1;
    streams.cell(row, S::R)->real = s.po_R;
    streams.cell(row, S::dv)->real = s.po_v2;
    computeStreamMonthDays(streams, row, s.dlg_Y);
}

void linkTypicalOrbit(Database& db, int streamRow, int orbitRow)
{
    db.streams.cell(streamRow, S::TypicalOID)->number = db.orbits.cell(orbitRow, O::OID)->number;
    db.streams.cell(streamRow, S::TOIDline)->integer = orbitRow;
}

// A new stream is shown in the current list.
void addToCurrentList(AppContext& app, int streamRow)
{
    Database& db = *app.db;
    if (!isLiveRow(db.lists, app.currentListRow))
        return;
    link({&db.lists, app.currentListRow, col::List::SLINK}, {&db.streams, streamRow, S::LLINK});
    db.streams.cell(streamRow, S::LS)->number = 1;
}

} // namespace

bool setPageDateFromMjd(Settings& settings, double mjd)
{
    int year = 0, month = 0, day = 0;
    if (!MJDToDate(mjd, year, month, day))
        return false;
    settings.dlg_Y = year;
    settings.dlg_M = month;
    settings.dlg_D = day;
    return true;
}

bool setPageMonthDayFromSol(Settings& settings, float sol)
{
    int month = 0, day = 0;
    if (!SolToMonthDay(sol, settings.dlg_Y, month, day))
        return false;
    settings.dlg_M = month;
    settings.dlg_D = day;
    return true;
}

std::string averageOrbitName(double raDeg, double decDeg)
{
    char name[64];
    if (decDeg > 0.0)
        std::snprintf(name, sizeof name, "A%03.0f+%02.0f", raDeg, decDeg);
    else // 0 - dec: a dec of exactly 0 prints "00", never "-0"
        std::snprintf(name, sizeof name, "A%03.0f-%02.0f", raDeg, 0.0 - decDeg);
    return name;
}

std::string typicalOrbitName(const char* streamName)
{
    std::string name = std::string("TO_") + streamName;
    if (name.size() > kTextWidth)
        name.resize(kTextWidth);
    return name;
}

bool averagesToReference(AppContext& app)
{
    const SelectionAverages& avg = app.selection.averages;
    if (avg.totalWeight <= 0.0)
        return false;
    Settings& s = app.settings;
    s.po_r1 = static_cast<float>(avg.ra);
    s.po_d1 = static_cast<float>(avg.dec);
    s.po_v1 = static_cast<float>(avg.vg);
    setReferenceElements(s, averageElements(avg));
    setPageMonthDayFromSol(s, static_cast<float>(avg.sol));
    app.selection.currentSol = avg.sol;
    return true;
}

void streamToReference(AppContext& app, int streamRow)
{
    const Database& db = *app.db;
    Settings& s = app.settings;
    s.po_r1 = db.streams.cell(streamRow, S::ra)->real;
    s.po_d1 = db.streams.cell(streamRow, S::dec)->real;
    s.po_v1 = db.streams.cell(streamRow, S::vg)->real;
    const int typical = db.streams.integer(streamRow, S::TOIDline);
    if (isLiveRow(db.orbits, typical) && db.orbits.cell(typical, O::mjd)->real64 > 0.0) {
        const auto v = [&](int column) { return db.orbits.cell(typical, column)->real; };
        setReferenceElements(s, {v(O::a), v(O::q), v(O::e), v(O::peri), v(O::node), v(O::incl)});
        setPageDateFromMjd(s, db.orbits.cell(typical, O::mjd)->real64);
        app.selection.currentSol = v(O::sol);
        return;
    }
    setReferenceElements(s, {0, 0, 0, 0, 0, 0});
    const float peak = db.streams.cell(streamRow, S::solp)->real;
    app.selection.currentSol = peak;
    setPageMonthDayFromSol(s, peak);
}

void orbitToReference(AppContext& app, int orbitRow)
{
    const CUTABLE& orbits = app.db->orbits;
    const auto v = [&](int column) { return orbits.cell(orbitRow, column)->real; };
    Settings& s = app.settings;
    s.po_r1 = v(O::ra);
    s.po_d1 = v(O::dec);
    s.po_v1 = v(O::vg);
    setReferenceElements(s, {v(O::a), v(O::q), v(O::e), v(O::peri), v(O::node), v(O::incl)});
    setPageDateFromMjd(s, orbits.cell(orbitRow, O::mjd)->real64);
    app.selection.currentSol = v(O::sol);
}

std::optional<int> referenceToNewStream(AppContext& app)
{
    const std::optional<int> fileRow = askTarget(app, kNewStreamQuestion);
    if (!fileRow)
        return std::nullopt;
    Database& db = *app.db;
    const std::optional<std::vector<std::uint32_t>> ids = takeIds(db.sources, 2);
    if (!ids)
        return std::nullopt;
    const int stream = db.streams.addRow();
    db.streams.cell(stream, S::SID)->number = (*ids)[0];
    db.streams.cell(stream, S::use)->number = 1;
    const std::string name = std::string(db.sources.currentCode()) + "_xxx";
    db.streams.setText(stream, S::name, name.c_str());
    fillStreamFromReference(app, stream);
    db.streams.cell(stream, S::Dp)->real = app.settings.po_D;
    addToCurrentList(app, stream);

    const int orbit = addOrbitRow(db, (*ids)[1], typicalOrbitName(name.c_str()), *fileRow);
    fillTypicalOrbit(app, orbit, static_cast<float>(app.selection.currentSol),
                     referenceElements(app.settings));
    linkTypicalOrbit(db, stream, orbit);
    return stream;
}

bool referenceToStream(AppContext& app, int streamRow)
{
    const SelectionAverages& avg = app.selection.averages;
    Database& db = *app.db;
    if (avg.totalWeight <= 0.0 || !isLiveRow(db.streams, streamRow))
        return false;
    int typical = db.streams.integer(streamRow, S::TOIDline);
    if (!isLiveRow(db.orbits, typical)) {
        const std::optional<int> fileRow = askTarget(app, kNewTypicalQuestion);
        if (!fileRow)
            return false;
        const std::optional<std::vector<std::uint32_t>> ids = takeIds(db.sources, 1);
        if (!ids)
            return false;
        typical = addOrbitRow(db, (*ids)[0], typicalOrbitName(db.streams.text(streamRow, S::name)),
                              *fileRow);
        linkTypicalOrbit(db, streamRow, typical);
    }
    fillStreamFromReference(app, streamRow);
    db.streams.cell(streamRow, S::Dp)->real =
        avg.dPrime > kWideDPrime ? kDefaultDPrime : static_cast<float>(2.0 * avg.dPrime);
    fillTypicalOrbit(app, typical, static_cast<float>(avg.sol), averageElements(avg));
    return true;
}

std::optional<int> averagesToNewOrbit(AppContext& app)
{
    const SelectionAverages& avg = app.selection.averages;
    if (avg.totalWeight <= 0.0)
        return std::nullopt;
    const std::optional<int> fileRow = askTarget(app, kNewOrbitQuestion);
    if (!fileRow)
        return std::nullopt;
    Database& db = *app.db;
    const std::optional<std::vector<std::uint32_t>> ids = takeIds(db.sources, 1);
    if (!ids)
        return std::nullopt;
    const int row = addOrbitRow(db, (*ids)[0], averageOrbitName(avg.ra, avg.dec), *fileRow);
    CUTABLE& orbits = db.orbits;
    orbits.cell(row, O::mjd)->real64 = mjdOfSol(avg.sol, app.settings.dlg_Y);
    orbits.cell(row, O::sol)->real = static_cast<float>(avg.sol);
    orbits.cell(row, O::ra)->real = static_cast<float>(avg.ra);
    orbits.cell(row, O::dec)->real = static_cast<float>(avg.dec);
    orbits.cell(row, O::vg)->real = static_cast<float>(avg.vg);
    orbits.cell(row, O::type)->integer = static_cast<int>(avg.totalWeight);
    setElements(orbits, row, averageElements(avg));
    setScatterAndMeans(orbits, row, avg);
    computeOrbitDerived(orbits, row);
    return row;
}
