// Parsing the selection options and opening the pages under them.
#include "batch/selection_args.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>

#include "app/app_context.h"
#include "batch/batch_command.h"
#include "mdb/schema.h"
#include "pages/page_orbit.h"

namespace {

using Values = std::vector<double>;

struct Option {
    int arity;
    std::function<void(SelectionArgs&, const Values&)> apply;
};

void setCondition(int& flag, float& reference, float& halfWidth, const Values& v)
{
    flag = 1;
    reference = static_cast<float>(v[0]);
    halfWidth = static_cast<float>(v[1]);
}

const std::map<std::string, Option>& numericOptions()
{
    static const std::map<std::string, Option> options = {
        {"--days",
         {1,
          [](SelectionArgs& a, const Values& v) {
              a.settings.po_daysC = 1;
              a.settings.po_days = static_cast<int>(v[0]);
          }}},
        {"--all-years",
         {1, [](SelectionArgs& a, const Values& v) { a.settings.po_allyC = v[0] != 0 ? 1 : 0; }}},
        {"--sol", {1, [](SelectionArgs& a, const Values& v) { a.sol = v[0]; }}},
        {"--ra",
         {2,
          [](SelectionArgs& a, const Values& v) {
              setCondition(a.settings.po_rC, a.settings.po_r1, a.settings.po_r2, v);
          }}},
        {"--dec",
         {2,
          [](SelectionArgs& a, const Values& v) {
              setCondition(a.settings.po_dC, a.settings.po_d1, a.settings.po_d2, v);
          }}},
        {"--vg",
         {2,
          [](SelectionArgs& a, const Values& v) {
              setCondition(a.settings.po_vC, a.settings.po_v1, a.settings.po_v2, v);
          }}},
        {"--radiant",
         {2,
          [](SelectionArgs& a, const Values& v) {
              a.settings.po_r1 = static_cast<float>(v[0]);
              a.settings.po_d1 = static_cast<float>(v[1]);
          }}},
        {"--radius",
         {1,
          [](SelectionArgs& a, const Values& v) {
              a.settings.po_RC = 1;
              a.settings.po_R = static_cast<float>(v[0]);
          }}},
        {"--orbit",
         {6,
          [](SelectionArgs& a, const Values& v) {
              Settings& s = a.settings;
              float* elements[] = {&s.po_a1, &s.po_q1, &s.po_e1, &s.po_p1, &s.po_n1, &s.po_i1};
              for (std::size_t i = 0; i < 6; ++i)
                  *elements[i] = static_cast<float>(v[i]);
          }}},
        {"--dprime",
         {1,
          [](SelectionArgs& a, const Values& v) {
              a.settings.po_DC = 1;
              a.settings.po_D = static_cast<float>(v[0]);
          }}},
    };
    return options;
}

bool parseDate(const std::string& text, Settings& settings)
{
    int year = 0, month = 0, day = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d%c", &year, &month, &day, &rest) != 3)
        return false;
    settings.dlg_Y = year;
    settings.dlg_M = month;
    settings.dlg_D = day;
    return true;
}

// The options onto parsed.settings, the other arguments into positional;
// false on an unknown option or a bad value.
bool applyOptions(SelectionArgs& parsed, const std::vector<std::string>& args)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        const bool hasValue = i + 1 < args.size();
        if (name == "--stream" && hasValue) {
            parsed.stream = args[++i];
            continue;
        }
        const std::size_t first = i;
        if (name == "--date" && hasValue) {
            if (!parseDate(args[++i], parsed.settings))
                return false;
        } else if (const auto option = numericOptions().find(name);
                   option != numericOptions().end()) {
            Values values(static_cast<std::size_t>(option->second.arity));
            for (double& value : values)
                if (++i >= args.size() || !parseNumber(args[i], value))
                    return false;
            option->second.apply(parsed, values);
        } else if (name.starts_with("--")) {
            return false;
        } else {
            parsed.positional.push_back(name);
            continue;
        }
        parsed.options.insert(parsed.options.end(), args.begin() + static_cast<long>(first),
                              args.begin() + static_cast<long>(i) + 1);
    }
    return true;
}

} // namespace

std::optional<SelectionArgs> parseSelectionArgs(const std::vector<std::string>& args)
{
    SelectionArgs parsed;
    std::error_code error;
    const std::string folder = std::filesystem::current_path(error).string();
    parsed.settings = defaultSettings({folder, {}});
    ViewLayouts views;
    readSettings(parsed.settings, views, folder);
    if (!applyOptions(parsed, args))
        return std::nullopt;
    return parsed;
}

std::optional<int> SelectionRun::start(const SelectionArgs& args, const char* command)
{
    // The parsed settings are the same settings file's, changed by the options.
    if (!m_window.open(command, args.positional.front(), MdbAccess::Read,
                       [&args](Settings& settings) { settings = args.settings; }))
        return kBatchFailed;
    if (args.stream) {
        // The other options change what the click set, as the user would after it.
        if (!m_window.pages().ctrlClickStream(*args.stream)) {
            std::fprintf(stderr, "%s: no stream has the code %s\n", command, args.stream->c_str());
            return kBatchFailed;
        }
        SelectionArgs after;
        after.settings = app().settings;
        if (!applyOptions(after, args.options))
            return kBatchUsage;
        app().settings = after.settings;
    }
    if (args.sol)
        app().selection.currentSol = *args.sol;
    if ((args.stream && !args.options.empty()) || args.sol)
        m_window.orbitPage().rebuildView();
    return std::nullopt;
}
