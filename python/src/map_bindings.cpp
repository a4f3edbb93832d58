// Database._render_map: the sky, radiant and orbit map renderers over the selection, as the
// map pages draw them, into an H x W x 3 array of 8-bit RGB.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "astro/calendar.h"
#include "bindings.h"
#include "core_call.h"
#include "maps/canvas.h"
#include "maps/map_inputs.h"
#include "maps/orbit_map.h"
#include "maps/radiant_map.h"
#include "maps/sky_map.h"
#include "mdb/schema.h"
#include "open_database.h"
#include "orbits/orbit_selection.h"
#include "selection_run.h"
#include "streams/stream_membership.h"

namespace py = pybind11;

namespace {

// The database in an application context for one call, given back however the call ends.
class BorrowedApp {
public:
    explicit BorrowedApp(OpenDatabase& open) : m_open(open) { m_app.db = open.lend(); }
    ~BorrowedApp() { m_open.giveBack(std::move(m_app.db)); }
    BorrowedApp(const BorrowedApp&) = delete;
    BorrowedApp& operator=(const BorrowedApp&) = delete;
    AppContext& operator*() { return m_app; }

private:
    OpenDatabase& m_open;
    AppContext m_app;
};

// The Stream page's current list as it opens: the list of the settings' LID, else the last
// list in use.
void chooseCurrentList(AppContext& app)
{
    Database& db = *app.db;
    markValidStreams(db);
    for (int row = 0; row < db.lists.count(); ++row) {
        const std::uint32_t lid =
            db.lists.isLive(row) ? db.lists.cell(row, col::List::LID)->number : 0;
        if (!db.lists.isLive(row) || !db.sources.isInUse(lid))
            continue;
        app.currentListRow = row;
        app.currentLid = lid;
        if (lid == static_cast<std::uint32_t>(app.settings.ps_lid))
            break;
    }
    markListMembers(db, app.currentListRow);
}

void selectForMap(AppContext& app, const std::optional<std::string>& stream,
                  const std::optional<double>& sol)
{
    chooseCurrentList(app);
    Settings& s = app.settings;
    if (stream) {
        app.currentStreamRow = chooseStreamsOfCode(*app.db, *stream);
        s.po_selstream = 1;
    }
    app.selection.currentSol =
        sol.value_or(SolarLongitude(DateToJD(s.dlg_Y, s.dlg_M, s.dlg_D, 12, 0, 0)));
    listUsedOrbits(*app.db);
    SelectOrbits(*app.db, s, false, app.selection);
    hideUnselectedOrbits(*app.db);
}

void render(AppContext& app, const std::string& kind, Canvas& canvas)
{
    const MapInputs inputs = mapInputsFromTables(app);
    const MapScene scene{app.settings, inputs, app.stars};
    if (kind == "sky")
        renderSkyMap(canvas, skyMapView(app.settings), scene);
    else if (kind == "radiant")
        renderRadiantMap(canvas, radiantMapView(app.settings), scene, {});
    else
        renderOrbitMap(canvas, orbitMapView(app.settings), scene, app.planetTracks);
}

py::array_t<std::uint8_t> pixelsOf(const Canvas& canvas)
{
    const int width = canvas.maxX() + 1, height = canvas.maxY() + 1;
    py::array_t<std::uint8_t> pixels({height, width, 3});
    for (int row = 0; row < height; ++row)
        std::memcpy(pixels.mutable_data(row), canvas.rgbData() + row * canvas.bytesPerLine(),
                    static_cast<std::size_t>(width) * 3);
    return pixels;
}

py::array_t<std::uint8_t> renderMap(OpenDatabase& open, const std::string& kind, int width,
                                    int height, const std::map<std::string, double>& values,
                                    const std::optional<std::string>& stream,
                                    const std::optional<double>& sol, const std::string& stars)
{
    if (kind != "sky" && kind != "radiant" && kind != "orbit")
        throw py::value_error("a map is \"sky\", \"radiant\" or \"orbit\", not \"" + kind + "\"");
    if (width < 4 || height < 4)
        throw py::value_error("a map is at least 4 x 4 pixels");
    BorrowedApp borrowed(open);
    AppContext& app = *borrowed;
    for (const auto& [name, value] : values)
        setCondition(app.settings, name, value);
    std::optional<Canvas> canvas;
    MessageLog log(false);
    CallFeedback feedback;
    runInCore(log, feedback, [&] {
        selectForMap(app, stream, sol);
        app.stars = loadStarCatalogue(stars);
        const Settings& s = app.settings;
        app.planetTracks = PlanetTracks(s.dlg_Y, s.dlg_M, s.dlg_D);
        canvas.emplace(width, height, s.BW != 0);
        render(app, kind, *canvas);
    });
    return pixelsOf(*canvas);
}

} // namespace

void bindMaps(py::class_<OpenDatabase>& database)
{
    database.attr("_data_dir") = ORVANTELLA_DATA_DIR;
    database.def("_render_map", &renderMap, py::arg("kind"), py::arg("width"), py::arg("height"),
                 py::arg("conditions"), py::arg("stream"), py::arg("sol"), py::arg("stars"));
}
