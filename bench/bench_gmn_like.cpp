// GMN-like catalogues at real density: the clustering engine on 100 k and 1 M orbits, the batch
// tool end to end (cluster, info, select, group, map) on MDBs of 100 k to 10 M orbits, and
// pandas reading the same orbit files in the same run as the load's baseline. The MDBs are
// kept in the temporary folder between runs (ten million orbits take minutes to write).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
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

void BM_GmnLikeClusterEngine(benchmark::State& state)
{
    const std::vector<ClusterOrbit> orbits =
        clusterFieldsOf(gmnLikeCatalogue(readGmnMeteors(ORVANTELLA_SOURCE_DIR "/data/sources"),
                                         static_cast<int>(state.range(0)), kSeed));
    std::size_t streams = 0;
    int firstCount = 0;
    double seconds = 0, countSeconds = 0;
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        ClusterEngine engine(orbits, ClusterParams{});
        engine.buildCounts([] { return false; }, [](int) {});
        countSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        streams = 0;
        while (std::optional<ClusterStream> stream = engine.nextStream()) {
            if (streams++ == 0)
                firstCount = stream->count;
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["wall_s"] = seconds;
    state.counters["count_wall_s"] = countSeconds;
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

// The batch tool's cluster over every orbit of the MDB (the demo's and `files` GMN-like files).
void BM_GmnLikeClusterBatch(benchmark::State& state)
{
    const std::string source = kept(static_cast<int>(state.range(0)));
    const ScratchFolder scratch("gmn-like-cluster");
    ChildRun run;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string mdb = workingCopy(source, scratch);
        state.ResumeTiming();
        run = runChild(ORVANTELLA_BATCH_PATH,
                       {"cluster", mdb, "L_IAU_IAU_established", "--dsid", "WK"}, false);
    }
    report(state, run);
}
BENCHMARK(BM_GmnLikeClusterBatch)->Arg(1)->Arg(10)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
