// The import command end to end: a source of each layout imported into a database and found
// after a reload, duplicates skipped, and every failure and cancel leaving the MDB folder as it
// was.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <optional>

#include "layout_sources.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "orbits/orbit_converters.h"
#include "pages/dsid_select_dialog.h"
#include "pages/import_command.h"
#include "pages/orbit_files.h"
#include "support/mdb_session.h"

namespace {

using C = col::Orbit;

// The orbit file holds mjd with six decimals.
constexpr double kMjdTolerance = 5e-7;

void chooseSourceInDialog(ScriptedUi& ui, const std::string& code)
{
    ui.answerDialog([code](DialogModel& model) {
        auto& dialog = dynamic_cast<CDSIDSDlg&>(model);
        for (std::size_t item = 0; item < dialog.dsidItems().size(); ++item)
            if (dialog.dsidItems()[item].text == code)
                dialog.selectDsid(static_cast<int>(item));
        return true;
    });
}

std::uint32_t idNextOf(Database& db, std::uint32_t dsid)
{
    for (int row = 0; row < db.dsids.count(); ++row)
        if (db.dsids.isLive(row) && db.dsids.cell(row, col::Dsid::DSID)->number == dsid)
            return db.dsids.cell(row, col::Dsid::IDnext)->number;
    return 0;
}

void expectQuietEnd(ScriptedUi& ui)
{
    EXPECT_FALSE(ui.anyUnexpected());
    EXPECT_EQ(ui.pendingAnswers(), 0u);
    EXPECT_EQ(ui.busyDepth(), 0);
}

class ImportLayoutTest : public testing::TestWithParam<LayoutSource> {};

TEST_P(ImportLayoutTest, EveryRowIsFoundAfterAReloadWithItsValues)
{
    const LayoutSource& layout = GetParam();
    MdbSession s;
    s.addSource(1000, "SkyCam");
    s.saveAndReload();
    s.ui().answerPath(s.source(layout.fileName, layout.text({"A1", "B2"})));
    chooseSourceInDialog(s.ui(), "SkyCam");
    s.ui().answerPath(s.orbitPath("O_SkyCam_new.csv"));
    NoFeedback feedback;
    EXPECT_EQ(importOrbitFile(s.app(), feedback), 2);
    EXPECT_TRUE(s.ui().messages().empty());
    expectQuietEnd(s.ui());
    EXPECT_FALSE(s.db().modified);

    s.reloadFromDisk();
    const int file = s.orbitFileRow("O_SkyCam_new.csv");
    ASSERT_GE(file, 0);
    EXPECT_EQ(s.db().orbitFiles.cell(file, col::OrbitFile::use)->number, 1u);
    EXPECT_EQ(s.db().orbitFiles.cell(file, col::OrbitFile::loaded)->number, 1u);
    EXPECT_EQ(liveRowCount(s.db().orbits), 2);
    // The first IDs of data source 1000, in source order.
    std::uint32_t oid = 100000000;
    for (const std::string tag : {"A1", "B2"}) {
        const ExpectedOrbit expected = layout.expected(tag, "SkyCam");
        const int row = s.orbitRow(expected.name);
        ASSERT_GE(row, 0) << expected.name;
        CUTABLE& orbits = s.db().orbits;
        EXPECT_EQ(orbits.cell(row, C::OID)->number, oid++);
        EXPECT_EQ(orbits.cell(row, C::use)->number, 1u);
        EXPECT_EQ(orbits.cell(row, C::type)->integer, 1);
        EXPECT_EQ(orbits.text(row, C::memo), expected.memo);
        EXPECT_NEAR(orbits.cell(row, C::mjd)->real64, expected.mjd, kMjdTolerance);
        EXPECT_FLOAT_EQ(orbits.cell(row, C::ra)->real, kSourceRa);
        EXPECT_FLOAT_EQ(orbits.cell(row, C::dec)->real, kSourceDec);
        EXPECT_FLOAT_EQ(orbits.cell(row, C::vg)->real, kSourceVg);
        EXPECT_EQ(orbits.integer(row, C::OFILE), file);
    }
    EXPECT_EQ(idNextOf(s.db(), 1000), 100000002u);
    EXPECT_EQ(s.db().sources.currentDsid(), 1000u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ImportLayoutTest, testing::ValuesIn(layoutSources()),
                         [](const auto& info) { return std::string(info.param.label); });

class ImportAgainTest : public testing::TestWithParam<LayoutSource> {};

// Every layout but M skips the rows the data source holds; a second file of nothing but those
// rows is not registered (and not left in the orbits folder), and the user is told so.
TEST_P(ImportAgainTest, SecondImportOfTheSameSourceSkipsItsRows)
{
    const LayoutSource& layout = GetParam();
    MdbSession s;
    const std::string source = s.source(layout.fileName, layout.text({"A1", "B2", "C3"}));
    ASSERT_EQ(s.import(source, "O_WK_first.csv"), 3);
    const bool skipsDuplicates = std::string(layout.label) != "M";
    EXPECT_EQ(s.import(source, "O_WK_second.csv"), skipsDuplicates ? 0 : 3);
    const std::vector<std::string> told = {
        formatMessage(kNothingNewFormat, layout.fileName.c_str(), 3LL)};
    EXPECT_EQ(s.ui().messages(), skipsDuplicates ? told : std::vector<std::string>{});
    s.reloadFromDisk();
    EXPECT_EQ(liveRowCount(s.db().orbits), skipsDuplicates ? 3 : 6);
    EXPECT_EQ(idNextOf(s.db(), 41000), skipsDuplicates ? 4100000003u : 4100000006u);
    const int second = s.orbitFileRow("O_WK_second.csv");
    EXPECT_EQ(second >= 0, !skipsDuplicates);
    EXPECT_EQ(std::filesystem::exists(s.orbitPath("O_WK_second.csv")), !skipsDuplicates);
    if (!skipsDuplicates) {
        EXPECT_EQ(s.db().orbitFiles.cell(second, col::OrbitFile::loaded)->number, 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, ImportAgainTest, testing::ValuesIn(layoutSources()),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Import, DuplicatesAreThoseOfTheCurrentDataSourceOnly)
{
    MdbSession s;
    s.addSource(1000, "SkyCam");
    s.saveAndReload();
    const LayoutSource& u2 = layoutSources()[2];
    const std::string source = s.source(u2.fileName, u2.text({"A1"}));
    ASSERT_EQ(s.import(source, "O_WK_first.csv"), 1);
    s.ui().answerPath(source);
    chooseSourceInDialog(s.ui(), "SkyCam");
    s.ui().answerPath(s.orbitPath("O_SkyCam_first.csv"));
    NoFeedback feedback;
    EXPECT_EQ(importOrbitFile(s.app(), feedback), 1);
    EXPECT_EQ(s.import(source, "O_SkyCam_again.csv"), 0);
}

TEST(Import, ExistingTargetGetsTheRowsAppendedUnderOneRegistration)
{
    MdbSession s;
    const LayoutSource& m = layoutSources()[3];
    ASSERT_EQ(s.import(s.source("M_1.csv", m.text({"A1"})), "O_WK_all.csv"), 1);
    ASSERT_EQ(s.import(s.source("M_2.csv", m.text({"B2"})), "O_WK_all.csv"), 1);
    const std::string bytes = readFileBytes(s.orbitPath("O_WK_all.csv"));
    EXPECT_EQ(bytes.rfind(orbitFileHeader(), 0), 0u);
    EXPECT_EQ(bytes.find("_Version", 1), std::string::npos);
    s.reloadFromDisk();
    EXPECT_EQ(liveRowCount(s.db().orbitFiles), 1);
    EXPECT_GE(s.orbitRow("A1"), 0);
    EXPECT_GE(s.orbitRow("B2"), 0);
}

// A file of the orbits folder not in use (found there at a load) gets the rows and is put in use.
TEST(Import, TargetRegisteredButNotInUseIsPutInUse)
{
    MdbSession s;
    writeFileBytes(s.orbitPath("O_WK_idle.csv"), orbitFileHeader());
    s.reloadFromDisk();
    const int idle = s.orbitFileRow("O_WK_idle.csv");
    ASSERT_GE(idle, 0);
    ASSERT_EQ(s.db().orbitFiles.cell(idle, col::OrbitFile::use)->number, 0u);
    const LayoutSource& m = layoutSources()[3];
    ASSERT_EQ(s.import(s.source("M_1.csv", m.text({"A1"})), "O_WK_idle.csv"), 1);
    s.reloadFromDisk();
    EXPECT_EQ(liveRowCount(s.db().orbitFiles), 1);
    EXPECT_GE(s.orbitRow("A1"), 0);
}

struct BadImport {
    const char* label;
    std::string fileName;
    std::string text;
    std::vector<std::string> messages; // "%s" stands for the conversion failure
};

const std::string kFailed = "%s";
const std::string kGoodO = "501,1,1,_n,55000.5,1,2,3,4,1,5,6,7,8,9,10,0,0,1,2,3,4,5,6,7,_m\r\n";

const BadImport kBadImports[] = {
    {"O_wrong_tag", "O_bad.csv", "h\r\n" + kGoodO + "502" + kGoodO.substr(3), {kFailed}},
    {"U_wrong_tag",
     "U_bad.csv",
     layoutSources()[1].text({"A1"}) + "M04_1" + std::string(90, ',') + "\r\n",
     {kFailed}},
    {"U2_wrong_tag", "U2_bad.csv", layoutSources()[2].text({"A1"}) + "52,x\r\n", {kFailed}},
    {"M_over_long_line",
     "M_bad.csv",
     "90,2009,12,14\r\n90" + std::string(5000, ' ') + "\r\n",
     {kFileFormatInvalid, kFailed}},
    {"Text_short_line",
     "bad.txt",
     layoutSources()[4].text({"A1"}) + "T2 2010 8 12 21\r\n",
     {kFileFormatInvalid, kFailed}},
    {"Dat_missing_line",
     "bad.dat",
     layoutSources()[5].text({"A1"}) + "A0002    B0002  memo\n 8 12.5 2010 140 46 57 11 59\n",
     {kFileFormatInvalid, kFailed}},
    {"Lower_case_u", "u_lower.csv", layoutSources()[1].text({"A1"}), {kFileNameInvalid}},
    {"U3_prefix", "U3_x.csv", layoutSources()[2].text({"A1"}), {kFileNameInvalid}},
    {"Unknown_first_letter", "X.csv", layoutSources()[3].text({"A1"}), {kFileNameInvalid}},
    {"Upper_case_extension", "M_upper.CSV", layoutSources()[3].text({"A1"}), {kFileInvalid}},
    {"No_extension", "O_", kGoodO, {kFileInvalid}},
};

class BadImportTest : public testing::TestWithParam<BadImport> {};

TEST_P(BadImportTest, LeavesTheMdbFolderAsItWas)
{
    const BadImport& c = GetParam();
    MdbSession s;
    const auto before = s.files();
    const std::uint32_t idNext = s.db().sources.currentIdNext();
    const std::string target = proposedOrbitFileName(s.db().sources);
    EXPECT_EQ(s.import(s.source(c.fileName, c.text), target), std::nullopt);
    std::vector<std::string> expected;
    for (const std::string& text : c.messages) {
        const bool refusedName = text == kFileNameInvalid || text == kFileInvalid;
        expected.push_back(text == kFailed ? "Conversion filed\n" + c.fileName + "->" + target
                           : refusedName   ? text + "\n\n" + kAcceptedLayouts
                                           : text);
    }
    EXPECT_EQ(s.ui().messages(), expected);
    EXPECT_EQ(s.files(), before);
    EXPECT_EQ(s.orbitFileRow(target), -1);
    // A refused name takes no ID; a failed conversion keeps those it took in memory only.
    if (c.messages.back() != kFailed) {
        EXPECT_EQ(s.db().sources.currentIdNext(), idNext);
    }
    expectQuietEnd(s.ui());
}

INSTANTIATE_TEST_SUITE_P(Sources, BadImportTest, testing::ValuesIn(kBadImports),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Import, MissingSourceFailsWithoutChangingTheFolder)
{
    MdbSession s;
    const auto before = s.files();
    EXPECT_EQ(s.import(s.source("O_x.csv", "") + ".gone.csv", "O_WK_t.csv"), std::nullopt);
    EXPECT_EQ(s.ui().messages(),
              std::vector<std::string>{"Conversion filed\nO_x.csv.gone.csv->O_WK_t.csv"});
    EXPECT_EQ(s.files(), before);
}

TEST(Import, FailedAppendLeavesTheExistingTargetAsItWas)
{
    MdbSession s;
    const LayoutSource& m = layoutSources()[3];
    ASSERT_EQ(s.import(s.source("M_1.csv", m.text({"A1"})), "O_WK_keep.csv"), 1);
    // The orbit file as the tables write it (the converter writes mjd in double precision).
    s.saveAndReload();
    const auto before = s.files();
    EXPECT_EQ(s.import(s.source("O_bad.csv", "h\r\n" + kGoodO + "x\r\n"), "O_WK_keep.csv"),
              std::nullopt);
    EXPECT_EQ(s.files(), before);
    EXPECT_GE(s.orbitRow("A1"), 0);
}

struct CancelCase {
    const char* label;
    int answersBeforeCancel; // source, DSID dialog, target
};

class ImportCancelTest : public testing::TestWithParam<CancelCase> {};

// Nothing is saved before the third choice: an unsaved change stays unsaved.
TEST_P(ImportCancelTest, EndsWithoutSaving)
{
    MdbSession s;
    const auto before = s.files();
    s.db().dsids.setText(s.db().sources.currentRow(), col::Dsid::memo, "edited");
    const std::string source = s.source("M_1.csv", layoutSources()[3].text({"A1"}));
    const int given = GetParam().answersBeforeCancel;
    if (given > 0)
        s.ui().answerPath(source);
    if (given > 1)
        s.ui().answerOk();
    s.ui().answerCancel();
    NoFeedback feedback;
    EXPECT_EQ(importOrbitFile(s.app(), feedback), std::nullopt);
    EXPECT_EQ(s.files(), before);
    EXPECT_TRUE(s.ui().messages().empty());
    EXPECT_STREQ(s.db().dsids.text(s.db().sources.currentRow(), col::Dsid::memo), "edited");
    expectQuietEnd(s.ui());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, ImportCancelTest,
                         testing::Values(CancelCase{"source", 0}, CancelCase{"dsid", 1},
                                         CancelCase{"target", 2}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Import, TargetTheLoadWouldNotFindIsAskedAgain)
{
    MdbSession s;
    const auto before = s.files();
    s.ui().answerPath(s.source("M_1.csv", layoutSources()[3].text({"A1"})));
    s.ui().answerOk();
    s.ui().answerPath(s.orbitPath("X_wrong.csv"));
    s.ui().answerPath(s.mdb() + "/O_beside.csv");
    s.ui().answerPath(s.orbitPath("O_WK_plain"));
    NoFeedback feedback;
    EXPECT_EQ(importOrbitFile(s.app(), feedback), 1);
    const std::vector<std::string> messages = s.ui().messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], formatMessage(kOutsideOrbitsFormat, s.orbitPath("X_wrong.csv").c_str(),
                                         (s.mdb() + "/orbits").c_str()));
    EXPECT_EQ(before.size() + 1, s.files().size());
    EXPECT_GE(s.orbitFileRow("O_WK_plain.csv"), 0);
}

// The import's dialogs as the window shows them.
TEST(Import, AsksWithItsTitlesAndProposals)
{
    MdbSession s;
    s.app().settings.docdir = "/home/docs";
    const std::string source = s.source("M_1.csv", layoutSources()[3].text({"A1"}));
    std::string question;
    s.ui().answerPath(source);
    s.ui().answerDialog([&question](DialogModel& model) {
        auto& dialog = dynamic_cast<CDSIDSDlg&>(model);
        question = dialog.messageText();
        EXPECT_FALSE(dialog.showsOrbitFileChoice());
        return true;
    });
    s.ui().answerPath(s.orbitPath("O_WK_4100000000.csv"));
    NoFeedback feedback;
    ASSERT_EQ(importOrbitFile(s.app(), feedback), 1);
    EXPECT_EQ(question, "Import orbits from M_1.csv\nAll tables will be saved.");
    const auto& events = s.ui().events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].caption, "Import external orbit files");
    EXPECT_EQ(events[0].text, "*.*");
    EXPECT_EQ(events[1].caption, "CDSIDSDlg");
    EXPECT_EQ(events[2].caption, "Save Orbit Elements file");
    EXPECT_EQ(events[2].text, "O_WK_4100000000.csv");
}

// A table file replaced by a folder cannot be written.
void blockTableFile(const std::string& path)
{
    std::filesystem::remove(path);
    std::filesystem::create_directories(path + "/blocked");
}

TEST(Import, TablesThatCannotBeSavedStopTheImportBeforeTheConversion)
{
    MdbSession s;
    blockTableFile(s.mdb() + "/UStream.csv");
    const auto before = s.files();
    const std::uint32_t idNext = s.db().sources.currentIdNext();
    EXPECT_EQ(s.import(s.source("M_1.csv", layoutSources()[3].text({"A1"})), "O_WK_t.csv"),
              std::nullopt);
    EXPECT_EQ(s.ui().messages(),
              std::vector<std::string>{"Cannot open " + s.mdb() + "/UStream.csv"});
    EXPECT_EQ(s.files(), before);
    EXPECT_EQ(s.db().sources.currentIdNext(), idNext);
}

// An M-layout source long enough for the conversion to report progress on the way.
std::string manyMRows()
{
    std::vector<std::string> tags;
    for (int n = 0; n < 5000; ++n)
        tags.push_back("R" + std::to_string(n));
    return layoutSources()[3].text(tags);
}

// Blocks the data source table while the conversion runs, so that only the save after it fails.
class BlockingFeedback final : public Feedback {
public:
    explicit BlockingFeedback(std::string path) : m_path(std::move(path)) {}
    void progress(const std::string&, std::int64_t, std::int64_t) override
    {
        if (!std::filesystem::is_directory(m_path))
            blockTableFile(m_path);
    }

private:
    std::string m_path;
};

TEST(Import, RegistrationThatCannotBeSavedTakesTheTargetBack)
{
    MdbSession s;
    const auto before = s.files();
    s.ui().answerPath(s.source("M_many.csv", manyMRows()));
    s.ui().answerOk();
    s.ui().answerPath(s.orbitPath("O_WK_t.csv"));
    BlockingFeedback feedback(s.mdb() + "/UDSID.csv");
    EXPECT_EQ(importOrbitFile(s.app(), feedback), std::nullopt);
    EXPECT_EQ(s.ui().messages(), std::vector<std::string>{"Cannot open " + s.mdb() + "/UDSID.csv"});
    auto expected = before;
    expected.erase("UDSID.csv");
    EXPECT_EQ(s.files(), expected);
    EXPECT_EQ(s.orbitFileRow("O_WK_t.csv"), -1);
}

// The import with the filter fields of its dialog filled in.
std::optional<std::int64_t> importFiltered(MdbSession& s, const std::string& source,
                                           const std::string& target,
                                           const std::array<std::string, 5>& filterTexts)
{
    s.ui().answerPath(source);
    s.ui().answerDialog([filterTexts](DialogModel& model) {
        dynamic_cast<CDSIDSDlg&>(model).filterTexts = filterTexts;
        return true;
    });
    s.ui().answerPath(s.orbitPath(target));
    NoFeedback feedback;
    return importOrbitFile(s.app(), feedback);
}

TEST(Import, ResultLineCountsRowsDuplicatesRefusedLinesAndFilteredRows)
{
    const LayoutSource& o = layoutSources()[0];
    const LayoutSource& u = layoutSources()[1];
    // A U row whose required fields are all empty is left out.
    const std::string lacking = "M04_0" + std::string(90, ',') + "\r\n";
    std::string slowAndFast = o.text({"A1", "B2", "C3"});
    slowAndFast.replace(slowAndFast.find(",59.1,"), 6, ",30.5,");
    const FilterCounts none;
    FilterCounts twoFast;
    twoFast.maxVg = 2;
    struct Case {
        const char* label;
        std::string fileName;
        std::vector<std::string> loaded; // rows imported before
        std::string source;
        std::array<std::string, 5> filterTexts;
        std::int64_t rows;
        long long duplicates, refused;
        FilterCounts dropped;
    };
    const Case cases[] = {
        {"all new", "O_src2.csv", {}, o.text({"A1", "B2"}), {}, 2, 0, 0, none},
        {"one loaded already", "O_src2.csv", {"A1"}, o.text({"A1", "B2"}), {}, 1, 1, 0, none},
        {"a row lacking fields", "U_2.csv", {}, u.text({"A1"}) + lacking, {}, 1, 0, 1, none},
        {"max vg", "O_src2.csv", {}, slowAndFast, {"", "40", "", "", ""}, 1, 0, 0, twoFast},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        MdbSession s;
        if (!c.loaded.empty()) {
            ASSERT_EQ(s.import(s.source("O_src1.csv", o.text(c.loaded)), "O_WK_1.csv"), 1);
        }
        s.ui().clear();
        EXPECT_EQ(importFiltered(s, s.source(c.fileName, c.source), "O_WK_2.csv", c.filterTexts),
                  c.rows);
        EXPECT_TRUE(s.ui().messages().empty());
        EXPECT_EQ(s.ui().statuses(),
                  std::vector<std::string>{formatMessage(
                      kImportedFormat, static_cast<long long>(c.rows), c.fileName.c_str(),
                      "O_WK_2.csv", c.duplicates, c.refused, droppedLine(c.dropped).c_str())});
        EXPECT_GE(s.orbitFileRow("O_WK_2.csv"), 0);
    }
}

TEST(Import, FilterTheLayoutDoesNotCarryIsRefusedBeforeAnythingIsSaved)
{
    MdbSession s;
    const auto before = s.files();
    const std::string source = s.source("M_radiants.csv", layoutSources()[3].text({"A1"}));
    EXPECT_EQ(importFiltered(s, source, "O_WK_2.csv", {"5", "", "", "1", ""}), std::nullopt);
    EXPECT_EQ(s.ui().messages(),
              std::vector<std::string>{formatMessage(kFiltersNotCarriedFormat, "M_radiants.csv",
                                                     "--min-qc, --max-rad-err")});
    EXPECT_EQ(s.files(), before);
}

TEST(Import, SourceWhoseRowsAreAllFilteredOutRegistersNothingAndSaysWhy)
{
    MdbSession s;
    const std::string source = s.source("O_src.csv", layoutSources()[0].text({"A1", "B2"}));
    EXPECT_EQ(importFiltered(s, source, "O_WK_2.csv", {"", "", "0.5", "", ""}), 0);
    FilterCounts bothTooEccentric;
    bothTooEccentric.maxE = 2;
    EXPECT_EQ(s.ui().messages(),
              std::vector<std::string>{formatMessage(kNothingKeptFormat, "O_src.csv", 0LL,
                                                     droppedLine(bothTooEccentric).c_str())});
    EXPECT_EQ(s.orbitFileRow("O_WK_2.csv"), -1);
}

TEST(Import, SourceOfLoadedRowsOnlyRegistersNothingAndSaysSo)
{
    MdbSession s;
    const std::string text = layoutSources()[0].text({"A1", "B2"});
    ASSERT_EQ(s.import(s.source("O_src1.csv", text), "O_WK_1.csv"), 2);
    s.saveAndReload();
    s.ui().clear();
    const auto before = s.files();
    const std::uint32_t idNext = s.db().sources.currentIdNext();
    EXPECT_EQ(s.import(s.source("O_again.csv", text), "O_WK_2.csv"), 0);
    EXPECT_EQ(s.ui().messages(),
              std::vector<std::string>{formatMessage(kNothingNewFormat, "O_again.csv", 2LL)});
    EXPECT_TRUE(s.ui().statuses().empty());
    EXPECT_EQ(s.files(), before);
    EXPECT_EQ(s.orbitFileRow("O_WK_2.csv"), -1);
    EXPECT_EQ(s.db().sources.currentIdNext(), idNext);
}

// Cancels at the first progress report, as the progress dialog's Cancel does.
class CancelAtFirstReport final : public Feedback {
public:
    void progress(const std::string&, std::int64_t, std::int64_t) override { m_cancelled = true; }
    bool cancelled() const override { return m_cancelled; }

private:
    bool m_cancelled = false;
};

TEST(Import, CancelDuringTheConversionLeavesTheFolderAndTheIdsAsTheyWere)
{
    MdbSession s;
    const auto before = s.files();
    const std::uint32_t idNext = s.db().sources.currentIdNext();
    s.ui().answerPath(s.source("M_many.csv", manyMRows()));
    s.ui().answerOk();
    s.ui().answerPath(s.orbitPath("O_WK_t.csv"));
    CancelAtFirstReport cancel;
    EXPECT_EQ(importOrbitFile(s.app(), cancel), std::nullopt);
    EXPECT_TRUE(s.ui().messages().empty());
    EXPECT_EQ(s.ui().statuses(),
              std::vector<std::string>{formatMessage(kImportCancelledFormat, "M_many.csv")});
    EXPECT_EQ(s.files(), before);
    EXPECT_EQ(s.orbitFileRow("O_WK_t.csv"), -1);
    EXPECT_EQ(s.db().sources.currentIdNext(), idNext);
    expectQuietEnd(s.ui());
}

} // namespace
