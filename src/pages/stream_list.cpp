// The commands on whole stream lists.
#include "pages/stream_list.h"

#include <algorithm>
#include <filesystem>

#include "app/app_context.h"
#include "app/app_refresh.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "pages/dsid_select_dialog.h"
#include "pages/orbit_files.h"
#include "platform/ui.h"
#include "streams/list_files.h"
#include "table/links.h"
#include "table/source_file.h"
#include "table/text_file.h"
#include "views/ulist.h"

namespace {

using S = col::Stream;

constexpr std::size_t kMaxCrossEntries = 99;

void refreshListsAndStreams(AppContext& app)
{
    requestRefresh(app, 2);
    requestRefresh(app, 4);
}

bool askOk(const std::string& text)
{
    return ui().askOkCancel(text, mainWindowOpen() ? kOwnedCaption : kAppCaption);
}

bool chooseSource(AppContext& app, const std::string& text)
{
    CDSIDSDlg dialog(app, text, false);
    return dialog.exec();
}

// A new list row added through the view and shown in the record editor;
// taken back, with its LID, when the editor is cancelled.
std::optional<int> editNewList(AppContext& app, CUList& listView)
{
    Database& db = *app.db;
    const std::optional<std::uint32_t> lid = db.sources.nextId();
    if (!lid)
        return std::nullopt;
    const int line = listView.addRow();
    const int row = listView.rowOfLine(line);
    db.lists.cell(row, col::List::LID)->number = *lid;
    db.lists.setText(row, col::List::name,
                     storableText(formatMessage("L_%s_", db.sources.currentCode())).c_str());
    db.lists.setText(row, col::List::ver, "v1.0");
    listView.redrawLine(line);
    if (listView.editRecord(line, false) == 0) {
        listView.deleteLine(line, false);
        db.sources.giveBackId(*lid);
        return std::nullopt;
    }
    return row;
}

// The code part a copy keeps: the source code after its data source's code
// and "_", or the whole code when it does not start with them.
std::string copiedCodePart(const Database& db, int streamRow)
{
    const std::string code = db.streams.text(streamRow, S::code);
    const std::uint32_t dsid = dsidOf(db.streams.cell(streamRow, S::SID)->number);
    for (int row = 0; row < db.dsids.count(); ++row) {
        if (!db.dsids.isLive(row) || db.dsids.cell(row, col::Dsid::DSID)->number != dsid)
            continue;
        const std::string prefix = std::string(db.dsids.text(row, col::Dsid::code)) + "_";
        if (prefix.size() > 1 && code.starts_with(prefix))
            return code.substr(prefix.size());
        break;
    }
    message("%s", kCopyInvalidDsid);
    return code;
}

std::string withExtension(const std::string& path, const char* extension)
{
    return std::filesystem::path(path).has_extension() ? path : path + "." + extension;
}

std::string listNameOf(const AppContext& app, int listRow)
{
    return app.db->lists.text(listRow, col::List::name);
}

bool isSelectedList(const AppContext& app, int listRow)
{
    if (isLiveRow(app.db->lists, listRow))
        return true;
    message("%s", kSelectListMessage);
    return false;
}

// The list name a file gives: the CSV layout drops "ULE_" and ".csv" from
// names longer than 7 characters; the other layouts keep the whole name.
std::string importedListName(const std::string& dsidCode, const std::string& fileName,
                             ListFileLayout layout)
{
    std::string part = fileName;
    if (layout == ListFileLayout::Csv && fileName.size() > 7)
        part = fileName.substr(4, fileName.size() - 8);
    return "L_" + dsidCode + "_" + part;
}

std::optional<int> importIauMdc(AppContext& app, const std::string& path, IauStatusChoice status)
{
    Database& db = *app.db;
    const std::optional<IauShowerList> showers = readIauMdcShowers(path, status);
    if (!showers) {
        message(kCannotOpenFormat, path.c_str());
        return std::nullopt;
    }
    if (showers->brokenLine > 0) {
        message(kBrokenFormat, path.c_str(), showers->brokenLine, showers->brokenField);
        return std::nullopt;
    }
    if (showers->unknownStatusSets > 0)
        message("%d parameter sets of %s have a status that is not known and were left out",
                showers->unknownStatusSets, path.c_str());
    const std::string code = db.sources.currentCode();
    const std::optional<int> list = addListRow(db, "L_" + code + "_IAU_" + iauStatusWord(status));
    if (!list)
        return std::nullopt;
    CodeCutter cutter;
    for (StreamValues values : showers->showers) {
        values.code = cutter.combine(code, values.code);
        if (!addStreamRow(db, *list, values, app.settings.dlg_Y))
            break;
    }
    cutter.reportCuts();
    return list;
}

// Reads the lines after the header into streams of a new list.
std::optional<int> importLines(AppContext& app, const std::string& path, ListFileLayout layout)
{
    Database& db = *app.db;
    TextLineReader reader;
    std::string_view line;
    if (!reader.openSource(path)) {
        message(kCannotOpenFormat, path.c_str());
        return std::nullopt;
    }
    if (!reader.next(line))
        return std::nullopt;
    const std::string code = db.sources.currentCode();
    const std::optional<int> list = addListRow(
        db, importedListName(code, std::string(uncompressedName(fileNameOf(path))), layout));
    if (!list)
        return std::nullopt;
    CodeCutter cutter;
    int skipped = 0;
    for (int lineNumber = 2; reader.next(line); ++lineNumber) {
        std::optional<StreamValues> values;
        if (layout == ListFileLayout::Csv) {
            values = parseUleLine(line).values;
            if (!values) {
                message(kBrokenFormat, path.c_str(), lineNumber, 0);
                deleteListRow(db, *list);
                return std::nullopt;
            }
            values->code = cutter.combine(code, values->code);
        } else {
            const std::optional<FixedWidthLine> fixed = parseFixedWidthLine(line);
            values = fixed ? fixedWidthStream(*fixed, app.settings.dlg_Y) : std::nullopt;
            if (!values) {
                ++skipped;
                continue;
            }
            values->code = cutter.fit(values->code);
        }
        if (!addStreamRow(db, *list, *values, app.settings.dlg_Y))
            break;
    }
    if (skipped > 0)
        message("%d lines of %s could not be read and were skipped", skipped, path.c_str());
    cutter.reportCuts();
    return list;
}

// One stream's line: itself first, then every stream in use that shares an
// orbit with it, each with the number of shared orbits.
std::string crossListingLine(Database& db, int stream)
{
    std::vector<std::pair<int, int>> entries{{stream, 0}};
    for (const LinkNode& orbit : linksOf(db.streams, stream, S::OLINK)) {
        if (!orbit.resolved())
            continue;
        const CellRef& orbitCell = orbit.partnerCell;
        for (const LinkNode& other : linksOf(*orbitCell.table, orbitCell.row, col::Orbit::SLINK)) {
            if (!other.resolved() ||
                !db.sources.isInUse(db.streams.cell(other.partnerCell.row, S::SID)->number))
                continue;
            const int row = other.partnerCell.row;
            const auto entry = std::find_if(entries.begin(), entries.end(),
                                            [row](const auto& e) { return e.first == row; });
            if (entry != entries.end())
                ++entry->second;
            else if (entries.size() < kMaxCrossEntries)
                entries.emplace_back(row, 1);
        }
    }
    std::string line;
    for (const auto& [row, count] : entries) {
        if (!line.empty())
            line += ',';
        line += formatMessage(" %s,%d", db.streams.text(row, S::code), count);
    }
    return line + "\r\n";
}

} // namespace

