#pragma once
// The settings as the engines take them: one conversion per parameter struct, above the engines
// so that those never see the settings.

#include "app/settings.h"
#include "maps/orbit_map.h"
#include "maps/radiant_map.h"
#include "maps/sky_map.h"
#include "orbits/selection_conditions.h"
#include "streams/stream_grouping.h"

// The page date and the Orbit page's conditions (AP.po_).
SelectionConditions selectionConditionsOf(const Settings& settings);
// The Stream page's grouping scales and flags (AP.ps_).
GroupingOptions groupingOptions(const Settings& settings);
// Each map's settings, each limited to its field's range.
SkyMapView skyMapView(const Settings& settings);
RadiantMapView radiantMapView(const Settings& settings);
OrbitMapView orbitMapView(const Settings& settings);
