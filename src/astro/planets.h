#pragma once
// The planets' mean-element model and the orbit outlines drawn on the orbit map; positions are
// heliocentric, AU, J2000.0 equatorial axes.

#include <array>
#include <vector>

#include "astro/vec3.h"

enum Planet { kMercury, kVenus, kEarth, kMars, kJupiter, kSaturn, kUranus, kNeptune, kPluto };
constexpr int kPlanetCount = 9;

// Mean elements of one body: L0 (deg at J2000.0), n (deg/day), L2 (deg/century^2),
// perihelion longitude, node (deg, per century, per century^2), inclination (deg, per
// century), e (per century), a (AU, per century), period P (years). The Earth's row describes
// the Sun's apparent geocentric orbit (L0 and perihelion longitude of the Earth plus 180).
struct PlanetElementRow {
    double L0, n, L2;
    double peri0, peri1, peri2;
    double node0, node1, node2;
    double incl0, incl1;
    double e0, e1;
    double a0, a1;
    double P;
};
extern const std::array<PlanetElementRow, kPlanetCount> PlanetElements;

// a (AU), e, longitude of perihelion (deg) and the unit vectors P (toward perihelion) and Q
// (90 degrees ahead in the orbit plane) of a body at an instant.
struct PlanetOrbitOrientation {
    double a;
    double e;
    double periLonDeg;
    Vec3 p;
    Vec3 q;
};

// body: 0 to 8, in Planet order.
PlanetOrbitOrientation PlanetOrientation(double jd, int body);
// Heliocentric position of the body (the Earth's row gives the Earth, not the Sun).
Vec3 PlanetPosition(double jd, int body, const PlanetOrbitOrientation& orientation);
Vec3 PlanetPosition(int body, int year, int month, int day, int hour, int minute, int second);

// 365 positions per body, backward from 0 h of a date in steps of the body's period in years
// read as days (so about one revolution), with the body's a at the last of them.
struct PlanetTrack {
    static constexpr int kPoints = 365;
    std::array<Vec3, kPoints> points;
    double a;
};
using PlanetTrackSet = std::array<PlanetTrack, kPlanetCount>;
PlanetTrackSet PlanetTracks(int year, int month, int day);

// P (toward perihelion) and Q of an orbit outline's plane, with the outlines' fixed obliquity.
void OutlineOrientation(double nodeDeg, double periDeg, double inclDeg, Vec3& p, Vec3& q);

// N points of an elliptic orbit at mean anomalies k * 360 / N, angles in degrees, with the
// fixed obliquity 23.439226 deg. N < 1, or an e outside [0, 1), gives no points.
std::vector<Vec3> OrbitOutline(double nodeDeg, double periDeg, double inclDeg, double a, double e,
                               int n);
