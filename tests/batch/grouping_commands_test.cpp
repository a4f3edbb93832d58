// The batch grouping commands: group by R-vg and D' with their options, erase, and the failures.
#include <gtest/gtest.h>

#include <filesystem>

#include "batch/batch_command.h"
#include "batch_test_support.h"
#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "support/test_support.h"
#include "table/links.h"

namespace {

using S = col::Stream;
using O = col::Orbit;

// An MDB with data source 1000 "VN", list "L_VN_test" of streams VN_A (a Perseid-like radiant)
// and VN_B (a wide one 10 degrees away), and three orbits: one at each radiant and one between.
struct GroupingMdb {
    TempDir dir;
    std::string mdb = dir.file("MDB");

    GroupingMdb()
    {
        std::filesystem::create_directories(mdb + "/orbits");
        Database db;
        const int source = db.dsids.addRow();
        db.dsids.cell(source, col::Dsid::DSID)->number = 1000;
        db.dsids.cell(source, col::Dsid::use)->number = 1;
        db.dsids.setText(source, col::Dsid::code, "VN");
        db.dsids.cell(source, col::Dsid::IDnext)->number = 100000100;
        const int list = db.lists.addRow();
        db.lists.cell(list, col::List::LID)->number = 100000001;
        db.lists.setText(list, col::List::name, "L_VN_test");
        const int file = db.orbitFiles.addRow();
        db.orbitFiles.cell(file, col::OrbitFile::use)->number = 1;
        db.orbitFiles.setText(file, col::OrbitFile::fileName, "O_VN.csv");
        db.orbitFiles.cell(file, col::OrbitFile::loaded)->number = 1;
        const int a = addStream(db, 100000002, "VN_A", 46, 3.0f);
        const int b = addStream(db, 100000003, "VN_B", 62, 12.0f);
        for (int stream : {a, b})
            link({&db.lists, list, col::List::SLINK}, {&db.streams, stream, S::LLINK});
        addOrbit(db, 100000010, 46.2f, file);
        addOrbit(db, 100000011, 61.5f, file);
        addOrbit(db, 100000012, 49.0f, file);
        EXPECT_TRUE(saveAll(db, mdb));
    }
    static int addStream(Database& db, unsigned sid, const char* code, float ra, float r)
    {
        const int row = db.streams.addRow();
        db.streams.cell(row, S::SID)->number = sid;
        db.streams.cell(row, S::use)->number = 1;
        db.streams.setText(row, S::code, code);
        const std::pair<int, float> values[] = {{S::sol1, 130}, {S::sol2, 150}, {S::solp, 140},
                                                {S::ra, ra},    {S::dec, 58},   {S::vg, 59},
                                                {S::R, r},      {S::dv, 3}};
        for (const auto& [column, value] : values)
            db.streams.cell(row, column)->real = value;
        return row;
    }
    static void addOrbit(Database& db, unsigned oid, float ra, int file)
    {
        const int row = db.orbits.addRow();
        db.orbits.cell(row, O::OID)->number = oid;
        db.orbits.cell(row, O::use)->number = 1;
        db.orbits.setText(row, O::name, "x");
        const std::pair<int, float> values[] = {{O::sol, 140},  {O::ra, ra},    {O::dec, 58},
                                                {O::vg, 59},    {O::q, 0.95f},  {O::e, 0.9f},
                                                {O::incl, 113}, {O::node, 140}, {O::peri, 150}};
        for (const auto& [column, value] : values)
            db.orbits.cell(row, column)->real = value;
        db.orbits.setInteger(row, file, O::OFILE);
    }
    int linksOnDisk() const
    {
        Database db;
        loadAll(db, mdb, 2007);
        return liveRowCount(db.streamOrbitLinks);
    }
};

CommandRun run(const std::string& name, const std::vector<std::string>& args)
{
    return runBatchCommand(groupingCommands(), name, args);
}

TEST(BatchGrouping, GroupsByRvgWithItsScalesAndSaves)
{
    struct Case {
        const char* name;
        std::vector<std::string> options;
        const char* out;
    };
    const Case cases[] = {
        // The middle orbit is 1.6 degrees from A's radiant and 6.9 from B's: nearest is A.
        {"nearest", {"--rvg"}, "VN_A 2\nVN_B 1\ntotal 3\n"},
        // At R*(%) 50 it is beyond both radii (1.5 and 6 degrees).
        {"half radius", {"--rvg", "--kr", "50"}, "VN_A 1\nVN_B 1\ntotal 2\n"},
        // At 300% A's radius of 9 degrees reaches B's orbit (8.2 away): the nearest stream
        // keeps it, with pri the first one, A, takes it.
        {"wide", {"--rvg", "--kr", "300"}, "VN_A 2\nVN_B 1\ntotal 3\n"},
        {"wide pri", {"--rvg", "--kr", "300", "--pri"}, "VN_A 3\nVN_B 0\ntotal 3\n"},
    };
    for (const Case& c : cases) {
        GroupingMdb m;
        std::vector<std::string> args{m.mdb, "L_VN_test"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CommandRun result = run("group", args);
        EXPECT_EQ(result.status, kBatchOk) << c.name << result.err;
        EXPECT_EQ(result.out, c.out) << c.name;
    }
}

TEST(BatchGrouping, DprimeWithoutTypicalOrbitsLinksNothingAndEraseUnlinks)
{
    GroupingMdb m;
    const CommandRun dprime = run("group", {m.mdb, "100000001", "--dprime", "--exclusive"});
    EXPECT_EQ(dprime.status, kBatchOk) << dprime.err;
    EXPECT_EQ(dprime.out, "VN_A 0\nVN_B 0\ntotal 0\n");
    ASSERT_EQ(run("group", {m.mdb, "L_VN_test", "--rvg"}).status, kBatchOk);
    EXPECT_EQ(m.linksOnDisk(), 3);
    EXPECT_EQ(run("erase-grouping", {m.mdb, "L_VN_test"}).status, kBatchOk);
    EXPECT_EQ(m.linksOnDisk(), 0);
}

TEST(BatchGrouping, UsageAndUnknownLists)
{
    GroupingMdb m;
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {"no criterion", {m.mdb, "L_VN_test"}, kBatchUsage},
        {"both criteria", {m.mdb, "L_VN_test", "--rvg", "--dprime"}, kBatchUsage},
        {"scale not a number", {m.mdb, "L_VN_test", "--rvg", "--kr", "x"}, kBatchUsage},
        {"unknown option", {m.mdb, "L_VN_test", "--rvg", "--fast"}, kBatchUsage},
        {"unknown list", {m.mdb, "L_none", "--rvg"}, kBatchFailed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(run("group", c.args).status, c.status) << c.name;
    EXPECT_EQ(m.linksOnDisk(), 0);
}

} // namespace
