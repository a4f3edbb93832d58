// What makes the maps readable and true: the text panel's lines, the orbit
// map's backdrop under its camera, stream circles, labels that keep apart,
// and the density view against plain counting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

#include "app/engine_params.h"
#include "app/settings.h"
#include "astro/frames.h"
#include "maps/canvas.h"
#include "maps/density_map.h"
#include "maps/map_layers.h"
#include "maps/orbit_map.h"
#include "maps/radiant_map.h"
#include "maps/selection_summary.h"
#include "maps/sky_map.h"
#include "support/label_checks.h"

namespace {

const StarCatalogue kNoStars;

std::vector<std::string> panelTexts(const Settings& s, const MapInputs& inputs)
{
    std::vector<std::string> texts;
    for (const PanelLine& line : selectionSummaryLines(selectionConditionsOf(s), inputs, true))
        texts.push_back(panelLineText(line));
    return texts;
}

bool hasLine(const std::vector<std::string>& lines, const std::string& text)
{
    return std::find(lines.begin(), lines.end(), text) != lines.end();
}

MapInputs orbitsAtSols(std::initializer_list<float> sols, double meanSol)
{
    MapInputs inputs;
    for (const float sol : sols) {
        MapOrbit o;
        o.sel = 1;
        o.sol = sol;
        o.row = static_cast<int>(inputs.orbits.size());
        inputs.listed.push_back(o.row);
        inputs.orbits.push_back(o);
    }
    inputs.averages = MapAverages{};
    inputs.averages->solDeg = meanSol;
    inputs.orbitRows = static_cast<int>(sols.size());
    return inputs;
}

} // namespace

TEST(TextPanel, LinesOfTheSelection)
{
    Settings conditions;
    conditions.po_selstream = 1;
    conditions.po_daysC = 1;
    conditions.po_days = 2;
    conditions.dlg_Y = 2018;
    conditions.dlg_M = 12;
    conditions.dlg_D = 14;
    MapInputs gem = orbitsAtSols({261.0f, 262.5f}, 261.75);
    gem.currentStreamCode = "IAU_GEM";
    gem.referenceSolDeg = 262.0;
    const struct {
        const char* name;
        Settings settings;
        MapInputs inputs;
        const char* line;
    } cases[] = {
        // The shorter way round 0: from 359.5 to 0.5, half a degree either side of the mean.
        {"sols across 0", Settings{}, orbitsAtSols({359.5f, 0.5f, 0.0f}, 0.0),
         " 359.5 ..    0.5  ( -0.5)(  +0.5)"},
        {"the stream condition", conditions, gem, "stream IAU_GEM"},
        // Two days either side of sol 262.0 span about 2.03 degrees of sol.
        {"the sol condition with its centre", conditions, gem, " 260.0 ..  264.0  262.0 +-2.0"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> lines = panelTexts(c.settings, c.inputs);
        std::string all;
        for (const std::string& line : lines)
            all += "[" + line + "]";
        EXPECT_TRUE(hasLine(lines, c.line)) << c.name << ": " << all;
    }
}

TEST(TextPanel, SitsOnABackingInTheEmptiestCornerOffTheLegend)
{
    for (const bool bw : {false, true}) {
        Settings s;
        s.sm_apex = s.sm_stream = 0;
        s.sm_scale = 60;
        MapInputs inputs = orbitsAtSols({100, 101}, 100.5);
        // A cloud of radiants in the top left quarter.
        for (int i = 0; i < 2000; ++i) {
            MapOrbit o;
            o.sel = 1;
            o.vg = 30;
            o.ra = 130.0f + 25.0f * static_cast<float>(i % 50) / 50;
            o.dec = 45.0f + 20.0f * static_cast<float>(i / 50) / 40;
            inputs.orbits.push_back(o);
        }
        Canvas canvas(600, 400, bw);
        renderSkyMap(canvas, skyMapView(s), {selectionConditionsOf(s), inputs, kNoStars});
        const auto panel =
            std::find_if(canvas.labels().boxes().begin(), canvas.labels().boxes().end(),
                         [](const PlacedBox& b) { return b.kind == BoxKind::Panel; });
        ASSERT_NE(panel, canvas.labels().boxes().end());
        const std::optional<Pixel> cloud =
            skyMapProjection(skyMapView(s), canvas).project(142.5, 55);
        ASSERT_TRUE(cloud);
        const ScreenBox cloudCentre{cloud->x, canvas.maxY() - cloud->y, cloud->x,
                                    canvas.maxY() - cloud->y};
        EXPECT_FALSE(panel->box.overlaps(cloudCentre)) << "not over the cloud";
        expectNoCollision(canvas, bw ? "black and white" : "colour");
        // Under the panel only its text and its backing: white in black-and-white mode,
        // the grid darkened to a quarter in colour.
        int other = 0;
        for (int row = panel->box.top; row <= panel->box.bottom; ++row)
            for (int x = panel->box.left; x <= panel->box.right; ++x) {
                const Rgb p = canvas.pixel(x, canvas.maxY() - row);
                const bool backing = bw ? p == kWhite : p.r < 64 && p.g < 64 && p.b < 64;
                other += backing || p == (bw ? kBlack : kWhite) ? 0 : 1;
            }
        EXPECT_EQ(other, 0) << (bw ? "black and white" : "colour");
    }
}

TEST(OrbitMap, BackdropStarsLieWhereTheCameraSeesThem)
{
    // A direction far beyond the planets lands, through the camera, where the backdrop puts it.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 200; ++i) {
        OrbitMapView view;
        view.raDeg = 360 * unit(random);
        view.decDeg = 170 * unit(random) - 85;
        view.rotDeg = 360 * unit(random);
        const Canvas canvas(640, 480, false);
        const OrbitCamera camera = orbitMapCamera(view, canvas);
        const GnomonicProjection backdrop = orbitMapBackdrop(view, canvas);
        const SkyPoint centre{view.raDeg, -view.decDeg};
        SkyPoint star;
        OffsetPoint(centre.lonDeg, centre.latDeg, 360 * unit(random), 18 * unit(random),
                    star.lonDeg, star.latDeg);
        const double lon = star.lonDeg * M_PI / 180;
        const double lat = star.latDeg * M_PI / 180;
        const Vec3 far{1e7 * std::cos(lat) * std::cos(lon), 1e7 * std::cos(lat) * std::sin(lon),
                       1e7 * std::sin(lat)};
        const std::optional<Pixel> seen = camera.project(far);
        const std::optional<Pixel> drawn = backdrop.project(star.lonDeg, star.latDeg);
        ASSERT_TRUE(seen && drawn) << "view " << i;
        EXPECT_LE(std::abs(seen->x - drawn->x), 1) << "view " << i;
        EXPECT_LE(std::abs(seen->y - drawn->y), 1) << "view " << i;
    }
}

