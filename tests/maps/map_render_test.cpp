// The three map renderers: the fast layers against plain serial loops on
// random data, named cases of each map, and a BMP checked by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <random>

#include "app/engine_params.h"
#include "app/settings.h"
#include "astro/planets.h"
#include "maps/bmp_writer.h"
#include "maps/canvas.h"
#include "maps/orbit_map.h"
#include "maps/radiant_map.h"
#include "maps/sky_map.h"

namespace {

// Orbits spread over the sky with every selection mark; enough of them that
// the layers use both cores.
MapInputs randomInputs(int count, std::uint32_t seed)
{
    MapInputs inputs;
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0, 1);
    for (int i = 0; i < count; ++i) {
        MapOrbit o;
        o.oid = 100001u + static_cast<std::uint32_t>(i);
        o.row = i;
        o.sel = static_cast<std::uint32_t>(random() % 6);
        o.sourceInUse = random() % 4 != 0;
        o.type = static_cast<int>(random() % 3);
        o.sol = 360 * unit(random);
        o.ra = 360 * unit(random);
        o.dec = 180 * unit(random) - 90;
        o.vg = 80 * unit(random) - 5;
        o.vs = 60 * unit(random);
        o.a = 0.5f + 5 * unit(random);
        o.e = 1.05f * unit(random);
        o.peri = 360 * unit(random);
        o.node = 360 * unit(random);
        o.incl = 180 * unit(random);
        inputs.orbits.push_back(o);
        if (isSelectedMark(o.sel))
            inputs.listed.push_back(i);
    }
    inputs.vgWindow = {seed % 2 == 0, 40, 15};
    return inputs;
}

bool samePixels(const Canvas& a, const Canvas& b)
{
    return std::memcmp(a.rgbData(), b.rgbData(),
                       static_cast<std::size_t>(a.bytesPerLine()) * a.areaHeight()) == 0;
}

int countColor(const Canvas& canvas, Rgb color)
{
    int n = 0;
    for (int y = 0; y <= canvas.maxY(); ++y)
        for (int x = 0; x <= canvas.maxX(); ++x)
            n += canvas.pixel(x, y) == color ? 1 : 0;
    return n;
}

// Every layer off: what is left is the layer under test.
Settings quietSettings()
{
    Settings s;
    s.sm_axis = s.sm_apex = s.sm_star = s.sm_average = s.sm_text = 0;
    s.sm_stream = s.sm_streamall = s.sm_orbitall = 0;
    s.r_st2 = s.r_ax = s.r_ap = s.r_star = s.r_text = 0;
    s.om_stream = s.om_average = s.om_radec = s.om_star = s.om_text = 0;
    return s;
}

const StarCatalogue kNoStars;

} // namespace

TEST(SkyMap, RadiantsMatchAPlainSerialLoop)
{
    for (const std::uint32_t seed : {1u, 2u}) {
        const MapInputs inputs = randomInputs(50000, seed);
        Settings s;
        s.sm_orbitall = 1;
        s.sm_scale = 150;
        s.sm_dec = seed == 1 ? 40.0f : 90.0f;
        const SkyMapView view = skyMapView(s);
        Canvas fast(401, 300, false);
        Canvas plain(401, 300, false);
        const GnomonicProjection projection = skyMapProjection(view, fast);
        drawSkyRadiants(fast, projection, view, inputs);
        for (const MapOrbit& orbit : inputs.orbits)
            if (const std::optional<Rgb> color = skyRadiantColor(orbit, view, inputs.vgWindow))
                if (const std::optional<Pixel> p = projection.project(orbit.ra, orbit.dec)) {
                    plain.setColor(*color);
                    plain.plotPoint(p->x, p->y);
                }
        EXPECT_TRUE(samePixels(fast, plain)) << "seed " << seed;
        EXPECT_GT(countColor(fast, kBlack), 0);
    }
}

