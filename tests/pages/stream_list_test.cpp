// The stream-list commands in a scripted session: create, copy, import (both
// layouts), delete, the exports against hand-made files, the cross listing,
// and the links that deleted rows leave behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_context.h"
#include "mdb/database_store.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "pages/page_setup.h"
#include "pages/stream_list.h"
#include "stream_list_session.h"
#include "streams/list_files.h"
#include "table/links.h"
#include "views/edit_line_dlg.h"

namespace {

using S = col::Stream;

constexpr std::uint32_t kWork = 41000;
constexpr std::uint32_t kFirstWorkId = 4100000000u;

std::string expectedFile(const std::string& name)
{
    return readFileBytes(std::string(ORVANTELLA_SOURCE_DIR) + "/tests/streams/expected/" + name);
}

void expectSameStream(const StreamValues& got, const StreamValues& want)
{
    EXPECT_EQ(got.code, want.code);
    EXPECT_EQ(got.name, want.name);
    EXPECT_EQ(got.memo, want.memo);
    EXPECT_EQ(got.type, want.type);
    const float pairs[][2] = {{got.sol1, want.sol1}, {got.sol2, want.sol2}, {got.solp, want.solp},
                              {got.ra, want.ra},     {got.dec, want.dec},   {got.dra, want.dra},
                              {got.ddec, want.ddec}, {got.vg, want.vg},     {got.R, want.R},
                              {got.dv, want.dv},     {got.Dp, want.Dp}};
    // "%f" keeps six decimals.
    for (const auto& [a, b] : pairs)
        EXPECT_NEAR(a, b, 1e-5 * std::max(1.f, std::abs(b))) << want.code;
}

struct CreateCase {
    const char* name;
    bool confirmed;
};

class CreateListTest : public testing::TestWithParam<CreateCase> {};

TEST_P(CreateListTest, ConfirmedKeepsTheListCancelledGivesTheLidBack)
{
    ListSession s;
    CPageSetup page(s.app());
    page.initialise();
    s.chooseSource("WK");
    if (GetParam().confirmed)
        s.acceptEditor();
    else
        s.ui().answerCancel();
    page.createList();
    EXPECT_FALSE(s.ui().anyUnexpected());
    EXPECT_EQ(s.ui().pendingAnswers(), 0u);
    const int row = s.listRowNamed("L_WK_");
    EXPECT_EQ(row >= 0, GetParam().confirmed);
    EXPECT_EQ(s.liveLists(), GetParam().confirmed ? 1 : 0);
    EXPECT_EQ(s.idNextOf(kWork), kFirstWorkId + (GetParam().confirmed ? 1 : 0));
    if (row >= 0) {
        EXPECT_EQ(s.db().lists.cell(row, col::List::LID)->number, kFirstWorkId);
        EXPECT_STREQ(s.db().lists.text(row, col::List::ver), "v1.0");
        EXPECT_EQ(page.streamListView().lineCount(), 1);
    }
    EXPECT_FALSE(page.busy());
}

INSTANTIATE_TEST_SUITE_P(Editor, CreateListTest,
                         testing::Values(CreateCase{"confirmed", true},
                                         CreateCase{"cancelled", false}),
                         caseName);

struct CopyCase {
    const char* name;
    const char* sourceCode;
    std::uint32_t sourceSid; // of data source 1000 "AB", or of none (999)
    const char* currentCode;
    const char* copiedCode;
    std::vector<std::string> messages;
};

const CopyCase kCopyCases[] = {
    {"prefix of its source cut", "AB_X", 100000001, "CD", "CD_X", {}},
    {"no _ after the source code keeps it whole",
     "ABX",
     100000001,
     "CD",
     "CD_ABX",
     {kCopyInvalidDsid}},
    {"shorter than the source code", "A", 100000001, "CD", "CD_A", {kCopyInvalidDsid}},
    {"unknown source", "AB_X", 99900001, "CD", "CD_AB_X", {kCopyInvalidDsid}},
    {"too long is cut and counted",
     "AB_XYZW",
     100000001,
     "LONG",
     "LONG_XY",
     {"1 stream codes were longer than 7 characters and were cut"}},
};

class CopyListTest : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyListTest, CopiesEachStreamUnderTheCurrentCode)
{
    const CopyCase& c = GetParam();
    ListSession s;
    s.addSource(1000, "AB");
    s.addSource(40000, c.currentCode);
    StreamValues values = randomStreams(1, 1)[0];
    values.code = c.sourceCode;
    const int source = s.addStreamOf(c.sourceSid, values);
    s.db().streams.cell(source, S::TypicalOID)->number = 4100012345u;
    const int list = s.addList(100000000, "L_AB_src", {source});
    CPageSetup page(s.app());
    page.initialise();
    s.chooseSource(c.currentCode);
    s.acceptEditor();
    const std::optional<int> copy = copyStreamList(s.app(), page.streamListView(), list);
    ASSERT_TRUE(copy);
    EXPECT_EQ(s.ui().messages(), c.messages);
    EXPECT_EQ(s.codesOf(*copy), std::vector<std::string>{c.copiedCode});
    EXPECT_EQ(s.codesOf(list), std::vector<std::string>{c.sourceCode});
    const int copied = linksOf(s.db().lists, *copy, col::List::SLINK).begin()->partnerCell.row;
    StreamValues expected = values;
    expected.code = c.copiedCode;
    expectSameStream(streamValuesOf(s.db().streams, copied), expected);
    EXPECT_EQ(s.db().streams.cell(copied, S::TypicalOID)->number, 4100012345u);
    EXPECT_EQ(s.db().streams.cell(copied, S::SID)->number / 100000, 40000u);
    EXPECT_STREQ(s.db().lists.text(*copy, col::List::name),
                 ("L_" + std::string(c.currentCode) + "_").c_str());
}

