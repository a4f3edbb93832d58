// Speed of automatic clustering: the engine on 110,000 orbits with the default parameters, and
// the engine against the straightforward clustering on the same 20,000 orbits in one run.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <vector>

#include "cluster/cluster_engine.h"
#include "straightforward_clustering.h"
#include "support/bench_support.h"

namespace {

// A video catalogue's shape: sporadic orbits anywhere, and showers whose sizes fall as
// 1 / rank^exponent, each with a sol spread of a few degrees, a radiant drift of up to a
// degree per degree of sol, and small scatter in radiant, velocity and elements.
struct CatalogueShape {
    double showerShare;
    int showers;
    double exponent;
};
// A third of the orbits in 80 showers, the largest about 6 % of the catalogue.
constexpr CatalogueShape kTypical{0.33, 80, 1.0};
// 40 % in 60 showers, the largest about 11 %: a catalogue dominated by two great showers.
constexpr CatalogueShape kDense{0.4, 60, 1.2};

std::vector<ClusterOrbit> syntheticCatalogue(int count, std::uint32_t seed,
                                             const CatalogueShape& shape = kTypical)
{
    std::mt19937 random(seed);
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    auto normal = [&](double spread) {
        return std::normal_distribution<double>(0, spread)(random);
    };
    auto wrap = [](double deg) { return static_cast<float>(std::fmod(deg + 720.0, 360.0)); };
    auto sporadic = [&] {
        return ClusterOrbit{wrap(uniform(0, 360)),
                            wrap(uniform(0, 360)),
                            static_cast<float>(std::asin(uniform(-0.8, 1)) * 57.29577951308232),
                            static_cast<float>(uniform(11, 72)),
                            static_cast<float>(uniform(0.1, 1.2)),
                            static_cast<float>(uniform(0.05, 1.0)),
                            static_cast<float>(uniform(0, 180)),
                            wrap(uniform(0, 360)),
                            wrap(uniform(0, 360))};
    };
    struct Shower {
        ClusterOrbit centre;
        double solSpread, raDrift, decDrift;
    };
    std::vector<Shower> showers;
    std::vector<double> weights;
    for (int k = 1; k <= shape.showers; ++k) {
        showers.push_back({sporadic(), uniform(1.5, 4), uniform(0.2, 1.2), uniform(-0.4, 0.4)});
        weights.push_back(1.0 / std::pow(k, shape.exponent));
    }
    std::discrete_distribution<int> pick(weights.begin(), weights.end());
    std::vector<ClusterOrbit> orbits;
    orbits.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        if (uniform(0, 1) >= shape.showerShare) {
            orbits.push_back(sporadic());
            continue;
        }
        const Shower& s = showers[static_cast<std::size_t>(pick(random))];
        const ClusterOrbit& c = s.centre;
        const double dSol = normal(s.solSpread);
        orbits.push_back(
            {wrap(c.sol + dSol), wrap(c.ra + s.raDrift * dSol + normal(1.0)),
             static_cast<float>(std::clamp(c.dec + s.decDrift * dSol + normal(1.0), -90.0, 90.0)),
             static_cast<float>(c.vg + normal(0.8 + 0.02 * c.vg)),
             static_cast<float>(std::fabs(c.e + normal(0.03))),
             static_cast<float>(std::fabs(c.q + normal(0.01))),
             static_cast<float>(c.incl + normal(1.5)), wrap(c.node + dSol),
             wrap(c.peri + normal(1.5))});
    }
    return orbits;
}

// User and system time of the whole process (both threads), seconds.
double processSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct FastRun {
    std::int64_t pairs = 0;
    double countSeconds = 0; // wall time of the neighbour counts
};

std::vector<ClusterStream> fastClustering(const std::vector<ClusterOrbit>& orbits, FastRun& run)
{
    const auto start = std::chrono::steady_clock::now();
    ClusterEngine engine(orbits, ClusterParams{});
    if (!engine.buildCounts([] { return false; }, [](int) {}))
        return {};
    run.countSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.pairs = engine.pairCount();
    std::vector<ClusterStream> streams;
    while (std::optional<ClusterStream> stream = engine.nextStream())
        streams.push_back(std::move(*stream));
    return streams;
}

bool sameStreams(const std::vector<ClusterStream>& a, const std::vector<ClusterStream>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.centre == y.centre && x.count == y.count && x.members == y.members;
    });
}

void BM_ClusterFast(benchmark::State& state)
{
    const std::vector<ClusterOrbit> orbits = syntheticCatalogue(
        static_cast<int>(state.range(0)), 2026, state.range(1) ? kDense : kTypical);
    FastRun run;
    std::size_t streams = 0;
    const double cpuBefore = processSeconds();
    for (auto _ : state)
        streams = fastClustering(orbits, run).size();
    state.counters["process_cpu_s"] = processSeconds() - cpuBefore;
    state.counters["count_wall_s"] = run.countSeconds;
    state.counters["streams"] = static_cast<double>(streams);
    state.counters["pairs"] = static_cast<double>(run.pairs);
    state.counters["peak_MB"] = peakMegabytes();
}
// Second argument 1: the dense catalogue.
BENCHMARK(BM_ClusterFast)
    ->Args({20000, 0})
    ->Args({110000, 0})
    ->Args({110000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_ClusterStraightforward(benchmark::State& state)
{
    const std::vector<ClusterOrbit> orbits =
        syntheticCatalogue(static_cast<int>(state.range(0)), 2026);
    std::vector<ClusterStream> streams;
    const double cpuBefore = processSeconds();
    for (auto _ : state)
        streams = straightforwardClustering(orbits, ClusterParams{});
    state.counters["process_cpu_s"] = processSeconds() - cpuBefore;
    FastRun run;
    if (!sameStreams(streams, fastClustering(orbits, run)))
        state.SkipWithError("the engine's streams differ from the straightforward ones");
    state.counters["streams"] = static_cast<double>(streams.size());
}
BENCHMARK(BM_ClusterStraightforward)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
