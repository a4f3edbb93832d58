#pragma once
// The radiant map: the selected orbits' radiants of the whole sky on a
// sinusoidal map in the equatorial, ecliptic or Sun-centred ecliptic frame.

#include <optional>
#include <string>

#include "maps/sky_map.h"

class Canvas;
struct SelectionConditions;

enum class RadiantFrame { Equatorial = 0, Ecliptic = 1, SunCentred = 2 };

// The radiant map's state (its view settings, each within its field's range).
struct RadiantMapView {
    double lonDeg = 180, latDeg = 0, heightDeg = 180, magLimit = 5;
    int days = 0;
    int markerSize = 1; // the marker of "mk", as the canvas draws it
    bool streams = true, catalogueStreams = false, axis = true, apex = true, stars = false;
    bool text = true, color = true;
    int colorOffset = -13;
    RadiantFrame frame = RadiantFrame::Equatorial;
    bool byVg = true;
};

// The map's date: the working date plus "days", and its solar longitude.
struct RadiantMapDate {
    double jd = 0; // noon
    int month = 1;
    int day = 1;
    double solDeg = 0;
};
RadiantMapDate radiantMapDate(const SelectionConditions& conditions, int days);

SinusoidalProjection radiantMapProjection(const RadiantMapView& view, const Canvas& canvas);
// An equatorial direction in the map's frame; sol is the Sun's longitude
// the Sun-centred frame counts from.
SkyPoint toRadiantFrame(RadiantFrame frame, double raDeg, double decDeg, double solDeg);

// The colour of a radiant: by vg or vs, grey in black-and-white mode,
// yellow or black without "clr".
Rgb radiantColor(const MapOrbit& orbit, const RadiantMapView& view, const VgCondition& window,
                 bool blackAndWhite);

// pinned: a point in the map's frame, marked after a right-click.
void renderRadiantMap(Canvas& canvas, const RadiantMapView& view, const MapScene& scene,
                      std::optional<SkyPoint> pinned);
// Layer 6 alone.
void drawRadiantMarkers(Canvas& canvas, const SinusoidalProjection& projection,
                        const RadiantMapView& view, const MapInputs& inputs);

// "ra=%.1f dec=%.1f" or "elg=%.1f elt=%.1f".
std::string pinnedLabel(RadiantFrame frame, SkyPoint point);
