#pragma once
// A database session for the stream-list commands: lists and streams made
// row by row, the dialogs answered as a user would, the links checked.

#include <string>
#include <vector>

#include "streams/stream_list_rows.h"
#include "support/mdb_session.h"

class ListSession : public MdbSession {
public:
    // A list row with these streams linked, all of the data source of their SIDs.
    int addList(std::uint32_t lid, const char* name, const std::vector<int>& streamRows);
    int addStreamOf(std::uint32_t sid, const StreamValues& values);
    void linkOrbit(int streamRow, int orbitRow);

    // The DSID select dialog choosing the data source of that code, then OK.
    void chooseSource(const std::string& code);
    // The record editor confirmed as it stands.
    void acceptEditor();

    // The codes of a list's streams in link order.
    std::vector<std::string> codesOf(int listRow);
    std::uint32_t idNextOf(std::uint32_t dsid);
    int listRowNamed(const std::string& name);
    int liveLists();
    int liveStreams();
    // Every link of every live list and stream ends at a live row of the other table.
    bool linksEndAtLiveRows();
};

// Random streams (seeded): codes "WK_<n>", names, all numbers.
std::vector<StreamValues> randomStreams(unsigned seed, int count);