INSTANTIATE_TEST_SUITE_P(Codes, CopyListTest, testing::ValuesIn(kCopyCases), caseName);

TEST(CopyList, NeedsASelectedList)
{
    ListSession s;
    CPageSetup page(s.app());
    page.initialise();
    EXPECT_FALSE(copyStreamList(s.app(), page.streamListView(), -1));
    EXPECT_EQ(s.ui().messages(), std::vector<std::string>{kSelectListMessage});
}

// The CSV export read back by the import gives the same streams (codes under the
// importing data source, TypicalOID not taken); the TarnRadiant export read back by the
// fixed-width import gives the same codes and numbers to one decimal.
TEST(ListRoundTrip, ExportsReimportToTheSameStreams)
{
    ListSession s;
    const std::vector<StreamValues> streams = randomStreams(2007, 40);
    std::vector<int> rows;
    std::uint32_t sid = kFirstWorkId + 1;
    for (const StreamValues& values : streams)
        rows.push_back(s.addStreamOf(sid++, values));
    const int list = s.addList(kFirstWorkId, "L_WK_round", rows);
    const std::string in = s.app().settings.docdir;
    ASSERT_TRUE(writeStreamListCsv(s.app(), rows, in + "/ULE_round.csv"));
    ASSERT_TRUE(writeTarnRadiant(s.app(), list, in + "/round.txt"));
    s.db().dsids.cell(s.db().sources.currentRow(), col::Dsid::IDnext)->number = sid;

    const std::optional<int> csv = importStreamListFile(s.app(), in + "/ULE_round.csv", {});
    ASSERT_TRUE(csv);
    EXPECT_STREQ(s.db().lists.text(*csv, col::List::name), "L_WK_round");
    const std::vector<int> csvRows = streamsOfList(s.app(), *csv);
    ASSERT_EQ(csvRows.size(), streams.size());
    for (std::size_t i = 0; i < streams.size(); ++i)
        expectSameStream(streamValuesOf(s.db().streams, csvRows[i]), streams[i]);

    const std::optional<int> fixed = importStreamListFile(s.app(), in + "/round.txt", {});
    ASSERT_TRUE(fixed);
    EXPECT_STREQ(s.db().lists.text(*fixed, col::List::name), "L_WK_round.txt");
    const std::vector<int> fixedRows = streamsOfList(s.app(), *fixed);
    ASSERT_EQ(fixedRows.size(), streams.size());
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const StreamValues got = streamValuesOf(s.db().streams, fixedRows[i]);
        EXPECT_EQ(got.code, streams[i].code);
        EXPECT_NEAR(got.ra, streams[i].ra, 0.0501);
        EXPECT_NEAR(got.vg, streams[i].vg, 0.0501);
        EXPECT_NEAR(got.R, streams[i].R, 0.0501);
    }
    EXPECT_TRUE(s.ui().messages().empty());
    EXPECT_TRUE(s.linksEndAtLiveRows());
}

