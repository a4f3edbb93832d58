// The maps' projections: named edge cases, the literal formulas as an oracle
// over random inputs, inverse round trips and the pixel guard.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "astro/angles.h"
#include "maps/map_projection.h"

namespace {

constexpr int kW = 399; // a map area 400 x 400
constexpr int kH = 399;

double sinD(double d) { return std::sin(d * kDegToRad); }
double cosD(double d) { return std::cos(d * kDegToRad); }

// The gnomonic projection exactly as the page's description writes it (the
// general form and the two polar forms), with c >= 90 not drawn.
std::optional<Pixel> literalGnomonic(double lon0, double lat0, double rot, double field, double lon,
                                     double lat)
{
    const double s = (kH + 1) / 2.0 / std::tan(kDegToRad * field / 2);
    if (lat0 > 89.9 || lat0 < -89.9) {
        const double p = lat0 > 0 ? 90 - lat : -lat - 90;
        if (!(p > -90 && p < 90))
            return std::nullopt;
        const double theta = lat0 > 0 ? 180 - (lon0 - lon) + rot : (lon0 - lon) + 180 + rot;
        const double r = s * std::tan(p * kDegToRad);
        return Pixel{int(r * sinD(theta) + kW / 2), int(r * cosD(theta) + kH / 2)};
    }
    const double cosC =
        ClampUnit(sinD(lat) * sinD(lat0) + cosD(lat) * cosD(lat0) * cosD(lon0 - lon));
    const double c = std::acos(cosC) * kRadToDeg;
    if (c >= 90)
        return std::nullopt;
    const double sinC = sinD(c);
    const double q = ClampUnit(sinC >= 1e-7 ? sinD(lon0 - lon) * cosD(lat) / sinC : cosD(lat));
    double alpha = std::asin(q) * kRadToDeg;
    if (sinD(lat) <= sinD(lat0) * cosC)
        alpha = 180 - alpha;
    else if (alpha < 0)
        alpha += 360;
    const double r = s * std::tan(c * kDegToRad);
    const double theta = alpha + rot;
    return Pixel{int(r * sinD(theta) + kW / 2 + 0.5), int(r * cosD(theta) + kH / 2 + 0.5)};
}

GnomonicProjection gnomonic(double lon0, double lat0, double rot, double field)
{
    return GnomonicProjection(lon0, lat0, rot, field, kH + 1, kW, kH);
}

} // namespace

TEST(Gnomonic, AgreesWithTheLiteralFormulasOnRandomPoints)
{
    std::mt19937 random(8201);
    std::uniform_real_distribution<double> lon(0, 360), lat(-90, 90), field(10, 170);
    int compared = 0;
    int offByOne = 0;
    for (int i = 0; i < 20000; ++i) {
        // One centre in ten is polar.
        const double lat0 = i % 10 == 0 ? (i % 20 == 0 ? 90.0 : -90.0) : lat(random);
        const double l0 = lon(random), rot = lon(random), f = field(random);
        const double l = lon(random), b = lat(random);
        const std::optional<Pixel> literal = literalGnomonic(l0, lat0, rot, f, l, b);
        const std::optional<Pixel> fast = gnomonic(l0, lat0, rot, f).project(l, b);
        // Near the horizon the pixels are far away; there rounding decides.
        if (!literal || !fast || std::abs(literal->x) > 4000 || std::abs(literal->y) > 4000)
            continue;
        ++compared;
        ASSERT_LE(std::abs(literal->x - fast->x), 1) << "point " << i;
        ASSERT_LE(std::abs(literal->y - fast->y), 1) << "point " << i;
        offByOne += *literal == *fast ? 0 : 1;
    }
    EXPECT_GT(compared, 5000);
    // A pixel edge between the two roundings: rare.
    EXPECT_LT(offByOne, compared / 1000 + 1);
}

