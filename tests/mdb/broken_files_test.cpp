// A table or orbit file that was broken at load is never replaced by the part
// of it that was read: nothing is saved into the database until it loads without error.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb_fixture.h"
#include "platform/scripted_ui.h"

namespace fs = std::filesystem;

namespace {

constexpr int kYear = 2007;

struct BrokenCase {
    const char* name;
    const char* file; // relative to the MDB folder
    const char* header;
    // The broken-file message of the damaged line 11.
    const char* message;
};

void PrintTo(const BrokenCase& c, std::ostream* out) { *out << c.name; }

// Thirty rows of the file's kind, the eleventh damaged.
std::vector<std::string> rowsWithDamagedLine11(const BrokenCase& c)
{
    std::vector<std::string> rows;
    for (unsigned n = 0; n < 30; ++n) {
        const bool orbits = std::string(c.file).starts_with("orbits/");
        rows.push_back(orbits ? orbitLine(100000010 + n, "o" + std::to_string(n), 51000.5 + n)
                              : streamLine(4100000010u + n, "WK_" + std::to_string(n)));
    }
    rows[10].replace(rows[10].find(",1,_"), 4, ",x,_");
    return rows;
}

std::string refusal(const std::string& path)
{
    return formatMessage(kNotSavedFormat, path.c_str());
}

} // namespace

class BrokenFile : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenFile, SavesLeaveItAsItIsUntilItLoadsWithoutError)
{
    const BrokenCase& c = GetParam();
    SampleMdb mdb;
    const std::vector<std::string> rows = rowsWithDamagedLine11(c);
    writeTable(mdb.path(c.file), c.header, rows);
    // IDnext above the thirty new IDs, so that only the damaged line is wrong.
    const std::vector<std::string> sources = {dsidLine(1000, 1, "SkyCam", 100000040),
                                              dsidLine(41000, 1, "WK", 4100000040u)};
    writeTable(mdb.path("UDSID.csv"), kDsidHeader, sources);
    const std::string damaged = readFileBytes(mdb.path(c.file));
    ScopedScriptedUi scripted;
    Database db;
    loadAll(db, mdb.folder(), kYear);
    ASSERT_FALSE(scripted->messages().empty());
    EXPECT_EQ(scripted->messages()[0], c.message);
    EXPECT_EQ(db.unreadFiles, std::set<std::string>{c.file});

    // Twice: each save says so once and writes no file at all.
    for (int save = 0; save < 2; ++save) {
        scripted->clear();
        fs::remove(mdb.path("UDSID.csv"));
        EXPECT_FALSE(saveAll(db, mdb.folder()));
        EXPECT_EQ(scripted->messages(), std::vector<std::string>{refusal(mdb.path(c.file))});
        EXPECT_EQ(readFileBytes(mdb.path(c.file)), damaged);
        EXPECT_FALSE(fs::exists(mdb.path("UDSID.csv")));
    }

    // A backup holds the file as it is on disk.
    TempDir backup;
    scripted->clear();
    EXPECT_TRUE(saveAll(db, backup.str()));
    EXPECT_TRUE(scripted->messages().empty());
    EXPECT_EQ(readFileBytes(backup.file(c.file)), damaged);

    // Corrected by hand and reloaded, it is saved again.
    std::vector<std::string> repaired = rows;
    repaired[10].replace(repaired[10].find(",x,_"), 4, ",1,_");
    writeTable(mdb.path(c.file), c.header, repaired);
    writeTable(mdb.path("UDSID.csv"), kDsidHeader, sources);
    clearAll(db);
    scripted->clear();
    loadAll(db, mdb.folder(), kYear);
    EXPECT_TRUE(db.unreadFiles.empty());
    fs::remove(mdb.path(c.file));
    // The refused saves left the links of the replaced rows; the load names them.
    scripted->clear();
    EXPECT_TRUE(saveAll(db, mdb.folder()));
    EXPECT_TRUE(scripted->messages().empty());
    EXPECT_NE(readFileBytes(mdb.path(c.file)).find(repaired[29]), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    TableAndOrbitFile, BrokenFile,
    ::testing::Values(BrokenCase{"TableFile", "UStream.csv", kStreamHeader,
                                 "UStream.csv was broken\n line=11,row=2\nPlease Stop and check"},
                      BrokenCase{"OrbitFile", "orbits/O_b.csv", kOrbitHeader,
                                 "Orbit Edit was broken: O_b.csv\n line=13,row=2\nPlease Stop "
                                 "and check"}),
    [](const ::testing::TestParamInfo<BrokenCase>& info) { return std::string(info.param.name); });
