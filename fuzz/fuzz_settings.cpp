// Fuzz target: any settings file is read without a fault; a file that is
// not read leaves every default, and whatever is read survives a write and
// a second read unchanged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <type_traits>
#include <vector>

#include "app/settings.h"
#include "platform/scripted_ui.h"

namespace {

// A private folder holding the file and an MDB folder, and a silent interface.
struct Bench {
    Bench()
    {
        const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/fuzz_settings_XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder = pattern;
        std::filesystem::create_directory(folder + "/MDB");
        setUi(&ui);
    }
    ~Bench() { std::filesystem::remove_all(folder); }

    std::string folder;
    ScriptedUi ui;
};

// The stored values as bytes, optionally without the folder texts.
std::vector<std::string> flatten(const Settings& settings, const ViewLayouts& views, bool withTexts)
{
    std::vector<std::string> values;
    forEachSetting(settings, [&](const SettingKey& key, const auto& value) {
        using T = std::decay_t<decltype(value)>;
        if (!key.written)
            return;
        if constexpr (std::is_same_v<T, std::string>) {
            if (withTexts)
                values.push_back(value);
        } else {
            values.emplace_back(reinterpret_cast<const char*>(&value), sizeof value);
        }
    });
    for (const UViewDef* view :
         {&views.dataSources, &views.streamLists, &views.orbitFiles, &views.streams, &views.orbits})
        for (const UViewColumn& column : view->columns)
            values.push_back(std::to_string(column.shown) + "/" + std::to_string(column.width));
    return values;
}

bool foldersLeftOut(const ScriptedUi& ui)
{
    for (const std::string& text : ui.messages())
        if (text.starts_with("Folder names too long"))
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Bench bench;
    bench.ui.clear();
    const std::string path = bench.folder + "/" + kSettingsFileName;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();

    const Settings defaults = defaultSettings({bench.folder, bench.folder});
    Settings settings = defaults;
    ViewLayouts views;
    const SettingsFileState state = readSettings(settings, views, bench.folder);
    if (state != SettingsFileState::Read) {
        if (flatten(settings, views, true) != flatten(defaults, ViewLayouts(), true))
            std::abort();
        return 0;
    }

    if (!writeSettings(settings, views, bench.folder, "again.ovr"))
        std::abort();
    Settings again = defaults;
    ViewLayouts againViews;
    if (readSettings(again, againViews, bench.folder, "again.ovr") != SettingsFileState::Read)
        std::abort();
    const bool withTexts = !foldersLeftOut(bench.ui);
    if (flatten(again, againViews, withTexts) != flatten(settings, views, withTexts))
        std::abort();
    return 0;
}
