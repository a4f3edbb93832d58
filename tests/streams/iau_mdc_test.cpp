// The IAU MDC shower list as streams: the project's copy of the list against a
// straightforward reading of it, and small lists with blank fields, unknown
// statuses and broken lines.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "streams/iau_mdc.h"
#include "support/test_support.h"

namespace {

std::string showerList() { return projectDataFile("sources/iau_mdc_showers.psv").string(); }

std::vector<std::string> fieldsOf(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, '|');)
        fields.push_back(field);
    if (!line.empty() && line.back() == '|')
        fields.emplace_back();
    return fields;
}

// The reference: for every shower (IAU number), the LaSun of its last parameter set whose
// status is taken and whose LaSun, Ra, De and Vg are given (an uncertain value in
// parentheses counts as given), in order of the first such set.
std::vector<std::pair<int, double>> referenceShowers(const std::set<std::string>& statuses)
{
    std::ifstream in(showerList());
    std::string line;
    std::getline(in, line); // the header
    std::vector<std::pair<int, double>> showers;
    std::map<int, std::size_t> index;
    while (std::getline(in, line)) {
        const std::vector<std::string> f = fieldsOf(line);
        if (!statuses.count(f[6]) || f[7].empty() || f[8].empty() || f[9].empty() || f[12].empty())
            continue;
        const int number = std::stoi(f[1]);
        const double laSun = std::stod(f[7]);
        if (index.count(number))
            showers[index[number]].second = laSun;
        else {
            index[number] = showers.size();
            showers.emplace_back(number, laSun);
        }
    }
    return showers;
}

struct ChoiceCase {
    const char* name;
    IauStatusChoice choice;
    std::set<std::string> statuses;
};

const ChoiceCase kChoices[] = {
    {"established", IauStatusChoice::Established, {"1"}},
    {"working", IauStatusChoice::Working, {"1", "0"}},
    {"all", IauStatusChoice::All, {"1", "0", "-2", "4", "6"}},
};

class IauChoiceTest : public testing::TestWithParam<ChoiceCase> {};

TEST_P(IauChoiceTest, GivesOneStreamPerShowerFromItsLastUsableSet)
{
    const std::optional<IauShowerList> list = readIauMdcShowers(showerList(), GetParam().choice);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->brokenLine, 0);
    EXPECT_EQ(list->unknownStatusSets, 0);
    const auto reference = referenceShowers(GetParam().statuses);
    ASSERT_EQ(list->showers.size(), reference.size());
    for (std::size_t i = 0; i < reference.size(); ++i) {
        EXPECT_EQ(list->showers[i].memo.substr(0, list->showers[i].memo.find('/')),
                  "IAU " + std::to_string(reference[i].first));
        EXPECT_NEAR(list->showers[i].solp, std::fmod(reference[i].second, 360), 1e-4);
    }
}

INSTANTIATE_TEST_SUITE_P(Statuses, IauChoiceTest, testing::ValuesIn(kChoices), caseName);

TEST(IauMdcList, HasOneHundredAndTwelveEstablishedShowers)
{
    // The January 2023 list: 112 established showers have a radiant and vg.
    EXPECT_EQ(readIauMdcShowers(showerList(), IauStatusChoice::Established)->showers.size(), 112u);
}

const char* kHeader = "LP|IAUNo|AdNo|Code|Name|Activity|s|LaSun|Ra|De|dRa|dDe|Vg|a|q|e|peri|node|"
                      "inc|N|Group|CG|Parent\n";

TEST(IauMdcReader, TakesBlankFieldsAsMissingAndTheHeaderAsOptional)
{
    TempDir dir;
    const std::string rows =
        "1|7|0|PER|Perseids|annual|1|140.0|48.2|58.1|||59.1||||||||||\n"
        "2|7|1|PER|Perseids|130.5-150.5|1|140.2|48.3|58.0|1.4|0.2|59.0|(20)|0.95|||||||Swift, "
        "Tuttle|\n"
        "3|8|0||No code|annual|1|10|20||||30|||||||||\n"; // no dec: not usable
    writeFileBytes(dir.file("with.psv"), kHeader + rows);
    writeFileBytes(dir.file("without.psv"), rows);
    for (const char* file : {"with.psv", "without.psv"}) {
        const auto list = readIauMdcShowers(dir.file(file), IauStatusChoice::Established);
        ASSERT_TRUE(list);
        ASSERT_EQ(list->showers.size(), 1u) << file;
        const StreamValues& per = list->showers[0];
        EXPECT_EQ(per.code, "PER");
        EXPECT_FLOAT_EQ(per.solp, 140.2f);
        EXPECT_FLOAT_EQ(per.sol1, 130.5f);
        EXPECT_FLOAT_EQ(per.sol2, 150.5f);
        EXPECT_FLOAT_EQ(per.dra, 1.4f);
        EXPECT_EQ(per.memo, "IAU 7/1 a (20) q 0.95");
    }
    writeFileBytes(dir.file("first.psv"),
                   std::string(kHeader) + "1|7|0|PER|P|annual|1|355|48|58|||59||||||||||\n");
    const auto first = readIauMdcShowers(dir.file("first.psv"), IauStatusChoice::Established);
    ASSERT_EQ(first->showers.size(), 1u);
    EXPECT_FLOAT_EQ(first->showers[0].sol1, 345);
    EXPECT_FLOAT_EQ(first->showers[0].sol2, 5);
    EXPECT_FLOAT_EQ(first->showers[0].dra, 0);
}

struct BadListCase {
    const char* name;
    const char* rows;
    int brokenLine;
    int brokenField;
    int unknownStatus;
    int showers;
};

const BadListCase kBadLists[] = {
    {"unknown statuses are left out",
     "1|7|0|PER|P|annual|x|140|48|58|||59||||||||||\n2|8|0|GEM|G|annual|7|262|112|33|||35||||||||||"
     "\n"
     "3|9|0|ETA|E|annual|1|45|338|-1|||66||||||||||\n",
     0, 0, 2, 1},
    {"too few fields", "1|7|0|PER|P|annual|1|140|48\n", 2, 9, 0, 0},
    {"ra not a number", "1|7|0|PER|P|annual|1|140|east|58|||59||||||||||\n", 2, 8, 0, 0},
    {"no IAU number", "1||0|PER|P|annual|1|140|48|58|||59||||||||||\n", 2, 1, 0, 0},
    {"broken after good lines",
     "1|7|0|PER|P|annual|1|140|48|58|||59||||||||||\n2|8|0|GEM|G|annual|1|262|112|33|||3 5|||||||||"
     "|\n",
     3, 12, 0, 0},
};

class BadIauListTest : public testing::TestWithParam<BadListCase> {};

TEST_P(BadIauListTest, ReportsWhereAndKeepsNoHalfList)
{
    TempDir dir;
    writeFileBytes(dir.file("list.psv"), std::string(kHeader) + GetParam().rows);
    const auto list = readIauMdcShowers(dir.file("list.psv"), IauStatusChoice::All);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->brokenLine, GetParam().brokenLine);
    EXPECT_EQ(list->brokenField, GetParam().brokenField);
    EXPECT_EQ(list->unknownStatusSets, GetParam().unknownStatus);
    EXPECT_EQ(static_cast<int>(list->showers.size()), GetParam().showers);
}

INSTANTIATE_TEST_SUITE_P(Lists, BadIauListTest, testing::ValuesIn(kBadLists), caseName);

TEST(IauMdcReader, AMissingFileIsNoList)
{
    EXPECT_FALSE(readIauMdcShowers("/nonexistent/list.psv", IauStatusChoice::All));
}

} // namespace
