// The batch command map: a BMP of each map from a database folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/app_context.h"
#include "app/settings.h"
#include "batch_test_support.h"
#include "maps/bmp_writer.h"
#include "maps/canvas.h"
#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "pages/page_links.h"
#include "pages/page_omap.h"
#include "pages/page_orbit.h"
#include "pages/page_radiant.h"
#include "pages/page_smap.h"
#include "pages/page_stream.h"
#include "platform/scripted_ui.h"
#include "support/label_checks.h"
#include "support/test_support.h"

namespace {

std::string demoMdb() { return std::string(ORVANTELLA_SOURCE_DIR) + "/data/demo/MDB"; }

// The window's road to a map: start-up's settings and load, the pages
// linked as the main window links them, then what the user does.
struct WindowPages {
    ScriptedUi scripted;
    AppContext app;
    std::unique_ptr<CPageStream> stream;
    std::unique_ptr<CPageOrbit> orbit;
    std::unique_ptr<MapInputsCache> inputs;
    std::unique_ptr<CPageSMap> sky;
    std::unique_ptr<CPageRadiant> radiant;
    std::unique_ptr<CPageOMap> orbitMap;

    WindowPages()
    {
        setUi(&scripted);
        app.startupFolder = std::filesystem::current_path().string();
        app.settings = defaultSettings({app.startupFolder, {}});
        app.views.resetToDefaults();
        app.settings.mdbdir = demoMdb();
        app.currentLid = static_cast<std::uint32_t>(app.settings.ps_lid);
        app.stars = loadStarCatalogue(std::string(ORVANTELLA_SOURCE_DIR) + "/data");
        app.db = std::make_unique<Database>();
        loadAll(*app.db, demoMdb(), app.settings.dlg_Y);
        stream = std::make_unique<CPageStream>(app);
        orbit = std::make_unique<CPageOrbit>(app);
        inputs = std::make_unique<MapInputsCache>(app);
        sky = std::make_unique<CPageSMap>(app, *inputs);
        radiant = std::make_unique<CPageRadiant>(app, *inputs);
        orbitMap = std::make_unique<CPageOMap>(app, *inputs);
        linkPages({*stream, *orbit, *inputs, *sky}, [] {});
        stream->initialise();
        orbit->initialise();
        app.planetTracks = PlanetTracks(app.settings.dlg_Y, app.settings.dlg_M, app.settings.dlg_D);
    }
    ~WindowPages() { setUi(nullptr); }

    void ctrlClick(const std::string& code)
    {
        for (int row = 0; row < app.db->streams.count(); ++row)
            if (app.db->streams.isLive(row) && code == app.db->streams.text(row, col::Stream::code))
                stream->streamView().setSelectedLine(
                    app.db->streams.integer(row, col::Stream::valid));
        scripted.setCtrlDown(true);
        stream->notify(CPageStream::kRowSelected, 0, 0);
        scripted.setCtrlDown(false);
        inputs->invalidate();
    }
    CMapPage& page(const std::string& kind)
    {
        if (kind == "sky")
            return *sky;
        if (kind == "radiant")
            return *radiant;
        return *orbitMap;
    }
    Canvas render(const std::string& kind, int width, int height)
    {
        Canvas canvas(width, height, app.settings.BW != 0);
        page(kind).render(canvas);
        return canvas;
    }
};

} // namespace

TEST(MapCommand, WritesEachMapAsABmpOfTheAskedSizeOrAPng)
{
    TempDir dir;
    // The star catalogue is looked for in the current folder first.
    std::filesystem::copy_file(std::string(ORVANTELLA_SOURCE_DIR) + "/data/VexoStarMap.txt",
                               dir.file("VexoStarMap.txt"));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    for (const char* kind : {"sky", "radiant", "orbit"}) {
        const std::string out = dir.file(std::string(kind) + ".bmp");
        const CommandRun run = runBatchCommand(
            mapCommands(), "map",
            {demoMdb(), kind, out, "--width", "203", "--height", "101", "--date", "2018-12-14"});
        EXPECT_EQ(run.status, kBatchOk) << kind << run.err;
        const std::string bytes = readFileBytes(out);
        // 203 x 101 rounds down to 200 x 100.
        ASSERT_EQ(bytes.size(), 54u + 200 * 100 * 3) << kind;
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        // The Orbit page's conditions as options: the Geminids alone make another picture.
        const std::string geminids = dir.file(std::string(kind) + "_gem.bmp");
        EXPECT_EQ(runBatchCommand(mapCommands(), "map",
                                  {demoMdb(), kind, geminids, "--width", "203", "--height", "101",
                                   "--date", "2018-12-14", "--stream", "IAU_GEM"})
                      .status,
                  kBatchOk)
            << kind;
        const std::string geminidBytes = readFileBytes(geminids);
        EXPECT_EQ(geminidBytes.size(), bytes.size()) << kind;
        EXPECT_NE(geminidBytes, bytes) << kind;
    }
    // A name ending in .png gets a PNG file.
    const std::string png = dir.file("sky.png");
    EXPECT_EQ(runBatchCommand(mapCommands(), "map", {demoMdb(), "sky", png}).status, kBatchOk);
    EXPECT_EQ(readFileBytes(png).substr(0, 4), "\x89PNG");
    std::filesystem::current_path(before);
}

