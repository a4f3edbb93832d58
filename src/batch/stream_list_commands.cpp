// Batch commands on stream lists: import, export, cross listing, typical orbits.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "batch/batch_command.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "pages/orbit_files.h"
#include "pages/stream_list.h"
#include "pages/typical_orbits.h"

namespace {

// Arguments: the positional ones, and the values of the options named.
struct Arguments {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;
    std::optional<std::string> option(const std::string& name) const
    {
        for (const auto& [key, value] : options)
            if (key == name)
                return value;
        return std::nullopt;
    }
};

// Options with a value, and flags (stored with an empty value); nothing for any other option.
std::optional<Arguments> parseArguments(const std::vector<std::string>& args,
                                        const std::vector<std::string>& valued,
                                        const std::vector<std::string>& flags)
{
    Arguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!arg.starts_with("--")) {
            parsed.positional.push_back(arg);
        } else if (std::find(valued.begin(), valued.end(), arg) != valued.end() &&
                   i + 1 < args.size()) {
            parsed.options.emplace_back(arg, args[++i]);
        } else if (std::find(flags.begin(), flags.end(), arg) != flags.end()) {
            parsed.options.emplace_back(arg, "");
        } else {
            return std::nullopt;
        }
    }
    return parsed;
}

// The first live list of that name, else the list whose LID the text is; -1 when none.
int listNamed(const Database& db, const std::string& name)
{
    for (int row = 0; row < db.lists.count(); ++row)
        if (db.lists.isLive(row) && name == db.lists.text(row, col::List::name))
            return row;
    double lid = 0;
    if (parseNumber(name, lid))
        for (int row = 0; row < db.lists.count(); ++row)
            if (db.lists.isLive(row) && db.lists.cell(row, col::List::LID)->number == lid)
                return row;
    return -1;
}

int findList(const char* command, const Database& db, const std::string& name)
{
    const int row = listNamed(db, name);
    if (row < 0)
        std::fprintf(stderr, "%s: no stream list %s\n", command, name.c_str());
    return row;
}

int listImport(const std::vector<std::string>& args)
{
    const auto parsed = parseArguments(args, {"--dsid", "--status"}, {});
    if (!parsed || parsed->positional.size() != 2 || !parsed->option("--dsid"))
        return kBatchUsage;
    const std::optional<IauStatusChoice> status =
        iauStatusChoiceNamed(parsed->option("--status").value_or("established"));
    if (!status)
        return kBatchUsage;
    BatchAnswers answers;
    const auto app = openMdb("list-import", parsed->positional[0], *parsed->option("--dsid"));
    if (!app)
        return kBatchFailed;
    const std::optional<int> list = importStreamListFile(*app, parsed->positional[1], *status);
    if (!list || !saveAll(*app->db, app->settings.mdbdir))
        return kBatchFailed;
    std::printf("list %s\n", app->db->lists.text(*list, col::List::name));
    std::printf("streams %zu\n", streamsOfList(*app, *list).size());
    return kBatchOk;
}

int listExport(const std::vector<std::string>& args)
{
    const auto parsed = parseArguments(args, {}, {"--csv", "--tarn"});
    if (!parsed || parsed->positional.size() != 3 || parsed->options.size() != 1)
        return kBatchUsage;
    const auto app = openMdb("list-export", parsed->positional[0]);
    if (!app)
        return kBatchFailed;
    const int list = findList("list-export", *app->db, parsed->positional[1]);
    if (list < 0)
        return kBatchFailed;
    const std::string& out = parsed->positional[2];
    const bool written = parsed->option("--csv")
                             ? writeStreamListCsv(*app, streamsOfListInTableOrder(*app, list), out)
                             : writeTarnRadiant(*app, list, out);
    return written ? kBatchOk : kBatchFailed;
}

int crossListing(const std::vector<std::string>& args)
{
    if (args.size() != 3)
        return kBatchUsage;
    const auto app = openMdb("cross-listing", args[0]);
    if (!app)
        return kBatchFailed;
    const int list = findList("cross-listing", *app->db, args[1]);
    return list >= 0 && writeCrossListing(*app, list, args[2]) ? kBatchOk : kBatchFailed;
}

int typicalOrbits(const std::vector<std::string>& args)
{
    const auto parsed = parseArguments(args, {"--dsid"}, {});
    if (!parsed || parsed->positional.size() != 2 || !parsed->option("--dsid"))
        return kBatchUsage;
    BatchAnswers answers;
    const auto app = openMdb("typical-orbits", parsed->positional[0], *parsed->option("--dsid"));
    if (!app)
        return kBatchFailed;
    const int list = findList("typical-orbits", *app->db, parsed->positional[1]);
    if (list < 0)
        return kBatchFailed;
    const std::string path =
        orbitFilePath(*app, typicalOrbitsFileName(app->db->lists.text(list, col::List::name)));
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        std::fprintf(stderr, "typical-orbits: %s exists\n", path.c_str());
        return kBatchFailed;
    }
    const std::optional<int> orbits = makeTypicalOrbitsFile(*app, list, path);
    if (!orbits)
        return kBatchFailed;
    std::printf("typical_orbits %d\n", *orbits);
    std::printf("file %s\n", fileNameOf(path).c_str());
    return kBatchOk;
}

} // namespace

std::vector<BatchCommand> streamListCommands()
{
    return {
        {"list-import", "MDB FILE --dsid CODE [--status established|working|all]",
         "import a stream list (ULE csv, fixed-width txt, IAU MDC psv) as data source CODE",
         listImport},
        {"list-export", "MDB LIST (--csv|--tarn) OUT",
         "write a stream list (name or LID) as ULE csv or TarnRadiant text", listExport},
        {"cross-listing", "MDB LIST OUT", "write the cross stream listing of a list", crossListing},
        {"typical-orbits", "MDB LIST --dsid CODE",
         "make the typical orbits of a list's streams into MDB/orbits/O_LIST.csv", typicalOrbits},
    };
}
