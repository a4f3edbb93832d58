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

// Only the streams of this code are chosen in the stream dialog, the sporadic row is not; as
// there, a single chosen stream becomes the current one, which the maps name.
bool chooseStreamsOfCode(AppContext& app, const std::string& code)
{
    CUTABLE& streams = app.db->streams;
    int current = -1;
    for (int row = 0; row < streams.count(); ++row) {
        if (!streams.isLive(row))
            continue;
        const bool chosen = code == streams.text(row, col::Stream::code);
        streams.cell(row, col::Stream::ssel)->number = chosen ? 1 : 0;
        if (chosen)
            current = current == -1 ? row : -2;
    }
    app.sporadicChosen = false;
    app.settings.po_selstream = 1;
    app.currentStreamRow = current;
    return current != -1;
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
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        const bool hasValue = i + 1 < args.size();
        if (name == "--stream" && hasValue) {
            parsed.stream = args[++i];
        } else if (name == "--date" && hasValue) {
            if (!parseDate(args[++i], parsed.settings))
                return std::nullopt;
        } else if (const auto option = numericOptions().find(name);
                   option != numericOptions().end()) {
            Values values(static_cast<std::size_t>(option->second.arity));
            for (double& value : values)
                if (++i >= args.size() || !parseNumber(args[i], value))
                    return std::nullopt;
            option->second.apply(parsed, values);
        } else if (name.starts_with("--")) {
            return std::nullopt;
        } else {
            parsed.positional.push_back(name);
        }
    }
    return parsed;
}

std::optional<int> SelectionRun::start(const SelectionArgs& args, const char* command)
{
    // The parsed settings are the same settings file's, changed by the options.
    if (!m_window.open(command, args.positional.front(),
                       [&args](Settings& settings) { settings = args.settings; }))
        return kBatchFailed;
    if (args.stream && !chooseStreamsOfCode(app(), *args.stream)) {
        std::fprintf(stderr, "%s: no stream has the code %s\n", command, args.stream->c_str());
        return kBatchFailed;
    }
    if (args.sol)
        app().selection.currentSol = *args.sol;
    if (args.stream || args.sol)
        m_window.orbitPage().rebuildView();
    return std::nullopt;
}
