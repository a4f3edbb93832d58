// Database.group: the Stream page's R-vg and D' grouping of a list, by the grouping engine.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "bindings.h"
#include "core_call.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "open_database.h"
#include "streams/stream_grouping.h"
#include "streams/stream_membership.h"
#include "table_columns.h"

namespace py = pybind11;

namespace {

// The streams of the list become the current list's (L-S), as choosing it on the Stream page.
void makeCurrentList(Database& db, const std::string& list)
{
    markValidStreams(db);
    markListMembers(db, listRow(db, list));
}

// "code" and "count" (S-O) of the list's streams, in table order: the batch tool's lines.
py::dict streamCounts(const Database& db)
{
    std::vector<std::string> codes;
    std::vector<std::int32_t> counts;
    for (int row = 0; row < db.streams.count(); ++row) {
        if (!db.streams.isLive(row) || db.streams.cell(row, col::Stream::LS)->number == 0)
            continue;
        codes.emplace_back(db.streams.text(row, col::Stream::code));
        counts.push_back(db.streams.cell(row, col::Stream::SO)->integer);
    }
    py::dict result;
    result["code"] = stringArray(codes);
    result["count"] =
        py::array_t<std::int32_t>(static_cast<py::ssize_t>(counts.size()), counts.data());
    return result;
}

py::dict group(OpenDatabase& open, const std::string& list, const std::string& method, bool pri,
               bool exclusive, bool dAndR, double kr, double kv, double kd)
{
    if (method != "rvg" && method != "dprime")
        throw py::value_error("method is \"rvg\" or \"dprime\", not \"" + method + "\"");
    Database& db = open.db();
    makeCurrentList(db, list);
    const GroupingOptions options{kr / 100.0, kv / 100.0, kd / 100.0, dAndR, exclusive, pri};
    // Streams whose typical orbit is not loaded are left out, as OK to the question does.
    MessageLog log(true);
    CallFeedback feedback;
    GroupingOutcome outcome = GroupingOutcome::Cancelled;
    runInCore(log, feedback, [&] {
        outcome = method == "rvg" ? groupRvgAll(db, options, feedback)
                                  : groupDprimeAll(db, options, feedback);
        if (outcome == GroupingOutcome::Done)
            computeAllStreamCodes(db);
    });
    if (outcome != GroupingOutcome::Done)
        raiseError(log.text("grouping of " + list + " did not end"));
    db.modified = true;
    return streamCounts(db);
}

} // namespace

void bindGrouping(py::class_<OpenDatabase>& database)
{
    database.def("group", &group, py::arg("list"), py::arg("method") = "rvg",
                 py::arg("pri") = false, py::arg("exclusive") = false, py::arg("dr") = false,
                 py::arg("kr") = 100.0, py::arg("kv") = 100.0, py::arg("kd") = 100.0,
                 "Erases the list's grouping and groups its streams' orbits by R-vg or D' "
                 "(scales kr, kv, kd in percent); returns each stream's code and count.");
}
