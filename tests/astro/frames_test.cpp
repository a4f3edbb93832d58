// Obliquity, angular distance, equatorial-ecliptic conversion, offset points and relative
// positions.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "astro/calendar.h"
#include "astro/frames.h"
#include "astro/sun.h"

namespace {

TEST(Obliquity, BothFormsAgreeAndMatchJ2000)
{
    // Newcomb's value at J2000.0 is 23 deg 26' 21.41" = 23.439281 deg.
    EXPECT_NEAR(kObliquityJ2000Rad * kRadToDeg, 23.4392808, 1e-7);
    EXPECT_DOUBLE_EQ(ObliquityRad(2451545.0), kObliquityJ2000Rad);
    for (double jd : {2415020.0, 2451545.0, 2488069.5}) {
        SCOPED_TRACE(jd);
        EXPECT_NEAR(ObliquityDeg(jd), ObliquityRad(jd) * kRadToDeg, 2e-6);
    }
    // At 1900.0 both are the constant terms.
    EXPECT_DOUBLE_EQ(ObliquityDeg(2415020.0), 23.452294);
    EXPECT_DOUBLE_EQ(ObliquityRad(2415020.0), 84428.26 * kDegToRad / 3600.0);
}

TEST(AngularDistance, KnownSeparations)
{
    const struct {
        const char* name;
        float ra1, dec1, ra2, dec2;
        double expected;
    } cases[] = {
        {"quarter of the equator", 0, 0, 90, 0, 90.0},
        {"across the pole", 10, 89, 190, 89, 2.0},
        {"along a meridian", 45, -10, 45, 25, 35.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(AngularDistance(c.ra1, c.dec1, c.ra2, c.dec2), c.expected, 1e-5);
    }
}

TEST(AngularDistance, IdenticalAndAntipodalPointsAreExact)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> ra(0.0f, 360.0f);
    std::uniform_real_distribution<float> dec(-90.0f, 90.0f);
    for (int n = 0; n < 100000; ++n) {
        const float r = ra(random);
        const float d = dec(random);
        ASSERT_EQ(AngularDistance(r, d, r, d), 0.0) << r << " " << d;
        const float antipodeRa = std::floor(r) + 180.0f;
        ASSERT_EQ(AngularDistance(std::floor(r), d, antipodeRa, -d), 180.0) << r << " " << d;
    }
    EXPECT_EQ(AngularDistance(10.0f, 20.0f, 190.0f, -20.0f), 180.0);
    EXPECT_EQ(AngularDistance(0.0f, 90.0f, 0.0f, -90.0f), 180.0);
}

TEST(EquatorialToEcliptic, FixedPoints)
{
    const double eps = kObliquityJ2000Rad;
    const double epsDeg = eps * kRadToDeg;
    const struct {
        const char* name;
        double ra, dec, lon, lat;
    } cases[] = {
        {"summer solstice point", 90.0, epsDeg, 90.0, 0.0},
        {"March equinox", 0.0, 0.0, 0.0, 0.0},
        {"September equinox", 180.0, 0.0, 180.0, 0.0},
        {"north ecliptic pole", 270.0, 90.0 - epsDeg, 0.0, 90.0},
        {"north celestial pole", 0.0, 90.0, 90.0, 90.0 - epsDeg},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double lon = 0.0, lat = 0.0;
        EquatorialToEcliptic(eps, c.ra, c.dec, lon, lat);
        EXPECT_NEAR(lat, c.lat, 1e-9);
        if (std::fabs(c.lat) < 89.0) {
            EXPECT_NEAR(lon, c.lon, 1e-9);
        }
    }
}

// Oracle: the inverse rotation, ecliptic to equatorial, written independently.
void eclipticToEquatorial(double eps, double lonDeg, double latDeg, double& raDeg, double& decDeg)
{
    const double l = lonDeg * kDegToRad, b = latDeg * kDegToRad;
    decDeg = std::asin(std::sin(b) * std::cos(eps) + std::cos(b) * std::sin(eps) * std::sin(l)) *
             kRadToDeg;
    raDeg = std::atan2(std::cos(b) * std::sin(l) * std::cos(eps) - std::sin(b) * std::sin(eps),
                       std::cos(b) * std::cos(l)) *
            kRadToDeg;
}

TEST(EquatorialToEcliptic, InvertsTheEclipticToEquatorialRotation)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> lonDist(-179.9, 179.9);
    std::uniform_real_distribution<double> latDist(-85.0, 85.0);
    for (int n = 0; n < 2000; ++n) {
        const double lon = lonDist(random), lat = latDist(random);
        double ra = 0.0, dec = 0.0, lonBack = 0.0, latBack = 0.0;
        eclipticToEquatorial(kObliquityJ2000Rad, lon, lat, ra, dec);
        EquatorialToEcliptic(kObliquityJ2000Rad, ra, dec, lonBack, latBack);
        ASSERT_NEAR(lonBack, lon, 1e-9) << "lat " << lat;
        ASSERT_NEAR(latBack, lat, 1e-9) << "lon " << lon;
    }
}

