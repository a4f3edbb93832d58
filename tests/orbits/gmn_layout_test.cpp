// The GMN layouts: real summaries of both flavours against a straightforward reading of their
// rows, a few rows checked by hand, placeholders, malformed lines and the choice by content.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "conversion_harness.h"
#include "layout_sources.h"

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
    // A row without its radiant or speed is refused and counted.
    std::vector<Fields> kept;
    for (const Fields& fields : sources)
        if (!isPlaceholder(fields[7]) && !isPlaceholder(fields[9]) && !isPlaceholder(fields[15]))
            kept.push_back(fields);
    ConversionHarness h;
    ASSERT_EQ(h.convert(OrbitLayout::Gmn, "gmn.txt", text), static_cast<std::int64_t>(kept.size()));
    EXPECT_EQ(h.dropped.noRadiant, static_cast<std::int64_t>(sources.size() - kept.size()));
    const std::vector<Fields> rows = h.targetRows();
    ASSERT_EQ(rows.size(), kept.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        expectRowFrom(rows[i], kept[i]);
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

std::string renamed(std::string text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

struct MalformedCase {
    const char* label;
    OrbitLayout layout;
    std::string source;
    int line; // named in the message; 0: none is
    std::string problem = {};
    ImportFilters filters = {};
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
     "unique_trajectory_identifier,beginning_julian_date\nx,2458462.5\n", 1,
     "columns missing: beginning_utc_time, iau_shower_code, sol_lon_deg, rageo_deg, "
     "rageo_sigma, decgeo_deg, decgeo_sigma, vgeo_km_s, vgeo_sigma, a_au, e, i_deg, peri_deg, "
     "node_deg, q_au, m_deg, elev_deg, htbeg_km, htend_km, peak_absmag, mass_kg_tau_0_7"},
    {"Named_header_lacking_columns", OrbitLayout::Gmn,
     renamed(renamed(sourceBytes(kMonthly), "Sol lon", "Sun lon"), "HtEnd", "HEnd"), 5,
     "columns missing: Sol lon deg, HtEnd km"},
    {"Csv_empty", OrbitLayout::GmnCsv, "", 0},
    // Optional columns, needed by a filter on them.
    {"Csv_header_lacking_filtered_columns",
     OrbitLayout::GmnCsv,
     renamed(renamed(csvLines(3), "qc_deg", "qc_x"), "num_stat", "n_stat"),
     1,
     "columns missing: qc_deg, num_stat",
     {5.0, std::nullopt, std::nullopt, std::nullopt, 2}},
};

class GmnMalformedTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(GmnMalformedTest, FailsNamingTheLineAndLeavesNoTarget)
{
    const MalformedCase& c = GetParam();
    ConversionHarness h;
    h.filters = c.filters;
    EXPECT_EQ(h.convert(c.layout, "gmn.txt", c.source), -1);
    EXPECT_FALSE(std::filesystem::exists(h.target()));
    const std::string named = (c.line > 0 ? "\nline " + std::to_string(c.line) : "") +
                              (c.problem.empty() ? "" : "\n" + c.problem);
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
    {"Eighty_five_fields", "a.txt", std::string(84, ';') + "\n", OrbitLayout::Gmn},
    {"Eighty_seven_fields", "a.dat", std::string(86, ';') + "\n", OrbitLayout::Gmn},
    {"Few_fields_by_name", "a.dat", std::string(20, ';') + "\n", OrbitLayout::Dat},
    {"Csv_without_identifier", "a.txt", "x,beginning_julian_date\n", OrbitLayout::GmnCsv},
    {"Compressed_name_by_what_it_holds", "M_a.csv.gz", "90,2009\n", OrbitLayout::M},
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

// The lines of a ';' summary with the fields of its ';' lines (header lines without their '#')
// rewritten; other lines and the line ends as they were.
std::string rewrittenSummary(const std::string& text, void (*rewrite)(Fields&, bool header))
{
    std::string out;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = std::min(text.find('\n', begin), text.size());
        std::string line = text.substr(begin, end - begin);
        const std::string lead = line.starts_with('\r') ? "\r" : "";
        line = line.substr(lead.size());
        const bool header = line.starts_with('#');
        if (line.find(';') != std::string::npos) {
            Fields fields;
            std::size_t at = header ? 1 : 0;
            for (std::size_t semicolon; (semicolon = line.find(';', at)) != std::string::npos;
                 at = semicolon + 1)
                fields.push_back(line.substr(at, semicolon - at));
            fields.push_back(line.substr(at));
            rewrite(fields, header);
            line = header ? "#" : "";
            for (std::size_t i = 0; i < fields.size(); ++i)
                line += (i ? ";" : "") + fields[i];
        }
        out += lead + line + (end < text.size() ? "\n" : "");
        begin = end + 1;
    }
    return out;
}

// GMN's summaries written before the identifier column.
void dropIdentifier(Fields& fields, bool) { fields.erase(fields.begin()); }

// The columns in another order (an uncertainty stays after its value: the header names it only
// by its place), and one more that the import does not know.
void reorderAndAddColumn(Fields& fields, bool header)
{
    const auto elevation = fields.begin() + (fields.size() == 86 ? 57 : 56);
    std::rotate(fields.begin(), elevation, fields.end());
    std::swap_ranges(fields.begin() + 2, fields.begin() + 6, fields.begin() + 60);
    const bool rule = fields[0].find_first_not_of(" -") == std::string::npos;
    fields.insert(fields.begin() + 40, !header ? " 12.5 " : rule ? " ----- " : " Added ");
}

std::string digitsOf(const std::string& utc)
{
    std::string digits;
    for (const char c : utc)
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.')
            digits += c;
    return digits;
}

struct VariantCase {
    const char* label;
    std::string original; // the file whose conversion is the reference
    OrbitLayout layout;
    std::string fileName;
    std::string text;
    bool namedByTime; // names from the beginning time, everything else the same
};

std::vector<VariantCase> variantCases()
{
    const std::string monthly = sourceBytes(kMonthly);
    const std::string withoutId = rewrittenSummary(monthly, dropIdentifier);
    return {
        {"Columns_shuffled_and_one_added", kMonthly, OrbitLayout::Gmn, "traj.txt",
         rewrittenSummary(monthly, reorderAndAddColumn), false},
        {"Without_identifier", kMonthly, OrbitLayout::Gmn, "traj.txt", withoutId, true},
        {"Compressed", kMonthly, OrbitLayout::Gmn, "traj.txt.gz", gzipped(monthly), false},
        {"Compressed_without_identifier", kMonthly, OrbitLayout::Gmn, "traj.gz", gzipped(withoutId),
         true},
        {"Compressed_solrange", kSolRange, OrbitLayout::Gmn, "s.txt.gz",
         gzipped(sourceBytes(kSolRange)), false},
        {"Csv_compressed", kCsv, OrbitLayout::GmnCsv, "c.csv.gz", gzipped(sourceBytes(kCsv)),
         false},
    };
}

class GmnVariantTest : public testing::TestWithParam<VariantCase> {};

TEST_P(GmnVariantTest, ImportsAsTheOriginalDoes)
{
    const VariantCase& c = GetParam();
    ConversionHarness original;
    const std::int64_t rows = original.convert(c.layout, c.original, sourceBytes(c.original));
    ConversionHarness variant;
    EXPECT_EQ(variant.convert(c.layout, c.fileName, c.text), rows);
    EXPECT_EQ(chooseOrbitLayoutOf(variant.source(c.fileName)).layout, c.layout);
    EXPECT_EQ(variant.messages(), std::vector<std::string>{});
    if (!c.namedByTime) {
        EXPECT_EQ(readFileBytes(variant.target()), readFileBytes(original.target()));
        return;
    }
    const std::vector<Fields> reference = summaryRows(sourceBytes(c.original));
    std::vector<Fields> expected = original.targetRows();
    for (std::size_t i = 0; i < expected.size(); ++i)
        expected[i][3] = "_" + digitsOf(reference[i][2]);
    EXPECT_EQ(variant.targetRows(), expected);
}

INSTANTIATE_TEST_SUITE_P(Files, GmnVariantTest, testing::ValuesIn(variantCases()),
                         [](const auto& info) { return std::string(info.param.label); });

// A source row as the filters see it: the name field it is written with and its values in the
// order of kImportFilterNames, nullopt where it has none.
struct Sample {
    std::string name;
    bool noRadiant = false; // a GMN radiant or speed that is no number
    std::array<std::optional<double>, 5> values;
};

// The filters as stated: which one drops a row, if any.
enum Dropped { Kept, NoRadiant, MinQc, MaxVg, MaxE, MaxRadErr, MinStations };

std::array<std::optional<double>, 5> limitsOf(const ImportFilters& f)
{
    const std::optional<double> stations =
        f.minStations ? std::optional<double>(*f.minStations) : std::nullopt;
    return {f.minQcDeg, f.maxVgKms, f.maxE, f.maxRadErrDeg, stations};
}

Dropped droppedBy(const Sample& row, const ImportFilters& f)
{
    if (row.noRadiant)
        return NoRadiant;
    const auto limits = limitsOf(f);
    for (std::size_t k = 0; k < limits.size(); ++k) {
        const bool minimum = k == 0 || k == 4;
        const std::optional<double>& v = row.values[k];
        if (limits[k] && (!v || (minimum ? *v < *limits[k] : *v > *limits[k])))
            return static_cast<Dropped>(MinQc + k);
    }
    return Kept;
}

std::optional<double> gmnValue(const std::string& text)
{
    return isPlaceholder(text) ? std::nullopt : std::optional<double>(std::stod(text));
}

std::vector<Sample> gmnSamples(const std::vector<Fields>& rows)
{
    std::vector<Sample> samples;
    for (const Fields& row : rows) {
        Sample s{"_" + row[0],
                 isPlaceholder(row[7]) || isPlaceholder(row[9]) || isPlaceholder(row[15]),
                 {gmnValue(row[80]), gmnValue(row[15]), gmnValue(row[25]), std::nullopt,
                  gmnValue(row[84])}};
        if (!isPlaceholder(row[8]) && !isPlaceholder(row[10])) {
            const double ra = std::stod(row[8]) * M_PI / 180;
            const double dec = std::stod(row[10]) * M_PI / 180;
            s.values[3] = std::acos(std::cos(ra) * std::cos(dec)) * 180 / M_PI;
        }
        samples.push_back(s);
    }
    return samples;
}

// Each limit the layout carries, when set, is some row's value, moved by offset either way
// (the station count exactly); the radiant's scatter, computed, always a little off.
ImportFilters randomFilters(std::mt19937& random, const std::vector<Sample>& rows,
                            const std::string& carried, double offset)
{
    std::array<std::optional<double>, 5> limits;
    for (std::size_t k = 0; k < limits.size(); ++k) {
        const std::optional<double>& v = rows[random() % rows.size()].values[k];
        if (carried[k] == '-' || random() % 3 == 0 || !v)
            continue;
        const double by = k == 4 ? 0.0 : k == 3 ? std::max(offset, 1e-5) : offset;
        limits[k] = *v + (random() % 2 ? by : -by);
    }
    ImportFilters f{limits[0], limits[1], limits[2], limits[3], std::nullopt};
    if (limits[4])
        f.minStations = static_cast<int>(*limits[4]);
    return f;
}

// Random filters over rounds: the conversion keeps exactly the rows the oracle keeps and
// counts each drop under the filter that made it.
void expectFiltersDropTheRowsTheyName(OrbitLayout layout, const std::string& fileName,
                                      const std::string& text, const std::vector<Sample>& rows,
                                      const std::string& carried, double offset)
{
    std::mt19937 random(5);
    for (int round = 0; round < 12; ++round) {
        ConversionHarness h;
        h.filters = randomFilters(random, rows, carried, offset);
        std::vector<std::string> expected;
        std::array<std::int64_t, 7> counts{};
        for (const Sample& row : rows) {
            const Dropped why = droppedBy(row, h.filters);
            ++counts[why];
            if (why == Kept)
                expected.push_back(row.name);
        }
        ASSERT_EQ(h.convert(layout, fileName, text), static_cast<std::int64_t>(expected.size()))
            << "round " << round;
        std::vector<std::string> names;
        for (const Fields& row : h.targetRows())
            names.push_back(row[3]);
        EXPECT_EQ(names, expected) << "round " << round;
        const FilterCounts& d = h.dropped;
        EXPECT_EQ((std::array<std::int64_t, 7>{counts[Kept], d.noRadiant, d.minQc, d.maxVg, d.maxE,
                                               d.maxRadErr, d.minStations}),
                  counts)
            << "round " << round;
    }
}

TEST(GmnLayout, FiltersDropExactlyTheRowsTheyName)
{
    const std::string text = sourceBytes(kMonthly) + sourceBytes(kSolRange);
    expectFiltersDropTheRowsTheyName(OrbitLayout::Gmn, "gmn.txt", text,
                                     gmnSamples(summaryRows(text)), "QVERS", 0.0);
}

// A row's speed, eccentricity and radiant uncertainties, on the grids the sources write them.
struct RowValues {
    double vg, e, raSd, decSd;
};

// The token (0-based) of a line split at a separator replaced, the others kept.
std::string withToken(const std::string& line, char separator, std::size_t token,
                      const std::string& value)
{
    std::vector<std::string> tokens;
    std::string current;
    for (const char c : line + separator) {
        if (c != separator) {
            current += c;
        } else if (separator != ' ' || !current.empty()) {
            tokens.push_back(current);
            current.clear();
        }
    }
    tokens.at(token) = value;
    std::string joined = separator == ' ' ? " " : "";
    for (std::size_t i = 0; i < tokens.size(); ++i)
        joined += (i ? std::string(1, separator) : "") + tokens[i];
    return joined;
}

std::string fixed(const char* format, double value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The line of a record (without its line end) with its tokens at these places set.
std::string varied(const std::string& record, std::size_t line, char separator,
                   const std::vector<std::pair<std::size_t, std::string>>& tokens)
{
    std::vector<std::string> lines;
    for (std::size_t begin = 0; begin < record.size();) {
        const std::size_t end = record.find('\n', begin);
        lines.push_back(record.substr(begin, end - begin));
        begin = end + 1;
    }
    std::string& text = lines.at(line);
    const bool cr = text.ends_with('\r');
    if (cr)
        text.pop_back();
    for (const auto& [token, value] : tokens)
        text = withToken(text, separator, token, value);
    if (cr)
        text += '\r';
    std::string joined;
    for (const std::string& l : lines)
        joined += l + '\n';
    return joined;
}

struct FilteredLayout {
    const char* label;   // as in layoutSources()
    std::string carried; // of "QVERS": the filters whose value the layout carries
    std::string (*vary)(const std::string& record, const RowValues& v);
};

const FilteredLayout kFilteredLayouts[] = {
    {"O", "-VER-",
     [](const std::string& r, const RowValues& v) {
         return varied(r, 0, ',',
                       {{8, fixed("%.2f", v.vg)},
                        {12, fixed("%.3f", v.e)},
                        {18, fixed("%.2f", v.raSd + v.decSd)}});
     }},
    {"U", "-VE--",
     [](const std::string& r, const RowValues& v) {
         return varied(r, 0, ',', {{9, fixed("%.2f", v.vg)}, {12, fixed("%.3f", v.e)}});
     }},
    {"U2", "-VER-",
     [](const std::string& r, const RowValues& v) {
         return varied(r, 0, ',',
                       {{16, fixed("%.2f", v.vg)},
                        {20, fixed("%.3f", v.e)},
                        {76, fixed("%.2f", v.raSd + v.decSd)}});
     }},
    // The eccentricity follows from the speed.
    {"M", "-VE--",
     [](const std::string& r, const RowValues& v) {
         return varied(r, 0, ',', {{9, fixed("%.2f", v.vg)}});
     }},
    {"Text", "-VER-",
     [](const std::string& r, const RowValues& v) {
         return varied(r, 0, ' ',
                       {{8, fixed("%4.2f", v.raSd)},
                        {10, fixed("%4.2f", v.decSd)},
                        {11, fixed("%5.2f", v.vg)},
                        {14, fixed("%5.3f", v.e)}});
     }},
    {"Dat", "-VE--",
     [](const std::string& r, const RowValues& v) {
         return varied(varied(r, 1, ' ', {{7, fixed("%5.2f", v.vg)}}), 2, ' ',
                       {{3, fixed("%5.3f", v.e)}});
     }},
};

class LayoutFilterTest : public testing::TestWithParam<FilteredLayout> {};

// The rows' values are those of their unfiltered import, which the filters must judge alike.
TEST_P(LayoutFilterTest, FiltersDropExactlyTheRowsTheyName)
{
    const FilteredLayout& c = GetParam();
    const LayoutSource& source =
        *std::find_if(layoutSources().begin(), layoutSources().end(),
                      [&](const LayoutSource& s) { return std::string(s.label) == c.label; });
    std::mt19937 random(7);
    const std::string header = source.text({});
    std::string text = header;
    for (int row = 0; row < 60; ++row) {
        const RowValues v{11.0 + random() % 6100 / 100.0, random() % 1000 / 1000.0,
                          random() % 50 / 100.0, random() % 50 / 100.0};
        text += c.vary(source.text({"R" + std::to_string(row)}).substr(header.size()), v);
    }
    ConversionHarness unfiltered;
    ASSERT_EQ(unfiltered.convert(*chooseOrbitLayout(source.fileName).layout, source.fileName, text),
              60);
    std::vector<Sample> rows;
    for (const Fields& row : unfiltered.targetRows())
        rows.push_back(
            {row[3],
             false,
             {std::nullopt, number(row[8]), number(row[12]), number(row[18]), std::nullopt}});
    expectFiltersDropTheRowsTheyName(*chooseOrbitLayout(source.fileName).layout, source.fileName,
                                     text, rows, c.carried, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Layouts, LayoutFilterTest, testing::ValuesIn(kFilteredLayouts),
                         [](const auto& info) { return std::string(info.param.label); });

struct BrokenArchiveCase {
    const char* label;
    std::string (*spoil)(std::string);
};

const BrokenArchiveCase kBrokenArchives[] = {
    {"Truncated", [](std::string gz) { return gz.substr(0, gz.size() / 2); }},
    {"Corrupt_data",
     [](std::string gz) {
         gz[gz.size() / 2] = static_cast<char>(gz[gz.size() / 2] ^ 0x55);
         return gz;
     }},
    {"Wrong_checksum",
     [](std::string gz) {
         gz[gz.size() - 6] = static_cast<char>(gz[gz.size() - 6] ^ 1);
         return gz;
     }},
};

class BrokenArchiveTest : public testing::TestWithParam<BrokenArchiveCase> {};

TEST_P(BrokenArchiveTest, IsAClearErrorAndLeavesNoTarget)
{
    ConversionHarness h;
    const std::string gz = GetParam().spoil(gzipped(sourceBytes(kMonthly)));
    EXPECT_EQ(h.convert(OrbitLayout::Gmn, "traj.txt.gz", gz), -1);
    EXPECT_FALSE(std::filesystem::exists(h.target()));
    const std::vector<std::string> messages = h.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].starts_with(h.source("traj.txt.gz") + " could not be read: "))
        << messages[0];
}

INSTANTIATE_TEST_SUITE_P(Archives, BrokenArchiveTest, testing::ValuesIn(kBrokenArchives),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
