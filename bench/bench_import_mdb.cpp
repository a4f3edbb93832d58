// The import command end to end (duplicate index, save all, conversion, registration, clear
// and reload) on an MDB of 1,000,000 orbits of the current data source: a 1,000,000-row U2
// file with the duplicate test active, and an M file of a data source's whole ID range; each
// against loading and saving the same MDB once, measured in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <unistd.h>

#include "app/app_context.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "pages/import_command.h"
#include "platform/scripted_ui.h"
#include "platform/ui.h"
#include "support/bench_support.h"
#include "support/synthetic_sources.h"

namespace {

namespace fs = std::filesystem;

constexpr int kStoredOrbits = 1000000;
constexpr int kOrbitFiles = 10;
constexpr int kU2Rows = 1000000;
// A data source hands out 99,999 IDs: one row in eleven is a new meteor (90,910 rows), the
// other ten repeat stored orbits, so every row goes through the duplicate test and the new
// ones fit the ID range.
constexpr int kNewEvery = 11;
constexpr int kMRows = 99999;
constexpr std::uint32_t kStoredDsid = 41000; // "WK", the U2 import's data source
constexpr std::uint32_t kFreshDsid = 41001;  // "MR", no orbits: the M import's
constexpr int kYear = 2007;

const ScratchFolder& folder()
{
    static const ScratchFolder folder("import-mdb");
    return folder;
}

void addSource(Database& db, std::uint32_t dsid, const char* code)
{
    const int row = db.dsids.addRow();
    db.dsids.cell(row, col::Dsid::DSID)->number = dsid;
    db.dsids.cell(row, col::Dsid::use)->number = 1;
    db.dsids.setText(row, col::Dsid::code, code);
    db.dsids.cell(row, col::Dsid::IDnext)->number = dsid * kIdsPerSource;
}

// The stored orbits are the U2 source's meteors 0 ... 999,999. One data source holds at most
// 99,999 distinct IDs, so their running numbers repeat; nothing here depends on them.
void addStoredOrbits(Database& db)
{
    using C = col::Orbit;
    for (int file = 0; file < kOrbitFiles; ++file) {
        const int row = db.orbitFiles.addRow();
        db.orbitFiles.cell(row, col::OrbitFile::use)->number = 1;
        db.orbitFiles.setText(row, col::OrbitFile::fileName,
                              ("O_WK_" + std::to_string(file) + ".csv").c_str());
        db.orbitFiles.cell(row, col::OrbitFile::loaded)->number = 1;
    }
    for (int n = 0; n < kStoredOrbits; ++n) {
        const int row = db.orbits.addRow();
        UCell* cells = db.orbits.cell(row, 0);
        cells[C::OID].number = kStoredDsid * kIdsPerSource + static_cast<std::uint32_t>(n) % 99999;
        cells[C::use].number = 1;
        cells[C::mjd].real64 = meteorMjd(n);
        cells[C::sol].real = 140.f;
        cells[C::ra].real = 46.f;
        cells[C::dec].real = 57.5f;
        cells[C::vg].real = 59.f;
        cells[C::OFILE].integer = n % kOrbitFiles;
        db.orbits.setText(row, C::name, meteorName(n).c_str());
        db.orbits.setText(row, C::memo, meteorMemo(n).c_str());
    }
}

// The MDB as every benchmark starts from, written once.
const std::string& pristineMdb()
{
    static const std::string path = [] {
        const std::string mdb = folder().file("pristine");
        fs::create_directories(mdb);
        Database db;
        addSource(db, kStoredDsid, "WK");
        addSource(db, kFreshDsid, "MR");
        addStoredOrbits(db);
        if (!saveAll(db, mdb))
            fatal("cannot write the MDB in %s", mdb.c_str());
        return mdb;
    }();
    return path;
}

const std::string& u2Source()
{
    static const std::string path = [] {
        const std::string file = folder().file("U2_bench.csv");
        writeU2Source(file, kU2Rows, kStoredOrbits, [](int row) { return row % kNewEvery != 0; });
        return file;
    }();
    return path;
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

// A copy of the pristine MDB, loaded, with the data source of this DSID current.
std::unique_ptr<AppContext> freshSession(std::uint32_t dsid)
{
    const std::string work = folder().file("work");
    fs::remove_all(work);
    fs::copy(pristineMdb(), work, fs::copy_options::recursive);
    auto app = std::make_unique<AppContext>();
    app->settings.mdbdir = work;
    app->settings.dlg_Y = kYear;
    app->db = std::make_unique<Database>();
    loadAll(*app->db, work, kYear);
    app->db->sources.selectCurrentDsid(dsid);
    return app;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_LoadAndSaveBaseline(benchmark::State& state)
{
    pristineMdb();
    for (auto _ : state) {
        const auto app = freshSession(kStoredDsid);
        clearAll(*app->db);
        const auto start = std::chrono::steady_clock::now();
        loadAll(*app->db, app->settings.mdbdir, kYear);
        const bool saved = saveAll(*app->db, app->settings.mdbdir);
        state.SetIterationTime(secondsSince(start));
        benchmark::DoNotOptimize(saved);
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_LoadAndSaveBaseline)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void runImport(benchmark::State& state, std::uint32_t dsid, const std::string& source)
{
    for (auto _ : state) {
        const auto app = freshSession(dsid);
        ScopedScriptedUi ui;
        ui->answerPath(source);
        ui->answerOk();
        ui->answerPath(app->settings.mdbdir + "/orbits/O_bench.csv");
        NoFeedback feedback;
        const auto start = std::chrono::steady_clock::now();
        const std::optional<std::int64_t> rows = importOrbitFile(*app, feedback);
        state.SetIterationTime(secondsSince(start));
        state.counters["rows_imported"] = static_cast<double>(rows.value_or(-1));
        state.counters["orbits_after"] = app->db->orbitCount;
    }
    state.counters["peak_MB"] = peakMegabytes();
}

void BM_ImportU2AgainstMillionOrbits(benchmark::State& state)
{
    runImport(state, kStoredDsid, u2Source());
}
BENCHMARK(BM_ImportU2AgainstMillionOrbits)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

void BM_ImportMIntoMillionOrbitMdb(benchmark::State& state)
{
    runImport(state, kFreshDsid, mSource());
}
BENCHMARK(BM_ImportMIntoMillionOrbitMdb)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

} // namespace
