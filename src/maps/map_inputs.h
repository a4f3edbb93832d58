#pragma once
// What the three maps draw besides stars and planets: the orbit rows with
// their selection marks, the Orbit page's list, highlight, reference and
// averages, and the streams of the current list. The renderers read only
// this; mapInputsFromTables() fills it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "maps/map_projection.h"
#include "maps/velocity_colors.h"

class Database;
struct OrbitSelection;
struct SelectionConditions;

// One orbit row as the maps read it.
struct MapOrbit {
    std::uint32_t oid = 0;
    int row = -1; // in the orbit table
    std::uint32_t sel = 0;
    bool sourceInUse = true;
    int type = 1;
    float mjd = 0, sol = 0, ra = 0, dec = 0, vg = 0, vs = 0;
    float a = 0, e = 0, peri = 0, node = 0, incl = 0;
};

// Selection marks 1 and 4 or more count as selected; 0, 2 and 3 do not.
inline bool isSelectedMark(std::uint32_t sel) { return sel == 1 || sel > 3; }

// One stream of the current list (L-S set).
struct MapStream {
    std::string code;
    float sol1 = 0, sol2 = 0, solp = 0;
    float ra = 0, dec = 0, dra = 0, ddec = 0;
    float R = 0;
};

// The averages of the Orbit page's shown orbits.
struct MapAverages {
    double raDeg = 0, decDeg = 0, vgKms = 0, solDeg = 0;
    double raSd = 0, decSd = 0, vgSd = 0, solSd = 0;
    double dPrime = 0, dPrimeSd = 0, sR = 0, mR = 0;
    double driftRaDeg = 0, driftDecDeg = 0; // per degree of sol
    double sol1Deg = 0, sol2Deg = 0;        // activity limits
    double a = 0, q = 0, e = 0, peri = 0, node = 0, incl = 0;
};

struct MapInputs {
    std::vector<MapOrbit> orbits; // every existing orbit, in row order
    std::vector<int> listed;      // the Orbit page's list, as indexes into orbits
    int highlighted = -1;         // index into orbits of the list's selected line
    std::optional<MapAverages> averages;
    // Earliest and latest mjd of the shown orbits, when there are any.
    std::optional<double> firstMjd;
    std::optional<double> lastMjd;
    double referenceSolDeg = 0; // the Orbit page's current sol
    SkyPoint apex;              // of the reference date
    SkyPoint antiHelion;
    VgCondition vgWindow;
    std::vector<MapStream> streams; // the current list's, in list order
    std::string currentStreamCode;
    int orbitRows = 0;
    // The orbits' radiants in ecliptic coordinates, longitude not yet
    // wrapped, worked out by the first radiant-map redraw in an ecliptic
    // frame: later redraws (a resize, a frame, cell or scale change) then
    // skip converting a million radiants again.
    mutable std::vector<SkyPoint> eclipticRadiants;
};

// The inputs from the tables (none when db is null), the selection conditions (the page date
// and the vg window) and the Orbit page's selection:
// its list is the rows with a line (dline) in line order, a row without one
// counts as not selected, and its current sol, averages and date range; the
// streams in the Stream page's line order. The list's highlighted line is
// left to the page that knows it (-1).
MapInputs mapInputsFromTables(const Database* db, const SelectionConditions& conditions,
                              const OrbitSelection& selection, int currentStreamRow);

// The index into inputs.orbits of an orbit table row; -1 when the row is not there.
int orbitIndexOfRow(const MapInputs& inputs, int orbitRow);

// The drifting radiant of a stream at solar longitude sol.
SkyPoint streamRadiantAt(const MapStream& stream, double solDeg);
