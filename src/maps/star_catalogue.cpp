// Reading, locating and drawing the star catalogue.
#include "maps/star_catalogue.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "astro/frames.h"
#include "maps/canvas.h"
#include "platform/ui.h"

namespace {

bool isBlank(const std::string& line)
{
    return std::all_of(line.begin(), line.end(), [](unsigned char c) { return std::isspace(c); });
}

// A star from "ra dec mag" and nothing else; nullopt for any other line.
std::optional<Star> parseStar(const std::string& line)
{
    Star star;
    int consumed = 0;
    if (std::sscanf(line.c_str(), "%lf %lf %lf %n", &star.raDeg, &star.decDeg, &star.mag,
                    &consumed) != 3 ||
        static_cast<std::size_t>(consumed) != line.size())
        return std::nullopt;
    if (!std::isfinite(star.raDeg) || !std::isfinite(star.decDeg) || !std::isfinite(star.mag))
        return std::nullopt;
    EquatorialToEcliptic(kObliquityJ2000Rad, star.raDeg, star.decDeg, star.lonDeg, star.latDeg);
    return star;
}

} // namespace

std::vector<std::string> starCatalogueFolders(const std::string& startupFolder,
                                              const std::string& executableFolder)
{
    // An installed program finds its data beside its bin folder wherever it was installed
    // (a package's prefix need not be the one the build was configured with).
    return {startupFolder, executableFolder, executableFolder + "/../share/orvantella",
            ORVANTELLA_DATA_DIR};
}

std::optional<std::string> findStarCatalogueFolder(const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders) {
        std::error_code error;
        if (std::filesystem::is_regular_file(folder + "/" + kStarCatalogueFileName, error))
            return folder;
    }
    return std::nullopt;
}

StarCatalogue loadStarCatalogue(const std::string& folder)
{
    std::ifstream in(folder + "/" + kStarCatalogueFileName);
    if (!in)
        fatal("VexoStarMap.txt was not exist");
    StarCatalogue stars;
    int skipped = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (isBlank(line))
            continue;
        if (stars.size() == kMaxStars) {
            message("%s: only the first %zu stars are read", kStarCatalogueFileName, kMaxStars);
            break;
        }
        if (const std::optional<Star> star = parseStar(line))
            stars.push_back(*star);
        else
            ++skipped;
    }
    if (skipped > 0)
        message("%s: %d lines skipped, not three numbers", kStarCatalogueFileName, skipped);
    return stars;
}

int starMarkerSize(double mag)
{
    // Bounded before the conversion: the catalogue may hold any finite magnitude.
    const double size = std::trunc(5 - mag);
    if (size >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return size < 1 ? 1 : static_cast<int>(size);
}

void drawStar(Canvas& canvas, int x, int y, double mag, double magLimit)
{
    if (mag > magLimit)
        return;
    canvas.setColor(kStarColor);
    canvas.plotMarker(x, y, starMarkerSize(mag));
}
