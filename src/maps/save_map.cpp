// The map save flow and the maps' default file names.
#include "maps/save_map.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "maps/bmp_writer.h"
#include "maps/canvas.h"
#include "maps/png_writer.h"
#include "platform/ui.h"
#include "table/text_file.h"

namespace {

// A map file replaced only once fully written: a full disk keeps the previous map.
bool writeBytes(const std::string& path, const std::string& bytes)
{
    if (bytes.empty())
        return false;
    AtomicFileWriter out(path);
    if (!out.open())
        return false;
    out.append(bytes);
    return out.commit();
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

bool isPngPath(const std::string& path)
{
    const std::string extension = std::filesystem::path(path).extension().string();
    return extension.size() == 4 &&
           std::equal(extension.begin(), extension.end(), ".png", [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

bool writeMap(const Canvas& canvas, const std::string& path)
{
    return writeBytes(path, isPngPath(path) ? encodePng(canvas) : encodeBmp(canvas));
}

bool saveMap(const Canvas& canvas, const std::string& defaultPath,
             const std::function<bool(const std::string& path)>& accept)
{
    // The pixels are taken before the dialog: a repaint behind it may rebuild
    // the canvas. The chosen name then tells the format.
    const Canvas pixels = canvas;
    const std::filesystem::path proposed(defaultPath);
    FileRequest request{"Write BMP", proposed.parent_path().string(), proposed.filename().string(),
                        kSaveMapFilter, false};
    const std::optional<std::string> path = ui().saveFile(request);
    if (!path || (accept && !accept(*path)))
        return false;
    WaitCursor wait;
    if (!writeMap(pixels, *path))
        return false;
    status("map saved to %s", path->c_str());
    return true;
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
