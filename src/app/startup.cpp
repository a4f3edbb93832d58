// The order of start-up and shutdown.
#include "app/startup.h"

#include <cstdio>

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

} // namespace

void startUp(AppContext& app, Splash& splash)
{
    splash.setLine(0, versionText());
    app.settings = defaultSettings({app.startupFolder, documentsFolder()});
    app.views.resetToDefaults();
    app.currentListRow = -1;
    app.currentStreamRow = -1;
    BuildMonthTables();
    readSettings(app.settings, app.views, app.startupFolder);
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
