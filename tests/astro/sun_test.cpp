// The Sun's position from Newcomb's theory, the term tables, precession, and the Earth's state.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "astro/calendar.h"
#include "astro/frames.h"
#include "astro/newcomb_series.h"
#include "astro/newcomb_terms.h"
#include "astro/sun.h"
#include "support/test_support.h"

namespace {

// Reference values of newcomb_sun_terms.PROVENANCE.md (the same computation, checked against
// ERFA's geometric Sun to 0.27").
TEST(SunPosition, SolMatchesTheDataNote)
{
    const struct {
        double jd;
        double solDeg;
    } cases[] = {{2451545.0, 280.377805},
                 {2451767.5, 138.633726},
                 {2459000.5, 69.738004},
                 {2415020.0, 281.041053},
                 {2488069.5, 279.211083}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.jd);
        EXPECT_NEAR(SunPosition(c.jd).sol * kRadToDeg, c.solDeg, 1e-6);
        EXPECT_NEAR(SolarLongitude(c.jd), c.solDeg, 1e-6);
    }
}

TEST(SunPosition, DistanceAtPerihelionAndAphelion)
{
    // Data note: 0.9833217 AU on 2000-01-03 0h, 1.0167407 AU on 2000-07-04 0h.
    const SunVector january = SunPosition(DateToJD(2000, 1, 3, 0, 0, 0));
    const SunVector july = SunPosition(DateToJD(2000, 7, 4, 0, 0, 0));
    EXPECT_NEAR(norm({january.x, january.y, january.z}), 0.9833217, 1e-7);
    EXPECT_NEAR(norm({july.x, july.y, july.z}), 1.0167407, 1e-7);
}

TEST(PrecessToB1950, IdentityAtB1950AndARotationElsewhere)
{
    const Vec3 v{0.3, -0.5, 0.81};
    const Vec3 same = PrecessToB1950(2433282.423, v);
    EXPECT_DOUBLE_EQ(same.x, v.x);
    EXPECT_DOUBLE_EQ(same.y, v.y);
    EXPECT_DOUBLE_EQ(same.z, v.z);
    for (double jd : {2415020.0, 2451545.0, 2488069.5}) {
        EXPECT_NEAR(norm(PrecessToB1950(jd, v)), norm(v), 1e-9) << jd;
    }
    // From J2000.0 back to B1950.0 the equinox turns by zeta + z, about 0.640 deg.
    const Vec3 equinox = PrecessToB1950(2451545.0, {1.0, 0.0, 0.0});
    EXPECT_NEAR(std::atan2(equinox.y, equinox.x) * kRadToDeg, -0.640, 0.005);
}

TEST(EarthPositionVelocity, OppositeTheSunAndMovingAtOrbitalSpeed)
{
    constexpr double kAuPerDayToKms = 149597870.0 / 86400.0;
    for (double jd = 2451545.0; jd < 2451545.0 + 365.0; jd += 17.0) {
        const EarthState earth = EarthPositionVelocity(jd);
        EXPECT_DOUBLE_EQ(earth.position.x, -earth.sun.x);
        const double speedKms = norm(earth.velocity) * kAuPerDayToKms;
        EXPECT_GT(speedKms, 29.2) << jd;
        EXPECT_LT(speedKms, 30.4) << jd;
        // Nearly circular: the velocity is almost perpendicular to the radius.
        const double cosAngle =
            dot(earth.position, earth.velocity) / norm(earth.position) / norm(earth.velocity);
        EXPECT_LT(std::fabs(cosAngle), 0.02) << jd;
        // The forward difference agrees with a central difference over a day.
        const Vec3 central = 0.5 * (EarthPositionVelocity(jd + 1.0).position -
                                    EarthPositionVelocity(jd - 1.0).position);
        EXPECT_LT(norm(central - earth.velocity), 0.002 * norm(earth.velocity)) << jd;
    }
}

// Oracle of the angle-addition evaluation: one cosine per term.
NewcombPlanetarySums straightforwardSums(double g, const std::array<double, 5>& planets)
{
    NewcombPlanetarySums sums{0.0, 0.0, 0.0};
    for (const NewcombLonRadTerm& t : kNewcombLonRadTerms) {
        const double arg = t.j * planets[static_cast<int>(t.planet)] + t.i * g;
        sums.lonArcsec += t.lonAmplitudeArcsec * std::cos(t.lonPhaseDeg * kDegToRad - arg);
        sums.rad1e9 += t.radAmplitude1e9 * std::cos(t.radPhaseDeg * kDegToRad - arg);
    }
    for (const NewcombLatTerm& t : kNewcombLatTerms) {
        const double arg = t.j * planets[static_cast<int>(t.planet)] + t.i * g;
        sums.latArcsec += t.amplitudeArcsec * std::cos(t.phaseDeg * kDegToRad - arg);
    }
    return sums;
}