TEST(RadiantMap, MarkersMatchAPlainSerialLoop)
{
    for (const int frame : {0, 1, 2}) {
        const MapInputs inputs = randomInputs(40000, 10u + static_cast<std::uint32_t>(frame));
        Settings s;
        s.r_mode_ax = frame;
        s.r_mk = 1 + frame;
        s.r_vg = frame != 1;
        const RadiantMapView view = radiantMapView(s);
        const bool bw = frame == 2;
        Canvas fast(500, 260, bw);
        Canvas plain(500, 260, bw);
        const SinusoidalProjection projection = radiantMapProjection(view, fast);
        drawRadiantMarkers(fast, projection, view, inputs);
        for (const MapOrbit& orbit : inputs.orbits) {
            if (orbit.sel == 0 || orbit.sel == 2)
                continue;
            const SkyPoint p = toRadiantFrame(view.frame, orbit.ra, orbit.dec, orbit.sol);
            if (const std::optional<Pixel> pixel = projection.project(p.lonDeg, p.latDeg)) {
                plain.setColor(radiantColor(orbit, view, inputs.vgWindow, bw));
                plain.plotMarkerTrueColor(pixel->x, pixel->y, view.markerSize);
            }
        }
        EXPECT_TRUE(samePixels(fast, plain)) << "frame " << frame;
    }
}

TEST(OrbitMap, OutlinesMatchAPlainSerialLoop)
{
    const MapInputs inputs = randomInputs(600, 21);
    Settings s;
    s.om_scale = 4;
    const OrbitMapView view = orbitMapView(s);
    Canvas fast(420, 300, false);
    Canvas plain(420, 300, false);
    const OrbitCamera camera = orbitMapCamera(view, fast);
    bool limit = false;
    const std::vector<int> drawn = drawnSelectedOrbits(inputs, 40000, limit);
    ASSERT_GT(drawn.size(), 64u);
    fast.setColor({176, 176, 0});
    drawOrbitOutlines(fast, camera, inputs, drawn);
    plain.setColor({176, 176, 0});
    for (const int index : drawn) {
        OutlinePoints points;
        if (orbitOutlinePoints(inputs.orbits[static_cast<std::size_t>(index)], points))
            for (const Vec3& point : points)
                if (const std::optional<Pixel> p = camera.project(point))
                    plain.plotPoint(p->x, p->y);
    }
    EXPECT_TRUE(samePixels(fast, plain));
}

// Kepler's equation by bisection: slow, but it cannot miss.
double eccentricAnomalyByBisection(double m, double e)
{
    double low = 0;
    double high = 2 * M_PI;
    for (int i = 0; i < 200; ++i) {
        const double mid = (low + high) / 2;
        (mid - e * std::sin(mid) < m ? low : high) = mid;
    }
    return (low + high) / 2;
}

TEST(OrbitMap, OutlinePointsAgreeWithKeplersEquation)
{
    // The stepping solver against a bisection at every mean anomaly, to the
    // outline's tolerance of 0.00001 degree, eccentricities up to 0.999.
    std::mt19937 random(4);
    std::uniform_real_distribution<float> unit(0, 1);
    for (int i = 0; i < 300; ++i) {
        MapOrbit o;
        o.a = 0.3f + 40 * unit(random);
        o.e = i < 10 ? 0.999f - 0.001f * static_cast<float>(i) : 0.99f * unit(random);
        o.peri = 360 * unit(random);
        o.node = 360 * unit(random);
        o.incl = 180 * unit(random);
        OutlinePoints fast;
        ASSERT_TRUE(orbitOutlinePoints(o, fast));
        Vec3 p;
        Vec3 q;
        OutlineOrientation(o.node, o.peri, o.incl, p, q);
        for (std::size_t k = 0; k < fast.size(); ++k) {
            const double ecc = eccentricAnomalyByBisection(k * M_PI / 180, o.e);
            const double e = o.e;
            const Vec3 exact =
                (o.a * (std::cos(ecc) - e)) * p + (o.a * std::sqrt(1 - e * e) * std::sin(ecc)) * q;
            // 0.00001 degree of eccentric anomaly moves a point at most a(1 + e) times that.
            ASSERT_LT(norm(fast[k] - exact), 2 * o.a * 0.00001 * M_PI / 180)
                << "orbit " << i << " point " << k;
        }
    }
    MapOrbit open;
    open.e = 1.0f;
    OutlinePoints none;
    EXPECT_FALSE(orbitOutlinePoints(open, none));
}

