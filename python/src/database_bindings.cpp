// orvantella.Database: the tables as column dictionaries, the links of a list, save and close.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <set>
#include <vector>

#include "bindings.h"

#include "core_call.h"
#include "mdb/data_sources.h"
#include "mdb/schema.h"
#include "open_database.h"
#include "table/links.h"
#include "table_columns.h"

namespace py = pybind11;

namespace {

// SID and OID of every link between the list's streams and orbits: streams in table order,
// each stream's orbits in link order, as the link table is written.
py::dict listLinks(OpenDatabase& open, const std::string& list)
{
    const Database& db = open.db();
    const CoreLock core;
    std::set<int> members;
    for (const LinkNode& node : linksOf(db.lists, listRow(db, list), col::List::SLINK))
        if (node.resolved())
            members.insert(node.partnerCell.row);
    std::vector<std::uint32_t> sids, oids;
    for (int stream : members) {
        if (!db.streams.isLive(stream))
            continue;
        const std::uint32_t sid = db.streams.cell(stream, col::Stream::SID)->number;
        for (const LinkNode& node : linksOf(db.streams, stream, col::Stream::OLINK)) {
            sids.push_back(sid);
            oids.push_back(partnerId(node, col::Orbit::OID));
        }
    }
    py::dict links;
    links["SID"] = py::array_t<std::uint32_t>(static_cast<py::ssize_t>(sids.size()), sids.data());
    links["OID"] = py::array_t<std::uint32_t>(static_cast<py::ssize_t>(oids.size()), oids.data());
    return links;
}

template <CUTABLE Database::*Table> py::dict columnsOf(OpenDatabase& open)
{
    return tableColumns(open.db().*Table);
}

} // namespace

void bindDatabase(py::module_& module)
{
    py::class_<OpenDatabase> database(
        module, "Database", "An MDB folder loaded in memory; orvantella.open() makes one.");
    database.def(py::init<std::string, bool>(), py::arg("path"), py::arg("readonly") = true)
        .def_property_readonly("path", &OpenDatabase::folder)
        .def_property_readonly("readonly", &OpenDatabase::readonly)
        .def_property_readonly("closed", &OpenDatabase::closed)
        .def_property_readonly("modified", [](OpenDatabase& open) { return open.db().modified; })
        .def_property_readonly("orbits", &columnsOf<&Database::orbits>)
        .def_property_readonly("streams", &columnsOf<&Database::streams>)
        .def_property_readonly("lists", &columnsOf<&Database::lists>)
        .def_property_readonly("data_sources", &columnsOf<&Database::dsids>)
        .def_property_readonly("orbit_files", &columnsOf<&Database::orbitFiles>)
        .def("links", &listLinks, py::arg("list"),
             "SID and OID arrays of the links between the list's streams and their orbits.")
        .def("save", &OpenDatabase::save, "Writes every table to the folder.")
        .def("close", &OpenDatabase::close, "Drops the tables and releases the folder.")
        .def(
            "__enter__", [](OpenDatabase& open) -> OpenDatabase& { return open; },
            py::return_value_policy::reference_internal)
        .def("__exit__", [](OpenDatabase& open, const py::args&) { open.close(); });
    bindGrouping(database);
    bindSelection(database);
    bindClustering(database);
    bindMaps(database);
    bindImports(database);
}
