// The GMN layouts: real summaries of both flavours against a straightforward reading of their
// rows, a few rows checked by hand, placeholders, malformed lines and the choice by content.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "conversion_harness.h"

namespace {

const std::string kSources = ORVANTELLA_SOURCE_DIR "/data/sources/";
const std::string kMonthly = "gmn_traj_summary_monthly_201812.txt";
const std::string kSolRange = "gmn_traj_summary_20220304_solrange_344.0-345.0.txt";
const std::string kCsv = "gmn_traj_summary_monthly_201812_first40.csv";

std::string sourceBytes(const std::string& name)
{
    const std::string path = kSources + name;
    EXPECT_TRUE(std::filesystem::exists(path)) << "missing " << path;
    return readFileBytes(path);
}

std::string trimmed(const std::string& text)
{
    const std::size_t begin = text.find_first_not_of(" \r");
    return begin == std::string::npos
               ? ""
               : text.substr(begin, text.find_last_not_of(" \r") + 1 - begin);
}

// The rows of a ';'-separated summary, each field trimmed: the reading the converter must
// agree with.
std::vector<Fields> summaryRows(const std::string& text)
{
    std::vector<Fields> rows;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        end = end == std::string::npos ? text.size() : end;
        const std::string line = trimmed(text.substr(begin, end - begin));
        begin = end + 1;
        if (line.empty() || line[0] == '#')
            continue;
        Fields fields;
        std::size_t at = 0;
        for (std::size_t semicolon; (semicolon = line.find(';', at)) != std::string::npos;
             at = semicolon + 1)
            fields.push_back(trimmed(line.substr(at, semicolon - at)));
        fields.push_back(trimmed(line.substr(at)));
        rows.push_back(fields);
    }
    return rows;
}

bool isPlaceholder(const std::string& text)
{
    return text.empty() || text == "None" || text == "nan" || text == "...";
}

double valueOf(const std::string& text) { return isPlaceholder(text) ? 0.0 : std::stod(text); }

// The written row against its summary row: which summary field (0-based) each orbit column
// holds, the cell's empty value 0 where GMN has none.
void expectRowFrom(const Fields& row, const Fields& source)
{
    ASSERT_EQ(row.size(), 26u);
    ASSERT_EQ(source.size(), 86u);
    const std::string where = "row of " + source[0];
    EXPECT_EQ(row[0], "501");
    EXPECT_EQ(row[2], "1");
    EXPECT_EQ(row[3], "_" + source[0]) << where;
    // The Julian date is UTC; the table's times carry the fixed 64.184 s.
    EXPECT_NEAR(number(row[4]), std::stod(source[1]) - 2400000.5 + 64.184 / 86400, 1e-6) << where;
    EXPECT_EQ(row[9], "1");
    EXPECT_EQ(number(row[17]), 0.0) << where;
    const std::pair<int, int> copied[] = {
        {5, 5},   {6, 7},   {7, 9},   {8, 15},  {10, 23}, {11, 37}, {12, 25}, {13, 29},
        {14, 31}, {15, 27}, {16, 41}, {19, 16}, {20, 67}, {21, 73}, {23, 76}, {24, 79}};
    for (const auto& [column, field] : copied)
        EXPECT_EQ(static_cast<float>(number(row[column])),
                  static_cast<float>(valueOf(source[field])))
            << where << ", orbit column " << column << " from field " << field;
    const double raSd = valueOf(source[8]) * M_PI / 180;
    const double decSd = valueOf(source[10]) * M_PI / 180;
    const double rSd = isPlaceholder(source[8]) || isPlaceholder(source[10])
                           ? 0.0
                           : std::acos(std::cos(raSd) * std::cos(decSd)) * 180 / M_PI;
    EXPECT_NEAR(number(row[18]), rSd, 1e-6) << where;
    EXPECT_NEAR(number(row[22]), isPlaceholder(source[57]) ? 0.0 : 90 - std::stod(source[57]), 1e-6)
        << where;
    EXPECT_EQ(row[25], "_" + (isPlaceholder(source[4]) ? "" : source[4])) << where;
}

struct SummaryCase {
    const char* label;
    std::string fileName;
    OrbitLayout layout;
    std::size_t rows;
};

