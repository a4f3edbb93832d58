#pragma once
// The Stream page's working columns of the stream table: valid (the running index of streams
// in use), L-S (member of the current list) and ssel (the page's selected streams).

class Database;

// valid = running index of the live streams whose data source is in use; the others get
// valid = -1, L-S = 0 and ssel = 0. Returns the number of streams in use.
int markValidStreams(Database& db);
// L-S = 1 and ssel = 1 on the valid streams linked to the list row, 0 on the others (all of
// them when listRow is -1). Returns the number of streams in the list.
int markListMembers(Database& db, int listRow);
// The live list row whose LID's data source is in use and whose LID is lid, else -1.
int listRowOf(const Database& db, unsigned lid);
// ssel = 1 on the stream, 0 on all others (the page makes it the current stream).
void selectOnlyStream(Database& db, int streamRow);
