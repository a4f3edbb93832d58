#pragma once
// What clustering asks of the Stream and Orbit pages for each new stream. Without a window
// (the batch tool, tests) the plain versions here stand in: the row is appended to the stream
// table with the running index among the streams in use as its list line, and no page shows
// the stream, so its activity window stays sol -/+ S and its drift 0.

#include <optional>

class CPageOrbit;
class CPageStream;
class Database;
struct AppContext;

// The statistics of the orbits the Orbit page shows: activity start and end (sol, degrees)
// and the radiant drift in ra and dec (degrees per degree of sol).
struct StreamActivity {
    float sol1, sol2, dra, ddec;
};

// A stream row appended for a new stream, and its list line.
struct AppendedStream {
    int row;
    int line;
};

class ClusterPages {
public:
    virtual ~ClusterPages() = default;
    // Appends a stream row through the Stream page's list.
    virtual AppendedStream appendStream(Database& db);
    // The Orbit page deselects its list line, clears its conditions, selects by stream and
    // shows the stream.
    virtual void showStream(int /*streamRow*/) {}
    // The Orbit page's statistics of the orbits it shows now.
    virtual std::optional<StreamActivity> shownActivity() { return std::nullopt; }
};

// The Stream page's list takes the new streams; the Orbit page's part stays the plain one
// until a subclass adds it.
class StreamPageClusterPages : public ClusterPages {
public:
    explicit StreamPageClusterPages(CPageStream& page) : m_page(page) {}
    AppendedStream appendStream(Database& db) override;

private:
    CPageStream& m_page;
};

// Both pages of the window: the Stream page's list takes each new stream, the Orbit page
// shows it (its conditions cleared, selecting by the stream) and its averages give the
// stream's activity window and drift.
class WindowClusterPages final : public StreamPageClusterPages {
public:
    WindowClusterPages(AppContext& app, CPageStream& streamPage, CPageOrbit& orbitPage)
        : StreamPageClusterPages(streamPage), m_app(app), m_orbitPage(orbitPage)
    {
    }
    void showStream(int streamRow) override;
    std::optional<StreamActivity> shownActivity() override;

private:
    AppContext& m_app;
    CPageOrbit& m_orbitPage;
};
