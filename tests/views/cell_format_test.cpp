// Number formats and typed numbers of the list views and editors.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "views/cell_format.h"

namespace {

struct FormatCase {
    const char* name;
    std::string (*format)();
    const char* expected;
};

// A layout format must print exactly one number of its kind; anything else
// would hand printf the wrong argument, so the file format is used instead.
const FormatCase kFormatCases[] = {
    {"SignedWidth", [] { return formatSigned("%4d", -3); }, "  -3"},
    {"SignedAsUnsigned", [] { return formatSigned("%u", -1); }, "4294967295"},
    {"UnsignedAsSigned", [] { return formatUnsigned("%d", 4294967295u); }, "-1"},
    {"TextAround", [] { return formatUnsigned("#%u!", 7u); }, "#7!"},
    {"PercentSignPasses", [] { return formatSigned("%d%%", 50); }, "50%"},
    {"StringFallsBack", [] { return formatSigned("%s", 12); }, "12"},
    {"TwoConversionsFallBack", [] { return formatUnsigned("%u%u", 5u); }, "5"},
    {"LengthModifierFallsBack", [] { return formatSigned("%ld", 5); }, "5"},
    {"StarFallsBack", [] { return formatSigned("%*d", 5); }, "5"},
    {"NoConversionFallsBack", [] { return formatSigned("id", 5); }, "5"},
    {"FloatPrecision", [] { return formatFloat("%.2f", 1.005f); }, "1.00"},
    {"FloatExponent", [] { return formatFloat("%.1e", 1500.0f); }, "1.5e+03"},
    {"IntegerFormatOnFloatFallsBack", [] { return formatFloat("%d", 1.5f); }, "1.500000"},
};

class LayoutFormat : public ::testing::TestWithParam<FormatCase> {};

} // namespace

TEST_P(LayoutFormat, PrintsOrFallsBack) { EXPECT_EQ(GetParam().format(), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(CellFormat, LayoutFormat, ::testing::ValuesIn(kFormatCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CellFormat, ParsesLikeTheTableFileFormats)
{
    EXPECT_EQ(parseSigned("  -12abc"), -12);
    EXPECT_EQ(parseSigned("+7"), 7);
    EXPECT_EQ(parseSigned("-99999999999"), INT32_MIN);
    EXPECT_FALSE(parseSigned("x1"));
    EXPECT_FALSE(parseSigned(""));
    EXPECT_EQ(parseUnsigned("4294967295"), 4294967295u);
    EXPECT_EQ(parseUnsigned("4294967296"), 4294967295u) << "held at the limit";
    EXPECT_EQ(parseUnsigned("-2"), 4294967294u) << "a minus wraps as with \"%u\"";
    EXPECT_EQ(parseFloat("3.5km"), 3.5f);
    EXPECT_FALSE(parseFloat("inf"));
    EXPECT_FALSE(parseFloat("."));
}

TEST(CellFormat, StorableTextsAndCuts)
{
    EXPECT_TRUE(isStorableText("Perseids 2020; _memo_"));
    EXPECT_FALSE(isStorableText("a,b"));
    EXPECT_FALSE(isStorableText("a\rb"));
    EXPECT_FALSE(isStorableText("a\nb"));
    EXPECT_EQ(cutText("abcdef", 4), "abcd");
    EXPECT_EQ(cutText("abc", 4), "abc");
    EXPECT_EQ(cutText("ab\xe2\x82\xac", 4), "ab") << "the euro sign is not split";
    EXPECT_EQ(cutText("abc\xe2\x82\xac", 6), "abc\xe2\x82\xac");
    // Latin-1 bytes in the continuation range: at most three are given up.
    EXPECT_EQ(cutText("\xb0\xb0\xb0\xb0\xb0\xb0", 5), "\xb0\xb0");
}