// Two streams, one without a name; "expected/" holds the files written by hand.
TEST(ListExports, AreWrittenByteForByte)
{
    ListSession s;
    const StreamValues per{"WK_PER", "Perseids", 114.4f, 150.9f, 140.3f, 48.2f, 58.1f,        1.4f,
                           0.2f,     59.1f,      1,      3.0f,   0.5f,   0.1f,  "peak 13 Aug"};
    const StreamValues gem{"WK_GEM", "",    251.8f, 265.1f, 262.0f, 112.3f, 32.5f, 1.0f,
                           -0.2f,    34.6f, 1,      0.04f,  0,      0,      ""};
    const int gemRow = s.addStreamOf(kFirstWorkId + 2, gem);
    const int perRow = s.addStreamOf(kFirstWorkId + 1, per);
    const int list = s.addList(kFirstWorkId, "L_WK_exp", {perRow, gemRow});
    const std::string out = s.app().settings.docdir;
    s.ui().answerPath(out + "/TarnRadiant");
    ASSERT_TRUE(exportTarnRadiant(s.app(), list));
    EXPECT_EQ(readFileBytes(out + "/TarnRadiant.txt"), expectedFile("TarnRadiant.txt"));
    EXPECT_EQ(s.ui().events().back().text, "TarnRadiant.txt");
    s.ui().answerPath(out + "/ULE_exp");
    ASSERT_TRUE(exportStreamListCsv(s.app(), "L_WK_exp", {perRow, gemRow}));
    EXPECT_EQ(s.ui().events().back().text, "ULE_exp.csv");
    EXPECT_EQ(readFileBytes(out + "/ULE_exp.csv"), expectedFile("ULE_exp.csv"));
}

struct ExportNameCase {
    const char* name;
    const char* listName;
    const char* fileName;
};

TEST(ListExports, ProposeTheirNamesFromTheList)
{
    const ExportNameCase cases[] = {{"after the data source", "L_WK_abc", "ULE_abc.csv"},
                                    {"no second _", "L_WKabc", "ULE_L_WKabc.csv"},
                                    {"short", "L_", "ULE_L_.csv"},
                                    {"slash replaced", "L_WK_a/b", "ULE_a_b.csv"}};
    for (const ExportNameCase& c : cases)
        EXPECT_EQ(csvExportName(c.listName), c.fileName) << c.name;
    EXPECT_EQ(crossListingFileName("L_WK_a/b,c"), "CRL_L_WK_a_b;c.csv");
}

TEST(ListExports, ReportAFileThatCannotBeCreated)
{
    ListSession s;
    const int list = s.addList(kFirstWorkId, "L_WK_x", {});
    const std::string bad = s.app().settings.docdir + "/missing/folder/out.txt";
    EXPECT_FALSE(writeTarnRadiant(s.app(), list, bad));
    EXPECT_FALSE(writeStreamListCsv(s.app(), {}, bad));
    EXPECT_FALSE(writeCrossListing(s.app(), list, bad));
    const std::string cannot = "Cannot open " + bad;
    EXPECT_EQ(s.ui().messages(), std::vector<std::string>(3, cannot));
}

// A-o1, A-o2, B-o1, C-o2, C-o3; the list holds A and C.
TEST(CrossListing, CountsTheOrbitsEachStreamSharesInOrderOfFirstAppearance)
{
    ListSession s;
    const int file = s.addOrbitFile("O_x.csv");
    const int o1 = s.addOrbit(file, kFirstWorkId + 10, "o1", 54000);
    const int o2 = s.addOrbit(file, kFirstWorkId + 11, "o2", 54000);
    const int o3 = s.addOrbit(file, kFirstWorkId + 12, "o3", 54000);
    const int a = s.addStream(kFirstWorkId + 1, "WK_A", 0);
    const int b = s.addStream(kFirstWorkId + 2, "WK_B", 0);
    const int c = s.addStream(kFirstWorkId + 3, "WK_C", 0);
    s.linkOrbit(a, o1);
    s.linkOrbit(a, o2);
    s.linkOrbit(b, o1);
    s.linkOrbit(c, o2);
    s.linkOrbit(c, o3);
    const int list = s.addList(kFirstWorkId, "L_WK_cross", {a, c});
    const std::optional<std::string> path = crossStreamListing(s.app(), list);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, s.app().settings.docdir + "/CRL_L_WK_cross.csv");
    EXPECT_EQ(readFileBytes(*path), " WK_A,2, WK_B,1, WK_C,1\r\n WK_C,2, WK_A,1\r\n");
    EXPECT_EQ(s.ui().busyDepth(), 0);
}

