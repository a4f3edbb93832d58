// The settings converted to the engines' parameter structs.
#include "app/engine_params.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "maps/map_layers.h"

namespace {

// The radiant map's marker sizes by AP.r_mk (1 to 4).
constexpr std::array<int, 4> kRadiantMarkerSizes{1, 10, 12, 15};

} // namespace

SelectionConditions selectionConditionsOf(const Settings& s)
{
    SelectionConditions c;
    c.dlg_Y = s.dlg_Y;
    c.dlg_M = s.dlg_M;
    c.dlg_D = s.dlg_D;
    c.po_r1 = s.po_r1;
    c.po_d1 = s.po_d1;
    c.po_v1 = s.po_v1;
    c.po_r2 = s.po_r2;
    c.po_d2 = s.po_d2;
    c.po_v2 = s.po_v2;
    c.po_rC = s.po_rC;
    c.po_dC = s.po_dC;
    c.po_vC = s.po_vC;
    c.po_a1 = s.po_a1;
    c.po_q1 = s.po_q1;
    c.po_e1 = s.po_e1;
    c.po_p1 = s.po_p1;
    c.po_n1 = s.po_n1;
    c.po_i1 = s.po_i1;
    c.po_R = s.po_R;
    c.po_D = s.po_D;
    c.po_days = s.po_days;
    c.po_a2 = s.po_a2;
    c.po_q2 = s.po_q2;
    c.po_e2 = s.po_e2;
    c.po_p2 = s.po_p2;
    c.po_n2 = s.po_n2;
    c.po_i2 = s.po_i2;
    c.po_aC = s.po_aC;
    c.po_qC = s.po_qC;
    c.po_eC = s.po_eC;
    c.po_pC = s.po_pC;
    c.po_nC = s.po_nC;
    c.po_iC = s.po_iC;
    c.po_RC = s.po_RC;
    c.po_DC = s.po_DC;
    c.po_daysC = s.po_daysC;
    c.po_allyC = s.po_allyC;
    c.po_selstream = s.po_selstream;
    c.po_selonly = s.po_selonly;
    c.po_useonly = s.po_useonly;
    return c;
}

GroupingOptions groupingOptions(const Settings& settings)
{
    GroupingOptions options;
    options.kR = settings.ps_dr / 100.0;
    options.kv = settings.ps_dv / 100.0;
    options.kD = settings.ps_dd / 100.0;
    options.dAndR = settings.ps_ddr != 0;
    options.exclusive = settings.ps_ex != 0;
    options.pri = settings.ps_pri != 0;
    return options;
}

SkyMapView skyMapView(const Settings& s)
{
    SkyMapView view;
    view.raDeg = wrap360(s.sm_ra, 130);
    view.decDeg = clampOr(s.sm_dec, -90, 90, 40);
    view.rotDeg = wrap360(s.sm_rot, 0);
    view.fieldDeg = clampOr(s.sm_scale, 0, 200, 120);
    view.magLimit = clampOr(s.sm_mag, -1, 8, 4.7);
    view.axis = s.sm_axis != 0;
    view.apex = s.sm_apex != 0;
    view.stars = s.sm_star != 0;
    view.average = s.sm_average != 0;
    view.text = s.sm_text != 0;
    view.orbits = s.sm_orbit != 0;
    view.otherOrbits = s.sm_orbitall != 0;
    view.streams = s.sm_stream != 0;
    view.otherStreams = s.sm_streamall != 0;
    view.color = s.sm_color != 0;
    view.colorOffset = wrapInt(s.sm_color0, -79, 79);
    return view;
}

RadiantMapView radiantMapView(const Settings& s)
{
    RadiantMapView view;
    view.lonDeg = wrap360(s.r_ra, 180);
    view.latDeg = clampOr(s.r_dec, -89, 89, 0);
    view.heightDeg = clampOr(s.r_scale, 1, 1000, 180);
    view.magLimit = clampOr(s.r_mag, 0, 6, 5);
    view.days = s.r_days;
    view.markerSize = kRadiantMarkerSizes[static_cast<std::size_t>(std::clamp(s.r_mk, 1, 4) - 1)];
    view.streams = s.r_st2 != 0;
    view.catalogueStreams = s.r_stp != 0;
    view.axis = s.r_ax != 0;
    view.apex = s.r_ap != 0;
    view.stars = s.r_star != 0;
    view.text = s.r_text != 0;
    view.color = s.r_color != 0;
    view.colorOffset = wrapInt(s.r_color0, -79, 79);
    view.frame = static_cast<RadiantFrame>(std::clamp(s.r_mode_ax, 0, 2));
    view.byVg = s.r_vg != 0;
    return view;
}

OrbitMapView orbitMapView(const Settings& s)
{
    OrbitMapView view;
    view.raDeg = wrap360(s.om_ra, 90);
    view.decDeg = clampOr(s.om_dec, -90, 90, 67);
    view.rotDeg = wrap360(s.om_rot, 0);
    view.distanceAu = clampOr(s.om_scale, OrbitCamera::kMinDistanceAu, 200, 10);
    view.maxLines = std::clamp(s.om_maxl, 100, 40000);
    view.streams = s.om_stream != 0;
    view.average = s.om_average != 0;
    view.axis = s.om_radec != 0;
    view.stars = s.om_star != 0;
    view.text = s.om_text != 0;
    return view;
}
