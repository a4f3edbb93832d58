// Load all, save all, backup and clear of whole MDB folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "mdb_fixture.h"
#include "platform/scripted_ui.h"
#include "table/links.h"

namespace fs = std::filesystem;

namespace {

constexpr int kYear = 2007;

int rowOfId(const CUTABLE& table, int idColumn, unsigned id)
{
    for (int row = 0; row < table.count(); ++row)
        if (table.isLive(row) && table.cell(row, idColumn)->number == id)
            return row;
    return -1;
}

std::vector<unsigned> linkedIds(const CUTABLE& table, int row, int linkColumn, int idColumn)
{
    std::vector<unsigned> ids;
    for (const LinkNode& node : linksOf(table, row, linkColumn))
        ids.push_back(partnerId(node, idColumn));
    return ids;
}

} // namespace

TEST(LoadAll, SampleDatabaseIsLinkedAndDerived)
{
    SampleMdb mdb;
    ScopedScriptedUi scripted;
    Database db;
    loadAll(db, mdb.folder(), kYear);
    EXPECT_TRUE(scripted->messages().empty());
    EXPECT_EQ(db.orbits.count(), 4);
    EXPECT_EQ(db.orbitCount, 4);
    const int per = rowOfId(db.streams, col::Stream::SID, 4100000001u);
    EXPECT_EQ(linkedIds(db.streams, per, col::Stream::OLINK, col::Orbit::OID),
              (std::vector<unsigned>{100000000, 100000002}));
    EXPECT_EQ(linkedIds(db.lists, 0, col::List::SLINK, col::Stream::SID),
              (std::vector<unsigned>{4100000001u, 4100000002u}));
    // Orbits remember their file; the typical orbit of WK_PER is b0.
    EXPECT_EQ(db.orbits.integer(2, col::Orbit::OFILE), 1);
    EXPECT_EQ(db.streams.integer(per, col::Stream::TOIDline), 2);
    EXPECT_STREQ(db.orbits.text(0, col::Orbit::stream), "WK_PER");
    EXPECT_STREQ(db.orbits.text(1, col::Orbit::stream), "");
    // MJD 51000.5 is 1998-07-06.
    EXPECT_STREQ(db.orbits.text(0, col::Orbit::MD), "07/06");
    EXPECT_STREQ(db.orbits.text(0, col::Orbit::code), positionCode(140, 46, 58, 59).c_str());
    EXPECT_GT(db.orbits.cell(0, col::Orbit::vs)->real, 0.f);
    EXPECT_STRNE(db.streams.text(per, col::Stream::MDp), "");
    EXPECT_EQ(db.orbitFiles.cell(0, col::OrbitFile::loaded)->number, 1u);
}

TEST(SaveAll, ResaveOfASavedDatabaseIsByteIdentical)
{
    SampleMdb mdb;
    ScopedScriptedUi scripted;
    {
        Database db;
        loadAll(db, mdb.folder(), kYear);
        ASSERT_TRUE(saveAll(db, mdb.folder()));
    }
    const std::map<std::string, std::string> first = filesBelow(mdb.folder());
    Database db;
    loadAll(db, mdb.folder(), kYear);
    ASSERT_TRUE(saveAll(db, mdb.folder()));
    for (const auto& [path, bytes] : first)
        EXPECT_EQ(readFileBytes(path), bytes) << path;
    EXPECT_EQ(first.size(), 8u);
}

TEST(SaveAll, WritesExactlyWhatIsInMemory)
{
    SampleMdb mdb;
    ScopedScriptedUi scripted;
    Database db;
    loadAll(db, mdb.folder(), kYear);
    // Delete orbit a1 and unlink a0 from WK_PER; link b1 to WK_PER.
    const int per = rowOfId(db.streams, col::Stream::SID, 4100000001u);
    db.orbits.deleteRow(1);
    unlink({&db.streams, per, col::Stream::OLINK}, {&db.orbits, 0, col::Orbit::SLINK});
    link({&db.streams, per, col::Stream::OLINK}, {&db.orbits, 3, col::Orbit::SLINK});
    ASSERT_TRUE(saveAll(db, mdb.folder()));
    EXPECT_EQ(readFileBytes(mdb.path("USOlink.csv")),
              std::string(kStreamOrbitHeader) +
                  "\r\n401,4100000001,100000002\r\n401,4100000001,100000003\r\n"
                  "401,4100000002,100000003\r\n");
    const std::string fileA = readFileBytes(mdb.path("orbits/O_a.csv"));
    EXPECT_EQ(fileA,
              std::string(kOrbitHeader) + "\r\n" + orbitLine(100000000, "a0", 51000.5) + "\r\n");
}

