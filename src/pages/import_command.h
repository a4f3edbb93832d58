#pragma once
// The Set Up page's "import orbit file": an external orbit file converted
// into an orbit file of the database, registered, and the database reloaded.

#include <cstdint>
#include <optional>
#include <string>

#include "orbits/duplicate_index.h"
#include "orbits/import_filters.h"
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

// The result line of an import (rows, source, target, duplicates skipped, lines refused, the
// rows each filter dropped as the batch tool counts them).
inline constexpr const char* kImportedFormat =
    "imported %lld orbits from %s into %s; %lld duplicates skipped, %lld lines refused; %s";
inline constexpr const char* kImportCancelledFormat =
    "import of %s cancelled; the database is as it was";
// A source whose every row is loaded already (source, rows): no orbit file is registered.
inline constexpr const char* kNothingNewFormat =
    "%s holds no new orbits: all %lld rows are in the database already.\nNo orbit file was "
    "registered.";
// A source whose every row is loaded already or dropped by a filter (source, duplicates, the
// rows each filter dropped).
inline constexpr const char* kNothingKeptFormat =
    "%s holds no orbits to import: %lld duplicates skipped; %s.\nNo orbit file was registered.";

// Asks for the source file, the data source (DSID select) and the target file
// in the orbits folder (an existing one gets the rows appended), saves all
// tables, converts, registers the target and reloads the database. The rows
// are written to a temporary copy of the target, which lands together with
// the orbit-file and data-source tables (its registration and IDnext) or not
// at all, so that a killed import leaves the folder as the save left it. A
// source with more rows than the data source has IDs left is refused before
// anything is saved or converted. The number of rows imported, or nothing when the command was
// cancelled or failed: then the user has been told why, and the MDB folder holds what the save
// before the conversion wrote (or what it held, when that save failed). Progress (rows read) and
// cancellation go through feedback: a cancel reloads the tables as they were saved before the
// conversion. A source of duplicates only registers nothing and gives 0. A completed import
// tells its result line.
std::optional<std::int64_t> importOrbitFile(AppContext& app, Feedback& feedback);

// Whether the source's layout carries the value of every filter set; if not, the user is told
// which filters do not apply to it.
bool filtersApply(OrbitLayout layout, const ImportFilters& filters, const std::string& source);

// The loaded orbits of the current data source, for the duplicate test.
DuplicateIndex loadedOrbitsOfCurrentSource(const Database& db);
