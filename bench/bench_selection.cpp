// The Orbit page's selection over 1,000,000 orbits: one run (sR and DD of
// every row, the conditions, the averages) on both cores against the
// straightforward single-threaded loop over the same rows in the same run;
// then the averages and the export of 1,000,000 selected orbits.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

#include "app/engine_params.h"
#include "app/settings.h"
#include "astro/frames.h"
#include "astro/similarity.h"
#include "mdb/database.h"
#include "mdb/schema.h"
#include "orbits/orbit_exports.h"
#include "orbits/orbit_selection.h"
#include "support/bench_support.h"
#include "support/synthetic_orbits.h"

namespace {

using C = col::Orbit;

constexpr int kOrbits = 1000000;

const ScratchFolder& folder()
{
    static const ScratchFolder folder("selection");
    return folder;
}

// CPU milliseconds of the whole process (every thread) per iteration: on a
// shared machine the wall time also counts other people's work.
class ProcessCpu {
public:
    ProcessCpu() : m_start(std::clock()) {}
    double perIteration(const benchmark::State& state) const
    {
        return 1000.0 * static_cast<double>(std::clock() - m_start) / CLOCKS_PER_SEC /
               static_cast<double>(state.iterations());
    }

private:
    std::clock_t m_start;
};

// A million synthetic orbits loaded from their orbit file, as after a start.
Database& database()
{
    static const std::unique_ptr<Database> db = [] {
        auto loaded = std::make_unique<Database>();
        const std::string path = folder().file("O_synthetic.csv");
        writeSyntheticOrbitFile(path, kOrbits, 20181214);
        loaded->orbits.load(path, C::OFILE, 0);
        return loaded;
    }();
    return *db;
}

// The Geminid corner of the sky: radiant, velocity, D' and the every-year
// sol window on, a few per cent of the orbits selected.
Settings narrowConditions()
{
    Settings s;
    s.dlg_Y = 2018;
    s.dlg_M = 12;
    s.dlg_D = 14;
    s.po_r1 = 113;
    s.po_d1 = 32;
    s.po_v1 = 34;
    s.po_r2 = 60;
    s.po_d2 = 40;
    s.po_v2 = 20;
    s.po_q1 = 0.14f;
    s.po_e1 = 0.89f;
    s.po_p1 = 324;
    s.po_n1 = 261;
    s.po_i1 = 24;
    s.po_days = 60;
    s.po_R = 60;
    s.po_D = 0.9f;
    s.po_daysC = s.po_rC = s.po_dC = s.po_vC = s.po_RC = s.po_DC = 1;
    return s;
}

void BM_SelectionRunBothCores(benchmark::State& state)
{
    Database& db = database();
    const SelectionConditions conditions = selectionConditionsOf(narrowConditions());
    OrbitSelection selection;
    selection.currentSol = 262;
    const ProcessCpu cpu;
    for (auto _ : state)
        SelectOrbits(db, conditions, false, selection);
    state.counters["cpu_ms_all_threads"] = cpu.perIteration(state);
    state.counters["selected"] = selection.selected;
    state.counters["rows_per_s"] =
        benchmark::Counter(kOrbits, benchmark::Counter::kIsIterationInvariantRate);
}

// The baseline: sR and DD of every row from the reference, one row after
// the other on one thread, without conditions or averages.
void BM_StraightforwardLoopOneCore(benchmark::State& state)
{
    Database& db = database();
    const Settings s = narrowConditions();
    CUTABLE& orbits = db.orbits;
    const ProcessCpu cpu;
    for (auto _ : state) {
        for (int row = 0; row < orbits.count(); ++row) {
            if (!orbits.isLive(row))
                continue;
            const auto v = [&](int column) { return orbits.cell(row, column)->real; };
            orbits.cell(row, C::sR)->real =
                static_cast<float>(AngularDistance(s.po_r1, s.po_d1, v(C::ra), v(C::dec)));
            orbits.cell(row, C::DD)->real =
                static_cast<float>(DPrime({s.po_e1, s.po_q1, s.po_i1, s.po_n1, s.po_p1},
                                          {v(C::e), v(C::q), v(C::incl), v(C::node), v(C::peri)}));
        }
        benchmark::ClobberMemory();
    }
    state.counters["cpu_ms_all_threads"] = cpu.perIteration(state);
    state.counters["rows_per_s"] =
        benchmark::Counter(kOrbits, benchmark::Counter::kIsIterationInvariantRate);
}

// Every flag off: all 1,000,000 orbits selected.
OrbitSelection selectAll(Database& db, const Settings& settings)
{
    OrbitSelection selection;
    selection.currentSol = 262;
    SelectOrbits(db, selectionConditionsOf(settings), false, selection);
    return selection;
}

void BM_AveragesOfAMillionSelected(benchmark::State& state)
{
    Database& db = database();
    Settings settings;
    settings.dlg_Y = 2018;
    OrbitSelection selection = selectAll(db, settings);
    const SelectionConditions conditions = selectionConditionsOf(settings);
    const ProcessCpu cpu;
    for (auto _ : state)
        averageSelectedOrbits(db, conditions, selection);
    state.counters["cpu_ms_all_threads"] = cpu.perIteration(state);
    state.counters["averaged"] = selection.averages.averaged;
}

void BM_ExportOfAMillionSelected(benchmark::State& state)
{
    Database& db = database();
    Settings settings;
    const OrbitSelection selection = selectAll(db, settings);
    const std::string path = folder().file("O_select.csv");
    const ProcessCpu cpu;
    for (auto _ : state)
        benchmark::DoNotOptimize(writeSelectedOrbits(db, path));
    state.counters["cpu_ms_all_threads"] = cpu.perIteration(state);
    state.counters["exported"] = selection.selected;
    state.counters["peak_MB"] = peakMegabytes();
}

} // namespace

BENCHMARK(BM_SelectionRunBothCores)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_StraightforwardLoopOneCore)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
BENCHMARK(BM_AveragesOfAMillionSelected)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
BENCHMARK(BM_ExportOfAMillionSelected)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
