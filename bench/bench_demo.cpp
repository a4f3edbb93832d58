// "orvantella-batch demo" on the demo database, end to end (copy, start, grouping, clustering,
// selection, maps, save, report), against a plain load of the same database in the same run.
#include <benchmark/benchmark.h>

#include "app/settings.h"
#include "mdb/database.h"
#include "mdb/database_store.h"
#include "pages/demo_analysis.h"
#include "platform/feedback.h"
#include "platform/scripted_ui.h"
#include "support/bench_support.h"

namespace {

const std::string kData = ORVANTELLA_SOURCE_DIR "/data";

std::string demoMdb() { return kData + "/" + kDemoMdbFolder; }

void BM_LoadDemoDatabase(benchmark::State& state)
{
    ScopedScriptedUi quiet;
    for (auto _ : state) {
        Database db;
        loadAll(db, demoMdb(), Settings{}.dlg_Y);
        benchmark::DoNotOptimize(db.orbits.count());
    }
}
BENCHMARK(BM_LoadDemoDatabase)->Unit(benchmark::kMillisecond);

void BM_Demo(benchmark::State& state)
{
    ScratchFolder folder("demo");
    NoFeedback none;
    for (auto _ : state) {
        const std::optional<DemoResult> result = runDemo(demoMdb(), folder.str(), kData, none);
        if (!result || !writeDemoReport(*result, folder.str()))
            state.SkipWithError("the demo failed");
    }
}
BENCHMARK(BM_Demo)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
