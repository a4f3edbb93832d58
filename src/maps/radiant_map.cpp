// Drawing the radiant map in its order.
#include "maps/radiant_map.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/frames.h"
#include "maps/bitmap_font.h"
#include "maps/canvas.h"
#include "maps/map_layers.h"
#include "orbits/selection_conditions.h"
#include "streams/stream_grouping.h"

namespace {

constexpr Rgb kOutlineColor{0, 112, 0};
constexpr Rgb kEclipticGridColor{96, 96, 0};
constexpr Rgb kStreamColor{0, 192, 255};
constexpr std::array<int, 4> kMarkerSizes{1, 10, 12, 15};
constexpr int kDirectionMarker = 9;
constexpr int kStreamMarker = 3;
constexpr int kPinMarker = 13;
constexpr int kLegendLeftFromRight = 45;
constexpr int kLegendTop = 175 + 4; // the title's top in black-and-white mode
constexpr int kLegendTitleChars = 8;
// Footer texts keep this far left of the legend.
constexpr int kLegendGap = 4;

struct PlotItem {
    Pixel pixel;
    Rgb color;
    bool drawn = false;
};

std::string formatted(const char* pattern, double a, double b)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

// Text whose top row is at canvas height y.
void textAtHeight(Canvas& canvas, int x, int y, const std::string& text)
{
    canvas.drawTextAt(x, canvas.maxY() - y, text, TextAlign::Left);
}

// A legend label from x, moved left as far as it must to end on the canvas.
void legendLabel(Canvas& canvas, int x, int y, const std::string& text)
{
    const int width = static_cast<int>(text.size()) * kGlyphAdvance;
    textAtHeight(canvas, std::min(x, canvas.maxX() + 1 - width), y, text);
}

void drawOutline(Canvas& canvas, const SinusoidalProjection& projection)
{
    canvas.setColor(kOutlineColor);
    const double g = projection.pixelsPerDegree();
    for (int lat = -90; lat <= 90; ++lat) {
        const double half = 180 * std::cos(lat * kDegToRad) * g;
        for (const double x : {projection.centreX() + half, projection.centreX() - half})
            if (const std::optional<Pixel> p = roundedPixel(x, projection.centreY() + lat * g))
                canvas.plotPoint(p->x, p->y);
    }
}

// Successive points of a grid line; in black-and-white mode joined by
// segments, except across the map's left and right edge.
class GridLine {
public:
    GridLine(Canvas& canvas, const SkyProjector& project, bool joined)
        : m_canvas(canvas), m_project(project), m_joined(joined)
    {
    }
    void to(double lon, double lat)
    {
        const std::optional<Pixel> p = m_project(lon, lat);
        if (!p) {
            m_hasLast = false;
            return;
        }
        if (m_joined && m_hasLast && std::abs(p->x - m_last.x) < m_canvas.maxX() / 2)
            m_canvas.drawLine(m_last.x, m_last.y, p->x, p->y);
        else
            m_canvas.plotPoint(p->x, p->y);
        m_last = *p;
        m_hasLast = true;
    }

private:
    Canvas& m_canvas;
    const SkyProjector& m_project;
    bool m_joined;
    Pixel m_last;
    bool m_hasLast = false;
};

void drawGrid(Canvas& canvas, const SkyProjector& project, const RadiantMapView& view)
{
    const bool equatorial = view.frame == RadiantFrame::Equatorial;
    canvas.setColor(equatorial ? kGridColor : kEclipticGridColor);
    for (int lon = 0; lon < 360; lon += 10) {
        GridLine line(canvas, project, canvas.blackAndWhite());
        for (int lat = -90; lat <= 90; ++lat)
            line.to(lon, lat);
    }
    for (int lat = -80; lat <= 80; lat += 10) {
        GridLine line(canvas, project, canvas.blackAndWhite());
        for (int lon = 0; lon <= 360; ++lon)
            line.to(lon, lat);
    }
    if (!view.text)
        return;
    canvas.setColor(equatorial ? kApexColor : kEclipticColor);
    const bool centred180 = view.lonDeg == 180;
    const std::vector<std::pair<double, const char*>> lonLabels =
        centred180 ? std::vector<std::pair<double, const char*>>{{0.01, "1"},
                                                                 {90, "90"},
                                                                 {180, "180"},
                                                                 {270, "270"},
                                                                 {359.99, "360"}}
                   : std::vector<std::pair<double, const char*>>{
                         {0, "0"}, {90, "90"}, {180, "180"}, {270, "270"}};
    for (const auto& [lon, text] : lonLabels)
        if (const std::optional<Pixel> p = project(lon, 0))
            labelAt(canvas, *p, 0, 6 + kGlyphHeight / 2, text);
    const char* latLabels[] = {"+80", "+60", "+40", "+20", "+0", "-20", "-40", "-60", "-80"};
    for (int i = 0; i < 9; ++i)
        if (const std::optional<Pixel> p = project(view.lonDeg + 179.99, 80 - 20 * i))
            labelAt(canvas, *p, 0, 0, latLabels[i]);
}

void drawStars(Canvas& canvas, const SkyProjector& project, const RadiantMapView& view,
               const StarCatalogue& stars)
{
    if (view.frame == RadiantFrame::SunCentred)
        return;
    const bool ecliptic = view.frame == RadiantFrame::Ecliptic;
    for (const Star& star : stars)
        if (star.mag <= view.magLimit)
            if (const std::optional<Pixel> p =
                    ecliptic ? project(star.lonDeg, star.latDeg) : project(star.raDeg, star.decDeg))
                drawStar(canvas, p->x, p->y, star.mag, view.magLimit);
}

void drawApex(Canvas& canvas, const SkyProjector& project, const RadiantMapView& view,
              const MapScene& scene, const RadiantMapDate& date)
{
    if (view.frame == RadiantFrame::Equatorial) {
        canvas.setColor(kEclipticColor);
        drawSunPath(canvas, project, scene.conditions.dlg_Y);
    }
    if (view.catalogueStreams)
        return;
    const std::pair<double, Rgb> directions[] = {{90, kApexColor}, {180, kEclipticColor}};
    const char* labels[] = {"apex", "anti-helion"};
    for (int i = 0; i < 2; ++i) {
        SkyPoint eq;
        EclipticPointToEquatorial(date.jd, directions[i].first, eq.lonDeg, eq.latDeg);
        const SkyPoint p = toRadiantFrame(view.frame, eq.lonDeg, eq.latDeg, date.solDeg);
        canvas.setColor(directions[i].second);
        if (const std::optional<Pixel> pixel = project(p.lonDeg, p.latDeg)) {
            canvas.plotMarker(pixel->x, pixel->y, kDirectionMarker);
            if (view.text)
                labelAt(canvas, *pixel, 0, 6 + kGlyphHeight / 2, labels[i], kDirectionMarker);
        }
    }
}

void drawCentreCross(Canvas& canvas, const SinusoidalProjection& projection)
{
    canvas.setColor(kZeroMeridianColor);
    const int x = projection.centreX();
    const int y = projection.centreY();
    for (int k = 2; k <= 4; ++k) {
        canvas.plotPoint(x + k, y);
        canvas.plotPoint(x - k, y);
        canvas.plotPoint(x, y + k);
        canvas.plotPoint(x, y - k);
    }
}

bool streamShown(const MapStream& stream, double solDeg)
{
    const double fromStart = AngleDiff(static_cast<float>(solDeg), stream.sol1);
    const double fromEnd = AngleDiff(static_cast<float>(solDeg), stream.sol2);
    return fromStart >= 0 && fromStart <= 60 && fromEnd >= -60 && fromEnd <= 0;
}

void drawStreams(Canvas& canvas, const SkyProjector& project, const RadiantMapView& view,
                 const MapInputs& inputs, const RadiantMapDate& date)
{
    canvas.setColor(kStreamColor);
    for (const MapStream& stream : inputs.streams) {
        if (!view.catalogueStreams && !streamShown(stream, date.solDeg))
            continue;
        const double sol = view.catalogueStreams ? stream.solp : date.solDeg;
        const SkyPoint eq = view.catalogueStreams ? SkyPoint{stream.ra, stream.dec}
                                                  : streamRadiantAt(stream, date.solDeg);
        const SkyPoint centre = toRadiantFrame(view.frame, eq.lonDeg, eq.latDeg, sol);
        markSky(canvas, project, centre.lonDeg, centre.latDeg, kStreamMarker);
        drawDottedCircle(canvas, project, centre, radiusLimit(stream.R, 1.0));
        if (view.text)
            if (const std::optional<Pixel> p = project(centre.lonDeg, centre.latDeg))
                labelAt(canvas, *p, 6, 0, stream.code, kStreamMarker);
    }
}

void drawLegend(Canvas& canvas, const RadiantMapView& view, const VgCondition& window)
{
    const int left = canvas.maxX() - kLegendLeftFromRight;
    const int boxLeft = std::min(left, canvas.maxX() + 1 - kLegendTitleChars * kGlyphAdvance);
    canvas.labels().record({boxLeft, canvas.maxY() - kLegendTop, canvas.maxX(), canvas.maxY()},
                           BoxKind::Legend, "legend");
    const int steps = view.byVg ? 80 : 50;
    const bool bw = canvas.blackAndWhite();
    for (int k = 0; k < steps; ++k) {
        MapOrbit sample;
        sample.vg = static_cast<float>(k);
        sample.vs = static_cast<float>(k);
        canvas.setColor(radiantColor(sample, view, window, bw));
        for (int y = 2 * k; y < 2 * k + 2; ++y)
            for (int x = left; x < left + 15; ++x)
                canvas.plotPointTrueColor(x, y);
    }
    canvas.setColor(kWhite);
    const int x = canvas.maxX() - 28;
    if (view.byVg) {
        const char* texts[] = {"-  0.0", "- 15.0", "- 30.0",  "- 45.0",
                               "- 60.0", "- 75.0", "vg(km/s)"};
        const int heights[] = {10, 40, 70, 100, 130, 160, 175};
        for (int i = 0; i < 7; ++i)
            legendLabel(canvas, x, heights[i] + (bw ? 4 : 0), texts[i]);
    } else {
        const char* texts[] = {"-  0.0", "- 10.0", "- 20.0",  "- 30.0",
                               "- 40.0", "- 50.0", "vs(km/s)"};
        const int heights[] = {14, 33, 52, 71, 90, 109, 124};
        for (int i = 0; i < 7; ++i)
            legendLabel(canvas, x, heights[i], texts[i]);
    }
}

std::string dateText(double mjd)
{
    int y = 0;
    int m = 0;
    int d = 0;
    if (!MJDToDate(mjd, y, m, d))
        return "----/--/--";
    char text[16];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", y % 10000, m, d);
    return text;
}

// A footer line at the first of these canvas heights where it keeps off the
// texts already there, the first one when none is free.
void footerLine(Canvas& canvas, int left, std::initializer_list<int> heights,
                const std::string& text)
{
    std::vector<ScreenBox> boxes;
    for (const int y : heights)
        boxes.push_back(textBox(left, canvas.maxY() - y, text));
    if (!canvas.labels().placeFirstFree(boxes, BoxKind::Footer, text))
        canvas.labels().record(boxes.front(), BoxKind::Footer, text);
    const ScreenBox& box = canvas.labels().boxes().back().box;
    canvas.drawTextAt(box.left, box.top, text, TextAlign::Left);
}

// The caption and date range at the bottom left, the map's sol left of the
// legend; returns the line for "+N labels" above them.
ScreenBox drawFooter(Canvas& canvas, const RadiantMapView& view, const MapInputs& inputs,
                     const RadiantMapDate& date)
{
    canvas.setColor(kWhite);
    const char* captions[] = {"y:dec / x:ra", "y:ecliptic_lat / x:ecliptic_lng",
                              "y:ecliptic_lat / x:ecliptic_lng - sol"};
    fixedText(canvas, 2, canvas.maxY() - 12, captions[static_cast<int>(view.frame)]);
    if (inputs.firstMjd && inputs.lastMjd)
        fixedText(canvas, 2, canvas.maxY() - 25,
                  dateText(*inputs.firstMjd) + " - " + dateText(*inputs.lastMjd));
    char text[64] = "";
    if (view.streams && !view.catalogueStreams)
        std::snprintf(text, sizeof text, "radiants sol=%.1f %02d/%02d", date.solDeg, date.month,
                      date.day);
    else if (view.apex && !view.catalogueStreams)
        std::snprintf(text, sizeof text, "apex sol=%.1f %02d/%02d", date.solDeg, date.month,
                      date.day);
    const int right = view.color
                          ? canvas.maxX() + 1 - kLegendTitleChars * kGlyphAdvance - kLegendGap
                          : canvas.maxX();
    if (text[0] != 0)
        footerLine(canvas, right + 1 - static_cast<int>(std::strlen(text)) * kGlyphAdvance,
                   {12, 25, 38, 51}, text);
    return reserveDroppedNote(canvas, 2, canvas.maxY() - 38);
}

void drawFrame(Canvas& canvas)
{
    // Any colour but black is drawn black on the white page.
    canvas.setColor(kWhite);
    const int w = canvas.maxX();
    const int h = canvas.maxY();
    canvas.drawLine(0, 0, w, 0);
    canvas.drawLine(w, 0, w, h);
    canvas.drawLine(w, h, 0, h);
    canvas.drawLine(0, h, 0, 0);
}

} // namespace