struct BadImportCase {
    const char* name;
    const char* fileName;
    std::string text;
    std::vector<std::string> messages; // "%s" stands for the file's path
    bool listMade;
    int streamsMade; // in the list, or left unlinked when there is none
};

const std::string kUleHeader = "_Version,_SID,_use,_code\r\n";
const std::string kUleRow = "301,1,1,_XX_A,_n,1,2,3,4,5,6,7,8,1,1,1,1,0,_\r\n";
const std::string kTarnRow = "WK_PER     17      07      24      08      13      08      140.3    "
                             "48.2    58.1   1.4      0.2    59.1    3.0     6.0    Perseids\r\n";

const BadImportCase kBadImports[] = {
    {"wrong table number",
     "ULE_a.csv",
     kUleHeader + kUleRow + "302,1,1,_XX_B,_,1,2,3,4,5,6,7,8,1,1,1,1,0,_\r\n",
     {"%s was broken\n line=3,row=0\nPlease Stop and check"},
     false,
     1},
    {"short line",
     "ULE_a.csv",
     kUleHeader + "301,1,1,_XX_A,_n,1\r\n",
     {"%s was broken\n line=2,row=0\nPlease Stop and check"},
     false,
     0},
    {"code without _",
     "ULE_a.csv",
     kUleHeader + "301,1,1,_A,_n,1,2,3,4,5,6,7,8,1,1,1,1,0,_\r\n",
     {"%s was broken\n line=2,row=0\nPlease Stop and check"},
     false,
     0},
    {"non-numeric field",
     "ULE_a.csv",
     kUleHeader + kUleRow + kUleRow + "301,1,1,_XX_A,_n,1,2,3,4,5,6,7,x,1,1,1,1,0,_\r\n",
     {"%s was broken\n line=4,row=0\nPlease Stop and check"},
     false,
     2},
    {"empty file", "ULE_a.csv", "", {}, false, 0},
    {"header only", "ULE_a.csv", kUleHeader, {}, true, 0},
    {"fixed width garbage and blanks skipped",
     "list.txt",
     "ID d1\r\n\r\n" + kTarnRow + "garbage here\r\n   \r\n" + kTarnRow,
     {"3 lines of %s could not be read and were skipped"},
     true,
     2},
    {"fixed width short line",
     "list.txt",
     "ID d1\r\nWK_PER     17      07\r\n",
     {"1 lines of %s could not be read and were skipped"},
     true,
     0},
    {"IAU MDC unknown status",
     "showers.psv",
     "1|7|0|PER|P|annual|9|140|48|58|||59||||||||||\n2|8|0|GEM|G|annual|1|262|112|33|||35||||||||||"
     "\n",
     {"1 parameter sets of %s have a status that is not known and were left out"},
     true,
     1},
    {"IAU MDC broken field",
     "showers.psv",
     "1|7|0|PER|P|annual|1|140|48|58|||59||||||||||\n2|8|0|GEM|G|annual|1|262|1 12|33|||35|||||||||"
     "|\n",
     {"%s was broken\n line=2,row=8\nPlease Stop and check"},
     false,
     0},
};

class BadListImportTest : public testing::TestWithParam<BadImportCase> {};

