// The table file: layout, save/load round trip, broken files, tags, filters
// and the all-or-nothing save.
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>

#include "platform/scripted_ui.h"
#include "support/test_support.h"
#include "table/row_list_file.h"
#include "table_test_support.h"

using namespace std::string_literals;

namespace {

const std::string kHeader = kTestHeader;
const std::string kRow = "7,1,-2,1,4,1.500000,_Meteor,_ab\r\n";

std::string brokenMessage(int line, int row)
{
    return "T.csv was broken\n line=" + std::to_string(line) + ",row=" + std::to_string(row) +
           "\nPlease Stop and check";
}

// A valid row padded with an ignored extra field to `length` characters before its line end.
std::string paddedRow(std::size_t length)
{
    std::string row = "7,1,2,1,0,0.5,_n,_c,_";
    row += std::string(length - row.size(), 'x');
    return row;
}

std::size_t filesIn(const std::filesystem::path& folder)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

int fillRow(CUTABLE& table, std::uint32_t id, std::int32_t count, float real, const char* name,
            const char* code)
{
    const int row = table.addRow();
    table.cell(row, tcol::id)->number = id;
    table.cell(row, tcol::count)->integer = count;
    table.cell(row, tcol::real)->real = real;
    table.setText(row, tcol::name, name);
    table.setText(row, tcol::code, code);
    return row;
}

} // namespace

TEST(TableFile, SavedLineFollowsTheColumnTypes)
{
    TempDir dir;
    ScopedScriptedUi scripted;
    PooledTable t;
    const int row = fillRow(t.table, 4294967295u, -2147483647 - 1, -0.0000004f, "", "");
    t.table.cell(row, tcol::flag)->number = 1;
    t.table.cell(row, tcol::sel)->number = 6;
    t.table.setText(row, tcol::note, "not saved");
    fillRow(t.table, 17, 12, 1234.5678f, "Quadrantids 2020", "QUA");
    ASSERT_TRUE(t.table.save(dir.file("T.csv")));
    // 1234.5678f is 1234.5677490234375 exactly; -0.0000004 keeps its sign in "%f".
    EXPECT_EQ(readFileBytes(dir.file("T.csv")),
              kHeader + "7,4294967295,-2147483648,1,6,-0.000000,_,_\r\n" +
                  "7,17,12,0,0,1234.567749,_Quadrantids 2020,_QUA\r\n");
    EXPECT_TRUE(scripted->messages().empty());
}

TEST(TableFile, SaveLoadSaveIsByteIdenticalWithDeletedRowsDropped)
{
    TempDir dir;
    ScopedScriptedUi scripted;
    PooledTable t;
    std::mt19937 random(20181213);
    std::uniform_real_distribution<float> spread(-1e6f, 1e6f);
    const float specials[] = {0.0f, -0.0f, 1e-7f, 3.4e38f, INFINITY, -INFINITY, 0.0078125f};
    std::vector<std::uint32_t> liveIds;
    for (std::uint32_t i = 0; i < 300; ++i) {
        const float real = i < std::size(specials) ? specials[i] : spread(random) / (1 << (i % 20));
        const std::string name(i % 255, static_cast<char>('a' + i % 26));
        const std::string code(i % 8, 'c');
        const int row = fillRow(t.table, 100000 + i, static_cast<std::int32_t>(i) - 150, real,
                                name.c_str(), code.c_str());
        t.table.cell(row, tcol::sel)->number = i % 8;
        if (i % 7 == 3)
            t.table.deleteRow(row);
        else if (i % 11 == 5)
            t.table.setExist(row, CUTABLE::kMarked);
        if (t.table.isLive(row))
            liveIds.push_back(100000 + i);
    }
    ASSERT_TRUE(t.table.save(dir.file("a.csv")));
    t.table.clear();
    ASSERT_TRUE(t.table.load(dir.file("a.csv")));
    ASSERT_EQ(t.table.count(), static_cast<int>(liveIds.size()));
    for (int row = 0; row < t.table.count(); ++row) {
        EXPECT_EQ(t.table.exist(row), CUTABLE::kLive);
        EXPECT_EQ(t.table.cell(row, tcol::id)->number, liveIds[static_cast<std::size_t>(row)]);
    }
    ASSERT_TRUE(t.table.save(dir.file("b.csv")));
    EXPECT_EQ(readFileBytes(dir.file("a.csv")), readFileBytes(dir.file("b.csv")));
    EXPECT_TRUE(scripted->messages().empty());
}