const SummaryCase kSummaries[] = {
    {"Monthly_201812", kMonthly, OrbitLayout::Gmn, 497},
    {"SolRange_20220304", kSolRange, OrbitLayout::Gmn, 534},
    {"Csv_first_40_of_201812", kCsv, OrbitLayout::GmnCsv, 40},
};

class GmnSummaryTest : public testing::TestWithParam<SummaryCase> {};

// The comma-separated file holds the first 40 rows of the monthly summary.
TEST_P(GmnSummaryTest, EveryRowHoldsItsSourceValues)
{
    const SummaryCase& c = GetParam();
    ConversionHarness h;
    ASSERT_EQ(h.convert(c.layout, c.fileName, sourceBytes(c.fileName)),
              static_cast<std::int64_t>(c.rows));
    EXPECT_TRUE(h.messages().empty());
    const std::vector<Fields> rows = h.targetRows();
    const std::vector<Fields> reference =
        summaryRows(sourceBytes(c.layout == OrbitLayout::GmnCsv ? kMonthly : c.fileName));
    ASSERT_EQ(rows.size(), c.rows);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][1], std::to_string(ConversionHarness::kFirstOid + i));
        expectRowFrom(rows[i], reference[i]);
    }
}

TEST_P(GmnSummaryTest, IsChosenByItsContentWhateverItsName)
{
    const SummaryCase& c = GetParam();
    TempDir dir;
    for (const std::string& name :
         {c.fileName, std::string("U2_named.csv"), std::string("x.dat")}) {
        writeFileBytes(dir.file(name), sourceBytes(c.fileName));
        EXPECT_EQ(chooseOrbitLayoutOf(dir.file(name)).layout, c.layout) << name;
    }
}

TEST_P(GmnSummaryTest, RowsAreCountedWithoutConverting)
{
    const SummaryCase& c = GetParam();
    EXPECT_EQ(countSourceRows(c.layout, kSources + c.fileName), static_cast<std::int64_t>(c.rows));
}

INSTANTIATE_TEST_SUITE_P(RealFiles, GmnSummaryTest, testing::ValuesIn(kSummaries),
                         [](const auto& info) { return std::string(info.param.label); });

// Values read off gmn_traj_summary_monthly_201812.txt by eye (file lines 5, 6, 8 and 35).
TEST(GmnLayout, RowsCheckedAgainstTheFileByHand)
{
    ConversionHarness h;
    ASSERT_EQ(h.convert(OrbitLayout::Gmn, kMonthly, sourceBytes(kMonthly)), 497);
    const std::vector<Fields> rows = h.targetRows();
    // Line 5, sporadic ("..."): RAgeo 321.76912, DECgeo +57.70221, Vgeo 18.18262, q 0.981174,
    // peak magnitude +0.05, mass 7.01e-04 kg.
    EXPECT_EQ(rows[0][3], "_20181210010656_eBlUM");
    EXPECT_EQ(rows[0][25], "_");
    EXPECT_FLOAT_EQ(number(rows[0][6]), 321.76912f);
    EXPECT_FLOAT_EQ(number(rows[0][7]), 57.70221f);
    EXPECT_FLOAT_EQ(number(rows[0][8]), 18.18262f);
    EXPECT_FLOAT_EQ(number(rows[0][11]), 0.981174f);
    EXPECT_FLOAT_EQ(number(rows[0][23]), 0.05f);
    EXPECT_FLOAT_EQ(number(rows[0][24]), 7.01e-4f);
    // Line 6, an Orionid: 2018-12-10 01:22:38.226 UTC, mass 3.19e-05 kg kept to its digits.
    EXPECT_EQ(rows[1][25], "_ORN");
    EXPECT_NEAR(number(rows[1][4]), 58462.057386886794 + 64.184 / 86400, 1e-6);
    EXPECT_FLOAT_EQ(number(rows[1][24]), 3.19e-5f);
    // Line 8, a Geminid: sol 257.738890, a 1.154288, e 0.884131, i 19.516921, HtBeg 100.0538.
    EXPECT_EQ(rows[3][25], "_GEM");
    EXPECT_FLOAT_EQ(number(rows[3][5]), 257.73889f);
    EXPECT_FLOAT_EQ(number(rows[3][10]), 1.154288f);
    EXPECT_FLOAT_EQ(number(rows[3][12]), 0.884131f);
    EXPECT_FLOAT_EQ(number(rows[3][15]), 19.516921f);
    EXPECT_FLOAT_EQ(number(rows[3][20]), 100.0538f);
    // Line 35, hyperbolic: a -35.675978, e 1.013842, mean anomaly nan (the empty value).
    EXPECT_EQ(rows[30][3], "_20181210084000_uD30X");
    EXPECT_FLOAT_EQ(number(rows[30][10]), -35.675978f);
    EXPECT_FLOAT_EQ(number(rows[30][12]), 1.013842f);
    EXPECT_EQ(rows[30][16], "0.000000");
}