TEST_P(BadListImportTest, ReportsAndLeavesNoHalfMadeList)
{
    const BadImportCase& c = GetParam();
    ListSession s;
    const std::string path = s.source(c.fileName, c.text);
    const std::optional<int> list = importStreamListFile(s.app(), path, IauStatusChoice::All);
    std::vector<std::string> expected;
    for (std::string text : c.messages) {
        if (const std::size_t at = text.find("%s"); at != std::string::npos)
            text.replace(at, 2, path);
        expected.push_back(text);
    }
    EXPECT_EQ(s.ui().messages(), expected);
    EXPECT_EQ(list.has_value(), c.listMade);
    EXPECT_EQ(s.liveLists(), c.listMade ? 1 : 0);
    EXPECT_EQ(s.liveStreams(), c.streamsMade);
    if (list)
        EXPECT_EQ(static_cast<int>(s.codesOf(*list).size()), c.streamsMade);
    else
        EXPECT_EQ(s.idNextOf(kWork), kFirstWorkId + c.streamsMade + (c.streamsMade ? 1 : 0));
    EXPECT_TRUE(s.linksEndAtLiveRows());
    // Saved and loaded again, no link names a list or stream that is gone.
    s.saveAndReload();
    EXPECT_TRUE(s.linksEndAtLiveRows());
    EXPECT_EQ(s.liveLists(), c.listMade ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Files, BadListImportTest, testing::ValuesIn(kBadImports), caseName);

TEST(ImportList, TextsFromFilesFitTheTables)
{
    ListSession s;
    const std::string longName(300, 'n');
    const std::string path =
        s.source("ULE_x.csv", kUleHeader + "301,1,1,_XX_LONGCODE,_" + longName +
                                  ",1,2,3,4,5,6,7,8,1,1,1,1,0,_a\rb\r\n");
    const std::optional<int> list = importStreamListFile(s.app(), path, {});
    ASSERT_TRUE(list);
    const int stream = streamsOfList(s.app(), *list)[0];
    EXPECT_STREQ(s.db().streams.text(stream, S::code), "WK_LONG");
    EXPECT_EQ(std::string(s.db().streams.text(stream, S::name)), std::string(254, 'n'));
    EXPECT_STREQ(s.db().streams.text(stream, S::memo), "a;b");
    EXPECT_EQ(s.ui().messages(), std::vector<std::string>{
                                     "1 stream codes were longer than 7 characters and were cut"});
    s.saveAndReload();
    EXPECT_EQ(s.liveStreams(), 1);
}

TEST(ImportList, AsksForTheSourceTheFileAndTheIauStatus)
{
    ListSession s;
    const std::string path =
        s.source("showers.psv", "1|7|0|PER|P|annual|0|140|48|58|||59||||||||||\n"
                                "2|8|0|GEM|G|annual|1|262|112|33|||35||||||||||\n");
    s.chooseSource("WK");
    s.ui().answerPath(path);
    s.ui().answerDialog([](DialogModel& model) {
        dynamic_cast<CIauStatusDlg&>(model).choice = IauStatusChoice::Working;
        return true;
    });
    const std::optional<int> list = importStreamList(s.app());
    ASSERT_TRUE(list);
    EXPECT_STREQ(s.db().lists.text(*list, col::List::name), "L_WK_IAU_working");
    EXPECT_EQ(s.codesOf(*list), (std::vector<std::string>{"WK_PER", "WK_GEM"}));
    EXPECT_FALSE(s.ui().anyUnexpected());
}

struct DeleteCase {
    const char* name;
    bool lastIdHandedOut;
};

class DeleteListTest : public testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteListTest, UnlinksItsStreamsAndTheyStay)
{
    ListSession s;
    const int a = s.addStream(kFirstWorkId + 1, "WK_A", 0);
    const int b = s.addStream(kFirstWorkId + 2, "WK_B", 0);
    const std::uint32_t lid = GetParam().lastIdHandedOut ? kFirstWorkId + 3 : kFirstWorkId;
    s.db().dsids.cell(s.db().sources.currentRow(), col::Dsid::IDnext)->number = kFirstWorkId + 4;
    const int list = s.addList(lid, "L_WK_del", {a, b});
    const int other = s.addList(kFirstWorkId + 5, "L_WK_keep", {b});
    CPageSetup page(s.app());
    page.initialise();
    s.ui().answerOk();
    page.notify(CPageSetup::kListDelete, list, 0);
    EXPECT_FALSE(s.db().lists.isLive(list));
    EXPECT_EQ(s.liveStreams(), 2);
    EXPECT_EQ(s.codesOf(other), std::vector<std::string>{"WK_B"});
    EXPECT_EQ(s.idNextOf(kWork), GetParam().lastIdHandedOut ? kFirstWorkId + 3 : kFirstWorkId + 4);
    EXPECT_EQ(page.streamListView().lineCount(), 1);
    EXPECT_TRUE(s.linksEndAtLiveRows());
    s.saveAndReload();
    EXPECT_EQ(s.liveLists(), 1);
    EXPECT_EQ(liveRowCount(s.db().listStreamLinks), 1);
}

