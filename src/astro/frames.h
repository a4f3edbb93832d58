#pragma once
// Obliquity of the ecliptic and conversions between equatorial, ecliptic and centre-relative
// positions on the sky. Angles are degrees unless a name says radians.

#include <array>

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
// The same with the obliquity's sine and cosine worked out once, for converting many positions.
class EclipticRotation {
public:
    explicit EclipticRotation(double obliquityRad);
    void toEcliptic(double raDeg, double decDeg, double& lonDeg, double& latDeg) const;

private:
    double m_sinEps;
    double m_cosEps;
};

// ra and dec of the ecliptic point at longitude SolarLongitude(jd) - offset (0: the Sun,
// 90: the apex of the Earth's way, 180: the anti-solar point). ra lies in [-90, 270) and is
// not normalised.
void EclipticPointToEquatorial(double jd, double offsetDeg, double& raDeg, double& decDeg);
// The same at noon of the given date.
void EclipticPointToEquatorial(int year, int month, int day, double offsetDeg, double& raDeg,
                               double& decDeg);

// The Sun's position at noon of each day of a year: entry i is 1 January + i days.
class SunDailyPath {
public:
    static constexpr int kDays = 366;
    // Recomputes the table unless it already holds this year.
    void fillFor(int year);
    // 0 until filled.
    int year() const { return m_year; }
    const std::array<double, kDays>& raDeg() const { return m_raDeg; }
    const std::array<double, kDays>& decDeg() const { return m_decDeg; }

private:
    int m_year = 0;
    std::array<double, kDays> m_raDeg{};
    std::array<double, kDays> m_decDeg{};
};

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
