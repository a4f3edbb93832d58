// Table engine speed: loading a 1,000,000-row orbit file, building links from
// a 500,000-row stream-orbit link table, and the scan-based build for comparison.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <unistd.h>

#include "mdb/schema.h"
#include "platform/ui.h"
#include "support/bench_support.h"
#include "support/synthetic_orbits.h"
#include "table/csv_field.h"
#include "table/cutable.h"
#include "table/id_index.h"
#include "table/links.h"

namespace {

constexpr int kOrbits = 1000000;
constexpr int kStreams = 2000;
constexpr int kLinks = 500000;

// One database's worth of tables: orbits, streams and a stream-orbit link table.
struct Database {
    explicit Database(int orbits, int streams, int links)
    {
        this->orbits.initialise(kOrbitTableDef, pools);
        this->streams.initialise(kStreamTableDef, pools);
        streamOrbit.initialise(kStreamOrbitLinkDef, pools);
        for (int row = 0; row < orbits; ++row)
            this->orbits.cell(this->orbits.addRow(), col::Orbit::OID)->number = syntheticOid(row);
        for (int row = 0; row < streams; ++row)
            this->streams.cell(this->streams.addRow(), col::Stream::SID)->number =
                300000 + static_cast<std::uint32_t>(row);
        std::mt19937 random(401);
        for (int row = 0; row < links; ++row) {
            const int link = streamOrbit.addRow();
            streamOrbit.cell(link, kLinkOwnerIdColumn)->number =
                300000 + static_cast<std::uint32_t>(random() % static_cast<unsigned>(streams));
            streamOrbit.cell(link, kLinkTargetIdColumn)->number =
                syntheticOid(static_cast<int>(random() % static_cast<unsigned>(orbits)));
        }
    }
    // What clearing all tables and resetting the node pool leaves: empty link cells.
    void dropLinks()
    {
        for (int row = 0; row < orbits.count(); ++row)
            orbits.cell(row, col::Orbit::SLINK)->links = nullptr;
        for (int row = 0; row < streams.count(); ++row)
            streams.cell(row, col::Stream::OLINK)->links = nullptr;
        pools.nodes.reset();
    }
    LinkEnds streamEnds() { return {streams, col::Stream::SID, col::Stream::OLINK}; }
    LinkEnds orbitEnds() { return {orbits, col::Orbit::OID, col::Orbit::SLINK}; }

    TablePools pools;
    CUTABLE orbits;
    CUTABLE streams;
    CUTABLE streamOrbit;
};

int scanForId(const CUTABLE& table, int idColumn, std::uint32_t id)
{
    for (int row = 0; row < table.count(); ++row)
        if (table.isLive(row) && table.cell(row, idColumn)->number == id)
            return row;
    return -1;
}

// The build as first written: two scans per link-table row.
void buildLinksByScan(Database& db)
{
    for (int row = 0; row < db.streamOrbit.count(); ++row) {
        const std::uint32_t sid = db.streamOrbit.cell(row, kLinkOwnerIdColumn)->number;
        const std::uint32_t oid = db.streamOrbit.cell(row, kLinkTargetIdColumn)->number;
        const int stream = scanForId(db.streams, col::Stream::SID, sid);
        const int orbit = scanForId(db.orbits, col::Orbit::OID, oid);
        if (stream >= 0 && orbit >= 0)
            link({&db.streams, stream, col::Stream::OLINK}, {&db.orbits, orbit, col::Orbit::SLINK});
    }
}

void BM_LoadOrbitFile1M(benchmark::State& state)
{
    ScratchFolder folder("table");
    const std::string path = folder.file("O_bench.csv");
    writeSyntheticOrbitFile(path, kOrbits, 20181213);
    TablePools pools;
    CUTABLE orbits;
    orbits.initialise(kOrbitTableDef, pools);
    for (auto _ : state) {
        state.PauseTiming();
        orbits.clear();
        state.ResumeTiming();
        if (!orbits.load(path))
            state.SkipWithError("load failed");
    }
    state.counters["rows"] = orbits.count();
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1048576.0;
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_LoadOrbitFile1M)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveOrbitFile1M(benchmark::State& state)
{
    ScratchFolder folder("table");
    const std::string path = folder.file("O_bench.csv");
    writeSyntheticOrbitFile(path, kOrbits, 20181213);
    TablePools pools;
    CUTABLE orbits;
    orbits.initialise(kOrbitTableDef, pools);
    orbits.load(path);
    for (auto _ : state)
        if (!orbits.save(folder.file("O_saved.csv")))
            state.SkipWithError("save failed");
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_SaveOrbitFile1M)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BuildLinks500k(benchmark::State& state)
{
    Database db(kOrbits, kStreams, kLinks);
    for (auto _ : state) {
        state.PauseTiming();
        db.dropLinks();
        state.ResumeTiming();
        buildLinks(db.streamOrbit, db.streamEnds(), db.orbitEnds());
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_BuildLinks500k)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_IdIndex1M(benchmark::State& state)
{
    Database db(kOrbits, 1, 0);
    for (auto _ : state) {
        const IdIndex index(db.orbits, col::Orbit::OID);
        benchmark::DoNotOptimize(index.find(syntheticOid(kOrbits / 2)));
    }
}
BENCHMARK(BM_IdIndex1M)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RebuildLinkTable500k(benchmark::State& state)
{
    Database db(kOrbits, kStreams, kLinks);
    buildLinks(db.streamOrbit, db.streamEnds(), db.orbitEnds());
    for (auto _ : state)
        rebuildLinkTable(db.streamOrbit, db.streamEnds(), col::Orbit::OID);
    state.counters["links"] = db.streamOrbit.count();
}
BENCHMARK(BM_RebuildLinkTable500k)->Unit(benchmark::kMillisecond)->Iterations(5);

// 20,000 link rows over 40,000 orbits and 2,000 streams: the scan against the hash index.
void BM_BuildLinks20k(benchmark::State& state)
{
    const bool scan = state.range(0) == 1;
    Database db(2 * 20000, kStreams, 20000);
    for (auto _ : state) {
        state.PauseTiming();
        db.dropLinks();
        state.ResumeTiming();
        if (scan)
            buildLinksByScan(db);
        else
            buildLinks(db.streamOrbit, db.streamEnds(), db.orbitEnds());
    }
    state.SetLabel(scan ? "scan" : "hash index");
}
BENCHMARK(BM_BuildLinks20k)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// One "%f" field: the fast reader against sscanf.
void BM_ScanFloatField(benchmark::State& state)
{
    const bool reference = state.range(0) == 1;
    const char field[] = "58465.123456";
    const char* end = field + sizeof field - 1;
    float value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(reference ? sscanfFloatField(field, end, value)
                                           : scanFloatField(field, end, value));
        benchmark::DoNotOptimize(value);
    }
    state.SetLabel(reference ? "sscanf" : "fast");
}
BENCHMARK(BM_ScanFloatField)->Arg(0)->Arg(1);

} // namespace