struct LoadCase {
    const char* name;
    std::string bytes;
    int rows;       // rows in the table afterwards
    int brokenLine; // -2: loads without a message
    int brokenRow;
};

void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.name; }

class TableFileLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(TableFileLoad, ResultAndBrokenFileNumbers)
{
    const LoadCase& c = GetParam();
    TempDir dir;
    ScopedScriptedUi scripted;
    writeFileBytes(dir.file("T.csv"), c.bytes);
    PooledTable t;
    const bool loaded = t.table.load(dir.file("T.csv"));
    EXPECT_EQ(t.table.count(), c.rows);
    if (c.brokenLine == -2) {
        EXPECT_TRUE(loaded);
        EXPECT_TRUE(scripted->messages().empty());
    } else {
        EXPECT_FALSE(loaded);
        EXPECT_EQ(scripted->messages(),
                  std::vector<std::string>{brokenMessage(c.brokenLine, c.brokenRow)});
    }
}

// Numbers: line = the table's row count at the break, row = the column where
// parsing stopped (-1 before the first row, 11 = the column count after a full row).
INSTANTIATE_TEST_SUITE_P(
    Cases, TableFileLoad,
    ::testing::Values(
        LoadCase{"HeaderOnly", kHeader, 0, -2, 0},
        LoadCase{"HeaderIgnored", "_Version,_b,_a\r\n" + kRow, 1, -2, 0},
        LoadCase{"EmptyFile", "", 0, 0, -1},
        LoadCase{"WrongNumberFirstLine", kHeader + "8,1,-2,1,4,1.5,_M,_ab\r\n", 0, 0, -1},
        LoadCase{"WrongNumberLaterLine", kHeader + kRow + "70,1\r\n", 1, 1, 11},
        LoadCase{"BlankLine", kHeader + kRow + "\r\n", 1, 1, 11},
        LoadCase{"ShortLine", kHeader + kRow + "7,1,2\r\n", 2, 2, 3},
        LoadCase{"ExtraFields", kHeader + "7,1,-2,1,4,1.5,_M,_ab,_x,9\r\n", 1, -2, 0},
        LoadCase{"Text254", kHeader + "7,1,2,1,4,1.5,_" + std::string(254, 't') + ",_ab\r\n", 1, -2,
                 0},
        LoadCase{"Text255", kHeader + "7,1,2,1,4,1.5,_" + std::string(255, 't') + ",_ab\r\n", 1, -2,
                 0},
        LoadCase{"Text256", kHeader + "7,1,2,1,4,1.5,_" + std::string(256, 't') + ",_ab\r\n", 1, 1,
                 6},
        LoadCase{"Code7", kHeader + "7,1,2,1,4,1.5,_M,_1234567\r\n", 1, -2, 0},
        LoadCase{"Code8", kHeader + "7,1,2,1,4,1.5,_M,_12345678\r\n", 1, 1, 7},
        LoadCase{"EmptyTextFields", kHeader + "7,1,2,1,4,1.5,,\r\n", 1, -2, 0},
        LoadCase{"EmptyNumericField", kHeader + "7,1,,1,4,1.5,_M,_ab\r\n", 1, 1, 2},
        LoadCase{"LastFieldEmptyAtLineEnd", kHeader + "7,1,2,1,4,1.5,_M,\r\n", 1, -2, 0},
        LoadCase{"TextWithoutUnderscore", kHeader + "7,1,2,1,4,1.5,M,_ab\r\n", 1, 1, 6},
        LoadCase{"NonNumericField", kHeader + "7,x,2,1,4,1.5,_M,_ab\r\n", 1, 1, 1},
        LoadCase{"BlanksAroundNumbers", kHeader + "7, 12 ,\t2\t,1,4, 1.5 ,_M,_ab\r\n", 1, -2, 0},
        LoadCase{"JunkAfterAReal", kHeader + "7,1,2,1,4,3O.5,_M,_ab\r\n", 1, 1, 5},
        LoadCase{"JunkAfterAnId", kHeader + "7,100000000junk,2,1,4,1.5,_M,_ab\r\n", 1, 1, 1},
        LoadCase{"JunkAfterAnInteger", kHeader + "7,1,12abc,1,4,1.5,_M,_ab\r\n", 1, 1, 2},
        LoadCase{"JunkAfterTheTableNumber", kHeader + "7x,1,2,1,4,1.5,_M,_ab\r\n", 0, 0, -1},
        LoadCase{"LineFeedOnly", "_Version\n7,1,2,1,4,1.5,_M,_ab\n7,2,2,1,4,1.5,_M,_ab", 2, -2, 0},
        LoadCase{"NulEndsTheLine", kHeader + "7,1,2,1,4,1.5,_Me\0t,_ab\r\n"s, 1, 1, 7},
        LoadCase{"BinaryGarbage", kHeader + "\xff\xfe\0\x01"s, 0, 0, -1},
        LoadCase{"Line1023WithLineEnd", kHeader + paddedRow(1022) + "\r\n" + kRow, 2, -2, 0},
        LoadCase{"Line1024WithLineEnd", kHeader + paddedRow(1023) + "\r\n" + kRow, 1, 1, 11},
        LoadCase{"Line1024WithLineFeed", kHeader + paddedRow(1023) + "\n" + kRow, 1, 1, 11},
        LoadCase{"Line1023AtEndOfFile", kHeader + paddedRow(1023), 1, -2, 0},
        LoadCase{"LongLine", kHeader + paddedRow(3000) + "\r\n", 1, 1, 11},
        LoadCase{"LongHeader", std::string(1500, 'h') + "\r\n" + kRow, 0, 0, -1}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST(TableFile, LinesAcrossBufferRefillsLoadWhole)
{
    // Over 3 MB of rows of 25 to 1022 characters with mixed line ends, so
    // that lines straddle the 1 MB read buffer's refills at every offset.
    TempDir dir;
    ScopedScriptedUi scripted;
    std::mt19937 random(1023);
    std::string bytes = kHeader;
    int rows = 0;
    while (bytes.size() < 3500000) {
        std::string row = "7," + std::to_string(rows) + ",2,1,0,0.5,_n,_c,_";
        row.resize(std::max<std::size_t>(25 + random() % 998, row.size()), 'x');
        bytes += row + (random() % 2 ? "\r\n" : "\n");
        ++rows;
    }
    writeFileBytes(dir.file("T.csv"), bytes);
    PooledTable t;
    ASSERT_TRUE(t.table.load(dir.file("T.csv")));
    ASSERT_EQ(t.table.count(), rows);
    for (int row = 0; row < rows; ++row)
        ASSERT_EQ(t.table.cell(row, tcol::id)->number, static_cast<std::uint32_t>(row));
    EXPECT_TRUE(scripted->messages().empty());
}

TEST(TableFile, LoadedValuesAndRowsKeptUpToTheBreak)
{
    TempDir dir;
    ScopedScriptedUi scripted;
    writeFileBytes(dir.file("T.csv"), kHeader + "7,-1, 12 ,1,5,-2.25,__x_,_\n" +
                                          "7,9,3,0,0,0.1,,_Q\r\n" + "7,10,4,1,hi\r\n");
    PooledTable t;
    EXPECT_FALSE(t.table.load(dir.file("T.csv")));
    ASSERT_EQ(t.table.count(), 3);
    EXPECT_EQ(t.table.cell(0, tcol::id)->number, 4294967295u) << "\"%u\" of -1 wraps";
    EXPECT_EQ(t.table.cell(0, tcol::count)->integer, 12);
    EXPECT_EQ(t.table.cell(0, tcol::real)->real, -2.25f);
    EXPECT_STREQ(t.table.text(0, tcol::name), "_x_");
    EXPECT_STREQ(t.table.text(0, tcol::code), "");
    EXPECT_EQ(t.table.cell(1, tcol::real)->real, 0.1f);
    EXPECT_STREQ(t.table.text(1, tcol::code), "Q") << "no CR in the last field";
    EXPECT_EQ(t.table.cell(2, tcol::count)->integer, 4) << "the broken row stays as far as read";
    EXPECT_EQ(scripted->messages(), std::vector<std::string>{brokenMessage(3, 4)});
}

TEST(TableFile, LoadAppendsAndTagsTheNewRows)
{
    TempDir dir;
    ScopedScriptedUi scripted;
    writeFileBytes(dir.file("T.csv"), kHeader + kRow + kRow + "7,bad\r\n");
    PooledTable t;
    t.table.addRow();
    EXPECT_FALSE(t.table.load(dir.file("T.csv"), tcol::itemdata, 9));
    ASSERT_EQ(t.table.count(), 4);
    EXPECT_EQ(t.table.integer(0, tcol::itemdata), 0);
    EXPECT_EQ(t.table.integer(1, tcol::itemdata), 9);
    EXPECT_EQ(t.table.integer(3, tcol::itemdata), 9);
    EXPECT_EQ(scripted->messages(), std::vector<std::string>{brokenMessage(4, 1)})
        << "line is the table's row count, earlier rows included";
}

TEST(TableFile, SavingARowListWritesWhatSavingTheRowsItKeepsWrites)
{
    // Random rows, some deleted, saved through a predicate and through the list it accepts.
    TempDir dir;
    ScopedScriptedUi scripted;
    std::mt19937 random(7);
    PooledTable t;
    for (int row = 0; row < 3000; ++row) {
        fillRow(t.table, random(), static_cast<std::int32_t>(random() % 9),
                float(random() % 1000) / 8, random() % 4 ? "Orionid" : "", "o");
        t.table.setInteger(row, static_cast<std::int32_t>(random() % 5), tcol::itemdata);
        if (random() % 10 == 0)
            t.table.deleteRow(row);
    }
    for (std::int32_t file = 0; file < 5; ++file) {
        std::vector<int> rows;
        for (int row = 0; row < t.table.count(); ++row)
            if (t.table.isLive(row) && t.table.integer(row, tcol::itemdata) == file)
                rows.push_back(row);
        ASSERT_TRUE(t.table.save(dir.file("kept.csv"), tcol::itemdata, file, file));
        ASSERT_TRUE(saveRowList(t.table, dir.file("listed.csv"), rows));
        EXPECT_EQ(readFileBytes(dir.file("listed.csv")), readFileBytes(dir.file("kept.csv")))
            << "file " << file;
    }
    EXPECT_TRUE(scripted->messages().empty());
}

TEST(TableFile, SaveFilterKeepsRowsWithinLowAndHigh)
{
    TempDir dir;
    PooledTable t;
    for (int count : {-5, 0, 3, 7, -6})
        fillRow(t.table, static_cast<std::uint32_t>(count + 10), count, 0, "", "");
    ASSERT_TRUE(t.table.save(dir.file("T.csv"), tcol::count, -5, 3));
    EXPECT_EQ(readFileBytes(dir.file("T.csv")), kHeader + "7,5,-5,0,0,0.000000,_,_\r\n"
                                                          "7,10,0,0,0,0.000000,_,_\r\n"
                                                          "7,13,3,0,0,0.000000,_,_\r\n");
}

TEST(TableFile, MissingFileFailsSilently)
{
    TempDir dir;
    ScopedScriptedUi scripted;
    PooledTable t;
    t.table.addRow();
    EXPECT_EQ(t.table.loadFile(dir.file("none.csv")), LoadResult::Missing);
    EXPECT_EQ(t.table.loadFile(dir.str()), LoadResult::Unreadable) << "a folder";
    EXPECT_EQ(t.table.count(), 1);
    EXPECT_EQ(t.table.loadFromDirectory(dir.str()), LoadResult::Missing);
    EXPECT_EQ(t.table.count(), 0) << "load from directory clears first";
    EXPECT_TRUE(scripted->messages().empty());
}

TEST(TableFile, DirectoryOperationsUseTheDefinitionsFileName)
{
    TempDir dir;
    PooledTable t;
    fillRow(t.table, 1, -2, 1.5f, "Meteor", "ab");
    t.table.cell(0, tcol::flag)->number = 1;
    t.table.cell(0, tcol::sel)->number = 4;
    ASSERT_TRUE(t.table.saveToDirectory(dir.str()));
    EXPECT_EQ(readFileBytes(dir.file("T.csv")), kHeader + kRow);
    fillRow(t.table, 2, 0, 0, "", "");
    EXPECT_EQ(t.table.loadFromDirectory(dir.str()), LoadResult::Loaded);
    EXPECT_EQ(t.table.count(), 1);
}

TEST(AtomicSave, ReplacesTheFileAndLeavesNothingElse)
{
    TempDir dir;
    writeFileBytes(dir.file("T.csv"), "old contents");
    PooledTable t;
    fillRow(t.table, 1, -2, 1.5f, "Meteor", "ab");
    t.table.cell(0, tcol::flag)->number = 1;
    t.table.cell(0, tcol::sel)->number = 4;
    ASSERT_TRUE(t.table.save(dir.file("T.csv")));
    EXPECT_EQ(readFileBytes(dir.file("T.csv")), kHeader + kRow);
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

TEST(AtomicSave, FailureShowsCannotOpenAndLeavesTheTargetAlone)
{
    TempDir dir;
    ScopedScriptedUi scripted;
    std::filesystem::create_directory(dir.file("folder.csv"));
    writeFileBytes(dir.file("folder.csv/inside"), "kept");
    PooledTable t;
    t.table.addRow();
    const std::pair<std::string, std::string> cases[] = {
        {dir.file("folder.csv"), "Cannot open " + dir.file("folder.csv")},
        {dir.file("missing/T.csv"), "Cannot open " + dir.file("missing/T.csv")},
        {dir.file("folder.csv/inside/T.csv"),
         "Cannot open " + dir.file("folder.csv/inside/T.csv")}};
    for (const auto& [path, text] : cases) {
        scripted->clear();
        EXPECT_FALSE(t.table.save(path)) << path;
        EXPECT_EQ(scripted->messages(), std::vector<std::string>{text});
    }
    EXPECT_EQ(readFileBytes(dir.file("folder.csv/inside")), "kept");
    EXPECT_EQ(filesIn(dir.path()), 1u) << "no temporary file left behind";
}

TEST(AtomicSaveDeathTest, WriteFailureKeepsTheOldFile)
{
    TempDir dir;
    writeFileBytes(dir.file("T.csv"), "old contents");
    PooledTable t;
    for (int i = 0; i < 2000; ++i)
        fillRow(t.table, static_cast<std::uint32_t>(i), i, 0.25f, "a name of some length", "c");
    // The child may write 4 KB per file; the save needs about 100 KB.
    const auto saveWithSmallFileLimit = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit cap{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &cap);
        const bool saved = t.table.save(dir.file("T.csv"));
        const bool untouched = readFileBytes(dir.file("T.csv")) == "old contents";
        std::exit(!saved && untouched && filesIn(dir.path()) == 1 ? 0 : 1);
    };
    EXPECT_EXIT(saveWithSmallFileLimit(), ::testing::ExitedWithCode(0),
                "Cannot write .*T.csv\nFile too large");
}
