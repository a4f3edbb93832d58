#pragma once
// The commands on whole stream lists: create, copy to a new list, import,
// delete, export (TarnRadiant.txt and CSV) and the cross stream listing.
// Each asks the user through ui() and reports through message().

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "streams/iau_mdc.h"

struct AppContext;
class CUList;

inline constexpr const char* kSelectListMessage = "Please select a Stream list";
inline constexpr const char* kCopyInvalidDsid = "Copy stream: DSID of source stream invalid";
inline constexpr const char* kBrokenFormat =
    "%s was broken\n line=%d,row=%d\nPlease Stop and check";
inline constexpr const char* kDeleteListQuestion = "Delete a stream list OK?";
inline constexpr const char* kCreateListText = "Create stream list";
inline constexpr const char* kCopyListFormat = "Copy \"%s\" to new stream list with its stream";
inline constexpr const char* kImportListText = "Import Stream list and its streams";
inline constexpr const char* kImportListTitle = "Import stream list";
inline constexpr const char* kImportListFilter = "Orvantella(ULE_*.csv)/*.txt";
inline constexpr const char* kTarnTitle = "Export stream list in Tarnscope format";
inline constexpr const char* kTarnFilter = "Stream list(*.txt)";
inline constexpr const char* kTarnFileName = "TarnRadiant.txt";
inline constexpr const char* kCsvExportTitle = "Export stream list";
inline constexpr const char* kCsvExportFilter = "Stream list(*.csv)";

// "create new List": DSID select, a new list "L_<code>_" and the record
// editor on it through the view; a cancelled editor takes it back. The new
// list's row, or nothing.
std::optional<int> createStreamList(AppContext& app, CUList& listView);
// "Copy to new list": a new list as created, then a copy of each stream of
// the source list (in link order) under the current data source's code.
std::optional<int> copyStreamList(AppContext& app, CUList& listView, int sourceRow);

// The layouts a list is imported from, by the file name.
enum class ListFileLayout { Csv, FixedWidth, IauMdc };
ListFileLayout listFileLayoutOf(const std::string& fileName);
// "import list": DSID select, the file, and for an IAU MDC list the status
// choice; then importStreamListFile. The new list's row, or nothing.
std::optional<int> importStreamList(AppContext& app);
// Imports a file into a new list of the current data source. A file that
// cannot be opened, is empty or breaks leaves no list (the streams made
// before a broken CSV line stay, unlinked); an IAU MDC list that breaks
// leaves nothing at all.
std::optional<int> importStreamListFile(AppContext& app, const std::string& path,
                                        IauStatusChoice status);

// "Delete this list" and the view's delete request: after the question the
// list goes with its links; its streams stay.
bool deleteStreamList(AppContext& app, int listRow);

// The live streams linked to a list: in link order, or in table order.
std::vector<int> streamsOfList(AppContext& app, int listRow);
std::vector<int> streamsOfListInTableOrder(AppContext& app, int listRow);

// "Export list (TarnRadiant.txt)": the save dialog, then the file.
bool exportTarnRadiant(AppContext& app, int listRow);
bool writeTarnRadiant(AppContext& app, int listRow, const std::string& path);
// The Stream page's "export": the proposed name "ULE_<part>.csv" of the
// list name, the save dialog, then the streams given (in that order).
std::string csvExportName(const std::string& listName);
bool exportStreamListCsv(AppContext& app, const std::string& listName,
                         const std::vector<int>& streamRows);
bool writeStreamListCsv(AppContext& app, const std::vector<int>& streamRows,
                        const std::string& path);

// "Cross stream listing": "CRL_<list>.csv" in the documents folder. The path
// written, or nothing after "Cannot open %s".
std::optional<std::string> crossStreamListing(AppContext& app, int listRow);
// The file name "CRL_<list>.csv".
std::string crossListingFileName(const std::string& listName);
bool writeCrossListing(AppContext& app, int listRow, const std::string& path);
