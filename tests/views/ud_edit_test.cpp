// The bound numeric edit and bound check box: spin steps, limits, formats, typed text.
#include <gtest/gtest.h>

#include <climits>
#include <variant>

#include "views/ud_edit.h"

namespace {

constexpr int kOtherFloat = 6; // any kind but 1 and 11

struct Bound {
    int integer = 0;
    float real = 0;
};

UDEditDef integerEdit(Bound& bound, int value)
{
    UDEditDef def;
    def.kind = kUDKindInteger;
    bound.integer = value;
    def.variable = &bound.integer;
    return def;
}

UDEditDef floatEdit(Bound& bound, float value, int kind = kOtherFloat)
{
    UDEditDef def;
    def.kind = kind;
    bound.real = value;
    def.variable = &bound.real;
    return def;
}

struct SpinCase {
    const char* name;
    bool integer;
    double start;
    float maximum;
    float minimum;
    float step;
    UDLimit limit;
    int direction;
    double expected;
    int expectedCarry;
};

constexpr int kCarry = 3;

const SpinCase kSpinCases[] = {
    // The month edit of a date: maximum 12, minimum 1, wrapping into the year.
    {"MonthWrapsUpToOne", true, 12, 12, 1, 0, UDLimit::Wrap, +1, 1, kCarry},
    {"MonthWrapsDownToTwelve", true, 1, 12, 1, 0, UDLimit::Wrap, -1, 12, kCarry},
    {"IntegerInsideRange", true, 5, 12, 1, 0, UDLimit::Wrap, +1, 6, -1},
    {"IntegerClampsAtMaximum", true, 12, 12, 1, 0, UDLimit::Clamp, +1, 12, -1},
    {"IntegerClampsAtMinimum", true, 1, 12, 1, 0, UDLimit::Clamp, -1, 1, -1},
    {"IntegerUnlimitedPassesMaximum", true, 12, 12, 1, 0, UDLimit::None, +1, 13, -1},
    {"IntegerGivenStep", true, 10, 100, 0, 5, UDLimit::Clamp, +1, 15, -1},
    {"IntegerSaturatesInsteadOfOverflowing", true, INT_MAX, 0, 0, 0, UDLimit::None, +1, INT_MAX,
     -1},
    // Automatic float steps: 1 from 2, 0.1 from 0.2, else 0.01.
    {"AutoStepOneFromTwo", false, 2, 0, 0, 0, UDLimit::None, +1, 3, -1},
    {"AutoStepOneAboveTwoDown", false, 2.5, 0, 0, 0, UDLimit::None, -1, 1.5, -1},
    {"AutoStepTenthBelowTwo", false, 1.9, 0, 0, 0, UDLimit::None, +1, 2.0, -1},
    {"AutoStepTenthFromFifth", false, 0.2, 0, 0, 0, UDLimit::None, -1, 0.1, -1},
    {"AutoStepHundredthBelowFifth", false, 0.19, 0, 0, 0, UDLimit::None, +1, 0.2, -1},
    // The rule looks at the signed value: negative values step by 0.01.
    {"AutoStepHundredthForNegative", false, -5, 0, 0, 0, UDLimit::None, +1, -4.99, -1},
    {"FloatGivenStep", false, 10, 0, 0, 2.5f, UDLimit::None, -1, 7.5, -1},
    {"FloatWrapsAboveMaximum", false, 359.5, 360, 0, 1, UDLimit::Wrap, +1, 0, kCarry},
    {"FloatWrapsBelowMinimum", false, 0.5, 360, 0, 1, UDLimit::Wrap, -1, 360, kCarry},
    {"FloatClampsAtMinimum", false, 0.5, 1, 0.45f, 0, UDLimit::Clamp, -1, 0.45, -1},
};

class SpinTest : public ::testing::TestWithParam<SpinCase> {};

} // namespace

