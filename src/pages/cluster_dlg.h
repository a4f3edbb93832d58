#pragma once
// CClusterDlg, "Automatic Clustering": the five parameter fields, the progress texts, the run
// log, Start and Stop, and the worker thread that clusters the candidates while the dialog
// stays modal. The worker computes on its own copies of the candidates' fields; every change
// of a table happens on the interface thread, delivered through a WorkerChannel in order.

#include <atomic>
#include <chrono>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "pages/cluster_tables.h"
#include "platform/ui.h"
#include "views/ud_edit.h"

class WorkerChannel;

class CClusterDlg final : public DialogModel {
public:
    static constexpr const char* kTitle = "Automatic Clustering";
    static constexpr const char* kConditionFormat = "New stream dsid : %s\nstream list : %s";
    static constexpr const char* kTotalFormat = "Total orbit count = %d\n";
    static constexpr const char* kCurrentCountFormat = "Current orbit count = %d";
    static constexpr const char* kCurrentOrbitFormat = "Current orbit     = %d";
    static constexpr const char* kStartText = "Start";
    static constexpr const char* kStopText = "Stop";
    // Fields in their order: "D'  threshold", "sol +/-", "min group count", "R   threshold",
    // "vg% threshold".
    static constexpr int kFieldCount = 5;

    // The candidates are the orbit rows the Orbit page lists, in list order; the current data
    // source and stream list receive the new streams. pages outlives the dialog.
    CClusterDlg(AppContext& app, std::vector<int> candidateRows, ClusterPages& pages);
    // Joins the worker, which must have ended (the dialog cannot close before).
    ~CClusterDlg() override;
    CClusterDlg(const CClusterDlg&) = delete;
    CClusterDlg& operator=(const CClusterDlg&) = delete;
    const char* dialogName() const override { return "CClusterDlg"; }

    int candidateCount() const { return static_cast<int>(m_rows.size()); }
    // The parameter fields, bound to the settings AP.ac_D, ac_S, ac_minc, ac_R, ac_V.
    std::vector<CUDEdit>& fields() { return m_fields; }
    bool fieldsEnabled() const { return m_running.load() == kIdle && !m_ended; }

    const std::string& conditionText() const { return m_condition; }
    const std::string& totalText() const { return m_total; }
    const std::string& currentCountText() const { return m_currentCount; }
    const std::string& currentOrbitText() const { return m_currentOrbit; }
    const std::string& log() const { return m_log; }
    // Candidates swept so far while the neighbours are counted.
    int swept() const { return m_swept; }
    // Whether the neighbours are counted and the cycles under way.
    bool cycling() const { return m_cycling; }
    // Candidates at the start of the current cycle.
    int left() const { return m_left; }
    bool startEnabled() const { return m_running.load() == kIdle && !m_ended; }
    bool stopEnabled() const { return m_running.load() == kRunning; }
    bool ended() const { return m_ended; }
    int newStreams() const { return m_tables ? m_tables->newStreams() : 0; }
    // The run ended early because the data source had no ID left for a stream.
    bool idsRanOut() const { return m_tables && m_tables->idsRanOut(); }
    // The parameters of the run, as clamped at Start.
    const ClusterParams& runParams() const { return m_params; }

    // How often the Orbit page shows a new stream during the run (ClusterTables).
    void setShowInterval(std::chrono::milliseconds interval) { m_showInterval = interval; }

    // Start: the parameters copied and clamped into their fields, the candidates' fields
    // copied, the running flag set, the worker started. Its updates come through channel,
    // which must outlive the run.
    void start(WorkerChannel& channel);
    // Stop: honoured at the worker's next check, within the neighbour counts or a cycle too; a
    // cycle stopped makes no stream, a stream already on its way to the tables is completed.
    void stop();
    // OK, Cancel, Enter, Escape and the close box close the dialog only while no run is going.
    bool canClose() const { return m_running.load() == kIdle; }
    // Waits for the worker to return. Once canClose() holds it has made its last delivery, so
    // this never blocks the interface thread; call it before the run's channel goes.
    void joinWorker();

    // Start, then the worker's updates served on this thread until the run has ended (the
    // batch tool, tests). idle runs between updates, as the window's other events would.
    void runToEnd(const std::function<void()>& idle = {});

    // Called on the interface thread whenever what the dialog shows has changed.
    std::function<void()> changed = [] {};
    // Called once on the interface thread when the run has ended: close as if by OK.
    std::function<void()> closeRequested = [] {};

private:
    static constexpr int kIdle = 0;
    static constexpr int kRunning = 1;
    static constexpr int kStopRequested = -1;

    void work(WorkerChannel& channel, std::vector<ClusterOrbit> orbits);
    bool stopRequested() const { return m_running.load() != kRunning; }
    void endRun();

    AppContext& m_app;
    std::vector<int> m_rows;
    ClusterPages& m_pages;
    std::optional<ClusterTables> m_tables; // from Start
    std::vector<CUDEdit> m_fields;
    std::string m_condition, m_total, m_currentCount, m_currentOrbit, m_log;
    ClusterParams m_params;
    std::atomic<int> m_running{kIdle};
    bool m_ended = false;
    int m_swept = 0;
    bool m_cycling = false;
    std::chrono::milliseconds m_showInterval = ClusterTables::kShowInterval;
    int m_left = 0;
    std::time_t m_startTime = 0;
    std::thread m_worker;
};
