// Painting a 1600 x 1000 map with every star of the shipped catalogue,
// against clearing the same canvas alone.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "maps/bmp_writer.h"
#include "maps/canvas.h"
#include "maps/star_catalogue.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;
constexpr double kFaintestShipped = 8.0; // every star of the catalogue is brighter

const StarCatalogue& shippedStars()
{
    static const StarCatalogue stars = loadStarCatalogue(
        (std::filesystem::path(__FILE__).parent_path().parent_path() / "data").string());
    return stars;
}

// Plate carree: ra right to left over the width, dec bottom to top.
void paintStars(Canvas& canvas, const StarCatalogue& stars)
{
    for (const Star& star : stars) {
        const int x = static_cast<int>((360.0 - star.raDeg) / 360.0 * canvas.maxX());
        const int y = static_cast<int>((star.decDeg + 90.0) / 180.0 * canvas.maxY());
        drawStar(canvas, x, y, star.mag, kFaintestShipped);
    }
}

void BM_ClearCanvas(benchmark::State& state)
{
    Canvas canvas(kWidth, kHeight, false);
    for (auto _ : state) {
        canvas.clear();
        benchmark::DoNotOptimize(canvas.rgbData());
    }
}
BENCHMARK(BM_ClearCanvas)->Unit(benchmark::kMillisecond);

void BM_PaintAllStars(benchmark::State& state)
{
    const StarCatalogue& stars = shippedStars();
    Canvas canvas(kWidth, kHeight, false);
    for (auto _ : state) {
        canvas.clear();
        paintStars(canvas, stars);
        benchmark::DoNotOptimize(canvas.rgbData());
    }
    state.counters["stars"] = static_cast<double>(stars.size());
}
BENCHMARK(BM_PaintAllStars)->Unit(benchmark::kMillisecond);

void BM_PaintAllStarsBlackAndWhite(benchmark::State& state)
{
    const StarCatalogue& stars = shippedStars();
    Canvas canvas(kWidth, kHeight, true);
    for (auto _ : state) {
        canvas.clear();
        paintStars(canvas, stars);
        benchmark::DoNotOptimize(canvas.rgbData());
    }
}
BENCHMARK(BM_PaintAllStarsBlackAndWhite)->Unit(benchmark::kMillisecond);

void BM_EncodeBmp(benchmark::State& state)
{
    Canvas canvas(kWidth, kHeight, false);
    paintStars(canvas, shippedStars());
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeBmp(canvas));
}
BENCHMARK(BM_EncodeBmp)->Unit(benchmark::kMillisecond);

} // namespace
