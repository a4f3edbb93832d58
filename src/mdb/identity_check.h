#pragma once
// The loader's identity checks: every LID, SID and OID used once, and every
// data source's IDnext one of its own IDs and above its lists', streams' and orbits' IDs.

#include <cstdint>

class Database;
class IdIndex;

// An ID used twice (kind, ID, the file of its first and of its second use).
inline constexpr const char* kDuplicateIdFormat =
    "%s %u is used twice\n%s\n%s\nPlease Stop and check";
// A data source whose next ID is taken (IDnext, code, the highest ID of the source in use and
// its file) or not one of its own IDs (IDnext, code).
inline constexpr const char* kIdNextTakenFormat =
    "UDSID.csv: IDnext %u of data source %s is not above %u in %s\nPlease Stop and check";
inline constexpr const char* kIdNextOutsideFormat =
    "UDSID.csv: IDnext %u of data source %s is none of its IDs\nPlease Stop and check";

// Reports each finding (one message) and marks the file of the second use, or UDSID.csv for
// an IDnext, as not read whole, so that nothing is saved over the database until it is
// corrected. The orbit files must be loaded (their rows tagged with their UOFile row) and
// indexed by OID.
void checkIdentities(Database& db, const IdIndex& orbitsById);
