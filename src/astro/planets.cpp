// Planet positions from mean elements, their yearly tracks, and orbit outlines.
#include "astro/planets.h"

#include <cmath>

#include "astro/calendar.h"
#include "astro/frames.h"

namespace {

constexpr double kJ2000 = 2451545.0;
// Kepler's equation is solved by Newton steps; an orbit outline needs less accuracy than a
// planet. The iteration cap only guards against non-finite input.
constexpr double kPlanetKeplerToleranceDeg = 1e-8;
constexpr double kOutlineKeplerToleranceDeg = 0.00001;
constexpr int kMaxKeplerSteps = 100;

// Eccentric anomaly (deg) for mean anomaly m (deg).
double solveKepler(double mDeg, double e, double toleranceDeg)
{
    const double eDeg = e * kRadToDeg;
    double ecc = mDeg + eDeg * std::sin(mDeg * kDegToRad);
    for (int step = 0; step < kMaxKeplerSteps; ++step) {
        const double next = ecc + (mDeg - (ecc - eDeg * std::sin(ecc * kDegToRad))) /
                                      (1.0 - e * std::cos(ecc * kDegToRad));
        const bool converged = std::fabs(next - ecc) <= toleranceDeg;
        ecc = next;
        if (converged)
            return ecc;
    }
    // Newton's steps can cycle or run away for e close to 1 near perihelion. E - e sin E
    // rises monotonically, and its root lies within e radians of M, so bisection always ends.
    double low = mDeg - eDeg, high = mDeg + eDeg;
    while (high - low > toleranceDeg) {
        const double mid = 0.5 * (low + high);
        (mid - eDeg * std::sin(mid * kDegToRad) < mDeg ? low : high) = mid;
    }
    return 0.5 * (low + high);
}

// P and Q of an orbit with node, argument of perihelion and inclination (deg) on an ecliptic
// of obliquity epsDeg.
void orientationVectors(double nodeDeg, double periDeg, double inclDeg, double epsDeg, Vec3& p,
                        Vec3& q)
{
    const double sn = std::sin(nodeDeg * kDegToRad), cn = std::cos(nodeDeg * kDegToRad);
    const double sw = std::sin(periDeg * kDegToRad), cw = std::cos(periDeg * kDegToRad);
    const double si = std::sin(inclDeg * kDegToRad), ci = std::cos(inclDeg * kDegToRad);
    const double se = std::sin(epsDeg * kDegToRad), ce = std::cos(epsDeg * kDegToRad);
    p = {cn * cw - sn * sw * ci, ce * (sn * cw + ci * cn * sw) - se * si * sw,
         se * (sn * cw + ci * cn * sw) + ce * si * sw};
    q = {-cn * sw - ci * sn * cw, ce * (ci * cn * cw - sn * sw) - se * si * cw,
         se * (ci * cn * cw - sn * sw) + ce * si * cw};
}

Vec3 inOrbitPlane(double eccDeg, double a, double e, const Vec3& p, const Vec3& q)
{
    const double x = a * (std::cos(eccDeg * kDegToRad) - e);
    const double y = a * std::sqrt(1.0 - e * e) * std::sin(eccDeg * kDegToRad);
    return x * p + y * q;
}

} // namespace

