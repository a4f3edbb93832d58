#pragma once
// The Orbit page's selection conditions as batch options, and the pages
// opened on an MDB under them, for every batch command that works on a
// selection.

#include <optional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "batch/headless_window.h"

inline constexpr const char* kConditionArgs =
    "[--stream CODE] [--date Y-M-D] [--days N] [--all-years 0|1] [--sol DEG] [--ra DEG WIDTH] "
    "[--dec DEG WIDTH] [--vg KMS WIDTH] [--radiant RA DEC] [--radius DEG] "
    "[--orbit A Q E PERI NODE INCL] [--dprime LIMIT]";

// The conditions as options; what they leave alone keeps the settings' value.
struct SelectionArgs {
    std::vector<std::string> positional;
    Settings settings;
    std::optional<double> sol;
    // "--stream": a Ctrl-click on the stream's line of the Stream page.
    std::optional<std::string> stream;
    // The options other than "--stream", as given.
    std::vector<std::string> options;
};

// The settings file of the current folder changed by the options; the
// other arguments in `positional`. Nothing on an unknown option or a bad value.
std::optional<SelectionArgs> parseSelectionArgs(const std::vector<std::string>& args);

// The pages opened on the MDB (the first positional argument) as the window
// opens them, under the parsed conditions; the Orbit page's list and counts
// as the window would show them.
class SelectionRun {
public:
    // The batch status to end with when the MDB or the stream is missing.
    std::optional<int> start(const SelectionArgs& args, const char* command);
    AppContext& app() { return m_window.app(); }

private:
    HeadlessWindow m_window;
};
