// The order of start-up and shutdown.
#include "app/startup.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/app_context.h"
#include "astro/calendar.h"
#include "mdb/database_store.h"
#include "platform/ui.h"

std::string versionText()
{
    char text[32];
    std::snprintf(text, sizeof text, "Orvantella V%4.2f", kProgramVersion);
    return text;
}

namespace {

void loadStars(AppContext& app)
{
    const auto folder =
        findStarCatalogueFolder(starCatalogueFolders(app.startupFolder, app.executableFolder));
    if (!folder)
        fatal("VexoStarMap.txt was not exist");
    app.stars = loadStarCatalogue(*folder);
}

// The demo database beside the star catalogue: in the first of its folders that has it.
std::optional<std::string> findDemoDatabase(const AppContext& app)
{
    for (const std::string& folder :
         starCatalogueFolders(app.startupFolder, app.executableFolder)) {
        const std::filesystem::path mdb = std::filesystem::path(folder) / kDemoDatabaseFolder;
        std::error_code error;
        if (std::filesystem::is_directory(mdb, error))
            return mdb.string();
    }
    return std::nullopt;
}

// A first start (no settings file, no database where they point): the user learns where the new
// empty database will be, and may start from a copy of the demo database instead.
void offerDemoOnFirstStart(const AppContext& app, SettingsFileState settingsFile)
{
    std::error_code error;
    const std::string& mdb = app.settings.mdbdir;
    if (settingsFile != SettingsFileState::Unreadable || std::filesystem::exists(mdb, error))
        return;
    const std::optional<std::string> demo = findDemoDatabase(app);
    if (!demo) {
        message(kNewDatabaseFormat, mdb.c_str());
        return;
    }
    if (!ui().askOkCancel(formatMessage(kFirstStartQuestionFormat, mdb.c_str(), demo->c_str()),
                          kAppCaption))
        return;
    std::filesystem::copy(*demo, mdb, std::filesystem::copy_options::recursive, error);
    if (error)
        message(kDemoNotCopiedFormat, demo->c_str(), mdb.c_str(), error.message().c_str());
}

} // namespace

void startUp(AppContext& app, Splash& splash)
{
    splash.setLine(0, versionText());
    app.settings = defaultSettings({app.startupFolder, documentsFolder()});
    app.views.resetToDefaults();
    app.currentListRow = -1;
    app.currentStreamRow = -1;
    BuildMonthTables();
    const SettingsFileState settingsFile = readSettings(app.settings, app.views, app.startupFolder);
    offerDemoOnFirstStart(app, settingsFile);
    app.currentLid = static_cast<std::uint32_t>(app.settings.ps_lid);
    splash.setLine(1, "Loading ....");
    splash.setLine(2, app.settings.mdbdir);
    app.db = std::make_unique<Database>();
    loadStars(app);
    openDatabaseForWindow(*app.db, app.settings.mdbdir, app.settings.dlg_Y);
    app.planetTracks = PlanetTracks(app.settings.dlg_Y, app.settings.dlg_M, app.settings.dlg_D);
}

void shutDown(AppContext& app)
{
    app.db.reset();
    writeSettings(app.settings, app.views, app.startupFolder);
}
