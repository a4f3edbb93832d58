#pragma once
// The all-stream grouping runs as straightforward loops, orbit by orbit over every stream (R-vg)
// and stream by stream over every orbit (D'): the oracle of the fast sweep, and its baseline
// in the benchmark.

#include "streams/stream_grouping.h"

void referenceGroupRvgAll(Database& db, const GroupingOptions& options);
// Asks about missing typical orbits as it meets them; false when the user cancelled.
bool referenceGroupDprimeAll(Database& db, const GroupingOptions& options);
