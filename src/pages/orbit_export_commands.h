#pragma once
// The Orbit page's two exports of the selected orbits: "export" ("O_select.csv") and "count"
// ("StreamCount.csv"), each through the save dialog in the documents folder.

#include <string>

struct AppContext;

inline constexpr const char* kExportTitle = "Save Selected Orbit Elements file";
inline constexpr const char* kExportFilter = "Orbit Element Data(*.csv)";
inline constexpr const char* kExportDefaultName = "O_select.csv";
inline constexpr const char* kCountTitle = "Save Stream Count file";
inline constexpr const char* kCountFilter = "StreamCountData(*.csv)";
inline constexpr const char* kCountDefaultName = "StreamCount.csv";
// A target in the orbits folder would be loaded as an orbit file next time (path, folder).
inline constexpr const char* kInOrbitsFolderFormat =
    "%s\n\nFiles in %s are loaded as orbit files\nPlease assign new name";

// Whether the path names a file directly in the MDB's orbits folder.
bool isInOrbitsFolder(const AppContext& app, const std::string& path);

// "export": the save dialog in the documents folder, then the file. False when cancelled or failed.
bool exportSelectedOrbits(const AppContext& app);
// "count".
bool exportStreamCount(const AppContext& app);