RadiantMapDate radiantMapDate(const SelectionConditions& s, int days)
{
    RadiantMapDate date;
    const double noon = DateToJD(s.dlg_Y, s.dlg_M, s.dlg_D, 12, 0, 0);
    date.jd = noon + days;
    date.solDeg = wrap360(SolarLongitude(noon) + days * kSolPerDay, 0);
    int year = 0;
    if (!MJDToDate(date.jd - kMjdToJd, year, date.month, date.day)) {
        date.month = s.dlg_M;
        date.day = s.dlg_D;
    }
    return date;
}

SinusoidalProjection radiantMapProjection(const RadiantMapView& view, const Canvas& canvas)
{
    return SinusoidalProjection(view.lonDeg, view.latDeg, view.heightDeg, canvas.maxX(),
                                canvas.maxY());
}

namespace {

const EclipticRotation& eclipticJ2000()
{
    static const EclipticRotation kJ2000(kObliquityJ2000Rad);
    return kJ2000;
}

// From ecliptic coordinates to the frame's; the equatorial frame never gets here.
SkyPoint eclipticToFrame(RadiantFrame frame, SkyPoint ecliptic, double solDeg)
{
    if (frame == RadiantFrame::SunCentred)
        ecliptic.lonDeg -= solDeg;
    ecliptic.lonDeg = wrap360(ecliptic.lonDeg, 0);
    return ecliptic;
}

const std::vector<SkyPoint>& eclipticRadiantsOf(const MapInputs& inputs)
{
    std::vector<SkyPoint>& ecliptic = inputs.eclipticRadiants;
    if (ecliptic.size() == inputs.orbits.size())
        return ecliptic;
    ecliptic.resize(inputs.orbits.size());
    parallelSlices(ecliptic.size(), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            eclipticJ2000().toEcliptic(inputs.orbits[i].ra, inputs.orbits[i].dec,
                                       ecliptic[i].lonDeg, ecliptic[i].latDeg);
    });
    return ecliptic;
}