// Every column the converter reads, GMN's placeholders put in at random: the cell's empty value
// there, every other value as it was.
TEST(GmnLayout, PlaceholdersGiveTheEmptyValue)
{
    const Fields original = summaryRows(sourceBytes(kMonthly))[1];
    const std::size_t readFields[] = {4,  5,  7,  8,  9,  10, 15, 16, 23, 25,
                                      27, 29, 31, 37, 41, 57, 67, 73, 76, 79};
    const char* placeholders[] = {"None", "nan", "...", ""};
    std::mt19937 random(86);
    std::vector<Fields> sources;
    std::string text = "# header\n\r";
    for (int n = 0; n < 200; ++n) {
        Fields fields = original;
        fields[0] += "_" + std::to_string(n);
        for (const std::size_t field : readFields)
            if (random() % 3 == 0)
                fields[field] = placeholders[random() % 4];
        sources.push_back(fields);
        for (std::size_t i = 0; i < fields.size(); ++i)
            text += (i ? "; " : "") + fields[i];
        text += "\n\r";
    }
    ConversionHarness h;
    ASSERT_EQ(h.convert(OrbitLayout::Gmn, "gmn.txt", text), 200);
    const std::vector<Fields> rows = h.targetRows();
    ASSERT_EQ(rows.size(), sources.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        expectRowFrom(rows[i], sources[i]);
}

// A summary row (line 6 of the monthly file) with one field replaced.
std::string summaryLine(std::size_t field, const std::string& value)
{
    Fields fields = summaryRows(sourceBytes(kMonthly))[1];
    fields[field] = value;
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i)
        line += (i ? ";" : "") + fields[i];
    return line + "\n\r";
}

std::string csvLines(int rows)
{
    const std::string text = sourceBytes(kCsv);
    std::size_t end = 0;
    for (int line = 0; line <= rows; ++line)
        end = text.find('\n', end) + 1;
    return text.substr(0, end);
}

// The first row of the comma-separated file with its Julian date replaced.
std::string csvRowWithJd(const std::string& jd)
{
    const std::string row = csvLines(1).substr(csvLines(0).size());
    const std::size_t first = row.find(',');
    return row.substr(0, first + 1) + jd + row.substr(row.find(',', first + 1));
}

struct MalformedCase {
    const char* label;
    OrbitLayout layout;
    std::string source;
    int line; // named in the message; 0: none is
};

const std::string kHead = "# one\n\r# two\n\r";
const std::string kGood = summaryLine(0, "20181210012238_ucxkx");

