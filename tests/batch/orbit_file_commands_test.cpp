// The batch import: a source imported into an MDB folder, its target name, and the failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "batch/batch_command.h"
#include "batch_test_support.h"
#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "support/test_support.h"

namespace {

CommandRun runImport(const std::vector<std::string>& args)
{
    return runBatchCommand(orbitFileCommands(), "import", args);
}

// Two radiants of the 2010 Perseids.
const std::string kMSource = "90,2010,8,12,21,30,45,46.1,57.6,59.1,-1.5,_A1,_first\r\n"
                             "90,2010,8,12,22,10,05,46.3,57.7,59.0,-0.5,_B2,_second\r\n";

struct BatchMdb {
    TempDir dir;
    std::string mdb = dir.file("MDB");
    std::string source = dir.file("M_perseids.csv");
    BatchMdb()
    {
        std::filesystem::create_directories(mdb);
        writeFileBytes(source, kMSource);
    }
    int orbitsOnDisk() const
    {
        Database db;
        loadAll(db, mdb, 2007);
        return liveRowCount(db.orbits);
    }
};

TEST(BatchImport, FreshMdbGetsTheWorkSourceAndTheProposedTarget)
{
    BatchMdb m;
    const CommandRun run = runImport({m.mdb, m.source, "--dsid", "WK"});
    EXPECT_EQ(run.status, kBatchOk) << run.err;
    EXPECT_EQ(run.out, "rows_imported 2\n");
    EXPECT_TRUE(std::filesystem::exists(m.mdb + "/orbits/O_WK_4100000000.csv"));
    EXPECT_EQ(m.orbitsOnDisk(), 2);
    // Again into a named target: the M layout has no duplicate test.
    const CommandRun again =
        runImport({m.mdb, m.source, "--target", "O_again.csv", "--dsid", "WK"});
    EXPECT_EQ(again.status, kBatchOk) << again.err;
    EXPECT_TRUE(std::filesystem::exists(m.mdb + "/orbits/O_again.csv"));
    EXPECT_EQ(m.orbitsOnDisk(), 4);
}

TEST(BatchImport, ReportsRowsReadWhileConverting)
{
    BatchMdb m;
    std::string many;
    for (int n = 0; n < 60000; ++n)
        many += "90,2010,8,12,21,30,45,46.1,57.6,59.1\r\n";
    writeFileBytes(m.source, many);
    const CommandRun run = runImport({m.mdb, m.source, "--dsid", "WK"});
    EXPECT_EQ(run.status, kBatchOk) << run.err;
    EXPECT_EQ(run.out, "rows_imported 60000\n");
    EXPECT_NE(run.err.find("lines read: 10"), std::string::npos) << run.err;
}

TEST(BatchImport, FailuresAndUsage)
{
    BatchMdb m;
    writeFileBytes(m.dir.file("U3_bad.csv"), "header\r\n");
    const struct {
        const char* label;
        std::vector<std::string> args;
        int status;
        const char* err;
    } cases[] = {
        {"no dsid", {m.mdb, m.source}, kBatchUsage, ""},
        {"dsid without value", {m.mdb, m.source, "--dsid"}, kBatchUsage, ""},
        {"unknown option", {m.mdb, m.source, "--dsid", "WK", "--x", "1"}, kBatchUsage, ""},
        {"two sources into one target",
         {m.mdb, m.source, m.source, "--dsid", "WK", "--target", "O_x.csv"},
         kBatchUsage,
         ""},
        {"filter without a number",
         {m.mdb, m.source, "--dsid", "WK", "--max-e", "x"},
         kBatchUsage,
         ""},
        {"unknown code",
         {m.mdb, m.source, "--dsid", "SkyCam"},
         kBatchFailed,
         "no data source in use has the code SkyCam"},
        {"no mdb", {m.dir.file("none"), m.source, "--dsid", "WK"}, kBatchFailed, "no MDB folder"},
        {"refused name",
         {m.mdb, m.dir.file("U3_bad.csv"), "--dsid", "WK"},
         kBatchFailed,
         "file name invalid"},
        {"target name with a comma",
         {m.mdb, m.source, "--dsid", "WK", "--target", "O_a,b.csv"},
         kBatchFailed,
         "may not contain a comma"},
        {"target the load would not find",
         {m.mdb, m.source, "--dsid", "WK", "--target", "x.csv"},
         kBatchFailed,
         "Orbit files are named O*.csv"},
    };
    for (const auto& c : cases) {
        const CommandRun run = runImport(c.args);
        EXPECT_EQ(run.status, c.status) << c.label;
        EXPECT_EQ(run.out, "") << c.label;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << c.label << ": " << run.err;
    }
    EXPECT_EQ(m.orbitsOnDisk(), 0);
}

// The mjd field of every data line.
std::vector<std::string> mjdFields(const std::string& orbitFile)
{
    std::vector<std::string> times;
    std::size_t line = orbitFile.find('\n');
    while (line != std::string::npos && line + 1 < orbitFile.size()) {
        std::size_t field = line + 1;
        for (int comma = 0; comma < 4; ++comma)
            field = orbitFile.find(',', field) + 1;
        times.push_back(orbitFile.substr(field, orbitFile.find(',', field) - field));
        line = orbitFile.find('\n', line + 1);
    }
    return times;
}

TEST(BatchImport, ImportedTimesSurviveResaves)
{
    BatchMdb m;
    const std::string source =
        ORVANTELLA_SOURCE_DIR "/data/sources/gmn_traj_summary_20220304_solrange_344.0-345.0.txt";
    ASSERT_EQ(runImport({m.mdb, source, "--dsid", "WK", "--target", "O_gmn.csv"}).status, kBatchOk);
    const std::string target = m.mdb + "/orbits/O_gmn.csv";
    const std::vector<std::string> imported = mjdFields(readFileBytes(target));
    ASSERT_EQ(imported.size(), 534u);
    // A time that a single-precision cell turned into 59642.921875.
    EXPECT_EQ(imported[0], "59642.922756");
    // The first resave writes the other columns in its own "%f"; from then on every byte stays.
    std::string saved;
    for (int resave = 0; resave < 3; ++resave) {
        ASSERT_EQ(runBatchCommand(mdbCommands(), "resave", {m.mdb}).status, kBatchOk);
        EXPECT_EQ(mjdFields(readFileBytes(target)), imported) << resave;
        if (resave > 0) {
            EXPECT_EQ(readFileBytes(target), saved) << resave;
        }
        saved = readFileBytes(target);
    }
}

} // namespace

