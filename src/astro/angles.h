#pragma once
// Degree-radian factors and the small angle utilities behind every sol and longitude comparison.

#include <cmath>

// Every conversion of the astronomy code multiplies by one of these (it never divides by pi).
constexpr double kDegToRad = 0.01745329251994329;
constexpr double kRadToDeg = 57.29577951308234;
constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;

// std::fmod(deg, 360.0) bit for bit, without fmod's bit-by-bit long division. Below 2^53 a
// deg short of a multiple 360 n is short by at least its own ulp, which keeps deg / 360 more
// than half an ulp below n: the rounded quotient never reaches the next integer, so truncated it
// is fmod's quotient, its product with 360 an exact integer and the difference the exact
// remainder, whose zero takes the sign of deg as fmod's does.
inline double Fmod360(double deg)
{
    constexpr double kExactBelow = 9007199254740992.0; // 2^53
    if (!(std::fabs(deg) < kExactBelow))
        return std::fmod(deg, 360.0);
    const double quotient = static_cast<double>(static_cast<long long>(deg / 360.0));
    return std::copysign(deg - quotient * 360.0, deg);
}

// The angle brought into [0, 360). Non-finite values come back unchanged.
float Normalize360(float angleDeg);
// a - b reduced to (-180, 180]; exactly -180 becomes +180.
float AngleDiff(float aDeg, float bDeg);
// |AngleDiff(a, b)|, in [0, 180].
float AbsAngleDiff(float aDeg, float bDeg);
// The span of angles about a centre as activity limits take it: the smallest
// and largest offsets AngleDiff(angle, centre), both starting at 0, so a span
// across 0 stays short and keeps its ends in order.
class AngleSpan {
public:
    explicit AngleSpan(float centreDeg) : m_centre(centreDeg) {}
    void add(float angleDeg);
    float lowOffset() const { return m_low; }
    float highOffset() const { return m_high; }
    float startDeg() const { return Normalize360(m_centre + m_low); }
    float endDeg() const { return Normalize360(m_centre + m_high); }

private:
    float m_centre;
    float m_low = 0.0f;
    float m_high = 0.0f;
};
// 90 above 89.999999, -90 below -89.999999, otherwise unchanged.
float ClampLatitude(float latDeg);
// The value limited to [-1, 1]; applied to cosines before an arc cosine.
double ClampUnit(double value);
// ClampUnit, and a cosine within a few rounding steps of +1 or -1 becomes exactly that:
// sin^2 + cos^2 of one angle may round below 1, and identical directions must be 0 apart.
// The angles so snapped are below 3e-6 degrees, under the resolution of single-precision data.
double SnapUnit(double cosine);

// arctan(num / den) in radians, plus pi when den < 0. When den is 0 the result is +pi/2 or -pi/2
// by the sign of num, and 0 when num is 0 too: a quadrant rule that never divides by zero.
double ArctanQuadrant(double num, double den);
