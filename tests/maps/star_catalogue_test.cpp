// Loading, locating and drawing the star catalogue.
#include <gtest/gtest.h>

#include <climits>

#include <cmath>
#include <fstream>
#include <string>

#include "maps/canvas.h"
#include "maps/star_catalogue.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"

namespace {

void writeCatalogue(const TempDir& dir, const std::string& text)
{
    writeFileBytes(dir.file(kStarCatalogueFileName), text);
}

std::string catalogueLines(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::to_string(i % 360) + ".5 -10.25 4.5\n";
    return text;
}

} // namespace

TEST(StarCatalogue, ReadsStarsInFileOrderWithEclipticCoordinates)
{
    TempDir dir;
    // Reference points of the J2000 ecliptic (obliquity 23.4393 degrees):
    // the vernal equinox, the summer solstice point and the north ecliptic pole.
    writeCatalogue(dir, "0 0 1.5\n90 23.4393 -0.5\r\n270.0000 66.5607 7.25\n");
    ScopedScriptedUi scripted;
    const StarCatalogue stars = loadStarCatalogue(dir.str());
    ASSERT_EQ(stars.size(), 3u);
    EXPECT_TRUE(scripted->messages().empty());
    EXPECT_DOUBLE_EQ(stars[1].raDeg, 90);
    EXPECT_DOUBLE_EQ(stars[1].decDeg, 23.4393);
    EXPECT_DOUBLE_EQ(stars[1].mag, -0.5);
    EXPECT_DOUBLE_EQ(stars[2].mag, 7.25);
    EXPECT_NEAR(stars[0].lonDeg, 0, 1e-9);
    EXPECT_NEAR(stars[0].latDeg, 0, 1e-9);
    EXPECT_NEAR(stars[1].lonDeg, 90, 1e-3);
    EXPECT_NEAR(stars[1].latDeg, 0, 1e-3);
    EXPECT_NEAR(stars[2].latDeg, 90, 1e-3);
}

TEST(StarCatalogue, MalformedLinesAreSkippedAndReportedOnce)
{
    TempDir dir;
    writeCatalogue(dir, "10 20 3\n"
                        "11 21\n"         // two numbers
                        "ra dec mag\n"    // words
                        "12 22 3 extra\n" // something after the third number
                        "nan 1 2\n"       // not a finite number
                        "\n"              // blank lines are not stars and not errors
                        "  \r\n"
                        "13 23 4\n");
    ScopedScriptedUi scripted;
    const StarCatalogue stars = loadStarCatalogue(dir.str());
    ASSERT_EQ(stars.size(), 2u);
    EXPECT_DOUBLE_EQ(stars[0].raDeg, 10);
    EXPECT_DOUBLE_EQ(stars[1].raDeg, 13);
    ASSERT_EQ(scripted->messages().size(), 1u);
    EXPECT_EQ(scripted->messages()[0], "VexoStarMap.txt: 4 lines skipped, not three numbers");
}

TEST(StarCatalogue, StopsAfterTenThousandStarsWithOneMessage)
{
    TempDir dir;
    writeCatalogue(dir, catalogueLines(10003));
    ScopedScriptedUi scripted;
    EXPECT_EQ(loadStarCatalogue(dir.str()).size(), 10000u);
    ASSERT_EQ(scripted->messages().size(), 1u);
    EXPECT_EQ(scripted->messages()[0], "VexoStarMap.txt: only the first 10000 stars are read");
}

TEST(StarCatalogue, ExactlyTenThousandStarsIsQuiet)
{
    TempDir dir;
    writeCatalogue(dir, catalogueLines(10000) + "\n");
    ScopedScriptedUi scripted;
    EXPECT_EQ(loadStarCatalogue(dir.str()).size(), 10000u);
    EXPECT_TRUE(scripted->messages().empty());
}

TEST(StarCatalogueDeathTest, MissingFileIsFatal)
{
    TempDir dir;
    EXPECT_EXIT(loadStarCatalogue(dir.str()), ::testing::ExitedWithCode(247),
                "Orvantella Fatal Error: VexoStarMap.txt was not exist");
}

TEST(StarCatalogue, ShippedCatalogueLoadsEveryLine)
{
    const std::filesystem::path path = projectDataFile("VexoStarMap.txt");
    std::ifstream file(path);
    int lines = 0;
    for (std::string line; std::getline(file, line);)
        ++lines;
    // The provenance note gives 9096 stars, Sirius the brightest at -1.46.
    ASSERT_EQ(lines, 9096);
    ScopedScriptedUi scripted;
    const StarCatalogue stars = loadStarCatalogue(path.parent_path().string());
    EXPECT_EQ(stars.size(), 9096u);
    EXPECT_TRUE(scripted->messages().empty());
    double brightest = 99;
    for (const Star& star : stars)
        brightest = std::min(brightest, star.mag);
    EXPECT_DOUBLE_EQ(brightest, -1.46);
}

TEST(StarCatalogueFolder, FirstFolderHoldingTheFileWins)
{
    TempDir empty, first, second;
    writeCatalogue(first, "1 2 3\n");
    writeCatalogue(second, "1 2 3\n");
    EXPECT_EQ(findStarCatalogueFolder({empty.str(), first.str(), second.str()}), first.str());
    EXPECT_EQ(findStarCatalogueFolder({empty.str(), empty.str() + "/missing"}), std::nullopt);
}

TEST(StarCatalogueFolder, SearchOrderIsStartupExecutableThenInstalledData)
{
    const auto folders = starCatalogueFolders("/start", "/opt/bin");
    ASSERT_EQ(folders.size(), 4u);
    EXPECT_EQ(folders[0], "/start");
    EXPECT_EQ(folders[1], "/opt/bin");
    EXPECT_EQ(folders[2], "/opt/bin/../share/orvantella");
    EXPECT_EQ(folders[3], ORVANTELLA_DATA_DIR);
}

struct StarSizeCase {
    double mag;
    int size;
};

TEST(StarSize, FiveMinusMagnitudeTruncatedAtLeastOne)
{
    const StarSizeCase cases[] = {
        {4.5, 1},   // trunc(0.5) = 0, raised to 1
        {-1.2, 6},  // trunc(6.2)
        {-1.46, 6}, // Sirius
        {0.0, 5},   {2.0, 3},   {3.9, 1},          {3.0, 2},
        {7.96, 1},  {1e300, 1}, {-1e300, INT_MAX}, // any finite magnitude a catalogue line can hold
    };
    for (const StarSizeCase& c : cases)
        EXPECT_EQ(starMarkerSize(c.mag), c.size) << "mag " << c.mag;
}

TEST(DrawStar, OnlyStarsNotFainterThanTheLimit)
{
    Canvas canvas(40, 40, false);
    drawStar(canvas, 10, 10, 4.8, 4.7);
    EXPECT_EQ(canvas.pixel(10, 10), kBlack);
    drawStar(canvas, 10, 10, 4.7, 4.7);
    EXPECT_EQ(canvas.pixel(10, 10), kStarColor);
    drawStar(canvas, 20, 20, 2.0, 4.7); // size 3: lights (-1, -1)
    EXPECT_EQ(canvas.pixel(19, 19), kStarColor);
}

TEST(DrawStar, GreyStarIsBlackOnWhite)
{
    Canvas canvas(40, 40, true);
    drawStar(canvas, 10, 10, 1.0, 5.0);
    EXPECT_EQ(canvas.pixel(10, 10), kBlack);
}
