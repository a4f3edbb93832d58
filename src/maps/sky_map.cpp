// Drawing the sky map in its order.
#include "maps/sky_map.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "astro/frames.h"
#include "maps/bitmap_font.h"
#include "maps/canvas.h"
#include "maps/map_layers.h"
#include "maps/selection_summary.h"
#include "orbits/selection_conditions.h"
#include "streams/stream_grouping.h"

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kOtherOrbitColor{112, 112, 0};
constexpr int kLegendLeftFromRight = 45;
constexpr int kLegendLabelFromRight = 28;
constexpr double kAverageStepDeg = 365.25 / 360.0;
constexpr int kDirectionMarker = 9;
constexpr int kLegendBottom = 20 + 2 * kVelocityColors;
constexpr int kLegendTitleChars = 8;

struct PlotItem {
    Pixel pixel;
    Rgb color;
    bool drawn = false;
};

void drawGrid(Canvas& canvas, const SkyProjector& project)
{
    canvas.setColor(kGridColor);
    for (int ra = 10; ra <= 350; ra += 10)
        for (int dec = -80; dec <= 80; ++dec)
            plotSky(canvas, project, ra, dec);
    for (int dec = -80; dec <= 80; dec += 10)
        if (dec != 0)
            for (int ra = 0; ra < 360; ++ra)
                plotSky(canvas, project, ra, dec);
    for (int ra = 90; ra <= 270; ra += 90)
        for (double dec = 80; dec <= 89.5; dec += 0.5)
            plotSky(canvas, project, ra, dec);
    canvas.setColor(kZeroMeridianColor);
    for (int dec = -90; dec <= 90; ++dec)
        plotSky(canvas, project, 0, dec);
    canvas.setColor(kEquatorColor);
    for (int ra = 0; ra < 360; ++ra)
        plotSky(canvas, project, ra, 0);
}

void drawStars(Canvas& canvas, const SkyProjector& project, const StarCatalogue& stars,
               double magLimit)
{
    for (const Star& star : stars)
        if (star.mag <= magLimit)
            if (const std::optional<Pixel> p = project(star.raDeg, star.decDeg))
                drawStar(canvas, p->x, p->y, star.mag, magLimit);
}

void drawMarkedDirection(Canvas& canvas, const SkyProjector& project, SkyPoint direction, Rgb color,
                         const char* label, bool withLabel)
{
    canvas.setColor(color);
    const std::optional<Pixel> p = project(direction.lonDeg, direction.latDeg);
    if (!p)
        return;
    canvas.plotMarker(p->x, p->y, kDirectionMarker);
    if (withLabel)
        labelAt(canvas, *p, 5, 0, label, kDirectionMarker);
}

void drawApex(Canvas& canvas, const SkyProjector& project, const SkyMapView& view,
              const MapScene& scene)
{
    canvas.setColor(kEclipticColor);
    drawSunPath(canvas, project, scene.conditions.dlg_Y);
    drawMarkedDirection(canvas, project, scene.inputs.apex, kApexColor, "apex", view.text);
    drawMarkedDirection(canvas, project, scene.inputs.antiHelion, kEclipticColor, "anti-helion",
                        view.text);
}

void drawStream(Canvas& canvas, const SkyProjector& project, const MapStream& stream,
                SkyPoint centre, bool withLabel)
{
    drawDottedCircle(canvas, project, centre, radiusLimit(stream.R, 1.0));
    if (withLabel)
        if (const std::optional<Pixel> p = project(centre.lonDeg, centre.latDeg))
            if (canvas.inside(p->x, p->y))
                labelAt(canvas, *p, 2, 0, stream.code);
    drawStreamDriftPath(canvas, project, stream);
}

void drawStreams(Canvas& canvas, const SkyProjector& project, const SkyMapView& view,
                 const MapInputs& inputs)
{
    for (const MapStream& stream : inputs.streams) {
        const bool active = view.streams && solInWindow(static_cast<float>(inputs.referenceSolDeg),
                                                        stream.sol1, stream.sol2);
        if (active) {
            canvas.setColor(kWhite);
            drawStream(canvas, project, stream, streamRadiantAt(stream, inputs.referenceSolDeg),
                       view.text);
        } else if (view.otherStreams) {
            canvas.setColor(view.streams ? kStarColor : kWhite);
            drawStream(canvas, project, stream, {stream.ra, stream.dec}, view.text);
        }
    }
}

void drawAverage(Canvas& canvas, const SkyProjector& project, const MapAverages& avr)
{
    canvas.setColor(kRed);
    markSky(canvas, project, avr.raDeg, avr.decDeg, 12);
    drawDottedCircle(canvas, project, {avr.raDeg, avr.decDeg}, avr.mR);
    double rate = 0;
    double angle = 0;
    RelativePosition(avr.decDeg, avr.driftRaDeg, avr.driftDecDeg, rate, angle);
    const int steps = solRangeSteps(avr.sol1Deg, avr.sol2Deg, kAverageStepDeg);
    for (int step = 0; step < steps; ++step) {
        const double sol = avr.sol1Deg + step * kAverageStepDeg;
        double dSol = std::fmod(sol - avr.solDeg, 360.0);
        if (dSol > 180)
            dSol -= 360;
        else if (dSol <= -180)
            dSol += 360;
        SkyPoint p;
        OffsetPoint(avr.raDeg, avr.decDeg, angle, rate * dSol, p.lonDeg, p.latDeg);
        plotSky(canvas, project, p.lonDeg, p.latDeg);
    }
}