TEST(OrbitMap, MaxLinesCountsSelectedOrbitsOnly)
{
    MapInputs inputs;
    for (int i = 0; i < 150; ++i)
        inputs.orbits.push_back({.sel = 1, .type = 1, .a = 2, .e = 0.5f});
    for (int i = 0; i < 30; ++i)
        inputs.orbits.push_back({.sel = 1, .type = 0, .a = 2, .e = 0.5f});
    inputs.orbits.push_back({.sel = 1, .type = 1, .a = 2, .e = 1.2f}); // hyperbolic
    inputs.orbits.push_back({.sel = 2, .type = 1, .a = 2, .e = 0.5f}); // not selected
    bool limit = false;
    const std::vector<int> drawn = drawnSelectedOrbits(inputs, 100, limit);
    EXPECT_TRUE(limit);
    ASSERT_EQ(drawn.size(), 100u);
    EXPECT_EQ(drawn.front(), 0);
    EXPECT_EQ(drawn.back(), 99);
    EXPECT_EQ(drawnStreamOrbits(inputs).size(), 30u);
    drawnSelectedOrbits(inputs, 200, limit);
    EXPECT_FALSE(limit);
}

TEST(OrbitMap, HighlightUpdateRestoresThePicture)
{
    MapInputs inputs = randomInputs(300, 8);
    Settings s = quietSettings();
    const PlanetTrackSet tracks = PlanetTracks(2007, 1, 1);
    Canvas canvas(300, 200, false);
    OrbitMapFrame frame = renderOrbitMap(canvas, orbitMapView(s),
                                         {selectionConditionsOf(s), inputs, kNoStars}, tracks);
    const Canvas before = canvas;
    // The first elliptic selected orbit, then a hyperbolic one that is never drawn.
    const auto elliptic = std::find_if(inputs.orbits.begin(), inputs.orbits.end(), [](auto& o) {
        return isSelectedMark(o.sel) && o.e < 1 && o.a < 2;
    });
    ASSERT_NE(elliptic, inputs.orbits.end());
    moveOrbitHighlight(canvas, frame, inputs, static_cast<int>(elliptic - inputs.orbits.begin()));
    EXPECT_GT(countColor(canvas, kWhite), countColor(before, kWhite));
    moveOrbitHighlight(canvas, frame, inputs, -1);
    EXPECT_TRUE(samePixels(canvas, before));
    const auto open = std::find_if(inputs.orbits.begin(), inputs.orbits.end(),
                                   [](auto& o) { return isSelectedMark(o.sel) && o.e >= 1; });
    ASSERT_NE(open, inputs.orbits.end());
    moveOrbitHighlight(canvas, frame, inputs, static_cast<int>(open - inputs.orbits.begin()));
    EXPECT_TRUE(samePixels(canvas, before));
}

TEST(OrbitMap, PlanetsInsideTheCameraDistanceOnly)
{
    // The default 10 AU reaches Saturn (9.55 AU, grey like Jupiter) but not
    // Uranus (19.2 AU, (144, 0, 0)); from 60 AU Uranus is drawn too.
    Settings s = quietSettings();
    const MapInputs inputs;
    const PlanetTrackSet tracks = PlanetTracks(2007, 1, 1);
    Canvas canvas(800, 800, false);
    renderOrbitMap(canvas, orbitMapView(s), {selectionConditionsOf(s), inputs, kNoStars}, tracks);
    EXPECT_GT(countColor(canvas, kStarColor), 0);
    EXPECT_EQ(countColor(canvas, kEquatorColor), 0);
    s.om_scale = 60;
    renderOrbitMap(canvas, orbitMapView(s), {selectionConditionsOf(s), inputs, kNoStars}, tracks);
    EXPECT_GT(countColor(canvas, kEquatorColor), 0);
}