INSTANTIATE_TEST_SUITE_P(Lids, DeleteListTest,
                         testing::Values(DeleteCase{"last lid given back", true},
                                         DeleteCase{"earlier lid kept", false}),
                         caseName);

TEST(DeleteList, AsksFirstAndNeedsASelection)
{
    ListSession s;
    const int list = s.addList(kFirstWorkId, "L_WK_del", {});
    s.ui().answerCancel();
    EXPECT_FALSE(deleteStreamList(s.app(), list));
    EXPECT_TRUE(s.db().lists.isLive(list));
    EXPECT_FALSE(deleteStreamList(s.app(), -1));
    EXPECT_EQ(s.ui().messages(), std::vector<std::string>{kSelectListMessage});
    EXPECT_EQ(s.ui().events().front().text, kDeleteListQuestion);
}

// A stream deleted through the shared routine leaves no link behind: its SID, handed out
// again, does not join the old list or the old orbits at the next load.
TEST(DeleteStreamRow, ClearsItsListAndOrbitLinks)
{
    ListSession s;
    const int file = s.addOrbitFile("O_x.csv");
    const int orbit = s.addOrbit(file, kFirstWorkId + 10, "o1", 54000);
    const int a = s.addStream(kFirstWorkId + 1, "WK_A", 0);
    const int b = s.addStream(kFirstWorkId + 2, "WK_B", 0);
    s.linkOrbit(a, orbit);
    s.linkOrbit(b, orbit);
    const int list = s.addList(kFirstWorkId, "L_WK_x", {a, b});
    computeOrbitStreamCodes(s.db(), orbit);
    deleteStreamRow(s.db(), a);
    EXPECT_TRUE(s.linksEndAtLiveRows());
    EXPECT_EQ(s.codesOf(list), std::vector<std::string>{"WK_B"});
    EXPECT_STREQ(s.db().orbits.text(orbit, col::Orbit::stream), "WK_B");
    s.addStream(kFirstWorkId + 1, "WK_NEW", 0);
    s.saveAndReload();
    const int reloadedList = s.listRowNamed("L_WK_x");
    EXPECT_EQ(s.codesOf(reloadedList), std::vector<std::string>{"WK_B"});
    EXPECT_EQ(liveRowCount(s.db().streamOrbitLinks), 1);
}

TEST(DeleteListRow, ClearsItsLinksAndKeepsTheStreams)
{
    ListSession s;
    const int a = s.addStream(kFirstWorkId + 1, "WK_A", 0);
    const int list = s.addList(kFirstWorkId + 2, "L_WK_x", {a});
    deleteListRow(s.db(), list);
    EXPECT_TRUE(s.linksEndAtLiveRows());
    EXPECT_TRUE(linksOf(s.db().streams, a, S::LLINK).empty());
    EXPECT_EQ(s.liveStreams(), 1);
}

struct MenuCase {
    const char* name;
    CPageSetup::ListMenuCommand command;
    ScriptedUi::Kind firstKind;
    std::string firstCaption; // the dialog's name, the question or the file request's title
};

const MenuCase kMenuCases[] = {
    {"Edit", CPageSetup::ListMenuCommand::Edit, ScriptedUi::Kind::Dialog, kEditRecordDialog},
    {"Copy", CPageSetup::ListMenuCommand::Copy, ScriptedUi::Kind::Dialog, "CDSIDSDlg"},
    {"Typical orbits", CPageSetup::ListMenuCommand::TypicalOrbits, ScriptedUi::Kind::Dialog,
     "CDSIDSDlg"},
    {"Export", CPageSetup::ListMenuCommand::ExportTarn, ScriptedUi::Kind::SaveFile, kTarnTitle},
    {"Delete", CPageSetup::ListMenuCommand::Delete, ScriptedUi::Kind::Question,
     kDeleteListQuestion},
};

class ListMenuTest : public testing::TestWithParam<MenuCase> {};

