// Opening, saving and closing an MDB folder from Python.
#include "open_database.h"

#include <filesystem>
#include <optional>

#include "core_call.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"

namespace {

std::string unreadText(const Database& db)
{
    std::string text;
    for (const std::string& file : db.unreadFiles)
        text +=
            (text.empty() ? "" : "\n") + db.loadedFolder + "/" + file + " could not be read whole";
    return text;
}

// The settings a batch command starts from: the defaults, with the folder as the MDB.
std::unique_ptr<AppContext> appOn(const std::string& folder)
{
    std::error_code error;
    auto app = std::make_unique<AppContext>();
    app->startupFolder = std::filesystem::current_path(error).string();
    app->settings = defaultSettings({app->startupFolder, {}});
    app->settings.mdbdir = folder;
    app->db = std::make_unique<Database>();
    return app;
}

} // namespace

OpenDatabase::OpenDatabase(std::string folder, bool readonly)
    : m_folder(std::move(folder)), m_readonly(readonly)
{
    if (!isMdbFolder(m_folder))
        raiseError("no MDB folder " + m_folder);
    std::unique_ptr<AppContext> app = appOn(m_folder);
    Database& db = *app->db;
    MessageLog log(false);
    CallFeedback feedback;
    std::optional<std::string> refusal;
    runInCore(log, feedback, [&] {
        refusal = lockAndLoadAll(db, m_folder, readonly ? MdbAccess::Read : MdbAccess::Write,
                                 app->settings.dlg_Y);
        db.sources.selectCurrentDsid(static_cast<std::uint32_t>(app->settings.st_dsid));
    });
    if (refusal)
        raiseError(*refusal);
    if (!db.unreadFiles.empty())
        raiseError(log.text("") + (log.messages().empty() ? "" : "\n") + unreadText(db));
    m_app = std::move(app);
}

AppContext& OpenDatabase::app()
{
    if (!m_app)
        raiseError("the database " + m_folder + " is closed");
    return *m_app;
}

void OpenDatabase::requireWritable()
{
    (void)app();
    if (m_readonly)
        raiseError(m_folder + " was opened read-only");
}

void OpenDatabase::save()
{
    requireWritable();
    Database& database = db();
    MessageLog log(false);
    CallFeedback feedback;
    bool saved = false;
    runInCore(
        log, feedback, [&] { saved = saveAll(database, m_folder); }, {}, false);
    if (!saved)
        raiseError(log.text("saving " + m_folder + " failed"));
    database.modified = false;
}

// The row of the list in use with this name, or whose LID is the text; raises when none.
int listRow(const Database& db, const std::string& list)
{
    for (int row = 0; row < db.lists.count(); ++row)
        if (db.lists.isLive(row) && list == db.lists.text(row, col::List::name) &&
            db.sources.isInUse(db.lists.cell(row, col::List::LID)->number))
            return row;
    for (int row = 0; row < db.lists.count(); ++row)
        if (db.lists.isLive(row) &&
            list == std::to_string(db.lists.cell(row, col::List::LID)->number))
            return row;
    raiseError("no stream list in use is named " + list);
}

int sourceRow(const Database& db, const std::string& code)
{
    for (int row = 0; row < db.dsids.count(); ++row)
        if (db.dsids.isLive(row) && db.dsids.cell(row, col::Dsid::use)->number == 1 &&
            code == db.dsids.text(row, col::Dsid::code))
            return row;
    raiseError("no data source in use has the code " + code);
}
