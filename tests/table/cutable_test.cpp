// Table rows and cells: growth, clearing, texts, deletion and the fatal paths.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "mdb/schema.h"
#include "table_test_support.h"

TEST(Cutable, AddRowHandsOutClearedLiveRowsInOrder)
{
    PooledTable t;
    // Dirty the slots of rows 0 and 1 before they are handed out.
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < tcol::columnCount; ++column)
            std::memset(t.table.cellForWriting(row, column), 0x5a, sizeof(UCell));
    EXPECT_EQ(t.table.count(), 0);
    EXPECT_EQ(t.table.addRow(), 0);
    EXPECT_EQ(t.table.addRow(), 1);
    EXPECT_EQ(t.table.count(), 2);
    EXPECT_EQ(t.table.exist(1), CUTABLE::kLive);
    EXPECT_EQ(t.table.cell(1, tcol::count)->integer, 0);
    EXPECT_EQ(t.table.cell(1, tcol::real)->real, 0.0f);
    EXPECT_STREQ(t.table.text(1, tcol::name), "");
    EXPECT_STREQ(t.table.text(1, tcol::code), "");
    EXPECT_EQ(t.table.cell(1, tcol::links)->links, nullptr);
    EXPECT_EQ(t.table.integer(1, tcol::itemdata), 0);
}

TEST(Cutable, GrowsBlockByBlockForWritesBeyondTheCount)
{
    PooledTable t;
    t.table.setExist(250, CUTABLE::kLive);
    t.table.setInteger(299, 42, tcol::itemdata);
    EXPECT_EQ(t.table.count(), 0) << "growing hands out no rows";
    EXPECT_EQ(t.table.integer(299, tcol::itemdata), 42);
    EXPECT_EQ(t.table.exist(250), CUTABLE::kLive);
    t.table.cellForWriting(310, tcol::count)->integer = -3;
    EXPECT_EQ(t.table.integer(310, tcol::count), -3);
    for (int row = 0; row < 150; ++row)
        t.table.addRow();
    EXPECT_EQ(t.table.cell(149, tcol::id)->number, 0u);
}

TEST(Cutable, DeletedRowKeepsItsIndexAndAnswersExistZero)
{
    PooledTable t;
    for (int i = 0; i < 3; ++i)
        t.table.addRow();
    t.table.setExist(2, CUTABLE::kMarked);
    t.table.deleteRow(1);
    EXPECT_EQ(t.table.count(), 3);
    EXPECT_EQ(t.table.exist(1), CUTABLE::kDeleted);
    EXPECT_FALSE(t.table.isLive(1));
    EXPECT_TRUE(t.table.isLive(2));
    const bool liveRows[] = {false, true, false, true, false};
    for (int row = -1; row <= 3; ++row)
        EXPECT_EQ(isLiveRow(t.table, row), liveRows[row + 1]) << row;
    EXPECT_EQ(t.table.addRow(), 3) << "deleted slots are not reused";
}

TEST(Cutable, TextLengthLimitsInMemory)
{
    PooledTable t;
    const int row = t.table.addRow();
    t.table.setText(row, tcol::code, "1234567");
    EXPECT_STREQ(t.table.text(row, tcol::code), "1234567");
    t.table.setText(row, tcol::code, "ab");
    EXPECT_STREQ(t.table.text(row, tcol::code), "ab") << "a shorter code leaves no tail";
    const std::string longest(255, 'n');
    t.table.setText(row, tcol::name, longest.c_str());
    EXPECT_EQ(t.table.text(row, tcol::name), longest);
    t.table.setText(row, tcol::name, "");
    EXPECT_EQ(t.table.cell(row, tcol::name)->text, nullptr) << "the empty text is never pooled";
}

TEST(Cutable, ReplacedAndDeletedTextsGoBackToThePool)
{
    PooledTable t;
    const int row = t.table.addRow();
    t.table.setText(row, tcol::name, "first name");
    const char* first = t.table.cell(row, tcol::name)->text;
    t.table.setText(row, tcol::note, "after it, so the name is not the last slot");
    t.table.setText(row, tcol::name, "second name");
    EXPECT_EQ(t.pools.strings.pool("third name"), first) << "the replaced text's slot is free";

    const char* note = t.table.cell(row, tcol::note)->text;
    t.table.deleteRow(row);
    EXPECT_EQ(t.pools.strings.pool("a text as long as the note, or longer"), note);
}

TEST(Cutable, SettingACellsOwnTextKeepsIt)
{
    PooledTable t;
    const int row = t.table.addRow();
    t.table.setText(row, tcol::name, "Geminids");
    t.table.setText(row, tcol::name, t.table.text(row, tcol::name));
    EXPECT_STREQ(t.table.text(row, tcol::name), "Geminids");
}

TEST(Cutable, ClearReleasesLiveTextsAndKeepsTheBlocks)
{
    PooledTable t;
    for (int i = 0; i < 3; ++i)
        t.table.setText(t.table.addRow(), tcol::name, ("name " + std::to_string(i)).c_str());
    const char* middle = t.table.cell(1, tcol::name)->text;
    t.table.deleteRow(2);
    t.table.clear();
    EXPECT_EQ(t.table.count(), 0);
    EXPECT_EQ(t.pools.strings.pool("some text"), middle) << "row 1's slot was released";
    EXPECT_EQ(t.table.addRow(), 0);
    EXPECT_STREQ(t.table.text(0, tcol::name), "");
}

TEST(CutableDeathTest, MisuseIsFatal)
{
    PooledTable t;
    t.table.addRow();
    t.table.deleteRow(0);
    EXPECT_EXIT(t.table.cell(0, tcol::id), kFatalExit, "UT recored was deteled");
    EXPECT_EXIT(t.table.text(0, tcol::name), kFatalExit, "UT recored was deteled");
    EXPECT_EXIT(t.table.exist(100), kFatalExit, "CUTABLE invalid access");
    EXPECT_EXIT(t.table.exist(-1), kFatalExit, "CUTABLE invalid access");
    EXPECT_EXIT(t.table.integer(100, tcol::itemdata), kFatalExit, "CUTABLE invalid access");
    EXPECT_EXIT(t.table.setExist(-1, 1), kFatalExit, "CUTABLE underflow");
    EXPECT_EXIT(t.table.cellForWriting(-1, 1), kFatalExit, "CUTABLE underflow");
    EXPECT_EXIT(t.table.setInteger(-1, 0, tcol::itemdata), kFatalExit,
                "CUTABLE setidemdata underflow");
    const int row = t.table.addRow();
    EXPECT_EXIT(t.table.setText(row, tcol::code, "12345678"), kFatalExit, "CUTable too long chars");
    EXPECT_EXIT(t.table.setText(row, tcol::name, std::string(256, 'x').c_str()), kFatalExit,
                "CUTable too long str");
}

TEST(CutableDeathTest, CannotAllocate)
{
    SKIP_UNDER_ADDRESS_SANITIZER();
    // The orbit table's block: 100,000 rows of 40 cells, 32 MB.
    TablePools pools;
    CUTABLE table;
    EXPECT_EXIT(
        {
            limitAddressSpace(1 << 20);
            table.initialise(kOrbitTableDef, pools);
        },
        kFatalExit, "Cannot allocate UTABLE");
}