// The radiant of inputs.orbits[i] in the frame.
SkyPoint orbitInFrame(RadiantFrame frame, const MapInputs& inputs, std::size_t i)
{
    const MapOrbit& orbit = inputs.orbits[i];
    if (frame == RadiantFrame::Equatorial)
        return {orbit.ra, orbit.dec};
    return eclipticToFrame(frame, inputs.eclipticRadiants[i], orbit.sol);
}

// Ready for orbitInFrame(), before the work is shared between the cores.
void prepareOrbitsInFrame(RadiantFrame frame, const MapInputs& inputs)
{
    if (frame != RadiantFrame::Equatorial)
        eclipticRadiantsOf(inputs);
}

} // namespace

SkyPoint toRadiantFrame(RadiantFrame frame, double raDeg, double decDeg, double solDeg)
{
    if (frame == RadiantFrame::Equatorial)
        return {raDeg, decDeg};
    SkyPoint ecliptic;
    eclipticJ2000().toEcliptic(raDeg, decDeg, ecliptic.lonDeg, ecliptic.latDeg);
    return eclipticToFrame(frame, ecliptic, solDeg);
}

Rgb radiantColor(const MapOrbit& orbit, const RadiantMapView& view, const VgCondition& window,
                 bool blackAndWhite)
{
    if (!view.color)
        return blackAndWhite ? kBlack : kYellow;
    if (blackAndWhite)
        return view.byVg ? vgGrey(orbit.vg, view.colorOffset) : vsGrey(orbit.vs, view.colorOffset);
    return view.byVg ? velocityColor(orbit.vg, window, view.colorOffset)
                     : vsColor(orbit.vs, view.colorOffset);
}

