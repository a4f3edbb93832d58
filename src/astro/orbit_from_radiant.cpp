// Orbit from radiant: the meteoroid's heliocentric state at the Earth, then its elements.
#include "astro/orbit_from_radiant.h"

#include <cmath>
#include <limits>

#include "astro/angles.h"
#include "astro/sun.h"

namespace {

double wrap360(double deg)
{
    if (deg < 0.0)
        deg += 360.0;
    // A tiny negative angle plus 360 can round to 360.
    return deg >= 360.0 ? deg - 360.0 : deg;
}

// The meteoroid's heliocentric velocity (internal units) at the Earth.
Vec3 meteoroidVelocity(const EarthState& earth, double raRad, double decRad, double vgKms)
{
    const Vec3 towardRadiant{std::cos(decRad) * std::cos(raRad), std::cos(decRad) * std::sin(raRad),
                             std::sin(decRad)};
    return (-vgKms * kKmsToInternal) * towardRadiant + (1.0 / GaussK) * earth.velocity;
}

// The node (deg) of the orbit normal n, whose y and z are already on the ecliptic.
double nodeOf(double nx, double eclipticNy)
{
    return wrap360(ArctanQuadrant(nx, -eclipticNy) * kRadToDeg);
}

// Argument of perihelion (deg) from the true anomaly at the Earth, by the node the Earth sits
// at: near the Sun's longitude it is the descending node, opposite it the ascending one.
double perihelionArgument(double nodeDeg, double solDeg, double trueAnomalyDeg)
{
    const double separation = std::fabs(std::remainder(nodeDeg - solDeg, 360.0));
    if (separation < 60.0)
        return wrap360(180.0 - trueAnomalyDeg);
    if (separation > 120.0)
        return wrap360(0.0 - trueAnomalyDeg);
    return 0.0;
}

} // namespace

void ElementsFromState(const Vec3& r, const Vec3& v, double obliquityRad, double solRad,
                       double& periDeg, double& nodeDeg, double& inclDeg, double& a, double& q,
                       double& e)
{
    const double dist = norm(r);
    const double v2 = dot(v, v);
    const double p = dot(r, v);
    const double inverseA = 2.0 / dist - v2;
    const double h2 = v2 * dist * dist - p * p;
    const double h = std::sqrt(h2);
    // Rounding can take 1 - h^2/a a little below 0 for a circular orbit.
    e = std::sqrt(std::fmax(0.0, 1.0 - h2 * inverseA));

    const double nx = (r.y * v.z - r.z * v.y) / h;
    const double ny = (r.z * v.x - r.x * v.z) / h;
    const double nz = (r.x * v.y - r.y * v.x) / h;
    const double eclipticNy = ny * std::cos(obliquityRad) + nz * std::sin(obliquityRad);
    const double eclipticNz = nz * std::cos(obliquityRad) - ny * std::sin(obliquityRad);
    inclDeg = std::acos(ClampUnit(eclipticNz)) * kRadToDeg;
    nodeDeg = nodeOf(nx, eclipticNy);

    if (inverseA == 0.0) {
        a = std::numeric_limits<double>::infinity();
        q = h2 / (1.0 + e);
    } else {
        a = 1.0 / inverseA;
        q = a * (1.0 - e);
    }
    const double trueAnomalyDeg = ArctanQuadrant(h * p / dist, h2 / dist - 1.0) * kRadToDeg;
    periDeg = perihelionArgument(nodeDeg, solRad * kRadToDeg, trueAnomalyDeg);
}

void OrbitFromRadiant(double jd, double raRad, double decRad, double vgKms, double& periDeg,
                      double& nodeDeg, double& inclDeg, double& a, double& q, double& e)
{
    const EarthState earth = EarthPositionVelocity(jd);
    const Vec3 velocity = meteoroidVelocity(earth, raRad, decRad, vgKms);
    ElementsFromState(earth.position, velocity, earth.sun.obliquity, earth.sun.sol, periDeg,
                      nodeDeg, inclDeg, a, q, e);
}

HeliocentricOrbit OrbitAndSpeedFromRadiant(double jd, double raRad, double decRad, double vgKms)
{
    const EarthState earth = EarthPositionVelocity(jd);
    const Vec3 velocity = meteoroidVelocity(earth, raRad, decRad, vgKms);
    HeliocentricOrbit o{};
    ElementsFromState(earth.position, velocity, earth.sun.obliquity, earth.sun.sol, o.peri, o.node,
                      o.incl, o.a, o.q, o.e);
    o.vs = norm(velocity) / kKmsToInternal;
    return o;
}

double HeliocentricSpeed(double jd, double raRad, double decRad, double vgKms)
{
    return HeliocentricSpeed(EarthPositionVelocity(jd), raRad, decRad, vgKms);
}

double HeliocentricSpeed(const EarthState& earth, double raRad, double decRad, double vgKms)
{
    return norm(meteoroidVelocity(earth, raRad, decRad, vgKms)) / kKmsToInternal;
}
