// Every value a cell of any of the seven tables can hold is read back as it
// was saved: random rows, the longest possible row, and the special floats.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "mdb/schema.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"
#include "table/cutable.h"

namespace {

struct TableCase {
    const char* name;
    const UTableDef* definition;
};

void PrintTo(const TableCase& c, std::ostream* out) { *out << c.name; }

bool isFileColumn(const UColumnDef& column)
{
    return column.saved == 1 && column.type != kTypeLink;
}

// The reference reading of a written real: strtof or strtod of printf's "%f".
float sixDecimals(float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return std::strtof(text, nullptr);
}

double sixDecimals(double value)
{
    char text[400];
    std::snprintf(text, sizeof text, "%f", value);
    return std::strtod(text, nullptr);
}

const float kSpecialFloats[] = {0.0f,        -0.0f,     FLT_MAX,   -FLT_MAX,  FLT_MIN,
                                -FLT_MIN,    1e-45f,    1e-7f,     -4e-7f,    1e38f,
                                NAN,         -NAN,      INFINITY,  -INFINITY, 0.0000005f,
                                16777217.0f, 123456.7f, 0.015625f, 999999.5f, -2.5e-6f};

class RandomCells {
public:
    explicit RandomCells(unsigned seed) : m_random(seed) {}

    std::uint32_t bits() { return static_cast<std::uint32_t>(m_random()); }
    // Times of six decimals as imports write them, or any real a float can hold.
    double real64()
    {
        if (m_random() % 2 == 0)
            return static_cast<double>(real());
        return std::uniform_int_distribution<long long>(0, 99999999999)(m_random) / 1e6;
    }
    float real()
    {
        switch (m_random() % 4) {
        case 0: // any bit pattern: denormals, nans with payloads, infinities
        {
            const std::uint32_t pattern = bits();
            float value;
            std::memcpy(&value, &pattern, sizeof value);
            return value;
        }
        case 1:
            return kSpecialFloats[m_random() % std::size(kSpecialFloats)];
        case 2: // degrees, days and km/s as the tables hold them
            return std::uniform_real_distribution<float>(-400000.f, 400000.f)(m_random);
        default:
            return std::ldexp(std::uniform_real_distribution<float>(-1, 1)(m_random),
                              static_cast<int>(m_random() % 260) - 130);
        }
    }
    // Any byte but the field separator, the line feed and NUL (editing refuses the first two).
    std::string text(std::size_t maxLength)
    {
        const std::size_t length = m_random() % 3 == 0 ? maxLength : m_random() % (maxLength + 1);
        std::string text;
        while (text.size() < length) {
            const char c = static_cast<char>(1 + m_random() % 255);
            if (c != ',' && c != '\n')
                text += c;
        }
        return text;
    }

private:
    std::mt19937 m_random;
};

void fillRandomRow(CUTABLE& table, int row, RandomCells& random)
{
    for (int column = 1; column < table.columnCount(); ++column) {
        if (!isFileColumn(table.definition().columns[column]))
            continue;
        UCell* cell = table.cell(row, column);
        switch (table.columnType(column)) {
        case kTypeFloat:
            cell->real = random.real();
            break;
        case kTypeDouble:
            cell->real64 = random.real64();
            break;
        case kTypeText:
            table.setText(row, column, random.text(255).c_str());
            break;
        case kTypeCode:
            table.setText(row, column, random.text(7).c_str());
            break;
        default:
            cell->number = random.bits();
        }
    }
}

// The longest line a row of the table can be written as.
void fillLongestRow(CUTABLE& table, int row)
{
    for (int column = 1; column < table.columnCount(); ++column) {
        UCell* cell = table.cell(row, column);
        switch (table.columnType(column)) {
        case kTypeFloat:
            cell->real = -FLT_MAX;
            break;
        case kTypeDouble:
            cell->real64 = -DBL_MAX;
            break;
        case kTypeText:
            table.setText(row, column, std::string(255, 'L').c_str());
            break;
        case kTypeCode:
            table.setText(row, column, "7chars!");
            break;
        case kTypeInt:
            cell->integer = INT32_MIN;
            break;
        case kTypeLink:
            break;
        default:
            cell->number = UINT32_MAX;
        }
    }
}

template <typename Real> void expectSameReal(Real loaded, Real saved, int row, int column)
{
    const Real expected = sixDecimals(saved);
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(loaded)) << "row " << row << " column " << column;
        EXPECT_EQ(std::signbit(loaded), std::signbit(expected)) << "row " << row;
    } else {
        EXPECT_EQ(std::memcmp(&loaded, &expected, sizeof loaded), 0)
            << "row " << row << " column " << column << ": " << loaded << " for " << saved;
    }
}

