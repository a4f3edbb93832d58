// The Sky Map page's commands.
#include "pages/page_smap.h"

#include <cmath>
#include <cstdio>

#include "app/app_context.h"
#include "app/engine_params.h"
#include "maps/canvas.h"
#include "maps/save_map.h"
#include "maps/sky_map.h"
#include "mdb/schema.h"

namespace {

// The screen pixel beside (px, py): right and below, or left and above at the edges.
int neighbour(int p, int max) { return p + 1 <= max ? p + 1 : p - 1; }

bool lit(const Canvas& canvas, int px, int py)
{
    const int x = px;
    const int y = canvas.maxY() - py;
    return canvas.inside(x, y) && canvas.pixel(x, y) != canvas.background();
}

} // namespace

CPageSMap::CPageSMap(AppContext& app, MapInputsCache& inputs) : CMapPage(app, inputs)
{
    Settings& s = app.settings;
    for (const UDEditDef& def : {mapField("ra", &s.sm_ra, 0, 360, 1, UDLimit::Wrap),
                                 mapField("dec", &s.sm_dec, -90, 90, 1, UDLimit::Clamp),
                                 mapField("rot", &s.sm_rot, 0, 360, 1, UDLimit::Wrap),
                                 mapField("scl", &s.sm_scale, 0, 200, 1, UDLimit::Clamp),
                                 mapField("mag", &s.sm_mag, -1, 8, 0.1f, UDLimit::Clamp),
                                 mapField("clr", &s.sm_color0, -79, 79, 1, UDLimit::Wrap)})
        m_fields.emplace_back(def);
    m_checks = {{1049, "ax", &s.sm_axis},       {1051, "ap", &s.sm_apex},
                {1050, "s", &s.sm_star},        {1053, "avr", &s.sm_average},
                {1052, "txt", &s.sm_text},      {1056, "ob", &s.sm_orbit},
                {1057, "ob-", &s.sm_orbitall},  {1054, "st", &s.sm_stream},
                {1055, "st-", &s.sm_streamall}, {1096, "clr", &s.sm_color}};
}

void CPageSMap::render(Canvas& canvas)
{
    renderSkyMap(canvas, skyMapView(m_app.settings),
                 {selectionConditionsOf(m_app.settings), m_inputs.get(), m_app.stars});
}

std::string CPageSMap::defaultFileName() const
{
    const Settings& s = m_app.settings;
    return skyMapFileName(s.docdir, s.dlg_Y, s.dlg_M, s.dlg_D);
}

void CPageSMap::cursorMoved(const Canvas& canvas, int px, int py)
{
    const GnomonicProjection projection = skyMapProjection(skyMapView(m_app.settings), canvas);
    m_cursor = projection.inverse(px, canvas.maxY() - py);
    m_cursorText.clear();
    if (m_cursor) {
        char text[64];
        std::snprintf(text, sizeof text, "ra %.1f dec %.1f", m_cursor->lonDeg, m_cursor->latDeg);
        m_cursorText = text;
    }
    m_orbitText.clear();
    m_remembered = -1;
    const int nx = neighbour(px, canvas.maxX());
    const int ny = neighbour(py, canvas.maxY());
    if (!m_cursor ||
        !(lit(canvas, px, py) || lit(canvas, nx, py) || lit(canvas, px, ny) || lit(canvas, nx, ny)))
        return;
    const std::optional<SkyPoint> near = projection.inverse(nx, canvas.maxY() - ny);
    if (!near)
        return;
    const double tolRa = 2 * std::fabs(near->lonDeg - m_cursor->lonDeg);
    const double tolDec = 2 * std::fabs(near->latDeg - m_cursor->latDeg);
    const MapInputs& inputs = m_inputs.get();
    for (int index : inputs.listed) {
        const MapOrbit& orbit = inputs.orbits[static_cast<std::size_t>(index)];
        if (std::fabs(orbit.ra - m_cursor->lonDeg) < tolRa &&
            std::fabs(orbit.dec - m_cursor->latDeg) < tolDec)
            m_remembered = index;
    }
    if (m_remembered < 0 || !m_app.db)
        return;
    const MapOrbit& found = inputs.orbits[static_cast<std::size_t>(m_remembered)];
    char text[300];
    std::snprintf(text, sizeof text, "OID=%u %s", found.oid,
                  m_app.db->orbits.text(found.row, col::Orbit::name));
    m_orbitText = text;
}

std::vector<std::string> CPageSMap::menuItems() const
{
    if (m_remembered >= 0)
        return {"--> Reference", "--> Center"};
    return {"--> Center"};
}

bool CPageSMap::centerAtCursor()
{
    if (!m_cursor || !std::isfinite(m_cursor->lonDeg) || !std::isfinite(m_cursor->latDeg))
        return false;
    m_app.settings.sm_ra = static_cast<float>(m_cursor->lonDeg);
    m_app.settings.sm_dec = static_cast<float>(m_cursor->latDeg);
    return true;
}

bool CPageSMap::referenceFromCursor()
{
    if (m_remembered < 0 || !m_reference)
        return false;
    m_reference(m_inputs.get().orbits[static_cast<std::size_t>(m_remembered)].row);
    return true;
}
