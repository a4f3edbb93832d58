// Whole-database speed: load all and save all of an MDB with 1,000,000
// orbits in 10 orbit files, 2,000 streams in 5 lists and 300,000
// stream-orbit links; and the straightforward scans at a smaller size.
#include <benchmark/benchmark.h>

#include <random>

#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "platform/ui.h"
#include "support/bench_support.h"
#include "table/links.h"

namespace {

constexpr int kYear = 2007;

struct Size {
    int orbits, files, streams, lists, links;
};

constexpr Size kFull{1000000, 10, 2000, 5, 300000};

void fillSources(Database& db)
{
    for (std::uint32_t dsid : {1000u, 41000u}) {
        const int row = db.dsids.addRow();
        db.dsids.cell(row, col::Dsid::DSID)->number = dsid;
        db.dsids.cell(row, col::Dsid::use)->number = 1;
        db.dsids.setText(row, col::Dsid::code, dsid == 1000 ? "SkyCam" : "WK");
        db.dsids.cell(row, col::Dsid::IDnext)->number = dsid * kIdsPerSource + 99000;
    }
}

void fillOrbits(Database& db, const Size& size, std::mt19937& random)
{
    std::uniform_real_distribution<float> angle(0.f, 360.f), dec(-60.f, 80.f), vg(11.f, 72.f);
    // Four years of meteors: single-precision MJDs of that span take about 370,000 values.
    std::uniform_real_distribution<float> days(0.f, 1461.f);
    for (int file = 0; file < size.files; ++file) {
        const int row = db.orbitFiles.addRow();
        db.orbitFiles.cell(row, col::OrbitFile::use)->number = 1;
        db.orbitFiles.setText(row, col::OrbitFile::fileName,
                              ("O_SkyCam_" + std::to_string(file) + ".csv").c_str());
        db.orbitFiles.cell(row, col::OrbitFile::loaded)->number = 1;
    }
    char name[32];
    for (int n = 0; n < size.orbits; ++n) {
        const int row = db.orbits.addRow();
        UCell* cells = db.orbits.cell(row, 0);
        cells[col::Orbit::OID].number = 100000000u + static_cast<std::uint32_t>(n) % 99000 +
                                        static_cast<std::uint32_t>(n / 99000) * 100000;
        cells[col::Orbit::use].number = 1;
        cells[col::Orbit::mjd].real64 = 54000.0 + days(random);
        cells[col::Orbit::sol].real = angle(random);
        cells[col::Orbit::ra].real = angle(random);
        cells[col::Orbit::dec].real = dec(random);
        cells[col::Orbit::vg].real = vg(random);
        cells[col::Orbit::q].real = 0.9f;
        cells[col::Orbit::e].real = 0.7f;
        cells[col::Orbit::OFILE].integer = n % size.files;
        std::snprintf(name, sizeof name, "20181213_%06d", n);
        db.orbits.setText(row, col::Orbit::name, name);
    }
}

void fillStreams(Database& db, const Size& size, std::mt19937& random)
{
    for (int n = 0; n < size.lists; ++n) {
        const int row = db.lists.addRow();
        db.lists.cell(row, col::List::LID)->number = 4100000000u + static_cast<std::uint32_t>(n);
        db.lists.setText(row, col::List::name, ("L_WK_" + std::to_string(n)).c_str());
    }
    for (int n = 0; n < size.streams; ++n) {
        const int row = db.streams.addRow();
        db.streams.cell(row, col::Stream::SID)->number =
            4100001000u + static_cast<std::uint32_t>(n);
        db.streams.cell(row, col::Stream::use)->number = 1;
        db.streams.setText(row, col::Stream::code, ("WK_" + std::to_string(n)).c_str());
        db.streams.cell(row, col::Stream::solp)->real = static_cast<float>(n % 360);
        link({&db.lists, n % size.lists, col::List::SLINK}, {&db.streams, row, col::Stream::LLINK});
    }
    for (int n = 0; n < size.links; ++n)
        link({&db.streams, static_cast<int>(random() % size.streams), col::Stream::OLINK},
             {&db.orbits, static_cast<int>(random() % size.orbits), col::Orbit::SLINK});
}

// The synthetic MDB, written once per process.
const std::string& syntheticMdb(const Size& size)
{
    static const ScratchFolder scratch("mdb");
    static const std::string folder = [&size] {
        Database db;
        std::mt19937 random(2007);
        fillSources(db);
        fillOrbits(db, size, random);
        fillStreams(db, size, random);
        if (!saveAll(db, scratch.str()))
            fatal("cannot write the synthetic MDB in %s", scratch.str().c_str());
        return scratch.str();
    }();
    return folder;
}

void BM_LoadAll(benchmark::State& state)
{
    const std::string& folder = syntheticMdb(kFull);
    for (auto _ : state) {
        Database db;
        loadAll(db, folder, kYear);
        benchmark::DoNotOptimize(db.orbits.count());
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_LoadAll)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_SaveAll(benchmark::State& state)
{
    const std::string& folder = syntheticMdb(kFull);
    Database db;
    loadAll(db, folder, kYear);
    for (auto _ : state)
        benchmark::DoNotOptimize(saveAll(db, folder));
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_SaveAll)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The derived orbit columns of 100,000 orbits: every row on its own (the
// straightforward way) against the shared Earth states on both cores.
Database& derivedSample()
{
    static Database db;
    if (db.orbits.count() == 0) {
        std::mt19937 random(7);
        fillOrbits(db, {100000, 1, 0, 0, 0}, random);
    }
    return db;
}

void BM_DerivedRowByRow(benchmark::State& state)
{
    Database& db = derivedSample();
    for (auto _ : state)
        for (int row = 0; row < db.orbits.count(); ++row)
            computeOrbitDerived(db.orbits, row);
}
BENCHMARK(BM_DerivedRowByRow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DerivedAllRows(benchmark::State& state)
{
    Database& db = derivedSample();
    for (auto _ : state) {
        OrbitDerivedWorker worker;
        worker.add(db.orbits, 0, db.orbits.count());
        worker.finish();
    }
}
BENCHMARK(BM_DerivedAllRows)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
