#pragma once
// The two exports of the selected orbits: the orbits themselves in the orbit
// table's file layout and a per-degree count of them by stream.

#include <string>

class Database;

// Columns of the count file, "spo" included; further codes count as "spo".
inline constexpr int kMaxCountColumns = 200;

// The selected orbits (isSelectedOrbit) in the table file layout; false after "Cannot open %s".
[[nodiscard]] bool writeSelectedOrbits(const Database& db, const std::string& path);
// "sol(deg)" and one column per stream code, then 360 lines of counts.
[[nodiscard]] bool writeStreamCount(const Database& db, const std::string& path);
