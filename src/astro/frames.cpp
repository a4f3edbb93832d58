// Obliquity, angular distance and the equatorial, ecliptic and centre-relative conversions.
#include "astro/frames.h"

#include <cmath>

#include "astro/calendar.h"

namespace {

// Below this a sine or an angle in radians counts as zero: a pole or a vanishing distance.
constexpr double kNegligible = 1e-12;

double centuriesFrom1900(double jd) { return (jd - 2415020.0) / 36525.0; }

} // namespace

double ObliquityRad(double jd)
{
    const double t = centuriesFrom1900(jd);
    const double arcsec = 84428.26 - 46.845 * t - 0.0059 * t * t + 0.00181 * t * t * t;
    return arcsec * kDegToRad / 3600.0;
}

double ObliquityDeg(double jd)
{
    const double t = centuriesFrom1900(jd);
    return 23.452294 - 0.0130125 * t - 0.00000164 * t * t + 0.000000503 * t * t * t;
}

double AngularDistance(float ra1Deg, float dec1Deg, float ra2Deg, float dec2Deg)
{
    const double dec1 = dec1Deg * kDegToRad;
    const double dec2 = dec2Deg * kDegToRad;
    const double dRa = (static_cast<double>(ra1Deg) - ra2Deg) * kDegToRad;
    const double c =
        SnapUnit(std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(dRa));
    if (c >= 1.0)
        return 0.0;
    if (c <= -1.0)
        return 180.0;
    return std::acos(c) * kRadToDeg;
}

void EquatorialToEcliptic(double obliquityRad, double raDeg, double decDeg, double& lonDeg,
                          double& latDeg)
{
    EclipticRotation(obliquityRad).toEcliptic(raDeg, decDeg, lonDeg, latDeg);
}

EclipticRotation::EclipticRotation(double obliquityRad)
    : m_sinEps(std::sin(obliquityRad)), m_cosEps(std::cos(obliquityRad))
{
}

void EclipticRotation::toEcliptic(double raDeg, double decDeg, double& lonDeg, double& latDeg) const
{
    const double sinRa = std::sin(raDeg * kDegToRad), cosRa = std::cos(raDeg * kDegToRad);
    const double sinDec = std::sin(decDeg * kDegToRad), cosDec = std::cos(decDeg * kDegToRad);
    latDeg = std::asin(ClampUnit(sinDec * m_cosEps - cosDec * m_sinEps * sinRa)) * kRadToDeg;
    lonDeg = std::atan2(cosDec * sinRa * m_cosEps + sinDec * m_sinEps, cosDec * cosRa) * kRadToDeg;
}

void EclipticPointToEquatorial(double jd, double offsetDeg, double& raDeg, double& decDeg)
{
    const double lon = (SolarLongitude(jd) - offsetDeg) * kDegToRad;
    const double eps = ObliquityDeg(jd) * kDegToRad;
    decDeg = std::asin(std::sin(eps) * std::sin(lon)) * kRadToDeg;
    double alpha = 0.0;
    if (std::fabs(std::cos(lon)) > 1e-7)
        alpha = std::atan(std::cos(eps) * std::sin(lon) / std::cos(lon)) * kRadToDeg;
    else
        alpha = std::cos(lon) * std::cos(eps) * std::sin(lon) >= 0.0 ? 90.0 : -90.0;
    raDeg = std::cos(lon) > 0.0 ? alpha : alpha + 180.0;
}

void EclipticPointToEquatorial(int year, int month, int day, double offsetDeg, double& raDeg,
                               double& decDeg)
{
    EclipticPointToEquatorial(DateToJD(year, month, day, 12, 0, 0), offsetDeg, raDeg, decDeg);
}

void SunDailyPath::fillFor(int year)
{
    if (year == m_year)
        return;
    const double firstNoon = DateToJD(year, 1, 1, 12, 0, 0);
    for (int i = 0; i < kDays; ++i)
        EclipticPointToEquatorial(firstNoon + i, 0.0, m_raDeg[i], m_decDeg[i]);
    m_year = year;
}

void OffsetPoint(double lon0Deg, double lat0Deg, double paDeg, double distDeg, double& lonDeg,
                 double& latDeg)
{
    const double colat0 = (90.0 - lat0Deg) * kDegToRad;
    const double pa = paDeg * kDegToRad;
    const double dist = distDeg * kDegToRad;
    if (std::fabs(std::sin(colat0)) < kNegligible || std::fabs(dist) < kNegligible) {
        lonDeg = lon0Deg;
        latDeg = lat0Deg;
        return;
    }
    const double c = SnapUnit(std::cos(pa) * std::sin(colat0) * std::sin(dist) +
                              std::cos(dist) * std::cos(colat0));
    const double colat = std::acos(c);
    latDeg = 90.0 - colat * kRadToDeg;
    if (std::fabs(std::sin(colat)) < kNegligible) {
        // The target is a pole, where every longitude meets.
        lonDeg = lon0Deg;
        return;
    }
    const double k = (std::cos(dist) - std::cos(colat0) * c) / std::sin(colat0) / std::sin(colat);
    const double w = ArctanQuadrant(std::sin(dist) * (std::sin(pa) / std::sin(colat)), k);
    lonDeg = lon0Deg + w * kRadToDeg;
    if (lonDeg > 360.0)
        lonDeg -= 360.0;
    if (lonDeg < 0.0)
        lonDeg += 360.0;
}

void RelativePosition(double lat0Deg, double dLonDeg, double dLatDeg, double& distanceDeg,
                      double& positionAngleDeg)
{
    const double lat0 = lat0Deg * kDegToRad;
    const double lat1 = (lat0Deg + dLatDeg) * kDegToRad;
    const double t =
        std::acos(SnapUnit(std::cos(lat1) * std::cos(lat0) * std::cos(dLonDeg * kDegToRad) +
                           std::sin(lat1) * std::sin(lat0)));
    if (std::fabs(std::cos(lat0)) < kNegligible || t < kNegligible) {
        distanceDeg = 0.0;
        positionAngleDeg = 0.0;
        return;
    }
    // Only the position angle carries the side: a negative distance as well would send
    // OffsetPoint to the mirror image east of the centre.
    const double q =
        ClampUnit((std::sin(lat1) - std::sin(lat0) * std::cos(t)) / (std::cos(lat0) * std::sin(t)));
    const double a = std::acos(q) * kRadToDeg;
    const bool westward = dLonDeg < 0.0 || dLonDeg > 180.0;
    distanceDeg = t * kRadToDeg;
    positionAngleDeg = westward ? -a : a;
}
