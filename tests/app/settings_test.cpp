// The settings file: key order and defaults, round trip, version and folder
// checks, damaged and oversized records.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <random>
#include <type_traits>

#include "app/settings.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"

namespace {

struct ExpectedNumber {
    const char* key;
    char type; // 'i' int, 'f' float
    double value;
};

// The number settings in file order with type and default, transcribed from
// the table of keys of the settings file (blanks at the end belong to the key).
const ExpectedNumber kExpectedNumbers[] = {
    // window
    {"AP.dlgrect.top", 'i', 10},
    {"AP.dlgrect.left", 'i', 20},
    {"AP.dlgrect.bottom", 'i', 620},
    {"AP.dlgrect.right", 'i', 1000},
    {"AP.showcmd", 'i', 1},
    // display
    {"AP.BW", 'i', 0},
    // working date
    {"AP.dlg_Y", 'i', 2007},
    {"AP.dlg_M", 'i', 1},
    {"AP.dlg_D", 'i', 1},
    // current data source
    {"AP.st_dsid", 'i', 0},
    // current list
    {"AP.ps_lid", 'i', 0},
    // stream grouping
    {"AP.ps_dr", 'i', 100},
    {"AP.ps_dv", 'i', 100},
    {"AP.ps_dd", 'i', 100},
    {"AP.ps_ddr", 'i', 1},
    {"AP.ps_ex", 'i', 1},
    {"AP.ps_pri", 'i', 1},
    // orbit selection
    {"AP.po_r1  ", 'f', 0},
    {"AP.po_d1 ", 'f', 0},
    {"AP.po_v1  ", 'f', 20},
    {"AP.po_r2  ", 'f', 5},
    {"AP.po_d2 ", 'f', 5},
    {"AP.po_v2  ", 'f', 10},
    {"AP.po_rC  ", 'i', 0},
    {"AP.po_dC ", 'i', 0},
    {"AP.po_vC  ", 'i', 0},
    {"AP.po_a1 ", 'f', 1},
    {"AP.po_q1 ", 'f', 0.5},
    {"AP.po_e1 ", 'f', 1},
    {"AP.po_p1 ", 'f', 0},
    {"AP.po_n1 ", 'f', 0},
    {"AP.po_i1 ", 'f', 0},
    {"AP.po_R  ", 'f', 3},
    {"AP.po_D ", 'f', 0.1},
    {"AP.po_days", 'i', 1},
    {"AP.po_a2 ", 'f', 0.5},
    {"AP.po_q2 ", 'f', 0.1},
    {"AP.po_e2 ", 'f', 0.1},
    {"AP.po_p2 ", 'f', 5},
    {"AP.po_n2 ", 'f', 5},
    {"AP.po_i2 ", 'f', 5},
    {"AP.po_aC", 'i', 0},
    {"AP.po_qC", 'i', 0},
    {"AP.po_eC", 'i', 0},
    {"AP.po_pC", 'i', 0},
    {"AP.po_nC", 'i', 0},
    {"AP.po_iC", 'i', 0},
    {"AP.po_RC", 'i', 0},
    {"AP.po_DC", 'i', 0},
    {"AP.po_daysC", 'i', 0},
    {"AP.po_allyC", 'i', 1},
    {"AP.po_selstream", 'i', 0},
    {"AP.po_selonly", 'i', 1},
    {"AP.po_useonly", 'i', 1},
    // sky map
    {"AP.sm_ra", 'f', 130},
    {"AP.sm_dec", 'f', 40},
    {"AP.sm_rot", 'f', 0},
    {"AP.sm_scale", 'f', 120},
    {"AP.sm_mag", 'f', 4.7},
    {"AP.sm_axis", 'i', 1},
    {"AP.sm_apex", 'i', 1},
    {"AP.sm_star", 'i', 0},
    {"AP.sm_average", 'i', 1},
    {"AP.sm_stream", 'i', 1},
    {"AP.sm_streamall", 'i', 0},
    {"AP.sm_text", 'i', 1},
    {"AP.sm_orbit", 'i', 1},
    {"AP.sm_orbitall", 'i', 0},
    {"AP.sm_color", 'i', 1},
    {"AP.sm_color0", 'i', -13},
    // orbit map
    {"AP.om_radec", 'i', 0},
    {"AP.om_star", 'i', 1},
    {"AP.om_average", 'i', 1},
    {"AP.om_stream", 'i', 1},
    {"AP.om_maxl", 'i', 200},
    {"AP.om_text", 'i', 1},
    {"AP.om_ra", 'f', 90},
    {"AP.om_dec", 'f', 67},
    {"AP.om_rot", 'f', 0},
    {"AP.om_scale", 'f', 10},
    {"AP.om_ram", 'f', 45},
    {"AP.om_decm", 'f', 30},
    {"AP.om_rotm", 'f', 0},
    {"AP.om_scalem", 'f', 10},
    // clustering
    {"AP.ac_minc", 'i', 5},
    {"AP.ac_D", 'f', 0.15},
    {"AP.ac_S", 'f', 15},
    {"AP.ac_R", 'f', 5},
    {"AP.ac_V", 'i', 50},
    // radiant map
    {"AP.r_ra", 'f', 180},
    {"AP.r_dec", 'f', 0},
    {"AP.r_scale", 'f', 180},
    {"AP.r_mag", 'f', 5},
    {"AP.r_days", 'i', 0},
    {"AP.r_mk", 'i', 1},
    {"AP.r_st2", 'i', 1},
    {"AP.r_ax", 'i', 1},
    {"AP.r_ap", 'i', 1},
    {"AP.r_star", 'i', 0},
    {"AP.r_text", 'i', 1},
    {"AP.r_color", 'i', 1},
    {"AP.r_color0", 'i', -13},
    {"AP.r_mode_ax", 'i', 0},
    {"AP.r_vg", 'i', 1},
    // main window, after the keys of the original file
    {"AP.split_left", 'i', 0},

};

// The stored views in file order: record prefix, layout, column count.
struct ExpectedView {
    const char* prefix;
    UViewDef ViewLayouts::*view;
    int columns;
};
const ExpectedView kExpectedViews[] = {
    {"UD", &ViewLayouts::dataSources, 5}, {"UL", &ViewLayouts::streamLists, 4},
    {"UOF", &ViewLayouts::orbitFiles, 4}, {"US", &ViewLayouts::streams, 23},
    {"UO", &ViewLayouts::orbits, 32},
};

struct Record {
    std::string name;
    std::string data;
};

std::vector<Record> parseRecords(const std::string& bytes)
{
    std::vector<Record> records;
    std::size_t p = 0;
    while (p + 20 <= bytes.size()) {
        const char* name = bytes.data() + p;
        std::uint32_t length = 0;
        for (int i = 0; i < 4; ++i)
            length |= std::uint32_t(static_cast<unsigned char>(bytes[p + 16 + i])) << (8 * i);
        records.push_back({std::string(name, strnlen(name, 16)), bytes.substr(p + 20, length)});
        p += 20 + length;
    }
    return records;
}

std::string record(const std::string& name, const std::string& data)
{
    std::string bytes(16, '\0');
    std::memcpy(bytes.data(), name.data(), std::min<std::size_t>(name.size(), 15));
    const auto length = static_cast<std::uint32_t>(data.size());
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>(length >> (8 * i)));
    return bytes + data;
}

