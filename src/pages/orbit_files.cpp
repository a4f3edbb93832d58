// Creating, deleting and reloading the database's orbit files.
#include "pages/orbit_files.h"

#include <cstdio>
#include <filesystem>
#include <unordered_map>

#include "app/app_context.h"
#include "app/app_refresh.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "orbits/orbit_converters.h"
#include "platform/ui.h"
#include "table/links.h"
#include "views/cell_format.h"

namespace fs = std::filesystem;

namespace {

bool askOk(const std::string& text)
{
    return ui().askOkCancel(text, mainWindowOpen() ? kOwnedCaption : kAppCaption);
}

std::string withDefaultExtension(const std::string& path)
{
    return fs::path(path).has_extension() ? path : path + "." + kOrbitFileExtension;
}

bool isInOrbitsFolder(const AppContext& app, const std::string& path)
{
    const fs::path chosen(path);
    std::error_code error;
    return isOrbitFileName(chosen.filename().string()) &&
           fs::equivalent(chosen.parent_path(), orbitsFolderOf(app), error) && !error;
}

// A new file holding the header line only; false when it cannot be created.
bool writeHeaderOnly(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (!file)
        return false;
    const std::string header = orbitFileHeader();
    const bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size();
    return std::fclose(file) == 0 && written;
}

// Streams by the OID of their typical orbit.
std::unordered_multimap<std::uint32_t, int> streamsByTypicalOrbit(const CUTABLE& streams)
{
    std::unordered_multimap<std::uint32_t, int> byOid;
    for (int row = 0; row < streams.count(); ++row)
        if (streams.isLive(row) && streams.cell(row, col::Stream::TypicalOID)->number != 0)
            byOid.emplace(streams.cell(row, col::Stream::TypicalOID)->number, row);
    return byOid;
}

void dropTypicalOrbit(CUTABLE& streams, std::unordered_multimap<std::uint32_t, int>& byOid,
                      std::uint32_t oid)
{
    const auto [first, last] = byOid.equal_range(oid);
    for (auto entry = first; entry != last; ++entry) {
        streams.cell(entry->second, col::Stream::TypicalOID)->number = 0;
        streams.cell(entry->second, col::Stream::TOIDline)->integer = -1;
    }
    byOid.erase(first, last);
}

// Deletes the orbits of UOFile row `fileRow` with their stream links; streams
// whose typical orbit was one of them have none any more.
void deleteOrbitsOfFile(Database& db, int fileRow)
{
    using C = col::Orbit;
    auto byTypicalOrbit = streamsByTypicalOrbit(db.streams);
    for (int row = 0; row < db.orbits.count(); ++row) {
        if (!db.orbits.isLive(row) || db.orbits.integer(row, C::OFILE) != fileRow)
            continue;
        clearLinks(db.orbits, row, C::SLINK);
        dropTypicalOrbit(db.streams, byTypicalOrbit, db.orbits.cell(row, C::OID)->number);
        db.orbits.deleteRow(row);
        --db.orbitCount;
    }
}

} // namespace

std::string proposedOrbitFileName(const DataSources& sources)
{
    return formatMessage("O_%s_%u.csv", sources.currentCode(), sources.currentIdNext());
}

std::string orbitsFolderOf(const AppContext& app)
{
    return app.settings.mdbdir + "/" + kOrbitsFolder;
}

std::string orbitFilePath(const AppContext& app, const std::string& fileName)
{
    return orbitsFolderOf(app) + "/" + fileName;
}

std::string fileNameOf(const std::string& path) { return fs::path(path).filename().string(); }

