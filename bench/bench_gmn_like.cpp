// GMN-like catalogues at real density: the clustering engine on 100 k and 1 M orbits, the batch
// tool end to end (cluster, info, select, group, map) on MDBs of 100 k to 10 M orbits, and
// pandas reading the same orbit files in the same run as the load's baseline. The MDBs are
// kept in the temporary folder between runs (ten million orbits take minutes to write).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "cluster/cluster_engine.h"
#include "support/bench_support.h"
#include "support/gmn_like_catalogue.h"
#include "support/gmn_like_mdb.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kSeed = 2026;
constexpr int kRowsPerFile = 99999;

std::string kept(int files)
{
    const std::string folder =
        (fs::temp_directory_path() / ("orvantella-gmn-like-" + std::to_string(files))).string();
    makeGmnLikeMdb(folder, files, kRowsPerFile, kSeed);
    return folder;
}

// A fresh copy for the commands that save.
std::string workingCopy(const std::string& source, const ScratchFolder& scratch)
{
    const std::string copy = scratch.file("MDB");
    fs::remove_all(copy);
    fs::copy(source, copy, fs::copy_options::recursive);
    return copy;
}

void report(benchmark::State& state, const ChildRun& run)
{
    if (run.status != 0)
        state.SkipWithError("the batch tool failed");
    state.counters["wall_s"] = run.wallSeconds;
    state.counters["cpu_s"] = run.cpuSeconds;
    state.counters["peak_MB"] = run.peakMegabytes;
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_GmnLikeClusterEngine(benchmark::State& state)
{
    const std::vector<ClusterOrbit> orbits =
        clusterFieldsOf(gmnLikeCatalogue(readGmnMeteors(ORVANTELLA_SOURCE_DIR "/data/sources"),
                                         static_cast<int>(state.range(0)), kSeed));
    std::size_t streams = 0;
    int firstCount = 0;
    // The longest wait between two progress reports and the longest cycle bound how long a
    // Stop waits.
    double seconds = 0, countSeconds = 0, countCpuSeconds = 0, longestGap = 0, longestCycle = 0;
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        const auto start = Clock::now();
        ClusterEngine engine(orbits, ClusterParams{});
        auto last = Clock::now();
        engine.buildCounts([] { return false; },
                           [&](int) {
                               longestGap = std::max(longestGap, secondsSince(last));
                               last = Clock::now();
                           });
        countSeconds = secondsSince(start);
        countCpuSeconds = processCpuSeconds() - cpuBefore;
        streams = 0;
        for (auto cycle = Clock::now();; cycle = Clock::now()) {
            const std::optional<ClusterStream> stream = engine.nextStream();
            longestCycle = std::max(longestCycle, secondsSince(cycle));
            if (!stream)
                break;
            if (streams++ == 0)
                firstCount = stream->count;
        }
        seconds = secondsSince(start);
    }
    state.counters["longest_progress_gap_s"] = longestGap;
    state.counters["longest_cycle_s"] = longestCycle;
    state.counters["wall_s"] = seconds;
    state.counters["count_wall_s"] = countSeconds;
    state.counters["count_cpu_s"] = countCpuSeconds;
    state.counters["cpu_s"] = processCpuSeconds() - cpuBefore;
    state.counters["streams"] = static_cast<double>(streams);
    state.counters["first_count"] = firstCount;
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_GmnLikeClusterEngine)
    ->Arg(100000)
    ->Arg(300000)
    ->Arg(1000000)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

// A stop callback that starts answering yes `delay` after it was made, and how long after that
// the stop was honoured.
class DelayedStop {
public:
    explicit DelayedStop(Clock::duration delay) : m_asked(Clock::now() + delay) {}
    std::function<bool()> callback()
    {
        return [this] {
            if (Clock::now() >= m_asked)
                m_stop.store(true);
            return m_stop.load();
        };
    }
    // -1 when the work ended before the stop was asked for.
    double latency(bool ended) const { return ended ? -1 : secondsSince(m_asked); }

private:
    Clock::time_point m_asked;
    std::atomic<bool> m_stop{false};
};

