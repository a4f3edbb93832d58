#pragma once
// The tables' side of a clustering run, always on the interface thread: the candidates'
// fields copied for the worker, one new stream per cycle with its links, and the end work.

#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "cluster/cluster_engine.h"

struct AppContext;
class CUTABLE;
class ClusterPages;

// The fields the similarity tests read, of each orbit row, in the same order.
std::vector<ClusterOrbit> candidateFields(const CUTABLE& orbits, const std::vector<int>& rows);

// "%s_%c%c%c%c": the first two characters of the data source's code and the radiant cell code.
std::string clusterStreamCode(const char* dsidCode, const ClusterOrbit& centre);

// " Clustering ended new stream = %d\n time=%d days %02d:%02d:%02d"
std::string clusteringEndedText(int newStreams, long elapsedSeconds);

class ClusterTables {
public:
    static constexpr const char* kLogFormat = "%d %s cnt=%d ra=%.1f dec=%.1f vg=%.1f\n";

    // The candidates' orbit rows in list order, the parameters of the run, and the pages
    // that add and show each stream. The current data source gives the SIDs, the current
    // stream list takes the streams.
    // The Orbit page shows a new stream at most once per showInterval, and always the last
    // one; the streams in between take the statistics it would have shown from their members.
    // A show that takes long (a million orbits selected anew) widens the interval so that
    // showing never takes more than a small share of the run; an interval of zero shows
    // every stream.
    ClusterTables(AppContext& app, ClusterPages& pages, std::vector<int> candidateRows,
                  const ClusterParams& params,
                  std::chrono::milliseconds showInterval = kShowInterval);
    static constexpr std::chrono::milliseconds kShowInterval{500};

    int newStreams() const { return m_newStreams; }
    bool idsRanOut() const { return m_idsRanOut; }
    // A stream row from the centre, linked to the list and to the members in list order, then
    // shown; its log line is appended to log. False, with nothing made, when the data source
    // has no ID left (the user has been told).
    bool makeStream(const ClusterStream& stream, std::string& log);
    // The end message, then the database marked modified, S-O recounted and refresh 3 (which
    // rebuilds every orbit's stream column).
    void endWork(std::time_t startTime);

private:
    int addStreamRow(int orbitRow, std::uint32_t sid, const std::string& code);
    void showStream(int streamRow, const std::vector<int>& memberRows);
    void showOnPage(int streamRow);
    bool shownRecently() const;

    AppContext& m_app;
    ClusterPages& m_pages;
    std::vector<int> m_rows;
    ClusterParams m_params;
    int m_newStreams = 0;
    bool m_idsRanOut = false;
    std::chrono::milliseconds m_showInterval;
    bool m_canSkipShowing;
    std::chrono::steady_clock::time_point m_lastShown{};
    std::chrono::steady_clock::duration m_lastShowCost{};
    int m_unshownStream = -1; // made since the page last showed a stream
};
