#pragma once
// Degree-radian factors and the small angle utilities behind every sol and longitude comparison.

// Every conversion of the astronomy code multiplies by one of these (it never divides by pi).
constexpr double kDegToRad = 0.01745329251994329;
constexpr double kRadToDeg = 57.29577951308234;
constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;

// The angle brought into [0, 360). Non-finite values come back unchanged.
float Normalize360(float angleDeg);
// a - b reduced to (-180, 180]; exactly -180 becomes +180.
float AngleDiff(float aDeg, float bDeg);
// |AngleDiff(a, b)|, in [0, 180].
float AbsAngleDiff(float aDeg, float bDeg);
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
