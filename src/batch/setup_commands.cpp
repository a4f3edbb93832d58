// Batch commands that set a database up without the window: a new MDB, its data sources and
// stream lists, and listings of what it holds.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "batch/batch_command.h"
#include "mdb/data_sources.h"
#include "mdb/database_store.h"
#include "mdb/dsid_dialog.h"
#include "mdb/schema.h"
#include "platform/ui.h"
#include "streams/stream_list_rows.h"
#include "views/cell_format.h"

namespace {

using D = col::Dsid;

// Longest code the code column holds.
constexpr std::size_t kMaxCodeLength = 7;

// The value after an option, or nothing when it is not given; false for anything else.
bool takeOptions(const std::vector<std::string>& args, std::vector<std::string>& positional,
                 std::vector<std::pair<std::string, std::optional<std::string>*>> options)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!args[i].starts_with("--")) {
            positional.push_back(args[i]);
            continue;
        }
        const auto option = std::find_if(options.begin(), options.end(),
                                         [&](const auto& o) { return o.first == args[i]; });
        if (option == options.end() || i + 1 >= args.size())
            return false;
        *option->second = args[++i];
    }
    return true;
}

bool parseCount(const std::string& text, std::uint32_t& value)
{
    double number = 0;
    if (!parseNumber(text, number) || number < 0 || number != static_cast<std::uint32_t>(number))
        return false;
    value = static_cast<std::uint32_t>(number);
    return true;
}

bool folderHoldsFiles(const std::string& folder)
{
    std::error_code error;
    return std::filesystem::exists(folder, error) &&
           (!std::filesystem::is_directory(folder, error) ||
            !std::filesystem::is_empty(folder, error));
}

int create(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return kBatchUsage;
    const std::string& mdb = args[0];
    if (folderHoldsFiles(mdb)) {
        std::fprintf(stderr, "create: %s exists and is not an empty folder\n", mdb.c_str());
        return kBatchFailed;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(mdb) / kOrbitsFolder, error);
    if (error) {
        std::fprintf(stderr, "create: cannot create %s: %s\n", mdb.c_str(),
                     error.message().c_str());
        return kBatchFailed;
    }
    BatchAnswers answers;
    // Opening an empty database gives it the work source, as the window's first start does.
    const auto app = openMdb("create", mdb, MdbAccess::Write);
    if (!app || !saveAll(*app->db, mdb))
        return kBatchFailed;
    std::printf("data_source %u %s\n", app->db->sources.currentDsid(),
                app->db->sources.currentCode());
    return kBatchOk;
}

// The row of the live data source with this code, -1 when none has it.
int sourceWithCode(const Database& db, const std::string& code)
{
    for (int row = 0; row < db.dsids.count(); ++row)
        if (db.dsids.isLive(row) && code == db.dsids.text(row, D::code))
            return row;
    return -1;
}

// A code the tables can hold and no other data source has.
bool isNewCode(const Database& db, const std::string& code)
{
    if (code.empty() || code.size() > kMaxCodeLength ||
        code.find_first_of(", \t") != std::string::npos) {
        std::fprintf(stderr, "dsid-add: a code is 1 to %zu characters without commas or blanks\n",
                     kMaxCodeLength);
        return false;
    }
    if (sourceWithCode(db, code) < 0)
        return true;
    message(kDuplicateCodeFormat, code.c_str());
    return false;
}

int dsidAdd(const std::vector<std::string>& args)
{
    std::vector<std::string> positional;
    std::optional<std::string> number, memo;
    double kind = 0;
    if (!takeOptions(args, positional, {{"--dsid", &number}, {"--memo", &memo}}) ||
        positional.size() != 3 || !parseNumber(positional[1], kind) || kind < 0 || kind > 4 ||
        kind != static_cast<int>(kind))
        return kBatchUsage;
    BatchAnswers answers;
    const auto app = openMdb("dsid-add", positional[0], MdbAccess::Write);
    if (!app)
        return kBatchFailed;
    Database& db = *app->db;
    // The add-data-source dialog: the kind proposes a number, a typed one replaces it.
    CDSIDdlg dialog(db.sources);
    dialog.chooseKind(static_cast<int>(kind));
    if (number)
        dialog.numberText = *number;
    const std::string& code = positional[2];
    if (!dialog.ok() || !isNewCode(db, code))
        return kBatchFailed;
    const std::uint32_t dsid = *dialog.chosen();
    db.sources.addSource(dsid, code.c_str(), memo.value_or("").c_str());
    db.sources.selectCurrentDsid(dsid);
    if (!saveAll(db, app->settings.mdbdir))
        return kBatchFailed;
    std::printf("data_source %u %s\n", dsid, code.c_str());
    return kBatchOk;
}

