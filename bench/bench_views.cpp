// List view speed over 1,000,000 orbit rows: building the orbit view's list
// and sorting it by a float column and by a text column, against one plain
// pass over the listed rows reading a cell.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <vector>

#include "mdb/schema.h"
#include "table/cutable.h"
#include "views/ulist.h"
#include "views/view_layout.h"

namespace {

constexpr int kOrbits = 1000000;
// Layout columns of the orbit view.
constexpr int kNameColumn = 5;
constexpr int kRaColumn = 9;

struct SilentPage final : ListOwner {
    void notify(int, int, int) override {}
};

// A million orbits with random radiants and names like "20181213_012345"
// (a few hundred nights, so that names share long prefixes), every tenth
// row deleted as after an edit session.
struct OrbitView {
    OrbitView() : list(page, layout, orbits)
    {
        orbits.initialise(kOrbitTableDef, pools);
        std::mt19937 random(20181213);
        std::uniform_real_distribution<float> ra(0.0f, 360.0f);
        std::uniform_real_distribution<float> dec(-90.0f, 90.0f);
        char name[32];
        for (int i = 0; i < kOrbits; ++i) {
            const int row = orbits.addRow();
            orbits.cell(row, col::Orbit::ra)->real = ra(random);
            orbits.cell(row, col::Orbit::dec)->real = dec(random);
            std::snprintf(name, sizeof name, "2018%04u_%06u", 101 + random() % 1200,
                          static_cast<unsigned>(random() % 1000000));
            orbits.setText(row, col::Orbit::name, name);
        }
        for (int row = 0; row < kOrbits; row += 10)
            orbits.deleteRow(row);
        list.build();
        for (int line = 0; line < list.lineCount(); ++line)
            rowOrder.push_back(list.rowOfLine(line));
    }
    // Lists the rows in index order again, as a build without a sort column does.
    void restoreRowOrder()
    {
        for (int line = 0; line < list.lineCount(); ++line) {
            const int row = rowOrder[static_cast<std::size_t>(line)];
            orbits.setInteger(row, line, layout.dlineColumn);
            orbits.setInteger(line, row, layout.itemdataColumn);
        }
    }

    TablePools pools;
    CUTABLE orbits;
    UViewDef layout = defaultOrbitView();
    SilentPage page;
    CUList list;
    std::vector<int> rowOrder; // the lines of the first build
};

OrbitView& orbitView()
{
    static OrbitView view;
    return view;
}

// Registered first: a build after a sort would sort again.
void BM_BuildOrbitView1M(benchmark::State& state)
{
    OrbitView& view = orbitView();
    for (auto _ : state)
        view.list.build();
    state.counters["lines"] = view.list.lineCount();
}
BENCHMARK(BM_BuildOrbitView1M)->Unit(benchmark::kMillisecond)->Iterations(5);

// The baseline: one pass over the lines, each reading its row's ra cell.
void BM_ReadCellPerLine1M(benchmark::State& state)
{
    OrbitView& view = orbitView();
    for (auto _ : state) {
        double sum = 0;
        for (int line = 0; line < view.list.lineCount(); ++line)
            sum += view.orbits.cell(view.list.rowOfLine(line), col::Orbit::ra)->real;
        benchmark::DoNotOptimize(sum);
    }
    state.counters["lines"] = view.list.lineCount();
}
BENCHMARK(BM_ReadCellPerLine1M)->Unit(benchmark::kMillisecond);

// Each pass sorts the list in row order, as a build leaves it.
void sortAfterBuild(benchmark::State& state, int layoutColumn)
{
    OrbitView& view = orbitView();
    for (auto _ : state) {
        state.PauseTiming();
        view.restoreRowOrder();
        state.ResumeTiming();
        view.list.sort(layoutColumn, static_cast<int>(state.range(0)));
    }
    state.SetLabel(state.range(0) > 0 ? "ascending" : "descending");
}

void BM_SortByFloat1M(benchmark::State& state) { sortAfterBuild(state, kRaColumn); }
BENCHMARK(BM_SortByFloat1M)->Arg(1)->Arg(-1)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SortByText1M(benchmark::State& state) { sortAfterBuild(state, kNameColumn); }
BENCHMARK(BM_SortByText1M)->Arg(1)->Arg(-1)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
