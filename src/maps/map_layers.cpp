// Shared map layers and limits.
#include "maps/map_layers.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

#include "astro/frames.h"
#include "maps/canvas.h"

namespace {

constexpr double kDriftStepDeg = 360.0 / 365.0;

} // namespace

void plotSky(Canvas& canvas, const SkyProjector& project, double lonDeg, double latDeg)
{
    if (const std::optional<Pixel> p = project(lonDeg, latDeg))
        canvas.plotPoint(p->x, p->y);
}

void markSky(Canvas& canvas, const SkyProjector& project, double lonDeg, double latDeg, int size)
{
    if (const std::optional<Pixel> p = project(lonDeg, latDeg))
        canvas.plotMarker(p->x, p->y, size);
}

void drawDottedCircle(Canvas& canvas, const SkyProjector& project, SkyPoint centre,
                      double radiusDeg)
{
    for (int pa = 0; pa < 360; pa += 10) {
        SkyPoint point;
        OffsetPoint(centre.lonDeg, centre.latDeg, pa, radiusDeg, point.lonDeg, point.latDeg);
        plotSky(canvas, project, point.lonDeg, point.latDeg);
        plotSky(canvas, project, 2 * centre.lonDeg - point.lonDeg, point.latDeg);
    }
}

int solRangeSteps(double sol1Deg, double sol2Deg, double stepDeg)
{
    const double end = sol2Deg < sol1Deg ? sol2Deg + 360.0 : sol2Deg;
    if (!std::isfinite(sol1Deg) || !std::isfinite(end))
        return 0;
    const double span = std::min(end - sol1Deg, 360.0);
    return static_cast<int>(std::floor(span / stepDeg)) + 1;
}

void drawStreamDriftPath(Canvas& canvas, const SkyProjector& project, const MapStream& stream)
{
    const int steps = solRangeSteps(stream.sol1, stream.sol2, kDriftStepDeg);
    for (int step = 0; step < steps; ++step) {
        const double sol = stream.sol1 + step * kDriftStepDeg;
        const SkyPoint p = streamRadiantAt(stream, std::fmod(sol, 360.0));
        plotSky(canvas, project, p.lonDeg, p.latDeg);
    }
}

void drawSunPath(Canvas& canvas, const SkyProjector& project, int year)
{
    thread_local SunDailyPath path;
    path.fillFor(year);
    for (int day = 0; day < SunDailyPath::kDays; ++day)
        plotSky(canvas, project, path.raDeg()[static_cast<std::size_t>(day)],
                path.decDeg()[static_cast<std::size_t>(day)]);
}

double wrap360(double deg, double fallback)
{
    if (!std::isfinite(deg))
        return fallback;
    double wrapped = std::fmod(deg, 360.0);
    if (wrapped < 0)
        wrapped += 360.0;
    return wrapped >= 360.0 ? 0.0 : wrapped;
}

double clampOr(double value, double low, double high, double fallback)
{
    return std::isfinite(value) ? std::clamp(value, low, high) : fallback;
}

int wrapInt(int value, int low, int high)
{
    const long long span = static_cast<long long>(high) - low + 1;
    long long offset = (static_cast<long long>(value) - low) % span;
    if (offset < 0)
        offset += span;
    return static_cast<int>(low + offset);
}

void parallelSlices(std::size_t count, const std::function<void(std::size_t, std::size_t)>& work,
                    std::size_t minimum)
{
    const unsigned cores = std::max(1u, std::min(2u, std::thread::hardware_concurrency()));
    if (count < std::max<std::size_t>(minimum, 2) || cores < 2) {
        work(0, count);
        return;
    }
    const std::size_t half = count / 2;
    std::thread other(work, half, count);
    work(0, half);
    other.join();
}
