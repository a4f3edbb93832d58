// Drawing the orbit map in its order.
#include "maps/orbit_map.h"

#include <array>
#include <cmath>
#include <thread>

#include "astro/angles.h"
#include "maps/canvas.h"
#include "maps/map_layers.h"
#include "maps/selection_summary.h"
#include "orbits/selection_conditions.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kKeplerToleranceRad = 0.00001 * kDegToRad;
constexpr int kMaxKeplerSteps = 50;
constexpr double kSeriesLimitRad = 0.5;
constexpr double kShortSeriesLimitRad = 0.002;
// Outlines are heavy: a second core pays off from a few dozen.
constexpr std::size_t kOutlinesForTwoCores = 32;
constexpr double kBackgroundFieldDeg = 90.0;
constexpr double kBackgroundMagLimit = 4.7;
constexpr double kMinAxisAu = 0.1;
constexpr Rgb kFirstAxisColor{255, 160, 160};
constexpr Rgb kAxisColor{192, 96, 96};
constexpr Rgb kPlanetTrackColor{0, 160, 255};
constexpr Rgb kSelectedOrbitColor{176, 176, 0};
constexpr Rgb kStreamOrbitColor{0, 255, 0};
constexpr Rgb kAverageColor{255, 0, 0};
constexpr std::array<int, kPlanetCount> kPlanetSizes{4, 5, 9, 6, 9, 8, 6, 6, 5};
constexpr std::array<Rgb, kPlanetCount> kPlanetColors{
    kWhite,     kYellow,    kApexColor,    Rgb{255, 0, 0},    kStarColor,
    kStarColor, kStarColor, kEquatorColor, kZeroMeridianColor};

void plotSpace(Canvas& canvas, const OrbitCamera& camera, const Vec3& point)
{
    if (const std::optional<Pixel> p = camera.project(point))
        canvas.plotPoint(p->x, p->y);
}

void markSpace(Canvas& canvas, const OrbitCamera& camera, const Vec3& point, int size)
{
    if (const std::optional<Pixel> p = camera.project(point))
        canvas.plotMarker(p->x, p->y, size);
}

// An angle held as its cosine and sine, turned by small angles without a
// call to the library: the outline's anomalies advance in small steps.
struct Turning {
    double c = 1.0;
    double s = 0.0;

    void turnBy(double x)
    {
        double cx = 0;
        double sx = 0;
        if (std::fabs(x) < kShortSeriesLimitRad) {
            // Newton's corrections: three terms are exact to 1e-19.
            const double x2 = x * x;
            cx = 1 - x2 * (1.0 / 2) * (1 - x2 * (1.0 / 12));
            sx = x * (1 - x2 * (1.0 / 6) * (1 - x2 * (1.0 / 20)));
        } else if (std::fabs(x) < kSeriesLimitRad) {
            // Taylor terms to x^12 / 12!: below 1e-16 for |x| < 0.5. The
            // factors are reciprocals: a division costs ten multiplications.
            const double x2 = x * x;
            cx = 1 -
                 x2 * (1.0 / 2) *
                     (1 - x2 * (1.0 / 12) *
                              (1 - x2 * (1.0 / 30) *
                                       (1 - x2 * (1.0 / 56) *
                                                (1 - x2 * (1.0 / 90) * (1 - x2 * (1.0 / 132))))));
            sx = x * (1 - x2 * (1.0 / 6) *
                              (1 - x2 * (1.0 / 20) *
                                       (1 - x2 * (1.0 / 42) *
                                                (1 - x2 * (1.0 / 72) *
                                                         (1 - x2 * (1.0 / 110) *
                                                                  (1 - x2 * (1.0 / 156)))))));
        } else {
            cx = std::cos(x);
            sx = std::sin(x);
        }
        const double turnedC = c * cx - s * sx;
        s = s * cx + c * sx;
        c = turnedC;
    }
};

