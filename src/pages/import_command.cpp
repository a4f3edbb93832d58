// The import command in its order: the three choices, the duplicate index, the
// save, the conversion, the registration and the reload.
#include "pages/import_command.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "mdb/data_sources.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "orbits/orbit_converters.h"
#include "pages/dsid_select_dialog.h"
#include "pages/orbit_files.h"
#include "platform/ui.h"
#include "table/text_file.h"

namespace fs = std::filesystem;

namespace {

struct ImportFiles {
    std::string source;
    std::string target;
    ImportFilters filters;
};

// The source, the data source with the filters, and the target, as the user chose them.
std::optional<ImportFiles> askImportFiles(AppContext& app)
{
    const FileRequest request{kImportTitle, app.settings.docdir, kImportAllFiles, kImportFilter,
                              false};
    const std::optional<std::string> source = ui().openFile(request);
    if (!source)
        return std::nullopt;
    const std::string question = formatMessage(kImportQuestionFormat, fileNameOf(*source).c_str());
    CDSIDSDlg dialog(app, question, false);
    dialog.askFilters();
    if (!dialog.exec())
        return std::nullopt;
    const std::optional<std::string> target = chooseOrbitFileTarget(app, kImportTargetTitle, false);
    if (!target)
        return std::nullopt;
    return ImportFiles{*source, *target, dialog.filters()};
}

// Whether the current data source has an ID left for every row of the source; if not, the
// user is told both numbers. A data source hands out 99,999 IDs, fewer than a year of some
// networks' orbits: stopping at the last ID part-way would waste the whole conversion.
bool idsSuffice(const Database& db, std::int64_t rows, const std::string& source)
{
    if (db.sources.currentRow() < 0)
        return true;
    const std::uint32_t used = db.sources.currentIdNext() % kIdsPerSource;
    const std::int64_t left = used < kIdsPerSource - 1 ? kIdsPerSource - 1 - used : 0;
    if (rows <= left)
        return true;
    message(kTooFewIdsFormat, fileNameOf(source).c_str(), static_cast<long long>(rows),
            db.sources.currentCode(), static_cast<long long>(left));
    return false;
}

// The target as it is, under the transaction's temporary name, for the rows to be appended to.
bool copyTargetToTemporary(const std::string& target, const FileTransaction& transaction)
{
    std::error_code error;
    if (!fs::exists(target, error))
        return true;
    if (fs::copy_file(target, transaction.temporaryPath(target), error))
        return true;
    message(kCannotOpenFormat, target.c_str());
    return false;
}

struct ConversionCounts {
    std::int64_t rows = -1; // written, or -1 after a failure or a cancel
    std::int64_t duplicates = 0;
    FilterCounts dropped;
};

// The rows written into the target's place in the transaction and the rows skipped; a failure
// has been told, a cancel needs no message.
ConversionCounts convert(Database& db, const ImportFiles& files, OrbitLayout layout,
                         const DuplicateIndex& index, Feedback& feedback,
                         FileTransaction& transaction)
{
    transaction.stage(files.target);
    if (!copyTargetToTemporary(files.target, transaction))
        return {};
    ConversionContext context{db.sources.currentCode(), [&db] { return db.sources.nextId(); },
                              index, feedback, files.filters};
    const std::int64_t rows =
        convertOrbitFile(layout, files.source, transaction.temporaryPath(files.target), context);
    if (rows < 0 && !feedback.cancelled())
        message(kConversionFailedFormat, fileNameOf(files.source).c_str(),
                fileNameOf(files.target).c_str());
    return {rows, context.duplicatesSkipped, context.dropped};
}

// Registers the target and lands it with the orbit-file and data-source tables (the IDs
// handed out) in one transaction. When that fails the registration is taken back and the
// folder is as it was.
bool registerTarget(AppContext& app, const std::string& target, FileTransaction& transaction)
{
    Database& db = *app.db;
    const std::string& folder = app.settings.mdbdir;
    const OrbitFileRegistration registration = registerOrbitFile(db, fileNameOf(target));
    if (db.orbitFiles.saveToDirectory(folder, &transaction) &&
        db.dsids.saveToDirectory(folder, &transaction) && transaction.commit())
        return true;
    if (transaction.error() != 0)
        message(kCannotWriteFormat, target.c_str(), std::strerror(transaction.error()));
    unregisterOrbitFile(db, registration);
    return false;
}

void tellNothingImported(const std::string& sourceName, const ConversionCounts& counts)
{
    if (counts.dropped.total() == 0)
        message(kNothingNewFormat, sourceName.c_str(), static_cast<long long>(counts.duplicates));
    else
        message(kNothingKeptFormat, sourceName.c_str(), static_cast<long long>(counts.duplicates),
                droppedLine(counts.dropped).c_str());
}

} // namespace

