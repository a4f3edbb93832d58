#pragma once
// The whole-database operations: load all from the MDB folder, save all to
// it or to a backup folder, and clear all.

#include <optional>
#include <string>
#include <string_view>

#include "mdb/mdb_lock.h"

class Database;
class FileTransaction;

// Orbit files live in this subfolder of an MDB or backup folder.
inline constexpr const char* kOrbitsFolder = "orbits";

// The names the load takes from the orbits folder: "O*.csv", case-sensitive.
bool isOrbitFileName(std::string_view name);

// The save's refusal after a load that did not read every file whole (their paths, one a line).
inline constexpr const char* kNotSavedFormat =
    "Nothing saved: these files could not be read whole when loaded:\n%s\n\nCorrect or "
    "delete them, then reload.";
// A table file or a used orbit file that is not there while the rest of the database is.
inline constexpr const char* kMissingFileFormat = "%s is missing\nPlease Stop and check";
// A save refused because another process holds the database (the reason).
inline constexpr const char* kReadOnlyFormat = "Nothing saved: the database is open read-only\n%s";

// Completes a save that was interrupted between its first and last file
// replaced, then loads the six table files, scans the orbits folder, loads
// the used orbit files, links, checks the data sources and computes the
// derived columns (month/day texts for the working year). Files that are
// broken, cannot be read, or are missing while the rest of the database is
// there are remembered in the database's unreadFiles. Nothing is created.
void loadAll(Database& db, const std::string& mdbFolder, int year);
// Takes the MDB folder's lock for that access (a writer exclusively, a reader
// shared) into the database, then loads all. When the lock is refused nothing
// is loaded and the refusal (naming the holders) is the result.
std::optional<std::string> lockAndLoadAll(Database& db, const std::string& mdbFolder,
                                          MdbAccess access, int year);
// The window's load: the lock is kept while the folder stays the same, else
// taken anew. When another process holds the folder the user is told and the
// database is opened read-only (saves refused until it is opened again).
void openDatabaseForWindow(Database& db, const std::string& mdbFolder, int year);
// Rebuilds both link tables, then writes every loaded orbit file and the six
// tables as one transaction: all are written and flushed under temporary
// names, then all replace their targets; on any failure (reported, result
// false) every file keeps its previous content. Into the folder loaded from,
// nothing is written after a load that did not read every file whole, nor
// by a read-only database (one message says why). Into any other folder (a
// backup) a file not read whole is copied as it is on disk. Temporary files
// of killed saves are removed first. The modified flag is left to the caller.
[[nodiscard]] bool saveAll(Database& db, const std::string& folder);
// The same, telling a save refused before writing from one where a write failed.
enum class SaveResult { Saved, Refused, Failed };
[[nodiscard]] SaveResult saveAllFiles(Database& db, const std::string& folder);
// The same within a transaction that holds files of the caller's already (the new orbit files
// of an import), so that they land together with the tables or not at all.
[[nodiscard]] SaveResult saveAllFiles(Database& db, const std::string& folder,
                                      FileTransaction& transaction);
// Whether a save into that folder would be refused, and the message saying why.
std::optional<std::string> saveRefusal(const Database& db, const std::string& folder);
// Whether the folder holds a database: one of the six table files, or nothing
// but an orbits folder and the lock (a new database).
bool isMdbFolder(const std::string& folder);
// The temporary files of a save named after this file of an MDB folder or of its orbits
// folder (a table file, the commit record, an orbit file).
bool isSavedFileName(std::string_view name);
// An output (export, listing, count, map) named inside the database loaded
// (path, MDB folder).
inline constexpr const char* kOutputInMdbFormat =
    "%s\n\nis inside the database %s\nOutputs are never written there: please assign another "
    "name";
// Whether path, with links and ".." resolved, names a file of the folder the
// database was loaded from or of its orbits folder; if so the user is told.
bool refuseOutputInMdb(const Database& db, const std::string& path);
// Empties every table and drops all links.
void clearAll(Database& db);