std::string intData(std::int32_t value)
{
    std::string data;
    for (int i = 0; i < 4; ++i)
        data.push_back(static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * i)));
    return data;
}

std::string floatData(float value) { return intData(std::bit_cast<std::int32_t>(value)); }

std::string textData(const std::string& text)
{
    std::string data = text + '\0';
    data.resize((data.size() + 3) / 4 * 4, '\0');
    return data;
}

std::int32_t asInt(const std::string& data)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t(static_cast<unsigned char>(data[i])) << (8 * i);
    return static_cast<std::int32_t>(value);
}

std::string shown(const std::string& text) { return "text " + text; }
std::string shown(int value) { return "int " + std::to_string(value); }
std::string shown(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "float bits %08x", std::bit_cast<std::uint32_t>(value));
    return text;
}

using Snapshot = std::vector<std::pair<std::string, std::string>>;

// Every value the file stores, floats by their bits.
Snapshot snapshot(const Settings& settings, const ViewLayouts& views)
{
    Snapshot values;
    forEachSetting(settings, [&](const SettingKey& key, const auto& value) {
        values.emplace_back(key.key, shown(value));
    });
    for (const ExpectedView& expected : kExpectedViews) {
        const UViewDef& view = views.*expected.view;
        for (std::size_t i = 0; i < view.columns.size(); ++i) {
            const std::string prefix = expected.prefix + std::string("_");
            values.emplace_back(prefix + "d" + std::to_string(i),
                                shown(view.columns[i].shown ? 1 : 0));
            values.emplace_back(prefix + "w" + std::to_string(i), shown(view.columns[i].width));
        }
    }
    return values;
}

