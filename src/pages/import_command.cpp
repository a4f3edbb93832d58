// The import command in its order: the three choices, the duplicate index, the
// save, the conversion, the registration and the reload.
#include "pages/import_command.h"

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

namespace {

struct ImportFiles {
    std::string source;
    std::string target;
};

// The source, the data source and the target, as the user chose them.
std::optional<ImportFiles> askImportFiles(AppContext& app)
{
    const FileRequest request{kImportTitle, app.settings.docdir, kImportAllFiles, kImportFilter,
                              false};
    const std::optional<std::string> source = ui().openFile(request);
    if (!source)
        return std::nullopt;
    const std::string question = formatMessage(kImportQuestionFormat, fileNameOf(*source).c_str());
    CDSIDSDlg dialog(app, question, false);
    if (!dialog.exec())
        return std::nullopt;
    const std::optional<std::string> target = chooseOrbitFileTarget(app, kImportTargetTitle, false);
    if (!target)
        return std::nullopt;
    return ImportFiles{*source, *target};
}

// Whether the current data source has an ID left for every row of the source; if not, the
// user is told both numbers. A data source hands out 99,999 IDs, fewer than a year of some
// networks' orbits: stopping at the last ID part-way would waste the whole conversion.
bool idsSuffice(const Database& db, const LayoutChoice& choice, const std::string& source)
{
    if (!choice.layout || db.sources.currentRow() < 0)
        return true;
    const std::uint32_t used = db.sources.currentIdNext() % kIdsPerSource;
    const std::int64_t left = used < kIdsPerSource - 1 ? kIdsPerSource - 1 - used : 0;
    const std::int64_t rows = countSourceRows(*choice.layout, source);
    if (rows <= left)
        return true;
    message(kTooFewIdsFormat, fileNameOf(source).c_str(), static_cast<long long>(rows),
            db.sources.currentCode(), static_cast<long long>(left));
    return false;
}

// The rows written, or -1 after the refusal of the name or the failure message.
std::int64_t convert(Database& db, const ImportFiles& files, const LayoutChoice& choice,
                     const DuplicateIndex& index, Feedback& feedback)
{
    const std::string sourceName = fileNameOf(files.source);
    if (!choice.layout) {
        message("%s", choice.refusal.c_str());
        return -1;
    }
    ConversionContext context{db.sources.currentCode(), [&db] { return db.sources.nextId(); },
                              index, feedback};
    const std::int64_t rows = convertOrbitFile(*choice.layout, files.source, files.target, context);
    if (rows < 0)
        message(kConversionFailedFormat, sourceName.c_str(), fileNameOf(files.target).c_str());
    return rows;
}

// Registers the target and saves the orbit-file and data-source tables. When
// they cannot be saved the target and its registration are taken back, so
// that no table names rows that were not kept.
bool registerTarget(AppContext& app, const std::string& target, const TargetFileGuard& before)
{
    Database& db = *app.db;
    const std::string& folder = app.settings.mdbdir;
    const OrbitFileRegistration registration = registerOrbitFile(db, fileNameOf(target));
    const bool filesSaved = db.orbitFiles.saveToDirectory(folder);
    if (db.dsids.saveToDirectory(folder) && filesSaved)
        return true;
    unregisterOrbitFile(db, registration);
    before.restore();
    if (filesSaved)
        static_cast<void>(db.orbitFiles.saveToDirectory(folder));
    return false;
}

} // namespace

DuplicateIndex loadedOrbitsOfCurrentSource(const Database& db)
{
    using C = col::Orbit;
    const std::uint32_t dsid = db.sources.currentDsid();
    std::vector<IndexedOrbit> orbits;
    for (int row = 0; row < db.orbits.count(); ++row) {
        if (!db.orbits.isLive(row) || dsidOf(db.orbits.cell(row, C::OID)->number) != dsid)
            continue;
        orbits.push_back({db.orbits.cell(row, C::mjd)->real, db.orbits.text(row, C::name),
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
    if (!idsSuffice(db, choice, files->source))
        return std::nullopt;
    std::optional<TargetFileGuard> before;
    std::int64_t rows = -1;
    {
        const DuplicateIndex index = loadedOrbitsOfCurrentSource(db);
        if (!saveAll(db, app.settings.mdbdir))
            return std::nullopt;
        before.emplace(files->target);
        rows = convert(db, *files, choice, index, feedback);
    }
    if (rows < 0 || !registerTarget(app, files->target, *before))
        return std::nullopt;
    reloadAllTables(app);
    return rows;
}
