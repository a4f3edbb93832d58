// Load all, save all and clear all.
#include "mdb/database_store.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <set>
#include <string_view>
#include <vector>

#include "mdb/database.h"
#include "mdb/derived_columns.h"
#include "mdb/identity_check.h"
#include "mdb/schema.h"
#include "platform/ui.h"
#include "table/id_index.h"
#include "table/links.h"
#include "table/row_list_file.h"
#include "table/text_file.h"

namespace fs = std::filesystem;

namespace {

// The six table files, in the order of loading.
constexpr const char* kTableFileNames[] = {"UDSID.csv",   "UList.csv",   "ULSlink.csv",
                                           "UStream.csv", "USOlink.csv", "UOFile.csv"};

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string joined;
    for (const std::string& line : lines)
        joined += (joined.empty() ? "" : "\n") + line;
    return joined;
}

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

// A file that is not there while the rest of the database is would be saved as empty.
void noteMissing(Database& db, const std::string& relativePath)
{
    message(kMissingFileFormat, relativePath.c_str());
    db.unreadFiles.insert(relativePath);
}

// A table file that is not there is an empty table only in a folder holding none of them.
void loadTables(Database& db, const std::string& mdbFolder)
{
    std::vector<std::string> missing;
    for (CUTABLE* table : {&db.dsids, &db.lists, &db.listStreamLinks, &db.streams,
                           &db.streamOrbitLinks, &db.orbitFiles}) {
        const LoadResult result = table->loadFromDirectory(mdbFolder);
        noteLoad(db, table->definition().fileName, result);
        if (result == LoadResult::Missing)
            missing.push_back(table->definition().fileName);
    }
    if (missing.size() < std::size(kTableFileNames))
        for (const std::string& name : missing)
            noteMissing(db, name);
}

void loadOrbitFiles(Database& db, const std::string& mdbFolder, OrbitDerivedWorker& derived)
{
    const std::string folder = orbitsFolder(mdbFolder);
    std::error_code error;
    if (fs::exists(folder, error) && !fs::is_directory(folder, error))
        noteMissing(db, kOrbitsFolder);
    markRegisteredFiles(db.orbitFiles, orbitFilesInFolder(folder));
    using C = col::OrbitFile;
    for (int row = 0; row < db.orbitFiles.count(); ++row) {
        if (!db.orbitFiles.isLive(row) || db.orbitFiles.cell(row, C::use)->number != 1)
            continue;
        const std::string name = orbitFileName(db.orbitFiles.text(row, C::fileName));
        const int firstRow = db.orbits.count();
        noteLoad(db, name, db.orbits.loadFile(mdbFolder + "/" + name, col::Orbit::OFILE, row));
        derived.add(db.orbits, firstRow, db.orbits.count());
        db.orbitFiles.cell(row, C::loaded)->number = 1;
    }
    db.orbitCount = db.orbits.count();
}

void buildAllLinks(Database& db, const IdIndex& orbitsById)
{
    buildLinks(db.listStreamLinks, {db.lists, col::List::LID, col::List::SLINK},
               {db.streams, col::Stream::SID, col::Stream::LLINK});
    buildLinks(db.streamOrbitLinks, {db.streams, col::Stream::SID, col::Stream::OLINK},
               {db.orbits, col::Orbit::OID, col::Orbit::SLINK}, orbitsById);
}

bool isLoadedFolder(const Database& db, const std::string& folder)
{
    std::error_code error;
    return folder == db.loadedFolder || fs::equivalent(folder, db.loadedFolder, error);
}

// One file of a save into the transaction; false when it failed. A save to
// another folder than the one loaded from (a backup) copies a file that the
// last load could not read whole as it is on disk.
template <typename Write>
bool saveFile(const Database& db, const std::string& folder, const std::string& relativePath,
              FileTransaction& transaction, Write write)
{
    const std::string path = folder + "/" + relativePath;
    if (!db.unreadFiles.contains(relativePath))
        return write(path);
    if (copyFileAtomically(db.loadedFolder + "/" + relativePath, path, &transaction))
        return true;
    message("Cannot open %s", path.c_str());
    return false;
}

