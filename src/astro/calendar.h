#pragma once
// Calendar dates, Modified Julian Dates and the solar longitude (sol) of an instant, with the
// month-start tables that turn date lookups into table searches.
//
// Every clock time converted to MJD gets a fixed +64.184 s; MJD and JD values carry it.
// The table operations (MJDToDate, SolToMonthDay, SolToJD) cover 1 January 1900 to
// 31 December 2099 only: outside they refuse (false or no value) and never read the tables.

#include <array>
#include <optional>

constexpr int kFirstTableYear = 1900;
constexpr int kLastTableYear = 2099;
constexpr int kTableYears = kLastTableYear - kFirstTableYear + 1;
// Added to every time of day converted to MJD.
constexpr double kClockOffsetSeconds = 64.184;
// JD = MJD + kMjdToJd.
constexpr double kMjdToJd = 2400000.5;
// Mean degrees of sol per day (360 / 365.25): the Sun's mean motion over the Julian year.
constexpr double kSolPerDay = 360.0 / 365.25;

// Any Gregorian date and time; the time gets the 64.184 s offset.
double DateToMJD(int year, int month, int day, int hour, int minute, int second);
double DateToJD(int year, int month, int day, int hour, int minute, int second);
// The date of an MJD (time of day dropped). False, with zeros, outside the tables.
[[nodiscard]] bool MJDToDate(double mjd, int& year, int& month, int& day);
// 28 to 31; a month number outside 1 to 12 gives 31.
int DaysInMonth(int year, int month);

struct MonthTables {
    // Row year - 1900, column month - 1: DateToMJD(year, month, 1, 0, 0, 0).
    std::array<std::array<double, 12>, kTableYears> MonthStartMJD;
    // Row year - 1900: sol in degrees at 0 h of the 1st of April ... December (columns 0-8),
    // then January, February, March (columns 9-11) of the same year; each row ascends.
    std::array<std::array<double, 12>, kTableYears> MonthStartSol;
};

// The month-start tables: built on the first call (thread-safe), the same constant object
// afterwards. The application calls it once at start so that no later call waits.
const MonthTables& BuildMonthTables();

// The Sun's geocentric ecliptic longitude at jd, degrees in [0, 360].
double SolarLongitude(double jd);
// The month and day of the given year on which the Sun passes sol (single precision). The
// result always lies in that calendar year. False, with zeros, for a year outside the tables
// or a sol that is not finite.
[[nodiscard]] bool SolToMonthDay(float sol, int year, int& month, int& day);
// The JD at which the Sun passes sol in the given year, by one linear step from 0 h of the
// day SolToMonthDay finds (good to about an hour). No value for a year outside the tables.
std::optional<double> SolToJD(double sol, int year);
