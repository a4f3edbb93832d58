// D' criterion: eccentricity, perihelion distance, orbital plane and perihelion direction terms.
#include "astro/similarity.h"

#include <cmath>

#include "astro/angles.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

// (x1 - x2) / (x1 + x2), 0 when both are 0.
double relativeDifference(double x1, double x2)
{
    const double sum = x1 + x2;
    return sum == 0.0 ? 0.0 : (x1 - x2) / sum;
}

// Angle (deg) between two directions given by their cosine, from sines and cosines.
double angleFromCosineDeg(double cosine) { return std::acos(SnapUnit(cosine)) * kRadToDeg; }

} // namespace

void PerihelionDirection(double periRad, double inclRad, double& lonRad, double& latRad)
{
    lonRad = ArctanQuadrant(std::cos(inclRad) * std::sin(periRad), std::cos(periRad));
    if (lonRad > kTwoPi)
        lonRad -= kTwoPi;
    latRad = std::asin(ClampUnit(std::sin(inclRad) * std::sin(periRad)));
}

double DPrime(const DPrimeOrbit& orbit1, const DPrimeOrbit& orbit2)
{
    return DPrimeReference(orbit1).to(orbit2);
}

DPrimeReference::DPrimeReference(const DPrimeOrbit& orbit1)
    : m_orbit(orbit1), m_node(orbit1.nodeDeg * kDegToRad)
{
    const double i1 = orbit1.inclDeg * kDegToRad;
    m_cosIncl = std::cos(i1);
    m_sinIncl = std::sin(i1);
    double lat1 = 0.0;
    PerihelionDirection(orbit1.periDeg * kDegToRad, i1, m_lon, lat1);
    m_sinLat = std::sin(lat1);
    m_cosLat = std::cos(lat1);
}

double DPrimeReference::to(const DPrimeOrbit& orbit2) const
{
    const double i2 = orbit2.inclDeg * kDegToRad;
    const double node1 = m_node, node2 = orbit2.nodeDeg * kDegToRad;

    const double eTerm = relativeDifference(m_orbit.e, orbit2.e);
    const double qTerm = relativeDifference(m_orbit.q, orbit2.q);

    const double planeAngleDeg = angleFromCosineDeg(
        m_cosIncl * std::cos(i2) + m_sinIncl * std::sin(i2) * std::cos(node1 - node2));
    const double planeTerm = planeAngleDeg / 180.0;

    double lon2 = 0.0, lat2 = 0.0;
    PerihelionDirection(orbit2.periDeg * kDegToRad, i2, lon2, lat2);
    const double periAngleDeg =
        angleFromCosineDeg(m_sinLat * std::sin(lat2) +
                           m_cosLat * std::cos(lat2) * std::cos((node1 + m_lon) - (node2 + lon2)));
    const double periTerm = periAngleDeg * (m_orbit.e + orbit2.e) / 360.0;

    return std::sqrt(eTerm * eTerm + qTerm * qTerm + planeTerm * planeTerm + periTerm * periTerm);
}