// Kepler's equation E - e sin E = m (radians) by Newton steps from ecc, whose
// cosine and sine `angle` holds; both move to the solution.
void solveKepler(double m, double e, double& ecc, Turning& angle)
{
    for (int step = 0; step < kMaxKeplerSteps; ++step) {
        const double slope = 1.0 - e * angle.c;
        const double delta = (ecc - e * angle.s - m) / slope;
        // Newton's step leaves an error of about e sin E / (2 slope) delta^2:
        // once that is far below the tolerance, the next step is not needed.
        const double left = std::fabs(e * angle.s) / (2 * slope) * delta * delta;
        ecc -= delta;
        angle.turnBy(-delta);
        if (std::fabs(delta) <= kKeplerToleranceRad || left <= kKeplerToleranceRad / 100)
            return;
    }
}

bool drawable(const MapOrbit& orbit) { return isSelectedMark(orbit.sel) && orbit.e < 1.0f; }

void drawBackground(Canvas& canvas, const OrbitMapView& view, const MapScene& scene)
{
    const GnomonicProjection sky(view.raDeg, view.decDeg, view.rotDeg, kBackgroundFieldDeg,
                                 canvas.areaHeight(), canvas.maxX(), canvas.maxY());
    if (view.stars)
        for (const Star& star : scene.stars)
            if (star.mag <= kBackgroundMagLimit)
                if (const std::optional<Pixel> p = sky.project(star.raDeg, star.decDeg))
                    drawStar(canvas, p->x, p->y, star.mag, kBackgroundMagLimit);
    if (!view.axis)
        return;
    canvas.setColor(kGridColor);
    for (int ra = 0; ra < 360; ra += 10)
        for (int dec = -80; dec <= 80; ++dec)
            if (const std::optional<Pixel> p = sky.project(ra, dec))
                canvas.plotPoint(p->x, p->y);
    for (int dec = -80; dec <= 80; dec += 10)
        for (int ra = 0; ra < 360; ++ra)
            if (const std::optional<Pixel> p = sky.project(ra, dec))
                canvas.plotPoint(p->x, p->y);
}

void drawAxes(Canvas& canvas, const OrbitCamera& camera)
{
    const double d = camera.distance();
    const double length = std::max(d, kMinAxisAu);
    const double step = length / 200;
    for (int k = 0; k * step <= length; ++k) {
        canvas.setColor(kFirstAxisColor);
        plotSpace(canvas, camera, {k * step, 0, 0});
        canvas.setColor(kAxisColor);
        plotSpace(canvas, camera, {0, 0, k * step});
    }
    canvas.setColor(kAxisColor);
    for (int k = 0; - length + k * 4 * step < 0; ++k) {
        const double r = -length + k * 4 * step;
        for (const Vec3& p : {Vec3{r, 0, 0}, Vec3{0, r, 0}, Vec3{0, -r, 0}, Vec3{0, 0, r}})
            plotSpace(canvas, camera, p);
    }
    canvas.setColor(kFirstAxisColor);
    markSpace(canvas, camera, {d, 0, 0}, 12);
    markSpace(canvas, camera, {-d, 0, 0}, 12);
    canvas.setColor(kAxisColor);
    for (const Vec3& p : {Vec3{0, d, 0}, Vec3{0, -d, 0}, Vec3{0, 0, d}, Vec3{0, 0, -d}})
        markSpace(canvas, camera, p, 12);
}

void drawPlanets(Canvas& canvas, const OrbitCamera& camera, const PlanetTrackSet& tracks,
                 const SelectionConditions& s)
{
    canvas.setColor(kPlanetTrackColor);
    for (const PlanetTrack& track : tracks)
        if (track.a < camera.distance())
            for (const Vec3& point : track.points)
                plotSpace(canvas, camera, point);
    canvas.setColor(kYellow);
    canvas.plotMarker(canvas.maxX() / 2, canvas.maxY() / 2, 9);
    for (int body = 0; body < kPlanetCount; ++body)
        if (body != kEarth && tracks[static_cast<std::size_t>(body)].a < camera.distance()) {
            canvas.setColor(kPlanetColors[static_cast<std::size_t>(body)]);
            markSpace(canvas, camera, PlanetPosition(body, s.dlg_Y, s.dlg_M, s.dlg_D, 12, 0, 0),
                      kPlanetSizes[static_cast<std::size_t>(body)]);
        }
}

