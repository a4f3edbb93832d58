// Calendar arithmetic, month-start tables, and conversions between dates, MJD and sol.
#include "astro/calendar.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "astro/angles.h"
#include "astro/sun.h"

namespace {

// Column of MonthStartSol for a month: April is 0, March 11.
int solColumn(int month) { return month >= 4 ? month - 4 : month + 8; }
int monthOfSolColumn(int column) { return column + 4 > 12 ? column - 8 : column + 4; }

bool isTableYear(int year) { return year >= kFirstTableYear && year <= kLastTableYear; }

void previousDay(int year, int& month, int& day)
{
    if (day > 1) {
        --day;
        return;
    }
    month = month == 1 ? 12 : month - 1;
    day = DaysInMonth(month == 12 ? year - 1 : year, month);
}

void nextDay(int year, int& month, int& day)
{
    if (day < DaysInMonth(year, month)) {
        ++day;
        return;
    }
    month = month == 12 ? 1 : month + 1;
    day = 1;
}

// The first guess of SolToMonthDay: the month whose start sol lies below sol, and the day
// from the mean motion of the Sun.
void estimateMonthDay(const std::array<double, 12>& row, float sol, int& month, int& day)
{
    const auto greater = std::find_if(
        row.begin(), row.end(), [sol](double start) { return static_cast<float>(start) > sol; });
    int k = static_cast<int>(std::distance(row.begin(), greater)) - 1;
    if (k < 0)
        k = 11;
    month = monthOfSolColumn(k);
    const float start = static_cast<float>(row[k]);
    day = static_cast<int>((sol - start) / 360.0f * 365.25f + 1.0f);
    if (day < 1)
        day = static_cast<int>(1.0f + 365.25f * (360.0f + sol - start) / 360.0f);
}

} // namespace

double DateToMJD(int year, int month, int day, int hour, int minute, int second)
{
    const double f = day + (hour + (minute + (second + kClockOffsetSeconds) / 60.0) / 60.0) / 24.0;
    if (month <= 2) {
        year -= 1;
        month += 12;
    }
    const long days = static_cast<long>(365.25 * year) + year / 400 - year / 100 +
                      static_cast<long>(30.59 * (month - 2));
    return static_cast<double>(days) + f - 678912.0;
}

double DateToJD(int year, int month, int day, int hour, int minute, int second)
{
    return DateToMJD(year, month, day, hour, minute, second) + kMjdToJd;
}

int DaysInMonth(int year, int month)
{
    switch (month) {
    case 2:
        return (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return 31;
    }
}

const MonthTables& BuildMonthTables()
{
    static const MonthTables tables = [] {
        MonthTables built{};
        for (int year = kFirstTableYear; year <= kLastTableYear; ++year) {
            const int row = year - kFirstTableYear;
            for (int month = 1; month <= 12; ++month) {
                const double mjd = DateToMJD(year, month, 1, 0, 0, 0);
                built.MonthStartMJD[row][month - 1] = mjd;
                built.MonthStartSol[row][solColumn(month)] = SolarLongitude(mjd + kMjdToJd);
            }
        }
        return built;
    }();
    return tables;
}

bool MJDToDate(double mjd, int& year, int& month, int& day)
{
    year = month = day = 0;
    const MonthTables& tables = BuildMonthTables();
    const double firstMjd = tables.MonthStartMJD.front()[0];
    if (!(mjd >= firstMjd && mjd < DateToMJD(kLastTableYear + 1, 1, 1, 0, 0, 0)))
        return false;
    // Bisection over the 1 January column, then within the year: the same entries the
    // upward scan would stop at.
    const auto& rows = tables.MonthStartMJD;
    const auto yearAfter = std::upper_bound(
        rows.begin(), rows.end(), mjd, [](double value, const auto& r) { return value < r[0]; });
    const auto& row = *std::prev(yearAfter);
    const auto monthAfter = std::upper_bound(row.begin(), row.end(), mjd);
    const auto monthStart = std::prev(monthAfter);
    year = kFirstTableYear + static_cast<int>(std::distance(rows.begin(), yearAfter)) - 1;
    month = static_cast<int>(std::distance(row.begin(), monthStart)) + 1;
    day = static_cast<int>(mjd - *monthStart + 1.0);
    return true;
}

double SolarLongitude(double jd) { return SunPosition(jd).sol * kRadToDeg; }

bool SolToMonthDay(float sol, int year, int& month, int& day)
{
    month = day = 0;
    if (!isTableYear(year) || !std::isfinite(sol))
        return false;
    // Within one turn the day estimate stays a small number.
    const float turnSol = Normalize360(sol);
    estimateMonthDay(BuildMonthTables().MonthStartSol[year - kFirstTableYear], turnSol, month, day);
    day = std::min(day, DaysInMonth(year, month));
    const double m0 = DateToMJD(year, month, day, 0, 0, 0);
    const float s = static_cast<float>(SolarLongitude(m0 + kMjdToJd));
    const float d = AngleDiff(turnSol, s);
    // The neighbouring day keeps its month and day but never changes the year.
    if (d < 0.0f)
        previousDay(year, month, day);
    else if (d > 0.985f)
        nextDay(year, month, day);
    return true;
}

std::optional<double> SolToJD(double sol, int year)
{
    int month = 0, day = 0;
    if (!SolToMonthDay(static_cast<float>(sol), year, month, day))
        return std::nullopt;
    const double j0 = DateToJD(year, month, day, 0, 0, 0);
    double delta = std::remainder(sol - SolarLongitude(j0), 360.0);
    if (delta <= -180.0)
        delta += 360.0;
    return j0 + delta / 360.0 * 365.25;
}
