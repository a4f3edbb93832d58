// Reading the IAU MDC shower list.
#include "streams/iau_mdc.h"

#include <charconv>
#include <cmath>
#include <map>

#include "table/text_file.h"

namespace {

// Columns of the list (0-based).
enum IauColumn : int {
    kLp,
    kIauNo,
    kAdNo,
    kCode,
    kName,
    kActivity,
    kStatus,
    kLaSun,
    kRa,
    kDe,
    kDRa,
    kDDe,
    kVg,
    kA,
    kQ,
    kE,
    kPeri,
    kNode,
    kInc,
    kColumnsRead // the columns after inc (N, Group, CG, Parent) are not used
};

constexpr float kDefaultHalfActivity = 10;
constexpr float kFullCircle = 360;

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// A whole field as a number; blank is missing (nothing), anything else that
// is not a number is broken (false). The list marks uncertain values with
// parentheses, "(29.8)", writes some with a "+" and an infinite a as "Inf.".
bool readNumber(std::string_view field, std::optional<double>& value)
{
    field = trimmed(field);
    value.reset();
    if (field.size() >= 2 && field.front() == '(' && field.back() == ')')
        field = trimmed(field.substr(1, field.size() - 2));
    if (field.empty())
        return true;
    if (field == "Inf." || field == "Inf" || field == "inf") {
        value = HUGE_VAL;
        return true;
    }
    if (field.front() == '+')
        field.remove_prefix(1);
    double number = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
    if (error != std::errc() || end != field.data() + field.size() || !std::isfinite(number))
        return false;
    value = number;
    return true;
}

// A value the stream takes: given and finite.
std::optional<double> finite(const std::optional<double>& value)
{
    return value && std::isfinite(*value) ? value : std::nullopt;
}

bool readInteger(std::string_view field, std::optional<int>& value)
{
    field = trimmed(field);
    value.reset();
    if (field.empty())
        return true;
    int number = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
    if (error != std::errc() || end != field.data() + field.size())
        return false;
    value = number;
    return true;
}

bool isKnownStatus(int status)
{
    return status == 1 || status == 0 || status == -2 || status == 4 || status == 6;
}

bool isChosen(int status, IauStatusChoice choice)
{
    switch (choice) {
    case IauStatusChoice::Established:
        return status == 1;
    case IauStatusChoice::Working:
        return status == 1 || status == 0;
    case IauStatusChoice::All:
        return true;
    }
    return false;
}

float inCircle(double degrees)
{
    const double wrapped = std::fmod(degrees, kFullCircle);
    return static_cast<float>(wrapped < 0 ? wrapped + kFullCircle : wrapped);
}

// "sol1-sol2" in degrees of solar longitude, when the activity gives them
// (other activities name years or "annual").
bool activityWindow(std::string_view activity, StreamValues& values)
{
    activity = trimmed(activity);
    const std::size_t dash = activity.find('-', 1);
    if (dash == std::string_view::npos)
        return false;
    std::optional<double> from, to;
    if (!readNumber(activity.substr(0, dash), from) || !readNumber(activity.substr(dash + 1), to) ||
        !from || !to || *from < 0 || *from > kFullCircle || *to < 0 || *to > kFullCircle)
        return false;
    values.sol1 = static_cast<float>(*from);
    values.sol2 = static_cast<float>(*to);
    return true;
}

struct ParameterSet {
    int iauNumber = 0;
    std::optional<int> status;
    StreamValues values;
    bool usable = false; // has a peak, a radiant and vg
};

std::vector<std::string_view> splitAtBars(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t bar = line.find('|');
        fields.push_back(line.substr(0, bar));
        if (bar == std::string_view::npos)
            return fields;
        line.remove_prefix(bar + 1);
    }
}

std::string memoOf(const std::vector<std::string_view>& fields, int iauNumber, int parameterSet)
{
    std::string memo = "IAU " + std::to_string(iauNumber) + "/" + std::to_string(parameterSet);
    const std::pair<IauColumn, const char*> elements[] = {
        {kA, "a"}, {kQ, "q"}, {kE, "e"}, {kPeri, "peri"}, {kNode, "node"}, {kInc, "i"}};
    for (const auto& [column, label] : elements)
        if (const std::string_view value = trimmed(fields[column]); !value.empty())
            memo += std::string(" ") + label + " " + std::string(value);
    return memo;
}