TEST(Gnomonic, NamedCases)
{
    struct Case {
        const char* name;
        double lon0, lat0, rot, field, lon, lat;
        std::optional<Pixel> expected;
    };
    const Case cases[] = {
        {"centre lands mid-canvas", 130, 40, 0, 120, 130, 40, Pixel{199, 199}},
        {"north is up", 130, 40, 0, 120, 130, 50, Pixel{199, 219}},
        {"east is left", 130, 0, 0, 120, 140, 0, Pixel{179, 199}},
        {"rotation 180 turns it over", 130, 40, 180, 120, 130, 50, Pixel{199, 179}},
        {"90 degrees away is not drawn", 0, 0, 0, 120, 90, 0, std::nullopt},
        {"north pole centre: the pole mid-canvas", 10, 90, 0, 120, 77, 90, Pixel{199, 199}},
        {"north pole centre: south of the equator is not drawn", 0, 90, 0, 120, 0, -1,
         std::nullopt},
        {"south pole centre: north is not drawn", 0, -90, 0, 120, 0, 1, std::nullopt},
        {"field 0 is taken as 1 degree", 0, 0, 0, 0, 0, 0.1, Pixel{199, 239}},
    };
    for (const Case& c : cases) {
        const std::optional<Pixel> p =
            gnomonic(c.lon0, c.lat0, c.rot, c.field).project(c.lon, c.lat);
        ASSERT_EQ(p.has_value(), c.expected.has_value()) << c.name;
        if (p) {
            EXPECT_EQ(*p, *c.expected) << c.name;
        }
    }
}

TEST(Gnomonic, EightyNineDegreesAwayIsFarOutsideAndAboveTwoHundredTheFieldStaysUpright)
{
    const std::optional<Pixel> far = gnomonic(0, 0, 0, 120).project(89, 0);
    ASSERT_TRUE(far.has_value());
    EXPECT_LT(far->x, -1000);
    // 200 would be more than a hemisphere: it is limited to 179, north stays up.
    const std::optional<Pixel> north = gnomonic(0, 0, 0, 200).project(0, 60);
    ASSERT_TRUE(north.has_value());
    EXPECT_GT(north->y, 199);
}

TEST(Gnomonic, InverseReadsBackEveryPixelForEveryRotationAndCentre)
{
    std::mt19937 random(77);
    std::uniform_real_distribution<double> lon(0, 360), lat(-90, 90), field(1, 179);
    std::uniform_int_distribution<int> pixel(0, kW);
    for (int i = 0; i < 5000; ++i) {
        const double lat0 = i % 7 == 0 ? 90.0 : i % 7 == 1 ? -90.0 : lat(random);
        const GnomonicProjection g = gnomonic(lon(random), lat0, lon(random), field(random));
        const Pixel p{pixel(random), pixel(random)};
        const std::optional<SkyPoint> back = g.inverse(p.x, p.y);
        ASSERT_TRUE(back.has_value());
        ASSERT_TRUE(std::isfinite(back->lonDeg) && std::isfinite(back->latDeg));
        const std::optional<Pixel> again = g.project(back->lonDeg, back->latDeg);
        ASSERT_TRUE(again.has_value()) << i;
        EXPECT_LE(std::abs(again->x - p.x), 1) << i;
        EXPECT_LE(std::abs(again->y - p.y), 1) << i;
    }
}

TEST(Gnomonic, InverseOfTheWorkedRotationCase)
{
    // Rotation 180 about (130, 40): ra 140 must read back as 140, not 119.6.
    const GnomonicProjection g = gnomonic(130, 40, 180, 120);
    const std::optional<Pixel> p = g.project(140, 40);
    ASSERT_TRUE(p.has_value());
    const std::optional<SkyPoint> back = g.inverse(p->x, p->y);
    ASSERT_TRUE(back.has_value());
    // Within the half pixel the rounding allows (0.25 degree, more in ra at dec 40).
    EXPECT_NEAR(back->lonDeg, 140, 0.4);
    EXPECT_NEAR(back->latDeg, 40, 0.3);
    // The centre pixel and a polar centre read back exactly.
    const std::optional<SkyPoint> centre = g.inverse(kW / 2, kH / 2);
    EXPECT_NEAR(centre->lonDeg, 130, 1e-9);
    EXPECT_NEAR(centre->latDeg, 40, 1e-9);
    EXPECT_NEAR(gnomonic(10, 90, 0, 120).inverse(kW / 2, kH / 2)->latDeg, 90, 1e-9);
}

