// The stream-list file layouts line by line: TarnRadiant lines byte for byte,
// the fixed-width reader over them, and the lines the CSV reader refuses.
#include <gtest/gtest.h>

#include <random>

#include "astro/calendar.h"
#include "streams/list_files.h"
#include "support/test_support.h"

namespace {

constexpr int kYear = 2007;

StreamValues stream(const char* code, const char* name, float sol1, float sol2, float solp,
                    float ra, float dec, float dra, float ddec, float vg, float R)
{
    StreamValues values;
    values.code = code;
    values.name = name;
    values.sol1 = sol1;
    values.sol2 = sol2;
    values.solp = solp;
    values.ra = ra;
    values.dec = dec;
    values.dra = dra;
    values.ddec = ddec;
    values.vg = vg;
    values.R = R;
    return values;
}

struct TarnCase {
    const char* name;
    StreamValues stream;
    const char* expected;
};

// Dates: the Sun passes sol 114.4 on 17 July 2007, 150.9 on 24 August, 140.3 on 13 August,
// 251.8 on 4 December, 265.1 on 17 December and 262.0 on 14 December (the batch tool's
// "sol" at noon of each day gives 114.45, 150.85, 140.27, 251.84, 265.05 and 262.00).
const TarnCase kTarnCases[] = {
    {"Named stream, err twice R",
     stream("WK_PER", "Perseids", 114.4f, 150.9f, 140.3f, 48.2f, 58.1f, 1.4f, 0.2f, 59.1f, 3.0f),
     "WK_PER     17      07      24      08      13      08      140.3    48.2    58.1   1.4      "
     "0.2    59.1    3.0     6.0    Perseids\r\n"},
    {"R 0.04 gives err 6, no name gives one blank",
     stream("GEM", "", 251.8f, 265.1f, 262.0f, 112.3f, 32.5f, 1.0f, -0.2f, 34.6f, 0.04f),
     "  GEM     04      12      17      12      14      12      262.0   112.3    32.5   1.0     "
     "-0.2    34.6    0.0     6.0     \r\n"},
    {"R 0.05 gives err 0.1",
     stream("GEM", "Gem", 251.8f, 265.1f, 262.0f, 112.3f, 32.5f, 1.0f, -0.2f, 34.6f, 0.05f),
     "  GEM     04      12      17      12      14      12      262.0   112.3    32.5   1.0     "
     "-0.2    34.6    0.1     0.1    Gem\r\n"},
};

class TarnLineTest : public testing::TestWithParam<TarnCase> {};

TEST_P(TarnLineTest, IsWrittenByteForByte)
{
    EXPECT_EQ(tarnRadiantLine(GetParam().stream, kYear), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Streams, TarnLineTest, testing::ValuesIn(kTarnCases), caseName);

TEST(TarnRadiantHeader, NamesTheListAndItsLid)
{
    EXPECT_EQ(
        tarnRadiantHeader(4100000000u, "L_WK_test"),
        "ID        d1      m1      d2      m2      dmax    mmax    sol     ra      dec     dra "
        "    ddec    v       r       err     name (4100000000 L_WK_test)\r\n");
}

// Whatever the export writes, the fixed-width reader reads back: codes of up to 7
// characters, the numbers to their one decimal, the dates of the year, the name's first word.
TEST(FixedWidthReader, ReadsBackRandomTarnRadiantLines)
{
    std::mt19937 random(20071213);
    std::uniform_real_distribution<float> sol(0, 359.9f), ra(0, 359.9f), dec(-89, 89), drift(-2, 2),
        vg(11, 72), radius(0, 9);
    const char* codes[] = {"A", "GEM", "WK_PER", "ABCD_EF"};
    const char* names[] = {"", "Perseids", "Southern delta Aquariids"};
    for (int i = 0; i < 500; ++i) {
        const StreamValues written =
            stream(codes[i % 4], names[i % 3], sol(random), sol(random), sol(random), ra(random),
                   dec(random), drift(random), drift(random), vg(random), radius(random));
        const std::string line = tarnRadiantLine(written, kYear);
        const std::optional<FixedWidthLine> read = parseFixedWidthLine(line);
        ASSERT_TRUE(read) << line;
        EXPECT_EQ(read->code, written.code);
        int m1 = 0, d1 = 0, m2 = 0, d2 = 0;
        ASSERT_TRUE(SolToMonthDay(written.sol1, kYear, m1, d1));
        ASSERT_TRUE(SolToMonthDay(written.sol2, kYear, m2, d2));
        EXPECT_EQ(std::vector<int>({read->m1, read->d1, read->m2, read->d2}),
                  std::vector<int>({m1, d1, m2, d2}));
        const float pairs[][2] = {{read->solp, written.solp}, {read->ra, written.ra},
                                  {read->dec, written.dec},   {read->dra, written.dra},
                                  {read->ddec, written.ddec}, {read->vg, written.vg},
                                  {read->R, written.R}};
        for (const auto& [got, want] : pairs)
            EXPECT_NEAR(got, want, 0.0501) << line;
        const std::string firstWord = std::string(written.name).substr(0, written.name.find(' '));
        EXPECT_EQ(read->name, line.size() >= 123 ? firstWord : "") << line;
    }
}

struct BadFixedCase {
    const char* name;
    const char* line;
};

const BadFixedCase kBadFixedCases[] = {
    {"blank", ""},
    {"blanks", "        "},
    {"garbage", "#### this is not a stream ####"},
    {"short", "  GEM     04      12      17      12      14      12      262.0   112.3"},
    {"letters for a number", "  GEM     04      12      xx      12      14      12      262.0   "
                             "112.3    32.5   1.0     -0.2    34.6    0.0     6.0"},
    {"code over 7 characters", "ABCDEFGH  04      12      17      12      14      12      262.0 "
                               "  112.3    32.5   1.0     -0.2    34.6    0.0     6.0"},
};

class BadFixedLineTest : public testing::TestWithParam<BadFixedCase> {};

TEST_P(BadFixedLineTest, IsNotAStream) { EXPECT_FALSE(parseFixedWidthLine(GetParam().line)); }

INSTANTIATE_TEST_SUITE_P(Lines, BadFixedLineTest, testing::ValuesIn(kBadFixedCases), caseName);

TEST(FixedWidthStream, TakesItsDatesAtMidnightOfTheYear)
{
    FixedWidthLine line;
    line.code = "PER";
    line.d1 = 17;
    line.m1 = 7;
    line.d2 = 24;
    line.m2 = 8;
    line.vg = 59.1f;
    const std::optional<StreamValues> values = fixedWidthStream(line, kYear);
    ASSERT_TRUE(values);
    EXPECT_FLOAT_EQ(values->sol1,
                    static_cast<float>(SolarLongitude(DateToJD(2007, 7, 17, 0, 0, 0))));
    EXPECT_FLOAT_EQ(values->sol2,
                    static_cast<float>(SolarLongitude(DateToJD(2007, 8, 24, 0, 0, 0))));
    EXPECT_EQ(values->type, 1);
    line.d2 = 31;
    line.m2 = 9; // 31 September
    EXPECT_FALSE(fixedWidthStream(line, kYear));
}

struct UleCase {
    const char* name;
    const char* line;
    int brokenField; // 0 for a good line, the table-number field counts as broken too
    bool good;
};

const UleCase kUleCases[] = {
    {"good",
     "301,4100000001,1,_WK_CAP,_alpha Cap,117,137,127,306.5,-9.2,0.97,0.24,23,1,3,2,0.1,77,_m", 0,
     true},
    {"wrong table number", "302,1,1,_WK_CAP,_x,1,2,3,4,5,6,7,8,1,1,1,1,0,_", 0, false},
    {"no table number", "abc,1,1,_WK_CAP,_x,1,2,3,4,5,6,7,8,1,1,1,1,0,_", 0, false},
    {"short line", "301,1,1,_WK_CAP,_x,1", 6, false},
    {"no code", "301,1", 3, false},
    {"code without _", "301,1,1,_CAP,_x,1,2,3,4,5,6,7,8,1,1,1,1,0,_", 3, false},
    {"code only _", "301,1,1,_,_x,1,2,3,4,5,6,7,8,1,1,1,1,0,_", 3, false},
    {"vg not a number", "301,1,1,_WK_CAP,_x,1,2,3,4,5,6,7,fast,1,1,1,1,0,_", 12, false},
    {"type not a number", "301,1,1,_WK_CAP,_x,1,2,3,4,5,6,7,8,one,1,1,1,0,_", 13, false},
    {"empty D'", "301,1,1,_WK_CAP,_x,1,2,3,4,5,6,7,8,1,1,1,,0,_", 16, false},
};

class UleLineTest : public testing::TestWithParam<UleCase> {};

TEST_P(UleLineTest, ReadsOrNamesTheBrokenField)
{
    const UleLine read = parseUleLine(GetParam().line);
    EXPECT_EQ(read.values.has_value(), GetParam().good);
    EXPECT_EQ(read.brokenField, GetParam().brokenField);
}

INSTANTIATE_TEST_SUITE_P(Lines, UleLineTest, testing::ValuesIn(kUleCases), caseName);

TEST(UleLine, TakesTheCodeAfterItsDataSourceAndNoTypicalOrbit)
{
    const UleLine read = parseUleLine(kUleCases[0].line);
    ASSERT_TRUE(read.values);
    EXPECT_EQ(read.values->code, "CAP");
    EXPECT_EQ(read.values->name, "alpha Cap");
    EXPECT_EQ(read.values->memo, "m");
    EXPECT_FLOAT_EQ(read.values->vg, 23);
    EXPECT_FLOAT_EQ(read.values->Dp, 0.1f);
}

} // namespace
