// Database.cluster: the Orbit page's clustering over the orbits it lists, as the batch tool runs
// it: the engine first, stoppable, then the new streams stored by the clustering dialog's table
// work into the list, with the run's log as the dialog writes it.
#include <pybind11/functional.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "bindings.h"
#include "cluster/cluster_engine.h"
#include "core_call.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "open_database.h"
#include "pages/cluster_command.h"
#include "pages/cluster_pages.h"
#include "pages/cluster_tables.h"
#include "pages/headless_pages.h"
#include "table_columns.h"

namespace py = pybind11;

namespace {

ClusterOrbit fieldsOf(const CUTABLE& orbits, int row)
{
    const auto value = [&](int column) { return orbits.cell(row, column)->real; };
    using O = col::Orbit;
    return {value(O::sol), value(O::ra),   value(O::dec),  value(O::vg),  value(O::e),
            value(O::q),   value(O::incl), value(O::node), value(O::peri)};
}

struct ClusterRun {
    std::vector<ClusterStream> streams;
    std::vector<std::string> codes;
    std::vector<std::int32_t> counts;
    std::vector<std::uint32_t> centres;
    std::vector<std::vector<std::uint32_t>> members;
    bool stopped = false;
};

// "%d %s cnt=%d ra=%.1f dec=%.1f vg=%.1f\n", the dialog's log line of a stream.
std::string logLine(int number, const std::string& code, int count, const ClusterOrbit& centre)
{
    char line[160];
    std::snprintf(line, sizeof line, "%d %s cnt=%d ra=%.1f dec=%.1f vg=%.1f\n", number,
                  code.c_str(), count, centre.ra, centre.dec, centre.vg);
    return line;
}

// The engine over the rows, every stream kept for the tables; stops when the feedback is
// cancelled.
void findStreams(const Database& db, const std::vector<int>& rows, const std::string& dsidCode,
                 const ClusterParams& params, CallFeedback& feedback, ClusterRun& run)
{
    std::vector<ClusterOrbit> orbits;
    orbits.reserve(rows.size());
    for (int row : rows)
        orbits.push_back(fieldsOf(db.orbits, row));
    const auto oid = [&](int candidate) {
        return db.orbits.cell(rows[static_cast<std::size_t>(candidate)], col::Orbit::OID)->number;
    };
    ClusterEngine engine(orbits, params);
    const auto total = static_cast<std::int64_t>(orbits.size());
    run.stopped =
        !engine.buildCounts([&] { return feedback.cancelled(); },
                            [&](int swept) { feedback.progress("counting", swept, total); });
    while (!run.stopped) {
        std::optional<ClusterStream> stream = engine.nextStream();
        if (!stream)
            break;
        const ClusterOrbit& centre = orbits[static_cast<std::size_t>(stream->centre)];
        run.codes.push_back(dsidCode.substr(0, 2) + "_" +
                            positionCode(centre.sol, centre.ra, centre.dec, centre.vg));
        run.counts.push_back(stream->count);
        run.centres.push_back(oid(stream->centre));
        run.members.emplace_back();
        for (int member : stream->members)
            run.members.back().push_back(oid(member));
        feedback.addLine(
            logLine(static_cast<int>(run.codes.size()), run.codes.back(), stream->count, centre));
        feedback.progress("streams", total - engine.liveCount(), total);
        run.streams.push_back(std::move(*stream));
        run.stopped = feedback.cancelled();
    }
}

// The dialog's table work for every stream found, ending as the dialog ends; the run keeps the
// streams stored (all of them unless the data source ran out of IDs).
void storeStreams(AppContext& app, HeadlessPages& pages, const std::vector<int>& rows,
                  const ClusterParams& params, std::time_t start, ClusterRun& run)
{
    WindowClusterPages windowPages(app, pages.streamPage(), pages.orbitPage());
    ClusterTables tables(app, windowPages, rows, params);
    std::string log;
    for (const ClusterStream& stream : run.streams)
        if (!tables.makeStream(stream, log))
            break;
    tables.endWork(start);
    const auto stored = static_cast<std::size_t>(tables.newStreams());
    run.codes.resize(stored);
    run.counts.resize(stored);
    run.centres.resize(stored);
    run.members.resize(stored);
}

// The list chosen on the Stream page, the data source made current, the parameters clamped
// into the settings as the dialog's Start does; the rows the Orbit page lists are clustered.
void clusterList(AppContext& app, const std::string& list, int source, ClusterParams params,
                 CallFeedback& feedback, ClusterRun& run, bool& listFound)
{
    app.currentLid = static_cast<std::uint32_t>(app.settings.ps_lid);
    HeadlessPages pages(app);
    listFound = pages.chooseList(list);
    if (!listFound)
        return;
    app.db->sources.makeCurrent(source);
    params = clampedClusterParams(params);
    const std::vector<int> rows = listedOrbitRows(*app.db);
    const std::time_t start = std::time(nullptr);
    findStreams(*app.db, rows, app.db->sources.currentCode(), params, feedback, run);
    if (!run.stopped)
        storeStreams(app, pages, rows, params, start, run);
}

template <typename T> py::array_t<T> arrayOf(const std::vector<T>& values)
{
    return py::array_t<T>(static_cast<py::ssize_t>(values.size()), values.data());
}

py::dict cluster(OpenDatabase& open, const std::string& list, const std::string& dsid, float sol,
                 float r, int v, float d, int minc, const std::function<void(py::dict)>& progress)
{
    AppContext& app = open.app();
    const int source = sourceRow(*app.db, dsid);
    const ClusterParams params{d, sol, minc, r, v};
    MessageLog log(false);
    CallFeedback feedback;
    ClusterRun run;
    bool listFound = false;
    std::string logText;
    const ProgressCallback report = [&](const CallFeedback::Report& state) {
        for (const std::string& line : state.lines)
            logText += line;
        if (!progress)
            return;
        py::dict values;
        values["step"] = state.step;
        values["done"] = state.done;
        values["total"] = state.total;
        values["log"] = state.lines;
        progress(values);
    };
    // The pages change the settings; later calls start from the ones before.
    const Settings before = app.settings;
    try {
        runInCore(
            log, feedback,
            [&] { clusterList(app, list, source, params, feedback, run, listFound); }, report);
    } catch (...) {
        app.settings = before;
        throw;
    }
    app.settings = before;
    if (!listFound)
        raiseError("no stream list in use is named " + list);
    py::list members;
    for (const std::vector<std::uint32_t>& oids : run.members)
        members.append(arrayOf(oids));
    py::dict result;
    result["code"] = stringArray(run.codes);
    result["count"] = arrayOf(run.counts);
    result["centre"] = arrayOf(run.centres);
    result["members"] = members;
    result["log"] = logText;
    return result;
}

} // namespace

void bindClustering(py::class_<OpenDatabase>& database)
{
    database.def("cluster", &cluster, py::arg("list"), py::kw_only(), py::arg("dsid"),
                 py::arg("sol") = 15.0f, py::arg("r") = 5.0f, py::arg("v") = 50,
                 py::arg("d") = 0.15f, py::arg("minc") = 5, py::arg("progress") = nullptr,
                 "Clusters the orbits the Orbit page lists around their densest orbits into new "
                 "streams of the list, with SIDs of the data source dsid, as orvantella-batch "
                 "cluster does; save() writes them. progress(dict(step, done, total, log)) is "
                 "called as the run goes on; Ctrl-C stops the run before any stream is stored.");
}
