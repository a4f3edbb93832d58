// The Set Up page's commands.
#include "pages/page_setup.h"

#include "pages/import_command.h"
#include "pages/orbit_files.h"

#include <cstdio>
#include <filesystem>

#include "app/app_context.h"
#include "app/app_refresh.h"
#include "app/startup.h"
#include "mdb/database_store.h"
#include "mdb/dsid_dialog.h"
#include "mdb/schema.h"
#include "pages/stream_list.h"
#include "pages/typical_orbits.h"
#include "platform/ui.h"

namespace {

constexpr const char* kAbandonQuestion = "Tables were not saved. Abandon Modification OK?";
constexpr int kNotShown = -1;

// The orbits subfolder of an MDB or backup folder; the program cannot go on without it.
void makeOrbitsFolder(const std::string& folder)
{
    const std::string orbits = folder + "/" + kOrbitsFolder;
    std::error_code error;
    std::filesystem::create_directory(orbits, error);
    if (!std::filesystem::is_directory(orbits))
        fatal("Cannot Create orbits Dir %s", orbits.c_str());
}

} // namespace

CPageSetup::CPageSetup(AppContext& app)
    : m_app(app), m_dsids(*this, app.views.dataSources, app.db->dsids),
      m_lists(*this, app.views.streamLists, app.db->lists),
      m_files(*this, app.views.orbitFiles, app.db->orbitFiles)
{
}

void CPageSetup::initialise()
{
    m_busy = true;
    selectCurrentDsid(static_cast<std::uint32_t>(m_app.settings.st_dsid));
    refreshViews();
    m_busy = false;
    changed();
}

void CPageSetup::selectCurrentDsid(std::uint32_t wanted)
{
    Database& db = *m_app.db;
    db.sources.selectCurrentDsid(wanted);
    m_app.settings.st_dsid = static_cast<std::int32_t>(db.sources.currentDsid());
    refillDataSources();
}

void CPageSetup::refillDataSources()
{
    m_dsids.build();
    m_dsids.sort(1, 1);
    changed();
}

void CPageSetup::markListsInUse()
{
    Database& db = *m_app.db;
    for (int row = 0; row < db.lists.count(); ++row)
        if (db.lists.isLive(row))
            db.lists.setInteger(
                row, db.sources.isInUse(db.lists.cell(row, col::List::LID)->number) ? 1 : kNotShown,
                col::List::dline);
    m_lists.build(col::List::dline, kNotShown);
}

void CPageSetup::refreshViews()
{
    refillDataSources();
    markListsInUse();
    m_files.build();
    changed();
}

std::string CPageSetup::mdbFolder() const { return m_app.settings.mdbdir; }

std::string CPageSetup::versionLine() const
{
    char line[64];
    std::snprintf(line, sizeof line, "Orvantella meteor orbit database V%.2f", kProgramVersion);
    return line;
}

bool CPageSetup::saveTablesEnabled() const { return m_app.db->modified; }

bool CPageSetup::blackAndWhite() const { return m_app.settings.BW != 0; }

void CPageSetup::markModified()
{
    m_app.db->modified = true;
    changed();
}

void CPageSetup::chooseMdbFolder()
{
    if (m_app.db->modified && !ui().askOkCancel(kAbandonQuestion, kAppCaption))
        return;
    const auto folder = ui().browseFolder("Input Directory", m_app.settings.mdbdir);
    if (!folder)
        return;
    m_app.settings.mdbdir = *folder;
    makeOrbitsFolder(*folder);
    reloadAllTables(m_app);
    selectCurrentDsid(static_cast<std::uint32_t>(m_app.settings.st_dsid));
}

void CPageSetup::backUp()
{
    const auto folder = ui().browseFolder("Backup Directory", m_app.settings.backdir);
    if (!folder)
        return;
    m_app.settings.backdir = *folder;
    makeOrbitsFolder(*folder);
    (void)saveAll(*m_app.db, *folder);
}

void CPageSetup::toggleBlackAndWhite()
{
    m_app.settings.BW = m_app.settings.BW ? 0 : 1;
    // Only the maps change: the unsaved-changes state stays as it was.
    requestRefresh(m_app, 7);
    changed();
}

void CPageSetup::createDsid()
{
    Database& db = *m_app.db;
    CDSIDdlg dialog(db.sources);
    if (!ui().runModal(dialog) || !dialog.chosen())
        return;
    const std::uint32_t dsid = *dialog.chosen();
    const int line = m_dsids.addRow();
    const int row = m_dsids.rowOfLine(line);
    db.dsids.cell(row, col::Dsid::DSID)->number = dsid;
    db.dsids.cell(row, col::Dsid::use)->number = 1;
    db.dsids.setText(row, col::Dsid::code, "new");
    db.dsids.cell(row, col::Dsid::IDnext)->number = dsid * kIdsPerSource;
    m_dsids.redrawLine(line);
    if (m_dsids.editRecord(line, false) == 0) {
        m_dsids.deleteLine(line, false);
        changed();
        return;
    }
    selectCurrentDsid(dsid);
    markModified();
}