TEST(MapCommand, UsageErrors)
{
    TempDir dir;
    const std::string out = dir.file("x.bmp");
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {"unknown map", {demoMdb(), "star", out}, kBatchUsage},
        {"missing output", {demoMdb(), "sky"}, kBatchUsage},
        {"zero width", {demoMdb(), "sky", out, "--width", "0"}, kBatchUsage},
        {"width below the window's smallest map",
         {demoMdb(), "sky", out, "--width", "63"},
         kBatchUsage},
        {"height of 3", {demoMdb(), "radiant", out, "--height", "3"}, kBatchUsage},
        {"unknown option", {demoMdb(), "sky", out, "--depth", "3"}, kBatchUsage},
        {"no such folder", {"/nonexistent/MDB", "sky", out}, kBatchFailed},
        {"bad condition", {demoMdb(), "sky", out, "--days", "x"}, kBatchUsage},
        {"no such stream", {demoMdb(), "sky", out, "--stream", "IAU_NONE"}, kBatchFailed},
        {"density of the orbit map", {demoMdb(), "orbit", out, "--density"}, kBatchUsage},
        {"cell too small", {demoMdb(), "radiant", out, "--density", "--cell", "0.01"}, kBatchUsage},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(runBatchCommand(mapCommands(), "map", c.args).status, c.status) << c.name;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.name;
    }
}

TEST(MapCommand, StreamOptionDrawsWhatTheWindowDrawsAfterACtrlClickOnTheStream)
{
    TempDir dir;
    std::filesystem::copy_file(std::string(ORVANTELLA_SOURCE_DIR) + "/data/VexoStarMap.txt",
                               dir.file("VexoStarMap.txt"));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    for (const char* kind : {"sky", "radiant"}) {
        SCOPED_TRACE(kind);
        const std::string out = dir.file(std::string(kind) + ".bmp");
        const CommandRun run = runBatchCommand(
            mapCommands(), "map",
            {demoMdb(), kind, out, "--width", "640", "--height", "480", "--stream", "IAU_GEM"});
        ASSERT_EQ(run.status, kBatchOk) << run.err;
        WindowPages window;
        window.ctrlClick("IAU_GEM");
        // Not a byte apart, header and pixels.
        EXPECT_TRUE(readFileBytes(out) == encodeBmp(window.render(kind, 640, 480)));
    }
    std::filesystem::current_path(before);
}

TEST(DemoMaps, NoLabelCollidesWithAnotherText)
{
    WindowPages window;
    for (const bool clicked : {false, true}) {
        if (clicked)
            window.ctrlClick("IAU_GEM");
        for (const auto& [width, height] : {std::pair{640, 480}, {1200, 900}, {400, 300}}) {
            const std::string size =
                std::to_string(width) + "x" + std::to_string(height) + (clicked ? " IAU_GEM" : "");
            expectNoCollision(window.render("sky", width, height), "sky " + size);
            expectNoCollision(window.render("orbit", width, height), "orbit " + size);
            for (const RadiantFrame frame :
                 {RadiantFrame::Equatorial, RadiantFrame::Ecliptic, RadiantFrame::SunCentred}) {
                window.radiant->setFrame(frame);
                expectNoCollision(window.render("radiant", width, height),
                                  "radiant " + std::to_string(static_cast<int>(frame)) + " " +
                                      size);
            }
        }
    }
}