void drawLegend(Canvas& canvas, const VgCondition& window, int offset)
{
    const int left = canvas.maxX() - kLegendLeftFromRight;
    for (int v = 0; v < kVelocityColors; ++v) {
        canvas.setColor(velocityColor(v, window, offset));
        const int top = 20 + 2 * v;
        for (int row = top; row < top + 2; ++row)
            for (int x = left; x < left + 15; ++x)
                canvas.plotPoint(x, canvas.maxY() - row);
    }
    canvas.labels().record({std::min(left, canvas.maxX() + 1 - kLegendTitleChars * kGlyphAdvance),
                            0, canvas.maxX(), kLegendBottom},
                           BoxKind::Legend, "legend");
    canvas.setColor(kWhite);
    const std::pair<int, const char*> labels[] = {{0, "Vg(km/s)"}, {16, "-  0.0"},  {46, "- 15.0"},
                                                  {76, "- 30.0"},  {106, "- 45.0"}, {136, "- 60.0"},
                                                  {166, "- 75.0"}};
    for (const auto& [top, text] : labels)
        canvas.drawTextAt(canvas.maxX() - kLegendLabelFromRight, top, text, TextAlign::Right);
}

} // namespace

GnomonicProjection skyMapProjection(const SkyMapView& view, const Canvas& canvas)
{
    return GnomonicProjection(view.raDeg, view.decDeg, view.rotDeg, view.fieldDeg,
                              canvas.areaHeight(), canvas.maxX(), canvas.maxY());
}

std::optional<Rgb> skyRadiantColor(const MapOrbit& orbit, const SkyMapView& view,
                                   const VgCondition& window)
{
    if (isSelectedMark(orbit.sel)) {
        if (view.orbits)
            return view.color ? velocityColor(orbit.vg, window, view.colorOffset) : kYellow;
        // A selected orbit is not one of "the other orbits".
        return std::nullopt;
    }
    if (view.otherOrbits && orbit.sourceInUse)
        return kOtherOrbitColor;
    return std::nullopt;
}

void drawSkyRadiants(Canvas& canvas, const GnomonicProjection& projection, const SkyMapView& view,
                     const MapInputs& inputs)
{
    // Projection and colour on both cores; the pixels in row order on one,
    // so that a later radiant covers an earlier one as in a plain loop.
    std::vector<PlotItem> items(inputs.orbits.size());
    parallelSlices(items.size(), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const MapOrbit& orbit = inputs.orbits[i];
            const std::optional<Rgb> color = skyRadiantColor(orbit, view, inputs.vgWindow);
            if (!color)
                continue;
            if (const std::optional<Pixel> p = projection.project(orbit.ra, orbit.dec))
                items[i] = {*p, *color, true};
        }
    });
    for (const PlotItem& item : items)
        if (item.drawn) {
            canvas.setColor(item.color);
            canvas.plotPoint(item.pixel.x, item.pixel.y);
        }
}

std::uint32_t drawSkyDensity(Canvas& canvas, const GnomonicProjection& projection,
                             const SkyMapView& view, const MapInputs& inputs)
{
    const DensityGrid grid = countDirections(inputs.orbits.size(), view.density.cellDeg,
                                             [&](std::size_t i) -> std::optional<SkyPoint> {
                                                 const MapOrbit& orbit = inputs.orbits[i];
                                                 if (!skyRadiantColor(orbit, view, inputs.vgWindow))
                                                     return std::nullopt;
                                                 return SkyPoint{orbit.ra, orbit.dec};
                                             });
    drawDensity(canvas, grid, view.density.logScale,
                [&projection](int y, std::vector<std::optional<SkyPoint>>& row) {
                    for (std::size_t x = 0; x < row.size(); ++x)
                        row[x] = projection.inverse(static_cast<double>(x), y);
                });
    return grid.maxCount();
}

void renderSkyMap(Canvas& canvas, const SkyMapView& view, const MapScene& scene)
{
    canvas.clear();
    const GnomonicProjection projection = skyMapProjection(view, canvas);
    const SkyProjector project = [&projection](double lon, double lat) {
        return projection.project(lon, lat);
    };
    if (view.axis)
        drawGrid(canvas, project);
    if (view.stars)
        drawStars(canvas, project, scene.stars, view.magLimit);
    if (view.apex)
        drawApex(canvas, project, view, scene);
    std::uint32_t densityMax = 0;
    if ((view.orbits || view.otherOrbits) && view.density.on)
        densityMax = drawSkyDensity(canvas, projection, view, scene.inputs);
    else if (view.orbits || view.otherOrbits)
        drawSkyRadiants(canvas, projection, view, scene.inputs);
    if (view.streams || view.otherStreams)
        drawStreams(canvas, project, view, scene.inputs);
    if (view.average && scene.inputs.averages)
        drawAverage(canvas, project, *scene.inputs.averages);
    if ((view.orbits || view.otherOrbits) && view.density.on)
        drawDensityLegend(canvas, densityMax, view.density.logScale);
    else if (!canvas.blackAndWhite() && view.color && (view.orbits || view.otherOrbits))
        drawLegend(canvas, scene.inputs.vgWindow, view.colorOffset);
    std::optional<ScreenBox> droppedNote;
    if (view.text) {
        droppedNote = reserveDroppedNote(canvas, 2, canvas.maxY() + 1 - Canvas::kTextLineHeight);
        canvas.setColor(kWhite);
        drawSelectionPanel(canvas,
                           selectionSummaryLines(scene.conditions, scene.inputs, view.average));
    }
    placeLabels(canvas, droppedNote);
}