// A value different from its default for every setting and view column,
// generated from the settings table. Folder texts name existing folders so
// that the MDB folder check keeps them.
void setDistinctValues(Settings& settings, ViewLayouts& views, const TempDir& dir)
{
    int n = 0;
    forEachSetting(settings, [&](const SettingKey&, auto& value) {
        ++n;
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, std::string>) {
            value = dir.str() + "/folder" + std::to_string(n);
            std::filesystem::create_directories(value);
        } else if constexpr (std::is_same_v<T, int>) {
            value = 100000 + n;
        } else {
            value = static_cast<float>(n) + 1.0f / 3.0f; // every mantissa bit in use
        }
    });
    for (const ExpectedView& expected : kExpectedViews) {
        for (UViewColumn& column : (views.*expected.view).columns) {
            column.shown = !column.shown;
            column.width = 300 + n++;
        }
    }
}

class SettingsFile : public ::testing::Test {
protected:
    SettingsFile()
    {
        std::filesystem::create_directory(m_dir.path() / "MDB");
        m_settings = defaultSettings({m_dir.str(), m_dir.file("Documents")});
    }

    std::string filePath() const { return m_dir.file(kSettingsFileName); }

    SettingsFileState readBytes(const std::string& bytes)
    {
        writeFileBytes(filePath(), bytes);
        return readSettings(m_settings, m_views, m_dir.str());
    }

    TempDir m_dir;
    ScopedScriptedUi m_ui;
    Settings m_settings;
    ViewLayouts m_views;
};

const std::string kVersion17 = record("VERSION", intData(17));

} // namespace

TEST_F(SettingsFile, DefaultsAreWrittenInTheOrderOfTheKeyTable)
{
    ASSERT_TRUE(writeSettings(m_settings, m_views, m_dir.str()));
    const std::vector<Record> records = parseRecords(readFileBytes(filePath()));
    std::size_t i = 0;
    auto next = [&]() -> const Record& { return records.at(i++); };

    EXPECT_EQ(next().name, "VERSION");
    EXPECT_EQ(asInt(records[0].data), 17);
    const std::pair<const char*, std::string> texts[] = {
        {"AP.mdbdir", m_dir.str() + "/MDB"},
        {"AP.backdir", m_dir.str() + "/MDB_BACKUP"},
        {"AP.docdir", m_dir.file("Documents")},
        {"AP.newofname", ""},
    };
    for (const auto& [key, value] : texts) {
        const Record& text = next();
        EXPECT_EQ(text.name, key);
        EXPECT_EQ(text.data, textData(value)) << key;
    }
    for (const ExpectedNumber& number : kExpectedNumbers) {
        const Record& stored = next();
        const std::string key = std::string(number.key).substr(0, 15);
        ASSERT_EQ(stored.name, key);
        if (number.type == 'i')
            EXPECT_EQ(asInt(stored.data), static_cast<int>(number.value)) << key;
        else
            EXPECT_EQ(stored.data, floatData(static_cast<float>(number.value))) << key;
    }
    const ViewLayouts defaults;
    for (const ExpectedView& view : kExpectedViews) {
        for (int c = 0; c < view.columns; ++c) {
            const UViewColumn& column = (defaults.*view.view).columns.at(c);
            const Record& flag = next();
            const Record& width = next();
            EXPECT_EQ(flag.name, view.prefix + std::string("_d") + std::to_string(c));
            EXPECT_EQ(asInt(flag.data), column.shown ? 1 : 0);
            EXPECT_EQ(width.name, view.prefix + std::string("_w") + std::to_string(c));
            EXPECT_EQ(asInt(width.data), column.width);
        }
    }
    EXPECT_EQ(i, records.size()) << "AP.r_stp is read but never written";
}

