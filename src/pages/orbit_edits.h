#pragma once
// The Orbit page's edits of single orbits: delete, change SOL/MJD, and the
// stream of many orbits at once.

#include <vector>

class Database;
struct AppContext;

inline constexpr const char* kDeleteOrbitQuestion = "Delete an orbit completely from MDB OK?";
inline constexpr const char* kChangeSolMjdTitle = "Change SOL/MJD";
inline constexpr const char* kSolMjdTitleFormat = "%s MJD/SOL";

// After "Delete an orbit completely from MDB OK?": the orbit's stream links
// go, streams with it as typical orbit lose it, the row is deleted and the
// orbit count goes down. False when not deleted.
bool deleteOrbit(AppContext& app, int orbitRow);

// The orbit's sol and mjd through the date dialog; its derived columns follow. False on Cancel.
bool changeSolMjd(AppContext& app, int orbitRow);

// Each row loses its stream links and is linked to the stream instead.
void moveOrbitsToStream(Database& db, const std::vector<int>& orbitRows, int streamRow);
