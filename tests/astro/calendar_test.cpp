// Calendar arithmetic, month-start tables, MJD to date, and sol to date and JD.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "astro/angles.h"
#include "astro/calendar.h"

namespace {

constexpr double kOffsetDays = 64.184 / 86400.0;

TEST(DateToMJD, KnownDates)
{
    // Standard MJDs (MJD 0 = 1858-11-17 0h), each plus the 64.184 s offset.
    const struct {
        const char* name;
        int y, m, d;
        double mjd;
    } cases[] = {
        {"MJD epoch", 1858, 11, 17, 0.0},         {"table start", 1900, 1, 1, 15020.0},
        {"J2000 day", 2000, 1, 1, 51544.0},       {"leap day 2000", 2000, 2, 29, 51603.0},
        {"after leap day", 2000, 3, 1, 51604.0},  {"table end", 2100, 1, 1, 88069.0},
        {"no leap in 1900", 1900, 3, 1, 15079.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(DateToMJD(c.y, c.m, c.d, 0, 0, 0), c.mjd + kOffsetDays, 1e-9);
    }
    EXPECT_NEAR(DateToMJD(2000, 1, 1, 0, 0, 0), 51544.000742870, 1e-9);
    EXPECT_NEAR(DateToJD(2000, 1, 1, 0, 0, 0), 2451544.500742870, 1e-9);
    EXPECT_NEAR(DateToMJD(2000, 1, 1, 18, 30, 36) - DateToMJD(2000, 1, 1, 0, 0, 0),
                (18 * 3600 + 30 * 60 + 36) / 86400.0, 1e-9);
}

TEST(DaysInMonth, LeapRulesAndOddMonths)
{
    const struct {
        int y, m, days;
    } cases[] = {{1900, 2, 28},  {2000, 2, 29},  {2024, 2, 29},  {2023, 2, 28}, {2023, 4, 30},
                 {2023, 11, 30}, {2023, 12, 31}, {2023, 13, 31}, {2023, 0, 31}};
    for (const auto& c : cases)
        EXPECT_EQ(DaysInMonth(c.y, c.m), c.days) << c.y << "-" << c.m;
}

TEST(MJDToDate, MidnightWithoutTheOffsetIsTheDayBefore)
{
    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(MJDToDate(51544.0, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 19991231);
    ASSERT_TRUE(MJDToDate(51544.0008, y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20000101);
}

TEST(MJDToDate, RefusesOutsideTheTables)
{
    const double outside[] = {15020.0, 15019.5, DateToMJD(2100, 1, 1, 0, 0, 0),
                              1e9,     -1e9,    std::numeric_limits<double>::quiet_NaN()};
    for (double mjd : outside) {
        int y = 1, m = 1, d = 1;
        EXPECT_FALSE(MJDToDate(mjd, y, m, d)) << mjd;
        EXPECT_EQ(y + m + d, 0);
    }
    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(MJDToDate(DateToMJD(1900, 1, 1, 0, 0, 0), y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 19000101);
    ASSERT_TRUE(MJDToDate(DateToMJD(2099, 12, 31, 23, 58, 0), y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20991231);
}

TEST(MJDToDate, EveryDayRoundTrips)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> second(0, 23 * 3600 + 58 * 60 + 55 - 1);
    for (int year = kFirstTableYear; year <= kLastTableYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= DaysInMonth(year, month); ++day) {
                const int s = second(random);
                for (double mjd : {DateToMJD(year, month, day, 0, 0, 0),
                                   DateToMJD(year, month, day, s / 3600, s / 60 % 60, s % 60)}) {
                    int y = 0, m = 0, d = 0;
                    ASSERT_TRUE(MJDToDate(mjd, y, m, d));
                    ASSERT_EQ(y * 10000 + m * 100 + d, year * 10000 + month * 100 + day) << mjd;
                }
            }
        }
    }
}

// The upward scan over the tables, as the date lookup was first described.
bool scanMJDToDate(double mjd, int& year, int& month, int& day)
{
    const MonthTables& t = BuildMonthTables();
    int row = 0;
    while (row + 1 < kTableYears && t.MonthStartMJD[row + 1][0] <= mjd)
        ++row;
    int m = 12;
    for (int k = 0; k < 11; ++k) {
        if (t.MonthStartMJD[row][k] <= mjd && mjd < t.MonthStartMJD[row][k + 1]) {
            m = k + 1;
            break;
        }
    }
    year = kFirstTableYear + row;
    month = m;
    day = static_cast<int>(mjd - t.MonthStartMJD[row][m - 1] + 1);
    return true;
}

TEST(MJDToDate, BisectionMatchesTheScan)
{
    const MonthTables& tables = BuildMonthTables();
    std::vector<double> mjds;
    for (const auto& row : tables.MonthStartMJD) {
        for (double start : row) {
            mjds.push_back(start);
            mjds.push_back(std::nextafter(start, -1e300));
        }
    }
    mjds.erase(mjds.begin() + 1); // just before the first entry lies outside the tables
    std::mt19937 random(9);
    std::uniform_real_distribution<double> anywhere(tables.MonthStartMJD[0][0],
                                                    DateToMJD(2100, 1, 1, 0, 0, 0));
    for (int n = 0; n < 20000; ++n)
        mjds.push_back(anywhere(random));
    for (double mjd : mjds) {
        int y = 0, m = 0, d = 0, ys = 0, ms = 0, ds = 0;
        ASSERT_TRUE(MJDToDate(mjd, y, m, d)) << mjd;
        scanMJDToDate(mjd, ys, ms, ds);
        ASSERT_EQ(y, ys) << mjd;
        ASSERT_EQ(m, ms) << mjd;
        ASSERT_EQ(d, ds) << mjd;
    }
}

TEST(MonthTables, HoldMonthStartsAndAscendingSol)
{
    const MonthTables& tables = BuildMonthTables();
    EXPECT_EQ(&tables, &BuildMonthTables());
    for (int row = 0; row < kTableYears; ++row) {
        const int year = kFirstTableYear + row;
        EXPECT_EQ(tables.MonthStartMJD[row][6], DateToMJD(year, 7, 1, 0, 0, 0));
        const auto& sol = tables.MonthStartSol[row];
        // 1 April is about 11 deg, 1 March about 340 deg.
        EXPECT_GT(sol[0], 9.0) << year;
        EXPECT_LT(sol[0], 13.0) << year;
        EXPECT_GT(sol[11], 338.0) << year;
        EXPECT_LT(sol[11], 342.0) << year;
        for (int k = 1; k < 12; ++k)
            ASSERT_GT(sol[k], sol[k - 1]) << year << " column " << k;
        EXPECT_EQ(sol[9], SolarLongitude(DateToJD(year, 1, 1, 0, 0, 0)));
    }
}

// Every sol lands in the calendar year given, also those around the year's two ends.
TEST(SolToMonthDay, StaysInTheGivenYear)
{
    const MonthTables& tables = BuildMonthTables();
    for (int year : {1900, 1901, 1999, 2000, 2001, 2024, 2098, 2099}) {
        const auto& row = tables.MonthStartSol[year - kFirstTableYear];
        const float january = static_cast<float>(row[9]);
        const struct {
            const char* name;
            float sol;
            int month;
        } cases[] = {
            {"5 deg is late March", 5.0f, 3},
            {"345 deg is early March", 345.0f, 3},
            {"between 1 December and 1 January", january - 3.0f, 12},
            {"a day and a half below 1 January", january - 1.5f, 12},
            // The next-day step from 31 December keeps the year: 1 January of the same year.
            {"a fifth of a degree below 1 January", january - 0.2f,
             DaysInMonth(year, 2) == 29 ? 12 : 1},
            {"just above 1 January", january + 0.5f, 1},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << year << ": " << c.name);
            int month = 0, day = 0;
            ASSERT_TRUE(SolToMonthDay(c.sol, year, month, day));
            EXPECT_EQ(month, c.month);
            EXPECT_GE(day, 1);
            EXPECT_LE(day, DaysInMonth(year, month));
        }
    }
}

TEST(SolToMonthDay, KnownDays)
{
    // March equinox 2000: 20 March 07:35 UT; the Perseid maximum sol 140.0 in 2000 fell on
    // 12 August (solar longitude tables of the Astronomical Almanac).
    int month = 0, day = 0;
    ASSERT_TRUE(SolToMonthDay(0.1f, 2000, month, day));
    EXPECT_EQ(month * 100 + day, 320);
    ASSERT_TRUE(SolToMonthDay(140.0f, 2000, month, day));
    EXPECT_EQ(month * 100 + day, 812);
}

TEST(SolToMonthDay, AnglesOutsideOneTurnCountModulo360)
{
    for (float sol : {-0.5f, 365.0f, 1e30f}) {
        int month = 0, day = 0, wrappedMonth = 0, wrappedDay = 0;
        ASSERT_TRUE(SolToMonthDay(sol, 2010, month, day)) << sol;
        ASSERT_TRUE(SolToMonthDay(Normalize360(sol), 2010, wrappedMonth, wrappedDay)) << sol;
        EXPECT_EQ(month * 100 + day, wrappedMonth * 100 + wrappedDay) << sol;
    }
}

TEST(SolToMonthDay, RefusesOutsideTheTables)
{
    int month = 5, day = 5;
    EXPECT_FALSE(SolToMonthDay(100.0f, 1899, month, day));
    EXPECT_EQ(month + day, 0);
    EXPECT_FALSE(SolToMonthDay(100.0f, 2100, month, day));
    EXPECT_FALSE(SolToMonthDay(std::numeric_limits<float>::quiet_NaN(), 2000, month, day));
    EXPECT_FALSE(SolToJD(100.0, 1899).has_value());
    EXPECT_FALSE(SolToJD(100.0, 2100).has_value());
}

TEST(SolToJD, NearTheEquinoxAcrossTheWrap)
{
    // March equinox 2000 at JD 2451623.816 (20 March 07:35 UT).
    const std::optional<double> jd = SolToJD(0.01, 2000);
    ASSERT_TRUE(jd.has_value());
    EXPECT_NEAR(*jd, 2451623.816 + 0.01 / 0.9856, 0.05);
}

// One linear step from 0 h of the chosen day, at the mean motion 360 / 365.25 deg per day: the
// Sun's true motion differs by up to 3.4 %, over at most about one degree, so the instant is
// good to about 50 minutes (0.035 deg of solar longitude).
TEST(SolToJD, LandsOnTheSolEveryDegreeOfEveryYear)
{
    double worst = 0.0;
    for (int year = kFirstTableYear; year <= kLastTableYear; ++year) {
        const double yearStart = DateToJD(year, 1, 1, 0, 0, 0);
        const double yearEnd = DateToJD(year + 1, 1, 1, 0, 0, 0);
        for (int sol = 0; sol < 360; ++sol) {
            const std::optional<double> jd = SolToJD(sol, year);
            ASSERT_TRUE(jd.has_value());
            const double miss = std::fabs(
                AngleDiff(static_cast<float>(SolarLongitude(*jd)), static_cast<float>(sol)));
            worst = std::fmax(worst, miss);
            ASSERT_LT(miss, 0.036) << year << " sol " << sol;
            ASSERT_GT(*jd, yearStart - 1.0) << year << " sol " << sol;
            ASSERT_LT(*jd, yearEnd + 1.0) << year << " sol " << sol;
        }
    }
    RecordProperty("worstMissDeg", std::to_string(worst));
}

} // namespace
