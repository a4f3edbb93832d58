// Speed of the astronomy core: Sun position, orbit from radiant, D', and a million radiant-only
// records on one and on two threads.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <random>
#include <thread>
#include <vector>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/orbit_from_radiant.h"
#include "astro/similarity.h"
#include "astro/sun.h"

namespace {

struct RadiantRecord {
    double jd;
    double raRad;
    double decRad;
    double vgKms;
};

struct OrbitResult {
    double peri, node, incl, a, q, e, vs, sol;
};

// Synthetic meteors: times over 1950-2050, radiants anywhere, vg 11-72 km/s.
std::vector<RadiantRecord> syntheticRecords(size_t count)
{
    std::mt19937_64 random(2024);
    std::uniform_real_distribution<double> jd(2433282.5, 2469807.5), ra(0.0, 360.0),
        sinDec(-1.0, 1.0), vg(11.0, 72.0);
    std::vector<RadiantRecord> records(count);
    for (RadiantRecord& r : records)
        r = {jd(random), ra(random) * kDegToRad, std::asin(sinDec(random)), vg(random)};
    return records;
}

void BM_SunPosition(benchmark::State& state)
{
    double jd = 2451545.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SunPosition(jd));
        jd += 0.37;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SunPosition);

// The Earth's state at instants never seen before: the Sun at jd and jd + 0.01.
void BM_EarthPositionVelocity(benchmark::State& state)
{
    double jd = 2451545.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(EarthPositionVelocity(jd));
        jd += 0.37;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EarthPositionVelocity);

void BM_OrbitFromRadiant(benchmark::State& state)
{
    const std::vector<RadiantRecord> records = syntheticRecords(4096);
    size_t k = 0;
    for (auto _ : state) {
        const RadiantRecord& r = records[k++ % records.size()];
        OrbitResult o{};
        OrbitFromRadiant(r.jd, r.raRad, r.decRad, r.vgKms, o.peri, o.node, o.incl, o.a, o.q, o.e);
        benchmark::DoNotOptimize(o);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OrbitFromRadiant);

void BM_DPrime(benchmark::State& state)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> e(0.1, 1.0), q(0.1, 1.0), angle(0.0, 180.0);
    std::vector<DPrimeOrbit> orbits(4096);
    for (DPrimeOrbit& o : orbits)
        o = {e(random), q(random), angle(random), 2 * angle(random), 2 * angle(random)};
    size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DPrime(orbits[k % 4096], orbits[(k * 7 + 1) % 4096]));
        ++k;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DPrime);

// What an import computes for a record that holds only a radiant: the elements, and with
// range(1) also the sol and the heliocentric speed of the derived columns.
OrbitResult computeRecord(const RadiantRecord& r, bool withSolAndSpeed)
{
    OrbitResult o{};
    OrbitFromRadiant(r.jd, r.raRad, r.decRad, r.vgKms, o.peri, o.node, o.incl, o.a, o.q, o.e);
    if (withSolAndSpeed) {
        o.vs = HeliocentricSpeed(r.jd, r.raRad, r.decRad, r.vgKms);
        o.sol = SolarLongitude(r.jd);
    }
    return o;
}

// CPU seconds of the whole process so far, all threads: the work done, whatever the load of a
// shared machine does to the wall time.
double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           1e-6 * (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// range(0): threads; range(1): 1 to add sol and heliocentric speed.
void BM_MillionRadiantRecords(benchmark::State& state)
{
    const std::vector<RadiantRecord> records = syntheticRecords(1000000);
    std::vector<OrbitResult> results(records.size());
    const int threads = static_cast<int>(state.range(0));
    const bool full = state.range(1) != 0;
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([&, t] {
                const size_t begin = records.size() * t / threads;
                const size_t end = records.size() * (t + 1) / threads;
                for (size_t k = begin; k < end; ++k)
                    results[k] = computeRecord(records[k], full);
            });
        }
        for (std::thread& w : workers)
            w.join();
        benchmark::DoNotOptimize(results.data());
    }
    state.counters["cpu_s"] = processCpuSeconds() - cpuBefore;
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(records.size()));
}
BENCHMARK(BM_MillionRadiantRecords)
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->ArgNames({"threads", "solAndVs"})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

// The elements and heliocentric speed of a million radiants on one thread, as the Python
// module's orbit_from_radiant computes them: range(0) 0 by OrbitFromRadiant and
// HeliocentricSpeed (the Earth's state twice, the baseline), 1 by the one-pass function.
void BM_MillionOrbitsAndSpeeds(benchmark::State& state)
{
    const std::vector<RadiantRecord> records = syntheticRecords(1000000);
    std::vector<HeliocentricOrbit> results(records.size());
    const bool onePass = state.range(0) != 0;
    for (auto _ : state) {
        for (size_t k = 0; k < records.size(); ++k) {
            const RadiantRecord& r = records[k];
            HeliocentricOrbit& o = results[k];
            if (onePass) {
                o = OrbitAndSpeedFromRadiant(r.jd, r.raRad, r.decRad, r.vgKms);
                continue;
            }
            OrbitFromRadiant(r.jd, r.raRad, r.decRad, r.vgKms, o.peri, o.node, o.incl, o.a, o.q,
                             o.e);
            o.vs = HeliocentricSpeed(r.jd, r.raRad, r.decRad, r.vgKms);
        }
        benchmark::DoNotOptimize(results.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(records.size()));
}
BENCHMARK(BM_MillionOrbitsAndSpeeds)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("onePass")
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

} // namespace
