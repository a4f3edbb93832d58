#pragma once
// The Sun's position and the Earth's state computed one instant at a time the plain way, with
// std::fmod and every multiple of every angle: the oracle of the fast evaluation, bit for bit.

#include "astro/sun.h"

SunVector StraightforwardSunPosition(double jd);
EarthState StraightforwardEarthState(double jd);
