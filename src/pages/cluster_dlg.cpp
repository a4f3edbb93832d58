// The clustering dialog's model and its worker.
#include "pages/cluster_dlg.h"

#include <chrono>
#include <utility>

#include "app/app_context.h"
#include "cluster/worker_channel.h"
#include "mdb/schema.h"

namespace {

// How often the worker reports the candidate it has reached while counting neighbours.
constexpr auto kProgressInterval = std::chrono::milliseconds(100);

std::vector<CUDEdit> clusterFields(Settings& s)
{
    auto field = [](int kind, int x, int y, const char* label, int id,
                    std::variant<int*, float*> variable, float maximum, float minimum, float step) {
        return CUDEdit(UDEditDef{kind, 36, x, y, label, 80, id, variable, maximum, minimum, step,
                                 UDLimit::Clamp});
    };
    return {field(0, 8, 10, "D'  threshold", 1200, &s.ac_D, 10, 0, 0.01f),
            field(kUDKindWhole, 8, 30, "sol +/-", 1202, &s.ac_S, 180, 0, 1),
            field(kUDKindInteger, 8, 50, "min group count", 1204, &s.ac_minc, 1000, 1, 1),
            field(kUDKindWhole, 158, 10, "R   threshold", 1206, &s.ac_R, 180, 0, 1),
            field(kUDKindInteger, 158, 30, "vg% threshold", 1208, &s.ac_V, 1000, 0, 1)};
}

} // namespace

CClusterDlg::CClusterDlg(AppContext& app, std::vector<int> candidateRows, ClusterPages& pages)
    : m_app(app), m_rows(std::move(candidateRows)), m_pages(pages),
      m_fields(clusterFields(app.settings))
{
    const char* listName =
        app.currentListRow >= 0 ? app.db->lists.text(app.currentListRow, col::List::name) : "";
    m_condition = formatMessage(kConditionFormat, app.db->sources.currentCode(), listName);
    m_total = formatMessage(kTotalFormat, static_cast<int>(m_rows.size()));
}

CClusterDlg::~CClusterDlg() { joinWorker(); }

void CClusterDlg::joinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

void CClusterDlg::start(WorkerChannel& channel)
{
    if (!startEnabled())
        return;
    Settings& s = m_app.settings;
    m_params = clampedClusterParams({s.ac_D, s.ac_S, s.ac_minc, s.ac_R, s.ac_V});
    s.ac_D = m_params.D;
    s.ac_S = m_params.S;
    s.ac_minc = m_params.minCount;
    s.ac_R = m_params.R;
    s.ac_V = m_params.V;
    m_tables.emplace(m_app, m_pages, m_rows, m_params, m_showInterval);
    m_startTime = std::time(nullptr);
    // Set here, before the thread exists, so that a Stop pressed at once is never lost.
    m_running.store(kRunning);
    m_worker = std::thread(&CClusterDlg::work, this, std::ref(channel),
                           candidateFields(m_app.db->orbits, m_rows));
    changed();
}

void CClusterDlg::stop()
{
    int running = kRunning;
    m_running.compare_exchange_strong(running, kStopRequested);
    changed();
}

void CClusterDlg::work(WorkerChannel& channel, std::vector<ClusterOrbit> orbits)
{
    ClusterEngine engine(std::move(orbits), m_params);
    auto showCount = [&](int count) {
        channel.deliver([&] {
            m_left = count;
            m_currentCount = formatMessage(kCurrentCountFormat, count);
            changed();
        });
    };
    showCount(engine.candidateCount());
    auto showSwept = [&](int swept) {
        channel.deliver([&] {
            m_swept = swept;
            m_currentOrbit = formatMessage(kCurrentOrbitFormat, swept);
            changed();
        });
    };
    auto lastReport = std::chrono::steady_clock::now();
    auto progress = [&](int swept) {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastReport < kProgressInterval)
            return;
        lastReport = now;
        showSwept(swept);
    };
    bool going = engine.buildCounts([this] { return stopRequested(); }, progress);
    if (going) {
        showSwept(engine.candidateCount());
        channel.deliver([this] { m_cycling = true; });
    }
    while (going && !stopRequested()) {
        showCount(engine.liveCount());
        const std::optional<ClusterStream> stream =
            engine.nextStream([this] { return stopRequested(); });
        if (!stream)
            break;
        channel.deliver([&] {
            going = m_tables->makeStream(*stream, m_log);
            changed();
        });
    }
    channel.deliver([this] { endRun(); });
}

void CClusterDlg::endRun()
{
    m_tables->endWork(m_startTime);
    m_ended = true;
    // Cleared only now: the dialog could close, and the thread be joined, from here on.
    m_running.store(kIdle);
    changed();
    closeRequested();
}

void CClusterDlg::runToEnd(const std::function<void()>& idle)
{
    PumpedChannel channel;
    start(channel);
    channel.pumpUntil([this] { return m_ended || !m_worker.joinable(); }, idle);
    joinWorker();
}
