#pragma once
// Grouping orbits into the streams of the current list: a stream's limits, its drifting
// radiant, the radiant, velocity and D' tests, and the grouping, erase and recount commands.

#include <optional>
#include <string>

#include "astro/similarity.h"

class CUTABLE;
class Database;
class Feedback;

// The run options of the Stream page: the three scales (percent / 100) and three flags.
struct GroupingOptions {
    double kR = 1.0;
    double kv = 1.0;
    double kD = 1.0;
    bool dAndR = false;     // "D' && R": D' grouping also needs the radiant test
    bool exclusive = false; // D' grouping keeps each orbit's nearest stream only
    bool pri = false;       // R-vg grouping takes the first qualifying stream, not the nearest
};

// sol1 <= s <= sol2; a window across 0 (sol1 > sol2) holds s > sol1 or s < sol2.
bool solInWindow(float solDeg, float sol1Deg, float sol2Deg);
// kR * R, with 3 degrees for R below 0.0001.
double radiusLimit(float rDeg, double kR);
// kD * D', with kD * 0.1 when that is below 0.0001.
double dprimeLimit(float dprime, double kD);

// [vg - w, vg + w] with w = kv * dv (kv * 0.3 vg for dv below 0.0001); none for vg <= 0.0001.
struct VelocityWindow {
    bool active = false;
    double lowKms = 0.0;
    double highKms = 0.0;
    bool contains(float vgKms) const { return !active || (vgKms >= lowKms && vgKms <= highKms); }
};
VelocityWindow velocityWindow(float vgKms, float dvKms, double kv);

// A stream's radiant as it drifts with the solar longitude: it moves from (ra, dec) along the
// great circle towards (ra + dra, dec + ddec) at the daily rate of their distance, backwards
// before the peak.
class DriftingRadiant {
public:
    DriftingRadiant(float solpDeg, float raDeg, float decDeg, float draDeg, float ddecDeg);
    static DriftingRadiant ofStream(const CUTABLE& streams, int row);

    // The radiant at that solar longitude, ra in [0, 360).
    void at(double solDeg, double& raDeg, double& decDeg) const;
    // Degrees per day along the great circle, >= 0.
    double dailyRate() const { return m_rateDeg; }
    // s - solp is brought into [-180, 180] by adding turn() * 360: -1, 0 or 1.
    int turn(double solDeg) const;
    bool drifts() const { return m_drifts; }

private:
    double m_solp, m_ra, m_dec;
    bool m_drifts;
    double m_rateDeg = 0.0;
    double m_angleDeg = 0.0;
};

// The angular distance (degrees) from an orbit's radiant to the stream's radiant at its sol.
double radiantOffset(const DriftingRadiant& radiant, float solDeg, float raDeg, float decDeg);
// The orbit row's elements for D'.
DPrimeOrbit dprimeOrbitOf(const CUTABLE& orbits, int row);
// The stream's typical orbit row (TOIDline) when it is a live orbit row, else -1.
int typicalOrbitRow(const Database& db, int streamRow);
// A live orbit whose OID's data source is in use.
bool isEligibleOrbit(const Database& db, int orbitRow);

// Removes every link between the eligible orbits and the streams whose L-S is set.
void eraseGroupingAll(Database& db);
// Removes every link between the stream and eligible orbits; S-O = 0.
void eraseGroupingOfStream(Database& db, int streamRow);
// S-O of every live stream = its linked orbits whose data source is in use.
void recountStreams(Database& db);

enum class GroupingOutcome {
    Done,
    Cancelled, // stopped through the feedback or a question: no link was changed
};

// Erases the list's grouping and links each eligible orbit to its nearest qualifying stream of
// the list (the first one with pri), then recounts. The links are decided before anything is
// erased, so a cancelled run changes nothing.
GroupingOutcome groupRvgAll(Database& db, const GroupingOptions& options, Feedback& feedback);
// Asks about every stream whose typical orbit is not loaded, then erases the list's grouping,
// sets DD = 99 on every orbit and links by D' (exclusive: each orbit to its nearest stream,
// DD its D'), then recounts.
GroupingOutcome groupDprimeAll(Database& db, const GroupingOptions& options, Feedback& feedback);
// The one-stream runs: erase its grouping, link the orbits that pass (limits inclusive) and
// return the count, which is also its S-O. D' without a loaded typical orbit changes nothing
// and gives no value.
int groupRvgSingle(Database& db, int streamRow, const GroupingOptions& options);
std::optional<int> groupDprimeSingle(Database& db, int streamRow, const GroupingOptions& options);

// "code,count", then "code,S-O" for every live stream whose L-S is set; CR LF line ends.
// False when the file cannot be written.
bool writeStreamCounts(const Database& db, const std::string& path);
inline constexpr const char* kStreamCountFileName = "StramCnt.csv";
inline constexpr const char* kTypicalNotLoadedQuestion =
    "Typical Orbit is not loaded. OK to ignore, Cancel to Abort";
