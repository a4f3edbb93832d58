// The date dialog's three ways in: from the MJD, from the sol, from the fields.
#include "pages/data_dlg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "astro/angles.h"
#include "astro/calendar.h"

namespace {

constexpr int kSecondsPerDay = 86400;

std::string fixed5(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.5f", value);
    return text;
}

// A number read as "%f" reads it: leading blanks, then the longest number; nothing else matters.
bool readNumber(const std::string& text, double& value)
{
    return std::sscanf(text.c_str(), "%lf", &value) == 1;
}

// Strictly after 1 January 1900 and before the last month of the tables.
bool insideTables(double mjd)
{
    const MonthTables& tables = BuildMonthTables();
    return mjd > tables.MonthStartMJD.front()[0] && mjd < tables.MonthStartMJD.back()[11];
}

} // namespace

CDataDlg::CDataDlg(std::string title, double mjd, double sol, bool startFromSol, int year)
    : m_title(std::move(title)), m_mjd(mjd), m_sol(sol)
{
    m_fields[Year] = year;
    if (startFromSol)
        fromSol(sol);
    else
        fromMjd(mjd);
}

std::string CDataDlg::mjdText() const { return fixed5(m_mjd); }
std::string CDataDlg::solText() const { return fixed5(m_sol); }

void CDataDlg::setTime(double hours)
{
    // Rounding may put the instant a hair before midnight or past the next
    // one: the time stays within the day, never 24 h or negative minutes.
    const double seconds = std::isfinite(hours) ? hours * 3600.0 : 0.0;
    const int whole = static_cast<int>(std::clamp(seconds, 0.0, double(kSecondsPerDay - 1)));
    m_fields[Hour] = whole / 3600;
    m_fields[Minute] = whole / 60 % 60;
    m_fields[Second] = whole % 60;
}

void CDataDlg::fromMjd(double mjd)
{
    int year = 0, month = 0, day = 0;
    if (!MJDToDate(mjd, year, month, day))
        return;
    m_mjd = mjd;
    m_fields[Year] = year;
    m_fields[Month] = month;
    m_fields[Day] = day;
    setTime((mjd - DateToMJD(year, month, day, 0, 0, 0)) * 24.0);
    m_sol = SolarLongitude(mjd + kMjdToJd);
}

void CDataDlg::fromSol(double sol)
{
    const int year = m_fields[Year];
    int month = 0, day = 0;
    if (!SolToMonthDay(static_cast<float>(sol), year, month, day))
        return;
    m_sol = sol;
    m_fields[Month] = month;
    m_fields[Day] = day;
    const double solAtMidnight = SolarLongitude(DateToJD(year, month, day, 0, 0, 0));
    setTime(AngleDiff(static_cast<float>(sol), static_cast<float>(solAtMidnight)) / 360.0 * 365.25 *
            24.0);
    m_mjd = DateToMJD(year, month, day, m_fields[Hour], m_fields[Minute], m_fields[Second]);
}

void CDataDlg::fromFields()
{
    m_mjd = DateToMJD(m_fields[Year], m_fields[Month], m_fields[Day], m_fields[Hour],
                      m_fields[Minute], m_fields[Second]);
    m_sol = SolarLongitude(m_mjd + kMjdToJd);
}

void CDataDlg::typeMjd(const std::string& text)
{
    double value = 0.0;
    if (!readNumber(text, value) || !insideTables(value)) {
        m_mjdStatus = kInvalid;
        return;
    }
    m_mjdStatus.clear();
    fromMjd(value);
}

void CDataDlg::typeSol(const std::string& text)
{
    double value = 0.0;
    if (!readNumber(text, value) || !(value >= 0.0 && value <= 360.0)) {
        m_solStatus = kInvalid;
        return;
    }
    m_solStatus.clear();
    fromSol(value);
}

void CDataDlg::setField(Field field, int value)
{
    if (field == Year && (value < kFirstTableYear || value > kLastTableYear))
        return;
    m_fields[field] = value;
    m_fields[Month] = std::clamp(m_fields[Month], 1, 12);
    m_fields[Day] = std::clamp(m_fields[Day], 1, DaysInMonth(m_fields[Year], m_fields[Month]));
    m_fields[Hour] = std::clamp(m_fields[Hour], 0, 23);
    m_fields[Minute] = std::clamp(m_fields[Minute], 0, 59);
    m_fields[Second] = std::clamp(m_fields[Second], 0, 59);
    fromFields();
}
