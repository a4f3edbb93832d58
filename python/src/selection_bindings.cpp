// Database._select: the Orbit page's selection conditions applied by the selection engine,
// with the averages of the selected orbits.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/engine_params.h"
#include "astro/calendar.h"
#include "bindings.h"
#include "core_call.h"
#include "mdb/schema.h"
#include "open_database.h"
#include "orbits/orbit_selection.h"
#include "pages/headless_pages.h"
#include "selection_run.h"
#include "streams/stream_membership.h"

namespace py = pybind11;

namespace {
constexpr std::int32_t kNotListed = -1;
} // namespace

void setCondition(Conditions& c, const std::string& name, double value)
{
    static const std::map<std::string, int Conditions::*> integers = {
        {"dlg_Y", &Conditions::dlg_Y},       {"dlg_M", &Conditions::dlg_M},
        {"dlg_D", &Conditions::dlg_D},       {"po_rC", &Conditions::po_rC},
        {"po_dC", &Conditions::po_dC},       {"po_vC", &Conditions::po_vC},
        {"po_RC", &Conditions::po_RC},       {"po_DC", &Conditions::po_DC},
        {"po_days", &Conditions::po_days},   {"po_daysC", &Conditions::po_daysC},
        {"po_allyC", &Conditions::po_allyC},
    };
    static const std::map<std::string, float Conditions::*> reals = {
        {"po_r1", &Conditions::po_r1}, {"po_d1", &Conditions::po_d1}, {"po_v1", &Conditions::po_v1},
        {"po_r2", &Conditions::po_r2}, {"po_d2", &Conditions::po_d2}, {"po_v2", &Conditions::po_v2},
        {"po_a1", &Conditions::po_a1}, {"po_q1", &Conditions::po_q1}, {"po_e1", &Conditions::po_e1},
        {"po_p1", &Conditions::po_p1}, {"po_n1", &Conditions::po_n1}, {"po_i1", &Conditions::po_i1},
        {"po_R", &Conditions::po_R},   {"po_D", &Conditions::po_D},
    };
    if (const auto found = integers.find(name); found != integers.end())
        c.*(found->second) = static_cast<int>(value);
    else if (const auto real = reals.find(name); real != reals.end())
        c.*(real->second) = static_cast<float>(value);
    else
        throw py::value_error("no selection condition " + name);
}

void listUsedOrbits(Database& db)
{
    CUTABLE& orbits = db.orbits;
    for (int row = 0; row < orbits.count(); ++row)
        if (orbits.isLive(row))
            orbits.setInteger(row,
                              orbits.cell(row, col::Orbit::use)->number != 0 &&
                                      db.sources.isInUse(orbits.cell(row, col::Orbit::OID)->number)
                                  ? 0
                                  : kNotListed,
                              col::Orbit::dline);
}

int chooseStreamAsCtrlClick(AppContext& app, const std::string& code, Conditions& conditions,
                            double& currentSol)
{
    // The click changes the settings; later calls start from the ones before it.
    const Settings before = app.settings;
    std::optional<int> row;
    MessageLog log(false);
    CallFeedback feedback;
    runInCore(
        log, feedback,
        [&] {
            app.currentLid = static_cast<std::uint32_t>(app.settings.ps_lid);
            HeadlessPages pages(app);
            if (!pages.ctrlClickStream(code))
                return;
            row = app.currentStreamRow;
            conditions = selectionConditionsOf(app.settings);
            currentSol = app.selection.currentSol;
        },
        {}, false);
    app.settings = before;
    if (!row)
        raiseError("no stream has the code " + code);
    return *row;
}

Conditions conditionsFor(AppContext& app, const std::map<std::string, double>& values,
                         const std::optional<std::string>& stream, const std::optional<double>& sol,
                         double& currentSol, int& streamRow)
{
    Conditions conditions;
    streamRow = -1;
    if (stream)
        streamRow = chooseStreamAsCtrlClick(app, *stream, conditions, currentSol);
    // The other conditions change what the click set, as the user would after it.
    for (const auto& [name, value] : values)
        setCondition(conditions, name, value);
    if (!stream)
        currentSol = SolarLongitude(
            DateToJD(conditions.dlg_Y, conditions.dlg_M, conditions.dlg_D, 12, 0, 0));
    if (sol)
        currentSol = *sol;
    return conditions;
}

void hideUnselectedOrbits(Database& db)
{
    for (int row = 0; row < db.orbits.count(); ++row)
        if (db.orbits.isLive(row) && db.orbits.cell(row, col::Orbit::sel)->number == 0)
            db.orbits.setInteger(row, kNotListed, col::Orbit::dline);
}

namespace {

py::dict averagesOf(const SelectionAverages& a)
{
    py::dict averages;
    const std::pair<const char*, double> values[] = {
        {"sol", a.sol},       {"ra", a.ra},     {"dec", a.dec},   {"dra", a.driftRa},
        {"ddec", a.driftDec}, {"vg", a.vg},     {"a", a.a},       {"q", a.q},
        {"e", a.e},           {"peri", a.peri}, {"node", a.node}, {"incl", a.incl},
    };
    for (const auto& [name, value] : values)
        averages[name] = value;
    return averages;
}

py::array_t<std::uint32_t> selectedOids(const Database& db)
{
    std::vector<std::uint32_t> oids;
    for (int row = 0; row < db.orbits.count(); ++row)
        if (db.orbits.isLive(row) && isSelectedOrbit(db.orbits, row))
            oids.push_back(db.orbits.cell(row, col::Orbit::OID)->number);
    return py::array_t<std::uint32_t>(static_cast<py::ssize_t>(oids.size()), oids.data());
}

py::dict selectOrbits(OpenDatabase& open, const std::map<std::string, double>& values,
                      const std::optional<std::string>& stream, const std::optional<double>& sol)
{
    Database& db = open.db();
    OrbitSelection selection;
    int streamRow = -1;
    const Conditions conditions =
        conditionsFor(open.app(), values, stream, sol, selection.currentSol, streamRow);
    MessageLog log(false);
    CallFeedback feedback;
    runInCore(log, feedback, [&] {
        listUsedOrbits(db);
        SelectOrbits(db, conditions, false, selection);
    });
    py::dict result;
    result["OID"] = selectedOids(db);
    result["selected"] = selection.selected;
    result["averages"] = averagesOf(selection.averages);
    return result;
}

} // namespace

void bindSelection(py::class_<OpenDatabase>& database)
{
    database.def("_select", &selectOrbits, py::arg("conditions"), py::arg("stream") = py::none(),
                 py::arg("sol") = py::none());
}
