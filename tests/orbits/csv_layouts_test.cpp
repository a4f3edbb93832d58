// The O, U and U2 layouts: every written field against the source fields it comes from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion_harness.h"

namespace {

// 2010-08-12 21:30:45: MJD 55420 (2010-01-01 is MJD 55197, plus the 212 days of January to
// July, plus 11), the time of day plus the fixed 64.184 s.
const double kPerseidMjd = 55420.0 + (21 * 3600 + 30 * 60 + 45 + 64.184) / 86400.0;

// A CSV line of count fields, each "f<n>" unless given.
std::string csvLine(std::size_t count, const std::vector<std::pair<std::size_t, std::string>>& set)
{
    std::vector<std::string> fields(count);
    for (std::size_t i = 0; i < count; ++i)
        fields[i] = "f" + std::to_string(i);
    for (const auto& [number, value] : set)
        fields[number] = value;
    std::string line;
    for (std::size_t i = 0; i < count; ++i)
        line += (i ? "," : "") + fields[i];
    return line;
}

std::string uLine(const std::string& name,
                  const std::vector<std::pair<std::size_t, std::string>>& more = {})
{
    std::vector<std::pair<std::size_t, std::string>> set{
        {0, "M04_0"},  {1, name},    {2, "J8_EE"}, {3, "0.5"},    {6, "46.1"},   {7, "57.6"},
        {9, "59.1"},   {10, "15.0"}, {11, "0.95"}, {12, "0.937"}, {13, "151.0"}, {14, "139.4"},
        {15, "113.0"}, {17, "_PER"}, {18, "abc"},  {45, "105.0"}, {46, "90.0"},  {49, "5"},
        {50, "15"},    {80, "2010"}, {81, "8"},    {82, "12"},    {83, "21"},    {84, "30"},
        {85, "45.7"},  {87, "140.1"}};
    set.insert(set.end(), more.begin(), more.end());
    return csvLine(90, set) + "\r\n";
}

std::string u2Line(const std::string& name, const std::string& mjd = "55420.896354")
{
    return csvLine(80, {{0, "51"},     {2, name},    {3, mjd},      {4, "140.1"},  {5, "_st1"},
                        {6, "_st2"},   {7, "-2.1"},  {10, "46.1"},  {11, "57.6"},  {16, "59.1"},
                        {18, "15.0"},  {19, "0.95"}, {20, "0.937"}, {22, "151.0"}, {23, "139.4"},
                        {24, "113.0"}, {25, "_PER"}, {43, "105.0"}, {50, "90.0"},  {76, "0.3"},
                        {77, "1.2"}}) +
           "\r\n";
}

TEST(ULayout, WritesEveryFieldFromItsSource)
{
    ConversionHarness h;
    ASSERT_EQ(h.convert(OrbitLayout::U, "U1.csv", "header\r\n" + uLine("_20100812_A")), 1);
    const std::vector<Fields> rows = h.targetRows();
    ASSERT_EQ(rows.size(), 1u);
    const Fields& r = rows[0];
    ASSERT_EQ(r.size(), 26u);
    EXPECT_EQ(r[0], "501");
    EXPECT_EQ(r[1], "4100000000");
    EXPECT_EQ(r[2], "1");
    EXPECT_EQ(r[3], "_20100812_A");
    EXPECT_NEAR(number(r[4]), kPerseidMjd, 1e-6);
    const Fields copied{"140.1", "46.1",  "57.6",  "59.1",  "1",    "15.0",
                        "0.95",  "0.937", "151.0", "139.4", "113.0"};
    EXPECT_EQ(Fields(r.begin() + 5, r.begin() + 16), copied);
    EXPECT_EQ(Fields(r.begin() + 16, r.begin() + 20),
              (Fields{"0.000000", "0.000000", "9.900000", "9.900000"}));
    EXPECT_EQ(r[20], "105.0");
    EXPECT_EQ(r[21], "90.0");
    EXPECT_EQ(r[22], "-1.000000");
    // 0.5 + 10 - 5 log10((5 + 15) / 2) = 0.5 + 10 - 5
    EXPECT_EQ(r[23], "5.500000");
    EXPECT_EQ(r[24], "0.000000");
    EXPECT_EQ(r[25], "_PER-abc-J8_EE");
}

TEST(ULayout, RowsLackingAnOrbitFieldAreSkippedWithoutTakingAnOid)
{
    ConversionHarness h;
    std::string source = "header\r\n";
    for (std::size_t number : {87, 6, 7, 9, 10, 11, 12, 13, 14, 15})
        source += uLine("_gap" + std::to_string(number), {{number, ""}});
    source += uLine("_full") + csvLine(60, {{0, "M04_0"}}) + "\r\n"; // short: no field 87
    ASSERT_EQ(h.convert(OrbitLayout::U, "U1.csv", source), 1);
    ASSERT_EQ(h.targetRows().size(), 1u);
    EXPECT_EQ(h.targetRows()[0][3], "_full");
    EXPECT_EQ(h.oidsTaken(), 1u);
}

TEST(ULayout, NoPositiveDistanceGivesNoMagnitudeRatherThanInfinityOrNan)
{
    ConversionHarness h;
    const std::string source = "header\r\n" + uLine("_zero", {{49, "0"}, {50, "0"}}) +
                               uLine("_negative", {{49, "-5"}, {50, "1"}}) +
                               uLine("_missing", {{49, ""}, {50, "x"}});
    ASSERT_EQ(h.convert(OrbitLayout::U, "U1.csv", source), 3);
    for (const Fields& r : h.targetRows())
        EXPECT_EQ(r.at(23), "0.000000") << r.at(3);
}

TEST(ULayout, EmptyNameAndDateFieldsThatAreNotNumbers)
{
    ConversionHarness h;
    const std::string source =
        "header\n" + uLine("", {{82, "x"}, {83, ""}, {84, " 7"}, {85, "9s"}});
    ASSERT_EQ(h.convert(OrbitLayout::U, "U1.csv", source), 1);
    const Fields r = h.targetRows().at(0);
    EXPECT_EQ(r[3], "_");
    // 2010-08-00 (day 0 is 31 July), 00:07:09: MJD 55408.
    EXPECT_NEAR(number(r[4]), 55408.0 + (7 * 60 + 9 + 64.184) / 86400.0, 1e-6);
}

TEST(U2Layout, WritesEveryFieldFromItsSource)
{
    ConversionHarness h;
    ASSERT_EQ(h.convert(OrbitLayout::U2, "U2_skycam.csv", "header\r\n" + u2Line("_Sky1")), 1);
    const Fields r = h.targetRows().at(0);
    const Fields expected{"501",      "4100000000",  "1",     "_Sky1", "55420.896354", "140.1",
                          "46.1",     "57.6",        "59.1",  "1",     "15.0",         "0.95",
                          "0.937",    "151.0",       "139.4", "113.0", "0.000000",     "0.000000",
                          "0.3",      "1.2",         "105.0", "90.0",  "-1.000000",    "-2.1",
                          "0.000000", "_st1-st2-PER"};
    EXPECT_EQ(r, expected);
}

TEST(OLayout, CopiesTheRowFromItsNameOnWithANewOid)
{
    ConversionHarness h;
    const std::string row = "_Perseid A,55420.896354,140.1,46.1,57.6,59.1,1,15.0,0.95,0.937,"
                            "151.0,139.4,113.0,0.0,0.0,0.3,1.2,105.0,90.0,45.0,-2.1,0.01,_m x";
    const std::string source =
        orbitFileHeader() + "501,4200012345,0," + row + "\r\n" + "501,4200012346,1," + row + "\n";
    ASSERT_EQ(h.convert(OrbitLayout::O, "O_old.csv", source), 2);
    const std::vector<Fields> rows = h.targetRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], splitCsv("501,4100000000,1," + row));
    EXPECT_EQ(rows[1], splitCsv("501,4100000001,1," + row));
}

