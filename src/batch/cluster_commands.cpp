// The batch command "cluster": automatic clustering of the listed orbits into new streams.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "batch/batch_command.h"
#include "cluster/cluster_command.h"
#include "cluster/cluster_dlg.h"
#include "cluster/cluster_pages.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"

namespace {

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

// The live stream list of this name whose data source is in use, -1 when there is none.
int listInUse(const Database& db, const std::string& name)
{
    using C = col::List;
    for (int row = 0; row < db.lists.count(); ++row)
        if (db.lists.isLive(row) && db.sources.isInUse(db.lists.cell(row, C::LID)->number) &&
            name == db.lists.text(row, C::name))
            return row;
    return -1;
}

// What the Orbit page lists under the default settings: every orbit of a data source in use
// whose use flag is set, in table order. Stands in until the page's own listing can be run
// without a window.
std::vector<int> orbitsOfSourcesInUse(const Database& db)
{
    using C = col::Orbit;
    std::vector<int> rows;
    for (int row = 0; row < db.orbits.count(); ++row)
        if (db.orbits.isLive(row) && db.sources.isInUse(db.orbits.cell(row, C::OID)->number) &&
            db.orbits.cell(row, C::use)->number != 0)
            rows.push_back(row);
    return rows;
}

int cluster(const std::vector<std::string>& args)
{
    const std::optional<ClusterArgs> parsed = parseClusterArgs(args);
    if (!parsed)
        return kBatchUsage;
    BatchAnswers answers;
    const std::unique_ptr<AppContext> opened = openMdb("cluster", parsed->mdb, parsed->dsidCode);
    if (!opened)
        return kBatchFailed;
    AppContext& app = *opened;
    if (!applyParameters(app.settings, *parsed))
        return kBatchUsage;
    app.currentListRow = listInUse(*app.db, parsed->listName);
    if (app.currentListRow < 0) {
        std::fprintf(stderr, "cluster: no stream list in use is named %s\n",
                     parsed->listName.c_str());
        return kBatchFailed;
    }
    app.currentLid = app.db->lists.cell(app.currentListRow, col::List::LID)->number;

    bool complete = false;
    answers->answerDialog([&](DialogModel& model) {
        auto& dialog = static_cast<CClusterDlg&>(model);
        dialog.runToEnd();
        std::fputs(dialog.log().c_str(), stdout);
        complete = !dialog.idsRanOut();
        return true;
    });
    ClusterPages pages;
    runClustering(app, orbitsOfSourcesInUse(*app.db), pages);
    if (!saveAll(*app.db, app.settings.mdbdir))
        return kBatchFailed;
    return complete ? kBatchOk : kBatchFailed;
}

} // namespace

std::vector<BatchCommand> clusterCommands()
{
    return {
        {"cluster", "MDB LIST --dsid CODE [--sol S] [--r R] [--v V] [--d D] [--minc N]",
         "cluster the orbits of the data sources in use into new streams of LIST with SIDs of "
         "CODE, save, print the log",
         cluster},
    };
}
