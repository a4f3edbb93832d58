#pragma once
// "Make typical orbits": one orbit per stream of a list, computed from the
// stream's radiant and vg at its peak, written as a new orbit file whose
// OIDs become the streams' TypicalOIDs; all tables are then saved and reloaded.

#include <optional>
#include <string>

struct AppContext;

inline constexpr const char* kTypicalOrbitsFormat =
    "Generate orbit from ra,dec,vg of all stream in %s.\na new orbit file will be created.\nAll "
    "tables will be saved.";
inline constexpr const char* kTypicalOrbitsTitle = "Save Orbit Elements file";

// The proposed file name "O_<list>.csv".
std::string typicalOrbitsFileName(const std::string& listName);

// The DSID select, then the save dialog (an O*.csv directly in the orbits
// folder that does not exist yet), then makeTypicalOrbitsFile.
bool makeTypicalOrbits(AppContext& app, int listRow);
// Writes the file (complete or not at all), sets the TypicalOIDs, registers
// the file and saves all tables, then reloads. When the file or the save
// fails everything is taken back (TypicalOIDs, OIDs, registration, file),
// nothing is reloaded and the unsaved changes stay in memory. The number
// of orbits written, or nothing.
std::optional<int> makeTypicalOrbitsFile(AppContext& app, int listRow, const std::string& path);
