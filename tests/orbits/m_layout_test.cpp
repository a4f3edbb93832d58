// The M layout: radiant lines, their defaults, and the orbit computed from the radiant.
#include <gtest/gtest.h>

#include <cmath>

#include "conversion_harness.h"

namespace {

// 2009-12-14: MJD 55179 (2009-01-01 is 54832, plus 347 days), plus the fixed 64.184 s.
const double kGeminidMjd = 55179.0 + 64.184 / 86400.0;

TEST(MLayout, LineWithOnlyTheDateTakesTheDefaults)
{
    ConversionHarness h;
    ASSERT_EQ(h.convert(OrbitLayout::M, "M1.csv", "90,2009,12,14\r\n"), 1);
    const Fields r = h.targetRows().at(0);
    ASSERT_EQ(r.size(), 26u);
    EXPECT_EQ(r[3], "_");
    EXPECT_NEAR(number(r[4]), kGeminidMjd, 1e-6);
    EXPECT_NEAR(number(r[5]), almanacSunLongitude(kGeminidMjd + 2400000.5), 0.2);
    EXPECT_EQ(Fields(r.begin() + 6, r.begin() + 10),
              (Fields{"0.000000", "0.000000", "0.000000", "1"}));
    // With vg 0 the meteoroid moves with the Earth: the Earth's orbit, a = 1, e = 0.0167.
    EXPECT_NEAR(number(r[10]), 1.0, 0.02);
    EXPECT_NEAR(number(r[11]), 0.984, 0.02);
    EXPECT_NEAR(number(r[12]), 0.0167, 0.005);
    EXPECT_LT(number(r[15]), 0.1);
    const Fields tail{"0.000000",  "0.000000",  "-1.000000", "-1.000000", "-1.000000",
                      "-1.000000", "-1.000000", "0.000000",  "-1.000000", "_"};
    EXPECT_EQ(Fields(r.begin() + 16, r.end()), tail);
}

TEST(MLayout, FullLineGivesTheOrbitOfItsRadiant)
{
    ConversionHarness h;
    // The Perseid radiant of 2000 August 11, 0 h (JD 2451767.5): ra 48.2, dec 58.1, vg 59.1.
    const std::string line = "90, 2000,8, 11,0,0,0.4,48.2,58.1,59.1,-2.5,_Perseid,__memo 1\n";
    ASSERT_EQ(h.convert(OrbitLayout::M, "M1.csv", line), 1);
    const Fields r = h.targetRows().at(0);
    EXPECT_EQ(r[3], "_Perseid");
    EXPECT_NEAR(number(r[4]), 51767.0 + 64.184 / 86400.0, 1e-6);
    EXPECT_EQ(Fields(r.begin() + 6, r.begin() + 9),
              (Fields{"48.200001", "58.099998", "59.099998"}));
    // Worked example of the radiant-to-orbit computation: q 0.936, e 0.966, i 112.7,
    // node 138.6, peri 147.6 (the published Perseid mean orbit is q 0.95, e 0.97, i 113).
    const double a = number(r[10]), q = number(r[11]), e = number(r[12]);
    EXPECT_NEAR(q, 0.936, 0.002);
    EXPECT_NEAR(e, 0.966, 0.002);
    EXPECT_NEAR(a * (1 - e), q, 1e-3);
    EXPECT_NEAR(number(r[13]), 147.6, 0.2);
    EXPECT_NEAR(number(r[14]), 138.6, 0.1);
    EXPECT_NEAR(number(r[15]), 112.7, 0.1);
    EXPECT_EQ(r[23], "-2.500000");
    EXPECT_EQ(r[25], "__memo 1"); // one leading "_" dropped, then the marker
}

struct MLineCase {
    const char* label;
    std::string line;
    double mjd; // expected
    std::string name;
};

const MLineCase kMLineCases[] = {
    // 2007-01-01, MJD 54101.
    {"empty tokens keep defaults", "90,,,,,,,,,\n", 54101.0 + 64.184 / 86400, "_"},
    {"seconds rounded up", "90,2007,1,1,0,0,30.5\n", 54101.0 + (31 + 64.184) / 86400, "_"},
    {"seconds rounded down", "90,2007,1,1,0,0,30.49\n", 54101.0 + (30 + 64.184) / 86400, "_"},
    {"words keep defaults", "90,abc,x,1,0,0,0\n", 54101.0 + 64.184 / 86400, "_"},
    {"name without marker", "90,2007,1,1,0,0,0,0,0,0,0,Leonid\n", 54101.0 + 64.184 / 86400,
     "_Leonid"},
    {"name cut to 63", "90,2007,1,1,0,0,0,0,0,0,0,_" + std::string(70, 'n') + "\n",
     54101.0 + 64.184 / 86400, "_" + std::string(63, 'n')},
    {"floats beyond range keep defaults", "90,2007,1,1,0,0,1e60,1e60,nan,inf\n",
     54101.0 + 64.184 / 86400, "_"},
};

class MLineTest : public testing::TestWithParam<MLineCase> {};

TEST_P(MLineTest, TokensAndDefaults)
{
    const MLineCase& c = GetParam();
    ConversionHarness h;
    ASSERT_EQ(h.convert(OrbitLayout::M, "M1.csv", c.line), 1);
    const Fields r = h.targetRows().at(0);
    EXPECT_NEAR(number(r[4]), c.mjd, 1e-6);
    EXPECT_EQ(r[3], c.name);
}

INSTANTIATE_TEST_SUITE_P(Lines, MLineTest, testing::ValuesIn(kMLineCases), [](const auto& info) {
    std::string name = info.param.label;
    for (char& ch : name)
        if (ch == ' ')
            ch = '_';
    return name;
});

TEST(MLayout, OnlyLinesBeginningWith90AreRows)
{
    ConversionHarness h;
    const std::string source = "tag,year,month\r\n"
                               "90,2009,12,14\r"
                               " 90,2009,12,14\r\n"
                               "91,2009,12,14\n"
                               "\n"
                               "9\n"
                               "90,2009,12,15";
    ASSERT_EQ(h.convert(OrbitLayout::M, "M1.csv", source), 2);
    const std::vector<Fields> rows = h.targetRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NEAR(number(rows[1][4]) - number(rows[0][4]), 1.0, 1e-6);
}

TEST(MLayout, WritesEveryRowEvenWhenTheIndexHoldsIt)
{
    ConversionHarness h;
    h.index = DuplicateIndex({{kGeminidMjd, "", ""}});
    EXPECT_EQ(h.convert(OrbitLayout::M, "M1.csv", "90,2009,12,14\n90,2009,12,14\n"), 2);
}

} // namespace

