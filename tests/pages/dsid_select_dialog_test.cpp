// The DSID select dialog: its choices, first selections, and what a choice changes at once.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <tuple>

#include "mdb/schema.h"
#include "pages/dsid_select_dialog.h"
#include "support/mdb_session.h"

namespace {

using Items = std::vector<std::pair<std::string, int>>;

Items itemsOf(const std::vector<CDSIDSDlg::Item>& items)
{
    Items plain;
    for (const CDSIDSDlg::Item& item : items)
        plain.emplace_back(item.text, item.row);
    return plain;
}

// WK (41000, row 0) in use, SkyCam (1000, row 1) in use, OFF (2000, row 2) not in use, and a
// deleted row 3.
struct FourSources : MdbSession {
    FourSources()
    {
        addSource(1000, "SkyCam");
        offRow = addSource(2000, "OFF");
        db().dsids.cell(offRow, col::Dsid::use)->number = 0;
        db().dsids.deleteRow(addSource(3000, "DEL"));
        db().sources.markInUse();
    }
    int offRow;
};

TEST(DsidSelect, ChoicesAreTheSourcesInUseInTableOrderWithTheCurrentSelected)
{
    FourSources s;
    CDSIDSDlg dialog(s.app(), "Import orbits", false);
    ASSERT_TRUE(dialog.open());
    EXPECT_EQ(dialog.messageText(), "Import orbits");
    EXPECT_EQ(itemsOf(dialog.dsidItems()), (Items{{"WK", 0}, {"SkyCam", 1}}));
    EXPECT_EQ(dialog.dsidSelection(), 0);
    EXPECT_EQ(s.db().sources.currentDsid(), 41000u);
    EXPECT_FALSE(dialog.showsOrbitFileChoice());
    EXPECT_TRUE(dialog.orbitFileItems().empty());
    EXPECT_EQ(dialog.targetOrbitFileRow(), -1);
    EXPECT_TRUE(s.ui().messages().empty());
}

TEST(DsidSelect, CurrentSourceNotInUseGivesWayToTheLastChoice)
{
    FourSources s;
    s.db().sources.makeCurrent(s.offRow);
    CDSIDSDlg dialog(s.app(), "", false);
    ASSERT_TRUE(dialog.open());
    EXPECT_EQ(dialog.dsidSelection(), 1);
    EXPECT_EQ(s.db().sources.currentDsid(), 1000u);
    EXPECT_EQ(s.app().settings.st_dsid, 1000);
}

TEST(DsidSelect, NoSourceInUseClosesAsCancelledWithoutShowingTheDialog)
{
    MdbSession s;
    s.db().dsids.cell(0, col::Dsid::use)->number = 0;
    s.ui().answerOk();
    CDSIDSDlg dialog(s.app(), "", false);
    EXPECT_FALSE(dialog.exec());
    EXPECT_EQ(s.ui().messages(), std::vector<std::string>{"No valid dsid"});
    EXPECT_EQ(s.ui().pendingAnswers(), 1u);
}

TEST(DsidSelect, ChangedSourceStaysCurrentWhenCancelled)
{
    FourSources s;
    s.ui().answerDialog([](DialogModel& model) {
        dynamic_cast<CDSIDSDlg&>(model).selectDsid(1);
        return false;
    });
    CDSIDSDlg dialog(s.app(), "", false);
    EXPECT_FALSE(dialog.exec());
    EXPECT_EQ(s.db().sources.currentDsid(), 1000u);
    EXPECT_EQ(s.db().sources.currentRow(), 1);
    EXPECT_EQ(s.app().settings.st_dsid, 1000);
}

TEST(DsidSelect, ChoicesOutsideTheItemsChangeNothing)
{
    FourSources s;
    s.addOrbitFile("O_a.csv");
    CDSIDSDlg dialog(s.app(), "", true);
    ASSERT_TRUE(dialog.open());
    for (int item : {-1, 2, 99}) {
        dialog.selectDsid(item);
        dialog.selectOrbitFile(item);
    }
    EXPECT_EQ(dialog.dsidSelection(), 0);
    EXPECT_EQ(s.db().sources.currentDsid(), 41000u);
    EXPECT_EQ(dialog.orbitFileSelection(), 0);
    EXPECT_EQ(s.app().settings.newofname, "");
}

struct OrbitFileCase {
    const char* label;
    std::string newofname;
    int selection; // among O_a, O_c
};

class DsidSelectOrbitFileTest : public testing::TestWithParam<OrbitFileCase> {};

// Orbit files O_a (row 0), O_b (row 1, not in use), O_c (row 2).
TEST_P(DsidSelectOrbitFileTest, FirstTargetIsTheRememberedFileElseTheLast)
{
    MdbSession s;
    s.addOrbitFile("O_a.csv");
    s.db().orbitFiles.cell(s.addOrbitFile("O_b.csv"), col::OrbitFile::use)->number = 0;
    s.addOrbitFile("O_c.csv");
    s.app().settings.newofname = GetParam().newofname;
    CDSIDSDlg dialog(s.app(), "", true);
    ASSERT_TRUE(dialog.open());
    EXPECT_EQ(itemsOf(dialog.orbitFileItems()), (Items{{"O_a.csv", 0}, {"O_c.csv", 2}}));
    EXPECT_EQ(dialog.orbitFileSelection(), GetParam().selection);
    EXPECT_EQ(dialog.targetOrbitFileRow(), GetParam().selection == 0 ? 0 : 2);
    EXPECT_EQ(s.app().settings.newofname, GetParam().newofname);
}

INSTANTIATE_TEST_SUITE_P(Remembered, DsidSelectOrbitFileTest,
                         testing::Values(OrbitFileCase{"first", "O_a.csv", 0},
                                         OrbitFileCase{"last", "O_c.csv", 1},
                                         OrbitFileCase{"not_in_use", "O_b.csv", 1},
                                         OrbitFileCase{"none", "", 1},
                                         OrbitFileCase{"other_case", "o_a.csv", 1}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(DsidSelect, ChosenOrbitFileIsTheTargetAndIsRemembered)
{
    MdbSession s;
    s.addOrbitFile("O_a.csv");
    s.addOrbitFile("O_c.csv");
    CDSIDSDlg dialog(s.app(), "", true);
    ASSERT_TRUE(dialog.open());
    dialog.selectOrbitFile(0);
    EXPECT_EQ(dialog.targetOrbitFileRow(), 0);
    EXPECT_EQ(s.app().settings.newofname, "O_a.csv");
}

TEST(DsidSelect, NoOrbitFileInUseClosesAsCancelled)
{
    MdbSession s;
    s.db().orbitFiles.cell(s.addOrbitFile("O_a.csv"), col::OrbitFile::use)->number = 0;
    CDSIDSDlg withoutChoice(s.app(), "", false);
    EXPECT_TRUE(withoutChoice.open());
    CDSIDSDlg withChoice(s.app(), "", true);
    EXPECT_FALSE(withChoice.open());
    EXPECT_EQ(s.ui().messages(), std::vector<std::string>{"Please create a orbit file"});
}

struct FilterTextCase {
    const char* label;
    std::array<std::string, 5> texts;     // min Qc, max vg, max e, max radiant error, min stations
    std::optional<ImportFilters> filters; // nullopt: refused, naming the first bad field
    const char* badLabel;
};

const FilterTextCase kFilterTexts[] = {
    {"All_empty_is_no_filter", {"", " ", "", "\t", ""}, ImportFilters{}, ""},
    {"Every_limit", {"5", " 75.5 ", "+1", "0.5e0", "3"}, ImportFilters{5.0, 75.5, 1.0, 0.5, 3}, ""},
    {"Negative_limits", {"-2", "", "", "", "-1"}, ImportFilters{-2.0, {}, {}, {}, -1}, ""},
    {"Trailing_text", {"", "75km", "", "", ""}, std::nullopt, "max vg (km/s)"},
    {"Not_a_number", {"", "", "nan", "", ""}, std::nullopt, "max e"},
    {"Infinite", {"", "", "", "inf", ""}, std::nullopt, "max radiant error (deg)"},
    {"Stations_not_whole", {"", "", "", "", "2.5"}, std::nullopt, "min stations"},
    {"First_bad_field_named", {"x", "y", "", "", ""}, std::nullopt, "min Qc (deg)"},
};

class DsidSelectFilterTest : public testing::TestWithParam<FilterTextCase> {};

// The import's filter fields, read at OK as the batch tool reads its options.
TEST_P(DsidSelectFilterTest, OkReadsTheLimitsOrNamesTheField)
{
    const FilterTextCase& c = GetParam();
    MdbSession s;
    s.ui().answerDialog([&c](DialogModel& model) {
        auto& dialog = dynamic_cast<CDSIDSDlg&>(model);
        EXPECT_TRUE(dialog.showsFilters());
        dialog.filterTexts = c.texts;
        return true;
    });
    CDSIDSDlg dialog(s.app(), "", false);
    dialog.askFilters();
    EXPECT_EQ(dialog.exec(), c.filters.has_value());
    if (!c.filters) {
        EXPECT_EQ(s.ui().messages(),
                  std::vector<std::string>{formatMessage(kBadFilterFormat, c.badLabel)});
        return;
    }
    EXPECT_TRUE(s.ui().messages().empty());
    const ImportFilters& f = dialog.filters();
    EXPECT_EQ(std::tie(f.minQcDeg, f.maxVgKms, f.maxE, f.maxRadErrDeg, f.minStations),
              std::tie(c.filters->minQcDeg, c.filters->maxVgKms, c.filters->maxE,
                       c.filters->maxRadErrDeg, c.filters->minStations));
}

INSTANTIATE_TEST_SUITE_P(Texts, DsidSelectFilterTest, testing::ValuesIn(kFilterTexts),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