struct DuplicateCase {
    const char* label;
    OrbitLayout layout;
    const char* sourceName;
    std::string source;
    // The texts the index holds for the source's one row, and its mjd.
    IndexedOrbit stored;
};

// The names and memos each layout tests for its row: "<name>" is the written name less "_".
const DuplicateCase kDuplicateCases[] = {
    {"O",
     OrbitLayout::O,
     "O_x.csv",
     "h\n501,1,1,_Perseid A,55420.896354,1,2,3,4,1,5,6,7,8,9,10,0,0,1,2,3,4,5,6,7,_m x\n",
     {55420.896354, "Perseid A", "m x"}},
    {"U", OrbitLayout::U, "U1.csv", "h\n" + uLine("_U1"), {kPerseidMjd, "U1", "PER-abc-J8_EE"}},
    {"U2", OrbitLayout::U2, "U2_x.csv", "h\n" + u2Line("_G1"), {55420.896354, "G1", "st1-st2-PER"}},
};

class DuplicateTest : public testing::TestWithParam<DuplicateCase> {};

TEST_P(DuplicateTest, RowOfAStoredOrbitIsSkippedAndAnyDifferenceIsNot)
{
    const DuplicateCase& c = GetParam();
    const std::string differentName = std::string(c.stored.name) + "x";
    const std::string differentMemo = std::string(c.stored.memo) + "x";
    struct Variant {
        IndexedOrbit stored;
        std::int64_t rows;
    };
    const Variant variants[] = {
        {c.stored, 0},
        {{c.stored.mjd + 0.5, c.stored.name, c.stored.memo}, 0}, // inside 0.55 days
        {{c.stored.mjd + 0.6, c.stored.name, c.stored.memo}, 1},
        {{c.stored.mjd, differentName, c.stored.memo}, 1},
        {{c.stored.mjd, c.stored.name, differentMemo}, 1},
    };
    for (const Variant& v : variants) {
        ConversionHarness h;
        h.index = DuplicateIndex({v.stored});
        EXPECT_EQ(h.convert(c.layout, c.sourceName, c.source), v.rows)
            << v.stored.mjd << " " << v.stored.name << " " << v.stored.memo;
        EXPECT_EQ(h.oidsTaken(), static_cast<std::uint32_t>(v.rows));
    }
}

INSTANTIATE_TEST_SUITE_P(CsvLayouts, DuplicateTest, testing::ValuesIn(kDuplicateCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(U2Layout, AllRowsDuplicateGivesTheHeaderOnly)
{
    ConversionHarness h;
    h.index = DuplicateIndex({{55420.896354, "G1", "st1-st2-PER"}, {55421.5, "G2", "st1-st2-PER"}});
    const std::string source = "h\n" + u2Line("_G1") + u2Line("_G2", "55421.5");
    ASSERT_EQ(h.convert(OrbitLayout::U2, "U2_x.csv", source), 0);
    EXPECT_EQ(readFileBytes(h.target()), orbitFileHeader());
}

TEST(U2Layout, RowsOfOneSourceAreNotComparedWithEachOther)
{
    ConversionHarness h;
    const std::string source = "h\n" + u2Line("_G1") + u2Line("_G1");
    EXPECT_EQ(h.convert(OrbitLayout::U2, "U2_x.csv", source), 2);
}

} // namespace
