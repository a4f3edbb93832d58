#pragma once
// An angle held as its cosine and sine: products add angles, so the multiples and sums of a few
// angles that the Sun's series need cost no further sines and cosines.

#include <cmath>

#include "astro/double_pair.h"

// Real is double, or DoublePair for two angles at once.
template <typename Real> struct UnitAngleOf {
    Real c;
    Real s;
};
using UnitAngle = UnitAngleOf<double>;

inline UnitAngle unitAngle(double rad) { return {std::cos(rad), std::sin(rad)}; }

inline UnitAngleOf<DoublePair> unitAngle(DoublePair rad)
{
    const UnitAngle first = unitAngle(rad[0]), second = unitAngle(rad[1]);
    return {DoublePair{first.c, second.c}, DoublePair{first.s, second.s}};
}

// The sum of two angles.
template <typename Real>
UnitAngleOf<Real> operator*(const UnitAngleOf<Real>& a, const UnitAngleOf<Real>& b)
{
    return {a.c * b.c - a.s * b.s, a.s * b.c + a.c * b.s};
}

// The difference of two angles.
template <typename Real>
UnitAngleOf<Real> operator/(const UnitAngleOf<Real>& a, const UnitAngleOf<Real>& b)
{
    return {a.c * b.c + a.s * b.s, a.s * b.c - a.c * b.s};
}
