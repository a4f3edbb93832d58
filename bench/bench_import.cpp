// Orbit file import: a 1,000,000-row U2 file against a duplicate index of 1,000,000 orbits
// of the same data source, and a 100,000-row M file whose orbits are computed from radiants;
// each against reading the same file's lines alone.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "orbits/conversion_frame.h"
#include "orbits/duplicate_index.h"
#include "orbits/orbit_converters.h"
#include "support/bench_support.h"
#include "support/synthetic_sources.h"

namespace {

constexpr int kU2Rows = 1000000;
constexpr int kIndexedOrbits = 1000000;
constexpr int kMRows = 100000;
// One source row in ten repeats an indexed orbit.
constexpr int kDuplicateEvery = 10;

const ScratchFolder& folder()
{
    static const ScratchFolder folder("import");
    return folder;
}

const std::string& u2Source()
{
    static const std::string path = [] {
        const std::string file = folder().file("U2_bench.csv");
        // Every tenth row is an indexed orbit.
        writeU2Source(file, kU2Rows, kIndexedOrbits,
                      [](int row) { return row % kDuplicateEvery == 0; });
        return file;
    }();
    return path;
}

const DuplicateIndex& indexedOrbits()
{
    static const DuplicateIndex index = [] {
        std::vector<std::string> names(kIndexedOrbits), memos(kIndexedOrbits);
        std::vector<IndexedOrbit> orbits(kIndexedOrbits);
        for (int i = 0; i < kIndexedOrbits; ++i) {
            names[i] = meteorName(i);
            memos[i] = meteorMemo(i);
            // The orbit table holds floats.
            orbits[i] = {static_cast<float>(meteorMjd(i)), names[i], memos[i]};
        }
        return DuplicateIndex(orbits);
    }();
    return index;
}

const std::string& mSource()
{
    static const std::string path = [] {
        const std::string file = folder().file("M_bench.csv");
        writeMSource(file, kMRows);
        return file;
    }();
    return path;
}

std::int64_t countLines(const std::string& path, std::size_t bound, LineEnd lineEnd)
{
    SourceFile file;
    if (!file.open(path))
        return 0;
    SourceLines lines(file, bound, lineEnd);
    std::string_view line;
    std::int64_t count = 0;
    std::size_t bytes = 0;
    while (lines.next(line) == SourceLines::Status::Line) {
        ++count;
        bytes += line.size();
    }
    benchmark::DoNotOptimize(bytes);
    return count;
}

std::int64_t convert(OrbitLayout layout, const std::string& source, const DuplicateIndex& index)
{
    const std::string target = folder().file("O_bench.csv");
    std::filesystem::remove(target);
    std::uint32_t nextOid = 4100000000u;
    NoFeedback feedback;
    ConversionContext context{"WK", [&] { return std::optional<std::uint32_t>(nextOid++); }, index,
                              feedback};
    return convertOrbitFile(layout, source, target, context);
}

void BM_ReadU2Lines(benchmark::State& state)
{
    const std::string& source = u2Source();
    for (auto _ : state)
        state.counters["lines"] = static_cast<double>(countLines(source, 4000, LineEnd::Lf));
}
BENCHMARK(BM_ReadU2Lines)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_BuildDuplicateIndex(benchmark::State& state)
{
    std::vector<std::string> names(kIndexedOrbits);
    std::vector<IndexedOrbit> orbits(kIndexedOrbits);
    for (int i = 0; i < kIndexedOrbits; ++i) {
        names[i] = meteorName(i);
        orbits[i] = {meteorMjd(i), names[i], "ST00-EX-PER"};
    }
    for (auto _ : state) {
        const DuplicateIndex index(orbits);
        benchmark::DoNotOptimize(index.size());
    }
}
BENCHMARK(BM_BuildDuplicateIndex)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ConvertU2WithDuplicateIndex(benchmark::State& state)
{
    const std::string& source = u2Source();
    const DuplicateIndex& index = indexedOrbits();
    for (auto _ : state)
        state.counters["rows"] = static_cast<double>(convert(OrbitLayout::U2, source, index));
}
BENCHMARK(BM_ConvertU2WithDuplicateIndex)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ReadMLines(benchmark::State& state)
{
    const std::string& source = mSource();
    for (auto _ : state)
        state.counters["lines"] = static_cast<double>(countLines(source, 4000, LineEnd::CrOrLf));
}
BENCHMARK(BM_ReadMLines)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ConvertMComputingOrbits(benchmark::State& state)
{
    const std::string& source = mSource();
    const DuplicateIndex empty;
    for (auto _ : state)
        state.counters["rows"] = static_cast<double>(convert(OrbitLayout::M, source, empty));
}
BENCHMARK(BM_ConvertMComputingOrbits)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
