// GMN import end to end: ten synthetic traj_summary files of 99,999 rows (a whole data source
// each, 999,990 rows in all) imported into an MDB that starts without orbits: one after the
// other, each into its own data source, every import saving, converting, registering and
// reloading; and all in one run (one load, one save), spreading over new data sources as the
// batch tool's import does. The baseline of each, in the same run: loading and saving the
// resulting MDB of 999,990 orbits once.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "pages/import_command.h"
#include "pages/import_files.h"
#include "platform/scripted_ui.h"
#include "platform/ui.h"
#include "support/bench_support.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 10;
constexpr int kRowsPerFile = 99999; // the IDs of one data source
constexpr std::uint32_t kFirstDsid = 1000;
constexpr int kYear = 2018;
// Rows differ in their id, time and one of this many bodies of the other 84 fields.
constexpr int kBodies = 997;

const ScratchFolder& folder()
{
    static const ScratchFolder folder("gmn-import");
    return folder;
}

// Fields 3 to 86 of a summary row, as GMN pads and formats them: time, shower, radiant,
// speeds, elements (one in ten hyperbolic, GMN's nan where it has no mean anomaly), heights,
// magnitude, mass and stations.
std::string rowBody(std::mt19937& random)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto u = [&] { return unit(random); };
    const bool hyperbolic = random() % 10 == 0;
    const char* showers[] = {"   -1;  ...", "    4;  GEM", "    1;  CAP", "    8;  ORI"};
    char body[1200];
    int n = std::snprintf(body, sizeof body,
                          " 2018-12-%02d %02d:%02d:%02d.%06d; %s; %10.6f; %10.6f; %9.5f; %7.4f; "
                          "%+9.5f; %7.4f; %9.5f; %7.4f; %+9.5f; %7.4f; %9.5f; %7.4f; ",
                          1 + static_cast<int>(random() % 28), static_cast<int>(random() % 24),
                          static_cast<int>(random() % 60), static_cast<int>(random() % 60),
                          static_cast<int>(random() % 1000000), showers[random() % 4], 360 * u(),
                          360 * u(), 360 * u(), u(), 180 * u() - 90, u(), 360 * u(), u(),
                          180 * u() - 90, u(), 11 + 60 * u(), u());
    n += std::snprintf(body + n, sizeof body - static_cast<std::size_t>(n),
                       "%9.5f; %7.4f; %+9.5f; %7.4f; %9.5f; %7.4f; %11.6f; %7.4f; %10.6f; %7.4f; "
                       "%10.6f; %7.4f; %10.6f; %8.4f; %10.6f; %8.4f; %10.6f; %7.4f; %10.6f; "
                       "None; %10.6f; %7.4f; %10.6f; %7.4f; %s; %s; ",
                       360 * u(), u(), 10 * u(), u(), 40 * u(), u(),
                       hyperbolic ? -40 * u() : 0.8 + 5 * u(), u(), hyperbolic ? 1 + u() : u(), u(),
                       180 * u(), u(), 360 * u(), u(), 360 * u(), u(), 360 * u(), u(), 10 * u() - 5,
                       0.1 + 0.9 * u(), u(), 360 * u(), u(), hyperbolic ? "nan" : "  0.123456",
                       hyperbolic ? "    nan" : " 0.0123");
    n += std::snprintf(body + n, sizeof body - static_cast<std::size_t>(n),
                       "%11.6f; %7.4f; %10.6f; %7.4f; %10.6f; %7.4f; %9.6f; %7.4f; %9.5f; %7.4f; "
                       "%+9.5f; %7.4f; %9.5f; %7.4f; %+9.5f; %7.4f; %9.5f; %7.4f; %9.5f; %7.4f; ",
                       5 * u(), u(), 360 * u(), u(), 10 * u(), u(), 3 * u(), u(), 360 * u(), u(),
                       180 * u() - 90, u(), 360 * u(), u(), 90 * u(), u(), 12 + 60 * u(), u(),
                       11 + 60 * u(), u());
    n +=
        std::snprintf(body + n, sizeof body - static_cast<std::size_t>(n),
                      "%+12.6f; %7.4f; %+12.6f; %7.4f; %8.4f; %7.4f; %+12.6f; %7.4f; %+12.6f; "
                      "%7.4f; %8.4f; %7.4f; %8.2f; %+6.2f; %8.4f; %5.2f; %8.2e; %5.2f; %12.2f; "
                      "%6s; %6s; %4d; US0002,US0008",
                      180 * u() - 90, u(), 360 * u() - 180, u(), 70 + 50 * u(), u(), 180 * u() - 90,
                      u(), 360 * u() - 180, u(), 60 + 40 * u(), u(), 3 * u(), 6 * u() - 4,
                      70 + 40 * u(), u(), 1e-3 * u(), 40 * u(), 100 * u(), "True", "False", 2);
    return body;
}