TEST(SkyMap, StreamsDrawnAtTheReferenceSolOnly)
{
    Settings s = quietSettings();
    s.sm_stream = 1;
    s.sm_orbit = 0; // and so no legend
    MapInputs inputs;
    inputs.streams.push_back({"AAA", 350, 10, 0, 130, 40, 0, 0, 3});
    const SkyMapView view = skyMapView(s);
    Canvas canvas(400, 300, false);
    for (const double sol : {355.0, 5.0, 180.0}) {
        inputs.referenceSolDeg = sol;
        renderSkyMap(canvas, view, {selectionConditionsOf(s), inputs, kNoStars});
        EXPECT_EQ(countColor(canvas, kWhite) > 0, sol != 180.0) << "sol " << sol;
    }
    // "st-" alone: every stream in white at its catalogue radiant.
    s.sm_stream = 0;
    s.sm_streamall = 1;
    renderSkyMap(canvas, skyMapView(s), {selectionConditionsOf(s), inputs, kNoStars});
    EXPECT_GT(countColor(canvas, kWhite), 0);
    EXPECT_EQ(countColor(canvas, kStarColor), 0);
}

TEST(RadiantMap, StreamsWithinSixtyDegreesOfTheirWindow)
{
    Settings s = quietSettings();
    s.r_st2 = 1;
    s.r_color = 0;
    MapInputs inputs;
    const Rgb streamColor{0, 192, 255};
    Canvas canvas(400, 300, false);
    // The window's ends as offsets from the map's sol; on 21 March the window
    // runs across 0 degrees.
    struct Case {
        const char* name;
        int month, day;
        double fromStart, toEnd;
        bool drawn;
    };
    const Case cases[] = {
        {"inside", 6, 19, 5, 5, true},
        {"more than 60 past its start", 6, 19, 70, 5, false},
        {"more than 60 before its end", 6, 19, 5, 61, false},
        {"inside, across 0", 3, 21, 5, 5, true},
        {"more than 60 past its start, across 0", 3, 21, 70, 5, false},
    };
    for (const Case& c : cases) {
        s.dlg_M = c.month;
        s.dlg_D = c.day;
        const double sol = radiantMapDate(selectionConditionsOf(s), 0).solDeg;
        const auto wrapped = [](double deg) {
            return static_cast<float>(std::fmod(deg + 360, 360));
        };
        inputs.streams = {
            {"S", wrapped(sol - c.fromStart), wrapped(sol + c.toEnd), float(sol), 180, 0, 0, 0, 3}};
        renderRadiantMap(canvas, radiantMapView(s), {selectionConditionsOf(s), inputs, kNoStars},
                         std::nullopt);
        EXPECT_EQ(countColor(canvas, streamColor) > 0, c.drawn) << c.name << ", sol " << sol;
    }
    // "stp": at the catalogue radiant whatever the date.
    s.r_stp = 1;
    const double sol = radiantMapDate(selectionConditionsOf(s), 0).solDeg;
    inputs.streams = {{"S", float(sol - 70), float(sol + 5), float(sol), 180, 0, 0, 0, 3}};
    renderRadiantMap(canvas, radiantMapView(s), {selectionConditionsOf(s), inputs, kNoStars},
                     std::nullopt);
    EXPECT_GT(countColor(canvas, streamColor), 0);
}

