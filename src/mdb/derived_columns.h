#pragma once
// Columns computed from others after every load and whenever a row changes:
// the orbits' month/day, position code, heliocentric speed and stream
// codes, the streams' month/day texts and typical-orbit rows.

#include <memory>
#include <string>

class CUTABLE;
class Database;
class IdIndex;

// Four characters of "0-9a-z" from sol/10, ra/10, (90 - dec)/5 and vg/2,
// each truncated toward zero and clamped to 0-35.
std::string positionCode(float solDeg, float raDeg, float decDeg, float vgKms);
// "%02d/%02d" of month and day; empty outside the calendar tables.
std::string monthDayText(int month, int day);

// M/D, code and vs of one orbit row.
void computeOrbitDerived(CUTABLE& orbits, int row);

// The same for orbit rows as they are loaded, on a thread of its own, so that the columns of
// one file are computed while the next is read. The values are computeOrbitDerived's, bit for
// bit.
class OrbitDerivedWorker {
public:
    OrbitDerivedWorker();
    ~OrbitDerivedWorker();
    OrbitDerivedWorker(const OrbitDerivedWorker&) = delete;
    OrbitDerivedWorker& operator=(const OrbitDerivedWorker&) = delete;

    // Rows [first, last), complete; called by the thread that adds the table's rows. Until
    // finish() returns, these rows' cells may be read but not written elsewhere, except their
    // link cells; the table may grow but not be cleared or freed.
    void add(const CUTABLE& orbits, int first, int last);
    // Returns once every row handed over is computed.
    void finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// M/D1, M/D2, M/Dp of one stream for the working year.
void computeStreamMonthDays(CUTABLE& streams, int row, int year);
void computeAllStreamMonthDays(CUTABLE& streams, int year);

// The codes of the streams linked to an orbit whose data source is in use.
void computeOrbitStreamCodes(Database& db, int orbitRow);
void computeAllStreamCodes(Database& db);

// Each live stream's TOIDline: the first live orbit row holding its TypicalOID, else -1.
void locateTypicalOrbits(Database& db, const IdIndex& orbitsById);
