// The Orbit Map page's commands.
#include "pages/page_omap.h"

#include <algorithm>

#include "app/app_context.h"
#include "app/engine_params.h"
#include "astro/frames.h"
#include "maps/canvas.h"
#include "maps/map_layers.h"
#include "maps/save_map.h"

CPageOMap::CPageOMap(AppContext& app, MapInputsCache& inputs) : CMapPage(app, inputs)
{
    Settings& s = app.settings;
    for (const UDEditDef& def :
         {mapField("ra", &s.om_ra, 0, 360, 1, UDLimit::Wrap),
          mapField("dec", &s.om_dec, -90, 90, 1, UDLimit::Clamp),
          mapField("rot", &s.om_rot, 0, 360, 1, UDLimit::Wrap),
          mapField("scale", &s.om_scale, 0, 200, 0, UDLimit::Clamp),
          mapField("max lines", &s.om_maxl, 100, 40000, 100, UDLimit::Clamp)})
        m_fields.emplace_back(def);
    m_checks = {{1073, "strm", &s.om_stream},
                {1064, "avr", &s.om_average},
                {1062, "axis", &s.om_radec},
                {1063, "star", &s.om_star},
                {1078, "txt", &s.om_text}};
}

void CPageOMap::render(Canvas& canvas)
{
    m_frame = renderOrbitMap(canvas, orbitMapView(m_app.settings),
                             {selectionConditionsOf(m_app.settings), m_inputs.get(), m_app.stars},
                             m_app.planetTracks);
}

std::string CPageOMap::defaultFileName() const
{
    const Settings& s = m_app.settings;
    return orbitMapFileName(s.docdir, s.dlg_Y, s.dlg_M, s.dlg_D);
}

void CPageOMap::topView()
{
    m_app.settings.om_ra = 90;
    m_app.settings.om_dec = 67.5f;
    m_app.settings.om_rot = 0;
}

void CPageOMap::sideView()
{
    const Settings& s = m_app.settings;
    double ra = 0;
    double dec = 0;
    EclipticPointToEquatorial(s.dlg_Y, s.dlg_M, s.dlg_D, 0, ra, dec);
    m_app.settings.om_ra = static_cast<float>(wrap360(ra, 0));
    m_app.settings.om_dec = static_cast<float>(std::clamp(-dec, -90.0, 90.0));
    m_app.settings.om_rot = 0;
}

void CPageOMap::rememberedView()
{
    Settings& s = m_app.settings;
    s.om_ra = s.om_ram;
    s.om_dec = s.om_decm;
    s.om_rot = s.om_rotm;
    s.om_scale = s.om_scalem;
}

void CPageOMap::rememberView()
{
    Settings& s = m_app.settings;
    s.om_ram = s.om_ra;
    s.om_decm = s.om_dec;
    s.om_rotm = s.om_rot;
    s.om_scalem = s.om_scale;
}

void CPageOMap::highlightChanged(Canvas& canvas)
{
    const MapInputs& inputs = m_inputs.get();
    moveOrbitHighlight(canvas, m_frame, inputs, inputs.highlighted);
}
