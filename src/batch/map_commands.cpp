// Batch command "map": one of the three maps rendered without a window.
#include <cstdio>
#include <memory>
#include <optional>

#include "app/app_context.h"
#include "batch/batch_command.h"
#include "batch/headless_window.h"
#include "maps/canvas.h"
#include "maps/page_omap.h"
#include "maps/page_radiant.h"
#include "maps/page_smap.h"
#include "maps/save_map.h"

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;
constexpr int kMaxSide = 20000;

struct MapArgs {
    std::string mdb;
    std::string kind;
    std::string out;
    int width = kDefaultWidth;
    int height = kDefaultHeight;
};

bool parseSide(const std::string& text, int& side)
{
    double value = 0;
    if (!parseNumber(text, value) || value < 1 || value > kMaxSide || value != int(value))
        return false;
    side = static_cast<int>(value);
    return true;
}

std::optional<MapArgs> parseMapArgs(const std::vector<std::string>& args)
{
    MapArgs parsed;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--width" && hasValue) {
            if (!parseSide(args[++i], parsed.width))
                return std::nullopt;
        } else if (args[i] == "--height" && hasValue) {
            if (!parseSide(args[++i], parsed.height))
                return std::nullopt;
        } else if (args[i].starts_with("--")) {
            return std::nullopt;
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 3 ||
        (positional[1] != "sky" && positional[1] != "radiant" && positional[1] != "orbit"))
        return std::nullopt;
    parsed.mdb = positional[0];
    parsed.kind = positional[1];
    parsed.out = positional[2];
    return parsed;
}

// The application as the window opens it on this MDB, with the star catalogue and the planet
// tracks the maps draw.
bool startHeadless(HeadlessWindow& window, const std::string& mdb)
{
    if (!window.open("map", mdb))
        return false;
    AppContext& app = window.app();
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
    HeadlessWindow window;
    if (!startHeadless(window, parsed->mdb))
        return kBatchFailed;
    AppContext& app = window.app();
    MapInputsCache inputs(app);
    std::unique_ptr<CMapPage> page;
    if (parsed->kind == "sky")
        page = std::make_unique<CPageSMap>(app, inputs);
    else if (parsed->kind == "radiant")
        page = std::make_unique<CPageRadiant>(app, inputs);
    else
        page = std::make_unique<CPageOMap>(app, inputs);
    Canvas canvas(parsed->width, parsed->height, app.settings.BW != 0);
    page->render(canvas);
    if (!writeMap(canvas, parsed->out)) {
        std::fprintf(stderr, "map: cannot write %s\n", parsed->out.c_str());
        return kBatchFailed;
    }
    std::printf("map %s %dx%d %s\n", parsed->kind.c_str(), canvas.maxX() + 1, canvas.maxY() + 1,
                parsed->out.c_str());
    return kBatchOk;
}

} // namespace

std::vector<BatchCommand> mapCommands()
{
    return {
        {"map", "MDB (sky|radiant|orbit) OUT [--width W --height H]",
         "draw a map with the settings' map state (Orvantella.ovr of the current folder) into "
         "OUT, a PNG file when OUT ends in .png, else a BMP file",
         renderMap},
    };
}
