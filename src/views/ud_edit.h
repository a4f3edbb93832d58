#pragma once
// CUDEdit and CUDCheck: the logic of the small bound controls of pages and
// dialogs (a numeric edit with spin buttons, a check box with such edits).

#include <optional>
#include <string>
#include <string_view>
#include <variant>

// Kinds of CUDEdit; any other kind is a float shown "%.2f" below 1 and
// "%.1f" from 1.
inline constexpr int kUDKindInteger = 1; // an int, "%d"
inline constexpr int kUDKindWhole = 11;  // a float shown "%.0f"

enum class UDLimit { None = 0, Clamp = 1, Wrap = 2 };

struct UDEditDef {
    int kind = kUDKindInteger;
    int editWidth = 0;
    int x = 0;
    int y = 0;
    std::string label;
    int labelWidth = 0; // 0: no label
    int id = 0;         // the spin buttons are id + 1
    // An int for kUDKindInteger, a float for every other kind.
    std::variant<int*, float*> variable;
    float maximum = 0;
    float minimum = 0;
    float step = 0; // 0: automatic
    UDLimit limit = UDLimit::None;
    int carry = -1; // reported when a spin wraps
};

class CUDEdit {
public:
    explicit CUDEdit(const UDEditDef& def) : m_def(def) {}

    const UDEditDef& def() const { return m_def; }
    bool hasLabel() const { return m_def.labelWidth != 0; }
    int spinId() const { return m_def.id + 1; }

    double value() const;
    // The variable formatted by kind.
    std::string text() const;
    // Takes the typed text (its first 15 characters) into the variable; true
    // when the value changed. Text that is no number leaves it as it is.
    bool readText(std::string_view typed);
    // One spin step; the carry index when the value wrapped, else -1.
    int spinUp() { return spin(+1); }
    int spinDown() { return spin(-1); }

private:
    int spin(int direction);
    double stepSize() const;

    UDEditDef m_def;
};

// A check box bound to an int flag, followed by one or two bound edits whose
// values count only while the box is checked.
struct UDCheckDef {
    std::string label;
    int x = 0;
    int y = 0;
    int width = 0;
    int id = 0;
    int* flag = nullptr;
    UDEditDef first;
    std::optional<UDEditDef> second;
};

class CUDCheck {
public:
    explicit CUDCheck(const UDCheckDef& def);

    const UDCheckDef& def() const { return m_def; }
    bool checked() const { return *m_def.flag != 0; }
    // A click leaves the box in this state; the flag follows it.
    void click(bool checked) { *m_def.flag = checked ? 1 : 0; }

    CUDEdit& first() { return m_first; }
    CUDEdit* second() { return m_second ? &*m_second : nullptr; }

    // The value of edit 0 or 1 as it counts: none while unchecked or when
    // there is no such edit.
    std::optional<double> countedValue(int edit) const;

private:
    UDCheckDef m_def;
    CUDEdit m_first;
    std::optional<CUDEdit> m_second;
};