void drawRadiantMarkers(Canvas& canvas, const SinusoidalProjection& projection,
                        const RadiantMapView& view, const MapInputs& inputs)
{
    std::vector<PlotItem> items(inputs.orbits.size());
    const bool bw = canvas.blackAndWhite();
    prepareOrbitsInFrame(view.frame, inputs);
    parallelSlices(items.size(), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const MapOrbit& orbit = inputs.orbits[i];
            if (orbit.sel == 0 || orbit.sel == 2)
                continue;
            const SkyPoint p = orbitInFrame(view.frame, inputs, i);
            if (const std::optional<Pixel> pixel = projection.project(p.lonDeg, p.latDeg))
                items[i] = {*pixel, radiantColor(orbit, view, inputs.vgWindow, bw), true};
        }
    });
    for (const PlotItem& item : items)
        if (item.drawn) {
            canvas.setColor(item.color);
            canvas.plotMarkerTrueColor(item.pixel.x, item.pixel.y, view.markerSize);
        }
}

std::uint32_t drawRadiantDensity(Canvas& canvas, const SinusoidalProjection& projection,
                                 const RadiantMapView& view, const MapInputs& inputs)
{
    prepareOrbitsInFrame(view.frame, inputs);
    const DensityGrid grid = countDirections(inputs.orbits.size(), view.density.cellDeg,
                                             [&](std::size_t i) -> std::optional<SkyPoint> {
                                                 const std::uint32_t sel = inputs.orbits[i].sel;
                                                 if (sel == 0 || sel == 2)
                                                     return std::nullopt;
                                                 return orbitInFrame(view.frame, inputs, i);
                                             });
    drawDensity(canvas, grid, view.density.logScale,
                [&projection](int y, std::vector<std::optional<SkyPoint>>& row) {
                    projection.inverseRowOnMap(y, row);
                });
    return grid.maxCount();
}

