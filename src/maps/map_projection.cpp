// Gnomonic, sinusoidal and camera projections and the pixel guard.
#include "maps/map_projection.h"

#include <algorithm>
#include <cmath>

#include "astro/angles.h"

namespace {

constexpr double kPolarCentreDeg = 89.9;
constexpr double kMinFieldDeg = 1.0;
constexpr double kMaxFieldDeg = 179.0;

bool sane(double v) { return std::isfinite(v) && std::fabs(v) < kPixelLimit; }

Vec3 unitVector(double lonDeg, double latDeg)
{
    const double lon = lonDeg * kDegToRad;
    const double lat = latDeg * kDegToRad;
    return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
}

SkyPoint directionOf(const Vec3& v)
{
    double lon = std::atan2(v.y, v.x) * kRadToDeg;
    if (lon < 0)
        lon += 360.0;
    if (lon >= 360.0)
        lon = 0.0;
    return {lon, std::atan2(v.z, std::hypot(v.x, v.y)) * kRadToDeg};
}

// a - b in (-180, 180].
double angleDiffDeg(double a, double b)
{
    double d = std::fmod(a - b, 360.0);
    if (d > 180.0)
        d -= 360.0;
    if (d <= -180.0)
        d += 360.0;
    return d;
}

} // namespace

std::optional<Pixel> truncatedPixel(double x, double y)
{
    if (!sane(x) || !sane(y))
        return std::nullopt;
    return Pixel{static_cast<int>(x), static_cast<int>(y)};
}