// The live orbit rows of each orbit file, in row order, from one pass over the orbits.
std::vector<std::vector<int>> orbitRowsByFile(const Database& db)
{
    std::vector<std::vector<int>> rows(static_cast<std::size_t>(db.orbitFiles.count()));
    for (int row = 0; row < db.orbits.count(); ++row) {
        if (!db.orbits.isLive(row))
            continue;
        const int file = db.orbits.integer(row, col::Orbit::OFILE);
        if (file >= 0 && file < db.orbitFiles.count())
            rows[static_cast<std::size_t>(file)].push_back(row);
    }
    return rows;
}

bool saveLoadedOrbitFiles(const Database& db, const std::string& folder,
                          FileTransaction& transaction)
{
    using C = col::OrbitFile;
    const std::vector<std::vector<int>> rowsByFile = orbitRowsByFile(db);
    for (int row = 0; row < db.orbitFiles.count(); ++row) {
        if (!db.orbitFiles.isLive(row) || db.orbitFiles.cell(row, C::loaded)->number == 0)
            continue;
        if (!saveFile(db, folder, orbitFileName(db.orbitFiles.text(row, C::fileName)), transaction,
                      [&](const std::string& path) {
                          return saveRowList(db.orbits, path,
                                             rowsByFile[static_cast<std::size_t>(row)],
                                             &transaction);
                      }))
            return false;
    }
    return true;
}

bool saveTables(const Database& db, const std::string& folder, FileTransaction& transaction)
{
    for (const CUTABLE* table : {&db.orbitFiles, &db.streamOrbitLinks, &db.streams,
                                 &db.listStreamLinks, &db.lists, &db.dsids})
        if (!saveFile(
                db, folder, table->definition().fileName, transaction,
                [&](const std::string& path) { return table->save(path, 0, 0, 0, &transaction); }))
            return false;
    return true;
}

void removeStaleSaveTemporaries(const std::string& folder)
{
    removeStaleTemporaries(folder, isSavedFileName);
    removeStaleTemporaries(orbitsFolder(folder), isOrbitFileName);
}

} // namespace

bool isOrbitFileName(std::string_view name)
{
    return name.size() >= 5 && name.front() == 'O' && name.substr(name.size() - 4) == ".csv";
}

bool isSavedFileName(std::string_view name)
{
    return name == FileTransaction::kRecordName || isOrbitFileName(name) ||
           std::find(std::begin(kTableFileNames), std::end(kTableFileNames), name) !=
               std::end(kTableFileNames);
}

bool isMdbFolder(const std::string& folder)
{
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return false;
    for (const char* name : kTableFileNames)
        if (fs::exists(folder + "/" + name, error))
            return true;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name != kOrbitsFolder && name != FileTransaction::kRecordName)
            return false;
    }
    return !error;
}

std::optional<std::string> saveRefusal(const Database& db, const std::string& folder)
{
    if (!isLoadedFolder(db, folder))
        return std::nullopt;
    if (!db.readOnlyReason.empty())
        return formatMessage(kReadOnlyFormat, db.readOnlyReason.c_str());
    if (db.unreadFiles.empty())
        return std::nullopt;
    std::vector<std::string> paths;
    for (const std::string& file : db.unreadFiles)
        paths.push_back(folder + "/" + file);
    return formatMessage(kNotSavedFormat, joinLines(paths).c_str());
}