TEST(LoadAll, OrbitsFolderIsScannedAndRegistrationsFollowIt)
{
    SampleMdb mdb;
    writeTable(mdb.path("orbits/O_new.csv"), kOrbitHeader, {orbitLine(100000009, "n0", 51010.5)});
    fs::rename(mdb.path("orbits/O_b.csv"), mdb.path("orbits/O_B.csv"));
    writeFileBytes(mdb.path("orbits/notes.txt"), "not an orbit file");
    writeFileBytes(mdb.path("orbits/Oxford.dat"), "not an orbit file");
    ScopedScriptedUi scripted;
    Database db;
    loadAll(db, mdb.folder(), kYear);
    // O_b.csv's registration is dropped; O_B.csv and O_new.csv come in unused, in name order.
    std::vector<std::string> names;
    std::vector<unsigned> uses;
    for (int row = 0; row < db.orbitFiles.count(); ++row)
        if (db.orbitFiles.isLive(row)) {
            names.push_back(db.orbitFiles.text(row, col::OrbitFile::fileName));
            uses.push_back(db.orbitFiles.cell(row, col::OrbitFile::use)->number);
        }
    EXPECT_EQ(names, (std::vector<std::string>{"O_a.csv", "O_B.csv", "O_new.csv"}));
    EXPECT_EQ(uses, (std::vector<unsigned>{1, 0, 0}));
    EXPECT_EQ(db.orbits.count(), 2);
    // The links to orbits that were not loaded stay as unresolved references.
    ASSERT_TRUE(saveAll(db, mdb.folder()));
    EXPECT_NE(readFileBytes(mdb.path("USOlink.csv")).find("401,4100000002,100000003"),
              std::string::npos);
    EXPECT_EQ(readFileBytes(mdb.path("UOFile.csv")),
              std::string(kOrbitFileHeader) +
                  "\r\n901,1,_O_a.csv,_first\r\n901,0,_O_B.csv,_\r\n901,0,_O_new.csv,_\r\n");
}

TEST(LoadAll, TypicalOrbitOfAnUnloadedFileHasNoLine)
{
    SampleMdb mdb;
    writeTable(mdb.path("UOFile.csv"), kOrbitFileHeader, {"901,1,_O_a.csv,_", "901,0,_O_b.csv,_"});
    ScopedScriptedUi scripted;
    Database db;
    loadAll(db, mdb.folder(), kYear);
    EXPECT_EQ(db.streams.integer(rowOfId(db.streams, col::Stream::SID, 4100000001u),
                                 col::Stream::TOIDline),
              -1);
}

TEST(LoadAll, HandEditedDatabaseLoadsWithMessagesAndKeepsUnresolvedLinks)
{
    SampleMdb mdb;
    writeTable(mdb.path("USOlink.csv"), kStreamOrbitHeader,
               {"401,4100000001,100000000", "401,999,100000001", "401,4100000002,777"});
    writeFileBytes(mdb.path("UList.csv"), "");
    writeTable(mdb.path("UDSID.csv"), kDsidHeader,
               {dsidLine(1000, 1, "SkyCam", 100000004), dsidLine(41000, 1, "SkyCam", 4100000003u),
                "1,41001,1,_XX,not a number"});
    ScopedScriptedUi scripted;
    Database db;
    loadAll(db, mdb.folder(), kYear);
    // The emptied list file leaves the list-stream links without an owner.
    EXPECT_EQ(scripted->messages(),
              (std::vector<std::string>{
                  "UDSID.csv was broken\n line=3,row=4\nPlease Stop and check",
                  "UList.csv was broken\n line=0,row=-1\nPlease Stop and check",
                  "UDSID.csv: IDnext 0 of data source XX is none of its IDs\nPlease Stop and check",
                  " Link table contains unknown id 4100000000 -- 4100000001",
                  " Link table contains unknown id 4100000000 -- 4100000002",
                  " Link table contains unknown id 999 -- 100000001",
                  "Duplicate DSID code found\nPlease correct SkyCam",
              }));
    // With two files broken nothing is written: not even the link table that lost an owner.
    const std::string dsidBytes = readFileBytes(mdb.path("UDSID.csv"));
    const std::string linkBytes = readFileBytes(mdb.path("USOlink.csv"));
    scripted->clear();
    EXPECT_FALSE(saveAll(db, mdb.folder()));
    EXPECT_EQ(
        scripted->messages(),
        std::vector<std::string>{formatMessage(
            kNotSavedFormat, (mdb.path("UDSID.csv") + "\n" + mdb.path("UList.csv")).c_str())});
    EXPECT_EQ(readFileBytes(mdb.path("UDSID.csv")), dsidBytes);
    EXPECT_EQ(readFileBytes(mdb.path("UList.csv")), "");
    EXPECT_EQ(readFileBytes(mdb.path("USOlink.csv")), linkBytes);
}