int dsidUse(const std::vector<std::string>& args)
{
    std::uint32_t use = 0;
    if (args.size() != 3 || !parseCount(args[2], use) || use > 1)
        return kBatchUsage;
    BatchAnswers answers;
    const auto app = openMdb("dsid-use", args[0], MdbAccess::Write);
    if (!app)
        return kBatchFailed;
    Database& db = *app->db;
    const int row = sourceWithCode(db, args[1]);
    if (row < 0) {
        std::fprintf(stderr, "dsid-use: no data source has the code %s\n", args[1].c_str());
        return kBatchFailed;
    }
    db.dsids.cell(row, D::use)->number = use;
    // As after an edit of the data source view: the checks, then the current source again.
    db.sources.checkDsidTable();
    db.sources.selectCurrentDsid(db.sources.currentDsid());
    return saveAll(db, app->settings.mdbdir) ? kBatchOk : kBatchFailed;
}

int dsidList(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return kBatchUsage;
    BatchAnswers answers;
    const auto app = openMdb("dsid-list", args[0], MdbAccess::Read);
    if (!app)
        return kBatchFailed;
    const CUTABLE& dsids = app->db->dsids;
    std::vector<int> rows;
    for (int row = 0; row < dsids.count(); ++row)
        if (dsids.isLive(row))
            rows.push_back(row);
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        return dsids.cell(a, D::DSID)->number < dsids.cell(b, D::DSID)->number;
    });
    std::printf("dsid kind code use ids_used ids_free\n");
    for (const int row : rows) {
        const std::uint32_t dsid = dsids.cell(row, D::DSID)->number;
        const std::uint32_t used = dsids.cell(row, D::IDnext)->number % kIdsPerSource;
        std::printf("%u %d %s %u %u %u\n", dsid, kindOfDsid(dsid), dsids.text(row, D::code),
                    dsids.cell(row, D::use)->number, used, kIdsPerSource - 1 - used);
    }
    return kBatchOk;
}

int listCreate(const std::vector<std::string>& args)
{
    std::vector<std::string> positional;
    std::optional<std::string> code;
    if (!takeOptions(args, positional, {{"--dsid", &code}}) || positional.size() != 2 || !code)
        return kBatchUsage;
    const std::string& name = positional[1];
    if (!isStorableText(name)) {
        std::fprintf(stderr, "list-create: a list name may not contain a comma or a line break\n");
        return kBatchFailed;
    }
    BatchAnswers answers;
    const auto app = openMdb("list-create", positional[0], MdbAccess::Write, *code);
    if (!app)
        return kBatchFailed;
    Database& db = *app->db;
    for (int row = 0; row < db.lists.count(); ++row)
        if (db.lists.isLive(row) && name == db.lists.text(row, col::List::name)) {
            std::fprintf(stderr, "list-create: a stream list is named %s\n", name.c_str());
            return kBatchFailed;
        }
    const std::optional<int> list = addListRow(db, name);
    if (!list || !saveAll(db, app->settings.mdbdir))
        return kBatchFailed;
    std::printf("list %u %s\n", db.lists.cell(*list, col::List::LID)->number, name.c_str());
    return kBatchOk;
}

int files(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return kBatchUsage;
    BatchAnswers answers;
    const auto app = openMdb("files", args[0], MdbAccess::Read);
    if (!app)
        return kBatchFailed;
    const Database& db = *app->db;
    std::vector<int> orbits(static_cast<std::size_t>(db.orbitFiles.count()), 0);
    for (int row = 0; row < db.orbits.count(); ++row) {
        const int file = db.orbits.integer(row, col::Orbit::OFILE);
        if (db.orbits.isLive(row) && file >= 0 && file < db.orbitFiles.count())
            ++orbits[static_cast<std::size_t>(file)];
    }
    std::printf("file use loaded orbits\n");
    for (int row = 0; row < db.orbitFiles.count(); ++row)
        if (db.orbitFiles.isLive(row))
            std::printf("%s %u %u %d\n", db.orbitFiles.text(row, col::OrbitFile::fileName),
                        db.orbitFiles.cell(row, col::OrbitFile::use)->number,
                        db.orbitFiles.cell(row, col::OrbitFile::loaded)->number,
                        orbits[static_cast<std::size_t>(row)]);
    return db.unreadFiles.empty() ? kBatchOk : kBatchFailed;
}

} // namespace

std::vector<BatchCommand> setupCommands()
{
    return {
        {"create", "MDB",
         "make a new empty database (with its work source WK) in a new or empty folder", create},
        {"dsid-add", "MDB KIND CODE [--dsid N] [--memo TEXT]",
         "add a data source of KIND (0 reserve, 1/3 public/private stream, 2/4 public/private "
         "orbit; DSID proposed unless given) and make it current",
         dsidAdd},
        {"dsid-use", "MDB CODE 0|1", "set a data source's use flag", dsidUse},
        {"dsid-list", "MDB", "list the data sources: DSID, kind, code, use, IDs used and free",
         dsidList},
        {"list-create", "MDB NAME --dsid CODE", "make an empty stream list of data source CODE",
         listCreate},
        {"files", "MDB", "list the orbit files with their use and loaded flags and orbit counts",
         files},
    };
}
