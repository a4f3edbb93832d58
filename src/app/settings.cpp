// The settings file: defaults, reading with its version and folder checks,
// and writing.
#include "app/settings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/ui.h"
#include "table/app_uty.h"

namespace {

constexpr const char* kVersionKey = "VERSION";
constexpr std::size_t kNumberSize = 4;

// The five views whose columns are stored, in file order, with their
// record prefixes: "%s_d%d" holds the shown flag, "%s_w%d" the width.
struct ViewRecordPrefix {
    const char* prefix;
    UViewDef ViewLayouts::*view;
};
constexpr ViewRecordPrefix kViewRecordPrefixes[] = {
    {"UD", &ViewLayouts::dataSources}, {"UL", &ViewLayouts::streamLists},
    {"UOF", &ViewLayouts::orbitFiles}, {"US", &ViewLayouts::streams},
    {"UO", &ViewLayouts::orbits},
};

void encodeLittleEndian(std::uint32_t value, unsigned char* bytes)
{
    for (std::size_t i = 0; i < kNumberSize; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint32_t decodeLittleEndian(const unsigned char* bytes)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < kNumberSize; ++i)
        value |= std::uint32_t(bytes[i]) << (8 * i);
    return value;
}

// Calls visit(prefix, index, column) for every stored view column, in file order.
template <class Views, class Visit> void forEachViewColumn(Views& views, Visit&& visit)
{
    for (const ViewRecordPrefix& entry : kViewRecordPrefixes) {
        auto& view = views.*entry.view;
        for (std::size_t i = 0; i < view.columns.size(); ++i)
            visit(entry.prefix, static_cast<int>(i), view.columns[i]);
    }
}

std::string viewRecordKey(const char* prefix, char field, int column)
{
    char key[CAppUty::kNameSize + 8];
    std::snprintf(key, sizeof key, "%s_%c%d", prefix, field, column);
    return key;
}

// Looks settings up in a file that has been read. Records longer than their
// setting are skipped and remembered, so that one message can name them all.
class SettingsReader {
public:
    explicit SettingsReader(CAppUty& store) : m_store(store) {}

    void read(const char* key, std::string& text)
    {
        char buffer[kSettingsTextCapacity];
        std::size_t length = 0;
        if (lookup(key, buffer, sizeof buffer, &length))
            text.assign(buffer, strnlen(buffer, std::min(length, kSettingsTextCapacity - 1)));
    }

    // A short record replaces only its own bytes of the value, low byte first.
    void read(const char* key, std::uint32_t& bits)
    {
        unsigned char bytes[kNumberSize];
        encodeLittleEndian(bits, bytes);
        if (lookup(key, bytes, kNumberSize, nullptr))
            bits = decodeLittleEndian(bytes);
    }

    void read(const char* key, int& value)
    {
        auto bits = static_cast<std::uint32_t>(value);
        read(key, bits);
        value = static_cast<int>(bits);
    }

    void read(const char* key, float& value)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &value, kNumberSize);
        read(key, bits);
        std::memcpy(&value, &bits, kNumberSize);
    }

    void read(const char* key, bool& flag)
    {
        int value = flag ? 1 : 0;
        read(key, value);
        flag = value != 0;
    }

    void reportTooLong() const
    {
        if (m_tooLong.empty())
            return;
        std::string keys;
        for (const std::string& key : m_tooLong)
            keys += (keys.empty() ? "\"" : ", \"") + key + "\"";
        message("Settings file: records of invalid length ignored, defaults kept for\n%s",
                keys.c_str());
    }

private:
    bool lookup(const char* key, void* destination, std::size_t capacity, std::size_t* length)
    {
        switch (m_store.find(key, destination, capacity, length)) {
        case CAppUty::Lookup::Found:
            return true;
        case CAppUty::Lookup::TooLong:
            m_tooLong.emplace_back(key);
            return false;
        case CAppUty::Lookup::NotFound:
            break;
        }
        return false;
    }

    CAppUty& m_store;
    std::vector<std::string> m_tooLong;
};

// A missing or unreadable VERSION counts as a file too old to read.
std::int32_t fileVersion(CAppUty& store)
{
    unsigned char bytes[kNumberSize] = {};
    store.find(kVersionKey, bytes, kNumberSize);
    return static_cast<std::int32_t>(decodeLittleEndian(bytes));
}

void readEverySetting(CAppUty& store, Settings& settings, ViewLayouts& views)
{
    SettingsReader reader(store);
    forEachSetting(settings,
                   [&](const SettingKey& key, auto& value) { reader.read(key.key, value); });
    forEachViewColumn(views, [&](const char* prefix, int i, UViewColumn& column) {
        reader.read(viewRecordKey(prefix, 'd', i).c_str(), column.shown);
        reader.read(viewRecordKey(prefix, 'w', i).c_str(), column.width);
    });
    reader.reportTooLong();
}

// A window placed above the screen is moved to a fixed place.
void fixWindowRect(Settings& settings)
{
    if (settings.dlgrect_top >= 0)
        return;
    settings.dlgrect_left = 20;
    settings.dlgrect_top = 100;
    settings.dlgrect_right = 920;
    settings.dlgrect_bottom = 680;
}

void checkMdbFolder(Settings& settings, const std::string& startupFolder)
{
    std::error_code error;
    if (std::filesystem::is_directory(settings.mdbdir, error))
        return;
    message(" MDB dir %s does not exist\n Default dir used", settings.mdbdir.c_str());
    settings.mdbdir = defaultSettings(SettingsFolders{startupFolder, {}}).mdbdir;
}

std::size_t recordSize(std::size_t dataBytes)
{
    return CAppUty::kHeaderSize + (dataBytes + 3) / 4 * 4;
}

