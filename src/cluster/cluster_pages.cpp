// The stand-in for the pages when no window is open.
#include "cluster/cluster_pages.h"

#include "mdb/database.h"
#include "mdb/schema.h"

int ClusterPages::addStreamLine(Database& db, int streamRow)
{
    int line = 0;
    for (int row = 0; row < streamRow; ++row)
        if (db.streams.isLive(row) &&
            db.sources.isInUse(db.streams.cell(row, col::Stream::SID)->number))
            ++line;
    return line;
}
