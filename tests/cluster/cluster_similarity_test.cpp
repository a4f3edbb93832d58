// The four similarity tests and the limits of the parameters.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cluster/cluster_similarity.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
const ClusterOrbit kBase{100, 50, 20, 30, 0.7f, 0.5f, 10, 100, 200};

ClusterOrbit with(void (*change)(ClusterOrbit&))
{
    ClusterOrbit orbit = kBase;
    change(orbit);
    return orbit;
}

struct PairCase {
    const char* name;
    ClusterOrbit centre, other;
    ClusterParams params;
    bool similar;
};

const PairCase kPairCases[] = {
    {"identical", kBase, kBase, {}, true},
    {"sol 359 and 1 are 2 apart",
     with([](ClusterOrbit& o) { o.sol = 359; }),
     with([](ClusterOrbit& o) { o.sol = 1; }),
     {0.15f, 2, 5, 5, 50},
     true},
    {"sol 3 apart with S 2",
     with([](ClusterOrbit& o) { o.sol = 359; }),
     with([](ClusterOrbit& o) { o.sol = 2; }),
     {0.15f, 2, 5, 5, 50},
     false},
    {"V 0 equal vg", kBase, kBase, {0.15f, 15, 5, 5, 0}, true},
    {"V 0 other vg",
     kBase,
     with([](ClusterOrbit& o) { o.vg = 30.001f; }),
     {0.15f, 15, 5, 5, 0},
     false},
    // 40 is within 50 % of 30, but 30 is not within 20 % of 40: the centre's window counts.
    {"centre window wide",
     kBase,
     with([](ClusterOrbit& o) { o.vg = 40; }),
     {0.15f, 15, 5, 5, 50},
     true},
    {"centre window narrow",
     with([](ClusterOrbit& o) { o.vg = 40; }),
     kBase,
     {0.15f, 15, 5, 5, 20},
     false},
    {"negative vg own window is empty",
     with([](ClusterOrbit& o) { o.vg = -30; }),
     with([](ClusterOrbit& o) { o.vg = -30; }),
     {0.15f, 15, 5, 5, 50},
     false},
    {"R 0 same radiant", kBase, kBase, {0.15f, 15, 5, 0, 50}, true},
    {"radiant 6 apart with R 5", kBase, with([](ClusterOrbit& o) { o.dec = 26; }), {}, false},
    {"D 0 never", kBase, kBase, {0.0f, 15, 5, 5, 50}, false},
    {"NaN D' never", kBase, with([](ClusterOrbit& o) { o.e = kNaN; }), {}, false},
    {"two circular orbits",
     with([](ClusterOrbit& o) { o.e = 0; }),
     with([](ClusterOrbit& o) { o.e = 0; }),
     {},
     true},
};

void PrintTo(const PairCase& c, std::ostream* os) { *os << c.name; }

class PairSimilarity : public testing::TestWithParam<PairCase> {};

TEST_P(PairSimilarity, FourTests)
{
    const PairCase& c = GetParam();
    EXPECT_EQ(similarTo(c.centre, c.other, c.params), c.similar);
}

INSTANTIATE_TEST_SUITE_P(Pairs, PairSimilarity, testing::ValuesIn(kPairCases),
                         [](const testing::TestParamInfo<PairCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

TEST(ClusterParams, ClampedToTheFieldRanges)
{
    const ClusterParams wild{kNaN, 400, 0, -3, 5000};
    const ClusterParams p = clampedClusterParams(wild);
    EXPECT_EQ(p.D, 0.0f);
    EXPECT_EQ(p.S, 180.0f);
    EXPECT_EQ(p.minCount, 1);
    EXPECT_EQ(p.R, 0.0f);
    EXPECT_EQ(p.V, 1000);
    const ClusterParams defaults = clampedClusterParams({});
    EXPECT_EQ(defaults.D, 0.15f);
    EXPECT_EQ(defaults.minCount, 5);
}

} // namespace