bool filtersApply(OrbitLayout layout, const ImportFilters& filters, const std::string& source)
{
    const std::string notCarried = filtersNotCarried(layout, filters);
    if (notCarried.empty())
        return true;
    message(kFiltersNotCarriedFormat, fileNameOf(source).c_str(), notCarried.c_str());
    return false;
}

DuplicateIndex loadedOrbitsOfCurrentSource(const Database& db)
{
    using C = col::Orbit;
    const std::uint32_t dsid = db.sources.currentDsid();
    std::vector<IndexedOrbit> orbits;
    for (int row = 0; row < db.orbits.count(); ++row) {
        if (!db.orbits.isLive(row) || dsidOf(db.orbits.cell(row, C::OID)->number) != dsid)
            continue;
        orbits.push_back({db.orbits.cell(row, C::mjd)->real64, db.orbits.text(row, C::name),
                          db.orbits.text(row, C::memo)});
    }
    return DuplicateIndex(orbits);
}

std::optional<std::int64_t> importOrbitFile(AppContext& app, Feedback& feedback)
{
    const std::optional<ImportFiles> files = askImportFiles(app);
    if (!files)
        return std::nullopt;
    WaitCursor wait;
    Database& db = *app.db;
    const LayoutChoice choice = chooseOrbitLayoutOf(files->source);
    if (!choice.layout) {
        message("%s\n\n%s", choice.refusal.c_str(), kAcceptedLayouts);
        return std::nullopt;
    }
    if (!filtersApply(*choice.layout, files->filters, files->source))
        return std::nullopt;
    const std::int64_t sourceRows = countSourceRows(*choice.layout, files->source);
    if (!idsSuffice(db, sourceRows, files->source))
        return std::nullopt;
    FileTransaction transaction(app.settings.mdbdir);
    ConversionCounts counts;
    {
        const DuplicateIndex index = loadedOrbitsOfCurrentSource(db);
        if (!saveAll(db, app.settings.mdbdir))
            return std::nullopt;
        counts = convert(db, *files, *choice.layout, index, feedback, transaction);
    }
    const std::string sourceName = fileNameOf(files->source);
    if (counts.rows < 0 && feedback.cancelled()) {
        // The tables as saved before the conversion, with the IDs it took given back.
        reloadAllTables(app);
        status(kImportCancelledFormat, sourceName.c_str());
        return std::nullopt;
    }
    if (counts.rows < 0)
        return std::nullopt;
    if (counts.rows == 0) {
        // The uncommitted transaction takes its temporary copy of the target away.
        tellNothingImported(sourceName, counts);
        return 0;
    }
    if (!registerTarget(app, files->target, transaction))
        return std::nullopt;
    reloadAllTables(app);
    const std::int64_t refused = std::max<std::int64_t>(
        0, sourceRows - counts.rows - counts.duplicates - counts.dropped.total());
    status(kImportedFormat, static_cast<long long>(counts.rows), sourceName.c_str(),
           fileNameOf(files->target).c_str(), static_cast<long long>(counts.duplicates),
           static_cast<long long>(refused), droppedLine(counts.dropped).c_str());
    return counts.rows;
}