void expectSameRows(const CUTABLE& loaded, const CUTABLE& saved)
{
    ASSERT_EQ(loaded.count(), saved.count());
    for (int row = 0; row < saved.count(); ++row) {
        for (int column = 1; column < saved.columnCount(); ++column) {
            if (!isFileColumn(saved.definition().columns[column]))
                continue;
            const UCell& was = *saved.cell(row, column);
            const UCell& is = *loaded.cell(row, column);
            switch (saved.columnType(column)) {
            case kTypeFloat:
                expectSameReal(is.real, was.real, row, column);
                break;
            case kTypeDouble:
                expectSameReal(is.real64, was.real64, row, column);
                break;
            case kTypeText:
            case kTypeCode:
                EXPECT_STREQ(loaded.text(row, column), saved.text(row, column))
                    << "row " << row << " column " << column;
                break;
            default:
                EXPECT_EQ(is.number, was.number) << "row " << row << " column " << column;
            }
        }
    }
}

} // namespace

class RoundTrip : public ::testing::TestWithParam<TableCase> {};

TEST_P(RoundTrip, RandomRowsLoadAsSavedAndSaveAgainByteForByte)
{
    const UTableDef& definition = *GetParam().definition;
    TempDir dir;
    ScopedScriptedUi scripted;
    TablePools pools;
    CUTABLE saved;
    CUTABLE loaded;
    saved.initialise(definition, pools);
    loaded.initialise(definition, pools);
    RandomCells random(static_cast<unsigned>(definition.tableNumber) * 7919u);
    fillLongestRow(saved, saved.addRow());
    for (int i = 0; i < 500; ++i)
        fillRandomRow(saved, saved.addRow(), random);
    ASSERT_TRUE(saved.save(dir.file("first.csv")));
    ASSERT_TRUE(loaded.load(dir.file("first.csv")));
    EXPECT_TRUE(scripted->messages().empty());
    expectSameRows(loaded, saved);
    ASSERT_TRUE(loaded.save(dir.file("second.csv")));
    EXPECT_EQ(readFileBytes(dir.file("second.csv")), readFileBytes(dir.file("first.csv")));
}

INSTANTIATE_TEST_SUITE_P(SevenTables, RoundTrip,
                         ::testing::Values(TableCase{"UDSID", &kDsidTableDef},
                                           TableCase{"UList", &kListTableDef},
                                           TableCase{"ULSlink", &kListStreamLinkDef},
                                           TableCase{"UStream", &kStreamTableDef},
                                           TableCase{"USOlink", &kStreamOrbitLinkDef},
                                           TableCase{"Orbit", &kOrbitTableDef},
                                           TableCase{"UOFile", &kOrbitFileTableDef}),
                         [](const ::testing::TestParamInfo<TableCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(RoundTrip, CommaAndLineFeedInATextAreWrittenAsBlanksKeepingTheFields)
{
    TempDir dir;
    ScopedScriptedUi scripted;
    TablePools pools;
    CUTABLE table;
    table.initialise(kDsidTableDef, pools);
    const int row = table.addRow();
    table.cell(row, col::Dsid::DSID)->number = 41000;
    table.setText(row, col::Dsid::code, "A,B");
    table.setText(row, col::Dsid::memo, "one,two\nthree");
    table.cell(row, col::Dsid::IDnext)->number = 4100000007u;
    ASSERT_TRUE(table.save(dir.file("UDSID.csv")));
    table.clear();
    ASSERT_TRUE(table.load(dir.file("UDSID.csv")));
    EXPECT_STREQ(table.text(0, col::Dsid::code), "A B");
    EXPECT_STREQ(table.text(0, col::Dsid::memo), "one two three");
    EXPECT_EQ(table.cell(0, col::Dsid::IDnext)->number, 4100000007u);
}
