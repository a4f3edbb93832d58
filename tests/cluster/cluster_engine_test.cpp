// The fast engine against the straightforward clustering on seeded random catalogues.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>

#include "cluster/cluster_engine.h"
#include "random_catalogue.h"
#include "straightforward_clustering.h"
#include "support/gmn_like_catalogue.h"

namespace {

std::vector<ClusterStream> fastClustering(const std::vector<ClusterOrbit>& orbits,
                                          const ClusterParams& params, int threads = 0)
{
    ClusterEngine engine(orbits, params, threads);
    EXPECT_TRUE(engine.buildCounts([] { return false; }, [](int) {}));
    std::vector<ClusterStream> streams;
    while (std::optional<ClusterStream> stream = engine.nextStream())
        streams.push_back(*stream);
    return streams;
}

void expectSameStreams(const std::vector<ClusterStream>& fast,
                       const std::vector<ClusterStream>& oracle)
{
    ASSERT_EQ(fast.size(), oracle.size());
    for (std::size_t s = 0; s < fast.size(); ++s) {
        SCOPED_TRACE(testing::Message() << "stream " << s);
        EXPECT_EQ(fast[s].centre, oracle[s].centre);
        EXPECT_EQ(fast[s].count, oracle[s].count);
        EXPECT_EQ(fast[s].members, oracle[s].members);
    }
}

struct OracleCase {
    const char* name;
    CatalogueShape shape;
    ClusterParams params;
    bool expectStreams; // a case that must not pass by finding nothing
};

ClusterParams withParams(float D, float S, int minCount, float R, int V)
{
    return {D, S, minCount, R, V};
}

const OracleCase kOracleCases[] = {
    {"defaults", {}, {}, true},
    {"sol wrap", {.nearSolZero = true}, {}, true},
    {"duplicates", {.duplicateShare = 0.3}, {}, true},
    {"NaN and infinite fields", {.nonFiniteShare = 0.15}, {}, true},
    {"sol outside 0-360", {.nearSolZero = true, .oddSolShare = 0.2}, {}, true},
    {"negative vg in a wide window",
     {.negativeVgShare = 0.3},
     withParams(0.3f, 15, 3, 8, 150),
     true},
    {"V = 0 with duplicates", {.duplicateShare = 0.4}, withParams(0.15f, 15, 2, 5, 0), true},
    {"V above 100", {}, withParams(0.2f, 15, 4, 6, 300), true},
    {"R = 0 with duplicates", {.duplicateShare = 0.4}, withParams(0.15f, 15, 2, 0, 50), true},
    {"S = 180", {.orbits = 200}, withParams(0.2f, 180, 4, 6, 50), true},
    {"S = 0 with duplicates", {.duplicateShare = 0.4}, withParams(0.15f, 0, 2, 5, 50), true},
    {"D = 0 finds nothing", {}, withParams(0.0f, 15, 1, 5, 50), false},
    {"circular orbits", {.circularShare = 0.3}, withParams(0.4f, 15, 3, 6, 50), true},
    {"minimum count 1", {}, withParams(0.1f, 10, 1, 3, 20), true},
    {"large minimum count", {}, withParams(0.25f, 15, 25, 8, 50), true},
    {"everything at once",
     {.nearSolZero = true,
      .duplicateShare = 0.2,
      .nonFiniteShare = 0.1,
      .negativeVgShare = 0.1,
      .oddSolShare = 0.1,
      .circularShare = 0.1},
     withParams(0.3f, 20, 2, 8, 120),
     true},
};

void PrintTo(const OracleCase& c, std::ostream* os) { *os << c.name; }

class EngineOracle : public testing::TestWithParam<OracleCase> {};

TEST_P(EngineOracle, SameStreamsAsTheStraightforwardAlgorithm)
{
    const OracleCase& c = GetParam();
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        const std::vector<ClusterOrbit> orbits = randomCatalogue(c.shape, seed);
        const std::vector<ClusterStream> oracle = straightforwardClustering(orbits, c.params);
        expectSameStreams(fastClustering(orbits, c.params), oracle);
        EXPECT_EQ(!oracle.empty(), c.expectStreams);
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogues, EngineOracle, testing::ValuesIn(kOracleCases),
                         [](const testing::TestParamInfo<OracleCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

// Real density: each GMN meteor resampled into a tight clump, the Geminids the dominant
// shower, elements computed from the radiants.
TEST(ClusterEngine, SameStreamsAsTheStraightforwardAlgorithmOnGmnLikeCatalogues)
{
    const std::vector<GmnMeteor> meteors = readGmnMeteors(ORVANTELLA_SOURCE_DIR "/data/sources");
    ASSERT_GT(meteors.size(), 1000u);
    for (const auto& [seed, params] :
         {std::pair{1u, ClusterParams{}}, {2u, withParams(0.25f, 20, 8, 6, 30)}}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        const std::vector<ClusterOrbit> orbits =
            clusterFieldsOf(gmnLikeCatalogue(meteors, 2500, seed));
        const std::vector<ClusterStream> oracle = straightforwardClustering(orbits, params);
        // The Geminids: about 6 % of the catalogue.
        ASSERT_FALSE(oracle.empty());
        EXPECT_GT(oracle.front().members.size(), orbits.size() / 40);
        // The work shared among any number of threads.
        for (const int threads : {1, 2, 3}) {
            SCOPED_TRACE(testing::Message() << threads << " threads");
            expectSameStreams(fastClustering(orbits, params, threads), oracle);
        }
    }
}

// Two identical groups: the earlier centre is the densest.
TEST(ClusterEngine, TiesGoToTheEarliestCandidate)
{
    const ClusterOrbit a{100, 50, 20, 30, 0.7f, 0.5f, 10, 100, 200};
    ClusterOrbit b = a;
    b.ra = 200;
    const std::vector<ClusterOrbit> orbits{b, a, b, a, b, a};
    const std::vector<ClusterStream> streams =
        fastClustering(orbits, withParams(0.15f, 15, 2, 5, 50));
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0].centre, 0);
    EXPECT_EQ(streams[0].members, (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(streams[1].centre, 1);
}

// A centre with exactly minCount neighbours makes a stream; one fewer does not.
TEST(ClusterEngine, MinimumCountBoundary)
{
    const ClusterOrbit centre{100, 50, 20, 30, 0.7f, 0.5f, 10, 100, 200};
    for (int neighbours : {3, 4}) {
        std::vector<ClusterOrbit> orbits{centre};
        for (int k = 0; k < neighbours; ++k) {
            ClusterOrbit near = centre;
            near.ra += 3.0f * static_cast<float>(k % 2 ? 1 : -1);
            near.dec += 3.0f * static_cast<float>(k / 2 ? 1 : -1);
            orbits.push_back(near);
        }
        SCOPED_TRACE(neighbours);
        const auto streams = fastClustering(orbits, withParams(0.15f, 15, 4, 5, 50));
        EXPECT_EQ(streams.size(), neighbours >= 4 ? 1u : 0u);
        expectSameStreams(streams,
                          straightforwardClustering(orbits, withParams(0.15f, 15, 4, 5, 50)));
    }
}

// A stop in the set-up of the tree (the first poll, with enough candidates) or within the
// counts ends them, and no stream comes after it.
TEST(ClusterEngine, StopWhileCountingEndsIt)
{
    for (const auto& [orbits, stopAt] : {std::pair{2000, 3}, {10000, 0}}) {
        SCOPED_TRACE(orbits);
        ClusterEngine engine(randomCatalogue({.orbits = orbits}, 7), {}, 2);
        // Polled from both threads.
        std::atomic<int> polls{0};
        EXPECT_FALSE(engine.buildCounts([&] { return ++polls > stopAt; }, [](int) {}));
        EXPECT_LE(polls.load(), stopAt + 2);
        EXPECT_FALSE(engine.nextStream());
    }
}

// A stop within the first cycle, by many candidates leaving (shared among the threads) or by
// few (one by one), abandons that cycle's stream at once, and no stream comes after it.
TEST(ClusterEngine, StopWithinACycleAbandonsItsStream)
{
    const std::vector<GmnMeteor> meteors = readGmnMeteors(ORVANTELLA_SOURCE_DIR "/data/sources");
    const std::vector<std::pair<const char*, std::vector<ClusterOrbit>>> cases{
        {"many leave", clusterFieldsOf(gmnLikeCatalogue(meteors, 2500, 3))},
        {"few leave", {randomCatalogue({.orbits = 60, .showers = 1, .showerShare = 0.2}, 4)}}};
    for (const auto& [name, orbits] : cases) {
        SCOPED_TRACE(name);
        auto engineAfterCounts = [&] {
            auto engine = std::make_unique<ClusterEngine>(orbits, ClusterParams{}, 2);
            EXPECT_TRUE(engine->buildCounts([] { return false; }, [](int) {}));
            return engine;
        };
        std::atomic<int> polls{0};
        ASSERT_TRUE(engineAfterCounts()->nextStream([&] { return ++polls < 0; }));
        const int cyclePolls = polls.load();
        ASSERT_GT(cyclePolls, 1);

        const auto engine = engineAfterCounts();
        std::atomic<int> pollsAfterStop{0};
        polls = 0;
        EXPECT_FALSE(engine->nextStream([&] {
            const bool stop = ++polls > cyclePolls / 2;
            pollsAfterStop += stop;
            return stop;
        }));
        // Each thread sees the stop at most once.
        EXPECT_LE(pollsAfterStop.load(), 2);
        EXPECT_FALSE(engine->nextStream());
    }
}

} // namespace

namespace {

// Earlier candidates of positive vg, apart from each other, count a later one of negative vg,
// which then fails its own velocity window: it must leave at compaction, not be the densest
// again in every cycle.
TEST(ClusterEngine, ACentreFailingItsOwnTestsLeaves)
{
    const ClusterOrbit negative{100, 50, 20, -5, 0.7f, 0.5f, 10, 100, 200};
    std::vector<ClusterOrbit> orbits;
    for (const auto& [dRa, dDec] :
         {std::pair{4.0f, 0.0f}, {-4.0f, 0.0f}, {0.0f, 4.0f}, {0.0f, -4.0f}}) {
        ClusterOrbit positive = negative;
        positive.vg = 30;
        positive.ra += dRa;
        positive.dec += dDec;
        orbits.push_back(positive);
    }
    orbits.push_back(negative);
    const ClusterParams params{0.15f, 15, 2, 5, 150};
    const std::vector<ClusterStream> streams = fastClustering(orbits, params);
    expectSameStreams(streams, straightforwardClustering(orbits, params));
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0].centre, 4);
    EXPECT_EQ(streams[0].count, 4);
    EXPECT_TRUE(streams[0].members.empty());
}

} // namespace
