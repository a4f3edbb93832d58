#pragma once
// Rows of the stream-list and stream tables as the list commands make and
// remove them: texts fit for the table files, combined codes, new list and
// stream rows, and deletions that leave no link pointing at a dead row.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CUTABLE;
class Database;

// A pooled text that a save can write and a load read back: at most 254
// characters, with every comma, CR and LF turned into ";".
inline constexpr std::size_t kStorableTextLength = 254;
std::string storableText(std::string_view text);
// A name used as part of a file name: storable, with "/" turned into "_".
std::string fileNamePart(std::string_view name);

// Stream codes live in a 7-character column.
inline constexpr std::size_t kCodeLength = 7;

// Builds "<DSID code>_<part>" codes and counts the ones cut to 7 characters.
class CodeCutter {
public:
    std::string combine(std::string_view dsidCode, std::string_view part);
    // Any text as a code: cut to 7 characters (counted when it was longer).
    std::string fit(std::string_view code);
    int cutCount() const { return m_cut; }
    // "%d stream codes were longer than 7 characters and were cut", once, when any was.
    void reportCuts() const;

private:
    int m_cut = 0;
};

// What a stream of an imported list holds: the saved stream columns from
// code to memo (TypicalOID is never taken from a file).
struct StreamValues {
    std::string code;
    std::string name;
    float sol1 = 0, sol2 = 0, solp = 0, ra = 0, dec = 0, dra = 0, ddec = 0, vg = 0;
    std::int32_t type = 1;
    float R = 0, dv = 0, Dp = 0;
    std::string memo;
};

// A new list row of the current data source: the next LID, ver "v1.0" and
// the name. Nothing when no ID is left (the user has been told).
std::optional<int> addListRow(Database& db, const std::string& name);
// A new stream row of the current data source with the values (texts made
// storable), use 1, valid = its row, no typical orbit, its month/day texts
// for the year, linked to the list. Nothing when no ID is left.
std::optional<int> addStreamRow(Database& db, int listRow, const StreamValues& values, int year);
// The values of a stream row.
StreamValues streamValuesOf(const CUTABLE& streams, int row);

// Deletes a stream row after clearing its list links and its orbit links,
// gives its SID back when it was the last ID handed out, and takes its code
// out of the stream column of the orbits that were linked to it.
void deleteStreamRow(Database& db, int streamRow);
// Deletes a list row after clearing its links to streams (the streams stay).
// Its LID is given back when it was the last ID handed out.
void deleteListRow(Database& db, int listRow);