std::optional<std::string> chooseOrbitFileTarget(const AppContext& app, const std::string& title,
                                                 bool refuseExisting,
                                                 const std::string& defaultName)
{
    // An existing file is refused by the loop below or appended to: never replaced.
    const FileRequest request{title,
                              orbitsFolderOf(app),
                              defaultName.empty() ? proposedOrbitFileName(app.db->sources)
                                                  : defaultName,
                              kOrbitFileFilter,
                              refuseExisting,
                              false};
    for (;;) {
        const std::optional<std::string> answer = ui().saveFile(request);
        if (!answer)
            return std::nullopt;
        const std::string path = withDefaultExtension(*answer);
        std::error_code error;
        if (refuseExisting && fs::exists(path, error))
            message(kExistsFormat, path.c_str());
        else if (!isInOrbitsFolder(app, path))
            message(kOutsideOrbitsFormat, path.c_str(), request.folder.c_str());
        else if (!isStorableText(fileNameOf(path)))
            message(kUnstorableNameFormat, path.c_str());
        else
            return path;
    }
}

OrbitFileRegistration registerOrbitFile(Database& db, const std::string& fileName)
{
    using C = col::OrbitFile;
    CUTABLE& files = db.orbitFiles;
    for (int row = 0; row < files.count(); ++row)
        if (files.isLive(row) && fileName == files.text(row, C::fileName)) {
            const OrbitFileRegistration registration{row, false, files.cell(row, C::use)->number};
            files.cell(row, C::use)->number = 1;
            return registration;
        }
    const int row = files.addRow();
    files.setText(row, C::fileName, fileName.c_str());
    files.cell(row, C::use)->number = 1;
    return {row, true, 0};
}

void unregisterOrbitFile(Database& db, const OrbitFileRegistration& registration)
{
    if (registration.added)
        db.orbitFiles.deleteRow(registration.row);
    else
        db.orbitFiles.cell(registration.row, col::OrbitFile::use)->number = registration.formerUse;
}

void reloadAllTables(AppContext& app)
{
    clearAll(*app.db);
    openDatabaseForWindow(*app.db, app.settings.mdbdir, app.settings.dlg_Y);
    requestRefresh(app, 0);
}

bool createOrbitFile(AppContext& app)
{
    const std::optional<std::string> path = chooseOrbitFileTarget(app, kCreateOrbitFileTitle, true);
    if (!path)
        return false;
    if (!writeHeaderOnly(*path)) {
        message(kCannotOpenFormat, path->c_str());
        return false;
    }
    Database& db = *app.db;
    const OrbitFileRegistration registration = registerOrbitFile(db, fileNameOf(*path));
    if (!saveAll(db, app.settings.mdbdir)) {
        unregisterOrbitFile(db, registration);
        std::error_code ignored;
        fs::remove(*path, ignored);
        return false;
    }
    reloadAllTables(app);
    return true;
}

bool deleteOrbitFile(AppContext& app, int row)
{
    Database& db = *app.db;
    if (!isLiveRow(db.orbitFiles, row)) {
        message("%s", kNoFileSelected);
        return false;
    }
    if (db.orbitFiles.cell(row, col::OrbitFile::loaded)->number == 0) {
        message("%s", kFileNotLoaded);
        return false;
    }
    const std::string path = orbitFilePath(app, db.orbitFiles.text(row, col::OrbitFile::fileName));
    if (!askOk(formatMessage(kDeleteQuestionFormat, path.c_str())))
        return false;
    WaitCursor wait;
    deleteOrbitsOfFile(db, row);
    // A file that was not read whole goes with its row: it no longer stops the save.
    db.unreadFiles.erase(std::string(kOrbitsFolder) + "/" +
                         db.orbitFiles.text(row, col::OrbitFile::fileName));
    db.orbitFiles.deleteRow(row);
    // The file goes only once the tables that no longer name it are saved.
    if (!saveAll(db, app.settings.mdbdir)) {
        requestRefresh(app, 3);
        requestRefresh(app, 6);
        return false;
    }
    std::error_code error;
    if (!fs::remove(path, error) && error)
        message(kCannotDeleteFormat, path.c_str());
    reloadAllTables(app);
    return true;
}

bool reloadDatabase(AppContext& app)
{
    // A save that was refused or failed keeps the unsaved changes: Cancel reloads without them.
    if (askOk(kSaveTablesQuestion) && !saveAll(*app.db, app.settings.mdbdir))
        return false;
    reloadAllTables(app);
    return true;
}
