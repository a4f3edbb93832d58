// Load all, save all and clear all.
#include "mdb/database_store.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <vector>

#include "mdb/database.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "platform/ui.h"
#include "table/links.h"
#include "table/text_file.h"

namespace fs = std::filesystem;

namespace {

std::string orbitsFolder(const std::string& folder) { return folder + "/" + kOrbitsFolder; }

// "O*.csv" in the orbits folder, sorted by name so that every machine loads
// in the same order.
std::vector<std::string> orbitFilesInFolder(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (isOrbitFileName(name) && entry.is_regular_file(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void markRegisteredFiles(CUTABLE& files, const std::vector<std::string>& names)
{
    using C = col::OrbitFile;
    for (const std::string& name : names) {
        int found = -1;
        for (int row = 0; row < files.count() && found < 0; ++row)
            if (files.exist(row) == CUTABLE::kLive && name == files.text(row, C::fileName))
                found = row;
        if (found < 0) {
            found = files.addRow();
            files.setText(found, C::fileName, name.c_str());
        }
        files.setExist(found, CUTABLE::kMarked);
    }
    for (int row = 0; row < files.count(); ++row) {
        if (files.exist(row) == CUTABLE::kMarked)
            files.setExist(row, CUTABLE::kLive);
        else if (files.isLive(row))
            files.deleteRow(row);
    }
}

std::string orbitFileName(const std::string& fileName)
{
    return std::string(kOrbitsFolder) + "/" + fileName;
}

// A file the load could not read whole is remembered, so that no save
// replaces it with the part that was read.
void noteLoad(Database& db, const std::string& relativePath, LoadResult result)
{
    if (result == LoadResult::Broken || result == LoadResult::Unreadable)
        db.unreadFiles.insert(relativePath);
}

void loadOrbitFiles(Database& db, const std::string& mdbFolder)
{
    const std::string folder = orbitsFolder(mdbFolder);
    std::error_code ignored;
    fs::create_directory(folder, ignored);
    markRegisteredFiles(db.orbitFiles, orbitFilesInFolder(folder));
    using C = col::OrbitFile;
    for (int row = 0; row < db.orbitFiles.count(); ++row) {
        if (!db.orbitFiles.isLive(row) || db.orbitFiles.cell(row, C::use)->number != 1)
            continue;
        const std::string name = orbitFileName(db.orbitFiles.text(row, C::fileName));
        noteLoad(db, name, db.orbits.loadFile(mdbFolder + "/" + name, col::Orbit::OFILE, row));
        db.orbitFiles.cell(row, C::loaded)->number = 1;
    }
    db.orbitCount = db.orbits.count();
}

void buildAllLinks(Database& db)
{
    buildLinks(db.listStreamLinks, {db.lists, col::List::LID, col::List::SLINK},
               {db.streams, col::Stream::SID, col::Stream::LLINK});
    buildLinks(db.streamOrbitLinks, {db.streams, col::Stream::SID, col::Stream::OLINK},
               {db.orbits, col::Orbit::OID, col::Orbit::SLINK});
}

// One file of a save; false when it failed. A file that the last load could
// not read whole is not written into the folder it came from (its path goes
// to `keptAsIs`); a save to another folder (a backup) copies it as it is on disk.
template <typename Write>
bool saveFile(const Database& db, const std::string& folder, const std::string& relativePath,
              std::vector<std::string>& keptAsIs, Write write)
{
    const std::string path = folder + "/" + relativePath;
    if (!db.unreadFiles.contains(relativePath))
        return write(path);
    std::error_code error;
    if (folder == db.loadedFolder || fs::equivalent(folder, db.loadedFolder, error)) {
        keptAsIs.push_back(path);
        return true;
    }
    if (copyFileAtomically(db.loadedFolder + "/" + relativePath, path))
        return true;
    message("Cannot open %s", path.c_str());
    return false;
}

bool saveLoadedOrbitFiles(Database& db, const std::string& folder,
                          std::vector<std::string>& keptAsIs)
{
    using C = col::OrbitFile;
    bool saved = true;
    for (int row = 0; row < db.orbitFiles.count(); ++row) {
        if (!db.orbitFiles.isLive(row) || db.orbitFiles.cell(row, C::loaded)->number == 0)
            continue;
        saved &= saveFile(db, folder, orbitFileName(db.orbitFiles.text(row, C::fileName)), keptAsIs,
                          [&](const std::string& path) {
                              return db.orbits.save(path, col::Orbit::OFILE, row, row);
                          });
    }
    return saved;
}

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string joined;
    for (const std::string& line : lines)
        joined += (joined.empty() ? "" : "\n") + line;
    return joined;
}

} // namespace

bool isOrbitFileName(std::string_view name)
{
    return name.size() >= 5 && name.front() == 'O' && name.substr(name.size() - 4) == ".csv";
}

void loadAll(Database& db, const std::string& mdbFolder, int year)
{
    WaitCursor wait;
    db.loadedFolder = mdbFolder;
    db.unreadFiles.clear();
    for (CUTABLE* table : {&db.dsids, &db.lists, &db.listStreamLinks, &db.streams,
                           &db.streamOrbitLinks, &db.orbitFiles})
        noteLoad(db, table->definition().fileName, table->loadFromDirectory(mdbFolder));
    loadOrbitFiles(db, mdbFolder);
    buildAllLinks(db);
    db.sources.relocateCurrent();
    db.sources.checkDsidTable();
    computeAllStreamMonthDays(db.streams, year);
    computeAllOrbitDerived(db.orbits);
    db.sources.markInUse();
    computeAllStreamCodes(db);
    locateTypicalOrbits(db);
}

SaveResult saveAllFiles(Database& db, const std::string& folder)
{
    WaitCursor wait;
    rebuildLinkTable(db.streamOrbitLinks, {db.streams, col::Stream::SID, col::Stream::OLINK},
                     col::Orbit::OID);
    rebuildLinkTable(db.listStreamLinks, {db.lists, col::List::LID, col::List::SLINK},
                     col::Stream::SID);
    std::error_code ignored;
    fs::create_directory(orbitsFolder(folder), ignored);
    removeStaleTemporaries(folder);
    removeStaleTemporaries(orbitsFolder(folder));
    std::vector<std::string> keptAsIs;
    bool saved = saveLoadedOrbitFiles(db, folder, keptAsIs);
    for (const CUTABLE* table : {&db.orbitFiles, &db.streamOrbitLinks, &db.streams,
                                 &db.listStreamLinks, &db.lists, &db.dsids})
        saved &= saveFile(db, folder, table->definition().fileName, keptAsIs,
                          [&](const std::string& path) { return table->save(path); });
    if (keptAsIs.empty())
        return saved ? SaveResult::Saved : SaveResult::Failed;
    message(kKeptAsIsFormat, joinLines(keptAsIs).c_str());
    return saved ? SaveResult::SavedExceptUnread : SaveResult::Failed;
}

bool saveAll(Database& db, const std::string& folder)
{
    return saveAllFiles(db, folder) == SaveResult::Saved;
}

void clearAll(Database& db)
{
    WaitCursor wait;
    for (CUTABLE* table : {&db.dsids, &db.lists, &db.listStreamLinks, &db.streams,
                           &db.streamOrbitLinks, &db.orbitFiles, &db.orbits})
        table->clear();
    db.pools.nodes.reset();
    db.orbitCount = 0;
}