const MalformedCase kMalformed[] = {
    {"Fields_missing", OrbitLayout::Gmn, kHead + kGood + "a;b;c\n\r", 4},
    {"Letters_for_a_number", OrbitLayout::Gmn, kHead + kGood + summaryLine(7, "abc"), 4},
    {"Number_with_trailing_text", OrbitLayout::Gmn, kHead + summaryLine(79, "3.19e-05kg"), 3},
    {"Beyond_float_range", OrbitLayout::Gmn, kHead + summaryLine(23, "1e39"), 3},
    {"Infinity", OrbitLayout::Gmn, kHead + summaryLine(15, "inf"), 3},
    {"No_julian_date", OrbitLayout::Gmn, kHead + kGood + kGood + summaryLine(1, "None"), 5},
    {"Comma_in_name", OrbitLayout::Gmn, kHead + summaryLine(0, "a,b"), 3},
    {"Comma_in_shower_code", OrbitLayout::Gmn, kHead + summaryLine(4, "G,M"), 3},
    {"Placeholder_for_name", OrbitLayout::Gmn, kHead + summaryLine(0, "None"), 3},
    {"Over_long_line", OrbitLayout::Gmn, kHead + kGood + std::string(16001, ';') + "\n", 4},
    {"Csv_unclosed_quote", OrbitLayout::GmnCsv, csvLines(2) + "\"20181210,1\n", 4},
    {"Csv_fields_missing", OrbitLayout::GmnCsv, csvLines(3) + "20181210_x,2458462.5\n", 5},
    {"Csv_letters_for_a_number", OrbitLayout::GmnCsv, csvLines(1) + csvRowWithJd("2458462.5y"), 3},
    {"Csv_header_lacking_a_column", OrbitLayout::GmnCsv,
     "unique_trajectory_identifier,beginning_julian_date\nx,2458462.5\n", 1},
    {"Csv_empty", OrbitLayout::GmnCsv, "", 0},
};

class GmnMalformedTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(GmnMalformedTest, FailsNamingTheLineAndLeavesNoTarget)
{
    const MalformedCase& c = GetParam();
    ConversionHarness h;
    EXPECT_EQ(h.convert(c.layout, "gmn.txt", c.source), -1);
    EXPECT_FALSE(std::filesystem::exists(h.target()));
    const std::string named = c.line > 0 ? "\nline " + std::to_string(c.line) : "";
    EXPECT_EQ(h.messages(), std::vector<std::string>{"File format invalid!! aborted" + named});
}

INSTANTIATE_TEST_SUITE_P(Lines, GmnMalformedTest, testing::ValuesIn(kMalformed),
                         [](const auto& info) { return std::string(info.param.label); });

// A write that fails is no line's fault.
TEST(GmnLayout, TargetThatCannotBeWrittenNamesNoLine)
{
    ConversionHarness h;
    writeFileBytes(h.source("gmn.txt"), sourceBytes(kMonthly));
    NoFeedback none;
    ConversionContext context{"WK", [] { return std::optional<std::uint32_t>(1); }, h.index, none};
    EXPECT_EQ(convertOrbitFile(OrbitLayout::Gmn, h.source("gmn.txt"), "/dev/full", context), -1);
    EXPECT_EQ(h.messages(), std::vector<std::string>{"File format invalid!! aborted"});
}

struct ChoiceCase {
    const char* label;
    std::string fileName;
    std::string text;
    std::optional<OrbitLayout> layout;
};

const ChoiceCase kChoices[] = {
    {"Csv_header_after_a_byte_order_mark", "a.csv",
     "\xEF\xBB\xBFunique_trajectory_identifier,beginning_julian_date\n", OrbitLayout::GmnCsv},
    {"Csv_header_with_another_separator", "M_a.csv", "unique_trajectory_identifier;x\n",
     OrbitLayout::M},
    {"Eighty_five_fields_by_name", "a.txt", std::string(84, ';') + "\n", OrbitLayout::Text},
    {"Eighty_seven_fields_by_name", "a.dat", std::string(86, ';') + "\n", OrbitLayout::Dat},
    {"Comment_lines_only_by_name", "U_a.csv", "# a;b\n\r# c\n\r", OrbitLayout::U},
    {"Rows_after_blank_lines", "x.y", "\n\r\n\r" + std::string(85, ';') + "\n", OrbitLayout::Gmn},
    {"Unknown_name", "x.y", "a,b\n", std::nullopt},
};

class GmnChoiceTest : public testing::TestWithParam<ChoiceCase> {};

TEST_P(GmnChoiceTest, ByTheFirstRowThenByTheName)
{
    const ChoiceCase& c = GetParam();
    TempDir dir;
    writeFileBytes(dir.file(c.fileName), c.text);
    EXPECT_EQ(chooseOrbitLayoutOf(dir.file(c.fileName)).layout, c.layout);
}

INSTANTIATE_TEST_SUITE_P(Sources, GmnChoiceTest, testing::ValuesIn(kChoices),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
