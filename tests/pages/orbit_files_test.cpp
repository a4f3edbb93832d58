// Creating, deleting and reloading orbit files through the Set Up page's commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>

#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "orbits/orbit_converters.h"
#include "pages/orbit_files.h"
#include "support/mdb_session.h"
#include "table/links.h"

namespace {

namespace fs = std::filesystem;
using S = col::Stream;

void blockTableFile(const std::string& path)
{
    fs::remove(path);
    fs::create_directories(path + "/blocked");
}

std::vector<std::uint32_t> linkedOids(Database& db, int stream)
{
    std::vector<std::uint32_t> oids;
    for (const LinkNode& node : linksOf(db.streams, stream, S::OLINK))
        oids.push_back(partnerId(node, col::Orbit::OID));
    std::sort(oids.begin(), oids.end());
    return oids;
}

int streamRow(Database& db, std::uint32_t sid)
{
    for (int row = 0; row < db.streams.count(); ++row)
        if (db.streams.isLive(row) && db.streams.cell(row, S::SID)->number == sid)
            return row;
    return -1;
}

TEST(CreateOrbitFile, HeaderOnlyFileStaysRegisteredAndLoadedAfterAReload)
{
    MdbSession s;
    s.ui().answerPath(s.orbitPath("O_WK_new.csv"));
    ASSERT_TRUE(createOrbitFile(s.app()));
    const auto& asked = s.ui().events().at(0);
    EXPECT_EQ(asked.caption, "Make new Orbit elements file");
    EXPECT_EQ(asked.text, "O_WK_4100000000.csv");
    EXPECT_EQ(readFileBytes(s.orbitPath("O_WK_new.csv")), orbitFileHeader());
    EXPECT_NE(readFileBytes(s.mdb() + "/UOFile.csv").find("901,1,_O_WK_new.csv,_\r\n"),
              std::string::npos);
    EXPECT_FALSE(s.db().modified);

    s.ui().answerCancel();
    ASSERT_TRUE(reloadDatabase(s.app()));
    const int row = s.orbitFileRow("O_WK_new.csv");
    ASSERT_GE(row, 0);
    EXPECT_EQ(s.db().orbitFiles.cell(row, col::OrbitFile::use)->number, 1u);
    EXPECT_EQ(s.db().orbitFiles.cell(row, col::OrbitFile::loaded)->number, 1u);
    EXPECT_EQ(readFileBytes(s.orbitPath("O_WK_new.csv")), orbitFileHeader());
    EXPECT_TRUE(s.ui().messages().empty());
}

TEST(CreateOrbitFile, AsksAgainForANameThatExistsOrThatTheLoadWouldNotFind)
{
    MdbSession s;
    writeFileBytes(s.orbitPath("O_WK_old.csv"), "kept");
    s.ui().answerPath(s.orbitPath("O_WK_old.csv"));
    s.ui().answerPath(s.orbitPath("new.csv"));
    s.ui().answerPath(s.orbitPath("O_WK_old"));
    const std::vector<std::string> unstorable = {"O_a,b.csv", "O_a\rb.csv", "O_a\nb.csv"};
    for (const std::string& name : unstorable)
        s.ui().answerPath(s.orbitPath(name));
    s.ui().answerPath(s.orbitPath("O_WK_x"));
    ASSERT_TRUE(createOrbitFile(s.app()));
    const std::string exists = formatMessage(kExistsFormat, s.orbitPath("O_WK_old.csv").c_str());
    std::vector<std::string> expected = {exists,
                                         formatMessage(kOutsideOrbitsFormat,
                                                       s.orbitPath("new.csv").c_str(),
                                                       (s.mdb() + "/orbits").c_str()),
                                         exists};
    for (const std::string& name : unstorable)
        expected.push_back(formatMessage(kUnstorableNameFormat, s.orbitPath(name).c_str()));
    EXPECT_EQ(s.ui().messages(), expected);
    EXPECT_EQ(readFileBytes(s.orbitPath("O_WK_old.csv")), "kept");
    EXPECT_EQ(readFileBytes(s.orbitPath("O_WK_x.csv")), orbitFileHeader());
}

TEST(CreateOrbitFile, CancelLeavesTheFolderAsItWas)
{
    MdbSession s;
    const auto before = s.files();
    s.ui().answerCancel();
    EXPECT_FALSE(createOrbitFile(s.app()));
    EXPECT_EQ(s.files(), before);
}

TEST(CreateOrbitFile, TablesThatCannotBeSavedTakeTheNewFileBack)
{
    MdbSession s;
    blockTableFile(s.mdb() + "/UStream.csv");
    s.ui().answerPath(s.orbitPath("O_WK_new.csv"));
    EXPECT_FALSE(createOrbitFile(s.app()));
    EXPECT_FALSE(fs::exists(s.orbitPath("O_WK_new.csv")));
    EXPECT_EQ(s.orbitFileRow("O_WK_new.csv"), -1);
}

// Two files of two orbits each; stream 1 has a1 as typical orbit and links to a0, b0 and b1;
// stream 2 has b0 as typical orbit and links to a1; stream 3 has a1 as typical orbit too.
struct TwoFiles : MdbSession {
    TwoFiles()
    {
        const int a = addOrbitFile("O_a.csv");
        const int b = addOrbitFile("O_b.csv");
        const int a0 = addOrbit(a, kA0, "a0", 55000.5f);
        const int a1 = addOrbit(a, kA1, "a1", 55001.5f);
        const int b0 = addOrbit(b, kB0, "b0", 55002.5f);
        const int b1 = addOrbit(b, kB1, "b1", 55003.5f);
        const int s1 = addStream(4100000010u, "S1", kA1);
        const int s2 = addStream(4100000011u, "S2", kB0);
        addStream(4100000012u, "S3", kA1);
        for (auto [stream, orbit] : {std::pair{s1, a0}, {s1, b0}, {s1, b1}, {s2, a1}})
            link({&db().streams, stream, S::OLINK}, {&db().orbits, orbit, col::Orbit::SLINK});
        // The data source's next ID above the orbits' and streams' IDs, as the load checks.
        db().dsids.cell(db().sources.currentRow(), col::Dsid::IDnext)->number = 4100000013u;
        saveAndReload();
    }
    static constexpr std::uint32_t kA0 = 4100000000u, kA1 = 4100000001u, kB0 = 4100000002u,
                                   kB1 = 4100000003u;
};

TEST(DeleteOrbitFile, RemovesTheFileItsOrbitsTheirLinksAndTypicalOrbitMarks)
{
    TwoFiles s;
    s.ui().answerOk();
    ASSERT_TRUE(deleteOrbitFile(s.app(), s.orbitFileRow("O_a.csv")));
    EXPECT_EQ(s.ui().events().at(0).text,
              s.orbitPath("O_a.csv") +
                  "\n\norbit file and its related links will be DELETED comleteley\nall tables "
                  "will be saved after deleting OK?");
    EXPECT_FALSE(fs::exists(s.orbitPath("O_a.csv")));
    EXPECT_EQ(s.orbitFileRow("O_a.csv"), -1);
    EXPECT_EQ(liveRowCount(s.db().orbits), 2);
    EXPECT_EQ(s.db().orbitCount, 2);
    Database& db = s.db();
    const int s1 = streamRow(db, 4100000010u), s2 = streamRow(db, 4100000011u),
              s3 = streamRow(db, 4100000012u);
    EXPECT_EQ(db.streams.cell(s1, S::TypicalOID)->number, 0u);
    EXPECT_EQ(db.streams.cell(s1, S::TOIDline)->integer, -1);
    EXPECT_EQ(linkedOids(db, s1), (std::vector<std::uint32_t>{TwoFiles::kB0, TwoFiles::kB1}));
    EXPECT_EQ(db.streams.cell(s2, S::TypicalOID)->number, TwoFiles::kB0);
    EXPECT_EQ(db.streams.cell(s2, S::TOIDline)->integer, s.orbitRow("b0"));
    EXPECT_TRUE(linkedOids(db, s2).empty());
    EXPECT_EQ(db.streams.cell(s3, S::TypicalOID)->number, 0u);
    EXPECT_EQ(readFileBytes(s.mdb() + "/USOlink.csv"),
              "_Version,_SID,_OID\r\n401,4100000010,4100000002\r\n401,4100000010,4100000003\r\n");
    EXPECT_FALSE(db.modified);
    EXPECT_TRUE(s.ui().messages().empty());
}

struct SelectionCase {
    const char* label;
    int row; // -2: a deleted row; -3: a file that is not loaded
    const char* message;
};

class DeleteSelectionTest : public testing::TestWithParam<SelectionCase> {};

TEST_P(DeleteSelectionTest, IsRefusedWithoutAQuestion)
{
    TwoFiles s;
    writeFileBytes(s.orbitPath("O_idle.csv"), orbitFileHeader());
    s.reloadFromDisk();
    const int gone = s.db().orbitFiles.addRow();
    s.db().orbitFiles.deleteRow(gone);
    const auto before = s.files();
    int row = GetParam().row;
    if (row == -2)
        row = gone;
    if (row == -3)
        row = s.orbitFileRow("O_idle.csv");
    EXPECT_FALSE(deleteOrbitFile(s.app(), row));
    EXPECT_EQ(s.ui().messages(), std::vector<std::string>{GetParam().message});
    EXPECT_EQ(s.ui().events().size(), 1u);
    EXPECT_EQ(s.files(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DeleteSelectionTest,
    testing::Values(SelectionCase{"none", -1, "Please select a loaded ofrbit file"},
                    SelectionCase{"beyond", 99, "Please select a loaded ofrbit file"},
                    SelectionCase{"deleted", -2, "Please select a loaded ofrbit file"},
                    SelectionCase{"not_loaded", -3, "Please select a LOADED ofrbit file"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(DeleteOrbitFile, CancelAtTheQuestionChangesNothing)
{
    TwoFiles s;
    const auto before = s.files();
    s.ui().answerCancel();
    EXPECT_FALSE(deleteOrbitFile(s.app(), s.orbitFileRow("O_a.csv")));
    EXPECT_EQ(s.files(), before);
    EXPECT_EQ(liveRowCount(s.db().orbits), 4);
    EXPECT_EQ(s.db().streams.cell(0, S::TypicalOID)->number, TwoFiles::kA1);
}

TEST(DeleteOrbitFile, TablesThatCannotBeSavedKeepTheFileAndMarkTheChangesUnsaved)
{
    TwoFiles s;
    blockTableFile(s.mdb() + "/UStream.csv");
    s.ui().answerOk();
    EXPECT_FALSE(deleteOrbitFile(s.app(), s.orbitFileRow("O_a.csv")));
    EXPECT_TRUE(fs::exists(s.orbitPath("O_a.csv")));
    EXPECT_TRUE(s.db().modified);
    EXPECT_EQ(s.orbitRow("a0"), -1);
}

// Random streams, links and typical orbits over three files: after deleting one file each
// stream keeps exactly the links and typical orbit that a straightforward reading expects.
TEST(DeleteOrbitFile, MatchesAStraightforwardReadingOnRandomDatabases)
{
    std::mt19937 random(521);
    for (int round = 0; round < 5; ++round) {
        MdbSession s;
        const int files[] = {s.addOrbitFile("O_0.csv"), s.addOrbitFile("O_1.csv"),
                             s.addOrbitFile("O_2.csv")};
        std::vector<std::uint32_t> oids;
        std::set<std::uint32_t> deletedOids;
        for (int n = 0; n < 120; ++n) {
            const int file = static_cast<int>(random() % 3);
            const std::uint32_t oid = 4100000000u + static_cast<std::uint32_t>(n);
            s.addOrbit(files[file], oid, ("o" + std::to_string(n)).c_str(), 55000.f + n);
            oids.push_back(oid);
            if (file == 1)
                deletedOids.insert(oid);
        }
        s.db().dsids.cell(s.db().sources.currentRow(), col::Dsid::IDnext)->number = 4100001030u;
        std::vector<std::uint32_t> typical;
        std::vector<std::set<std::uint32_t>> linked(30);
        for (int n = 0; n < 30; ++n) {
            typical.push_back(random() % 4 == 0 ? 0u : oids[random() % oids.size()]);
            const int row = s.addStream(4100001000u + n, "S", typical.back());
            for (int k = 0; k < 6; ++k) {
                const int orbit = static_cast<int>(random() % oids.size());
                link({&s.db().streams, row, S::OLINK}, {&s.db().orbits, orbit, col::Orbit::SLINK});
                linked[n].insert(oids[orbit]);
            }
        }
        s.saveAndReload();
        s.ui().answerOk();
        ASSERT_TRUE(deleteOrbitFile(s.app(), s.orbitFileRow("O_1.csv")));
        for (int n = 0; n < 30; ++n) {
            const int row = streamRow(s.db(), 4100001000u + n);
            const std::uint32_t expected = deletedOids.count(typical[n]) ? 0u : typical[n];
            EXPECT_EQ(s.db().streams.cell(row, S::TypicalOID)->number, expected) << n;
            std::vector<std::uint32_t> kept;
            for (std::uint32_t oid : linked[n])
                if (!deletedOids.count(oid))
                    kept.push_back(oid);
            EXPECT_EQ(linkedOids(s.db(), row), kept) << n;
        }
        EXPECT_EQ(liveRowCount(s.db().orbits), static_cast<int>(oids.size() - deletedOids.size()));
    }
}

// An edit of the first orbit's memo, unsaved.
void editMemo(MdbSession& s)
{
    s.db().orbits.setText(s.orbitRow("b1"), col::Orbit::memo, "edited");
    s.db().modified = true;
}

TEST(Reload, CancelDiscardsUnsavedChanges)
{
    TwoFiles s;
    const auto before = s.files();
    editMemo(s);
    s.ui().answerCancel();
    EXPECT_TRUE(reloadDatabase(s.app()));
    EXPECT_EQ(s.ui().events().at(0).text, "Save tables OK? ");
    EXPECT_STREQ(s.db().orbits.text(s.orbitRow("b1"), col::Orbit::memo), "");
    EXPECT_EQ(s.files(), before);
    EXPECT_FALSE(s.db().modified);
}

TEST(Reload, OkSavesTheChangesFirst)
{
    TwoFiles s;
    editMemo(s);
    s.ui().answerOk();
    EXPECT_TRUE(reloadDatabase(s.app()));
    EXPECT_STREQ(s.db().orbits.text(s.orbitRow("b1"), col::Orbit::memo), "edited");
    EXPECT_FALSE(s.db().modified);
}

TEST(Reload, SaveThatFailsKeepsTheChangesAndReloadsNothing)
{
    TwoFiles s;
    editMemo(s);
    blockTableFile(s.mdb() + "/UStream.csv");
    s.ui().answerOk();
    EXPECT_FALSE(reloadDatabase(s.app()));
    EXPECT_STREQ(s.db().orbits.text(s.orbitRow("b1"), col::Orbit::memo), "edited");
    EXPECT_TRUE(s.db().modified);
}

// O_b.csv with its second orbit's line cut short: the load stops there.
void breakFileB(TwoFiles& s)
{
    const std::string path = s.orbitPath("O_b.csv");
    const std::string sound = readFileBytes(path);
    writeFileBytes(path, sound.substr(0, sound.rfind(",_")));
    s.reloadFromDisk();
}

TEST(DeleteOrbitFile, AFileBrokenAtLoadCanBeDeleted)
{
    TwoFiles s;
    breakFileB(s);
    s.ui().clear();
    s.ui().answerOk();
    ASSERT_TRUE(deleteOrbitFile(s.app(), s.orbitFileRow("O_b.csv")));
    EXPECT_FALSE(fs::exists(s.orbitPath("O_b.csv")));
    EXPECT_TRUE(s.db().unreadFiles.empty());
    EXPECT_TRUE(s.ui().messages().empty());
}

TEST(Reload, AFileBrokenAtLoadStopsTheSaveAndIsReadAgainOnceCorrected)
{
    TwoFiles s;
    const std::string path = s.orbitPath("O_b.csv");
    const std::string sound = readFileBytes(path);
    breakFileB(s);
    ASSERT_EQ(s.db().unreadFiles, std::set<std::string>{"orbits/O_b.csv"});
    const std::string damaged = readFileBytes(path);
    const std::string lists = readFileBytes(s.mdb() + "/UOFile.csv");
    editMemo(s);
    // OK: the save is refused, nothing is written and the changes stay unsaved.
    s.ui().answerOk();
    EXPECT_FALSE(reloadDatabase(s.app()));
    EXPECT_EQ(readFileBytes(path), damaged);
    EXPECT_EQ(readFileBytes(s.mdb() + "/UOFile.csv"), lists);
    writeFileBytes(path, sound);
    s.ui().answerCancel();
    EXPECT_TRUE(reloadDatabase(s.app()));
    EXPECT_TRUE(s.db().unreadFiles.empty());
    EXPECT_GE(s.orbitRow("b1"), 0);
}

} // namespace