TEST(Streams, WithoutARadiusDrawTheCircleGroupingUses)
{
    for (const bool sky : {true, false}) {
        Settings s;
        s.sm_axis = s.sm_apex = s.sm_text = s.r_ax = s.r_ap = s.r_text = s.r_color = 0;
        MapInputs inputs;
        inputs.referenceSolDeg = 100;
        const auto render = [&](float radius) {
            inputs.streams = {{"S", 0, 359, 100, 130, 40, 0, 0, radius}};
            Canvas canvas(400, 300, false);
            if (sky)
                renderSkyMap(canvas, skyMapView(s), {selectionConditionsOf(s), inputs, kNoStars});
            else {
                s.r_stp = 1;
                renderRadiantMap(canvas, radiantMapView(s),
                                 {selectionConditionsOf(s), inputs, kNoStars}, std::nullopt);
            }
            return std::vector<std::uint8_t>(canvas.rgbData(),
                                             canvas.rgbData() + canvas.bytesPerLine() * 300);
        };
        EXPECT_EQ(render(0), render(3)) << (sky ? "sky" : "radiant");
        EXPECT_NE(render(0), render(1)) << (sky ? "sky" : "radiant");
    }
}

TEST(Labels, CrowdedStreamsKeepApartAndTheRestAreCounted)
{
    // A million radiants and 400 streams in one corner of the sky: more labels than room.
    MapInputs inputs;
    std::mt19937 random(3);
    std::uniform_real_distribution<float> unit(0, 1);
    inputs.orbits.resize(1000000);
    for (MapOrbit& o : inputs.orbits) {
        o.sel = 1;
        o.ra = 360 * unit(random);
        o.dec = 180 * unit(random) - 90;
        o.vg = 70 * unit(random);
        o.sol = 360 * unit(random);
    }
    for (int i = 0; i < 400; ++i)
        inputs.streams.push_back({"IAU_S" + std::to_string(i), 0, 359, 180, 100 + 60 * unit(random),
                                  20 * unit(random), 0, 0, 2});
    inputs.referenceSolDeg = 180;
    for (const int frame : {0, 1, 2}) {
        Settings s;
        s.r_mode_ax = frame;
        s.r_stp = 1;
        s.sm_ra = 130;
        s.sm_dec = 10;
        Canvas radiant(1200, 900, false);
        renderRadiantMap(radiant, radiantMapView(s), {selectionConditionsOf(s), inputs, kNoStars},
                         SkyPoint{120, 10});
        expectNoCollision(radiant, "radiant frame " + std::to_string(frame));
        EXPECT_GT(radiant.labels().dropped(), 0);
        Canvas skyMap(1200, 900, false);
        renderSkyMap(skyMap, skyMapView(s), {selectionConditionsOf(s), inputs, kNoStars});
        expectNoCollision(skyMap, "sky");
        EXPECT_GT(skyMap.labels().dropped(), 0);
    }
}

