// Start-up and shutdown of a whole application without a window.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_context.h"
#include "app/startup.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

class RecordingSplash final : public Splash {
public:
    std::vector<std::string> lines{3};
    void setLine(int line, const std::string& text) override { lines.at(line) = text; }
};

// A start-up folder holding only the star catalogue.
struct FreshFolder {
    TempDir dir;
    TempDir empty;
    FreshFolder()
    {
        fs::copy_file(projectDataFile("VexoStarMap.txt"), dir.path() / "VexoStarMap.txt");
    }
};

} // namespace

TEST(StartUp, FirstStartOpensEmptyAndWritesTheSettingsAtTheEnd)
{
    FreshFolder folder;
    ScopedScriptedUi scripted;
    RecordingSplash splash;
    AppContext app;
    app.startupFolder = folder.dir.str();
    app.executableFolder = folder.empty.str();
    startUp(app, splash);
    EXPECT_EQ(splash.lines, (std::vector<std::string>{"Orvantella V0.17", "Loading ....",
                                                      folder.dir.file("MDB")}));
    EXPECT_TRUE(scripted->messages().empty());
    ASSERT_TRUE(app.db);
    EXPECT_EQ(app.db->orbits.count() + app.db->dsids.count() + app.db->streams.count(), 0);
    EXPECT_EQ(app.stars.size(), 9096u);
    EXPECT_FALSE(fs::exists(folder.dir.file("MDB")));
    EXPECT_FALSE(fs::exists(folder.dir.file("Orvantella.ovr")));
    shutDown(app);
    EXPECT_FALSE(app.db);
    EXPECT_TRUE(fs::exists(folder.dir.file("Orvantella.ovr")));
}

TEST(StartUp, SettingsOfTheLastRunAreRestored)
{
    FreshFolder folder;
    ScopedScriptedUi scripted;
    NoSplash splash;
    {
        AppContext app;
        app.startupFolder = folder.dir.str();
        app.executableFolder = folder.empty.str();
        startUp(app, splash);
        app.settings.dlg_Y = 2018;
        app.settings.ps_lid = 4100000007;
        app.views.orbits.columns[0].width = 77;
        shutDown(app);
    }
    AppContext app;
    app.startupFolder = folder.dir.str();
    app.executableFolder = folder.empty.str();
    startUp(app, splash);
    EXPECT_EQ(app.settings.dlg_Y, 2018);
    EXPECT_EQ(app.currentLid, 4100000007u);
    EXPECT_EQ(app.views.orbits.columns[0].width, 77);
}

TEST(StartUpDeathTest, MissingStarCatalogueIsFatal)
{
    TempDir dir;
    AppContext app;
    app.startupFolder = dir.str();
    app.executableFolder = dir.str();
    NoSplash splash;
    EXPECT_EXIT(startUp(app, splash), ::testing::ExitedWithCode(247),
                "VexoStarMap.txt was not exist");
}