TEST_P(SpinTest, StepsLimitsAndCarry)
{
    const SpinCase& c = GetParam();
    Bound bound;
    UDEditDef def = c.integer ? integerEdit(bound, static_cast<int>(c.start))
                              : floatEdit(bound, static_cast<float>(c.start));
    def.maximum = c.maximum;
    def.minimum = c.minimum;
    def.step = c.step;
    def.limit = c.limit;
    def.carry = kCarry;
    CUDEdit edit(def);
    const int carry = c.direction > 0 ? edit.spinUp() : edit.spinDown();
    EXPECT_EQ(carry, c.expectedCarry);
    if (c.integer)
        EXPECT_EQ(bound.integer, static_cast<int>(c.expected));
    else
        EXPECT_NEAR(bound.real, c.expected, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(CUDEdit, SpinTest, ::testing::ValuesIn(kSpinCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CUDEdit, TextFollowsTheKind)
{
    struct Case {
        const char* name;
        int kind;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {"integer", kUDKindInteger, 42, "42"},
        {"negative integer", kUDKindInteger, -7, "-7"},
        {"whole float", kUDKindWhole, 2.6, "3"},
        {"whole float below one", kUDKindWhole, 0.4, "0"},
        {"float below one", kOtherFloat, 0.5, "0.50"},
        {"float just below one", kOtherFloat, 0.999, "1.00"},
        {"float one", kOtherFloat, 1.0, "1.0"},
        {"float above one", kOtherFloat, 12.34, "12.3"},
        {"negative float", kOtherFloat, -3, "-3.00"},
    };
    for (const Case& c : cases) {
        Bound bound;
        const UDEditDef def = c.kind == kUDKindInteger
                                  ? integerEdit(bound, static_cast<int>(c.value))
                                  : floatEdit(bound, static_cast<float>(c.value), c.kind);
        EXPECT_EQ(CUDEdit(def).text(), c.text) << c.name;
    }
}

TEST(CUDEdit, TypedTextIsReadAndReportsAChange)
{
    struct Case {
        const char* name;
        bool integer;
        double start;
        const char* typed;
        bool changed;
        double value;
    };
    const Case cases[] = {
        {"integer", true, 5, "17", true, 17},
        {"integer prefix as %d reads it", true, 5, " 17xyz", true, 17},
        {"same integer", true, 5, "5", false, 5},
        {"not a number", true, 5, "abc", false, 5},
        {"empty", true, 5, "", false, 5},
        {"too large for int", true, 5, "99999999999", true, INT_MAX},
        {"only 15 characters count", true, 5, "000000000000000123", true, 0},
        {"float", false, 1, "2.5", true, 2.5},
        {"float exponent", false, 1, "1e3", true, 1000},
        {"negative float", false, 1, "-0.25", true, -0.25},
        {"same float", false, 2.5, "2.50", false, 2.5},
        {"not a finite number", false, 1, "nan", false, 1},
        {"infinity", false, 1, "inf", false, 1},
    };
    for (const Case& c : cases) {
        Bound bound;
        CUDEdit edit(c.integer ? integerEdit(bound, static_cast<int>(c.start))
                               : floatEdit(bound, static_cast<float>(c.start)));
        EXPECT_EQ(edit.readText(c.typed), c.changed) << c.name;
        EXPECT_EQ(edit.value(), c.value) << c.name;
    }
}

TEST(CUDEdit, SpinIdFollowsTheEditId)
{
    Bound bound;
    UDEditDef def = integerEdit(bound, 1);
    def.id = 1200;
    EXPECT_EQ(CUDEdit(def).spinId(), 1201);
    EXPECT_FALSE(CUDEdit(def).hasLabel());
    def.labelWidth = 30;
    EXPECT_TRUE(CUDEdit(def).hasLabel());
}

TEST(CUDCheck, EditValuesCountOnlyWhileChecked)
{
    int flag = 0;
    Bound low, high;
    UDCheckDef def;
    def.flag = &flag;
    def.first = floatEdit(low, 1.5f);
    def.second = floatEdit(high, 4.0f);
    CUDCheck check(def);
    EXPECT_FALSE(check.checked());
    EXPECT_FALSE(check.countedValue(0));
    EXPECT_FALSE(check.countedValue(1));

    check.click(true);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(check.countedValue(0), 1.5);
    EXPECT_EQ(check.countedValue(1), 4.0);
    check.second()->spinUp();
    EXPECT_EQ(check.countedValue(1), 5.0);
    EXPECT_EQ(high.real, 5.0f);

    check.click(false);
    EXPECT_EQ(flag, 0);
    EXPECT_FALSE(check.countedValue(0));
}

TEST(CUDCheck, SingleEditHasNoSecondValue)
{
    int flag = 1;
    Bound bound;
    UDCheckDef def;
    def.flag = &flag;
    def.first = integerEdit(bound, 7);
    CUDCheck check(def);
    EXPECT_EQ(check.second(), nullptr);
    EXPECT_EQ(check.countedValue(0), 7.0);
    EXPECT_FALSE(check.countedValue(1));
}