// The record buffer refuses a record once kPutLimit bytes are used. The
// texts come first and number records last, so the file fits when the last
// number record starts below that limit.
bool fitsRecordBuffer(std::size_t totalBytes)
{
    const std::size_t lastRecordStart = totalBytes - recordSize(kNumberSize);
    return lastRecordStart < CAppUty::kPutLimit && totalBytes <= CAppUty::kBufferSize;
}

// The texts that are not written: longer than a setting can hold, then the
// longest ones until the rest fits.
std::vector<std::string> textsLeftOut(const Settings& settings, const ViewLayouts& views)
{
    std::size_t numberRecords = 1; // VERSION
    std::vector<std::pair<const char*, std::size_t>> texts;
    forEachSetting(settings, [&](const SettingKey& key, const auto& value) {
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::string>)
            texts.emplace_back(key.key, value.size());
        else if (key.written)
            ++numberRecords;
    });
    forEachViewColumn(views, [&](const char*, int, const UViewColumn&) { numberRecords += 2; });

    std::vector<std::string> leftOut;
    std::size_t total = numberRecords * recordSize(kNumberSize);
    for (const auto& [key, length] : texts) {
        if (length < kSettingsTextCapacity)
            total += recordSize(length + 1);
        else
            leftOut.push_back(key);
    }
    std::erase_if(texts, [](const auto& text) { return text.second >= kSettingsTextCapacity; });
    std::stable_sort(texts.begin(), texts.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    for (std::size_t i = 0; i < texts.size() && !fitsRecordBuffer(total); ++i) {
        leftOut.push_back(texts[i].first);
        total -= recordSize(texts[i].second + 1);
    }
    return leftOut;
}

void reportLeftOut(const std::vector<std::string>& leftOut)
{
    if (leftOut.empty())
        return;
    std::string keys;
    for (const std::string& key : leftOut)
        keys += (keys.empty() ? "" : ", ") + key;
    message("Folder names too long for the Settings file, not saved:\n%s", keys.c_str());
}

class SettingsWriter {
public:
    SettingsWriter(CAppUty& store, std::vector<std::string> leftOut)
        : m_store(store), m_leftOut(std::move(leftOut))
    {
    }

    void write(const char* key, const std::string& text)
    {
        if (std::find(m_leftOut.begin(), m_leftOut.end(), key) == m_leftOut.end())
            m_store.putText(key, text.c_str());
    }
    void write(const char* key, int value) { m_store.putInteger(key, value); }
    void write(const char* key, float value) { m_store.putFloat(key, value); }

private:
    CAppUty& m_store;
    std::vector<std::string> m_leftOut;
};

} // namespace

Settings defaultSettings(const SettingsFolders& folders)
{
    Settings settings;
#define ORVANTELLA_DEFAULT_TEXT(member, key, fallback) settings.member = fallback;
#define ORVANTELLA_NUMBER_KEEPS_ITS_INITIALIZER(type, member, key, fallback)
    ORVANTELLA_SETTINGS(ORVANTELLA_DEFAULT_TEXT, ORVANTELLA_NUMBER_KEEPS_ITS_INITIALIZER,
                        ORVANTELLA_NUMBER_KEEPS_ITS_INITIALIZER)
#undef ORVANTELLA_DEFAULT_TEXT
#undef ORVANTELLA_NUMBER_KEEPS_ITS_INITIALIZER
    return settings;
}

std::string documentsFolder(const char* xdgDocumentsDir, const char* home)
{
    std::string folder;
    if (xdgDocumentsDir && *xdgDocumentsDir)
        folder = xdgDocumentsDir;
    else if (home && *home)
        folder = std::string(home) + "/Documents";
    else
        return folder;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder;
}

std::string documentsFolder()
{
    return documentsFolder(std::getenv("XDG_DOCUMENTS_DIR"), std::getenv("HOME"));
}

SettingsFileState readSettings(Settings& settings, ViewLayouts& views,
                               const std::string& startupFolder, const std::string& fileName)
{
    auto store = std::make_unique<CAppUty>();
    if (store->readFile(startupFolder, fileName) == 0)
        return SettingsFileState::Unreadable;
    const std::int32_t version = fileVersion(*store);
    if (version < kOldestSettingsVersion)
        return SettingsFileState::TooOld;
    SettingsFileState state = SettingsFileState::Read;
    if (version > kSettingsVersion) {
        message("Version of Settings file is newer than program\n...ignored");
        state = SettingsFileState::TooNew;
    } else {
        readEverySetting(*store, settings, views);
    }
    fixWindowRect(settings);
    checkMdbFolder(settings, startupFolder);
    return state;
}

bool writeSettings(const Settings& settings, const ViewLayouts& views,
                   const std::string& startupFolder, const std::string& fileName)
{
    std::vector<std::string> leftOut = textsLeftOut(settings, views);
    reportLeftOut(leftOut);
    auto store = std::make_unique<CAppUty>();
    store->beginWrite();
    store->putInteger(kVersionKey, kSettingsVersion);
    SettingsWriter writer(*store, std::move(leftOut));
    forEachSetting(settings, [&](const SettingKey& key, const auto& value) {
        if (key.written)
            writer.write(key.key, value);
    });
    forEachViewColumn(views, [&](const char* prefix, int i, const UViewColumn& column) {
        store->putInteger(viewRecordKey(prefix, 'd', i).c_str(), column.shown ? 1 : 0);
        store->putInteger(viewRecordKey(prefix, 'w', i).c_str(), column.width);
    });
    return store->writeFile(startupFolder, fileName) == 1;
}
