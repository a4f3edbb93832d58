#pragma once
// The maps' 80-colour velocity scale, the index an orbit's velocity takes on
// it, and the radiant map's greys for black-and-white pictures.

#include <array>

#include "maps/map_colors.h"

inline constexpr int kVelocityColors = 80;

// Red, yellow, green, cyan, blue, magenta in five runs of 16.
const std::array<Rgb, kVelocityColors>& velocityScale();

// The Orbit page's vg condition as the colour scale reads it.
struct VgCondition {
    bool on = false;
    double centreKms = 0;
    double halfWidthKms = 0;
};

// The scale index of a value a (km/s, or the window-scaled position) with
// colour offset o: trunc(o + 158 - a) for o < 0, else trunc(a + 79 - o),
// floored modulo 80 so that it never leaves the scale. -1 for a value that
// is not finite.
int velocityIndex(double a, int offset);

// The colour of velocity v: black outside an active window and for a
// non-finite value, else the scale entry.
Rgb velocityColor(double vKms, const VgCondition& window, int offset);
// The same for the radiant map's "Vs" mode: vs clamped to 20..50 km/s and
// spread over the 80 colours.
Rgb vsColor(double vsKms, int offset);

// Grey levels of the radiant map in black-and-white mode, clamped to 0..255.
Rgb vgGrey(double vgKms, int offset);
Rgb vsGrey(double vsKms, int offset);
