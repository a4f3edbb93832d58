#pragma once
// An angle held as its cosine and sine: products add angles, so the multiples and sums of a few
// angles that the Sun's series need cost no further sines and cosines.

#include <cmath>

struct UnitAngle {
    double c;
    double s;
};

inline UnitAngle unitAngle(double rad) { return {std::cos(rad), std::sin(rad)}; }

// The sum of two angles.
inline UnitAngle operator*(const UnitAngle& a, const UnitAngle& b)
{
    return {a.c * b.c - a.s * b.s, a.s * b.c + a.c * b.s};
}

// The difference of two angles.
inline UnitAngle operator/(const UnitAngle& a, const UnitAngle& b)
{
    return {a.c * b.c + a.s * b.s, a.s * b.c - a.c * b.s};
}
