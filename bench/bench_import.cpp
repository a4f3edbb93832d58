// Orbit file import: a 1,000,000-row U2 file against a duplicate index of 1,000,000 orbits
// of the same data source, and a 100,000-row M file whose orbits are computed from radiants;
// each against reading the same file's lines alone.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "orbits/conversion_frame.h"
#include "orbits/duplicate_index.h"
#include "orbits/orbit_converters.h"

namespace {

constexpr int kU2Rows = 1000000;
constexpr int kIndexedOrbits = 1000000;
constexpr int kMRows = 100000;
// One source row in ten repeats an indexed orbit.
constexpr int kDuplicateEvery = 10;

// Ten years of meteors, evenly spread: about 270 orbits in every duplicate window.
double meteorMjd(int i) { return 55000.0 + i * (3650.0 / kIndexedOrbits); }
std::string meteorName(int i) { return "20100812_213045_EX_" + std::to_string(i); }

class Folder {
public:
    Folder()
        : m_path(std::filesystem::temp_directory_path() /
                 ("orvantella-bench-import-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(m_path);
    }
    ~Folder() { std::filesystem::remove_all(m_path); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

const Folder& folder()
{
    static const Folder folder;
    return folder;
}

// A U2 row of 80 fields: name field 2, mjd 3, memo parts 5, 6, 25, orbit fields as read.
// The name and memo come from the meteor's number, the time from the instant's.
std::string u2Row(int meteor, int instant)
{
    char numbers[600];
    std::snprintf(numbers, sizeof numbers,
                  "%.6f,%.4f,_ST%02d,_EX,-1.25,100.12345,0.5,%.4f,%.4f,12.3,0.4,59.1234,"
                  "0.2,58.8765,0.1,1.2345,0.9512,0.9345,10.5,151.234,%.4f,113.456,_PER",
                  meteorMjd(instant), 140.0 + meteor % 360 * 0.001, meteor % 7,
                  46.0 + meteor % 100 * 0.01, 57.0 + meteor % 50 * 0.01,
                  139.0 + meteor % 90 * 0.01);
    std::string row = "51,0,_" + meteorName(meteor) + "," + numbers;
    for (int field = 26; field < 80; ++field)
        row += field == 43 ? ",105.2" : field == 50 ? ",88.7" : ",12.3456";
    return row + "\r\n";
}

const std::string& u2Source()
{
    static const std::string path = [] {
        const std::string file = folder().file("U2_bench.csv");
        std::ofstream out(file, std::ios::binary);
        out << "header\r\n";
        for (int row = 0; row < kU2Rows; ++row) {
            // Every tenth row is an indexed orbit; the others are new meteors at the same
            // times, so the windows searched are as full.
            const bool duplicate = row % kDuplicateEvery == 0;
            out << u2Row(duplicate ? row : kIndexedOrbits + row, row);
        }
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
            char memo[32];
            std::snprintf(memo, sizeof memo, "ST%02d-EX-PER", i % 7);
            memos[i] = memo;
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
        std::ofstream out(file, std::ios::binary);
        for (int row = 0; row < kMRows; ++row)
            out << "90,2010,8," << 1 + row % 28 << "," << row % 24 << "," << row % 60 << ","
                << row % 60 << ".25," << 46.0 + row % 100 * 0.01 << "," << 57.5 << ","
                << 20.0 + row % 400 * 0.1 << ",-1.5,_M" << row << ",_bench\r\n";
        return file;
    }();
    return path;
}

std::int64_t countLines(const std::string& path, std::size_t bound, LineEnd lineEnd)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    SourceLines lines(file, bound, lineEnd);
    std::string_view line;
    std::int64_t count = 0;
    std::size_t bytes = 0;
    while (lines.next(line) == SourceLines::Status::Line) {
        ++count;
        bytes += line.size();
    }
    std::fclose(file);
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
