#pragma once
// The Sun's geocentric position from Newcomb's theory, precessed to J2000.0, and the Earth's
// heliocentric position and velocity derived from it.

#include "astro/vec3.h"

// x, y, z: the Sun's geocentric position, AU, J2000.0 equator and equinox; sol: its ecliptic
// longitude, radians in [0, 2 pi]; obliquity: mean obliquity of date, radians.
struct SunVector {
    double x;
    double y;
    double z;
    double sol;
    double obliquity;
};

SunVector SunPosition(double jd);

// Rotates a vector referred to the mean equator and equinox of date jd to B1950.0.
Vec3 PrecessToB1950(double jd, const Vec3& v);

// The Earth at an instant: the Sun there, and the Earth's heliocentric position (AU, J2000
// equatorial) and velocity (AU per day, a forward difference over 0.01 day).
struct EarthState {
    SunVector sun;
    Vec3 position;
    Vec3 velocity;
};

EarthState EarthPositionVelocity(double jd);
