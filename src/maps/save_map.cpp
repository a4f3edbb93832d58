// The map save flow and the maps' default file names.
#include "maps/save_map.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "maps/bmp_writer.h"
#include "platform/ui.h"

namespace {

bool writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

std::string datedName(const char* format, int year, int month, int day)
{
    char name[64];
    std::snprintf(name, sizeof name, format, year, month, day);
    return name;
}

std::string inFolder(const std::string& folder, const std::string& name)
{
    return folder + "/" + name;
}

} // namespace

bool saveMap(const Canvas& canvas, const std::string& defaultPath)
{
    // The pixels are taken before the dialog: a repaint behind it may rebuild
    // the canvas.
    std::string bytes;
    {
        WaitCursor wait;
        bytes = encodeBmp(canvas);
    }
    const std::filesystem::path proposed(defaultPath);
    FileRequest request{"Write BMP", proposed.parent_path().string(), proposed.filename().string(),
                        "Write BMP File (*.bmp)", false};
    const std::optional<std::string> path = ui().saveFile(request);
    if (!path)
        return false;
    WaitCursor wait;
    return writeBytes(*path, bytes);
}

std::string skyMapFileName(const std::string& folder, int year, int month, int day)
{
    return inFolder(folder, datedName("OV%04d%02d%02dSM.bmp", year, month, day));
}

std::string orbitMapFileName(const std::string& folder, int year, int month, int day)
{
    return inFolder(folder, datedName("OV%04d%02d%02dOM.bmp", year, month, day));
}

std::string radiantMapFileName(const std::string& folder, int year, int month, int day)
{
    return inFolder(folder, "B" + datedName("%04d%02d%02d_", year, month, day) + "RMAP.bmp");
}