void drawAverageOrbit(Canvas& canvas, const OrbitCamera& camera, const MapAverages& avr)
{
    canvas.setColor(kAverageColor);
    MapOrbit orbit;
    orbit.node = static_cast<float>(avr.node);
    orbit.peri = static_cast<float>(avr.peri);
    orbit.incl = static_cast<float>(avr.incl);
    orbit.a = static_cast<float>(avr.a);
    orbit.e = static_cast<float>(avr.e);
    OutlinePoints points;
    if (orbitOutlinePoints(orbit, points))
        for (const Vec3& point : points)
            plotSpace(canvas, camera, point);
}

void drawText(Canvas& canvas, const OrbitMapView& view, const MapScene& scene, bool limitReached)
{
    canvas.setColor(kWhite);
    drawSelectionSummary(canvas, scene.conditions, scene.inputs, view.average);
    if (limitReached)
        canvas.drawTextAt(0, 0, " [max lines]", TextAlign::Right);
}

} // namespace

bool orbitOutlinePoints(const MapOrbit& orbit, OutlinePoints& points)
{
    const double e = orbit.e;
    if (!(e >= 0.0 && e < 1.0))
        return false;
    Vec3 p;
    Vec3 q;
    OutlineOrientation(orbit.node, orbit.peri, orbit.incl, p, q);
    const double a = orbit.a;
    const double b = a * std::sqrt(1.0 - e * e);
    const double step = kTwoPi / kOutlinePoints;
    double ecc = 0.0;
    Turning angle;
    for (int k = 0; k < kOutlinePoints; ++k) {
        if (k > 0) {
            // dE/dM = 1 / (1 - e cos E): the previous point predicts this one.
            const double m = k * step;
            const double guess = std::clamp(ecc + step / (1.0 - e * angle.c), m - e, m + e);
            angle.turnBy(guess - ecc);
            ecc = guess;
            solveKepler(m, e, ecc, angle);
        }
        points[static_cast<std::size_t>(k)] = (a * (angle.c - e)) * p + (b * angle.s) * q;
    }
    return true;
}

OrbitCamera orbitMapCamera(const OrbitMapView& view, const Canvas& canvas)
{
    return OrbitCamera(view.raDeg, view.decDeg, view.rotDeg, view.distanceAu, canvas.maxX(),
                       canvas.maxY());
}

std::vector<int> drawnSelectedOrbits(const MapInputs& inputs, int maxLines, bool& limitReached)
{
    std::vector<int> drawn;
    limitReached = false;
    for (std::size_t i = 0; i < inputs.orbits.size(); ++i) {
        const MapOrbit& orbit = inputs.orbits[i];
        if (static_cast<int>(i) == inputs.highlighted || orbit.type <= 0 || !drawable(orbit))
            continue;
        if (static_cast<int>(drawn.size()) >= maxLines) {
            limitReached = true;
            break;
        }
        drawn.push_back(static_cast<int>(i));
    }
    return drawn;
}

std::vector<int> drawnStreamOrbits(const MapInputs& inputs)
{
    std::vector<int> drawn;
    for (std::size_t i = 0; i < inputs.orbits.size(); ++i) {
        const MapOrbit& orbit = inputs.orbits[i];
        if (static_cast<int>(i) != inputs.highlighted && orbit.type == 0 && drawable(orbit))
            drawn.push_back(static_cast<int>(i));
    }
    return drawn;
}

