// The Orbit page's exports: the save dialog, then the file.
#include "pages/orbit_export_commands.h"

#include <filesystem>
#include <optional>

#include "app/app_context.h"
#include "orbits/orbit_exports.h"
#include "pages/orbit_files.h"
#include "platform/ui.h"

namespace {

// The save dialog again for as long as the user names a file in the orbits folder.
std::optional<std::string> chooseExportTarget(const AppContext& app, const FileRequest& request)
{
    for (;;) {
        std::optional<std::string> path = chooseSaveFile(request);
        if (!path || !isInOrbitsFolder(app, *path))
            return path;
        message(kInOrbitsFolderFormat, path->c_str(), orbitsFolderOf(app).c_str());
    }
}

} // namespace

bool isInOrbitsFolder(const AppContext& app, const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path parent = fs::weakly_canonical(fs::path(path), error).parent_path();
    const fs::path folder = fs::weakly_canonical(fs::path(orbitsFolderOf(app)), error);
    return !error && parent == folder;
}

bool exportSelectedOrbits(const AppContext& app)
{
    const FileRequest request{kExportTitle, app.settings.docdir, kExportDefaultName, kExportFilter};
    const std::optional<std::string> path = chooseExportTarget(app, request);
    return path && writeSelectedOrbits(*app.db, *path);
}

bool exportStreamCount(const AppContext& app)
{
    const FileRequest request{kCountTitle, app.settings.docdir, kCountDefaultName, kCountFilter};
    const std::optional<std::string> path = chooseExportTarget(app, request);
    return path && writeStreamCount(*app.db, *path);
}