std::optional<int> createStreamList(AppContext& app, CUList& listView)
{
    if (!chooseSource(app, kCreateListText))
        return std::nullopt;
    const std::optional<int> row = editNewList(app, listView);
    if (row)
        refreshListsAndStreams(app);
    return row;
}

std::optional<int> copyStreamList(AppContext& app, CUList& listView, int sourceRow)
{
    if (!isSelectedList(app, sourceRow))
        return std::nullopt;
    const std::string question = formatMessage(kCopyListFormat, listNameOf(app, sourceRow).c_str());
    if (!chooseSource(app, question))
        return std::nullopt;
    const std::optional<int> list = editNewList(app, listView);
    if (!list)
        return std::nullopt;
    Database& db = *app.db;
    const std::string code = db.sources.currentCode();
    CodeCutter cutter;
    for (int source : streamsOfList(app, sourceRow)) {
        StreamValues values = streamValuesOf(db.streams, source);
        values.code = cutter.combine(code, copiedCodePart(db, source));
        const std::optional<int> copy = addStreamRow(db, *list, values, app.settings.dlg_Y);
        if (!copy)
            break;
        db.streams.cell(*copy, S::TypicalOID)->number =
            db.streams.cell(source, S::TypicalOID)->number;
        db.streams.setInteger(*copy, db.streams.integer(source, S::TOIDline), S::TOIDline);
    }
    cutter.reportCuts();
    refreshListsAndStreams(app);
    return list;
}

ListFileLayout listFileLayoutOf(const std::string& fileName)
{
    const std::string name(uncompressedName(fileName));
    if (isIauMdcFileName(name))
        return ListFileLayout::IauMdc;
    return !name.empty() && name.back() == 't' ? ListFileLayout::FixedWidth : ListFileLayout::Csv;
}

std::optional<int> importStreamList(AppContext& app)
{
    if (!chooseSource(app, kImportListText))
        return std::nullopt;
    const FileRequest request{
        kImportListTitle, app.settings.docdir, "U*.*", kImportListFilter, false, false};
    const std::optional<std::string> path = ui().openFile(request);
    if (!path)
        return std::nullopt;
    CIauStatusDlg status;
    if (listFileLayoutOf(fileNameOf(*path)) == ListFileLayout::IauMdc && !ui().runModal(status))
        return std::nullopt;
    return importStreamListFile(app, *path, status.choice);
}