std::optional<Pixel> roundedPixel(double x, double y)
{
    if (!sane(x) || !sane(y))
        return std::nullopt;
    return Pixel{static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
}

GnomonicProjection::GnomonicProjection(double centreLonDeg, double centreLatDeg, double rotationDeg,
                                       double fieldDeg, int areaHeight, int maxX, int maxY)
    : m_cosRot(std::cos(rotationDeg * kDegToRad)), m_sinRot(std::sin(rotationDeg * kDegToRad)),
      m_halfW(maxX / 2), m_halfH(maxY / 2)
{
    // Near a pole the projection is the polar one, about the pole exactly.
    double lat0 = std::isfinite(centreLatDeg) ? std::clamp(centreLatDeg, -90.0, 90.0) : 0.0;
    if (std::fabs(lat0) > kPolarCentreDeg) {
        m_pole = lat0 > 0 ? 1 : -1;
        lat0 = 90.0 * m_pole;
    }
    m_lon0Deg = std::isfinite(centreLonDeg) ? centreLonDeg : 0.0;
    m_rotDeg = std::isfinite(rotationDeg) ? rotationDeg : 0.0;
    const double lon0 = m_lon0Deg * kDegToRad;
    const double sinLat0 = lat0 == 90.0 ? 1.0 : lat0 == -90.0 ? -1.0 : std::sin(lat0 * kDegToRad);
    const double cosLat0 = std::fabs(lat0) == 90.0 ? 0.0 : std::cos(lat0 * kDegToRad);
    m_centre = {cosLat0 * std::cos(lon0), cosLat0 * std::sin(lon0), sinLat0};
    m_west = {std::sin(lon0), -std::cos(lon0), 0.0};
    m_north = {-sinLat0 * std::cos(lon0), -sinLat0 * std::sin(lon0), cosLat0};
    // A field of 0 would give infinite pixels and one of 180 or more turns
    // the picture over.
    const double field =
        std::isfinite(fieldDeg) ? std::clamp(fieldDeg, kMinFieldDeg, kMaxFieldDeg) : kMinFieldDeg;
    m_scale = (areaHeight / 2.0) / std::tan(kDegToRad * field / 2.0);
}

std::optional<Pixel> GnomonicProjection::projectPolar(double lonDeg, double latDeg) const
{
    // Colatitude from the pole in the centre, and the angle about it.
    const double p = m_pole > 0 ? 90.0 - latDeg : -latDeg - 90.0;
    if (!(p > -90.0 && p < 90.0))
        return std::nullopt;
    const double theta =
        (m_pole > 0 ? 180.0 - (m_lon0Deg - lonDeg) : (m_lon0Deg - lonDeg) + 180.0) + m_rotDeg;
    const double r = m_scale * std::tan(p * kDegToRad);
    return truncatedPixel(r * std::sin(theta * kDegToRad) + m_halfW,
                          r * std::cos(theta * kDegToRad) + m_halfH);
}

std::optional<Pixel> GnomonicProjection::project(double lonDeg, double latDeg) const
{
    if (m_pole != 0)
        return projectPolar(lonDeg, latDeg);
    const Vec3 v = unitVector(lonDeg, latDeg);
    const double cosC = dot(v, m_centre);
    if (!(cosC > 0.0))
        return std::nullopt;
    // r sin(alpha) and r cos(alpha): the tangent-plane offsets before rotation.
    const double east = m_scale * dot(v, m_west) / cosC;
    const double up = m_scale * dot(v, m_north) / cosC;
    const double x = east * m_cosRot + up * m_sinRot;
    const double y = up * m_cosRot - east * m_sinRot;
    return truncatedPixel(x + m_halfW + 0.5, y + m_halfH + 0.5);
}

std::optional<SkyPoint> GnomonicProjection::inverse(double x, double y) const
{
    if (!(m_scale > 0.0) || !std::isfinite(m_scale))
        return std::nullopt;
    const double dx = x - m_halfW;
    const double dy = y - m_halfH;
    const double west = (dx * m_cosRot - dy * m_sinRot) / m_scale;
    const double north = (dx * m_sinRot + dy * m_cosRot) / m_scale;
    const Vec3 v = m_centre + west * m_west + north * m_north;
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
        return std::nullopt;
    return directionOf(v);
}

SinusoidalProjection::SinusoidalProjection(double centreLonDeg, double centreLatDeg,
                                           double heightDeg, int maxX, int maxY)
    : m_lon0(std::isfinite(centreLonDeg) ? centreLonDeg : 0.0),
      m_cosLat0(std::cos((std::isfinite(centreLatDeg) ? centreLatDeg : 0.0) * kDegToRad)),
      m_sinLat0(std::sin((std::isfinite(centreLatDeg) ? centreLatDeg : 0.0) * kDegToRad)),
      m_g(maxY / heightDeg), m_halfW(maxX / 2), m_halfH(maxY / 2)
{
}

SkyPoint SinusoidalProjection::rotated(double lonDeg, double latDeg) const
{
    const double dLon = angleDiffDeg(lonDeg, m_lon0) * kDegToRad;
    const double lat = latDeg * kDegToRad;
    const double p = std::cos(dLon) * std::cos(lat);
    const double q = std::sin(dLon) * std::cos(lat);
    const double r = std::sin(lat);
    const double p1 = p * m_cosLat0 + r * m_sinLat0;
    const double r1 = r * m_cosLat0 - p * m_sinLat0;
    double lon1 = std::atan2(q, p1) * kRadToDeg;
    if (lon1 < 0)
        lon1 += 360.0;
    if (lon1 > 180.0)
        lon1 -= 360.0;
    return {lon1, std::asin(ClampUnit(r1)) * kRadToDeg};
}

std::optional<Pixel> SinusoidalProjection::project(double lonDeg, double latDeg) const
{
    const SkyPoint r = rotated(lonDeg, latDeg);
    return roundedPixel(m_halfW - r.lonDeg * std::cos(r.latDeg * kDegToRad) * m_g,
                        m_halfH + r.latDeg * m_g);
}

SkyPoint SinusoidalProjection::inverse(double x, double y) const
{
    const double lat1 = std::clamp((y - m_halfH) / m_g, -90.0, 90.0) * kDegToRad;
    return inverseAt(x, std::cos(lat1), std::sin(lat1));
}

SkyPoint SinusoidalProjection::inverseAt(double x, double cosLat1, double sinLat1) const
{
    const double lon1 =
        cosLat1 > 1e-9 ? std::clamp((m_halfW - x) / m_g / cosLat1, -180.0, 180.0) : 0.0;
    const double lon = lon1 * kDegToRad;
    const Vec3 turned{cosLat1 * std::cos(lon), cosLat1 * std::sin(lon), sinLat1};
    const Vec3 v{turned.x * m_cosLat0 - turned.z * m_sinLat0, turned.y,
                 turned.z * m_cosLat0 + turned.x * m_sinLat0};
    SkyPoint point = directionOf(v);
    point.lonDeg = std::fmod(point.lonDeg + m_lon0, 360.0);
    if (point.lonDeg < 0)
        point.lonDeg += 360.0;
    return point;
}

std::optional<SkyPoint> SinusoidalProjection::inverseOnMap(double x, double y) const
{
    const double lat1 = (y - m_halfH) / m_g;
    if (std::fabs(lat1) > 90.0)
        return std::nullopt;
    if (std::fabs((m_halfW - x) / m_g) > 180.0 * std::cos(lat1 * kDegToRad))
        return std::nullopt;
    return inverse(x, y);
}

void SinusoidalProjection::inverseRowOnMap(int y, std::vector<std::optional<SkyPoint>>& row) const
{
    const double lat1Deg = (y - m_halfH) / m_g;
    const bool onMap = !(std::fabs(lat1Deg) > 90.0);
    const double lat1 = lat1Deg * kDegToRad;
    const double cosLat1 = std::cos(lat1);
    const double sinLat1 = std::sin(lat1);
    for (std::size_t x = 0; x < row.size(); ++x) {
        const double dx = static_cast<double>(x);
        row[x] = std::nullopt;
        if (onMap && !(std::fabs((m_halfW - dx) / m_g) > 180.0 * cosLat1))
            row[x] = inverseAt(dx, cosLat1, sinLat1);
    }
}

OrbitCamera::OrbitCamera(double lonDeg, double latDeg, double rotationDeg, double distanceAu,
                         int maxX, int maxY)
    : m_cosL(std::cos((lonDeg + 180.0) * kDegToRad)),
      m_sinL(std::sin((lonDeg + 180.0) * kDegToRad)), m_cosB(std::cos(latDeg * kDegToRad)),
      m_sinB(std::sin(latDeg * kDegToRad)), m_cosRot(std::cos(rotationDeg * kDegToRad)),
      m_sinRot(std::sin(rotationDeg * kDegToRad)),
      m_distance(std::isfinite(distanceAu) ? std::max(distanceAu, kMinDistanceAu) : kMinDistanceAu),
      m_w(maxX), m_h(maxY)
{
    m_u = {m_cosB * m_cosL, m_cosB * m_sinL, m_sinB};
    m_camera = m_distance * m_u;
}

std::optional<Pixel> OrbitCamera::project(const Vec3& point) const
{
    const Vec3 d = point - m_camera;
    const double t = -dot(d, m_u);
    // At or behind the camera the perspective division would mirror the point.
    if (!(t > kMinDepthAu))
        return std::nullopt;
    const double a = m_w * (d.y * m_cosL - d.x * m_sinL) / t;
    const double v = m_w * (d.z * m_cosB - (d.y * m_sinL + d.x * m_cosL) * m_sinB) / t;
    return truncatedPixel(a * m_cosRot + m_w / 2 + v * m_sinRot,
                          v * m_cosRot + m_h / 2 - a * m_sinRot);
}