namespace {

TEST(MLayout, ManyRowsComeOutInSourceOrderWithTheirOwnOrbits)
{
    // More rows than one batch of computed orbits, each minute its own radiant.
    std::vector<std::string> lines;
    std::string source;
    for (int i = 0; i < 5000; ++i) {
        lines.push_back("90,2009,12," + std::to_string(1 + i / 1440) + "," +
                        std::to_string(i / 60 % 24) + "," + std::to_string(i % 60) + ",0," +
                        std::to_string(i % 360) + "," + std::to_string(i % 180 - 89) + "," +
                        std::to_string(11 + i % 60) + ",0,_r" + std::to_string(i) + "\n");
        source += lines.back();
    }
    ConversionHarness h;
    ASSERT_EQ(h.convert(OrbitLayout::M, "M1.csv", source), 5000);
    const std::vector<Fields> rows = h.targetRows();
    ASSERT_EQ(rows.size(), 5000u);
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(rows[i][1], std::to_string(ConversionHarness::kFirstOid + i));
        ASSERT_EQ(rows[i][3], "_r" + std::to_string(i));
    }
    // A row converted alone has the same orbit.
    for (int i : {0, 1, 2047, 4095, 4096, 4999}) {
        ConversionHarness alone;
        ASSERT_EQ(alone.convert(OrbitLayout::M, "M1.csv", lines[i]), 1);
        const Fields single = alone.targetRows().at(0);
        EXPECT_EQ(Fields(single.begin() + 3, single.end()),
                  Fields(rows[i].begin() + 3, rows[i].end()))
            << "row " << i;
    }
}

} // namespace
