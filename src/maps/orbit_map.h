#pragma once
// The orbit map: selected, stream, highlighted and average orbits, planets
// and axes in space, seen by a camera looking at the Sun.

#include <array>
#include <utility>
#include <vector>

#include "astro/planets.h"
#include "maps/map_inputs.h"
#include "maps/sky_map.h"

class Canvas;
struct SelectionConditions;

// The orbit map's state (its view settings, each within its field's range).
struct OrbitMapView {
    double raDeg = 90, decDeg = 67, rotDeg = 0, distanceAu = 10;
    int maxLines = 200;
    bool streams = true, average = true, axis = false, stars = true, text = true;
};

// What a full drawing leaves for the highlight update: its camera and the
// colours under the highlighted orbit's pixels, in the order drawn.
struct OrbitMapFrame {
    OrbitCamera camera{90, 67, 0, 10, 0, 0};
    std::vector<std::pair<Pixel, Rgb>> underHighlight;
    bool maxLinesReached = false;
};

OrbitCamera orbitMapCamera(const OrbitMapView& view, const Canvas& canvas);
OrbitMapFrame renderOrbitMap(Canvas& canvas, const OrbitMapView& view, const MapScene& scene,
                             const PlanetTrackSet& tracks);

// The 360 outline points of an elliptic orbit at mean anomalies 0, 1, ...
// 359 degrees (AU, equatorial). Each eccentric anomaly starts from the
// previous one, so that one or two Newton steps reach the outline's
// tolerance of 0.00001 degree; false, with no points, for e outside [0, 1).
inline constexpr int kOutlinePoints = 360;
using OutlinePoints = std::array<Vec3, kOutlinePoints>;
bool orbitOutlinePoints(const MapOrbit& orbit, OutlinePoints& points);

// Indexes of the orbits layer 6 draws (at most maxLines) or layer 7 draws.
std::vector<int> drawnSelectedOrbits(const MapInputs& inputs, int maxLines, bool& limitReached);
std::vector<int> drawnStreamOrbits(const MapInputs& inputs);
// The outlines of these orbits in the current colour; the same pixels as
// drawing them one after another.
void drawOrbitOutlines(Canvas& canvas, const OrbitCamera& camera, const MapInputs& inputs,
                       const std::vector<int>& orbits);

// Puts back the pixels under the old highlight (last first) and draws the
// orbit at index `highlighted` (-1 for none) in white, remembering what it covers.
void moveOrbitHighlight(Canvas& canvas, OrbitMapFrame& frame, const MapInputs& inputs,
                        int highlighted);
