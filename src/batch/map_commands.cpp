// Batch command "map": one of the three maps rendered without a window.
#include <cstdio>
#include <memory>
#include <optional>

#include "app/app_context.h"
#include "batch/batch_command.h"
#include "batch/selection_args.h"
#include "maps/canvas.h"
#include "maps/save_map.h"
#include "mdb/database_store.h"
#include "pages/page_omap.h"
#include "pages/page_radiant.h"
#include "pages/page_smap.h"

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;
constexpr int kMaxSide = 20000;

struct MapArgs {
    SelectionArgs selection; // MDB, the map and OUT, then the conditions
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    DensityOptions density;
};

bool parseSide(const std::string& text, int& side)
{
    double value = 0;
    if (!parseNumber(text, value) || !(value >= Canvas::kMinAreaSide && value <= kMaxSide) ||
        value != int(value)) {
        std::fprintf(stderr, "map: width and height are whole numbers from %d to %d\n",
                     Canvas::kMinAreaSide, kMaxSide);
        return false;
    }
    side = static_cast<int>(value);
    return true;
}

std::optional<MapArgs> parseMapArgs(const std::vector<std::string>& args)
{
    MapArgs parsed;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--width" && hasValue) {
            if (!parseSide(args[++i], parsed.width))
                return std::nullopt;
        } else if (args[i] == "--height" && hasValue) {
            if (!parseSide(args[++i], parsed.height))
                return std::nullopt;
        } else if (args[i] == "--density") {
            parsed.density.on = true;
        } else if (args[i] == "--log") {
            parsed.density.logScale = true;
        } else if (args[i] == "--cell" && hasValue) {
            if (!parseNumber(args[++i], parsed.density.cellDeg) ||
                !(parsed.density.cellDeg >= kMinCellDeg && parsed.density.cellDeg <= kMaxCellDeg))
                return std::nullopt;
        } else {
            rest.push_back(args[i]);
        }
    }
    std::optional<SelectionArgs> selection = parseSelectionArgs(rest);
    if (!selection)
        return std::nullopt;
    const std::vector<std::string>& positional = selection->positional;
    if (positional.size() != 3 ||
        (positional[1] != "sky" && positional[1] != "radiant" && positional[1] != "orbit"))
        return std::nullopt;
    // The orbit map has no density view.
    if (positional[1] == "orbit" && parsed.density.on)
        return std::nullopt;
    parsed.selection = std::move(*selection);
    return parsed;
}

// The star catalogue and the planet tracks the maps draw, as the window loads them.
bool loadMapData(AppContext& app)
{
    const std::optional<std::string> stars =
        findStarCatalogueFolder(starCatalogueFolders(app.startupFolder, app.executableFolder));
    if (!stars) {
        std::fprintf(stderr, "map: %s not found\n", kStarCatalogueFileName);
        return false;
    }
    app.stars = loadStarCatalogue(*stars);
    app.planetTracks = PlanetTracks(app.settings.dlg_Y, app.settings.dlg_M, app.settings.dlg_D);
    return true;
}

int renderMap(const std::vector<std::string>& args)
{
    const std::optional<MapArgs> parsed = parseMapArgs(args);
    if (!parsed)
        return kBatchUsage;
    SelectionRun run;
    if (const std::optional<int> failed = run.start(parsed->selection, "map"))
        return *failed;
    AppContext& app = run.app();
    if (!loadMapData(app))
        return kBatchFailed;
    const std::string& kind = parsed->selection.positional[1];
    const std::string& out = parsed->selection.positional[2];
    MapInputsCache inputs(app);
    std::unique_ptr<CMapPage> page;
    if (kind == "sky")
        page = std::make_unique<CPageSMap>(app, inputs);
    else if (kind == "radiant")
        page = std::make_unique<CPageRadiant>(app, inputs);
    else
        page = std::make_unique<CPageOMap>(app, inputs);
    page->setDensity(parsed->density);
    Canvas canvas(parsed->width, parsed->height, app.settings.BW != 0);
    page->render(canvas);
    if (refuseOutputInMdb(*app.db, out))
        return kBatchFailed;
    if (!writeMap(canvas, out)) {
        std::fprintf(stderr, "map: cannot write %s\n", out.c_str());
        return kBatchFailed;
    }
    std::printf("map %s %dx%d %s\n", kind.c_str(), canvas.maxX() + 1, canvas.maxY() + 1,
                out.c_str());
    return kBatchOk;
}

} // namespace

std::vector<BatchCommand> mapCommands()
{
    return {
        {"map",
         std::string("MDB (sky|radiant|orbit) OUT [--width W --height H] "
                     "[--density [--cell DEG] [--log]] ") +
             kConditionArgs,
         "draw a map with the settings' map state (Orvantella.ovr of the current folder) and the "
         "selection of its conditions, changed by the options, into OUT, a PNG file when OUT "
         "ends in .png, else a BMP file; --density draws the radiants of the sky or radiant map as "
         "counts per cell of DEG degrees (1 by default), on a logarithmic scale with --log",
         renderMap},
    };
}
