// Data sources: proposals, the current source, ID allocation and the add dialog.
#include <gtest/gtest.h>

#include "mdb/database.h"
#include "mdb/dsid_dialog.h"
#include "mdb/schema.h"
#include "platform/scripted_ui.h"

namespace {

using C = col::Dsid;

int addSource(Database& db, unsigned dsid, unsigned use, const char* code, unsigned idNext = 0)
{
    const int row = db.dsids.addRow();
    db.dsids.cell(row, C::DSID)->number = dsid;
    db.dsids.cell(row, C::use)->number = use;
    db.dsids.setText(row, C::code, code);
    db.dsids.cell(row, C::IDnext)->number = idNext ? idNext : dsid * kIdsPerSource;
    return row;
}

} // namespace

TEST(DataSources, EmptyTableGetsTheBuiltInWorkSource)
{
    ScopedScriptedUi scripted;
    Database db;
    db.sources.selectCurrentDsid(0);
    ASSERT_EQ(db.dsids.count(), 1);
    EXPECT_EQ(db.sources.currentRow(), 0);
    EXPECT_EQ(db.sources.currentDsid(), 41000u);
    EXPECT_STREQ(db.dsids.text(0, C::code), "WK");
    EXPECT_STREQ(db.dsids.text(0, C::memo), "builtin ID for work");
    EXPECT_EQ(db.dsids.cell(0, C::IDnext)->number, 4100000000u);
    EXPECT_TRUE(db.sources.isInUse(4100000123u));
    EXPECT_TRUE(scripted->messages().empty());
}

TEST(DataSources, CurrentIsTheWantedThenTheLastInUseThenTheLastLive)
{
    ScopedScriptedUi scripted;
    Database db;
    addSource(db, 1000, 1, "A");
    addSource(db, 1001, 1, "B");
    addSource(db, 1002, 0, "C");
    struct Case {
        unsigned wanted;
        unsigned current;
    } cases[] = {{1000, 1000}, {1002, 1002}, {5555, 1001}};
    for (const Case& c : cases) {
        db.sources.selectCurrentDsid(c.wanted);
        EXPECT_EQ(db.sources.currentDsid(), c.current) << c.wanted;
    }
    db.dsids.cell(1, C::use)->number = 0;
    db.dsids.cell(0, C::use)->number = 0;
    db.sources.selectCurrentDsid(5555);
    EXPECT_EQ(db.sources.currentDsid(), 1002u);
}

TEST(DataSources, ProposalsSkipTakenNumbersAndStayInTheirRange)
{
    ScopedScriptedUi scripted;
    Database db;
    addSource(db, 41000, 1, "A");
    const int second = addSource(db, 41001, 0, "B");
    db.sources.markInUse();
    EXPECT_EQ(db.sources.proposeDsid(4), 41002u);
    EXPECT_EQ(db.sources.proposeDsid(1), 30u);
    EXPECT_EQ(db.sources.proposeDsid(2), 2100u);
    EXPECT_EQ(db.sources.proposeDsid(3), 40000u);
    EXPECT_EQ(db.sources.proposeDsid(0), 30000u);
    db.dsids.deleteRow(0);
    db.sources.clearDsidMark(41000);
    EXPECT_EQ(db.sources.proposeDsid(4), 41000u);
    EXPECT_FALSE(db.sources.isFreeDsid(4, 41001));
    EXPECT_TRUE(db.sources.isFreeDsid(1, 5));
    EXPECT_FALSE(db.sources.isFreeDsid(1, 1000));
    db.dsids.deleteRow(second);
    EXPECT_TRUE(scripted->messages().empty());
}

TEST(DataSources, ExhaustedProposalRangeSaysSo)
{
    ScopedScriptedUi scripted;
    Database db;
    for (unsigned dsid = 40000; dsid <= 40998; ++dsid)
        addSource(db, dsid, 0, "S");
    EXPECT_EQ(db.sources.proposeDsid(3), kMaxDsid);
    EXPECT_EQ(scripted->messages(), std::vector<std::string>{"DSID overlow"});
}