TEST(SkyMap, RadiantAtThePoleOnAPolarMap)
{
    Settings s = quietSettings();
    s.sm_dec = 90;
    s.sm_color = 0;
    MapInputs inputs;
    inputs.orbits = {{.sel = 1, .ra = 33, .dec = 90}, {.sel = 1, .ra = 33, .dec = -10}};
    Canvas canvas(400, 300, false);
    renderSkyMap(canvas, skyMapView(s), {selectionConditionsOf(s), inputs, kNoStars});
    EXPECT_EQ(canvas.pixel(199, 149), kYellow);
    EXPECT_EQ(countColor(canvas, kYellow), 1);
}

TEST(MapSettings, OutOfRangeValuesAreLimitedWhereTheyAreUsed)
{
    Settings s;
    s.sm_scale = 0;
    s.sm_dec = 500;
    s.sm_color0 = 200;
    s.sm_ra = std::nanf("");
    s.r_mk = 9;
    s.r_mode_ax = -4;
    s.om_scale = -3;
    s.om_maxl = 5;
    const SkyMapView sky = skyMapView(s);
    EXPECT_EQ(sky.decDeg, 90);
    EXPECT_EQ(sky.colorOffset, 200 - 159);
    EXPECT_EQ(sky.raDeg, 130);
    const RadiantMapView radiant = radiantMapView(s);
    EXPECT_EQ(radiant.markerSize, 15);
    EXPECT_EQ(radiant.frame, RadiantFrame::Equatorial);
    const OrbitMapView orbit = orbitMapView(s);
    EXPECT_GT(orbit.distanceAu, 0);
    EXPECT_EQ(orbit.maxLines, 100);
    // A scale of 0 still projects to finite pixels.
    Canvas canvas(100, 100, false);
    EXPECT_TRUE(skyMapProjection(sky, canvas).project(sky.raDeg, 89.9).has_value());
}

