// The duplicate index against a plain scan of all orbits, and the edges of the test.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "orbits/duplicate_index.h"

namespace {

struct Orbit {
    double mjd;
    std::string name;
    std::string memo;
};

std::vector<IndexedOrbit> viewsOf(const std::vector<Orbit>& orbits)
{
    std::vector<IndexedOrbit> views;
    for (const Orbit& orbit : orbits)
        views.push_back({orbit.mjd, orbit.name, orbit.memo});
    return views;
}

// The duplicate test read plainly: any orbit inside the relative window with the same texts.
bool scanForDuplicate(const std::vector<Orbit>& orbits, double mjd, const std::string& name,
                      const std::string& memo)
{
    for (const Orbit& orbit : orbits) {
        if (mjd * 0.99999 < orbit.mjd && orbit.mjd < mjd * 1.00001 && orbit.name == name &&
            orbit.memo == memo)
            return true;
    }
    return false;
}

// Built from some orbits and given the rest by add(): those are found only once merged.
TEST(DuplicateIndex, AnswersAsAScanOfAllOrbits)
{
    std::mt19937 random(20100812);
    const std::vector<std::string> texts{"", "A", "a", "B", "AB", "Perseid", "perseid"};
    std::uniform_int_distribution<std::size_t> pickText(0, texts.size() - 1);
    // Few distinct days, so that windows hold many orbits and many near misses.
    std::uniform_int_distribution<int> pickDay(55000, 55010);
    std::uniform_real_distribution<double> pickFraction(-0.6, 0.6);
    const double specials[] = {0.0, -55000.0, std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN()};
    auto randomMjd = [&]() -> double {
        if (random() % 50 == 0)
            return specials[random() % 4];
        return pickDay(random) + pickFraction(random);
    };
    const auto expectScanAnswers = [&](const DuplicateIndex& index,
                                       const std::vector<Orbit>& orbits,
                                       const std::vector<Orbit>& found) {
        for (int query = 0; query < 1000; ++query) {
            // Half the queries near an orbit, to reach the window's edges.
            double mjd = randomMjd();
            if (!orbits.empty() && query % 2 == 0)
                mjd = orbits[random() % orbits.size()].mjd * (1 + pickFraction(random) * 2e-5);
            const std::string& name = texts[pickText(random)];
            const std::string& memo = texts[pickText(random)];
            ASSERT_EQ(index.isDuplicate(mjd, name, memo), scanForDuplicate(found, mjd, name, memo))
                << "mjd " << mjd << " name '" << name << "' memo '" << memo << "'";
        }
    };
    for (int round = 0; round < 20; ++round) {
        std::vector<Orbit> orbits(random() % 400);
        for (Orbit& orbit : orbits)
            orbit = {randomMjd(), texts[pickText(random)], texts[pickText(random)]};
        std::vector<Orbit> found(orbits.begin(), orbits.begin() + random() % (orbits.size() + 1));
        DuplicateIndex index(viewsOf(found));
        while (found.size() < orbits.size()) {
            const std::size_t end = found.size() + 1 + random() % (orbits.size() - found.size());
            for (std::size_t i = found.size(); i < end; ++i)
                index.add(orbits[i].mjd, orbits[i].name, orbits[i].memo);
            expectScanAnswers(index, orbits, found);
            index.mergeAdded();
            found.assign(orbits.begin(), orbits.begin() + static_cast<std::ptrdiff_t>(end));
        }
        expectScanAnswers(index, orbits, found);
    }
}

TEST(DuplicateIndex, WindowIsRelativeAndOpen)
{
    // 55000 * 0.00001 = 0.55 days on either side.
    const std::vector<Orbit> orbits{{55000.0, "A", "m"}};
    const DuplicateIndex index(viewsOf(orbits));
    struct Case {
        double mjd;
        bool duplicate;
    };
    const Case cases[] = {{55000.0, true},   {55000.54, true}, {54999.46, true}, {55000.56, false},
                          {54999.44, false}, {0.0, false},     {-55000.0, false}};
    for (const Case& c : cases)
        EXPECT_EQ(index.isDuplicate(c.mjd, "A", "m"), c.duplicate) << c.mjd;
}

TEST(DuplicateIndex, NameAndMemoMustBothMatchExactly)
{
    const std::vector<Orbit> orbits{{55000.0, "A", "m"}, {55000.0, "", ""}};
    const DuplicateIndex index(viewsOf(orbits));
    EXPECT_TRUE(index.isDuplicate(55000.0, "A", "m"));
    EXPECT_FALSE(index.isDuplicate(55000.0, "a", "m"));
    EXPECT_FALSE(index.isDuplicate(55000.0, "A", "M"));
    EXPECT_FALSE(index.isDuplicate(55000.0, "A", ""));
    EXPECT_FALSE(index.isDuplicate(55000.0, "m", "A"));
    EXPECT_FALSE(index.isDuplicate(55000.0, "Am", ""));
    EXPECT_TRUE(index.isDuplicate(55000.0, "", ""));
}

TEST(DuplicateIndex, EmptyIndexFindsNothing)
{
    const DuplicateIndex empty;
    EXPECT_EQ(empty.size(), 0u);
    EXPECT_FALSE(empty.isDuplicate(55000.0, "", ""));
}

TEST(DuplicateIndex, OrbitsWithoutANumberAreLeftOut)
{
    const std::vector<Orbit> orbits{{std::nan(""), "A", "m"}, {55000.0, "A", "m"}};
    const DuplicateIndex index(viewsOf(orbits));
    EXPECT_EQ(index.size(), 1u);
    EXPECT_TRUE(index.isDuplicate(55000.0, "A", "m"));
    EXPECT_FALSE(index.isDuplicate(std::nan(""), "A", "m"));
}

} // namespace