TEST(DataSources, IdsRunOutWithAMessageInsteadOfEndingTheProgram)
{
    ScopedScriptedUi scripted;
    Database db;
    addSource(db, 41000, 1, "WK", 41000u * kIdsPerSource + 99998);
    db.sources.selectCurrentDsid(41000);
    EXPECT_EQ(scripted->messages().size(), 1u); // near the limit
    EXPECT_EQ(db.sources.nextId(), std::optional<std::uint32_t>(4100099998u));
    EXPECT_EQ(db.sources.nextId(), std::nullopt);
    EXPECT_EQ(scripted->messages().back(), "ID Limit");
    EXPECT_EQ(db.dsids.cell(0, C::IDnext)->number, 4100099999u);
}

TEST(DataSources, NoCurrentSourceGivesNoId)
{
    ScopedScriptedUi scripted;
    Database db;
    EXPECT_EQ(db.sources.nextId(), std::nullopt);
    EXPECT_EQ(scripted->messages(), std::vector<std::string>{"DSID not assigned"});
}

TEST(DataSources, OnlyTheLastIdHandedOutCanBeGivenBack)
{
    ScopedScriptedUi scripted;
    Database db;
    db.sources.selectCurrentDsid(0);
    const auto first = db.sources.nextId();
    const auto second = db.sources.nextId();
    db.sources.giveBackId(*first);
    EXPECT_EQ(db.sources.currentIdNext(), *second + 1);
    db.sources.giveBackId(*second);
    EXPECT_EQ(db.sources.currentIdNext(), *second);
}

TEST(DataSources, CheckReportsDuplicateCodesAndTheNearLimit)
{
    ScopedScriptedUi scripted;
    Database db;
    addSource(db, 1000, 1, "SkyCam");
    addSource(db, 1001, 0, "SkyCam");
    addSource(db, 41000, 1, "WK", 41000u * kIdsPerSource + 90000);
    addSource(db, 1002, 1, "skycam");
    db.sources.selectCurrentDsid(41000);
    scripted->clear();
    db.sources.checkDsidTable();
    EXPECT_EQ(scripted->messages(),
              (std::vector<std::string>{"Duplicate DSID code found\nPlease correct SkyCam",
                                        "current ID number comes to near limit\nPlease make new "
                                        "DSID and set it as current"}));
}

TEST(DataSources, ClearingTheCurrentMarkForgetsTheCurrentSource)
{
    ScopedScriptedUi scripted;
    Database db;
    db.sources.selectCurrentDsid(0);
    db.sources.clearDsidMark(41000);
    EXPECT_EQ(db.sources.currentRow(), -1);
    EXPECT_EQ(db.sources.currentDsid(), 0u);
    EXPECT_FALSE(db.sources.isInUse(4100000000u));
}

TEST(CDSIDdlg, StartsAsKindFourAndProposesOnEachChoice)
{
    ScopedScriptedUi scripted;
    Database db;
    db.sources.selectCurrentDsid(0);
    CDSIDdlg dialog(db.sources);
    EXPECT_EQ(dialog.kind(), 4);
    EXPECT_EQ(dialog.numberText, "");
    dialog.chooseKind(4);
    EXPECT_EQ(dialog.numberText, "41001");
    dialog.chooseKind(1);
    EXPECT_EQ(dialog.numberText, "30");
    EXPECT_STREQ(dsidKind(1).label, "Public stream source (1-999)");
}

TEST(CDSIDdlg, OkChecksTheTypedNumber)
{
    ScopedScriptedUi scripted;
    Database db;
    addSource(db, 1000, 1, "SkyCam");
    addSource(db, 1500, 0, "OFF");
    db.sources.markInUse();
    struct Case {
        int kind;
        const char* typed;
        std::optional<std::uint32_t> accepted;
        const char* message;
    } cases[] = {
        {1, "7", 7u, nullptr}, // below the proposal range, still valid
        {2, "1000", {}, "ID already used"},
        {2, "1500", {}, "ID is not valid"}, // exists, not in use
        {2, "999", {}, "ID is not valid"},  // outside the kind's range
        {0, "42949", {}, "ID is not valid"},
        {4, "abc", {}, "ID is not valid"},
        {4, "41000", 41000u, nullptr},
    };
    for (const Case& c : cases) {
        scripted->clear();
        CDSIDdlg dialog(db.sources);
        dialog.chooseKind(c.kind);
        dialog.numberText = c.typed;
        EXPECT_EQ(dialog.accept(), c.accepted) << c.typed;
        EXPECT_EQ(scripted->messages(),
                  c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{})
            << c.typed;
    }
}
