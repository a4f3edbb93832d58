#pragma once
// The body shared by the converter fuzz targets: the first input byte chooses the situation
// (existing target, OIDs running out), the rest is the source file. Any crash, sanitizer
// report or broken promise of the converter (a failure that changes the target, a written row
// that is not 26 fields ended by CR LF) aborts.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "orbits/orbit_converters.h"
#include "platform/scripted_ui.h"

namespace fuzz {

class Workspace {
public:
    Workspace()
    {
        const std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        m_folder = base / ("orvantella-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
        setUi(&m_ui);
    }
    ~Workspace()
    {
        setUi(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    std::string file(const char* name) const { return (m_folder / name).string(); }
    ScriptedUi& ui() { return m_ui; }

private:
    std::filesystem::path m_folder;
    ScriptedUi m_ui;
};

inline std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void writeAll(const std::string& path, const char* data, std::size_t size)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(data, static_cast<long>(size));
}

inline void check(bool promise)
{
    if (!promise)
        std::abort();
}

// Rows appended after the target's former content: whole lines of 26 fields (the O layout
// copies its rows and promises only the line ends).
inline void checkAppended(OrbitLayout layout, const std::string& appended, std::int64_t rows,
                          bool header)
{
    std::int64_t lines = 0;
    std::size_t begin = 0;
    while (begin < appended.size()) {
        const std::size_t end = appended.find("\r\n", begin);
        check(end != std::string::npos);
        const std::string line = appended.substr(begin, end - begin);
        check(line.find('\n') == std::string::npos);
        if (layout != OrbitLayout::O)
            check(std::count(line.begin(), line.end(), ',') == 25);
        ++lines;
        begin = end + 2;
    }
    check(lines == rows + (header ? 1 : 0));
}

inline int convert(OrbitLayout layout, const std::uint8_t* data, std::size_t size)
{
    static Workspace workspace;
    if (size == 0)
        return 0;
    const std::uint8_t situation = data[0];
    const std::string source = workspace.file("source");
    const std::string target = workspace.file("O_WK_1.csv");
    writeAll(source, reinterpret_cast<const char*>(data + 1), size - 1);
    std::filesystem::remove(target);
    const bool existing = (situation & 1) != 0;
    const std::string before = existing ? orbitFileHeader() + "501,7,1,_x\r\n" : "";
    if (existing)
        writeAll(target, before.data(), before.size());
    // Bits 1-3: OIDs before they run out, 0 for no limit.
    const std::uint32_t oidLimit = (situation >> 1) & 7;
    std::uint32_t oidsTaken = 0;
    static const DuplicateIndex index({{55000.5, "WK_T1", ""}, {55000.5, "n", "m"}});
    NoFeedback feedback;
    ConversionContext context{"WK",
                              [&]() -> std::optional<std::uint32_t> {
                                  if (oidLimit != 0 && oidsTaken == oidLimit)
                                      return std::nullopt;
                                  return 4100000000u + oidsTaken++;
                              },
                              index, feedback};
    const std::int64_t rows = convertOrbitFile(layout, source, target, context);
    workspace.ui().clear();
    if (rows < 0) {
        check(existing ? readAll(target) == before : !std::filesystem::exists(target));
        return 0;
    }
    const std::string after = readAll(target);
    check(after.compare(0, before.size(), before) == 0);
    checkAppended(layout, after.substr(before.size()), rows, !existing);
    return 0;
}

} // namespace fuzz