TEST(Density, CountsMatchAPlainLoopAndColourTheCells)
{
    std::mt19937 random(9);
    std::uniform_real_distribution<double> unit(0, 1);
    for (const double cell : {1.0, 2.5, 0.7}) {
        std::vector<SkyPoint> points(60000);
        for (SkyPoint& p : points)
            p = {360 * unit(random), 180 * unit(random) - 90};
        const DensityGrid grid =
            countDirections(points.size(), cell, [&](std::size_t i) -> std::optional<SkyPoint> {
                return i % 7 == 0 ? std::nullopt : std::optional<SkyPoint>(points[i]);
            });
        // Per cell (row, column): the count and one of its points.
        std::map<std::pair<int, int>, std::pair<std::uint32_t, SkyPoint>> plain;
        for (std::size_t i = 0; i < points.size(); ++i)
            if (i % 7 != 0) {
                auto& [n, point] =
                    plain[{static_cast<int>(std::floor((points[i].latDeg + 90) / cell)),
                           static_cast<int>(std::floor(points[i].lonDeg / cell))}];
                ++n;
                point = points[i];
            }
        for (const auto& [rowColumn, counted] : plain)
            ASSERT_EQ(grid.count(grid.cellOf(counted.second.lonDeg, counted.second.latDeg)),
                      counted.first)
                << "cell " << cell;
    }
    // The fullest cell takes the scale's top, an emptier one a darker colour, in either scale.
    for (const bool log : {false, true}) {
        EXPECT_EQ(densityColor(50, 50, log, false), (Rgb{253, 231, 37}));
        const Rgb low = densityColor(2, 50, log, false);
        EXPECT_LT(low.r + low.g, 253 + 231);
    }
    EXPECT_NE(densityColor(5, 50, true, false), densityColor(5, 50, false, false));
}

TEST(Density, RadiantMapShowsTheCountsNotTheMarkers)
{
    MapInputs inputs;
    for (int i = 0; i < 100; ++i) {
        MapOrbit o;
        o.sel = 1;
        o.ra = 180.5f;
        o.dec = 0.5f;
        inputs.orbits.push_back(o);
    }
    Settings s;
    s.r_ax = s.r_ap = s.r_text = 0;
    RadiantMapView view = radiantMapView(s);
    view.density = {true, 5.0, false};
    Canvas canvas(400, 200, false);
    renderRadiantMap(canvas, view, {selectionConditionsOf(s), inputs, kNoStars}, std::nullopt);
    // The 5-degree cell at (180..185, 0..5) is filled with the top colour; the centre is ra 180.
    const SinusoidalProjection projection = radiantMapProjection(view, canvas);
    const std::optional<Pixel> inside = projection.project(182.5, 2.5);
    ASSERT_TRUE(inside);
    EXPECT_EQ(canvas.pixel(inside->x, inside->y), (Rgb{253, 231, 37}));
    expectNoCollision(canvas, "density legend");
}

// The redraw against the plain one: every radiant turned into the frame on its
// own, every pixel's direction and colour worked out on its own.
TEST(Density, RadiantRedrawPaintsWhatThePlainLoopPaints)
{
    std::mt19937 random(24);
    std::uniform_real_distribution<float> unit(0, 1);
    MapInputs inputs;
    for (int i = 0; i < 20000; ++i) {
        MapOrbit o;
        o.sel = i % 5 == 0 ? 2 : 1;
        o.ra = 360 * unit(random);
        o.dec = 60 * unit(random) * unit(random) - 20;
        o.sol = 360 * unit(random);
        inputs.orbits.push_back(o);
    }
    for (const int frame : {0, 1, 2}) {
        Settings s;
        s.r_mode_ax = frame;
        RadiantMapView view = radiantMapView(s);
        view.density = {true, frame == 1 ? 2.5 : 1.0, frame != 0};
        Canvas fast(240, 180, false);
        fast.clear();
        const SinusoidalProjection projection = radiantMapProjection(view, fast);
        const std::uint32_t fastMax = drawRadiantDensity(fast, projection, view, inputs);

        const DensityGrid cells(view.density.cellDeg);
        std::map<int, std::uint32_t> counts;
        for (const MapOrbit& o : inputs.orbits)
            if (o.sel == 1) {
                SkyPoint p{o.ra, o.dec};
                if (view.frame != RadiantFrame::Equatorial)
                    EquatorialToEcliptic(kObliquityJ2000Rad, o.ra, o.dec, p.lonDeg, p.latDeg);
                if (view.frame == RadiantFrame::SunCentred)
                    p.lonDeg -= o.sol;
                ++counts[cells.cellOf(wrap360(p.lonDeg, 0), p.latDeg)];
            }
        std::uint32_t maxCount = 0;
        for (const auto& [cell, n] : counts)
            maxCount = std::max(maxCount, n);
        EXPECT_EQ(fastMax, maxCount) << "frame " << frame;
        Canvas plain(240, 180, false);
        plain.clear();
        for (int y = 0; y <= plain.maxY(); ++y)
            for (int x = 0; x <= plain.maxX(); ++x)
                if (const std::optional<SkyPoint> p = projection.inverseOnMap(x, y))
                    if (const auto found = counts.find(cells.cellOf(p->lonDeg, p->latDeg));
                        found != counts.end()) {
                        plain.setColor(
                            densityColor(found->second, maxCount, view.density.logScale, false));
                        plain.plotPointTrueColor(x, y);
                    }
        EXPECT_TRUE(std::equal(fast.rgbData(), fast.rgbData() + 3 * 240 * 180, plain.rgbData()))
            << "frame " << frame;
    }
}
