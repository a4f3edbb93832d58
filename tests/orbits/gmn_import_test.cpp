// GMN summaries through the import command, and the refusal of any import whose source has
// more rows than the data source has IDs left.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "layout_sources.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "orbits/orbit_converters.h"
#include "support/mdb_session.h"

namespace {

using C = col::Orbit;

const std::string kSources = ORVANTELLA_SOURCE_DIR "/data/sources/";

std::string sourceFile(const std::string& name)
{
    const std::string path = kSources + name;
    EXPECT_TRUE(std::filesystem::exists(path)) << "missing " << path;
    return path;
}

struct FlavourCase {
    const char* label;
    std::string fileName;
    int rows;
};

const FlavourCase kFlavours[] = {
    {"Semicolons", "gmn_traj_summary_monthly_201812.txt", 497},
    {"Commas", "gmn_traj_summary_monthly_201812_first40.csv", 40},
};

class GmnImportTest : public testing::TestWithParam<FlavourCase> {};

TEST_P(GmnImportTest, RowsAreInTheTableAfterAReloadAndASecondImportSkipsThem)
{
    const FlavourCase& c = GetParam();
    MdbSession s;
    ASSERT_EQ(s.import(sourceFile(c.fileName), "O_WK_gmn.csv"), c.rows);
    EXPECT_TRUE(s.ui().messages().empty());
    s.reloadFromDisk();
    EXPECT_EQ(liveRowCount(s.db().orbits), c.rows);
    // Line 6 of the monthly summary: an Orionid, Vgeo 25.94326 km/s, mass 3.19e-05 kg.
    const int row = s.orbitRow("20181210012238_ucxkx");
    ASSERT_GE(row, 0);
    EXPECT_STREQ(s.db().orbits.text(row, C::memo), "ORN");
    EXPECT_FLOAT_EQ(s.db().orbits.cell(row, C::vg)->real, 25.94326f);
    EXPECT_FLOAT_EQ(s.db().orbits.cell(row, C::mass)->real, 3.19e-5f);

    EXPECT_EQ(s.import(sourceFile(c.fileName), "O_WK_again.csv"), 0);
    s.reloadFromDisk();
    EXPECT_EQ(liveRowCount(s.db().orbits), c.rows);
}

INSTANTIATE_TEST_SUITE_P(Flavours, GmnImportTest, testing::ValuesIn(kFlavours),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(GmnImport, MalformedLineIsNamedAndNothingIsRegistered)
{
    MdbSession s;
    std::string text = readFileBytes(sourceFile("gmn_traj_summary_monthly_201812.txt"));
    // Line 9 (the fifth row) loses its last fields.
    std::size_t at = 0;
    for (int line = 0; line < 9; ++line)
        at = text.find('\n', at) + 1;
    text.replace(text.rfind(';', at - 2), 1, "\n\r");
    const std::string source = s.source("traj_summary.txt", text);
    s.saveAndReload();
    const auto before = s.files();
    EXPECT_EQ(s.import(source, "O_WK_gmn.csv"), std::nullopt);
    EXPECT_EQ(s.ui().messages(),
              (std::vector<std::string>{"File format invalid!! aborted\nline 9",
                                        "Conversion filed\ntraj_summary.txt->O_WK_gmn.csv"}));
    EXPECT_EQ(s.files(), before);
    EXPECT_EQ(s.orbitFileRow("O_WK_gmn.csv"), -1);
}

struct LimitCase {
    std::string label;
    std::string fileName;
    std::string text;
    std::int64_t rows;
};

// A source of every layout: the six named ones with three rows, and a GMN summary.
std::vector<LimitCase> limitCases()
{
    std::vector<LimitCase> cases;
    for (const LayoutSource& layout : layoutSources())
        cases.push_back({layout.label, layout.fileName, layout.text({"A1", "B2", "C3"}), 3});
    cases.push_back({"GMN", "traj_summary.txt",
                     readFileBytes(sourceFile("gmn_traj_summary_monthly_201812.txt")), 497});
    return cases;
}

class IdLimitTest : public testing::TestWithParam<LimitCase> {
protected:
    // The work source with this many IDs left of its 99,999.
    void leaveIds(MdbSession& s, std::uint32_t left)
    {
        const int row = s.db().sources.currentRow();
        s.db().dsids.cell(row, col::Dsid::IDnext)->number = 4100000000u + 99999u - left;
        s.saveAndReload();
        s.ui().clear();
    }
};

TEST_P(IdLimitTest, SourceWithMoreRowsThanIdsLeftIsRefusedBeforeAnythingChanges)
{
    const LimitCase& c = GetParam();
    MdbSession s;
    const std::string source = s.source(c.fileName, c.text);
    const auto left = static_cast<std::uint32_t>(c.rows - 1);
    leaveIds(s, left);
    const auto before = s.files();
    const std::uint32_t idNext = s.db().sources.currentIdNext();
    EXPECT_EQ(s.import(source, "O_WK_full.csv"), std::nullopt);
    EXPECT_EQ(s.ui().messages(),
              std::vector<std::string>{c.fileName + " holds " + std::to_string(c.rows) +
                                       " orbits\nbut data source WK has only " +
                                       std::to_string(left) +
                                       " IDs left\nPlease make new DSID and set it as current"});
    EXPECT_EQ(s.files(), before);
    EXPECT_EQ(s.db().sources.currentIdNext(), idNext);
    EXPECT_EQ(s.ui().busyDepth(), 0);
}

TEST_P(IdLimitTest, SourceThatUsesTheLastIdIsImported)
{
    const LimitCase& c = GetParam();
    MdbSession s;
    const std::string source = s.source(c.fileName, c.text);
    EXPECT_EQ(countSourceRows(*chooseOrbitLayoutOf(source).layout, source), c.rows);
    leaveIds(s, static_cast<std::uint32_t>(c.rows));
    EXPECT_EQ(s.import(source, "O_WK_full.csv"), c.rows);
    s.reloadFromDisk();
    EXPECT_EQ(liveRowCount(s.db().orbits), c.rows);
    EXPECT_EQ(s.db().sources.currentIdNext() % 100000, 99999u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, IdLimitTest, testing::ValuesIn(limitCases()),
                         [](const auto& info) { return info.param.label; });

} // namespace
