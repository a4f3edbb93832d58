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
    // No demo database to offer: only where the new one will be.
    EXPECT_EQ(scripted->messages(), std::vector<std::string>{formatMessage(
                                        kNewDatabaseFormat, folder.dir.file("MDB").c_str())});
    ASSERT_TRUE(app.db);
    EXPECT_EQ(app.db->orbits.count() + app.db->dsids.count() + app.db->streams.count(), 0);
    EXPECT_EQ(app.stars.size(), 9096u);
    EXPECT_FALSE(fs::exists(folder.dir.file("MDB")));
    EXPECT_FALSE(fs::exists(folder.dir.file("Orvantella.ovr")));
    shutDown(app);
    EXPECT_FALSE(app.db);
    EXPECT_TRUE(fs::exists(folder.dir.file("Orvantella.ovr")));
}

// The first start's question: OK starts from a copy of the demo database in the new MDB folder.
TEST(StartUp, FirstStartOffersTheDemoDatabase)
{
    FreshFolder folder;
    ScopedScriptedUi scripted;
    NoSplash splash;
    AppContext app;
    app.startupFolder = folder.dir.str();
    app.executableFolder = folder.empty.str();
    fs::create_directories(folder.empty.path() / "demo");
    fs::copy(fs::path(ORVANTELLA_SOURCE_DIR) / "data/demo/MDB", folder.empty.path() / "demo/MDB",
             fs::copy_options::recursive);
    scripted->answerOk();
    startUp(app, splash);
    const std::string demo = (folder.empty.path() / kDemoDatabaseFolder).string();
    ASSERT_EQ(scripted->events().size(), 1u);
    EXPECT_EQ(scripted->events()[0].kind, ScriptedUi::Kind::Question);
    EXPECT_EQ(
        scripted->events()[0].text,
        formatMessage(kFirstStartQuestionFormat, folder.dir.file("MDB").c_str(), demo.c_str()));
    EXPECT_EQ(app.db->orbitCount, 1031);
    EXPECT_TRUE(fs::is_directory(folder.dir.file("MDB/orbits")));
    shutDown(app);
    // A later start has its settings file and asks nothing.
    AppContext again;
    again.startupFolder = folder.dir.str();
    again.executableFolder = folder.empty.str();
    startUp(again, splash);
    EXPECT_EQ(scripted->events().size(), 1u);
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
