#pragma once
// What clustering asks of the Stream and Orbit pages for each new stream. Without a window
// (the batch tool, tests) the plain versions here stand in: the list line is the stream's
// running index among the streams in use, and no page shows the stream, so its activity
// window stays sol -/+ S and its drift 0.

#include <optional>

class Database;

// The statistics of the orbits the Orbit page shows: activity start and end (sol, degrees)
// and the radiant drift in ra and dec (degrees per degree of sol).
struct StreamActivity {
    float sol1, sol2, dra, ddec;
};

class ClusterPages {
public:
    virtual ~ClusterPages() = default;
    // The Stream page adds the new stream row to its list; its list line.
    virtual int addStreamLine(Database& db, int streamRow);
    // The Orbit page deselects its list line, clears its conditions, selects by stream and
    // shows the stream.
    virtual void showStream(int /*streamRow*/) {}
    // The Orbit page's statistics of the orbits it shows now.
    virtual std::optional<StreamActivity> shownActivity() { return std::nullopt; }
};
