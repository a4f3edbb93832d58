#pragma once
// The clustering parameters and the similarity of two candidate orbits: the four tests of
// solar longitude, geocentric velocity, radiant distance and D', cheapest first.

// The five parameters as the dialog's fields hold them.
struct ClusterParams {
    float D = 0.15f;  // D' must be below this
    float S = 15.0f;  // largest solar-longitude difference, degrees
    int minCount = 5; // smallest neighbour count that makes a stream
    float R = 5.0f;   // largest radiant distance, degrees
    int V = 50;       // velocity window half-width, percent of the centre's vg
};

// Each parameter limited to its field's range; one that is not a number takes the range's
// lower end. The run copies these at Start, so a hand-edited settings file cannot make the
// similarity change during a run or the minimum count fall to 0.
ClusterParams clampedClusterParams(const ClusterParams& params);

// The fields of one candidate that the tests read, copied from its orbit row
// (degrees, km/s, AU).
struct ClusterOrbit {
    float sol, ra, dec, vg;
    float e, q, incl, node, peri;
};

// vg x (1 - V/100) ... vg x (1 + V/100), in double precision.
struct ClusterVelocityWindow {
    double low, high;
};
ClusterVelocityWindow clusterVelocityWindow(float vgKms, int percent);

// Whether `other` is similar to `centre`: sol difference at most S, other's vg within the
// centre's velocity window, radiant distance at most R, and D' strictly below D; a D' that is
// not a number is never below. Not symmetric: the window is always the centre's.
bool similarTo(const ClusterOrbit& centre, const ClusterOrbit& other, const ClusterParams& params);