// "# " header lines as GMN writes them, then the rows with LF-CR line ends.
void writeSummary(const std::string& path, int file, const std::vector<std::string>& bodies)
{
    std::ofstream out(path, std::ios::binary);
    out << "# Summary generated for a benchmark\n\r#  Unique trajectory; Beginning ; ...\n\r"
           "#  identifier ; Julian date ; ...\n\r# ------------------; ---------\n\r";
    std::string row;
    for (int n = 0; n < kRowsPerFile; ++n) {
        char head[96];
        std::snprintf(head, sizeof head, "20181210%06d_F%dx%05d; %.12f;", n % 240000, file, n,
                      2458453.5 + n * (31.0 / kRowsPerFile));
        row.assign(head).append(bodies[static_cast<std::size_t>(n % kBodies)]).append("\n\r");
        out << row;
    }
}

const std::vector<std::string>& summaries()
{
    static const std::vector<std::string> paths = [] {
        std::mt19937 random(2018);
        std::vector<std::string> bodies;
        for (int i = 0; i < kBodies; ++i)
            bodies.push_back(rowBody(random));
        std::vector<std::string> files;
        for (int file = 0; file < kFiles; ++file) {
            files.push_back(folder().file("traj_summary_" + std::to_string(file) + ".txt"));
            writeSummary(files.back(), file, bodies);
        }
        return files;
    }();
    return paths;
}

// An MDB of ten GMN data sources and no orbits, loaded.
std::unique_ptr<AppContext> emptySession(const std::string& mdb)
{
    fs::remove_all(mdb);
    fs::create_directories(mdb);
    {
        Database db;
        for (int file = 0; file < kFiles; ++file) {
            const std::uint32_t dsid = kFirstDsid + static_cast<std::uint32_t>(file);
            const int row = db.dsids.addRow();
            db.dsids.cell(row, col::Dsid::DSID)->number = dsid;
            db.dsids.cell(row, col::Dsid::use)->number = 1;
            db.dsids.setText(row, col::Dsid::code, ("G" + std::to_string(file)).c_str());
            db.dsids.cell(row, col::Dsid::IDnext)->number = dsid * kIdsPerSource;
        }
        if (!saveAll(db, mdb))
            fatal("cannot write the MDB in %s", mdb.c_str());
    }
    auto app = std::make_unique<AppContext>();
    app->settings.mdbdir = mdb;
    app->settings.dlg_Y = kYear;
    app->db = std::make_unique<Database>();
    loadAll(*app->db, mdb, kYear);
    return app;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_GmnImportTenFilesIntoGrowingMdb(benchmark::State& state)
{
    summaries();
    for (auto _ : state) {
        const auto app = emptySession(folder().file("MDB"));
        ScopedScriptedUi ui;
        NoFeedback feedback;
        std::int64_t imported = 0;
        double slowest = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int file = 0; file < kFiles; ++file) {
            const auto fileStart = std::chrono::steady_clock::now();
            app->db->sources.selectCurrentDsid(kFirstDsid + static_cast<std::uint32_t>(file));
            ui->answerPath(summaries()[static_cast<std::size_t>(file)]);
            ui->answerOk();
            ui->answerPath(app->settings.mdbdir + "/orbits/O_G" + std::to_string(file) + ".csv");
            imported += importOrbitFile(*app, feedback).value_or(-1);
            slowest = std::max(slowest, secondsSince(fileStart));
        }
        state.SetIterationTime(secondsSince(start));
        state.counters["rows_imported"] = static_cast<double>(imported);
        state.counters["orbits_after"] = app->db->orbitCount;
        state.counters["slowest_file_s"] = slowest;
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_GmnImportTenFilesIntoGrowingMdb)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

// Loading and saving the MDB the imports left, once.
void BM_LoadAndSaveResultBaseline(benchmark::State& state)
{
    const std::string mdb = folder().file("MDB");
    for (auto _ : state) {
        Database db;
        const auto start = std::chrono::steady_clock::now();
        loadAll(db, mdb, kYear);
        const bool saved = saveAll(db, mdb);
        state.SetIterationTime(secondsSince(start));
        state.counters["orbits"] = db.orbitCount;
        benchmark::DoNotOptimize(saved);
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_LoadAndSaveResultBaseline)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

// The batch tool's import of the ten files in one run: one load, one save, the IDs spreading
// from G0 into new data sources.
void BM_GmnImportTenFilesInOneRun(benchmark::State& state)
{
    summaries();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto app = emptySession(folder().file("MDB"));
        ScopedScriptedUi ui;
        NoFeedback feedback;
        app->db->sources.selectCurrentDsid(kFirstDsid);
        ImportFilesOptions options;
        options.spread = true;
        const auto result = importOrbitFiles(*app, summaries(), options, feedback);
        state.SetIterationTime(secondsSince(start));
        state.counters["rows_imported"] = result ? static_cast<double>(result->rows) : -1.0;
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_GmnImportTenFilesInOneRun)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

// Loading and saving the MDB the one-run import left, once.
BENCHMARK(BM_LoadAndSaveResultBaseline)
    ->Name("BM_LoadAndSaveOneRunResultBaseline")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

} // namespace