std::optional<int> importStreamListFile(AppContext& app, const std::string& path,
                                        IauStatusChoice status)
{
    // An archive that breaks part-way would leave half a list.
    if (const std::optional<std::string> why = unreadableSource(path)) {
        message(kUnreadableSourceFormat, path.c_str(), why->c_str());
        return std::nullopt;
    }
    const ListFileLayout layout = listFileLayoutOf(fileNameOf(path));
    const std::optional<int> list = layout == ListFileLayout::IauMdc
                                        ? importIauMdc(app, path, status)
                                        : importLines(app, path, layout);
    refreshListsAndStreams(app);
    return list;
}

bool deleteStreamList(AppContext& app, int listRow)
{
    if (!isSelectedList(app, listRow) || !askOk(kDeleteListQuestion))
        return false;
    deleteListRow(*app.db, listRow);
    if (app.currentListRow == listRow) {
        app.currentListRow = -1;
        app.currentLid = 0;
    }
    refreshListsAndStreams(app);
    return true;
}

std::vector<int> streamsOfList(AppContext& app, int listRow)
{
    std::vector<int> rows;
    for (const LinkNode& node : linksOf(app.db->lists, listRow, col::List::SLINK))
        if (node.resolved() && node.partnerCell.table->isLive(node.partnerCell.row))
            rows.push_back(node.partnerCell.row);
    return rows;
}

std::vector<int> streamsOfListInTableOrder(AppContext& app, int listRow)
{
    std::vector<int> rows = streamsOfList(app, listRow);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool exportTarnRadiant(AppContext& app, int listRow)
{
    if (!isSelectedList(app, listRow))
        return false;
    const FileRequest request{kTarnTitle, app.settings.docdir, kTarnFileName, kTarnFilter};
    const std::optional<std::string> path = ui().saveFile(request);
    return path && writeTarnRadiant(app, listRow, withExtension(*path, "txt"));
}

bool writeTarnRadiant(AppContext& app, int listRow, const std::string& path)
{
    const Database& db = *app.db;
    if (refuseOutputInMdb(db, path))
        return false;
    AtomicFileWriter out(path);
    if (out.open()) {
        out.append(tarnRadiantHeader(db.lists.cell(listRow, col::List::LID)->number,
                                     listNameOf(app, listRow)));
        for (int stream : streamsOfListInTableOrder(app, listRow))
            out.append(tarnRadiantLine(streamValuesOf(db.streams, stream), app.settings.dlg_Y));
        if (out.commit())
            return true;
    }
    message(kCannotOpenFormat, path.c_str());
    return false;
}

std::string csvExportName(const std::string& listName)
{
    const std::size_t separator = listName.size() > 2 ? listName.find('_', 2) : std::string::npos;
    const std::string part =
        separator == std::string::npos ? listName : listName.substr(separator + 1);
    return "ULE_" + fileNamePart(part) + ".csv";
}

bool exportStreamListCsv(AppContext& app, const std::string& listName,
                         const std::vector<int>& streamRows)
{
    const FileRequest request{kCsvExportTitle, app.settings.docdir, csvExportName(listName),
                              kCsvExportFilter};
    const std::optional<std::string> path = ui().saveFile(request);
    return path && writeStreamListCsv(app, streamRows, withExtension(*path, "csv"));
}

bool writeStreamListCsv(AppContext& app, const std::vector<int>& streamRows,
                        const std::string& path)
{
    if (refuseOutputInMdb(*app.db, path))
        return false;
    // A table of the stream layout holding copies of the rows: the file is the
    // stream table's own file layout, written by the table's own writer.
    const CUTABLE& streams = app.db->streams;
    TablePools pools;
    CUTABLE copy;
    copy.initialise(kStreamTableDef, pools);
    for (int row : streamRows) {
        const int to = copy.addRow();
        for (int column = 1; column < kStreamTableDef.columnCount; ++column) {
            const int type = kStreamTableDef.columns[column].type;
            if (kStreamTableDef.columns[column].saved != 1 || type == kTypeLink)
                continue;
            if (type == kTypeText || type == kTypeCode)
                copy.setText(to, column, streams.text(row, column));
            else
                *copy.cell(to, column) = *streams.cell(row, column);
        }
    }
    return copy.save(path);
}

std::optional<std::string> crossStreamListing(AppContext& app, int listRow)
{
    if (!isSelectedList(app, listRow))
        return std::nullopt;
    WaitCursor wait;
    const std::string path =
        app.settings.docdir + "/" + crossListingFileName(listNameOf(app, listRow));
    if (!writeCrossListing(app, listRow, path))
        return std::nullopt;
    return path;
}

std::string crossListingFileName(const std::string& listName)
{
    return "CRL_" + fileNamePart(listName) + ".csv";
}

bool writeCrossListing(AppContext& app, int listRow, const std::string& path)
{
    Database& db = *app.db;
    if (refuseOutputInMdb(db, path))
        return false;
    AtomicFileWriter out(path);
    if (out.open()) {
        for (int stream : streamsOfList(app, listRow))
            out.append(crossListingLine(db, stream));
        if (out.commit())
            return true;
    }
    message(kCannotOpenFormat, path.c_str());
    return false;
}