TEST_F(SettingsFile, StartOfTheFileIsByteExact)
{
    m_settings.mdbdir = "ab/cde";
    ASSERT_TRUE(writeSettings(m_settings, m_views, m_dir.str()));
    const std::string expected("VERSION\0\0\0\0\0\0\0\0\0"
                               "\x04\0\0\0\x11\0\0\0"
                               "AP.mdbdir\0\0\0\0\0\0\0"
                               "\x08\0\0\0"
                               "ab/cde\0\0",
                               52);
    EXPECT_EQ(readFileBytes(filePath()).substr(0, 52), expected);
}

TEST_F(SettingsFile, RoundTripRestoresEveryValueBitForBit)
{
    Settings written = m_settings;
    ViewLayouts writtenViews;
    setDistinctValues(written, writtenViews, m_dir);
    const Snapshot defaults = snapshot(m_settings, m_views);
    Snapshot expected = snapshot(written, writtenViews);
    ASSERT_EQ(defaults.size(), expected.size());
    for (std::size_t i = 0; i < defaults.size(); ++i) {
        ASSERT_NE(defaults[i].second, expected[i].second) << defaults[i].first;
        if (defaults[i].first == "AP.r_stp")
            expected[i] = defaults[i]; // not written: back to its default
    }

    ASSERT_TRUE(writeSettings(written, writtenViews, m_dir.str()));
    EXPECT_EQ(readSettings(m_settings, m_views, m_dir.str()), SettingsFileState::Read);
    EXPECT_EQ(snapshot(m_settings, m_views), expected);
    EXPECT_TRUE(m_ui->messages().empty());
}

TEST_F(SettingsFile, ReadOnlyKeyIsRead)
{
    EXPECT_EQ(readBytes(kVersion17 + record("AP.r_stp", intData(9))), SettingsFileState::Read);
    EXPECT_EQ(m_settings.r_stp, 9);
}

TEST_F(SettingsFile, Version4IsIgnoredEntirelyAlsoForTheChecks)
{
    m_settings.mdbdir = m_dir.file("missing");
    m_settings.dlgrect_top = -5;
    const std::string bytes = record("VERSION", intData(4)) + record("AP.BW", intData(1));
    EXPECT_EQ(readBytes(bytes), SettingsFileState::TooOld);
    EXPECT_EQ(m_settings.BW, 0);
    EXPECT_EQ(m_settings.mdbdir, m_dir.file("missing"));
    EXPECT_EQ(m_settings.dlgrect_top, -5);
    EXPECT_TRUE(m_ui->messages().empty());
}

TEST_F(SettingsFile, FilesWithoutAVersionAreNotRead)
{
    EXPECT_EQ(readBytes(record("AP.BW", intData(1))), SettingsFileState::TooOld);
    EXPECT_EQ(readBytes(""), SettingsFileState::Unreadable);
    std::filesystem::remove(filePath());
    m_settings.mdbdir = m_dir.file("missing");
    EXPECT_EQ(readSettings(m_settings, m_views, m_dir.str()), SettingsFileState::Unreadable);
    EXPECT_EQ(m_settings.BW, 0);
    EXPECT_EQ(m_settings.mdbdir, m_dir.file("missing"));
    EXPECT_TRUE(m_ui->messages().empty());
}

TEST_F(SettingsFile, Version18IsReportedButWindowAndFolderAreChecked)
{
    m_settings.mdbdir = m_dir.file("missing");
    m_settings.dlgrect_top = -5;
    const std::string bytes = record("VERSION", intData(18)) + record("AP.BW", intData(1));
    EXPECT_EQ(readBytes(bytes), SettingsFileState::TooNew);
    EXPECT_EQ(m_settings.BW, 0);
    EXPECT_EQ(m_settings.dlgrect_left, 20);
    EXPECT_EQ(m_settings.dlgrect_top, 100);
    EXPECT_EQ(m_settings.dlgrect_right, 920);
    EXPECT_EQ(m_settings.dlgrect_bottom, 680);
    EXPECT_EQ(m_settings.mdbdir, m_dir.file("MDB"));
    const std::vector<std::string> expected = {
        "Version of Settings file is newer than program\n...ignored",
        " MDB dir " + m_dir.file("missing") + " does not exist\n Default dir used",
    };
    EXPECT_EQ(m_ui->messages(), expected);
}