void CPageSetup::saveTables()
{
    if (saveAll(*m_app.db, m_app.settings.mdbdir))
        m_app.db->modified = false;
    changed();
}

void CPageSetup::createOrbitFile()
{
    ::createOrbitFile(m_app);
    refreshViews();
}

void CPageSetup::importOrbitFile(Feedback& feedback)
{
    ::importOrbitFile(m_app, feedback);
    refreshViews();
}

void CPageSetup::reload()
{
    if (reloadDatabase(m_app))
        m_reloadEnabled = false;
    refreshViews();
}

void CPageSetup::deleteDsid(int row)
{
    Database& db = *m_app.db;
    if (!isLiveRow(db.dsids, row)) {
        message("Please select a DSID");
        return;
    }
    if (!ui().askOkCancel(kDeleteDsidQuestion, kAppCaption))
        return;
    db.sources.clearDsidMark(db.dsids.cell(row, col::Dsid::DSID)->number);
    db.dsids.deleteRow(row);
    selectCurrentDsid(db.sources.currentDsid());
    markModified();
}

void CPageSetup::dsidEdited()
{
    Database& db = *m_app.db;
    db.sources.checkDsidTable();
    selectCurrentDsid(db.sources.currentDsid());
    markListsInUse();
    markModified();
    requestRefresh(m_app, 3);
}

const std::vector<CPageSetup::ListMenuItem>& CPageSetup::listMenuItems()
{
    static const std::vector<ListMenuItem> items = {
        {ListMenuCommand::Edit, "Edit"},
        {ListMenuCommand::Copy, "Copy to new list"},
        {ListMenuCommand::TypicalOrbits, "Make typical orbits"},
        {ListMenuCommand::CrossListing, "Cross stream listing"},
        {ListMenuCommand::ExportTarn, "Export list (TarnRadiant.txt)"},
        {ListMenuCommand::Delete, "Delete this list"},
    };
    return items;
}

// Creating, copying and importing keep the page busy; the views follow the tables after.
void CPageSetup::runListCommand(const std::function<void()>& command)
{
    m_busy = true;
    command();
    m_busy = false;
    refreshViews();
}

void CPageSetup::createList()
{
    runListCommand([this] { ::createStreamList(m_app, m_lists); });
}

void CPageSetup::importList()
{
    runListCommand([this] { ::importStreamList(m_app); });
}

void CPageSetup::openListMenu(int line)
{
    m_menuListRow = line >= 0 && line < m_lists.lineCount() ? m_lists.rowOfLine(line) : -1;
    m_lists.setSelectedLine(m_menuListRow < 0 ? -1 : line);
    listMenuRequested(line);
}

void CPageSetup::listMenuCommand(ListMenuCommand command)
{
    const int row = m_menuListRow;
    switch (command) {
    case ListMenuCommand::Edit:
        if (row < 0)
            message("%s", kSelectListMessage);
        else
            m_lists.editRecord(m_lists.selectedLine(), false);
        break;
    case ListMenuCommand::Copy:
        runListCommand([this, row] { ::copyStreamList(m_app, m_lists, row); });
        break;
    case ListMenuCommand::TypicalOrbits:
        ::makeTypicalOrbits(m_app, row);
        refreshViews();
        break;
    case ListMenuCommand::CrossListing:
        ::crossStreamListing(m_app, row);
        break;
    case ListMenuCommand::ExportTarn:
        ::exportTarnRadiant(m_app, row);
        break;
    case ListMenuCommand::Delete:
        ::deleteStreamList(m_app, row);
        refreshViews();
        break;
    }
}

void CPageSetup::notify(int code, int wParam, int lParam)
{
    switch (code) {
    case kDsidEdited:
        dsidEdited();
        break;
    case kDsidDelete:
        deleteDsid(wParam);
        break;
    case kListEdited:
        requestRefresh(m_app, 4);
        break;
    case kListMenu:
        openListMenu(lParam);
        break;
    case kListDelete:
        ::deleteStreamList(m_app, wParam);
        refreshViews();
        break;
    case kFileDelete:
        deleteOrbitFile(m_app, wParam);
        refreshViews();
        break;
    case kFileEdited:
        if (!m_busy) {
            m_reloadEnabled = true;
            markModified();
        }
        break;
    default:
        break;
    }
}