TEST(LoadAll, MissingFolderGivesEmptyTablesSilently)
{
    TempDir dir;
    ScopedScriptedUi scripted;
    Database db;
    loadAll(db, dir.file("absent"), kYear);
    EXPECT_TRUE(scripted->messages().empty());
    EXPECT_EQ(db.orbits.count() + db.streams.count() + db.dsids.count(), 0);
    EXPECT_FALSE(fs::exists(dir.file("absent")));
}

TEST(SaveAll, BackupHoldsTheSixTablesAndOnlyLoadedOrbitFiles)
{
    SampleMdb mdb;
    writeTable(mdb.path("UOFile.csv"), kOrbitFileHeader, {"901,1,_O_a.csv,_", "901,0,_O_b.csv,_"});
    TempDir backup;
    ScopedScriptedUi scripted;
    Database db;
    loadAll(db, mdb.folder(), kYear);
    ASSERT_TRUE(saveAll(db, backup.str()));
    std::set<std::string> written;
    for (const auto& entry : fs::recursive_directory_iterator(backup.path()))
        if (entry.is_regular_file())
            written.insert(fs::relative(entry.path(), backup.path()).string());
    EXPECT_EQ(written,
              (std::set<std::string>{"UDSID.csv", "UList.csv", "ULSlink.csv", "UStream.csv",
                                     "USOlink.csv", "UOFile.csv", "orbits/O_a.csv"}));
}

TEST(SaveAll, AFileThatCannotBeWrittenIsReportedAndNoFileIsReplaced)
{
    SampleMdb mdb;
    ScopedScriptedUi scripted;
    Database db;
    loadAll(db, mdb.folder(), kYear);
    db.streams.setText(0, col::Stream::name, "changed");
    const std::string before = readFileBytes(mdb.path("UStream.csv"));
    // A folder in the way of the file makes its replacement fail.
    fs::remove(mdb.path("UList.csv"));
    fs::create_directory(mdb.path("UList.csv"));
    fs::create_directory(mdb.path("UList.csv/keep"));
    EXPECT_FALSE(saveAll(db, mdb.folder()));
    EXPECT_EQ(readFileBytes(mdb.path("UStream.csv")), before) << "all or nothing";
    ASSERT_EQ(scripted->messages().size(), 1u);
    EXPECT_EQ(scripted->messages()[0], "Cannot open " + mdb.path("UList.csv"));
    EXPECT_TRUE(fs::is_directory(mdb.path("UList.csv/keep")));
}

TEST(ClearAll, EmptiesEveryTableAndAReloadRestoresTheLinks)
{
    SampleMdb mdb;
    ScopedScriptedUi scripted;
    Database db;
    loadAll(db, mdb.folder(), kYear);
    clearAll(db);
    for (const CUTABLE* table : {&db.dsids, &db.lists, &db.listStreamLinks, &db.streams,
                                 &db.streamOrbitLinks, &db.orbits, &db.orbitFiles})
        EXPECT_EQ(table->count(), 0);
    loadAll(db, mdb.folder(), kYear);
    EXPECT_EQ(linkedIds(db.orbits, 3, col::Orbit::SLINK, col::Stream::SID),
              (std::vector<unsigned>{4100000002u}));
}

TEST(LoadAll, MissingOrbitsFolderIsNotCreatedAndDuplicateIdsLinkTheFirstRow)
{
    SampleMdb mdb;
    fs::remove_all(mdb.path("orbits"));
    writeTable(mdb.path("UStream.csv"), kStreamHeader,
               {streamLine(4100000001u, "WK_ONE"), streamLine(4100000001u, "WK_TWO")});
    ScopedScriptedUi scripted;
    Database db;
    loadAll(db, mdb.folder(), kYear);
    // A load writes nothing: the next save creates the folder.
    EXPECT_FALSE(fs::exists(mdb.path("orbits")));
    EXPECT_EQ(liveRowCount(db.orbitFiles), 0);
    ASSERT_EQ(db.streams.count(), 2);
    EXPECT_EQ(linkedIds(db.lists, 0, col::List::SLINK, col::Stream::SID),
              (std::vector<unsigned>{4100000001u, 4100000002u}));
    EXPECT_FALSE(linksOf(db.streams, 0, col::Stream::LLINK).empty());
    EXPECT_TRUE(linksOf(db.streams, 1, col::Stream::LLINK).empty());
}
