// Redrawing the three maps over a million orbits, all selected and listed,
// against a plain serial loop over the same layer in the same run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "app/app_context.h"
#include "app/engine_params.h"
#include "app/settings.h"
#include "astro/planets.h"
#include "maps/canvas.h"
#include "maps/map_inputs.h"
#include "maps/orbit_map.h"
#include "maps/radiant_map.h"
#include "maps/sky_map.h"
#include "mdb/schema.h"

namespace {

constexpr int kOrbits = 1000000;
constexpr int kWidth = 1200;
constexpr int kHeight = 900;
constexpr int kDrawnOrbits = 40000;

const MapInputs& millionOrbits()
{
    static const MapInputs inputs = [] {
        MapInputs made;
        std::mt19937 random(20261208);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        made.orbits.resize(kOrbits);
        for (int i = 0; i < kOrbits; ++i) {
            MapOrbit& o = made.orbits[static_cast<std::size_t>(i)];
            o.oid = 100001u + static_cast<std::uint32_t>(i);
            o.row = i;
            o.sel = 1;
            o.sol = 360 * unit(random);
            o.ra = 360 * unit(random);
            o.dec = 180 * unit(random) - 90;
            o.vg = 11 + 60 * unit(random);
            o.vs = 20 + 30 * unit(random);
            o.a = 0.8f + 4 * unit(random);
            o.e = 0.95f * unit(random);
            o.peri = 360 * unit(random);
            o.node = 360 * unit(random);
            o.incl = 180 * unit(random);
            made.listed.push_back(i);
        }
        made.orbitRows = kOrbits;
        return made;
    }();
    return inputs;
}

const StarCatalogue& shippedStars()
{
    static const StarCatalogue stars = loadStarCatalogue(
        (std::filesystem::path(__FILE__).parent_path().parent_path() / "data").string());
    return stars;
}

Settings benchSettings()
{
    Settings s;
    s.sm_star = 1;
    s.r_star = 1;
    s.om_maxl = kDrawnOrbits;
    return s;
}

void BM_SkyMapRedraw(benchmark::State& state)
{
    const Settings settings = benchSettings();
    const SelectionConditions conditions = selectionConditionsOf(settings);
    const MapScene scene{conditions, millionOrbits(), shippedStars()};
    Canvas canvas(kWidth, kHeight, false);
    for (auto _ : state)
        renderSkyMap(canvas, skyMapView(settings), scene);
}
BENCHMARK(BM_SkyMapRedraw)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// Baseline: the radiants alone, projected and plotted one after another.
void BM_SkyRadiantsSerialLoop(benchmark::State& state)
{
    const Settings settings = benchSettings();
    const MapInputs& inputs = millionOrbits();
    const SkyMapView view = skyMapView(settings);
    Canvas canvas(kWidth, kHeight, false);
    for (auto _ : state) {
        const GnomonicProjection projection = skyMapProjection(view, canvas);
        for (const MapOrbit& orbit : inputs.orbits)
            if (const std::optional<Rgb> color = skyRadiantColor(orbit, view, inputs.vgWindow))
                if (const std::optional<Pixel> p = projection.project(orbit.ra, orbit.dec)) {
                    canvas.setColor(*color);
                    canvas.plotPoint(p->x, p->y);
                }
    }
}
BENCHMARK(BM_SkyRadiantsSerialLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RadiantMapRedraw(benchmark::State& state)
{
    const Settings settings = benchSettings();
    const SelectionConditions conditions = selectionConditionsOf(settings);
    const MapScene scene{conditions, millionOrbits(), shippedStars()};
    Canvas canvas(kWidth, kHeight, false);
    for (auto _ : state)
        renderRadiantMap(canvas, radiantMapView(settings), scene, std::nullopt);
}
BENCHMARK(BM_RadiantMapRedraw)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_RadiantMarkersSerialLoop(benchmark::State& state)
{
    const Settings settings = benchSettings();
    const MapInputs& inputs = millionOrbits();
    const RadiantMapView view = radiantMapView(settings);
    Canvas canvas(kWidth, kHeight, false);
    for (auto _ : state) {
        const SinusoidalProjection projection = radiantMapProjection(view, canvas);
        for (const MapOrbit& orbit : inputs.orbits) {
            const SkyPoint p = toRadiantFrame(view.frame, orbit.ra, orbit.dec, orbit.sol);
            if (const std::optional<Pixel> pixel = projection.project(p.lonDeg, p.latDeg)) {
                canvas.setColor(radiantColor(orbit, view, inputs.vgWindow, false));
                canvas.plotMarkerTrueColor(pixel->x, pixel->y, view.markerSize);
            }
        }
    }
}
BENCHMARK(BM_RadiantMarkersSerialLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OrbitMapRedraw(benchmark::State& state)
{
    const Settings settings = benchSettings();
    const SelectionConditions conditions = selectionConditionsOf(settings);
    const MapScene scene{conditions, millionOrbits(), shippedStars()};
    const PlanetTrackSet tracks = PlanetTracks(settings.dlg_Y, settings.dlg_M, settings.dlg_D);
    Canvas canvas(kWidth, kHeight, false);
    for (auto _ : state)
        renderOrbitMap(canvas, orbitMapView(settings), scene, tracks);
}
BENCHMARK(BM_OrbitMapRedraw)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_OrbitOutlinesSerialLoop(benchmark::State& state)
{
    const Settings settings = benchSettings();
    const MapInputs& inputs = millionOrbits();
    const OrbitMapView view = orbitMapView(settings);
    Canvas canvas(kWidth, kHeight, false);
    for (auto _ : state) {
        bool limit = false;
        const OrbitCamera camera = orbitMapCamera(view, canvas);
        for (int index : drawnSelectedOrbits(inputs, view.maxLines, limit)) {
            const MapOrbit& o = inputs.orbits[static_cast<std::size_t>(index)];
            OutlinePoints points;
            if (orbitOutlinePoints(o, points))
                for (const Vec3& point : points)
                    if (const std::optional<Pixel> p = camera.project(point))
                        canvas.plotPoint(p->x, p->y);
        }
    }
}
BENCHMARK(BM_OrbitOutlinesSerialLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

// Filling the maps' inputs from a million orbit rows, as a repaint request
// does; the Orbit page's list in row order (0) or sorted the other way round (1).
void BM_GatherInputsFromTables(benchmark::State& state)
{
    const bool reversed = state.range(0) != 0;
    const int rows = static_cast<int>(millionOrbits().orbits.size());
    AppContext app;
    app.db = std::make_unique<Database>();
    const int source = app.db->dsids.addRow();
    app.db->dsids.cell(source, col::Dsid::DSID)->number = 1;
    app.db->dsids.cell(source, col::Dsid::use)->number = 1;
    app.db->sources.markInUse();
    for (const MapOrbit& orbit : millionOrbits().orbits) {
        const int row = app.db->orbits.addRow();
        app.db->orbits.cell(row, col::Orbit::OID)->number = 100000 + (orbit.oid % 100000);
        app.db->orbits.cell(row, col::Orbit::ra)->real = orbit.ra;
        app.db->orbits.cell(row, col::Orbit::dec)->real = orbit.dec;
        app.db->orbits.setInteger(row, reversed ? rows - 1 - row : row, col::Orbit::dline);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(mapInputsFromTables(app.db.get(),
                                                     selectionConditionsOf(app.settings),
                                                     app.selection, app.currentStreamRow)
                                     .orbits.data());
}
BENCHMARK(BM_GatherInputsFromTables)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