namespace {

// A BMP laid out by hand from a picture of palette letters, top row first:
// the 54-byte header, then the rows bottom-up as blue, green, red. A map is
// a multiple of four pixels wide, so its rows need no padding.
std::string handLaidBmp(const std::vector<std::string>& picture, const std::map<char, Rgb>& palette)
{
    const auto width = static_cast<std::uint32_t>(picture.front().size());
    const auto height = static_cast<std::uint32_t>(picture.size());
    std::string bmp = "BM";
    const auto put = [&bmp](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp += static_cast<char>(value >> (8 * i) & 0xFF);
    };
    put(54 + width * 3 * height, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(width, 4);
    put(height, 4);
    put(1, 2);
    put(24, 2);
    bmp.append(24, '\0'); // compression, image size, resolutions, colours
    for (auto row = picture.rbegin(); row != picture.rend(); ++row) {
        for (const char letter : *row) {
            const Rgb color = palette.at(letter);
            bmp += {static_cast<char>(color.b), static_cast<char>(color.g),
                    static_cast<char>(color.r)};
        }
    }
    return bmp;
}

} // namespace

TEST(SkyMap, BmpOfASmallCaseByteForByte)
{
    // An 8 x 8 map with one selected radiant at the centre and every other
    // layer off: without "clr" it is yellow, drawn at (trunc(0 + 3 + 0.5),
    // trunc(0 + 3 + 0.5)).
    Settings s = quietSettings();
    s.sm_color = 0;
    MapInputs inputs;
    inputs.orbits = {{.sel = 1, .ra = 130, .dec = 40, .vg = 20}};
    Canvas canvas(8, 8, false);
    renderSkyMap(canvas, skyMapView(s), {selectionConditionsOf(s), inputs, kNoStars});
    const std::vector<std::string> picture = {
        "........", //
        "........", //
        "........", //
        "........", //
        "...Y....", //
        "........", //
        "........", //
        "........", //
    };
    EXPECT_EQ(encodeBmp(canvas), handLaidBmp(picture, {{'.', kBlack}, {'Y', kYellow}}));
}

TEST(RadiantMap, BmpOfASmallCaseByteForByte)
{
    // A 13 x 13 area: W = H = 11, and the file leaves out the area's last
    // column and row, which are not part of the map. With "scl" 200,
    // g = 11 / 200: the sphere's outline in green is x = 5 +- 9.9 cos(lat),
    // y = 5 + 0.055 lat, rounded; the radiant (ra 120, dec -20) is at
    // x = 5 + 60 cos(20) 0.055 = 8.1, y = 5 - 20 * 0.055 = 3.9, yellow
    // without "clr". The caption "y:dec / x:ra" starts at x = 2 with its top
    // at height 12: only the lower rows of "y" and ":" are on the map.
    Settings s = quietSettings();
    s.r_color = 0;
    s.r_scale = 200;
    MapInputs inputs;
    inputs.orbits = {{.sel = 1, .ra = 120, .dec = -20, .vg = 20}};
    Canvas canvas(13, 13, false);
    renderRadiantMap(canvas, radiantMapView(s), {selectionConditionsOf(s), inputs, kNoStars},
                     std::nullopt);
    const std::vector<std::string> picture = {
        "............", //
        "....ggg.....", //
        ".ggg...ggww.", //
        "ggw...w..wwg", //
        "..w...w.....", //
        "..w...w..ww.", //
        "...wwww..ww.", //
        "......w.Y...", //
        "..w...w.....", //
        "gg.www...ggg", //
        ".ggg...ggg..", //
        "....ggg.....", //
    };
    EXPECT_EQ(
        encodeBmp(canvas),
        handLaidBmp(picture, {{'.', kBlack}, {'g', {0, 112, 0}}, {'w', kWhite}, {'Y', kYellow}}));
}

TEST(OrbitMap, BmpOfASmallCaseByteForByte)
{
    // A 26 x 25 area (W = H = 23; the file leaves out the last two columns
    // and the last row) seen from dec 90 at 0.2 AU: X grows to
    // the right and Y upwards, 115 pixels per AU at the Sun's distance, no
    // planet is inside the camera distance and the Earth is off the map.
    // The axes: +X in pink, -X and both halves of Y in dark red, Z through
    // the centre. The Sun's size-9 marker covers the centre. The circular
    // orbit of 0.08 AU in the ecliptic is flattened by the obliquity and
    // seen in perspective: its north side is nearer the camera.
    Settings s = quietSettings();
    s.om_ra = 90;
    s.om_dec = 90;
    s.om_scale = 0.2f;
    MapInputs inputs;
    inputs.orbits = {{.sel = 1, .type = 1, .a = 0.08f, .e = 0}};
    Canvas canvas(26, 25, false);
    renderOrbitMap(canvas, orbitMapView(s), {selectionConditionsOf(s), inputs, kNoStars},
                   PlanetTracks(2007, 1, 1));
    const std::vector<std::string> picture = {
        "...........z............", //
        "...........z............", //
        "........ooooooo.........", //
        "......ooo..z..ooo.......", //
        ".....oo....z....oo......", //
        "....o......z......o.....", //
        "...o.......z.......o....", //
        "..oo.......z.......oo...", //
        "..o.......SSS.......o...", //
        "..o......SSSSS......o...", //
        "..o.....SSSSSSS.....o...", //
        "..o....SSSSSSSSS....o...", //
        "zzozzzSSSSSSSSSSSxxxoxxx", //
        "..o....SSSSSSSSS....o...", //
        "..oo....SSSSSSS....oo...", //
        "...o.....SSSSS.....o....", //
        "...oo.....SSS.....oo....", //
        "....oo.....z.....oo.....", //
        ".....ooo...z...ooo......", //
        ".......ooooooooo........", //
        "...........z............", //
        "...........z............", //
        "...........z............", //
        "...........z............", //
    };
    EXPECT_EQ(encodeBmp(canvas), handLaidBmp(picture, {{'.', kBlack},
                                                       {'o', {176, 176, 0}},
                                                       {'z', {192, 96, 96}},
                                                       {'x', {255, 160, 160}},
                                                       {'S', kYellow}}));
}
