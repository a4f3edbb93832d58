#pragma once
// The sky map: radiants, streams, the average, apex and anti-helion, stars
// and grid on a gnomonic projection of the equatorial sky.

#include "maps/map_inputs.h"
#include "maps/star_catalogue.h"

class Canvas;
struct SelectionConditions;

// The sky map's state (its view settings, each within its field's range).
struct SkyMapView {
    double raDeg = 130, decDeg = 40, rotDeg = 0, fieldDeg = 120, magLimit = 4.7;
    bool axis = true, apex = true, stars = false, average = true, text = true;
    bool orbits = true, otherOrbits = false, streams = true, otherStreams = false;
    bool color = true;
    int colorOffset = -13;
};

// What a map is drawn from besides its own view.
struct MapScene {
    const SelectionConditions& conditions; // the page date and the selection's conditions
    const MapInputs& inputs;
    const StarCatalogue& stars;
};

GnomonicProjection skyMapProjection(const SkyMapView& view, const Canvas& canvas);
void renderSkyMap(Canvas& canvas, const SkyMapView& view, const MapScene& scene);

// Layer 4 alone: one pixel per drawn radiant, in row order.
void drawSkyRadiants(Canvas& canvas, const GnomonicProjection& projection, const SkyMapView& view,
                     const MapInputs& inputs);
// The colour of an orbit's radiant on the sky map; black (not drawn) when
// neither "ob" nor "ob-" takes it.
std::optional<Rgb> skyRadiantColor(const MapOrbit& orbit, const SkyMapView& view,
                                   const VgCondition& window);
