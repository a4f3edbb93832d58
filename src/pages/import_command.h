#pragma once
// The Set Up page's "import orbit file": an external orbit file converted
// into an orbit file of the database, registered, and the database reloaded.

#include <cstdint>
#include <optional>

#include "orbits/duplicate_index.h"
#include "platform/feedback.h"

struct AppContext;
class Database;

inline constexpr const char* kImportTitle = "Import external orbit files";
inline constexpr const char* kImportFilter = "orbit file (O_*.csv/U*.csv/*.txt/*.dat) (*.*)";
inline constexpr const char* kImportAllFiles = "*.*";
inline constexpr const char* kImportQuestionFormat =
    "Import orbits from %s\nAll tables will be saved.";
inline constexpr const char* kImportTargetTitle = "Save Orbit Elements file";
// An import refused before any conversion (source name, its rows, the data source's code, the
// IDs it has left).
inline constexpr const char* kTooFewIdsFormat =
    "%s holds %lld orbits\nbut data source %s has only %lld IDs left\n"
    "Please make new DSID and set it as current";

// Asks for the source file, the data source (DSID select) and the target file
// in the orbits folder (an existing one gets the rows appended), saves all
// tables, converts, registers the target and reloads the database. A source
// with more rows than the data source has IDs left is refused before anything
// is saved or converted. The
// number of rows imported, or nothing when the command was cancelled or
// failed: then the user has been told why, and the MDB folder holds what the
// save before the conversion wrote (or what it held, when that save failed).
// Progress (rows read) and cancellation go through feedback.
std::optional<std::int64_t> importOrbitFile(AppContext& app, Feedback& feedback);

// The loaded orbits of the current data source, for the duplicate test.
DuplicateIndex loadedOrbitsOfCurrentSource(const Database& db);