TEST(Sinusoidal, NamedCases)
{
    // Scale 180 on an area 400 high: g = 399 / 180, dec 90 at the centre
    // longitude lands on y = 199 + 199.5, rounded to 399.
    const SinusoidalProjection full(180, 0, 180, kW, kH);
    EXPECT_NEAR(full.pixelsPerDegree(), 399.0 / 180, 1e-12);
    EXPECT_EQ(full.project(180, 90), (Pixel{199, 399}));
    EXPECT_EQ(full.project(180, 0), (Pixel{199, 199}));
    // Longitude increases to the left.
    EXPECT_LT(full.project(190, 0)->x, 199);
    const SinusoidalProjection tilted(180, 30, 180, kW, kH);
    const SkyPoint centre = tilted.inverse(kW / 2, kH / 2);
    EXPECT_NEAR(centre.lonDeg, 180, 1e-9);
    EXPECT_NEAR(centre.latDeg, 30, 1e-9);
}

TEST(Sinusoidal, InverseRoundTripsInsideTheSphere)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> lon(0, 359), lat(-89, 89), lon1(-179, 179),
        lat1(-89, 89);
    for (int i = 0; i < 5000; ++i) {
        const SinusoidalProjection s(lon(random), lat(random), 180, kW, kH);
        // A point on the sphere's picture, away from its edge.
        const double l = lon1(random), b = lat1(random);
        const double x = 199 - l * std::cos(b * kDegToRad) * s.pixelsPerDegree();
        const double y = 199 + b * s.pixelsPerDegree();
        const SkyPoint back = s.inverse(x, y);
        const std::optional<Pixel> again = s.project(back.lonDeg, back.latDeg);
        ASSERT_TRUE(again.has_value());
        EXPECT_LE(std::abs(again->x - std::lround(x)), 1) << i;
        EXPECT_LE(std::abs(again->y - std::lround(y)), 1) << i;
    }
}

TEST(OrbitCamera, NamedCases)
{
    const OrbitCamera camera(90, 67, 0, 10, kW, kH);
    // The Sun lands mid-picture.
    EXPECT_EQ(camera.project({0, 0, 0}), (Pixel{199, 199}));
    // The camera of the default view stands near the ecliptic's north pole:
    // a point beyond it, on the far side, is behind it and not drawn.
    const Vec3 eclipticPole{0, -0.3978, 0.9175};
    EXPECT_FALSE(camera.project(12.0 * eclipticPole).has_value());
    EXPECT_FALSE(camera.project(10.5 * eclipticPole).has_value());
    EXPECT_TRUE(camera.project(9.0 * eclipticPole).has_value());
    // A distance of 0 has a small positive minimum, so the Sun is still in front.
    const OrbitCamera zero(90, 67, 0, 0, kW, kH);
    EXPECT_GT(zero.distance(), 0);
    EXPECT_EQ(zero.project({0, 0, 0}), (Pixel{199, 199}));
}

TEST(PixelGuard, RejectsWhatNoCanvasCanShow)
{
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(), 1e300, -2e6};
    for (const double v : bad) {
        EXPECT_FALSE(truncatedPixel(v, 0).has_value()) << v;
        EXPECT_FALSE(roundedPixel(0, v).has_value()) << v;
    }
    EXPECT_EQ(truncatedPixel(-0.7, 3.9), (Pixel{0, 3}));
    EXPECT_EQ(roundedPixel(2.5, -2.5), (Pixel{3, -3}));
}