TEST(OffsetPoint, MovesAlongTheMeridian)
{
    for (double lon0 : {0.0, 123.0, 359.0}) {
        for (double d : {0.5, 10.0, 30.0}) {
            double lon = 0.0, lat = 0.0;
            OffsetPoint(lon0, 40.0, 0.0, d, lon, lat);
            EXPECT_NEAR(std::remainder(lon - lon0, 360.0), 0.0, 1e-9);
            EXPECT_NEAR(lat, 40.0 + d, 1e-9);
        }
    }
}

TEST(OffsetPoint, EastOnTheEquatorAndToTheAntipode)
{
    double lon = 0.0, lat = 0.0;
    OffsetPoint(350.0, 0.0, 90.0, 20.0, lon, lat);
    EXPECT_NEAR(lon, 10.0, 1e-9);
    EXPECT_NEAR(lat, 0.0, 1e-9);
    OffsetPoint(30.0, 25.0, 45.0, 180.0, lon, lat);
    EXPECT_NEAR(lon, 210.0, 1e-6);
    EXPECT_NEAR(lat, -25.0, 1e-6);
}

TEST(OffsetPoint, PoleOrZeroDistanceGivesTheCentre)
{
    const struct {
        const char* name;
        double lon0, lat0, pa, dist;
    } cases[] = {
        {"north pole", 40.0, 90.0, 30.0, 5.0},
        {"south pole", 40.0, -90.0, 30.0, 5.0},
        {"zero distance", 40.0, 10.0, 30.0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double lon = -1.0, lat = -1.0;
        OffsetPoint(c.lon0, c.lat0, c.pa, c.dist, lon, lat);
        EXPECT_EQ(lon, c.lon0);
        EXPECT_EQ(lat, c.lat0);
    }
}

TEST(OffsetPoint, ReachingAPoleGivesAFiniteLongitude)
{
    double lon = 0.0, lat = 0.0;
    OffsetPoint(40.0, 80.0, 0.0, 10.0, lon, lat);
    EXPECT_NEAR(lat, 90.0, 1e-9);
    EXPECT_TRUE(std::isfinite(lon));
}

TEST(RelativePosition, PoleOrZeroDistanceGivesZero)
{
    const struct {
        const char* name;
        double lat0, dLon, dLat;
    } cases[] = {
        {"north pole", 90.0, 10.0, -5.0},
        {"south pole", -90.0, 10.0, 5.0},
        {"same point", 35.0, 0.0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double dist = -1.0, pa = -1.0;
        RelativePosition(c.lat0, c.dLon, c.dLat, dist, pa);
        EXPECT_EQ(dist, 0.0);
        EXPECT_EQ(pa, 0.0);
    }
}

TEST(RelativePosition, SignsFollowTheSide)
{
    double dist = 0.0, pa = 0.0;
    RelativePosition(0.0, 10.0, 0.0, dist, pa);
    EXPECT_NEAR(dist, 10.0, 1e-9);
    EXPECT_NEAR(pa, 90.0, 1e-9);
    RelativePosition(0.0, -10.0, 0.0, dist, pa);
    EXPECT_NEAR(dist, 10.0, 1e-9);
    EXPECT_NEAR(pa, -90.0, 1e-9);
    RelativePosition(20.0, 0.0, 5.0, dist, pa);
    EXPECT_NEAR(dist, 5.0, 1e-9);
    EXPECT_NEAR(pa, 0.0, 1e-6);
}

// The offset point from a relative position returns to the point it describes, on both sides.
TEST(RelativePosition, OffsetPointInvertsIt)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> lat0Dist(-70.0, 70.0);
    std::uniform_real_distribution<double> dLonDist(-40.0, 40.0);
    std::uniform_real_distribution<double> dLatDist(-15.0, 15.0);
    for (int n = 0; n < 2000; ++n) {
        const double lat0 = lat0Dist(random), dLon = dLonDist(random), dLat = dLatDist(random);
        double dist = 0.0, pa = 0.0, lon = 0.0, lat = 0.0;
        RelativePosition(lat0, dLon, dLat, dist, pa);
        OffsetPoint(0.0, lat0, pa, dist, lon, lat);
        ASSERT_NEAR(std::remainder(lon - dLon, 360.0), 0.0, 1e-7)
            << lat0 << " " << dLon << " " << dLat;
        ASSERT_NEAR(lat, lat0 + dLat, 1e-7) << lat0 << " " << dLon << " " << dLat;
    }
}

} // namespace

