// The fast numeric field readers and the real writers against sscanf and snprintf.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "table/csv_field.h"

namespace {

// Fields that probe every rule: blanks, signs, wrapping, digits beyond the
// fast path, exponents, hex, inf and nan, trailing junk, float midpoints.
const std::vector<std::string> kTrickyFields = {
    "", " ", "-", "+", ".", "-.", "+.5", "5.", ".5", "0", "-0", "-0.0", "00012", " \t\v\f\r7",
    "12abc", "1e", "1e,", "1e+", "1e5", "1E-3", "2.5e-3x", "0x", "0x1p3", "0xg", "0X1.8", "inf",
    "-Infinity", "nan", "nan(abc)", "NaN", "-1", "-2147483648", "2147483647", "2147483648",
    "4294967295", "4294967296", "-4294967296", "99999999999", "999999999999999999",
    "9999999999999999999", "99999999999999999999", "18446744073709551616", "0.1", "0.000001",
    "16777217", "16777219.0", "0.000000059604644775390625", "3.4028235e38", "3.5e38", "1e-50",
    "123456789012345", "1234567890123456", "0.123456789012345", "58465.123456", "-12.345678",
    "1.000000", "1.5x", "1..5", "--1", "+-1", "- 1", "1 2", "_12",
    // Their nearest doubles are float midpoints: rounding through double
    // picks the wrong float (found by exact rational search).
    "1.00000661611557", "1.00001460313797", "1.00002783536911", "-1.00003319978714"};

std::string randomField(std::mt19937& random)
{
    static const char kAlphabet[] = " \t+-0123456789012345678901234567890123456789..eExXinfa_";
    std::uniform_int_distribution<int> length(0, 24);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
    std::string field(static_cast<std::size_t>(length(random)), ' ');
    for (char& c : field)
        c = kAlphabet[pick(random)];
    return field;
}

std::string randomNumberText(std::mt19937& random)
{
    std::uniform_real_distribution<double> exponent(-9, 14);
    std::uniform_int_distribution<int> style(0, 3);
    const double value = std::pow(10.0, exponent(random)) * (random() % 2 ? -1 : 1);
    const char* formats[] = {"%f", "%.9g", "%.3f", "%.17g"};
    char text[64];
    std::snprintf(text, sizeof text, formats[style(random)], value);
    return text;
}

std::vector<std::string> oracleFields()
{
    std::vector<std::string> fields = kTrickyFields;
    std::mt19937 random(501);
    for (int i = 0; i < 20000; ++i) {
        fields.push_back(randomField(random));
        fields.push_back(randomNumberText(random));
    }
    return fields;
}

template <typename T> std::uint32_t bitsOf(T value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::uint64_t bitsOf(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// A reader against its sscanf reference on one field: result, value bits and where
// parsing stopped; the whole-field reader against the reference followed by blanks only.
// The field is read up to its length within a line that goes on with digits.
template <typename T, typename Scan, typename Reference, typename Whole>
void expectAsSscanf(const std::string& field, Scan scan, Reference reference, Whole whole)
{
    const std::string line = field + "98765432";
    const char* begin = line.data();
    const char* end = begin + field.size();
    T fast{7}, expected{7}, read{7};
    const char* fastStop = nullptr;
    const char* expectedStop = nullptr;
    const bool converted = reference(begin, end, expected, &expectedStop);
    ASSERT_EQ(scan(begin, end, fast, &fastStop), converted) << field;
    EXPECT_EQ(bitsOf(fast), bitsOf(expected)) << field;
    if (converted) {
        EXPECT_EQ(fastStop, expectedStop) << field;
    }
    const bool wholeExpected = converted && std::all_of(expectedStop, end, [](char c) {
                                   return std::isspace(static_cast<unsigned char>(c)) != 0;
                               });
    EXPECT_EQ(whole(begin, end, read), wholeExpected) << field;
    EXPECT_EQ(bitsOf(read), bitsOf(wholeExpected ? expected : T{7})) << field;
}

template <typename T>
void expectWriterGivesPrintf(const std::vector<T>& values, char* (*format)(char*, T))
{
    for (T value : values) {
        char fast[kMaxNumberText];
        char reference[kMaxNumberText];
        const int length =
            std::snprintf(reference, sizeof reference, "%f", static_cast<double>(value));
        char* end = format(fast, value);
        ASSERT_EQ(std::string(fast, end), std::string(reference, static_cast<std::size_t>(length)))
            << "bits " << bitsOf(value);
    }
}

} // namespace

TEST(CsvField, ReadersGiveWhatSscanfGives)
{
    for (const std::string& field : oracleFields()) {
        expectAsSscanf<std::int32_t>(field, scanIntField, sscanfIntField, readIntField);
        expectAsSscanf<std::uint32_t>(field, scanUnsignedField, sscanfUnsignedField,
                                      readUnsignedField);
        expectAsSscanf<float>(field, scanFloatField, sscanfFloatField, readFloatField);
        expectAsSscanf<double>(field, scanDoubleField, sscanfDoubleField, readDoubleField);
    }
}

TEST(CsvField, FieldEndsAtItsRangeNotAtTheString)
{
    // The field "12" of the line "12345": the reader stops at the comma's place.
    const std::string line = "12345";
    std::int32_t value = 0;
    ASSERT_TRUE(scanIntField(line.data(), line.data() + 2, value));
    EXPECT_EQ(value, 12);
    float real = 0;
    ASSERT_TRUE(scanFloatField(line.data(), line.data() + 3, real));
    EXPECT_EQ(real, 123.0f);
}

TEST(CsvField, FloatWriterGivesWhatPrintfGives)
{
    std::vector<float> values = {
        0.0f,        -0.0f,        1.0f,        -1.0f,     0.5e-6f,  0.4e-6f, -0.4e-6f,
        1.0f / 128,  3.0f / 128,   -5.0f / 128, // exact ties at the 7th decimal
        FLT_MIN,     FLT_TRUE_MIN, FLT_MAX,     -FLT_MAX,  8.99e12f, 9e12f,   9.01e12f,
        16777217.0f, 1234.5678f,   INFINITY,    -INFINITY, NAN,      -NAN};
    std::mt19937 random(401);
    std::uniform_real_distribution<double> exponent(-10, 14);
    for (int i = 0; i < 300000; ++i) {
        values.push_back(static_cast<float>(std::pow(10.0, exponent(random)) * (i % 2 ? -1 : 1)));
        const std::uint32_t bits = static_cast<std::uint32_t>(random());
        float any;
        std::memcpy(&any, &bits, sizeof any);
        values.push_back(any);
    }
    expectWriterGivesPrintf(values, formatFloatField);
}

TEST(CsvField, DoubleWriterGivesWhatPrintfGives)
{
    // Exact ties at the 7th decimal, values at the fast path's limit, and MJDs of six
    // decimals as import writes them.
    std::vector<double> values = {0.0,       -0.0,      0.5e-6,      -0.5e-6,      1.5e-6,
                                  2.5e-6,    1.0 / 128, 1e9 - 1e-6,  1e9,          -1e9,
                                  DBL_MAX,   -DBL_MAX,  DBL_MIN,     DBL_TRUE_MIN, INFINITY,
                                  -INFINITY, NAN,       59642.922756};
    std::mt19937_64 random(402);
    std::uniform_real_distribution<double> exponent(-10, 12);
    std::uniform_int_distribution<std::int64_t> micros(0, 99999999999);
    for (int i = 0; i < 300000; ++i) {
        values.push_back(std::pow(10.0, exponent(random)) * (i % 2 ? -1 : 1));
        values.push_back(static_cast<double>(micros(random)) / 1e6);
        const std::uint64_t bits = random();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        values.push_back(any);
    }
    expectWriterGivesPrintf(values, formatDoubleField);
}

TEST(CsvField, SixDecimalTextsSurviveADoubleCell)
{
    // Any time of six decimals up to MJD 999999 is written back as it was read.
    std::mt19937_64 random(403);
    std::uniform_int_distribution<long long> micros(-999999999999, 999999999999);
    for (int i = 0; i < 100000; ++i) {
        const long long units = micros(random);
        char text[kMaxNumberText];
        const int length = std::snprintf(text, sizeof text, "%s%lld.%06lld", units < 0 ? "-" : "",
                                         std::llabs(units) / 1000000, std::llabs(units) % 1000000);
        double value = 0;
        ASSERT_TRUE(readDoubleField(text, text + length, value)) << text;
        char written[kMaxNumberText];
        char* end = formatDoubleField(written, value);
        ASSERT_EQ(std::string(written, end), text);
    }
}

TEST(CsvField, IntegerWritersGivePrintfText)
{
    const struct {
        std::int32_t value;
        const char* text;
    } signedCases[] = {
        {0, "0"}, {-1, "-1"}, {2147483647, "2147483647"}, {-2147483647 - 1, "-2147483648"}};
    for (const auto& c : signedCases) {
        char text[kMaxNumberText];
        char* end = formatIntField(text, c.value);
        EXPECT_EQ(std::string(text, end), c.text);
    }
    char text[kMaxNumberText];
    char* end = formatUnsignedField(text, 4294967295u);
    EXPECT_EQ(std::string(text, end), "4294967295");
}
