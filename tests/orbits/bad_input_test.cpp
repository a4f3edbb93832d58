// Malformed sources in every layout: the failure and its message, and the target left as it
// was, whether it existed before or not.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "conversion_harness.h"

namespace {

// A valid data line of each layout, to put before the broken one.
const std::string kGoodO = "501,1,1,_n,55000.5,1,2,3,4,1,5,6,7,8,9,10,0,0,1,2,3,4,5,6,7,_m\n";
const std::string kGoodM = "90,2009,12,14\n";
const std::string kTextHead = "h1\nh2\n";
const std::string kGoodText = "T1 2010 8 12 21 30 45 46.1 0.5 57.6 0.3 59.1 1.2 15 0.93 0.95 151 "
                              "139 113 105 90 45 -2.1 0.01\n";
const std::string kGoodDat = "A0001    B0002  memo\n 8 12.5 2010 140 46 57 11 59\n"
                             " 0.95 15 1 0.93 113 151 139\n 1 0.5 105 2 90 3 0.001\nfifth\n";

std::string csvFields(const std::string& first, int count)
{
    std::string line = first;
    for (int i = 1; i < count; ++i)
        line += ",_" + std::to_string(i);
    return line + "\n";
}

struct BadCase {
    const char* label;
    OrbitLayout layout;
    std::string source;
};

const std::string kText = "File format invalid!! aborted";

const BadCase kBadCases[] = {
    {"O_wrong_tag", OrbitLayout::O, "h\n" + kGoodO + "502" + kGoodO.substr(3)},
    {"O_no_text_marker", OrbitLayout::O, "h\n" + kGoodO + "501,1,1,2,3\n"},
    {"O_short_line", OrbitLayout::O, "h\n" + kGoodO + "501,1,1,_n,55000.5\n"},
    {"O_blank_line", OrbitLayout::O, "h\n" + kGoodO + "\n" + kGoodO},
    {"O_over_long_line", OrbitLayout::O, "h\n" + kGoodO + "501,_" + std::string(1000, 'x') + "\n"},
    {"O_over_long_header", OrbitLayout::O, std::string(1001, 'h') + "\n" + kGoodO},
    {"U_wrong_tag", OrbitLayout::U, "h\n" + csvFields("M04_0", 90) + csvFields("M04_1", 90)},
    {"U_over_long_line", OrbitLayout::U,
     "h\n" + csvFields("M04_0", 90) + "M04_0" + std::string(996, ',') + "\n"},
    {"U2_wrong_tag", OrbitLayout::U2, "h\n" + csvFields("51", 80) + csvFields("52", 80)},
    {"U2_short_line", OrbitLayout::U2, "h\n" + csvFields("51", 80) + csvFields("51", 77)},
    {"U2_over_long_line", OrbitLayout::U2,
     "h\n" + csvFields("51", 80) + "51" + std::string(3999, ',') + "\n"},
    {"M_over_long_line", OrbitLayout::M, kGoodM + "90" + std::string(3999, ' ') + "\n"},
    {"Text_empty", OrbitLayout::Text, ""},
    {"Text_one_line", OrbitLayout::Text, "h1\n"},
    {"Text_short_line", OrbitLayout::Text, kTextHead + kGoodText + "T2 2010 8 12 21 30 45 46.1\n"},
    {"Text_not_numbers", OrbitLayout::Text, kTextHead + kGoodText + "T2 2010 8 12 x y z\n"},
    {"Text_not_finite", OrbitLayout::Text,
     kTextHead + "T1 2010 8 12 21 30 45 nan" + kGoodText.substr(26)},
    {"Text_comma_in_tag", OrbitLayout::Text, kTextHead + "T,1" + kGoodText.substr(2)},
    {"Text_over_long_line", OrbitLayout::Text, kTextHead + kGoodText + std::string(1001, 'T')},
    {"Dat_wrong_line_1", OrbitLayout::Dat, kGoodDat + "A0002\n" + kGoodDat.substr(21)},
    {"Dat_not_numbers", OrbitLayout::Dat, kGoodDat + "A0002    B0002  memo\n 8 x y\n"},
    {"Dat_missing_line", OrbitLayout::Dat, kGoodDat + kGoodDat.substr(0, 50)},
    {"Dat_missing_fifth_line", OrbitLayout::Dat,
     kGoodDat + kGoodDat.substr(0, kGoodDat.size() - 6)},
    {"Dat_blank_inside", OrbitLayout::Dat,
     kGoodDat + kGoodDat.substr(0, 21) + "\n" + kGoodDat.substr(21)},
    {"Dat_blank_fifth_line", OrbitLayout::Dat, kGoodDat.substr(0, kGoodDat.size() - 6) + "\n"},
    {"Dat_huge_day", OrbitLayout::Dat,
     "A0001    B0002  memo\n 8 1e30 2010 140 46 57 11 59\n" + kGoodDat.substr(50)},
    {"Dat_over_long_line", OrbitLayout::Dat, kGoodDat + std::string(1001, 'A')},
};

bool reportsInvalid(OrbitLayout layout)
{
    return layout == OrbitLayout::M || layout == OrbitLayout::Text || layout == OrbitLayout::Dat;
}

class BadInputTest : public testing::TestWithParam<BadCase> {};

TEST_P(BadInputTest, FailsAndLeavesANewTargetAbsent)
{
    const BadCase& c = GetParam();
    ConversionHarness h;
    EXPECT_EQ(h.convert(c.layout, "source", c.source), -1);
    EXPECT_FALSE(std::filesystem::exists(h.target()));
    const std::vector<std::string> expected =
        reportsInvalid(c.layout) ? std::vector<std::string>{kText} : std::vector<std::string>{};
    EXPECT_EQ(h.messages(), expected);
}

TEST_P(BadInputTest, FailsAndLeavesAnExistingTargetAsItWas)
{
    const BadCase& c = GetParam();
    ConversionHarness h;
    const std::string before = orbitFileHeader() + "501,7,1,_x,1.0\r\n";
    writeFileBytes(h.target(), before);
    EXPECT_EQ(h.convert(c.layout, "source", c.source), -1);
    EXPECT_EQ(readFileBytes(h.target()), before);
}

INSTANTIATE_TEST_SUITE_P(Layouts, BadInputTest, testing::ValuesIn(kBadCases),
                         [](const auto& info) { return std::string(info.param.label); });

// The good lines above are good: the failures come from the broken part.
TEST(BadInput, TheGoodPartsConvert)
{
    ConversionHarness h;
    EXPECT_EQ(h.convert(OrbitLayout::O, "s1", "h\n" + kGoodO), 1);
    EXPECT_EQ(h.convert(OrbitLayout::M, "s2", kGoodM), 1);
    EXPECT_EQ(h.convert(OrbitLayout::Text, "s3", kTextHead + kGoodText), 1);
    EXPECT_EQ(h.convert(OrbitLayout::Dat, "s4", kGoodDat), 1);
    EXPECT_EQ(h.convert(OrbitLayout::U2, "s5", "h\n" + csvFields("51", 80)), 1);
    EXPECT_EQ(h.targetRows().size(), 5u);
}

// Every data line a converter writes has the 26 fields of the orbit table.
void expectWholeRows(const std::string& target)
{
    const std::string text = readFileBytes(target);
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t end = text.find("\r\n", begin);
        ASSERT_NE(end, std::string::npos);
        const std::string line = text.substr(begin, end - begin);
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 25) << line;
        begin = end + 2;
    }
}

TEST(BadInput, RandomBytesNeverBreakAConversion)
{
    std::mt19937 random(1312);
    const char* tags[] = {"", "501,", "M04_0", "51", "90,", "T1 2010 ", "A0001    "};
    const OrbitLayout layouts[] = {OrbitLayout::O, OrbitLayout::U,    OrbitLayout::U2,
                                   OrbitLayout::M, OrbitLayout::Text, OrbitLayout::Dat};
    for (int round = 0; round < 300; ++round) {
        const OrbitLayout layout = layouts[round % 6];
        std::string source;
        const int lines = static_cast<int>(random() % 8);
        for (int line = 0; line < lines; ++line) {
            source += tags[random() % std::size(tags)];
            const std::size_t length = random() % 200;
            for (std::size_t i = 0; i < length; ++i)
                source += static_cast<char>(random() % 4 ? "0123456789., -_\r"[random() % 16]
                                                         : random() % 256);
            source += '\n';
        }
        ConversionHarness h;
        const std::int64_t rows = h.convert(layout, "source", source);
        if (rows < 0) {
            EXPECT_FALSE(std::filesystem::exists(h.target()));
            continue;
        }
        if (layout != OrbitLayout::O)
            expectWholeRows(h.target());
    }
}

} // namespace