namespace {

TEST(EclipticPointToEquatorial, EquinoxAndSolsticePoints)
{
    const double jd = 2455000.5;
    const double sol = SolarLongitude(jd);
    double ra = 1.0, dec = 1.0;
    EclipticPointToEquatorial(jd, sol, ra, dec);
    EXPECT_NEAR(ra, 0.0, 1e-9);
    EXPECT_NEAR(dec, 0.0, 1e-9);
    EclipticPointToEquatorial(jd, sol - 270.0, ra, dec);
    EXPECT_NEAR(ra, 270.0, 1e-9);
    EXPECT_NEAR(dec, -ObliquityDeg(jd), 1e-9);
    EclipticPointToEquatorial(jd, sol - 90.0, ra, dec);
    EXPECT_NEAR(ra, 90.0, 1e-9);
    EXPECT_NEAR(dec, ObliquityDeg(jd), 1e-9);
}

TEST(EclipticPointToEquatorial, ApexAndAntiSolarPointAroundTheSun)
{
    for (double jd = 2451545.0; jd < 2451545.0 + 365.0; jd += 10.0) {
        double sunRa = 0, sunDec = 0, apexRa = 0, apexDec = 0, antiRa = 0, antiDec = 0;
        EclipticPointToEquatorial(jd, 0.0, sunRa, sunDec);
        EclipticPointToEquatorial(jd, 90.0, apexRa, apexDec);
        EclipticPointToEquatorial(jd, 180.0, antiRa, antiDec);
        EXPECT_GE(apexRa, -90.0);
        EXPECT_LT(apexRa, 270.0);
        EXPECT_NEAR(AngularDistance(sunRa, sunDec, apexRa, apexDec), 90.0, 1e-4) << jd;
        EXPECT_NEAR(AngularDistance(sunRa, sunDec, antiRa, antiDec), 180.0, 1e-4) << jd;
        // The Sun's own point is the direction of SunPosition.
        const SunVector sun = SunPosition(jd);
        const double ra = std::atan2(sun.y, sun.x) * kRadToDeg;
        EXPECT_NEAR(std::remainder(sunRa - ra, 360.0), 0.0, 0.01) << jd;
    }
}

TEST(SunDailyPath, FillsNoonPositionsOfTheYear)
{
    SunDailyPath path;
    EXPECT_EQ(path.year(), 0);
    path.fillFor(2021);
    EXPECT_EQ(path.year(), 2021);
    for (int i : {0, 100, 365}) {
        double ra = 0, dec = 0;
        EclipticPointToEquatorial(DateToJD(2021, 1, 1, 12, 0, 0) + i, 0.0, ra, dec);
        EXPECT_EQ(path.raDeg()[i], ra) << i;
        EXPECT_EQ(path.decDeg()[i], dec) << i;
    }
    const double firstRa2021 = path.raDeg()[0];
    path.fillFor(2022);
    EXPECT_EQ(path.year(), 2022);
    EXPECT_NE(path.raDeg()[0], firstRa2021);
}

} // namespace
