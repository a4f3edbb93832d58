// The logic of the bound numeric edit and the bound check box.
#include "views/ud_edit.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr std::size_t kMaxTyped = 15;

std::string formatNumber(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// Applies the limit mode to a value after a step; true when it wrapped.
template <class T> bool applyLimit(T& value, const UDEditDef& def)
{
    if (def.limit == UDLimit::None)
        return false;
    const bool wrap = def.limit == UDLimit::Wrap;
    if (value > def.maximum) {
        value = static_cast<T>(wrap ? def.minimum : def.maximum);
        return wrap;
    }
    if (value < def.minimum) {
        value = static_cast<T>(wrap ? def.maximum : def.minimum);
        return wrap;
    }
    return false;
}

int saturateToInt(double value)
{
    return static_cast<int>(std::clamp(value, double(INT_MIN), double(INT_MAX)));
}

// The number at the start of the text as "%d" reads it; out-of-range
// numbers are held at the limits of int.
std::optional<int> parseInteger(const std::string& text)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    const long long value = std::strtoll(begin, &end, 10);
    if (end == begin)
        return std::nullopt;
    return saturateToInt(static_cast<double>(value));
}

// The number at the start of the text as "%f" reads it, finite values only.
std::optional<float> parseFloat(const std::string& text)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    const float value = std::strtof(begin, &end);
    if (end == begin || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

double CUDEdit::value() const
{
    return std::visit([](const auto* variable) { return static_cast<double>(*variable); },
                      m_def.variable);
}

std::string CUDEdit::text() const
{
    if (const int* const* integer = std::get_if<int*>(&m_def.variable))
        return std::to_string(**integer);
    const float value = *std::get<float*>(m_def.variable);
    if (m_def.kind == kUDKindWhole)
        return formatNumber("%.0f", value);
    return formatNumber(value < 1 ? "%.2f" : "%.1f", value);
}

bool CUDEdit::readText(std::string_view typed)
{
    const std::string text(typed.substr(0, kMaxTyped));
    if (int* const* integer = std::get_if<int*>(&m_def.variable)) {
        const std::optional<int> value = parseInteger(text);
        if (!value || *value == **integer)
            return false;
        **integer = *value;
        return true;
    }
    float* variable = std::get<float*>(m_def.variable);
    const std::optional<float> value = parseFloat(text);
    if (!value || *value == *variable)
        return false;
    *variable = *value;
    return true;
}

double CUDEdit::stepSize() const
{
    if (std::holds_alternative<int*>(m_def.variable))
        return m_def.step != 0 ? std::max(1.0, std::round(double(m_def.step))) : 1.0;
    if (m_def.step != 0)
        return m_def.step;
    const double current = value();
    if (current >= 2)
        return 1;
    return current >= 0.2 ? 0.1 : 0.01;
}

int CUDEdit::spin(int direction)
{
    bool wrapped = false;
    if (int* const* integer = std::get_if<int*>(&m_def.variable)) {
        double next = double(**integer) + direction * stepSize();
        wrapped = applyLimit(next, m_def);
        **integer = saturateToInt(next);
    } else {
        float* variable = std::get<float*>(m_def.variable);
        float next = *variable + static_cast<float>(direction * stepSize());
        wrapped = applyLimit(next, m_def);
        *variable = next;
    }
    return wrapped ? m_def.carry : -1;
}

CUDCheck::CUDCheck(const UDCheckDef& def) : m_def(def), m_first(def.first)
{
    if (def.second)
        m_second.emplace(*def.second);
}

std::optional<double> CUDCheck::countedValue(int edit) const
{
    if (!checked())
        return std::nullopt;
    if (edit == 0)
        return m_first.value();
    if (edit == 1 && m_second)
        return m_second->value();
    return std::nullopt;
}
