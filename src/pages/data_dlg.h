#pragma once
// CDataDlg, "Date Time": one instant as calendar date and time, MJD and sol
// at once; editing any of them updates the others. The window shows and
// edits this model.

#include <array>
#include <string>

#include "platform/ui.h"

class CDataDlg final : public DialogModel {
public:
    static constexpr const char* kCaption = "Date Time";
    static constexpr const char* kInvalid = "invalid";
    enum Field { Year, Month, Day, Hour, Minute, Second, kFieldCount };

    // Starts from the sol in the given year, or from the MJD.
    CDataDlg(std::string title, double mjd, double sol, bool startFromSol, int year);
    const char* dialogName() const override { return "CDataDlg"; }

    const std::string& title() const { return m_title; }
    int field(Field field) const { return m_fields[field]; }
    double mjd() const { return m_mjd; }
    double sol() const { return m_sol; }
    // "%.5f".
    std::string mjdText() const;
    std::string solText() const;
    // "invalid" after a refused entry, else empty.
    const std::string& mjdStatus() const { return m_mjdStatus; }
    const std::string& solStatus() const { return m_solStatus; }

    // Typed into "mjd": a value strictly inside the calendar's range is taken.
    void typeMjd(const std::string& text);
    // Typed into "sol": 0 to 360 inclusive is taken, in the year of the fields.
    void typeSol(const std::string& text);
    // An up-down field; a day beyond the month's length is limited to it, and
    // a year outside the calendar is refused.
    void setField(Field field, int value);

private:
    void fromMjd(double mjd);
    void fromSol(double sol);
    void fromFields();
    void setTime(double hours);

    std::string m_title;
    std::array<int, kFieldCount> m_fields{};
    double m_mjd = 0.0;
    double m_sol = 0.0;
    std::string m_mjdStatus;
    std::string m_solStatus;
};
