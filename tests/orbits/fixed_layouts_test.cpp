// The text and dat layouts: fixed conversions, computed fields, blank and broken lines.
#include <gtest/gtest.h>

#include <cmath>

#include "conversion_harness.h"

namespace {

// 2010-08-12 21:30:45: MJD 55420 plus the time of day and the fixed 64.184 s.
const double kPerseidMjd = 55420.0 + (21 * 3600 + 30 * 60 + 45 + 64.184) / 86400.0;

const std::string kTextHeader = "Tag    Year M  D  h  m  s  ra     sra  dec    sdec vg    svg\n"
                                "------ ---- -- -- -- -- -- ------ ---- ------ ---- ----- ---\n";

// tag, date and time, ra 46.1 (0.5), dec 57.6 (0.3), vg 59.1 (1.2), a 15, e 0.93, q 0.95,
// peri 151, node 139.4, incl 113, Hb 105, He 90, zr 45, mag -2.1, mass 0.0123
std::string textLine(const std::string& tag)
{
    return tag + " 2010  8 12 21 30 45 046.10 0.50 +57.60 0.30 59.10 1.2 15.00 0.930 0.950 "
                 "151.0 139.4 113.0 105.0 090.0 045.0 -2.1 0.0123\r\n";
}

TEST(TextLayout, WritesEveryFieldFromItsConversion)
{
    ConversionHarness h;
    ASSERT_EQ(h.convert(OrbitLayout::Text, "cat.txt", kTextHeader + textLine("AB1234")), 1);
    const Fields r = h.targetRows().at(0);
    ASSERT_EQ(r.size(), 26u);
    EXPECT_EQ(r[3], "_WK_AB1234");
    EXPECT_NEAR(number(r[4]), kPerseidMjd, 1e-6);
    EXPECT_NEAR(number(r[5]), almanacSunLongitude(kPerseidMjd + 2400000.5), 0.2);
    const double expected[] = {46.1, 57.6, 59.1, 1, 15, 0.95, 0.93, 151, 139.4, 113, 0, 0};
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_NEAR(number(r[6 + i]), expected[i], 1e-5) << "field " << 6 + i;
    // Small angles: arccos(cos 0.5 cos 0.3) = hypot(0.5, 0.3) to 1e-6 degrees.
    EXPECT_NEAR(number(r[18]), std::hypot(0.5, 0.3), 1e-5);
    EXPECT_NEAR(number(r[19]), 1.2, 1e-6); // the velocity uncertainty
    const double tail[] = {105, 90, 45, -2.1, 0.0123};
    for (std::size_t i = 0; i < std::size(tail); ++i)
        EXPECT_NEAR(number(r[20 + i]), tail[i], 1e-6) << "field " << 20 + i;
    EXPECT_EQ(r[25], "_");
}

TEST(TextLayout, BlankLinesAreSkippedAndDuplicatesUseTheEmptyMemo)
{
    ConversionHarness h;
    h.index = DuplicateIndex({{kPerseidMjd, "WK_DUP", ""}});
    const std::string source =
        kTextHeader + "\r\n" + textLine("A1") + "   \n" + textLine("DUP") + textLine("A2") + "\n";
    ASSERT_EQ(h.convert(OrbitLayout::Text, "cat.txt", source), 2);
    const std::vector<Fields> rows = h.targetRows();
    EXPECT_EQ(rows.at(0)[3], "_WK_A1");
    EXPECT_EQ(rows.at(1)[3], "_WK_A2");
    EXPECT_EQ(rows.at(1)[1], "4100000001");
}

TEST(TextLayout, HeaderOnlyGivesNoRows)
{
    ConversionHarness h;
    EXPECT_EQ(h.convert(OrbitLayout::Text, "cat.txt", kTextHeader), 0);
    EXPECT_TRUE(h.messages().empty());
}

// Line 1: tags; line 2: month, day with fraction, year, sol, ra, dec, (ignored), vg;
// line 3: q, a, (ignored), e, incl, peri, node; line 4: (ignored), cos of the zenith distance,
// Hb, (ignored), He, (ignored), mass; line 5: ignored.
std::string datRecord(const std::string& t1, const std::string& day = "12.89635")
{
    return t1 +
           "    B0002  memo_text\n"
           " 8 " +
           day +
           " 2010 140.1 046.1 57.60 11.11 59.10\n"
           " 0.950 15.00000 1.00000 0.937 113.0 151.0 139.4\n"
           " 1.000 0.5000 105.0 2.000 090.0 3.0000 0.0012300\n"
           "end of record\n";
}

TEST(DatLayout, WritesEveryFieldFromItsRecord)
{
    ConversionHarness h;
    ASSERT_EQ(h.convert(OrbitLayout::Dat, "photo.dat", datRecord("A0001")), 1);
    const Fields r = h.targetRows().at(0);
    ASSERT_EQ(r.size(), 26u);
    EXPECT_EQ(r[3], "_WK_A0001_B0002");
    // Day 12.89635: 0.89635 * 24 = 21.5124 h, 0.5124 * 60 = 30.744 min, 0.744 * 60 = 44.6 s,
    // each truncated: 21:30:44.
    EXPECT_NEAR(number(r[4]), kPerseidMjd - 1 / 86400.0, 1e-6);
    const double expected[] = {140.1, 46.1, 57.6, 59.1, 1,   15,  0.95, 0.937, 151, 139.4,
                               113,   0,    0,    9.8,  9.8, 105, 90,   60,    0,   0.00123};
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_NEAR(number(r[5 + i]), expected[i], 2e-5) << "field " << 5 + i;
    EXPECT_EQ(r[25], "_memo_text");
}

TEST(DatLayout, RecordsMayBeSeparatedByBlankLines)
{
    ConversionHarness h;
    h.index = DuplicateIndex({{kPerseidMjd - 1 / 86400.0, "WK_DUP01_B0002", "memo_text"}});
    const std::string source = "\n" + datRecord("A0001") + "\r\n\n" + datRecord("DUP01") +
                               datRecord("A0002", "14.5") + "  \n";
    ASSERT_EQ(h.convert(OrbitLayout::Dat, "photo.dat", source), 2);
    const std::vector<Fields> rows = h.targetRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][3], "_WK_A0002_B0002");
    // 2010-08-14 12:00:00
    EXPECT_NEAR(number(rows[1][4]), 55422.5 + 64.184 / 86400.0, 1e-6);
}

} // namespace
