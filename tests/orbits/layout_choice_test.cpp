// The layout of a source file from its name.
#include <gtest/gtest.h>

#include "orbits/orbit_converters.h"

namespace {

struct NameCase {
    const char* label;
    const char* fileName;
    std::optional<OrbitLayout> layout;
    const char* refusal;
};

const NameCase kNameCases[] = {
    {"own orbit file", "O_WK_4100000000.csv", OrbitLayout::O, ""},
    {"U layout", "U20100812.csv", OrbitLayout::U, ""},
    {"U2 layout", "U2_skycam.csv", OrbitLayout::U2, ""},
    {"U2 without underscore is U", "U2skycam.csv", OrbitLayout::U, ""},
    {"U3_ refused", "U3_skycam.csv", std::nullopt, "file name invalid"},
    {"U_ is U when the third character is not _", "U_x.csv", OrbitLayout::U, ""},
    {"lower-case u refused", "u20100812.csv", std::nullopt, "file name invalid"},
    {"M layout", "M_radiants.csv", OrbitLayout::M, ""},
    {"other csv refused", "orbits.csv", std::nullopt, "file name invalid"},
    {"upper-case CSV refused", "O_WK_1.CSV", std::nullopt, "file invalid"},
    {"text layout", "catalogue.txt", OrbitLayout::Text, ""},
    {"text layout by first letter of extension", "x.tab", OrbitLayout::Text, ""},
    {"dat layout", "photographic.dat", OrbitLayout::Dat, ""},
    {"unknown extension", "orbits.xls", std::nullopt, "file invalid"},
    {"no extension", "README", std::nullopt, "file invalid"},
    {"name of two characters", "ab", std::nullopt, "file invalid"},
    {"empty name", "", std::nullopt, "file invalid"},
    {"folder part ignored", "/home/u/Orbits/U2_x.csv", OrbitLayout::U2, ""},
    {"folder with a matching name ignored", "/data/O.csv/README", std::nullopt, "file invalid"},
};

class LayoutChoiceTest : public testing::TestWithParam<NameCase> {};

TEST_P(LayoutChoiceTest, ByTheNameOfTheSource)
{
    const NameCase& c = GetParam();
    const LayoutChoice choice = chooseOrbitLayout(c.fileName);
    EXPECT_EQ(choice.layout, c.layout);
    EXPECT_EQ(choice.refusal, c.refusal);
}

INSTANTIATE_TEST_SUITE_P(Names, LayoutChoiceTest, testing::ValuesIn(kNameCases),
                         [](const auto& info) {
                             std::string name = info.param.label;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

} // namespace
