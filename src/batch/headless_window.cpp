// Start-up and the opening pages without a window.
#include "batch/headless_window.h"

#include <cstdio>
#include <filesystem>

#include "batch/batch_command.h"
#include "mdb/database_store.h"

namespace {

std::string executableFolder()
{
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.parent_path().string();
}

} // namespace

bool HeadlessWindow::open(const std::string& command, const std::string& mdb, MdbAccess access,
                          const std::function<void(Settings&)>& options)
{
    std::error_code error;
    m_app.startupFolder = std::filesystem::current_path(error).string();
    m_app.executableFolder = executableFolder();
    m_app.settings = defaultSettings({m_app.startupFolder, {}});
    m_app.views.resetToDefaults();
    readSettings(m_app.settings, m_app.views, m_app.startupFolder);
    if (options)
        options(m_app.settings);
    m_app.settings.mdbdir = mdb;
    m_app.currentLid = static_cast<std::uint32_t>(m_app.settings.ps_lid);
    m_app.db = std::make_unique<Database>();
    if (!loadMdb(command, *m_app.db, mdb, access, m_app.settings.dlg_Y))
        return false;
    m_pages.emplace(m_app);
    return true;
}