namespace {

const std::string kGmnMonthly =
    ORVANTELLA_SOURCE_DIR "/data/sources/gmn_traj_summary_monthly_201812.txt";
const std::string kGmnSolRange =
    ORVANTELLA_SOURCE_DIR "/data/sources/gmn_traj_summary_20220304_solrange_344.0-345.0.txt";
constexpr int kGmnRows = 497 + 534;

// The two GMN summaries in a folder, the second compressed, and an MDB whose work source has
// `idsLeft` IDs left.
struct GmnArchive : BatchMdb {
    std::string folder = dir.file("gmn");
    explicit GmnArchive(int idsLeft)
    {
        std::filesystem::create_directories(folder);
        std::filesystem::create_directories(mdb + "/orbits");
        writeFileBytes(folder + "/a_monthly.txt", readFileBytes(kGmnMonthly));
        writeFileBytes(folder + "/b_solrange.txt.gz", gzipped(readFileBytes(kGmnSolRange)));
        Database db;
        loadAll(db, mdb, 2007);
        db.sources.selectCurrentDsid(0);
        db.dsids.cell(db.sources.currentRow(), col::Dsid::IDnext)->number =
            4100000000u + 99999u - static_cast<std::uint32_t>(idsLeft);
        EXPECT_TRUE(saveAll(db, mdb));
    }
};

struct ManyCase {
    const char* label;
    int idsLeft;
    std::vector<std::string> options;
    int status;
    std::string firstLines; // the start of standard output
};

const ManyCase kManyCases[] = {
    {"All_rows",
     99999,
     {},
     kBatchOk,
     "rows_imported 1031\ndropped no_radiant 0 min_qc 0 max_vg 0 max_e 0 max_rad_err 0 "
     "min_stations 0\nduplicates_skipped 0\nfile O_WK_4100000000.csv\nfile O_WK_4100000497.csv\n"},
    {"Spread_into_a_new_source",
     600,
     {"--spread"},
     kBatchOk,
     "rows_imported 1031\ndropped no_radiant 0 min_qc 0 max_vg 0 max_e 0 max_rad_err 0 "
     "min_stations 0\nduplicates_skipped 0\nfile O_WK_4100099399.csv\nfile "
     "O_WK_4100099896.csv\ndata_source WK2\n"},
    {"Too_few_ids_without_spread", 600, {}, kBatchFailed, ""},
    {"Filtered",
     99999,
     {"--min-qc", "10", "--max-e", "1", "--min-stations", "3"},
     kBatchOk,
     "rows_imported "},
};

class BatchImportManyTest : public testing::TestWithParam<ManyCase> {};

TEST_P(BatchImportManyTest, OneRunImportsTheFolderOrChangesNothing)
{
    const ManyCase& c = GetParam();
    GmnArchive m(c.idsLeft);
    const auto before = filesBelow(m.mdb);
    std::vector<std::string> args{m.mdb, m.folder, "--dsid", "WK"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const CommandRun run = runImport(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_TRUE(run.out.starts_with(c.firstLines)) << run.out;
    if (c.status != kBatchOk) {
        EXPECT_EQ(filesBelow(m.mdb), before);
        return;
    }
    // Every row is in the MDB or counted by the filter that dropped it.
    long long rows = 0, dropped[6] = {};
    ASSERT_EQ(std::sscanf(run.out.c_str(),
                          "rows_imported %lld\ndropped no_radiant %lld min_qc %lld max_vg %lld "
                          "max_e %lld max_rad_err %lld min_stations %lld",
                          &rows, &dropped[0], &dropped[1], &dropped[2], &dropped[3], &dropped[4],
                          &dropped[5]),
              7);
    EXPECT_EQ(m.orbitsOnDisk(), rows);
    long long all = rows;
    for (const long long count : dropped)
        all += count;
    EXPECT_EQ(all, kGmnRows);
}

INSTANTIATE_TEST_SUITE_P(Runs, BatchImportManyTest, testing::ValuesIn(kManyCases),
                         [](const auto& info) { return std::string(info.param.label); });

// A copy of a file in the run is skipped row by row, as a second import of it would be.
TEST(BatchImportMany, RowsOfAnEarlierFileOfTheRunAreDuplicates)
{
    GmnArchive m(99999);
    writeFileBytes(m.folder + "/c_monthly_again.txt", readFileBytes(kGmnMonthly));
    const CommandRun run = runImport({m.mdb, m.folder, "--dsid", "WK"});
    ASSERT_EQ(run.status, kBatchOk) << run.err;
    EXPECT_TRUE(run.out.starts_with("rows_imported 1031\n")) << run.out;
    EXPECT_NE(run.out.find("\nduplicates_skipped 497\n"), std::string::npos) << run.out;
    EXPECT_EQ(m.orbitsOnDisk(), 1031);
}

TEST(BatchImportMany, FilterAFileDoesNotCarryIsRefusedUpFront)
{
    GmnArchive m(99999);
    writeFileBytes(m.folder + "/M_radiants.csv", "90,2010,8,12,21,30,45,46.1,57.6,59.1\r\n");
    const auto before = filesBelow(m.mdb);
    const CommandRun run = runImport({m.mdb, m.folder, "--dsid", "WK", "--max-vg", "70", "--min-qc",
                                      "5", "--min-stations", "3"});
    EXPECT_EQ(run.status, kBatchFailed);
    EXPECT_NE(run.err.find("M_radiants.csv: its layout carries no value for --min-qc, "
                           "--min-stations"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(filesBelow(m.mdb), before);
}

TEST(BatchImportMany, BrokenArchiveChangesNothing)
{
    GmnArchive m(99999);
    const std::string gz = readFileBytes(m.folder + "/b_solrange.txt.gz");
    writeFileBytes(m.folder + "/b_solrange.txt.gz", gz.substr(0, gz.size() / 2));
    const auto before = filesBelow(m.mdb);
    const CommandRun run = runImport({m.mdb, m.folder, "--dsid", "WK"});
    EXPECT_EQ(run.status, kBatchFailed);
    EXPECT_NE(run.err.find("b_solrange.txt.gz could not be read: "), std::string::npos) << run.err;
    EXPECT_EQ(filesBelow(m.mdb), before);
}

} // namespace