void loadAll(Database& db, const std::string& mdbFolder, int year)
{
    WaitCursor wait;
    db.loadedFolder = mdbFolder;
    db.unreadFiles.clear();
    // Unlocked beside a writer, a commit under way is not this process's to complete.
    if (db.lock.held() || db.readOnlyReason.empty())
        completeInterruptedCommit(mdbFolder);
    loadTables(db, mdbFolder);
    OrbitDerivedWorker derived;
    loadOrbitFiles(db, mdbFolder, derived);
    {
        // One index of millions of OIDs serves every lookup of the load, then goes.
        const IdIndex orbitsById(db.orbits, col::Orbit::OID);
        checkIdentities(db, orbitsById);
        buildAllLinks(db, orbitsById);
        locateTypicalOrbits(db, orbitsById);
    }
    db.sources.relocateCurrent();
    db.sources.checkDsidTable();
    computeAllStreamMonthDays(db.streams, year);
    derived.finish();
    db.sources.markInUse();
    computeAllStreamCodes(db);
}

std::optional<std::string> lockAndLoadAll(Database& db, const std::string& mdbFolder,
                                          MdbAccess access, int year)
{
    db.lock.release();
    std::string refusal;
    std::optional<MdbLock> lock = MdbLock::take(mdbFolder, access, refusal);
    if (!lock)
        return refusal;
    db.lock = std::move(*lock);
    db.readOnlyReason = access == MdbAccess::Write ? "" : "opened for reading";
    // A writer's new files go into the orbits folder (the load itself creates nothing).
    std::error_code ignored;
    if (access == MdbAccess::Write)
        fs::create_directory(orbitsFolder(mdbFolder), ignored);
    loadAll(db, mdbFolder, year);
    return std::nullopt;
}

void openDatabaseForWindow(Database& db, const std::string& mdbFolder, int year)
{
    // A folder not made yet (a first start makes it at the first save) holds nothing to lock.
    std::error_code error;
    if ((db.lock.exclusive() && isLoadedFolder(db, mdbFolder)) || !fs::exists(mdbFolder, error)) {
        loadAll(db, mdbFolder, year);
        return;
    }
    const std::optional<std::string> refusal =
        lockAndLoadAll(db, mdbFolder, MdbAccess::Write, year);
    if (!refusal)
        return;
    message("%s\n\nThe database is opened read-only.", refusal->c_str());
    db.readOnlyReason = *refusal;
    loadAll(db, mdbFolder, year);
}

SaveResult saveAllFiles(Database& db, const std::string& folder, FileTransaction& transaction)
{
    WaitCursor wait;
    if (const std::optional<std::string> refusal = saveRefusal(db, folder)) {
        message("%s", refusal->c_str());
        return SaveResult::Refused;
    }
    rebuildLinkTable(db.streamOrbitLinks, {db.streams, col::Stream::SID, col::Stream::OLINK},
                     col::Orbit::OID);
    rebuildLinkTable(db.listStreamLinks, {db.lists, col::List::LID, col::List::SLINK},
                     col::Stream::SID);
    std::error_code ignored;
    fs::create_directory(orbitsFolder(folder), ignored);
    removeStaleSaveTemporaries(folder);
    if (!saveLoadedOrbitFiles(db, folder, transaction) || !saveTables(db, folder, transaction))
        return SaveResult::Failed;
    if (!transaction.commit()) {
        message(kCannotWriteFormat, (folder + "/" + FileTransaction::kRecordName).c_str(),
                std::strerror(transaction.error()));
        return SaveResult::Failed;
    }
    return SaveResult::Saved;
}

SaveResult saveAllFiles(Database& db, const std::string& folder)
{
    FileTransaction transaction(folder);
    return saveAllFiles(db, folder, transaction);
}

bool saveAll(Database& db, const std::string& folder)
{
    return saveAllFiles(db, folder) == SaveResult::Saved;
}

bool refuseOutputInMdb(const Database& db, const std::string& path)
{
    if (db.loadedFolder.empty())
        return false;
    std::error_code error;
    const fs::path parent = fs::weakly_canonical(fs::absolute(path, error), error).parent_path();
    const fs::path mdb = fs::weakly_canonical(fs::absolute(db.loadedFolder, error), error);
    if (parent != mdb && parent != mdb / kOrbitsFolder)
        return false;
    message(kOutputInMdbFormat, path.c_str(), db.loadedFolder.c_str());
    return true;
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