TEST(NewcombSeries, AngleAdditionMatchesOneCosinePerTerm)
{
    std::mt19937 random(29);
    std::uniform_real_distribution<double> angle(0.0, 2 * M_PI);
    for (int n = 0; n < 2000; ++n) {
        const double g = angle(random);
        const std::array<double, 5> planets{angle(random), angle(random), angle(random),
                                            angle(random), angle(random)};
        const NewcombPlanetarySums fast = EvaluateNewcombSeries(unitAngle(g), planets);
        const NewcombPlanetarySums plain = straightforwardSums(g, planets);
        // 1e-12" and 1e-9 units of 1e-9 in log10 R: far below the series' own precision.
        ASSERT_NEAR(fast.lonArcsec, plain.lonArcsec, 1e-12);
        ASSERT_NEAR(fast.rad1e9, plain.rad1e9, 1e-9);
        ASSERT_NEAR(fast.latArcsec, plain.latArcsec, 1e-12);
    }
}

TEST(NewcombSeries, MultiplesStayInsideTheEvaluatedRange)
{
    auto inRange = [](int k) { return k >= -kMaxNewcombMultiple && k <= kMaxNewcombMultiple; };
    for (const NewcombLonRadTerm& t : kNewcombLonRadTerms)
        EXPECT_TRUE(inRange(t.i) && inRange(t.j));
    for (const NewcombLatTerm& t : kNewcombLatTerms)
        EXPECT_TRUE(inRange(t.i) && inRange(t.j));
}

const char* planetName(PerturbingPlanet planet)
{
    static const char* const kNames[] = {"Mercury", "Venus", "Mars", "Jupiter", "Saturn"};
    return kNames[static_cast<int>(planet)];
}

// The compiled tables hold exactly the rows of the source data, in its order.
TEST(NewcombTerms, MatchTheSourceData)
{
    std::ifstream in(projectDataFile("sources/newcomb_sun_terms.csv"));
    ASSERT_TRUE(in.is_open());
    std::vector<std::string> expected;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream fields(line);
        std::string series, planet, i, j, amplitude, phase;
        std::getline(fields, series, ',');
        std::getline(fields, planet, ',');
        std::getline(fields, i, ',');
        std::getline(fields, j, ',');
        std::getline(fields, amplitude, ',');
        std::getline(fields, phase, ',');
        expected.push_back(series + "," + planet + "," + i + "," + j + "," +
                           std::to_string(std::stod(amplitude)) + "," +
                           std::to_string(std::stod(phase)));
    }
    auto canonical = [](const std::string& series, PerturbingPlanet planet, int i, int j,
                        double amplitude, double phase) {
        return series + "," + planetName(planet) + "," + std::to_string(i) + "," +
               std::to_string(j) + "," + std::to_string(amplitude) + "," + std::to_string(phase);
    };
    std::vector<std::string> actual;
    for (const NewcombLonRadTerm& t : kNewcombLonRadTerms)
        actual.push_back(
            canonical("longitude", t.planet, t.i, t.j, t.lonAmplitudeArcsec, t.lonPhaseDeg));
    for (const NewcombLonRadTerm& t : kNewcombLonRadTerms)
        actual.push_back(canonical("log10r", t.planet, t.i, t.j, t.radAmplitude1e9, t.radPhaseDeg));
    for (const NewcombLatTerm& t : kNewcombLatTerms)
        actual.push_back(canonical("latitude", t.planet, t.i, t.j, t.amplitudeArcsec, t.phaseDeg));
    EXPECT_EQ(actual, expected);
}

} // namespace

namespace {

// Each instant computed on a thread of its own, where nothing is remembered yet.
SunVector freshSunPosition(double jd)
{
    SunVector sun{};
    std::thread([&] { sun = SunPosition(jd); }).join();
    return sun;
}

TEST(SunPosition, RememberedInstantsGiveTheirOwnPosition)
{
    const double a = 2451545.0, b = 2451545.01, c = 2455000.5;
    for (double jd : {a, b, a, c, b, b, a, c, c, a}) {
        const SunVector remembered = SunPosition(jd);
        const SunVector fresh = freshSunPosition(jd);
        ASSERT_EQ(remembered.x, fresh.x) << jd;
        ASSERT_EQ(remembered.sol, fresh.sol) << jd;
    }
}

} // namespace
