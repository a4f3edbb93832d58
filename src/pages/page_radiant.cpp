// The Radiant Map page's commands.
#include "pages/page_radiant.h"

#include <cstdio>

#include "app/app_context.h"
#include "app/engine_params.h"
#include "astro/frames.h"
#include "maps/canvas.h"
#include "maps/map_layers.h"
#include "maps/save_map.h"

CPageRadiant::CPageRadiant(AppContext& app, MapInputsCache& inputs) : CMapPage(app, inputs)
{
    Settings& s = app.settings;
    for (const UDEditDef& def : {mapField("ra", &s.r_ra, 0, 359, 1, UDLimit::Wrap),
                                 mapField("dec", &s.r_dec, -89, 89, 1, UDLimit::Wrap),
                                 mapField("scl", &s.r_scale, 1, 1000, 10, UDLimit::Clamp),
                                 mapField("mk", &s.r_mk, 1, 4, 1, UDLimit::Clamp),
                                 mapField("", &s.r_color0, -79, 79, 1, UDLimit::Wrap),
                                 mapField("", &s.r_mag, 0, 6, 0.1f, UDLimit::Clamp)})
        m_fields.emplace_back(def);
    m_checks = {{1177, "st", &s.r_st2},   {1185, "stp", &s.r_stp},   {1178, "ax", &s.r_ax},
                {1179, "ap", &s.r_ap},    {1181, "star", &s.r_star}, {1180, "txt", &s.r_text},
                {1184, "clr", &s.r_color}};
}

void CPageRadiant::render(Canvas& canvas)
{
    renderRadiantMap(canvas, radiantMapView(m_app.settings),
                     {selectionConditionsOf(m_app.settings), m_inputs.get(), m_app.stars},
                     m_pinned);
}

std::string CPageRadiant::defaultFileName() const
{
    const Settings& s = m_app.settings;
    return radiantMapFileName(s.docdir, s.dlg_Y, s.dlg_M, s.dlg_D);
}

void CPageRadiant::setFrame(RadiantFrame frame)
{
    m_app.settings.r_mode_ax = static_cast<int>(frame);
}

RadiantFrame CPageRadiant::frame() const { return radiantMapView(m_app.settings).frame; }

void CPageRadiant::setColorByVg(bool byVg) { m_app.settings.r_vg = byVg ? 1 : 0; }

bool CPageRadiant::colorByVg() const { return m_app.settings.r_vg != 0; }

const char* CPageRadiant::fieldLabel(int field) const
{
    const bool equatorial = frame() == RadiantFrame::Equatorial;
    if (field == 0)
        return equatorial ? "ra" : "elg";
    if (field == 1)
        return equatorial ? "dec" : "elt";
    return m_fields[static_cast<std::size_t>(field)].def().label.c_str();
}

SkyPoint CPageRadiant::pointAt(const Canvas& canvas, int px, int py) const
{
    return radiantMapProjection(radiantMapView(m_app.settings), canvas)
        .inverse(px, canvas.maxY() - py);
}

std::string CPageRadiant::cursorText(const Canvas& canvas, int px, int py) const
{
    const SkyPoint p = pointAt(canvas, px, py);
    char text[96];
    if (frame() == RadiantFrame::Equatorial) {
        SkyPoint ecl;
        EquatorialToEcliptic(kObliquityJ2000Rad, p.lonDeg, p.latDeg, ecl.lonDeg, ecl.latDeg);
        std::snprintf(text, sizeof text, "ra %.1f dec %.1f elg %.1f elt %.1f", p.lonDeg, p.latDeg,
                      wrap360(ecl.lonDeg, 0), ecl.latDeg);
    } else {
        std::snprintf(text, sizeof text, "elg %.1f elt %.1f", p.lonDeg, p.latDeg);
    }
    return text;
}

void CPageRadiant::rightClick(const Canvas& canvas, int px, int py)
{
    if (m_pinned)
        m_pinned.reset();
    else
        m_pinned = pointAt(canvas, px, py);
}
