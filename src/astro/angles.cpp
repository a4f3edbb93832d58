// Angle utilities: normalisation, signed and absolute differences, clamps.
#include "astro/angles.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kUnitSnap = 4 * std::numeric_limits<double>::epsilon();

} // namespace

float Normalize360(float angleDeg)
{
    if (!std::isfinite(angleDeg))
        return angleDeg;
    // fmod is exact, so this equals repeated subtraction of 360 without its endless loop on
    // huge values.
    float reduced = std::fmod(angleDeg, 360.0f);
    if (reduced < 0.0f)
        reduced += 360.0f;
    // A tiny negative value plus 360 rounds to 360 in single precision.
    return reduced >= 360.0f ? 0.0f : reduced;
}

float AngleDiff(float aDeg, float bDeg)
{
    float diff = aDeg - bDeg;
    if (!std::isfinite(diff))
        return diff;
    diff = std::fmod(diff, 360.0f);
    if (diff >= 180.0f)
        diff -= 360.0f;
    if (diff <= -180.0f)
        diff += 360.0f;
    return diff;
}

float AbsAngleDiff(float aDeg, float bDeg) { return std::fabs(AngleDiff(aDeg, bDeg)); }

void AngleSpan::add(float angleDeg)
{
    const float offset = AngleDiff(angleDeg, m_centre);
    m_low = std::min(m_low, offset);
    m_high = std::max(m_high, offset);
}

float ClampLatitude(float latDeg)
{
    if (latDeg > 89.999999f)
        return 90.0f;
    if (latDeg < -89.999999f)
        return -90.0f;
    return latDeg;
}

double ClampUnit(double value)
{
    if (value > 1.0)
        return 1.0;
    if (value < -1.0)
        return -1.0;
    return value;
}

double SnapUnit(double cosine)
{
    if (cosine >= 1.0 - kUnitSnap)
        return 1.0;
    if (cosine <= -1.0 + kUnitSnap)
        return -1.0;
    return cosine;
}

double ArctanQuadrant(double num, double den)
{
    if (den == 0.0) {
        if (num == 0.0)
            return 0.0;
        return num > 0.0 ? kHalfPi : -kHalfPi;
    }
    const double angle = std::atan(num / den);
    return den < 0.0 ? angle + kPi : angle;
}
