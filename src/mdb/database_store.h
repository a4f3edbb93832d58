#pragma once
// The whole-database operations: load all from the MDB folder, save all to
// it or to a backup folder, and clear all.

#include <string>
#include <string_view>

class Database;

// Orbit files live in this subfolder of an MDB or backup folder.
inline constexpr const char* kOrbitsFolder = "orbits";

// The names the load takes from the orbits folder: "O*.csv", case-sensitive.
bool isOrbitFileName(std::string_view name);

// The save's one message about the files it left alone (their paths, one a line).
inline constexpr const char* kKeptAsIsFormat =
    "Not saved, left as they are on disk because they could not be read whole when "
    "loaded:\n%s\n\nCorrect or delete them, then reload.";

// Loads the six table files, scans the orbits folder, loads the used orbit
// files, links, checks the data sources and computes the derived columns
// (month/day texts for the working year). Files that are broken or cannot
// be read are remembered in the database's unreadFiles.
void loadAll(Database& db, const std::string& mdbFolder, int year);
// Rebuilds both link tables, rewrites every loaded orbit file and writes
// the six tables. Each file is replaced only once fully written; a file
// that fails keeps its previous content, is reported, and makes the result
// false. A file the last load could not read whole is left as it is in the
// folder it was loaded from (one message names them all; the result is
// false) and copied as it is into any other folder. Temporary files of
// killed saves are removed first. The modified flag is left to the caller.
[[nodiscard]] bool saveAll(Database& db, const std::string& folder);
// The same, telling a save that wrote everything but the files kept as they
// are from one where a write failed.
enum class SaveResult { Saved, SavedExceptUnread, Failed };
[[nodiscard]] SaveResult saveAllFiles(Database& db, const std::string& folder);
// Empties every table and drops all links.
void clearAll(Database& db);
