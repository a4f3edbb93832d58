// The batch command "cluster": automatic clustering of the listed orbits into new streams.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "batch/batch_command.h"
#include "batch/headless_window.h"
#include "mdb/database_store.h"
#include "pages/cluster_command.h"
#include "pages/cluster_dlg.h"
#include "pages/dsid_select_dialog.h"

namespace {

constexpr auto kProgressInterval = std::chrono::seconds(1);
// Nobody watches the Orbit page of the batch tool: it shows only the last stream, as the
// window's page ends, and each stream takes its statistics from its members instead of a
// selection over every orbit.
constexpr auto kBatchShowInterval = std::chrono::hours(24 * 365);

struct ClusterArgs {
    std::string mdb;
    std::string listName;
    std::string dsidCode;
    std::vector<std::pair<std::string, double>> parameters; // option and value, in order
};

std::optional<ClusterArgs> parseClusterArgs(const std::vector<std::string>& args)
{
    static const char* const kParameterOptions[] = {"--sol", "--r", "--v", "--d", "--minc"};
    ClusterArgs parsed;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        const std::string& arg = args[i];
        if (arg == "--dsid" && hasValue) {
            parsed.dsidCode = args[++i];
            continue;
        }
        if (arg.starts_with("--")) {
            double value = 0;
            const bool known = std::find(std::begin(kParameterOptions), std::end(kParameterOptions),
                                         arg) != std::end(kParameterOptions);
            if (!known || !hasValue || !parseNumber(args[++i], value))
                return std::nullopt;
            parsed.parameters.emplace_back(arg, value);
            continue;
        }
        positional.push_back(arg);
    }
    if (positional.size() != 2 || parsed.dsidCode.empty())
        return std::nullopt;
    parsed.mdb = positional[0];
    parsed.listName = positional[1];
    return parsed;
}

// False for a whole-number option given a fraction.
bool applyParameters(Settings& s, const ClusterArgs& args)
{
    for (const auto& [option, value] : args.parameters) {
        const bool whole = std::nearbyint(value) == value;
        if (option == "--sol")
            s.ac_S = static_cast<float>(value);
        else if (option == "--r")
            s.ac_R = static_cast<float>(value);
        else if (option == "--d")
            s.ac_D = static_cast<float>(value);
        else if (!whole || std::fabs(value) > 1e9)
            return false;
        else if (option == "--v")
            s.ac_V = static_cast<int>(value);
        else
            s.ac_minc = static_cast<int>(value);
    }
    return true;
}

// Chooses the data source of this code in the DSID select dialog; Cancel when none is in use.
std::function<bool(DialogModel&)> chooseSource(const std::string& code, bool& found)
{
    return [&code, &found](DialogModel& model) {
        auto& dialog = static_cast<CDSIDSDlg&>(model);
        const std::vector<CDSIDSDlg::Item>& items = dialog.dsidItems();
        for (std::size_t item = 0; item < items.size() && !found; ++item)
            if (items[item].text == code) {
                dialog.selectDsid(static_cast<int>(item));
                found = true;
            }
        return found;
    };
}

// Every second or so, on standard error, how far the run has come; a long run is never silent.
std::function<void()> progressPrinter(const CClusterDlg& dialog)
{
    auto last = std::chrono::steady_clock::now() - kProgressInterval;
    return [&dialog, last]() mutable {
        const auto now = std::chrono::steady_clock::now();
        if (now - last < kProgressInterval)
            return;
        last = now;
        if (dialog.cycling())
            std::fprintf(stderr, "cluster: cycle %d, %d streams made, %d orbits left\n",
                         dialog.newStreams() + 1, dialog.newStreams(), dialog.left());
        else
            std::fprintf(stderr, "cluster: counting neighbours, %d of %d orbits\n", dialog.swept(),
                         dialog.candidateCount());
    };
}

// The window's run: the list chosen on the Stream page, then the Orbit page's "clustering"
// over the orbits it lists, answered as its user would.
int cluster(const std::vector<std::string>& args)
{
    const std::optional<ClusterArgs> parsed = parseClusterArgs(args);
    if (!parsed)
        return kBatchUsage;
    BatchAnswers answers;
    HeadlessWindow window;
    if (!window.open("cluster", parsed->mdb, MdbAccess::Write))
        return kBatchFailed;
    AppContext& app = window.app();
    if (!applyParameters(app.settings, *parsed))
        return kBatchUsage;
    if (!window.pages().chooseList(parsed->listName)) {
        std::fprintf(stderr, "cluster: no stream list in use is named %s\n",
                     parsed->listName.c_str());
        return kBatchFailed;
    }
    connectClustering(app, window.streamPage(), window.orbitPage());

    bool sourceFound = false;
    bool complete = false;
    answers->answerDialog(chooseSource(parsed->dsidCode, sourceFound));
    answers->answerDialog([&](DialogModel& model) {
        auto& dialog = static_cast<CClusterDlg&>(model);
        dialog.setShowInterval(kBatchShowInterval);
        dialog.runToEnd(progressPrinter(dialog));
        std::fputs(dialog.log().c_str(), stdout);
        complete = !dialog.idsRanOut();
        return true;
    });
    window.orbitPage().clustering();
    if (!sourceFound) {
        std::fprintf(stderr, "cluster: no data source in use has the code %s\n",
                     parsed->dsidCode.c_str());
        return kBatchFailed;
    }
    if (!saveAll(*app.db, app.settings.mdbdir))
        return kBatchFailed;
    return complete ? kBatchOk : kBatchFailed;
}

} // namespace

std::vector<BatchCommand> clusterCommands()
{
    return {
        {"cluster", "MDB LIST --dsid CODE [--sol S] [--r R] [--v V] [--d D] [--minc N]",
         "cluster the orbits the Orbit page lists under the settings' conditions and filters into "
         "new streams of LIST with SIDs of CODE, save, print the log",
         cluster},
    };
}
