// Batch commands of the Orbit page: the selection with its averages, and
// the export of the selected orbits.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "batch/batch_command.h"
#include "batch/selection_args.h"
#include "mdb/schema.h"
#include "orbits/orbit_exports.h"
#include "pages/orbit_export_commands.h"
#include "pages/page_orbit.h"

namespace {

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
