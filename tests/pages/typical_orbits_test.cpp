// "Make typical orbits": the orbits made from the streams' radiants, saved and
// reloaded; the target refused where the load would not find it; a failed
// file or save taking everything back.
#include <gtest/gtest.h>

#include <filesystem>

#include "astro/calendar.h"
#include "astro/orbit_from_radiant.h"
#include "mdb/schema.h"
#include "pages/orbit_files.h"
#include "pages/typical_orbits.h"
#include "stream_list_session.h"

namespace {

using S = col::Stream;
using O = col::Orbit;

constexpr std::uint32_t kFirstWorkId = 4100000000u;

struct TypicalSession : ListSession {
    int list;
    TypicalSession()
    {
        StreamValues per{"WK_PER", "Perseids", 120, 150, 140.3f, 48.2f, 58.1f, 1.4f,
                         0.2f,     59.1f,      1,   3,   0,      0,     ""};
        StreamValues gem{"WK_GEM", "",    250, 265, 262, 112.3f, 32.5f, 1,
                         -0.2f,    34.6f, 1,   0,   0,   0,      ""};
        StreamValues slow = gem;
        slow.code = "WK_SLO";
        slow.vg = 0.005f;
        const int a = addStreamOf(kFirstWorkId + 1, per);
        const int b = addStreamOf(kFirstWorkId + 2, slow);
        const int c = addStreamOf(kFirstWorkId + 3, gem);
        list = addList(kFirstWorkId, "L_WK_typ", {a, b, c});
        db().dsids.cell(db().sources.currentRow(), col::Dsid::IDnext)->number = kFirstWorkId + 4;
        saveAndReload();
        list = listRowNamed("L_WK_typ");
    }
    int streamRow(const char* code)
    {
        for (int row = 0; row < db().streams.count(); ++row)
            if (db().streams.isLive(row) && std::string(code) == db().streams.text(row, S::code))
                return row;
        return -1;
    }
};

TEST(TypicalOrbits, AreMadeSavedAndReloaded)
{
    TypicalSession s;
    s.chooseSource("WK");
    s.ui().answerPath(s.orbitPath("O_L_WK_typ.csv"));
    ASSERT_TRUE(makeTypicalOrbits(s.app(), s.list));
    EXPECT_FALSE(s.ui().anyUnexpected());
    EXPECT_TRUE(s.ui().messages().empty());
    EXPECT_EQ(s.ui().events()[1].text, "O_L_WK_typ.csv");
    EXPECT_FALSE(s.db().modified);
    const int file = s.orbitFileRow("O_L_WK_typ.csv");
    ASSERT_GE(file, 0);
    EXPECT_EQ(s.db().orbitFiles.cell(file, col::OrbitFile::loaded)->number, 1u);
    // The slow stream is skipped; the others get OIDs in link order.
    EXPECT_EQ(s.db().streams.cell(s.streamRow("WK_SLO"), S::TypicalOID)->number, 0u);
    std::uint32_t oid = kFirstWorkId + 4;
    for (const char* code : {"WK_PER", "WK_GEM"}) {
        const int stream = s.streamRow(code);
        EXPECT_EQ(s.db().streams.cell(stream, S::TypicalOID)->number, oid);
        const int orbit = s.db().streams.integer(stream, S::TOIDline);
        ASSERT_GE(orbit, 0) << code;
        EXPECT_EQ(s.db().orbits.cell(orbit, O::OID)->number, oid++);
        EXPECT_EQ(std::string(s.db().orbits.text(orbit, O::name)), std::string("TO_") + code);
        EXPECT_EQ(s.db().orbits.cell(orbit, O::type)->integer, 0);
        const auto real = [&](int column) { return s.db().streams.cell(stream, column)->real; };
        const double jd = *SolToJD(real(S::solp), s.app().settings.dlg_Y);
        double peri, node, incl, a, q, e;
        OrbitFromRadiant(jd, real(S::ra) * 0.01745329251994329, real(S::dec) * 0.01745329251994329,
                         real(S::vg), peri, node, incl, a, q, e);
        const double expected[][2] = {{q, s.db().orbits.cell(orbit, O::q)->real},
                                      {e, s.db().orbits.cell(orbit, O::e)->real},
                                      {peri, s.db().orbits.cell(orbit, O::peri)->real},
                                      {node, s.db().orbits.cell(orbit, O::node)->real},
                                      {incl, s.db().orbits.cell(orbit, O::incl)->real},
                                      {jd - kMjdToJd, s.db().orbits.cell(orbit, O::mjd)->real64}};
        for (const auto& [want, got] : expected)
            EXPECT_NEAR(got, want, 1e-5 * std::max(1.0, std::abs(want))) << code;
    }
    EXPECT_EQ(s.idNextOf(41000), kFirstWorkId + 6);
}

struct RefusalCase {
    const char* name;
    const char* target; // in the orbits folder unless absolute
    bool create;        // the file exists beforehand
    const char* message;
};

const RefusalCase kRefusals[] = {
    {"existing file", "O_old.csv", true, "%s exists\n\nPlease assign new name"},
    {"not an O file", "typ.csv", false,
     "%s\n\nOrbit files are named O*.csv and kept in %o\nPlease assign new name"},
};

class TypicalTargetTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(TypicalTargetTest, IsRefusedAndAskedAgain)
{
    const RefusalCase& c = GetParam();
    TypicalSession s;
    const std::string path = s.orbitPath(c.target);
    if (c.create)
        writeFileBytes(path, "old");
    s.chooseSource("WK");
    s.ui().answerPath(path);
    s.ui().answerCancel();
    EXPECT_FALSE(makeTypicalOrbits(s.app(), s.list));
    std::string expected = c.message;
    expected.replace(expected.find("%s"), 2, path);
    if (const std::size_t at = expected.find("%o"); at != std::string::npos)
        expected.replace(at, 2, orbitsFolderOf(s.app()));
    EXPECT_EQ(s.ui().messages(), std::vector<std::string>{expected});
    EXPECT_EQ(s.db().streams.cell(s.streamRow("WK_PER"), S::TypicalOID)->number, 0u);
    EXPECT_EQ(s.ui().pendingAnswers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Targets, TypicalTargetTest, testing::ValuesIn(kRefusals), caseName);

// A folder where a table file belongs makes the save fail.
TEST(TypicalOrbits, AFailedSaveTakesEverythingBackAndKeepsTheUnsavedChanges)
{
    TypicalSession s;
    const int per = s.streamRow("WK_PER");
    s.db().streams.setText(per, S::name, "edited not saved");
    s.db().modified = true;
    std::filesystem::remove(s.mdb() + "/UStream.csv");
    std::filesystem::create_directory(s.mdb() + "/UStream.csv");
    const std::string path = s.orbitPath("O_L_WK_typ.csv");
    EXPECT_FALSE(makeTypicalOrbitsFile(s.app(), s.list, path));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(s.orbitFileRow("O_L_WK_typ.csv"), -1);
    EXPECT_EQ(s.idNextOf(41000), kFirstWorkId + 4);
    EXPECT_EQ(s.db().streams.cell(per, S::TypicalOID)->number, 0u);
    EXPECT_STREQ(s.db().streams.text(per, S::name), "edited not saved");
    EXPECT_TRUE(s.db().modified);
    EXPECT_FALSE(s.ui().messages().empty());
}

TEST(TypicalOrbits, AFileThatCannotBeCreatedChangesNothing)
{
    TypicalSession s;
    const std::string path = s.mdb() + "/missing/O_x.csv";
    EXPECT_FALSE(makeTypicalOrbitsFile(s.app(), s.list, path));
    EXPECT_EQ(s.ui().messages(), std::vector<std::string>{"Cannot open " + path});
    EXPECT_EQ(s.idNextOf(41000), kFirstWorkId + 4);
    EXPECT_EQ(s.db().streams.cell(s.streamRow("WK_PER"), S::TypicalOID)->number, 0u);
}

} // namespace
