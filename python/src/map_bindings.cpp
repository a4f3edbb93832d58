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

#include "app/engine_params.h"
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

// The Stream page's current list as it opens with default settings: the last list in use.
void chooseCurrentList(Database& db)
{
    int current = -1;
    markValidStreams(db);
    for (int row = 0; row < db.lists.count(); ++row)
        if (db.lists.isLive(row) && db.sources.isInUse(db.lists.cell(row, col::List::LID)->number))
            current = row;
    markListMembers(db, current);
}

// The selection as the Orbit page lists it.
void selectForMap(Database& db, const Conditions& conditions, OrbitSelection& selection)
{
    listUsedOrbits(db);
    SelectOrbits(db, conditions, false, selection);
    hideUnselectedOrbits(db);
}

void render(const std::string& kind, Canvas& canvas, const MapScene& scene, const Settings& views,
            const PlanetTrackSet& planets)
{
    if (kind == "sky")
        renderSkyMap(canvas, skyMapView(views), scene);
    else if (kind == "radiant")
        renderRadiantMap(canvas, radiantMapView(views), scene, {});
    else
        renderOrbitMap(canvas, orbitMapView(views), scene, planets);
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
    Database& db = open.db();
    // The window opens on its current list; a stream is then clicked in it.
    chooseCurrentList(db);
    OrbitSelection selection;
    int currentStream = -1;
    const Conditions conditions =
        conditionsFor(open.app(), values, stream, sol, selection.currentSol, currentStream);
    const Settings views;
    std::optional<Canvas> canvas;
    MessageLog log(false);
    CallFeedback feedback;
    runInCore(log, feedback, [&] {
        selectForMap(db, conditions, selection);
        const StarCatalogue catalogue = loadStarCatalogue(stars);
        const MapInputs inputs = mapInputsFromTables(&db, conditions, selection, currentStream);
        canvas.emplace(width, height, views.BW != 0);
        render(kind, *canvas, {conditions, inputs, catalogue}, views,
               PlanetTracks(conditions.dlg_Y, conditions.dlg_M, conditions.dlg_D));
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
