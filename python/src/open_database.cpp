// Opening, saving and closing an MDB folder from Python.
#include "open_database.h"

#include <filesystem>

#include "app/settings.h"
#include "core_call.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"

namespace {

// The working year whose month/day texts the streams get, as in the batch tool.
int workingYear() { return Settings{}.dlg_Y; }

std::string unreadText(const Database& db)
{
    std::string text;
    for (const std::string& file : db.unreadFiles)
        text +=
            (text.empty() ? "" : "\n") + db.loadedFolder + "/" + file + " could not be read whole";
    return text;
}

} // namespace

OpenDatabase::OpenDatabase(std::string folder, bool readonly)
    : m_folder(std::move(folder)), m_readonly(readonly)
{
    std::error_code error;
    if (!std::filesystem::is_directory(m_folder, error))
        raiseError("no MDB folder " + m_folder);
    lockFolder();
    auto db = std::make_unique<Database>();
    MessageLog log(false);
    CallFeedback feedback;
    try {
        runInCore(log, feedback, [&] {
            loadAll(*db, m_folder, workingYear());
            db->sources.selectCurrentDsid(static_cast<std::uint32_t>(Settings{}.st_dsid));
        });
    } catch (...) {
        unlockFolder();
        throw;
    }
    if (!db->unreadFiles.empty()) {
        unlockFolder();
        raiseError(log.text("") + (log.messages().empty() ? "" : "\n") + unreadText(*db));
    }
    m_db = std::move(db);
}

Database& OpenDatabase::db()
{
    if (!m_db)
        raiseError("the database " + m_folder + " is closed");
    return *m_db;
}

void OpenDatabase::save()
{
    Database& database = db();
    if (m_readonly)
        raiseError(m_folder + " was opened read-only");
    MessageLog log(false);
    CallFeedback feedback;
    bool saved = false;
    runInCore(
        log, feedback, [&] { saved = saveAll(database, m_folder); }, {}, false);
    if (!saved)
        raiseError(log.text("saving " + m_folder + " failed"));
    database.modified = false;
}

void OpenDatabase::close()
{
    m_db.reset();
    unlockFolder();
}

// The folder's lock goes here: shared for reading, exclusive for writing.
void OpenDatabase::lockFolder() {}

void OpenDatabase::unlockFolder() {}

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