// How soon a Stop ends the run when asked for a quarter of a second into the set-up (the tree
// of boxes), halfway through the neighbour counts, and a quarter of a second into the first
// cycle (the first cycles are the longest: the densest shower and every candidate below the
// minimum leave).
void BM_GmnLikeClusterStop(benchmark::State& state)
{
    const std::vector<ClusterOrbit> orbits =
        clusterFieldsOf(gmnLikeCatalogue(readGmnMeteors(ORVANTELLA_SOURCE_DIR "/data/sources"),
                                         static_cast<int>(state.range(0)), kSeed));
    constexpr auto kDelay = std::chrono::milliseconds(250);
    double setUpStop = 0, countStop = 0, cycleStop = 0;
    for (auto _ : state) {
        {
            ClusterEngine engine(orbits, ClusterParams{});
            DelayedStop stop(kDelay);
            setUpStop = stop.latency(engine.buildCounts(stop.callback(), [](int) {}));
        }
        ClusterEngine engine(orbits, ClusterParams{});
        std::atomic<bool> stop{false};
        Clock::time_point asked;
        const bool ended =
            engine.buildCounts([&] { return stop.load(); },
                               [&](int swept) {
                                   if (!stop.load() && swept >= engine.candidateCount() / 2) {
                                       asked = Clock::now();
                                       stop.store(true);
                                   }
                               });
        countStop = ended ? -1 : secondsSince(asked);
        ClusterEngine counted(orbits, ClusterParams{});
        counted.buildCounts([] { return false; }, [](int) {});
        DelayedStop cycle(kDelay);
        cycleStop = cycle.latency(counted.nextStream(cycle.callback()).has_value());
    }
    if (setUpStop < 0 || countStop < 0 || cycleStop < 0)
        state.SkipWithError("the work ended before the stop");
    state.counters["set_up_stop_s"] = setUpStop;
    state.counters["stop_s"] = countStop;
    state.counters["cycle_stop_s"] = cycleStop;
}
BENCHMARK(BM_GmnLikeClusterStop)->Arg(1000000)->Unit(benchmark::kSecond)->Iterations(1);

// The batch tool's cluster over every orbit of the MDB (the demo's and `files` GMN-like files),
// beside `info` of the same MDB in the same run.
void BM_GmnLikeClusterBatch(benchmark::State& state)
{
    const std::string source = kept(static_cast<int>(state.range(0)));
    const ScratchFolder scratch("gmn-like-cluster");
    ChildRun run, load;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string mdb = workingCopy(source, scratch);
        load = runChild(ORVANTELLA_BATCH_PATH, {"info", mdb});
        state.ResumeTiming();
        run = runChild(ORVANTELLA_BATCH_PATH,
                       {"cluster", mdb, "L_IAU_IAU_established", "--dsid", "WK"}, false);
    }
    report(state, run);
    // The same MDB's load alone, as the baseline.
    state.counters["info_wall_s"] = load.wallSeconds;
    state.counters["ratio_to_info"] = run.wallSeconds / load.wallSeconds;
}
BENCHMARK(BM_GmnLikeClusterBatch)->Arg(1)->Arg(10)->Unit(benchmark::kSecond)->Iterations(1);

// info (the whole load) of the 1 M MDB against pandas reading the same orbit files, in turn,
// in each repetition; pandas' figure is its read_csv calls alone, without starting Python.
void BM_LoadAgainstPandas(benchmark::State& state)
{
    const std::string mdb = kept(static_cast<int>(state.range(0)));
    const ScratchFolder scratch("gmn-like-pandas");
    std::vector<std::string> args{"-c", "import sys, time, pandas\n"
                                        "start = time.perf_counter()\n"
                                        "for name in sys.argv[1:]: pandas.read_csv(name)\n"
                                        "print(time.perf_counter() - start)\n"};
    for (const std::string& file : gmnLikeOrbitFiles(mdb))
        args.push_back(file);
    ChildRun info;
    double pandasSeconds = 0;
    for (auto _ : state) {
        info = runChild(ORVANTELLA_BATCH_PATH, {"info", mdb});
        const ChildRun pandas =
            runChild("/usr/bin/python3", args, true, scratch.file("pandas.txt"));
        std::ifstream(scratch.file("pandas.txt")) >> pandasSeconds;
        if (pandas.status != 0)
            state.SkipWithError("python3 with pandas is needed for the baseline");
    }
    report(state, info);
    state.counters["pandas_s"] = pandasSeconds;
    state.counters["ratio"] = info.wallSeconds / pandasSeconds;
}
BENCHMARK(BM_LoadAgainstPandas)
    ->Arg(10)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The batch tool's other jobs, load included, at 1 M (10 files) and 10 M (100 files) orbits.
void batchJob(benchmark::State& state, std::vector<std::string> args, bool saves)
{
    const std::string source = kept(static_cast<int>(state.range(0)));
    const ScratchFolder scratch("gmn-like-job");
    ChildRun run;
    for (auto _ : state) {
        std::vector<std::string> call = args;
        call.insert(call.begin() + 1, saves ? workingCopy(source, scratch) : source);
        for (std::string& arg : call)
            if (arg == "OUT")
                arg = scratch.file("map.png");
        run = runChild(ORVANTELLA_BATCH_PATH, call);
    }
    report(state, run);
}
void BM_Info(benchmark::State& state) { batchJob(state, {"info"}, false); }
void BM_Select(benchmark::State& state)
{
    batchJob(state, {"select", "--date", "2018-12-14", "--days", "3", "--all-years", "1"}, false);
}
void BM_GroupRvg(benchmark::State& state)
{
    batchJob(state, {"group", "L_IAU_IAU_all", "--rvg"}, true);
}
void BM_RadiantMap(benchmark::State& state)
{
    batchJob(state, {"map", "radiant", "OUT", "--date", "2018-12-14", "--days", "3"}, false);
}
BENCHMARK(BM_Info)->Arg(10)->Arg(100)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_Select)->Arg(10)->Arg(100)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_GroupRvg)->Arg(10)->Arg(100)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_RadiantMap)->Arg(10)->Arg(100)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
