// Grouping speed: 1,000,000 orbits against a 1,000-stream list by R-vg and by D', the sol
// sweep against the straightforward loops (the grouping tests' oracle) in the same run.
#include <benchmark/benchmark.h>

#include "grouping_reference.h"
#include "mdb/schema.h"
#include "platform/feedback.h"
#include "platform/scripted_ui.h"
#include "random_streams.h"
#include "stream_db.h"
#include "streams/stream_grouping.h"
#include "table/links.h"

namespace {

constexpr int kStreams = 1000;
constexpr int kOrbitsPerStream = 1000;

StreamDb& catalogue()
{
    static StreamDb* mdb = [] {
        auto* built = new StreamDb;
        fillRandomStreams(*built, 20261208, kStreams, kOrbitsPerStream);
        return built;
    }();
    return *mdb;
}

int links(const Database& db)
{
    int count = 0;
    for (int row = 0; row < db.streams.count(); ++row)
        count += db.streams.isLive(row) ? db.streams.cell(row, col::Stream::SO)->integer : 0;
    return count;
}

template <typename Run> void runGrouping(benchmark::State& state, Run run)
{
    ScopedScriptedUi ui;
    Database& db = catalogue().db();
    for (auto _ : state) {
        for (int i = 0; i < kStreams; ++i)
            ui->answerOk();
        run(db);
    }
    state.counters["orbits"] = static_cast<double>(db.orbits.count());
    state.counters["links"] = links(db);
}

const GroupingOptions kRvg{1, 1, 1, false, false, false};
const GroupingOptions kDprime{1, 1, 1, false, true, false};

void BM_RvgSweep(benchmark::State& state)
{
    NoFeedback quiet;
    runGrouping(state, [&](Database& db) { (void)groupRvgAll(db, kRvg, quiet); });
}

void BM_RvgStraightLoop(benchmark::State& state)
{
    runGrouping(state, [](Database& db) { referenceGroupRvgAll(db, kRvg); });
}

void BM_DprimeSweep(benchmark::State& state)
{
    NoFeedback quiet;
    runGrouping(state, [&](Database& db) { (void)groupDprimeAll(db, kDprime, quiet); });
}

void BM_DprimeStraightLoop(benchmark::State& state)
{
    runGrouping(state, [](Database& db) { (void)referenceGroupDprimeAll(db, kDprime); });
}

} // namespace

BENCHMARK(BM_RvgSweep)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RvgStraightLoop)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DprimeSweep)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DprimeStraightLoop)->Unit(benchmark::kMillisecond)->Iterations(1);
