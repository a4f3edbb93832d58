#pragma once
// The maps' projections into canvas pixels and back: the gnomonic sky
// projection, the radiant map's sinusoidal one and the orbit map's camera,
// all through one guard that turns only sane coordinates into pixels.

#include <optional>
#include <vector>

#include "astro/vec3.h"

struct Pixel {
    int x = 0;
    int y = 0;
    friend bool operator==(const Pixel&, const Pixel&) = default;
};

// A direction on the sky in degrees, longitude first.
struct SkyPoint {
    double lonDeg = 0;
    double latDeg = 0;
};

// Coordinates further than this from the canvas cannot be a pixel of any map
// area; they are dropped before the cast to int.
inline constexpr double kPixelLimit = 1.0e6;

// trunc(x), trunc(y) as a pixel; nullopt when either is not finite or absurd.
std::optional<Pixel> truncatedPixel(double x, double y);
// The nearest pixel, with the same guard.
std::optional<Pixel> roundedPixel(double x, double y);

// Gnomonic projection about a centre, rotated, with the field of view across
// the map area's height. North is up and east to the left at rotation 0.
// Only points less than 90 degrees from the centre are projected.
class GnomonicProjection {
public:
    // Field of view limited to 1..179 degrees; a centre within 0.1 degree of
    // a pole is taken as the pole itself.
    GnomonicProjection(double centreLonDeg, double centreLatDeg, double rotationDeg,
                       double fieldDeg, int areaHeight, int maxX, int maxY);

    std::optional<Pixel> project(double lonDeg, double latDeg) const;
    // The direction shown at canvas (x, y); nullopt only without a scale.
    std::optional<SkyPoint> inverse(double x, double y) const;

private:
    std::optional<Pixel> projectPolar(double lonDeg, double latDeg) const;

    int m_pole = 0; // +1 or -1 when the centre is a pole
    double m_lon0Deg = 0;
    double m_rotDeg = 0;
    Vec3 m_centre;
    Vec3 m_west;  // unit vector toward decreasing longitude at the centre
    Vec3 m_north; // unit vector toward the pole at the centre
    double m_cosRot;
    double m_sinRot;
    double m_scale;
    double m_halfW;
    double m_halfH;
};

// The radiant map's equal-area projection: the centre rotated to (0, 0), then
// x = W div 2 - lon' cos(lat') g, y = H div 2 + lat' g, g = H / degrees.
class SinusoidalProjection {
public:
    SinusoidalProjection(double centreLonDeg, double centreLatDeg, double heightDeg, int maxX,
                         int maxY);
    std::optional<Pixel> project(double lonDeg, double latDeg) const;
    // The centre-relative (lon', lat') of a direction, lon' in (-180, 180].
    SkyPoint rotated(double lonDeg, double latDeg) const;
    // The direction shown at canvas (x, y), lon in [0, 360).
    SkyPoint inverse(double x, double y) const;
    // As inverse, but none for a pixel outside the sphere's outline.
    std::optional<SkyPoint> inverseOnMap(double x, double y) const;
    // inverseOnMap for the pixels x = 0 .. row.size()-1 of canvas row y, the
    // row's own sines worked out once.
    void inverseRowOnMap(int y, std::vector<std::optional<SkyPoint>>& row) const;
    double pixelsPerDegree() const { return m_g; }
    int centreX() const { return m_halfW; }
    int centreY() const { return m_halfH; }

private:
    SkyPoint inverseAt(double x, double cosLat1, double sinLat1) const;

    double m_lon0;
    double m_cosLat0;
    double m_sinLat0;
    double m_g;
    int m_halfW;
    int m_halfH;
};

// The orbit map's perspective camera looking at the Sun from distance D (AU)
// in the direction opposite to (lon, lat), the picture rotated by rot.
class OrbitCamera {
public:
    static constexpr double kMinDistanceAu = 0.01;
    // Points nearer the camera's plane than this (AU) are not drawn.
    static constexpr double kMinDepthAu = 1.0e-6;

    OrbitCamera(double lonDeg, double latDeg, double rotationDeg, double distanceAu, int maxX,
                int maxY);
    // Heliocentric equatorial point (AU) to pixel; nullopt behind the camera.
    std::optional<Pixel> project(const Vec3& point) const;
    double distance() const { return m_distance; }

private:
    Vec3 m_u;
    Vec3 m_camera;
    double m_cosL;
    double m_sinL;
    double m_cosB;
    double m_sinB;
    double m_cosRot;
    double m_sinRot;
    double m_distance;
    double m_w;
    double m_h;
};