TEST_F(SettingsFile, OnlyAWindowAboveTheScreenIsMoved)
{
    struct Case {
        int top;
        int expectedTop;
        int expectedRight;
    };
    for (const Case c : {Case{-1, 100, 920}, Case{0, 0, 1000}}) {
        m_settings = defaultSettings({m_dir.str(), ""});
        readBytes(kVersion17 + record("AP.dlgrect.top", intData(c.top)));
        EXPECT_EQ(m_settings.dlgrect_top, c.expectedTop) << c.top;
        EXPECT_EQ(m_settings.dlgrect_right, c.expectedRight) << c.top;
    }
}

TEST_F(SettingsFile, MissingMdbFolderFallsBackToTheDefault)
{
    const std::string gone = m_dir.file("gone");
    EXPECT_EQ(readBytes(kVersion17 + record("AP.mdbdir", textData(gone))), SettingsFileState::Read);
    EXPECT_EQ(m_settings.mdbdir, m_dir.str() + "/MDB");
    ASSERT_EQ(m_ui->messages().size(), 1u);
    EXPECT_EQ(m_ui->messages()[0], " MDB dir " + gone + " does not exist\n Default dir used");
}

TEST_F(SettingsFile, TrailingBlanksArePartOfTheKey)
{
    const std::string bytes = kVersion17 + record("AP.po_r1", floatData(7)) +
                              record("AP.po_d1", floatData(8)) + record("AP.po_v1  ", floatData(9));
    readBytes(bytes);
    EXPECT_EQ(m_settings.po_r1, 0.0f);
    EXPECT_EQ(m_settings.po_d1, 0.0f);
    EXPECT_EQ(m_settings.po_v1, 9.0f);
}

TEST_F(SettingsFile, TooLongRecordsAreSkippedAndNamedInOneMessage)
{
    const std::string bytes =
        kVersion17 + record("AP.BW", intData(1) + intData(0)) +
        record("AP.mdbdir", textData(std::string(1025, 'm'))) + record("AP.sm_ra", floatData(33)) +
        record("UO_w0", intData(5) + intData(0)) +
        record("AP.po_r1  ", floatData(1) + floatData(2)) + record("AP.ps_dr", intData(7));
    EXPECT_EQ(readBytes(bytes), SettingsFileState::Read);
    EXPECT_EQ(m_settings.BW, 0);
    EXPECT_EQ(m_settings.mdbdir, m_dir.str() + "/MDB");
    EXPECT_EQ(m_settings.po_r1, 0.0f);
    EXPECT_EQ(m_views.orbits.columns[0].width, 32);
    EXPECT_EQ(m_settings.sm_ra, 33.0f);
    EXPECT_EQ(m_settings.ps_dr, 7);
    const std::vector<std::string> expected = {
        "Settings file: records of invalid length ignored, defaults kept for\n"
        "\"AP.mdbdir\", \"AP.BW\", \"AP.po_r1  \", \"UO_w0\""};
    EXPECT_EQ(m_ui->messages(), expected);
}

TEST_F(SettingsFile, TextFillingItsCapacityWithoutTerminatorIsCut)
{
    readBytes(kVersion17 + record("AP.newofname", std::string(1024, 'x')));
    EXPECT_EQ(m_settings.newofname, std::string(1023, 'x'));
}

TEST_F(SettingsFile, UnknownRecordsAreIgnoredAndTheFirstDuplicateWins)
{
    const std::string bytes = record("FOO", std::string(12, 'f')) + kVersion17 +
                              record("AP.BW", intData(3)) + record("BAR", intData(1)) +
                              record("AP.BW", intData(5)) + record("AP.ps_dr", intData(7));
    readBytes(bytes);
    EXPECT_EQ(m_settings.BW, 3);
    EXPECT_EQ(m_settings.ps_dr, 7);
    EXPECT_TRUE(m_ui->messages().empty());
}

