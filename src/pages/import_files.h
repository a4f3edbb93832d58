#pragma once
// Many orbit files imported in one run: each converted into a new orbit file of the database,
// all registered and the tables saved once, or nothing kept when any of them fails.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "orbits/orbit_converters.h"
#include "platform/feedback.h"

struct AppContext;

struct ImportFilesOptions {
    ImportFilters filters;
    // When the current data source runs out of IDs, go on in a new one of the same kind
    // (code CODE2, CODE3, ..., the proposed DSID) instead of refusing the import up front.
    bool spread = false;
};

struct ImportFilesResult {
    std::int64_t rows = 0;
    // Rows skipped as loaded already or written from an earlier source of the run.
    std::int64_t duplicates = 0;
    FilterCounts dropped;
    std::vector<std::string> targets;  // the new orbit files, in the order of their sources
    std::vector<std::string> newCodes; // data sources the import spread into
};

// Imports the sources as the current data source into new orbit files named as the import
// command proposes them ("O_CODE_IDnext.csv"). A source without a layout, more rows than IDs
// left (without spread) or a conversion that fails is told and leaves the MDB folder as it
// was; on success every target is registered and all tables are saved once. The database is
// not reloaded: the new files' orbits are on disk, not in the tables.
std::optional<ImportFilesResult> importOrbitFiles(AppContext& app,
                                                  const std::vector<std::string>& sources,
                                                  const ImportFilesOptions& options,
                                                  Feedback& feedback);
