// Stream grouping: the tests of one orbit against one stream, the runs' edge cases, and the
// fast all-stream runs against the straightforward loops on seeded random databases.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "astro/frames.h"
#include "grouping_reference.h"
#include "mdb/schema.h"
#include "platform/feedback.h"
#include "platform/scripted_ui.h"
#include "random_streams.h"
#include "stream_db.h"
#include "streams/stream_grouping.h"
#include "support/test_support.h"
#include "table/links.h"

namespace {

using S = col::Stream;
using O = col::Orbit;

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

// Every link in list order, S-O and DD: what a run leaves behind.
struct Outcome {
    std::vector<std::vector<int>> streamLinks, orbitLinks;
    std::vector<int> counts;
    std::vector<std::uint32_t> dd;
    bool operator==(const Outcome&) const = default;
};

std::vector<int> partners(const CUTABLE& table, int row, int column)
{
    std::vector<int> rows;
    for (const LinkNode& node : linksOf(table, row, column))
        rows.push_back(node.partnerCell.row);
    return rows;
}

Outcome outcomeOf(const Database& db)
{
    Outcome outcome;
    for (int row = 0; row < db.streams.count(); ++row) {
        outcome.streamLinks.push_back(partners(db.streams, row, S::OLINK));
        outcome.counts.push_back(db.streams.cell(row, S::SO)->integer);
    }
    for (int row = 0; row < db.orbits.count(); ++row) {
        outcome.orbitLinks.push_back(partners(db.orbits, row, O::SLINK));
        std::uint32_t bits = 0;
        std::memcpy(&bits, &db.orbits.cell(row, O::DD)->real, sizeof bits);
        outcome.dd.push_back(bits);
    }
    return outcome;
}

int linkCount(const Outcome& outcome)
{
    int links = 0;
    for (const auto& list : outcome.streamLinks)
        links += static_cast<int>(list.size());
    return links;
}

bool linked(StreamDb& mdb, int stream, int orbit)
{
    return isLinked({&mdb.db().streams, stream, S::OLINK}, {&mdb.db().orbits, orbit, O::SLINK});
}

class CancelAfter final : public Feedback {
public:
    explicit CancelAfter(int calls) : m_left(calls) {}
    void progress(const std::string&, std::int64_t, std::int64_t) override { --m_left; }
    bool cancelled() const override { return m_left <= 0; }

private:
    int m_left;
};

TEST(StreamTests, SolWindowIncludesItsEndsUnlessItCrossesZero)
{
    struct Case {
        const char* name;
        float sol, sol1, sol2;
        bool inside;
    };
    const Case cases[] = {
        {"across 0, after start", 355, 350, 10, true},
        {"across 0, before end", 5, 350, 10, true},
        {"across 0, at start", 350, 350, 10, false},
        {"across 0, at end", 10, 350, 10, false},
        {"plain, at start", 10, 10, 20, true},
        {"plain, at end", 20, 10, 20, true},
        {"plain, outside", 20.001f, 10, 20, false},
        {"NaN sol", kNan, 10, 20, false},
        {"NaN start", 5, kNan, 20, true},
        {"NaN both", 5, kNan, kNan, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(solInWindow(c.sol, c.sol1, c.sol2), c.inside) << c.name;
}

TEST(StreamTests, DerivedLimitsReplaceZeroValues)
{
    EXPECT_DOUBLE_EQ(radiusLimit(0, 1.0), 3.0);
    EXPECT_DOUBLE_EQ(radiusLimit(2, 1.5), 3.0);
    const VelocityWindow window = velocityWindow(40, 0, 1.0);
    EXPECT_TRUE(window.active);
    EXPECT_DOUBLE_EQ(window.lowKms, 28.0);
    EXPECT_DOUBLE_EQ(window.highKms, 52.0);
    EXPECT_TRUE(window.contains(52) && window.contains(28) && !window.contains(52.01f));
    EXPECT_FALSE(velocityWindow(0, 3, 1.0).active);
    EXPECT_TRUE(velocityWindow(0, 3, 1.0).contains(99));
    EXPECT_DOUBLE_EQ(dprimeLimit(0, 1.0), 0.1);
    EXPECT_DOUBLE_EQ(dprimeLimit(0.2f, 2.0), 2.0 * 0.2f);
}

TEST(StreamTests, RadiantDriftsTheWayItsDailyDriftSays)
{
    struct Case {
        const char* name;
        float dra, ddec;
        double sol; // solp is 100
        double ra, dec, tolerance;
    };
    const double tenDays = 100 + 10 * 0.9856262833675564;
    const Case cases[] = {
        // A westward, northward drift: ten days on lies near ra 95, dec 23.
        {"west and north", -0.5f, 0.3f, tenDays, 95.2, 23.0, 0.3},
        {"ten days before", -0.5f, 0.3f, 200 - tenDays, 104.8, 17.0, 0.3},
        {"both negative drift", -0.5f, -0.3f, tenDays, 95.2, 17.0, 0.3},
        {"no drift", 0.00005f, -0.00005f, tenDays, 100, 20, 0},
        {"at the peak", 1.0f, 0.5f, 100, 100, 20, 1e-9},
    };
    for (const Case& c : cases) {
        double ra = 0, dec = 0;
        DriftingRadiant(100, 100, 20, c.dra, c.ddec).at(c.sol, ra, dec);
        EXPECT_NEAR(ra, c.ra, c.tolerance) << c.name;
        EXPECT_NEAR(dec, c.dec, c.tolerance) << c.name;
    }
    // Across 0: sol 5 is 15 degrees after a peak at 350.
    double ra = 0, dec = 0, raBack = 0, decBack = 0;
    DriftingRadiant(350, 10, 0, 1, 0).at(5, ra, dec);
    DriftingRadiant(350, 10, 0, 1, 0).at(335, raBack, decBack);
    EXPECT_NEAR(ra, 10 + 15 / 0.9856262833675564, 0.01);
    EXPECT_NEAR(raBack, 370 - 15 / 0.9856262833675564, 0.01);
}

struct GroupingFixture : ::testing::Test {
    ScopedScriptedUi ui;
    StreamDb mdb;
    NoFeedback quiet;
    GroupingOptions options;
    TestStream stream{130, 150, 140, 46, 58, 0, 0, 59, 3, 3, 0.2f};

    int orbitAtDistance(double degrees, float sol = 140)
    {
        double ra = 0, dec = 0;
        OffsetPoint(46, 58, 90, degrees, ra, dec);
        return mdb.addOrbit(StreamDb::kInUse,
                            {sol, static_cast<float>(ra), static_cast<float>(dec), 59});
    }
};

TEST_F(GroupingFixture, RvgAllLimitIsStrictAndSingleIsInclusive)
{
    // With R* at 0% the limit is exactly 0, and an orbit on the radiant is exactly 0 away.
    options.kR = 0;
    const int s = mdb.addStream(StreamDb::kInUse, "VN_A", stream);
    const int at = orbitAtDistance(0.0);
    ASSERT_EQ(groupRvgAll(mdb.db(), options, quiet), GroupingOutcome::Done);
    EXPECT_FALSE(linked(mdb, s, at));
    EXPECT_EQ(groupRvgSingle(mdb.db(), s, options), 1);
    EXPECT_TRUE(linked(mdb, s, at));
}

TEST_F(GroupingFixture, RvgAllIgnoresStreamsBeyondNinetyNineDegrees)
{
    stream.R = 150;
    const int s = mdb.addStream(StreamDb::kInUse, "VN_A", stream);
    const int far = orbitAtDistance(120);
    const int near = orbitAtDistance(99.0);
    ASSERT_EQ(groupRvgAll(mdb.db(), options, quiet), GroupingOutcome::Done);
    EXPECT_FALSE(linked(mdb, s, far));
    EXPECT_TRUE(linked(mdb, s, near));
    EXPECT_EQ(groupRvgSingle(mdb.db(), s, options), 2);
}

TEST_F(GroupingFixture, RvgAllTakesTheNearestOrWithPriTheFirstStream)
{
    std::vector<int> rows;
    for (float ra : {50.f, 49.f, 46.5f, 46.5f, 48.f, 47.f, 46.2f, 46.2f})
        rows.push_back(mdb.addStream(StreamDb::kInUse, "VN_S",
                                     {130, 150, 140, ra, 58, 0, 0, 59, 10, 3, 0.2f}));
    const int orbit = mdb.addOrbit(StreamDb::kInUse, {140, 46, 58, 59});
    struct Case {
        const char* name;
        bool pri;
        int stream; // index into rows
    };
    for (const Case& c :
         {Case{"nearest, ties keep the earlier", false, 6}, Case{"pri: row order", true, 0}}) {
        options.pri = c.pri;
        ASSERT_EQ(groupRvgAll(mdb.db(), options, quiet), GroupingOutcome::Done);
        EXPECT_EQ(partners(mdb.db().orbits, orbit, O::SLINK), std::vector<int>{rows[c.stream]})
            << c.name;
    }
}

TEST_F(GroupingFixture, DprimeExclusiveKeepsTheNearestStreamAndDD)
{
    const int orbit = mdb.addOrbit(StreamDb::kInUse, {140, 46, 58, 59, 0.5f, 0.7f, 30, 100, 200});
    const int a = mdb.addStream(StreamDb::kInUse, "VN_A", stream);
    const int b = mdb.addStream(StreamDb::kInUse, "VN_B", stream);
    // Typical orbits at D' 0.10 (A) and 0.08 (B) through the eccentricity term alone.
    const auto eAt = [](double dprime) {
        return static_cast<float>(0.7 * (1 + dprime) / (1 - dprime));
    };
    mdb.setTypical(
        a, mdb.addOrbit(StreamDb::kNotInUse, {200, 0, 0, 0, 0.5f, eAt(0.10), 30, 100, 200}));
    mdb.setTypical(
        b, mdb.addOrbit(StreamDb::kNotInUse, {200, 0, 0, 0, 0.5f, eAt(0.08), 30, 100, 200}));
    options.exclusive = true;
    ASSERT_EQ(groupDprimeAll(mdb.db(), options, quiet), GroupingOutcome::Done);
    EXPECT_EQ(partners(mdb.db().orbits, orbit, O::SLINK), std::vector<int>{b});
    EXPECT_NEAR(mdb.db().orbits.cell(orbit, O::DD)->real, 0.08, 1e-5);
    options.exclusive = false;
    ASSERT_EQ(groupDprimeAll(mdb.db(), options, quiet), GroupingOutcome::Done);
    EXPECT_EQ(partners(mdb.db().orbits, orbit, O::SLINK), (std::vector<int>{a, b}));
    EXPECT_EQ(mdb.db().orbits.cell(orbit, O::DD)->real, 99.0f);
    EXPECT_EQ(mdb.db().orbits.cell(orbit, O::sR)->real, 0.0f); // the averages' cell is left alone
}

TEST_F(GroupingFixture, DprimeAsksOnlyAboutTypicalOrbitsThatAreNotLoaded)
{
    struct Case {
        const char* name;
        std::uint32_t typicalOid;
        std::size_t questions;
    };
    for (const Case& c : {Case{"no typical orbit", 0, 0}, Case{"typical not loaded", 12345, 1}}) {
        StreamDb local;
        ScopedScriptedUi localUi;
        const int s = local.addStream(StreamDb::kInUse, "VN_A", stream);
        local.db().streams.cell(s, S::TypicalOID)->number = c.typicalOid;
        local.addOrbit(StreamDb::kInUse, {140, 46, 58, 59});
        localUi->answerOk();
        EXPECT_EQ(groupDprimeAll(local.db(), options, quiet), GroupingOutcome::Done) << c.name;
        EXPECT_EQ(localUi->events().size(), c.questions) << c.name;
        EXPECT_EQ(linkCount(outcomeOf(local.db())), 0) << c.name;
    }
}

TEST_F(GroupingFixture, AStoppedRunChangesNoLink)
{
    const int a = mdb.addStream(StreamDb::kInUse, "VN_A", stream);
    mdb.db().streams.cell(a, S::TypicalOID)->number = 12345;
    const int b = mdb.addStream(StreamDb::kInUse, "VN_B", stream);
    const int orbit = mdb.addOrbit(StreamDb::kInUse, {140, 46, 58, 59});
    mdb.setTypical(b, orbit);
    link({&mdb.db().streams, a, S::OLINK}, {&mdb.db().orbits, orbit, O::SLINK});
    recountStreams(mdb.db());
    const Outcome before = outcomeOf(mdb.db());

    ui->answerCancel();
    EXPECT_EQ(groupDprimeAll(mdb.db(), options, quiet), GroupingOutcome::Cancelled);
    EXPECT_EQ(outcomeOf(mdb.db()), before) << "cancelled question";
    CancelAfter stop(1);
    EXPECT_EQ(groupRvgAll(mdb.db(), options, stop), GroupingOutcome::Cancelled);
    EXPECT_EQ(outcomeOf(mdb.db()), before) << "cancelled R-vg";
    EXPECT_FALSE(groupDprimeSingle(mdb.db(), a, options).has_value());
    EXPECT_EQ(outcomeOf(mdb.db()), before) << "D' single without its typical orbit";
    EXPECT_EQ(groupDprimeSingle(mdb.db(), b, options), 1);
}

TEST_F(GroupingFixture, EraseLeavesOtherListsAndSourcesNotInUse)
{
    const int listed = mdb.addStream(StreamDb::kInUse, "VN_A", stream);
    const int other = mdb.addStream(StreamDb::kInUse, "VN_B", stream, false);
    const int eligible = mdb.addOrbit(StreamDb::kInUse, {140, 46, 58, 59});
    const int hidden = mdb.addOrbit(StreamDb::kNotInUse, {140, 46, 58, 59});
    for (int stream : {listed, other})
        for (int orbit : {eligible, hidden})
            link({&mdb.db().streams, stream, S::OLINK}, {&mdb.db().orbits, orbit, O::SLINK});
    eraseGroupingAll(mdb.db());
    recountStreams(mdb.db());
    EXPECT_EQ(partners(mdb.db().streams, listed, S::OLINK), std::vector<int>{hidden});
    EXPECT_EQ(partners(mdb.db().streams, other, S::OLINK), (std::vector<int>{eligible, hidden}));
    EXPECT_EQ(mdb.db().streams.cell(listed, S::SO)->integer, 0);
    EXPECT_EQ(mdb.db().streams.cell(other, S::SO)->integer, 1);
}

TEST_F(GroupingFixture, StreamCountFileListsTheListedStreams)
{
    TempDir dir;
    mdb.addStream(StreamDb::kInUse, "VN_A", stream);
    mdb.addStream(StreamDb::kInUse, "VN_B", stream, false);
    mdb.addOrbit(StreamDb::kInUse, {140, 46, 58, 59});
    ASSERT_EQ(groupRvgAll(mdb.db(), options, quiet), GroupingOutcome::Done);
    ASSERT_TRUE(writeStreamCounts(mdb.db(), dir.file("StramCnt.csv")));
    EXPECT_EQ(readFileBytes(dir.file("StramCnt.csv")), "code,count\r\nVN_A,1\r\n");
    EXPECT_FALSE(writeStreamCounts(mdb.db(), dir.file("missing/StramCnt.csv")));
}

// The fast runs against the straightforward loops on the same random database.
TEST(GroupingOracle, FastRunsLinkAsTheStraightforwardLoops)
{
    struct Case {
        const char* name;
        bool dprime;
        GroupingOptions options;
        std::uint32_t seed;
    };
    const Case cases[] = {
        {"R-vg nearest", false, {1, 1, 1, false, false, false}, 1},
        {"R-vg pri", false, {1, 1, 1, false, false, true}, 2},
        {"R-vg wide", false, {1.6, 2, 1, false, false, false}, 3},
        {"R-vg narrow pri", false, {0.5, 0.5, 1, false, false, true}, 4},
        {"D' plain", true, {1, 1, 1, false, false, false}, 5},
        {"D' exclusive", true, {1, 1, 1, false, true, false}, 6},
        {"D' && R", true, {1, 1, 1.5, true, false, false}, 7},
        {"D' && R exclusive", true, {1.5, 1, 2, true, true, false}, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedScriptedUi ui;
        for (int i = 0; i < 200; ++i)
            ui->answerOk();
        StreamDb fast, reference;
        fillRandomStreams(fast, c.seed, 60, 60);
        fillRandomStreams(reference, c.seed, 60, 60);
        NoFeedback quiet;
        if (c.dprime) {
            ASSERT_EQ(groupDprimeAll(fast.db(), c.options, quiet), GroupingOutcome::Done);
            ASSERT_TRUE(referenceGroupDprimeAll(reference.db(), c.options));
        } else {
            ASSERT_EQ(groupRvgAll(fast.db(), c.options, quiet), GroupingOutcome::Done);
            referenceGroupRvgAll(reference.db(), c.options);
        }
        const Outcome expected = outcomeOf(reference.db());
        EXPECT_GT(linkCount(expected), 80);
        EXPECT_TRUE(outcomeOf(fast.db()) == expected);
    }
}

} // namespace
