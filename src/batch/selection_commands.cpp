// Batch commands of the Orbit page: the selection with its averages, and
// the export of the selected orbits.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "batch/batch_command.h"
#include "batch/headless_window.h"
#include "mdb/schema.h"
#include "orbits/orbit_exports.h"
#include "orbits/page_orbit.h"

namespace {

constexpr const char* kConditionArgs =
    "[--stream CODE] [--date Y-M-D] [--days N] [--all-years 0|1] [--sol DEG] [--ra DEG WIDTH] "
    "[--dec DEG WIDTH] [--vg KMS WIDTH] [--radiant RA DEC] [--radius DEG] "
    "[--orbit A Q E PERI NODE INCL] [--dprime LIMIT]";

// The conditions as options; what they leave alone keeps the settings' value.
struct SelectionArgs {
    std::vector<std::string> positional;
    Settings settings;
    std::optional<double> sol;
    std::optional<std::string> stream;
};

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

// Only the streams of this code are chosen in the stream dialog, the sporadic row is not.
bool chooseStreamsOfCode(AppContext& app, const std::string& code)
{
    CUTABLE& streams = app.db->streams;
    bool found = false;
    for (int row = 0; row < streams.count(); ++row) {
        if (!streams.isLive(row))
            continue;
        const bool chosen = code == streams.text(row, col::Stream::code);
        streams.cell(row, col::Stream::ssel)->number = chosen ? 1 : 0;
        found = found || chosen;
    }
    app.sporadicChosen = false;
    app.settings.po_selstream = 1;
    return found;
}

// The pages opened on the MDB as the window opens them, under the parsed conditions; the
// Orbit page's list and counts as the window would show them.
class SelectionRun {
public:
    std::optional<int> start(const SelectionArgs& args, const char* command)
    {
        // The parsed settings are the same settings file's, changed by the options.
        if (!m_window.open(command, args.positional.front(),
                           [&args](Settings& settings) { settings = args.settings; }))
            return kBatchFailed;
        if (args.stream) {
            if (!chooseStreamsOfCode(app(), *args.stream)) {
                std::fprintf(stderr, "%s: no stream has the code %s\n", command,
                             args.stream->c_str());
                return kBatchFailed;
            }
            m_window.orbitPage().rebuildView();
        }
        if (args.sol) {
            app().selection.currentSol = *args.sol;
            m_window.orbitPage().rebuildView();
        }
        return std::nullopt;
    }
    AppContext& app() { return m_window.app(); }

private:
    HeadlessWindow m_window;
};

void printAverages(const OrbitSelection& selection)
{
    const SelectionAverages& a = selection.averages;
    std::printf("selected %d\n", selection.selected);
    const std::pair<const char*, double> lines[] = {
        {"sol", a.sol},       {"ra", a.ra},     {"dec", a.dec},   {"dra", a.driftRa},
        {"ddec", a.driftDec}, {"vg", a.vg},     {"a", a.a},       {"q", a.q},
        {"e", a.e},           {"peri", a.peri}, {"node", a.node}, {"incl", a.incl},
    };
    for (const auto& [name, value] : lines)
        std::printf("%s %.6f\n", name, value);
}

int runSelect(const std::vector<std::string>& args)
{
    const std::optional<SelectionArgs> parsed = parseSelectionArgs(args);
    if (!parsed || parsed->positional.size() != 1)
        return kBatchUsage;
    SelectionRun run;
    if (const std::optional<int> failed = run.start(*parsed, "select"))
        return *failed;
    printAverages(run.app().selection);
    return kBatchOk;
}

// The selection written by one of the Orbit page's exports; refused inside MDB/orbits, where it
// would be loaded as an orbit file.
int exportSelection(const std::vector<std::string>& args, const char* command,
                    bool (*write)(const Database&, const std::string&))
{
    const std::optional<SelectionArgs> parsed = parseSelectionArgs(args);
    if (!parsed || parsed->positional.size() != 2)
        return kBatchUsage;
    SelectionRun run;
    if (const std::optional<int> failed = run.start(*parsed, command))
        return *failed;
    const std::string& target = parsed->positional[1];
    if (isInOrbitsFolder(run.app(), target)) {
        std::fprintf(stderr, "%s: %s would be loaded as an orbit file\n", command, target.c_str());
        return kBatchFailed;
    }
    if (!write(*run.app().db, target))
        return kBatchFailed;
    std::printf("exported %d\n", run.app().selection.selected);
    return kBatchOk;
}

int runExportSelection(const std::vector<std::string>& args)
{
    return exportSelection(args, "export-selection", writeSelectedOrbits);
}

int runStreamCount(const std::vector<std::string>& args)
{
    return exportSelection(args, "stream-count", writeStreamCount);
}

} // namespace

std::vector<BatchCommand> selectionCommands()
{
    return {
        {"select", std::string("MDB ") + kConditionArgs,
         "run the Orbit page's selection and print the count and averages, one \"name value\" a "
         "line",
         runSelect},
        {"export-selection", std::string("MDB OUT ") + kConditionArgs,
         "write the selected orbits to OUT in the orbit table's layout", runExportSelection},
        {"stream-count", std::string("MDB OUT ") + kConditionArgs,
         "write the selected orbits' count per stream to OUT (the Orbit page's StreamCount.csv)",
         runStreamCount},
    };
}