void drawOrbitOutlines(Canvas& canvas, const OrbitCamera& camera, const MapInputs& inputs,
                       const std::vector<int>& orbits)
{
    // Every outline has the one colour, so the order of the pixels does not
    // matter: each core marks its share, and the marks are painted once.
    const std::size_t width = static_cast<std::size_t>(canvas.maxX() + 1);
    const std::size_t area = width * static_cast<std::size_t>(canvas.maxY() + 1);
    std::array<std::vector<std::uint8_t>, 2> marks;
    const auto markSlice = [&](std::size_t begin, std::size_t end) {
        std::vector<std::uint8_t>& mine = marks[begin == 0 ? 0 : 1];
        mine.assign(area, 0);
        OutlinePoints points;
        for (std::size_t i = begin; i < end; ++i) {
            if (!orbitOutlinePoints(inputs.orbits[static_cast<std::size_t>(orbits[i])], points))
                continue;
            for (const Vec3& point : points) {
                const std::optional<Pixel> p = camera.project(point);
                if (p && canvas.inside(p->x, p->y))
                    mine[static_cast<std::size_t>(p->y) * width + static_cast<std::size_t>(p->x)] =
                        1;
            }
        }
    };
    parallelSlices(orbits.size(), markSlice, kOutlinesForTwoCores);
    for (std::size_t i = 0; i < area; ++i)
        if ((!marks[0].empty() && marks[0][i]) || (!marks[1].empty() && marks[1][i]))
            canvas.plotPoint(static_cast<int>(i % width), static_cast<int>(i / width));
}

void moveOrbitHighlight(Canvas& canvas, OrbitMapFrame& frame, const MapInputs& inputs,
                        int highlighted)
{
    for (auto it = frame.underHighlight.rbegin(); it != frame.underHighlight.rend(); ++it) {
        canvas.setColor(it->second);
        canvas.plotPointTrueColor(it->first.x, it->first.y);
    }
    frame.underHighlight.clear();
    if (highlighted < 0 || static_cast<std::size_t>(highlighted) >= inputs.orbits.size())
        return;
    const MapOrbit& orbit = inputs.orbits[static_cast<std::size_t>(highlighted)];
    OutlinePoints points;
    if (!drawable(orbit) || !orbitOutlinePoints(orbit, points))
        return;
    canvas.setColor(kWhite);
    for (const Vec3& point : points)
        if (const std::optional<Pixel> p = frame.camera.project(point))
            if (canvas.inside(p->x, p->y)) {
                frame.underHighlight.push_back({*p, canvas.pixel(p->x, p->y)});
                canvas.plotPoint(p->x, p->y);
            }
}

OrbitMapFrame renderOrbitMap(Canvas& canvas, const OrbitMapView& view, const MapScene& scene,
                             const PlanetTrackSet& tracks)
{
    canvas.clear();
    OrbitMapFrame frame;
    frame.camera = orbitMapCamera(view, canvas);
    drawBackground(canvas, view, scene);
    drawAxes(canvas, frame.camera);
    drawPlanets(canvas, frame.camera, tracks, scene.conditions);
    canvas.setColor(kSelectedOrbitColor);
    drawOrbitOutlines(canvas, frame.camera, scene.inputs,
                      drawnSelectedOrbits(scene.inputs, view.maxLines, frame.maxLinesReached));
    if (view.streams) {
        canvas.setColor(kStreamOrbitColor);
        drawOrbitOutlines(canvas, frame.camera, scene.inputs, drawnStreamOrbits(scene.inputs));
    }
    moveOrbitHighlight(canvas, frame, scene.inputs, scene.inputs.highlighted);
    if (view.average && scene.inputs.averages)
        drawAverageOrbit(canvas, frame.camera, *scene.inputs.averages);
    if (view.text)
        drawText(canvas, view, scene, frame.maxLinesReached);
    canvas.setColor(kApexColor);
    const SelectionConditions& s = scene.conditions;
    markSpace(canvas, frame.camera, PlanetPosition(kEarth, s.dlg_Y, s.dlg_M, s.dlg_D, 12, 0, 0), 9);
    return frame;
}