// The menu opened on a line acts on that line's list; opened below the lines, on none.
TEST_P(ListMenuTest, ActsOnTheListTheMenuWasOpenedOn)
{
    ListSession s;
    s.addList(kFirstWorkId, "L_WK_menu", {});
    CPageSetup page(s.app());
    page.initialise();
    int shownAt = -2;
    page.listMenuRequested = [&shownAt](int line) { shownAt = line; };
    page.notify(CPageSetup::kListMenu, 1, 0);
    EXPECT_EQ(shownAt, 0);
    EXPECT_EQ(page.menuListRow(), 0);
    s.ui().answerCancel();
    page.listMenuCommand(GetParam().command);
    ASSERT_FALSE(s.ui().events().empty());
    const ScriptedUi::Event& first = s.ui().events().front();
    EXPECT_EQ(first.kind, GetParam().firstKind);
    EXPECT_EQ(first.kind == ScriptedUi::Kind::Question ? first.text : first.caption,
              GetParam().firstCaption);
    EXPECT_EQ(s.liveLists(), 1);

    s.ui().clear();
    page.notify(CPageSetup::kListMenu, 1, 5);
    EXPECT_EQ(page.menuListRow(), -1);
    page.listMenuCommand(GetParam().command);
    EXPECT_EQ(s.ui().messages(), std::vector<std::string>{kSelectListMessage});
}

INSTANTIATE_TEST_SUITE_P(Commands, ListMenuTest, testing::ValuesIn(kMenuCases), caseName);

TEST(ListMenu, CrossListingWritesIntoTheDocumentsFolder)
{
    ListSession s;
    s.addList(kFirstWorkId, "L_WK_menu", {});
    CPageSetup page(s.app());
    page.initialise();
    page.notify(CPageSetup::kListMenu, 1, 0);
    page.listMenuCommand(CPageSetup::ListMenuCommand::CrossListing);
    EXPECT_TRUE(std::filesystem::exists(s.app().settings.docdir + "/CRL_L_WK_menu.csv"));
    EXPECT_TRUE(s.ui().messages().empty());
}

struct CompressedListCase {
    const char* label;
    std::string fileName;
    std::string text;
};

std::vector<CompressedListCase> compressedListCases()
{
    return {
        {"Ule_csv", "ULE_zip.csv", kUleHeader + kUleRow + kUleRow},
        {"Fixed_width", "zip.txt", "ID d1\r\n" + kTarnRow + kTarnRow},
        {"Iau_mdc", "zip.psv", readFileBytes(projectDataFile("sources/iau_mdc_showers.psv"))},
    };
}

class CompressedListTest : public testing::TestWithParam<CompressedListCase> {};

// A compressed file imports as the file it holds; a truncated one is refused before anything
// changes.
TEST_P(CompressedListTest, ImportsAsItsContentAndATruncatedOneChangesNothing)
{
    const CompressedListCase& c = GetParam();
    ListSession plain;
    const std::optional<int> plainList =
        importStreamListFile(plain.app(), plain.source(c.fileName, c.text), IauStatusChoice::All);
    ASSERT_TRUE(plainList);
    ListSession s;
    const std::string gz = gzipped(c.text);
    const std::optional<int> list =
        importStreamListFile(s.app(), s.source(c.fileName + ".gz", gz), IauStatusChoice::All);
    ASSERT_TRUE(list);
    EXPECT_STREQ(s.db().lists.text(*list, col::List::name),
                 plain.db().lists.text(*plainList, col::List::name));
    const std::vector<int> rows = streamsOfList(s.app(), *list);
    const std::vector<int> plainRows = streamsOfList(plain.app(), *plainList);
    ASSERT_EQ(rows.size(), plainRows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        expectSameStream(streamValuesOf(s.db().streams, rows[i]),
                         streamValuesOf(plain.db().streams, plainRows[i]));
    EXPECT_EQ(s.ui().messages(), plain.ui().messages());

    ListSession broken;
    const std::string path = broken.source(c.fileName + ".gz", gz.substr(0, gz.size() - 20));
    EXPECT_FALSE(importStreamListFile(broken.app(), path, IauStatusChoice::All));
    const std::vector<std::string> messages = broken.ui().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].starts_with(path + " could not be read: ")) << messages[0];
    EXPECT_EQ(broken.liveLists(), 0);
    EXPECT_EQ(broken.liveStreams(), 0);
    EXPECT_EQ(broken.idNextOf(kWork), kFirstWorkId);
}

INSTANTIATE_TEST_SUITE_P(Layouts, CompressedListTest, testing::ValuesIn(compressedListCases()),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
