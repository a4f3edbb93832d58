#pragma once
// Obliquity of the ecliptic and conversions between equatorial, ecliptic and centre-relative
// positions on the sky. Angles are degrees unless a name says radians.

#include "astro/angles.h"

// Newcomb's mean obliquity of date, T in Julian centuries from JD 2415020.0 (1900.0).
// Arcsecond form, returned in radians (used by the Sun's position).
double ObliquityRad(double jd);
// Degree form of the same polynomial (used for ecliptic points and planet orientations).
double ObliquityDeg(double jd);

// The arcsecond form at J2000.0 (JD 2451545.0, T = 1): 84381.41091" in radians.
constexpr double kObliquityJ2000Rad = (84428.26 - 46.845 - 0.0059 + 0.00181) * kDegToRad / 3600.0;
// The fixed obliquity of orbit outlines only.
constexpr double kOutlineObliquityDeg = 23.439226;

// Great-circle distance in degrees, 0 to 180; exactly 0 for identical points.
double AngularDistance(float ra1Deg, float dec1Deg, float ra2Deg, float dec2Deg);

// Ecliptic longitude in (-180, 180] and latitude of an equatorial position, for the given
// obliquity in radians.
void EquatorialToEcliptic(double obliquityRad, double raDeg, double decDeg, double& lonDeg,
                          double& latDeg);

// The point at distance distDeg from (lon0, lat0) toward position angle paDeg (0 toward
// increasing latitude, 90 toward increasing longitude); longitude in [0, 360]. A centre at a
// pole or a zero distance gives the centre itself.
void OffsetPoint(double lon0Deg, double lat0Deg, double paDeg, double distDeg, double& lonDeg,
                 double& latDeg);

// Distance (0 to 180) and signed position angle of (dLon, lat0 + dLat) seen from (0, lat0);
// the angle is negative when dLon < 0 or dLon > 180, and OffsetPoint(0, lat0, angle, distance)
// returns to the point. A centre at a pole or a zero distance gives distance 0 and angle 0.
void RelativePosition(double lat0Deg, double dLonDeg, double dLatDeg, double& distanceDeg,
                      double& positionAngleDeg);
