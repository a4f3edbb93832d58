// Batch commands on the grouping of a stream list: group by R-vg or D', and erase.
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "batch/batch_command.h"
#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "platform/feedback.h"
#include "platform/scripted_ui.h"
#include "streams/stream_grouping.h"
#include "streams/stream_membership.h"

namespace {

struct GroupArgs {
    std::string mdb;
    std::string list;
    bool dprime = false;
    GroupingOptions options;
};

// A whole argument as a percentage; false when it is not a number.
bool parsePercent(const std::string& text, double& scale)
{
    double percent = 0.0;
    if (!parseNumber(text, percent))
        return false;
    scale = percent / 100.0;
    return true;
}

std::optional<GroupArgs> parseGroupArgs(const std::vector<std::string>& args)
{
    GroupArgs parsed;
    std::vector<std::string> positional;
    int criteria = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        GroupingOptions& o = parsed.options;
        if (arg == "--rvg" || arg == "--dprime") {
            parsed.dprime = arg == "--dprime";
            ++criteria;
        } else if (arg == "--pri") {
            o.pri = true;
        } else if (arg == "--exclusive") {
            o.exclusive = true;
        } else if (arg == "--dr") {
            o.dAndR = true;
        } else if ((arg == "--kr" || arg == "--kv" || arg == "--kd") && hasValue) {
            double& scale = arg == "--kr" ? o.kR : arg == "--kv" ? o.kv : o.kD;
            if (!parsePercent(args[++i], scale))
                return std::nullopt;
        } else if (arg.starts_with("--")) {
            return std::nullopt;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2 || criteria != 1)
        return std::nullopt;
    parsed.mdb = positional[0];
    parsed.list = positional[1];
    return parsed;
}

// Streams done, on standard error, every 100.
class StderrProgress final : public Feedback {
public:
    void progress(const std::string&, std::int64_t done, std::int64_t total) override
    {
        if (done % 100 == 0 && done > 0)
            std::fprintf(stderr, "streams grouped: %" PRId64 " / %" PRId64 "\n", done, total);
    }
};

// The list in use named so, or whose LID is the argument; -1 when none.
int findList(const Database& db, const std::string& list)
{
    for (int row = 0; row < db.lists.count(); ++row)
        if (db.lists.isLive(row) && list == db.lists.text(row, col::List::name) &&
            db.sources.isInUse(db.lists.cell(row, col::List::LID)->number))
            return row;
    double lid = 0.0;
    return parseNumber(list, lid) && lid >= 0 ? listRowOf(db, static_cast<unsigned>(lid)) : -1;
}

// Loads the MDB for changing it and marks the list's streams; no list when the MDB cannot be
// changed or the list is not found (after saying so).
class ListSession {
public:
    ListSession(const char* command, const std::string& mdb, const std::string& list)
    {
        m_ui.setEcho(true);
        setUi(&m_ui);
        if (!loadMdb(command, m_db, mdb, MdbAccess::Write, Settings{}.dlg_Y))
            return;
        markValidStreams(m_db);
        m_listRow = findList(m_db, list);
        if (m_listRow < 0)
            std::fprintf(stderr, "no stream list in use is named %s\n", list.c_str());
        markListMembers(m_db, m_listRow);
    }
    ~ListSession() { setUi(nullptr); }
    ListSession(const ListSession&) = delete;
    ListSession& operator=(const ListSession&) = delete;

    Database& db() { return m_db; }
    ScriptedUi& answers() { return m_ui; }
    bool found() const { return m_listRow >= 0; }
    // Saves the tables; the status of the whole command.
    int finish(const std::string& mdb)
    {
        computeAllStreamCodes(m_db);
        return saveAll(m_db, mdb) ? kBatchOk : kBatchFailed;
    }

private:
    ScriptedUi m_ui;
    Database m_db;
    int m_listRow = -1;
};

void printCounts(const Database& db)
{
    long total = 0;
    for (int row = 0; row < db.streams.count(); ++row) {
        if (!db.streams.isLive(row) || db.streams.cell(row, col::Stream::LS)->number == 0)
            continue;
        const int count = db.streams.cell(row, col::Stream::SO)->integer;
        std::printf("%s %d\n", db.streams.text(row, col::Stream::code), count);
        total += count;
    }
    std::printf("total %ld\n", total);
}

int group(const std::vector<std::string>& args)
{
    const std::optional<GroupArgs> parsed = parseGroupArgs(args);
    if (!parsed)
        return kBatchUsage;
    ListSession session("group", parsed->mdb, parsed->list);
    if (!session.found())
        return kBatchFailed;
    // Streams whose typical orbit is not loaded are left out, as OK to the question does.
    for (int row = 0; row < session.db().streams.count(); ++row)
        session.answers().answerOk();
    StderrProgress progress;
    const GroupingOutcome outcome = parsed->dprime
                                        ? groupDprimeAll(session.db(), parsed->options, progress)
                                        : groupRvgAll(session.db(), parsed->options, progress);
    if (outcome != GroupingOutcome::Done)
        return kBatchFailed;
    const int status = session.finish(parsed->mdb);
    printCounts(session.db());
    return status;
}

int eraseGrouping(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        return kBatchUsage;
    ListSession session("erase-grouping", args[0], args[1]);
    if (!session.found())
        return kBatchFailed;
    eraseGroupingAll(session.db());
    recountStreams(session.db());
    return session.finish(args[0]);
}

} // namespace

std::vector<BatchCommand> groupingCommands()
{
    return {
        {"group",
         "MDB LIST (--rvg|--dprime) [--pri] [--exclusive] [--dr] [--kr F] [--kv F] [--kd F]",
         "erase and group the list's streams (scales in percent), save, print \"code count\" and "
         "the total",
         group},
        {"erase-grouping", "MDB LIST", "unlink the list's streams from their orbits and save",
         eraseGrouping},
    };
}
