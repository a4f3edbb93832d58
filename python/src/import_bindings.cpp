// Database.import_file and Database.list_import: the batch tool's "import" and "list-import"
// through the same commands of the pages.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "bindings.h"
#include "core_call.h"
#include "mdb/schema.h"
#include "open_database.h"
#include "pages/import_command.h"
#include "pages/import_files.h"
#include "pages/orbit_files.h"
#include "pages/stream_list.h"
#include "streams/iau_mdc.h"
#include "table_columns.h"

namespace py = pybind11;

namespace {

// What a failed list import leaves behind, taken back: the stream rows it added before the
// broken line (its list row is gone already) and the IDs they took.
class ListImportCheckpoint {
public:
    explicit ListImportCheckpoint(Database& db)
        : m_db(db), m_streamRows(db.streams.count()), m_modified(db.modified)
    {
        for (int row = 0; row < db.dsids.count(); ++row)
            m_idNext.push_back(db.dsids.cell(row, col::Dsid::IDnext)->number);
    }
    void restore()
    {
        for (int row = m_streamRows; row < m_db.streams.count(); ++row)
            if (m_db.streams.isLive(row))
                m_db.streams.deleteRow(row);
        for (std::size_t row = 0; row < m_idNext.size(); ++row)
            m_db.dsids.cell(static_cast<int>(row), col::Dsid::IDnext)->number = m_idNext[row];
        m_db.modified = m_modified;
    }

private:
    Database& m_db;
    int m_streamRows;
    bool m_modified;
    std::vector<std::uint32_t> m_idNext;
};

py::dict listImport(OpenDatabase& open, const std::string& path, const std::string& dsid,
                    const std::string& status)
{
    AppContext& app = open.app();
    const std::optional<IauStatusChoice> choice = iauStatusChoiceNamed(status);
    if (!choice)
        throw py::value_error("status is \"established\", \"working\" or \"all\", not \"" + status +
                              "\"");
    app.db->sources.makeCurrent(sourceRow(*app.db, dsid));
    MessageLog log(false);
    CallFeedback feedback;
    ListImportCheckpoint checkpoint(*app.db);
    std::optional<int> list;
    runInCore(
        log, feedback, [&] { list = importStreamListFile(app, path, *choice); }, {}, false);
    if (!list) {
        checkpoint.restore();
        raiseError(log.text("importing the stream list " + path + " failed"));
    }
    py::dict result;
    result["list"] = std::string(app.db->lists.text(*list, col::List::name));
    result["streams"] = streamsOfList(app, *list).size();
    result["messages"] = log.messages();
    return result;
}

struct ImportRequest {
    std::string path;
    std::optional<std::string> target;
    ImportFilesOptions options;
    bool filtered() const
    {
        const ImportFilters& f = options.filters;
        return f.minQcDeg || f.maxVgKms || f.maxE || f.maxRadErrDeg || f.minStations;
    }
    // The window's own import command, target name and all, as the batch tool runs it.
    bool single() const
    {
        std::error_code error;
        return !filtered() && !options.spread && !std::filesystem::is_directory(path, error);
    }
};

// The files of a folder, by name; a file as itself.
std::vector<std::string> sourceFiles(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_directory(path, error))
        return {path};
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(path, error))
        if (entry.is_regular_file(error))
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

py::dict droppedOf(const FilterCounts& d)
{
    py::dict dropped;
    dropped["no_radiant"] = d.noRadiant;
    dropped["min_qc"] = d.minQc;
    dropped["max_vg"] = d.maxVg;
    dropped["max_e"] = d.maxE;
    dropped["max_rad_err"] = d.maxRadErr;
    dropped["min_stations"] = d.minStations;
    return dropped;
}

// The import as the batch tool runs it; nothing when it failed (the log says why).
std::optional<ImportFilesResult> runImport(AppContext& app, const ImportRequest& request,
                                           const std::string& target, CallFeedback& feedback)
{
    if (!request.single())
        return importOrbitFiles(app, sourceFiles(request.path), request.options, feedback);
    const std::optional<std::int64_t> rows = importOrbitFile(app, feedback);
    if (!rows)
        return std::nullopt;
    ImportFilesResult result;
    result.rows = *rows;
    if (*rows > 0)
        result.targets.push_back(target);
    return result;
}

py::dict importFile(OpenDatabase& open, const ImportRequest& request, const std::string& dsid)
{
    open.requireWritable();
    AppContext& app = open.app();
    if (app.db->modified)
        raiseError("the import saves every table: save() the changes made first");
    if (request.target && !request.single())
        raiseError("a target is named only for a single file imported without filters or "
                   "spread");
    app.db->sources.makeCurrent(sourceRow(*app.db, dsid));
    const std::string target =
        orbitFilePath(app, request.target.value_or(proposedOrbitFileName(app.db->sources)));
    MessageLog log(true);
    log.answerFiles({request.path, target});
    log.acceptDialogs();
    CallFeedback feedback;
    std::optional<ImportFilesResult> result;
    // The folder holds the tables as loaded, or with the new files; the tables follow it.
    runInCore(log, feedback, [&] {
        result = runImport(app, request, target, feedback);
        reloadAllTables(app);
    });
    if (!result)
        raiseError(log.text("importing " + request.path + " failed"));
    py::dict counts;
    counts["rows"] = result->rows;
    counts["duplicates"] = result->duplicates;
    counts["dropped"] = droppedOf(result->dropped);
    std::vector<std::string> files;
    for (const std::string& file : result->targets)
        files.push_back(fileNameOf(file));
    counts["files"] = files;
    counts["data_sources"] = result->newCodes;
    return counts;
}

py::dict importFileArgs(OpenDatabase& open, const std::string& path, const std::string& dsid,
                        const std::optional<std::string>& target, bool spread,
                        std::optional<double> minQc, std::optional<double> maxVg,
                        std::optional<double> maxE, std::optional<double> maxRadErr,
                        std::optional<int> minStations)
{
    ImportRequest request{path, target, {{minQc, maxVg, maxE, maxRadErr, minStations}, spread}};
    return importFile(open, request, dsid);
}

} // namespace

void bindImports(py::class_<OpenDatabase>& database)
{
    database.def("import_file", &importFileArgs, py::arg("path"), py::kw_only(), py::arg("dsid"),
                 py::arg("target") = py::none(), py::arg("spread") = false,
                 py::arg("min_qc") = py::none(), py::arg("max_vg") = py::none(),
                 py::arg("max_e") = py::none(), py::arg("max_rad_err") = py::none(),
                 py::arg("min_stations") = py::none(),
                 "Imports an orbit file (or a folder's files) as data source dsid into new orbit "
                 "files and saves every table, as orvantella-batch import does; the tables are "
                 "then reloaded. Returns {rows, duplicates, dropped, files, data_sources}.");
    database.def("list_import", &listImport, py::arg("path"), py::kw_only(), py::arg("dsid"),
                 py::arg("status") = "established",
                 "Imports a stream list file as data source dsid into a new list; save() writes "
                 "it. Returns {list, streams, messages}.");
}
