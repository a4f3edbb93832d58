// Batch commands on a whole meteor database.
#include <cstdio>

#include "app/settings.h"
#include "batch/batch_command.h"
#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "table/links.h"

namespace {

// The working year of the default settings names the streams' month/day texts.
int workingYear() { return Settings{}.dlg_Y; }

int streamOrbitLinkCount(const Database& db)
{
    int links = 0;
    for (int row = 0; row < db.streams.count(); ++row)
        if (db.streams.isLive(row))
            for ([[maybe_unused]] const LinkNode& node :
                 linksOf(db.streams, row, col::Stream::OLINK))
                ++links;
    return links;
}

// "list <stream count> <name>" for every list.
void printListCounts(const Database& db)
{
    for (int row = 0; row < db.lists.count(); ++row) {
        if (!db.lists.isLive(row))
            continue;
        int streams = 0;
        for (const LinkNode& node : linksOf(db.lists, row, col::List::SLINK))
            streams += node.resolved() && node.partnerCell.table->isLive(node.partnerCell.row);
        std::printf("list %d %s\n", streams, db.lists.text(row, col::List::name));
    }
}

int info(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return kBatchUsage;
    Database db;
    if (!loadMdb("info", db, args[0], MdbAccess::Read, workingYear()))
        return kBatchFailed;
    // A script must never read success where rows were not read.
    const bool unread = !db.unreadFiles.empty();
    std::printf("data_sources %d\n", liveRowCount(db.dsids));
    std::printf("stream_lists %d\n", liveRowCount(db.lists));
    std::printf("streams %d\n", liveRowCount(db.streams));
    std::printf("orbits %d\n", liveRowCount(db.orbits));
    std::printf("stream_orbit_links %d\n", streamOrbitLinkCount(db));
    std::printf("orbit_files %d\n", liveRowCount(db.orbitFiles));
    printListCounts(db);
    return unread ? kBatchFailed : kBatchOk;
}

int resave(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return kBatchUsage;
    Database db;
    if (!loadMdb("resave", db, args[0], MdbAccess::Write, workingYear()))
        return kBatchFailed;
    return saveAll(db, args[0]) ? kBatchOk : kBatchFailed;
}

} // namespace

std::vector<BatchCommand> mdbCommands()
{
    return {
        {"info", "MDB",
         "load the database and print its counts, one \"name value\" a line, then \"list COUNT "
         "NAME\" per stream list",
         info},
        {"resave", "MDB",
         "load the database and save it again (a round-trip check); nothing is written when a file "
         "could not be read whole",
         resave},
    };
}