TEST_F(SettingsFile, TruncatedFileGivesEachSettingItsDefaultOrItsStoredValue)
{
    const Settings defaults = m_settings;
    Settings written = m_settings;
    ViewLayouts writtenViews;
    setDistinctValues(written, writtenViews, m_dir);
    ASSERT_TRUE(writeSettings(written, writtenViews, m_dir.str()));
    const std::string whole = readFileBytes(filePath());
    const Snapshot before = snapshot(defaults, ViewLayouts());
    const Snapshot after = snapshot(written, writtenViews);
    for (std::size_t cut = 0; cut <= whole.size(); cut += 53) {
        m_settings = defaults;
        m_views.resetToDefaults();
        readBytes(whole.substr(0, cut));
        const Snapshot read = snapshot(m_settings, m_views);
        for (std::size_t i = 0; i < read.size(); ++i) {
            EXPECT_TRUE(read[i].second == before[i].second || read[i].second == after[i].second)
                << read[i].first << " after a cut at " << cut << ": " << read[i].second;
        }
    }
}

TEST_F(SettingsFile, RandomBytesKeepTheDefaults)
{
    const Snapshot defaults = snapshot(m_settings, m_views);
    std::mt19937 random(20070101);
    for (int file = 0; file < 20; ++file) {
        std::string bytes(random() % 12000, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random());
        readBytes(bytes);
        EXPECT_EQ(snapshot(m_settings, m_views), defaults) << "file " << file;
    }
}

TEST_F(SettingsFile, UnwritableFileIsReported)
{
    EXPECT_FALSE(writeSettings(m_settings, m_views, m_dir.file("no/such/folder")));
    ASSERT_EQ(m_ui->messages().size(), 1u);
    EXPECT_EQ(m_ui->messages()[0], "UE070: Cannot write Orvantella.ovr");
}

TEST_F(SettingsFile, FolderTextsTooLongForTheFileAreLeftOutNotFatal)
{
    // Within its capacity each, together too long for the record buffer:
    // the longest is left out until the rest fits.
    m_settings.mdbdir = std::string(500, 'm');
    m_settings.backdir = std::string(1000, 'b');
    m_settings.docdir = std::string(1010, 'd');
    m_settings.newofname = std::string(1020, 'n');
    ASSERT_TRUE(writeSettings(m_settings, m_views, m_dir.str()));
    std::vector<std::string> expected = {
        "Folder names too long for the Settings file, not saved:\nAP.newofname"};
    EXPECT_EQ(m_ui->messages(), expected);
    const std::vector<Record> records = parseRecords(readFileBytes(filePath()));
    EXPECT_EQ(records[3].name, "AP.docdir");
    EXPECT_EQ(records[4].name, "AP.dlgrect.top");
    EXPECT_EQ(records.back().name, "UO_w31");

    // 1023 characters and the zero fill a text setting; one more is too long.
    m_ui->clear();
    m_settings = defaultSettings({m_dir.str(), ""});
    m_settings.backdir = std::string(1023, 'b');
    ASSERT_TRUE(writeSettings(m_settings, m_views, m_dir.str()));
    EXPECT_TRUE(m_ui->messages().empty());
    EXPECT_EQ(parseRecords(readFileBytes(filePath()))[2].name, "AP.backdir");
    m_settings.backdir += 'b';
    ASSERT_TRUE(writeSettings(m_settings, m_views, m_dir.str()));
    expected = {"Folder names too long for the Settings file, not saved:\nAP.backdir"};
    EXPECT_EQ(m_ui->messages(), expected);
    EXPECT_EQ(parseRecords(readFileBytes(filePath()))[2].name, "AP.docdir");
}

TEST(DocumentsFolder, XdgFolderThenHomeDocumentsCreatedIfMissing)
{
    TempDir dir;
    const std::string xdg = dir.file("xdg/docs");
    EXPECT_EQ(documentsFolder(xdg.c_str(), dir.str().c_str()), xdg);
    EXPECT_TRUE(std::filesystem::is_directory(xdg));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Documents")));

    EXPECT_EQ(documentsFolder("", dir.str().c_str()), dir.str() + "/Documents");
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("Documents")));
    EXPECT_EQ(documentsFolder(nullptr, dir.str().c_str()), dir.str() + "/Documents");
    EXPECT_EQ(documentsFolder(nullptr, nullptr), "");
}
