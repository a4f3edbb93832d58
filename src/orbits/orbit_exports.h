#pragma once
// The Orbit page's two exports of the selected orbits: the orbits themselves
// in the orbit table's file layout ("O_select.csv") and a per-degree count
// of them by stream ("StreamCount.csv").

#include <string>

class Database;
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
// Columns of the count file, "spo" included; further codes count as "spo".
inline constexpr int kMaxCountColumns = 200;

// The selected orbits (isSelectedOrbit) in the table file layout; false after "Cannot open %s".
[[nodiscard]] bool writeSelectedOrbits(const Database& db, const std::string& path);
// "sol(deg)" and one column per stream code, then 360 lines of counts.
[[nodiscard]] bool writeStreamCount(const Database& db, const std::string& path);

// Whether the path names a file directly in the MDB's orbits folder.
bool isInOrbitsFolder(const AppContext& app, const std::string& path);

// "export": the save dialog in the documents folder, then the file. False when cancelled or failed.
bool exportSelectedOrbits(const AppContext& app);
// "count".
bool exportStreamCount(const AppContext& app);
