#pragma once
// Heliocentric orbital elements of a meteoroid from its geocentric radiant and velocity at an
// instant (radiant already corrected; the meteoroid is placed at the Earth's centre).

#include "astro/sun.h"
#include "astro/vec3.h"

// Gaussian gravitational constant; the time unit is 1 / GaussK days, so that the Sun's
// gravitational parameter is 1.
constexpr double GaussK = 0.01720209895;
constexpr double AU_KM = 149597870.0;
// km/s to AU per time unit.
constexpr double kKmsToInternal = 86400.0 / (GaussK * AU_KM);

// jd carries the 64.184 s offset; ra and dec of the radiant in radians (J2000.0); vg in km/s,
// which callers keep at 0.01 km/s or more. Angles out in degrees: peri, node in [0, 360),
// incl in [0, 180]. a in AU is negative for a hyperbolic orbit and +infinity for an exactly
// parabolic one, whose q is then h^2 / (1 + e); q and e are always numbers.
void OrbitFromRadiant(double jd, double raRad, double decRad, double vgKms, double& periDeg,
                      double& nodeDeg, double& inclDeg, double& a, double& q, double& e);

// The elements and the heliocentric speed (km/s) of one radiant.
struct HeliocentricOrbit {
    double peri, node, incl, a, q, e, vs;
};
// OrbitFromRadiant and HeliocentricSpeed of the same inputs, bit for bit, with the Earth's
// state and the meteoroid's velocity computed once for both: for callers that need both over
// many radiants.
HeliocentricOrbit OrbitAndSpeedFromRadiant(double jd, double raRad, double decRad, double vgKms);

// The meteoroid's heliocentric speed, km/s, for the same inputs.
double HeliocentricSpeed(double jd, double raRad, double decRad, double vgKms);
// The same with the Earth's state at jd already computed: callers with many
// meteors of one instant compute it once.
double HeliocentricSpeed(const EarthState& earth, double raRad, double decRad, double vgKms);

// The elements of a heliocentric state in internal units (position R in AU and velocity V in
// AU per time unit, J2000 equatorial), for an ecliptic of obliquity obliquityRad, with the
// perihelion argument decided by which node lies near the Sun's longitude solRad. The step
// shared by OrbitFromRadiant and its tests.
void ElementsFromState(const Vec3& r, const Vec3& v, double obliquityRad, double solRad,
                       double& periDeg, double& nodeDeg, double& inclDeg, double& a, double& q,
                       double& e);
