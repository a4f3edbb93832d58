#pragma once
// The meteor database in memory: the two pools, the seven tables in their
// order of creation, the data sources, the modified flag and the orbit count.

#include <set>
#include <string>

#include "mdb/data_sources.h"
#include "mdb/mdb_lock.h"
#include "table/cutable.h"
#include "table/table_pools.h"

class Database {
public:
    // Primes the pools and creates the tables: data sources, stream lists,
    // list-stream links, streams, stream-orbit links, orbits, orbit files.
    Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Members are destroyed in reverse: the tables from orbit files back to
    // data sources, then the node pool, then the string pool.
    TablePools pools;
    CUTABLE dsids;
    CUTABLE lists;
    CUTABLE listStreamLinks;
    CUTABLE streams;
    CUTABLE streamOrbitLinks;
    CUTABLE orbits;
    CUTABLE orbitFiles;
    DataSources sources{dsids};

    // The only record of unsaved changes.
    bool modified = false;
    // Orbit rows after the last load, adjusted as orbits are added and deleted.
    int orbitCount = 0;
    // Files the last load could not read whole (broken or unreadable), by
    // their path relative to the folder loaded from: saves leave them as
    // they are on disk until a load reads them without error.
    std::string loadedFolder;
    std::set<std::string> unreadFiles;
    // The lock on the folder loaded from, while this process holds it.
    MdbLock lock;
    // Why saves into the folder loaded from are refused (another process
    // changes it); empty when they are not.
    std::string readOnlyReason;
};

// Live rows of a table.
int liveRowCount(const CUTABLE& table);
