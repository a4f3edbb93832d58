// valid, L-S and ssel of the streams.
#include "streams/stream_membership.h"

#include "mdb/database.h"
#include "mdb/schema.h"
#include "table/links.h"

namespace {
using S = col::Stream;
} // namespace

int markValidStreams(Database& db)
{
    int valid = 0;
    for (int row = 0; row < db.streams.count(); ++row) {
        if (!db.streams.isLive(row))
            continue;
        if (db.sources.isInUse(db.streams.cell(row, S::SID)->number)) {
            db.streams.cell(row, S::valid)->integer = valid++;
            continue;
        }
        db.streams.cell(row, S::valid)->integer = -1;
        db.streams.cell(row, S::LS)->number = 0;
        db.streams.cell(row, S::ssel)->number = 0;
    }
    return valid;
}

int markListMembers(Database& db, int listRow)
{
    for (int row = 0; row < db.streams.count(); ++row)
        if (db.streams.isLive(row))
            db.streams.cell(row, S::LS)->number = 0;
    if (listRow < 0)
        return 0;
    int members = 0;
    for (const LinkNode& node : linksOf(db.lists, listRow, col::List::SLINK)) {
        if (!node.resolved() || node.partnerCell.table != &db.streams)
            continue;
        const int row = node.partnerCell.row;
        if (!db.streams.isLive(row) || db.streams.cell(row, S::valid)->integer < 0 ||
            db.streams.cell(row, S::LS)->number != 0)
            continue;
        db.streams.cell(row, S::LS)->number = 1;
        db.streams.cell(row, S::ssel)->number = 1;
        ++members;
    }
    return members;
}

int listRowOf(const Database& db, unsigned lid)
{
    for (int row = 0; row < db.lists.count(); ++row)
        if (db.lists.isLive(row) && db.lists.cell(row, col::List::LID)->number == lid &&
            db.sources.isInUse(lid))
            return row;
    return -1;
}

void selectOnlyStream(Database& db, int streamRow)
{
    CUTABLE& streams = db.streams;
    for (int row = 0; row < streams.count(); ++row)
        if (streams.isLive(row))
            streams.cell(row, S::ssel)->number = row == streamRow ? 1 : 0;
}
