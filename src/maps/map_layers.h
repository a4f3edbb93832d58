#pragma once
// Drawing pieces more than one map shares: dotted circles, drift paths,
// labels beside a point, the settings-derived limits every map clamps to,
// and running the heavy per-orbit work on both cores.

#include <functional>
#include <optional>
#include <string_view>

#include "maps/map_inputs.h"
#include "maps/map_labels.h"

class Canvas;
class SunDailyPath;

// Any of the maps' projections of a direction (degrees) into a pixel.
using SkyProjector = std::function<std::optional<Pixel>(double lonDeg, double latDeg)>;

// The steps of stepDeg from sol1Deg that reach no further than sol2Deg (taken past 360 when
// below sol1Deg) and no further than one turn; 0 for a value that is not finite, so that a
// stored 1e30 cannot keep a map drawing forever. Step i is at sol1Deg + i * stepDeg.
int solRangeSteps(double sol1Deg, double sol2Deg, double stepDeg);

// One pixel at the projected direction, when there is one.
void plotSky(Canvas& canvas, const SkyProjector& project, double lonDeg, double latDeg);
// A marker at the projected direction.
void markSky(Canvas& canvas, const SkyProjector& project, double lonDeg, double latDeg, int size);
// The points at radius around the centre for position angles 0, 10, ... 350,
// each with its mirror on the other side of the centre's meridian.
void drawDottedCircle(Canvas& canvas, const SkyProjector& project, SkyPoint centre,
                      double radiusDeg);
// A stream's drifting radiant from sol1 to sol2 (across 0 when sol1 > sol2)
// in steps of 360 / 365 degrees.
void drawStreamDriftPath(Canvas& canvas, const SkyProjector& project, const MapStream& stream);
// The Sun's noon positions over the working year, one pixel each.
void drawSunPath(Canvas& canvas, const SkyProjector& project, int year);

// An angle brought into [0, 360), a non-finite one to fallback.
double wrap360(double deg, double fallback);
// A value limited to [low, high], a non-finite one to fallback.
double clampOr(double value, double low, double high, double fallback);
// An integer setting wrapped into [low, high].
int wrapInt(int value, int low, int high);

// Calls work(begin, end) over [0, count) in slices on up to two threads and
// waits for them; below `minimum` items one thread does it all. work must
// only write what belongs to its slice; the slice starting at 0 is slice 0.
void parallelSlices(std::size_t count, const std::function<void(std::size_t, std::size_t)>& work,
                    std::size_t minimum = 20000);
