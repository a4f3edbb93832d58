// Helpers shared by the batch commands.
#include "batch/batch_command.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/app_context.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"

namespace {

// The row of the data source in use with this code, -1 when there is none.
int sourceInUse(const Database& db, const std::string& code)
{
    using C = col::Dsid;
    for (int row = 0; row < db.dsids.count(); ++row)
        if (db.dsids.isLive(row) && db.dsids.cell(row, C::use)->number == 1 &&
            code == db.dsids.text(row, C::code))
            return row;
    return -1;
}

} // namespace

int runBatchCommand(const BatchCommand& command, const std::vector<std::string>& args)
{
    const int status = command.run(args);
    if (status == kBatchUsage)
        std::fprintf(stderr, "usage: orvantella-batch %s %s\n", command.name.c_str(),
                     command.arguments.c_str());
    return status;
}

std::vector<BatchCommand> allBatchCommands()
{
    std::vector<BatchCommand> commands;
    for (auto group :
         {astroCommands, mdbCommands, setupCommands, orbitFileCommands, groupingCommands,
          selectionCommands, streamListCommands, mapCommands, clusterCommands, demoCommands}) {
        std::vector<BatchCommand> more = group();
        commands.insert(commands.end(), more.begin(), more.end());
    }
    return commands;
}

bool parseNumber(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0';
}

bool reportUnreadFiles(const Database& db, const std::string& command)
{
    for (const std::string& file : db.unreadFiles)
        std::fprintf(stderr, "%s: %s/%s could not be read whole\n", command.c_str(),
                     db.loadedFolder.c_str(), file.c_str());
    return !db.unreadFiles.empty();
}

bool loadMdb(const std::string& command, Database& db, const std::string& mdb, MdbAccess access,
             int year)
{
    if (!isMdbFolder(mdb)) {
        std::fprintf(stderr, "%s: no MDB folder %s\n", command.c_str(), mdb.c_str());
        return false;
    }
    if (const std::optional<std::string> refusal = lockAndLoadAll(db, mdb, access, year)) {
        std::fprintf(stderr, "%s: %s\n", command.c_str(), refusal->c_str());
        return false;
    }
    const bool unread = reportUnreadFiles(db, command);
    if (unread && access == MdbAccess::Write)
        std::fprintf(stderr, "%s: nothing changed: a database not read whole is never saved\n",
                     command.c_str());
    return !unread || access == MdbAccess::Read;
}

std::unique_ptr<AppContext> openMdb(const std::string& command, const std::string& mdb,
                                    MdbAccess access, const std::string& dsidCode)
{
    std::error_code error;
    auto app = std::make_unique<AppContext>();
    app->settings = defaultSettings({std::filesystem::current_path(error).string(), {}});
    app->settings.mdbdir = mdb;
    app->db = std::make_unique<Database>();
    if (!loadMdb(command, *app->db, mdb, access, app->settings.dlg_Y))
        return nullptr;
    app->db->sources.selectCurrentDsid(static_cast<std::uint32_t>(app->settings.st_dsid));
    if (dsidCode.empty())
        return app;
    const int sourceRow = sourceInUse(*app->db, dsidCode);
    if (sourceRow < 0) {
        std::fprintf(stderr, "%s: no data source in use has the code %s\n", command.c_str(),
                     dsidCode.c_str());
        return nullptr;
    }
    app->db->sources.makeCurrent(sourceRow);
    return app;
}

BatchAnswers::BatchAnswers() : m_previous(&ui())
{
    m_ui.setEcho(true);
    setUi(&m_ui);
}

BatchAnswers::~BatchAnswers() { setUi(m_previous); }
