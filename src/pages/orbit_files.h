#pragma once
// The database's own orbit files: their names and places, the choice of a new
// one, and the Set Up page's commands on whole files (create, delete, reload).

#include <cstdint>
#include <optional>
#include <string>

class DataSources;
class Database;
struct AppContext;

inline constexpr const char* kOrbitFileFilter = "Orbit Element Data(*.csv)";
inline constexpr const char* kOrbitFileExtension = "csv";
inline constexpr const char* kCreateOrbitFileTitle = "Make new Orbit elements file";
inline constexpr const char* kExistsFormat = "%s exists\n\nPlease assign new name";
// A chosen file that the load of the orbits folder would not find (path, orbits folder).
inline constexpr const char* kOutsideOrbitsFormat =
    "%s\n\nOrbit files are named O*.csv and kept in %s\nPlease assign new name";
// A name the orbit-file table could not hold (path): its file would be registered and never load.
inline constexpr const char* kUnstorableNameFormat =
    "%s\n\nA file name may not contain a comma or a line break\nPlease assign new name";
inline constexpr const char* kNoFileSelected = "Please select a loaded ofrbit file";
inline constexpr const char* kFileNotLoaded = "Please select a LOADED ofrbit file";
inline constexpr const char* kDeleteQuestionFormat =
    "%s\n\norbit file and its related links will be DELETED comleteley\nall tables will be "
    "saved after deleting OK?";
inline constexpr const char* kSaveTablesQuestion = "Save tables OK? ";
inline constexpr const char* kCannotOpenFormat = "Cannot open %s";
inline constexpr const char* kCannotDeleteFormat = "Cannot delete %s";

// "O_%s_%u.csv" of the current data source's code and IDnext.
std::string proposedOrbitFileName(const DataSources& sources);
// The orbits folder of the MDB folder (AP.mdbdir) and a file in it.
std::string orbitsFolderOf(const AppContext& app);
std::string orbitFilePath(const AppContext& app, const std::string& fileName);
// The name without its folder.
std::string fileNameOf(const std::string& path);

// The save dialog of a new orbit file, opened in the orbits folder with the
// proposed name (defaultName, or proposedOrbitFileName when empty). A name without extension gets
// ".csv". The dialog comes again, after its message, for a file that exists (when refuseExisting),
// for one that the next load would not find (not O*.csv in the orbits folder) and for a name with
// a comma, CR or LF. Nothing when cancelled.
std::optional<std::string> chooseOrbitFileTarget(const AppContext& app, const std::string& title,
                                                 bool refuseExisting,
                                                 const std::string& defaultName = {});

// A UOFile row added or set in use, and how to take that back.
struct OrbitFileRegistration {
    int row;
    bool added;
    std::uint32_t formerUse;
};
// Appends the UOFile row of a file in the orbits folder (use 1, no memo);
// an existing live row of that name is set in use instead, so that the file
// is loaded and not dropped as a second registration by the next load.
OrbitFileRegistration registerOrbitFile(Database& db, const std::string& fileName);
void unregisterOrbitFile(Database& db, const OrbitFileRegistration& registration);

// Clears all tables, loads them again from AP.mdbdir and requests refresh 0.
void reloadAllTables(AppContext& app);

// "create new orbit file": a header-only file in the orbits folder,
// registered, then all tables saved and reloaded. True when created. When
// the tables cannot be saved the new file and its row are taken back.
bool createOrbitFile(AppContext& app);

// The orbit-file view's delete request for UOFile row `row` (-1 when none is
// selected): after the confirmation, the file's orbits go with their stream
// links and the typical-orbit marks of streams pointing at them, then its row;
// all tables are saved, the file removed and the tables reloaded. True when
// deleted. When the tables cannot be saved the file stays on disk, the
// changes stay in memory and the database is marked modified.
bool deleteOrbitFile(AppContext& app, int row);

// "reload": "Save tables OK? " (OK saves all tables first), then the tables
// are cleared and reloaded either way. True when reloaded: the page then
// disables "reload". False only when the save asked for failed or was
// refused (a file not read whole at the last load): nothing was reloaded, so
// the unsaved changes are kept; Cancel reloads without them.
bool reloadDatabase(AppContext& app);
