// Database.cluster: the densest-orbit clustering engine over the orbits the Orbit page lists,
// with the run's log as the clustering dialog writes it.
#include <pybind11/functional.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bindings.h"
#include "cluster/cluster_engine.h"
#include "core_call.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "open_database.h"
#include "table_columns.h"

namespace py = pybind11;

namespace {

// The code of the data source in use with this code text; raises when there is none.
std::string sourceCode(const Database& db, const std::string& code)
{
    for (int row = 0; row < db.dsids.count(); ++row)
        if (db.dsids.isLive(row) && db.dsids.cell(row, col::Dsid::use)->number == 1 &&
            code == db.dsids.text(row, col::Dsid::code))
            return code;
    raiseError("no data source in use has the code " + code);
}

// The orbits the Orbit page lists when no condition is set: in use, of a data source in use.
std::vector<int> candidateRows(const Database& db)
{
    std::vector<int> rows;
    for (int row = 0; row < db.orbits.count(); ++row)
        if (db.orbits.isLive(row) && db.orbits.cell(row, col::Orbit::use)->number != 0 &&
            db.sources.isInUse(db.orbits.cell(row, col::Orbit::OID)->number))
            rows.push_back(row);
    return rows;
}

ClusterOrbit fieldsOf(const CUTABLE& orbits, int row)
{
    const auto value = [&](int column) { return orbits.cell(row, column)->real; };
    using O = col::Orbit;
    return {value(O::sol), value(O::ra),   value(O::dec),  value(O::vg),  value(O::e),
            value(O::q),   value(O::incl), value(O::node), value(O::peri)};
}

struct ClusterRun {
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

void runClustering(const Database& db, const std::string& dsidCode, const ClusterParams& params,
                   CallFeedback& feedback, ClusterRun& run)
{
    const std::vector<int> rows = candidateRows(db);
    std::vector<ClusterOrbit> orbits;
    orbits.reserve(rows.size());
    for (int row : rows)
        orbits.push_back(fieldsOf(db.orbits, row));
    const auto oid = [&](int candidate) {
        return db.orbits.cell(rows[static_cast<std::size_t>(candidate)], col::Orbit::OID)->number;
    };
    ClusterEngine engine(orbits, clampedClusterParams(params));
    const auto total = static_cast<std::int64_t>(orbits.size());
    run.stopped =
        !engine.buildCounts([&] { return feedback.cancelled(); },
                            [&](int swept) { feedback.progress("counting", swept, total); });
    while (!run.stopped) {
        const std::optional<ClusterStream> stream = engine.nextStream();
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
        run.stopped = feedback.cancelled();
    }
}

template <typename T> py::array_t<T> arrayOf(const std::vector<T>& values)
{
    return py::array_t<T>(static_cast<py::ssize_t>(values.size()), values.data());
}

py::dict cluster(OpenDatabase& open, const std::string& dsid, float sol, float r, int v, float d,
                 int minc, const std::function<void(py::dict)>& progress)
{
    const Database& db = open.db();
    const std::string code = sourceCode(db, dsid);
    const ClusterParams params{d, sol, minc, r, v};
    MessageLog log(false);
    CallFeedback feedback;
    ClusterRun run;
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
    runInCore(
        log, feedback, [&] { runClustering(db, code, params, feedback, run); }, report);
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
    database.def("cluster", &cluster, py::arg("dsid"), py::arg("sol") = 15.0f, py::arg("r") = 5.0f,
                 py::arg("v") = 50, py::arg("d") = 0.15f, py::arg("minc") = 5,
                 py::arg("progress") = nullptr,
                 "Clusters the listed orbits (in use, of data sources in use) around their densest "
                 "orbits; stream codes take the first two characters of the data source dsid. "
                 "progress(dict(step, done, total, log)) is called as the run goes on.");
}