std::string pinnedLabel(RadiantFrame frame, SkyPoint point)
{
    return formatted(frame == RadiantFrame::Equatorial ? "ra=%.1f dec=%.1f" : "elg=%.1f elt=%.1f",
                     point.lonDeg, point.latDeg);
}

void renderRadiantMap(Canvas& canvas, const RadiantMapView& view, const MapScene& scene,
                      std::optional<SkyPoint> pinned)
{
    canvas.clear();
    const SinusoidalProjection projection = radiantMapProjection(view, canvas);
    const SkyProjector project = [&projection](double lon, double lat) {
        return projection.project(lon, lat);
    };
    const RadiantMapDate date = radiantMapDate(scene.conditions, view.days);
    if (!canvas.blackAndWhite())
        drawOutline(canvas, projection);
    if (view.axis)
        drawGrid(canvas, project, view);
    if (view.stars)
        drawStars(canvas, project, view, scene.stars);
    if (view.apex)
        drawApex(canvas, project, view, scene, date);
    if (view.axis)
        drawCentreCross(canvas, projection);
    std::uint32_t densityMax = 0;
    if (view.density.on)
        densityMax = drawRadiantDensity(canvas, projection, view, scene.inputs);
    else
        drawRadiantMarkers(canvas, projection, view, scene.inputs);
    if (view.streams)
        drawStreams(canvas, project, view, scene.inputs, date);
    if (view.density.on)
        drawDensityLegend(canvas, densityMax, view.density.logScale);
    else if (view.color)
        drawLegend(canvas, view, scene.inputs.vgWindow);
    if (pinned) {
        canvas.setColor(kWhite);
        if (const std::optional<Pixel> p = project(pinned->lonDeg, pinned->latDeg)) {
            canvas.plotMarker(p->x, p->y, kPinMarker);
            labelAt(canvas, *p, 20, 0, pinnedLabel(view.frame, *pinned), kPinMarker);
        }
    }
    const ScreenBox droppedNote = drawFooter(canvas, view, scene.inputs, date);
    placeLabels(canvas, droppedNote);
    if (canvas.blackAndWhite())
        drawFrame(canvas);
}
