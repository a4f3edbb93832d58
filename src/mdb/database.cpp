// Creating the database's tables in their order.
#include "mdb/database.h"

#include "mdb/schema.h"

Database::Database()
{
    // Both pools get their first block before any table is loaded.
    pools.strings.release(pools.strings.pool("initial str"));
    pools.nodes.giveBack(pools.nodes.take());
    dsids.initialise(kDsidTableDef, pools);
    lists.initialise(kListTableDef, pools);
    listStreamLinks.initialise(kListStreamLinkDef, pools);
    streams.initialise(kStreamTableDef, pools);
    streamOrbitLinks.initialise(kStreamOrbitLinkDef, pools);
    orbits.initialise(kOrbitTableDef, pools);
    orbitFiles.initialise(kOrbitFileTableDef, pools);
}

int liveRowCount(const CUTABLE& table)
{
    int live = 0;
    for (int row = 0; row < table.count(); ++row)
        live += table.isLive(row) ? 1 : 0;
    return live;
}