// clang-format off
const std::array<PlanetElementRow, kPlanetCount> PlanetElements = {{
    //  L0        n           L2       peri0     peri1     peri2    node0     node1   node2    incl0    incl1    e0        e1         a0         a1         P
    {252.2509, 4.09237706, 0.0003, 77.4561,  1.5564,   0.0003,  48.3309,  1.1861, 0.0002,  7.005,   0.0018,  0.205632, 0.00002,   0.387098,  0,         0.240852},
    {181.9798, 1.60216873, 0.0003, 131.5637, 1.4022,   -0.0011, 76.6799,  0.901,  0.0004,  3.3947,  0.001,   0.006722, -0.000048, 0.72333,   0,         0.615207},
    {280.4665, 0.98564736, 0.0003, 282.9373, 1.719597, 0.0005,  0,        0,      0,       0,       0,       0.01679,  -0.000042, 1.000001,  0,         1.00004},
    {355.433,  0.52407108, 0.0003, 336.0602, 1.841,    0.0001,  49.5581,  0.772,  0,       1.8497,  -0.0006, 0.093401, 0.00009,   1.52369,   0,         1.880866},
    {34.3515,  0.08312944, 0.0002, 14.3312,  1.6126,   0.001,   100.4644, 1.021,  0.0004,  1.3033,  -0.0055, 0.048498, 0.000163,  5.202603,  0,         11.86155},
    {50.0774,  0.03349791, 0.0005, 93.0572,  1.9638,   0.0008,  113.6655, 0.8771, -0.0001, 2.4899,  -0.0037, 0.055548, -0.000347, 9.554909,  -0.000002, 29.53216},
    {314.055,  0.01176904, 0.0003, 173.0052, 1.4863,   0.0002,  74.006,   0.5211, 0.0013,  0.7732,  0.0008,  0.046381, -0.000027, 19.218446, 0,         84.253},
    {304.3487, 0.00602008, 0.0003, 48.1203,  1.4263,   0.0004,  131.7841, 1.1022, 0.0003,  1.77,    -0.0093, 0.009456, 0.000006,  30.110387, 0,         165.2269},
    {238.467,  0.00401596, -0.0091, 224.1416, 1.3901,  0.0003,  110.3182, 1.3507, 0.0004,  17.1451, -0.0055, 0.249005, 0.000039,  39.540343, 0.003131,  248.6455},
}};
// clang-format on

PlanetOrbitOrientation PlanetOrientation(double jd, int body)
{
    const PlanetElementRow& el = PlanetElements[body];
    const double t = (jd - kJ2000) / 36525.0;
    PlanetOrbitOrientation o{};
    o.periLonDeg = el.peri0 + el.peri1 * t + el.peri2 * t * t;
    const double node = el.node0 + el.node1 * t + el.node2 * t * t;
    o.e = el.e0 + el.e1 * t;
    o.a = el.a0 + el.a1 * t;
    orientationVectors(node, o.periLonDeg - node, el.incl0 + el.incl1 * t, ObliquityDeg(jd), o.p,
                       o.q);
    return o;
}

Vec3 PlanetPosition(double jd, int body, const PlanetOrbitOrientation& orientation)
{
    const PlanetElementRow& el = PlanetElements[body];
    const double t = (jd - kJ2000) / 36525.0;
    const double meanAnomaly =
        std::fmod(el.L0 + el.n * (jd - kJ2000) + el.L2 * t * t - orientation.periLonDeg, 360.0);
    const double ecc = solveKepler(meanAnomaly, orientation.e, kPlanetKeplerToleranceDeg);
    const Vec3 position =
        inOrbitPlane(ecc, orientation.a, orientation.e, orientation.p, orientation.q);
    return body == kEarth ? -position : position;
}

Vec3 PlanetPosition(int body, int year, int month, int day, int hour, int minute, int second)
{
    const double jd = DateToJD(year, month, day, hour, minute, second);
    return PlanetPosition(jd, body, PlanetOrientation(jd, body));
}

PlanetTrackSet PlanetTracks(int year, int month, int day)
{
    PlanetTrackSet tracks{};
    for (int body = 0; body < kPlanetCount; ++body) {
        double t = DateToJD(year, month, day, 0, 0, 0);
        PlanetOrbitOrientation orientation{};
        for (Vec3& point : tracks[body].points) {
            orientation = PlanetOrientation(t, body);
            point = PlanetPosition(t, body, orientation);
            t -= PlanetElements[body].P;
        }
        tracks[body].a = orientation.a;
    }
    return tracks;
}

void OutlineOrientation(double nodeDeg, double periDeg, double inclDeg, Vec3& p, Vec3& q)
{
    orientationVectors(nodeDeg, periDeg, inclDeg, kOutlineObliquityDeg, p, q);
}

std::vector<Vec3> OrbitOutline(double nodeDeg, double periDeg, double inclDeg, double a, double e,
                               int n)
{
    std::vector<Vec3> points;
    if (n < 1 || !(e >= 0.0 && e < 1.0))
        return points;
    Vec3 p, q;
    orientationVectors(nodeDeg, periDeg, inclDeg, kOutlineObliquityDeg, p, q);
    points.reserve(n);
    for (int k = 0; k < n; ++k) {
        const double meanAnomaly = k * 360.0 / n;
        points.push_back(
            inOrbitPlane(solveKepler(meanAnomaly, e, kOutlineKeplerToleranceDeg), a, e, p, q));
    }
    return points;
}