// The parameter set of one line; the broken field when one is not a number.
std::optional<ParameterSet> readParameterSet(const std::vector<std::string_view>& fields,
                                             int& brokenField)
{
    ParameterSet set;
    std::optional<int> number, parameterSet;
    brokenField = kIauNo;
    if (!readInteger(fields[kIauNo], number) || !number)
        return std::nullopt;
    brokenField = kAdNo;
    if (!readInteger(fields[kAdNo], parameterSet))
        return std::nullopt;
    set.iauNumber = *number;
    std::optional<double> numbers[kColumnsRead];
    for (int column = kLaSun; column < kColumnsRead; ++column) {
        brokenField = column;
        if (!readNumber(fields[column], numbers[column]))
            return std::nullopt;
        if (column <= kVg)
            numbers[column] = finite(numbers[column]);
    }
    brokenField = 0;
    // A status that is not an integer is not known: the set is left out, the list read on.
    if (!readInteger(fields[kStatus], set.status))
        set.status.reset();
    StreamValues& values = set.values;
    const std::string_view code = trimmed(fields[kCode]);
    values.code = code.empty() ? std::to_string(*number) : std::string(code);
    values.name = std::string(trimmed(fields[kName]));
    set.usable = numbers[kLaSun] && numbers[kRa] && numbers[kDe] && numbers[kVg];
    if (!set.usable)
        return set;
    values.solp = inCircle(*numbers[kLaSun]);
    values.ra = static_cast<float>(*numbers[kRa]);
    values.dec = static_cast<float>(*numbers[kDe]);
    values.vg = static_cast<float>(*numbers[kVg]);
    values.dra = static_cast<float>(numbers[kDRa].value_or(0));
    values.ddec = static_cast<float>(numbers[kDDe].value_or(0));
    if (!activityWindow(fields[kActivity], values)) {
        values.sol1 = inCircle(values.solp - kDefaultHalfActivity);
        values.sol2 = inCircle(values.solp + kDefaultHalfActivity);
    }
    values.type = 1;
    values.memo = memoOf(fields, *number, parameterSet.value_or(0));
    return set;
}

bool isHeader(const std::vector<std::string_view>& fields)
{
    std::optional<int> number;
    return fields.size() > kIauNo && (!readInteger(fields[kLp], number) || !number);
}

} // namespace

std::optional<IauStatusChoice> iauStatusChoiceNamed(const std::string& word)
{
    for (IauStatusChoice choice :
         {IauStatusChoice::Established, IauStatusChoice::Working, IauStatusChoice::All})
        if (word == iauStatusWord(choice))
            return choice;
    return std::nullopt;
}

const char* iauStatusWord(IauStatusChoice choice)
{
    switch (choice) {
    case IauStatusChoice::Established:
        return "established";
    case IauStatusChoice::Working:
        return "working";
    case IauStatusChoice::All:
        return "all";
    }
    return "";
}

std::optional<IauShowerList> readIauMdcShowers(const std::string& path, IauStatusChoice choice)
{
    TextLineReader reader;
    if (!reader.openSource(path))
        return std::nullopt;
    IauShowerList list;
    // Showers in order of their first chosen set; each keeps its last usable chosen set.
    std::map<int, std::size_t> showerIndex;
    std::string_view line;
    for (int lineNumber = 1; reader.next(line); ++lineNumber) {
        if (trimmed(line).empty())
            continue;
        const std::vector<std::string_view> fields = splitAtBars(line);
        if (lineNumber == 1 && isHeader(fields))
            continue;
        int brokenField = 0;
        const std::optional<ParameterSet> set =
            fields.size() < kColumnsRead ? std::nullopt : readParameterSet(fields, brokenField);
        if (!set) {
            list.brokenLine = lineNumber;
            list.brokenField =
                fields.size() < kColumnsRead ? static_cast<int>(fields.size()) : brokenField;
            list.showers.clear();
            return list;
        }
        if (!set->status || !isKnownStatus(*set->status)) {
            ++list.unknownStatusSets;
            continue;
        }
        if (!set->usable || !isChosen(*set->status, choice))
            continue;
        const auto [entry, added] = showerIndex.try_emplace(set->iauNumber, list.showers.size());
        if (added)
            list.showers.push_back(set->values);
        else
            list.showers[entry->second] = set->values;
    }
    if (reader.failed())
        return std::nullopt;
    return list;
}

bool isIauMdcFileName(const std::string& fileName)
{
    return fileName.size() >= 4 && fileName.compare(fileName.size() - 4, 4, ".psv") == 0;
}
