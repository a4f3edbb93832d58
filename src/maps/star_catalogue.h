#pragma once
// The maps' star catalogue, read once at start from "VexoStarMap.txt", and
// the drawing of one star.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class Canvas;

inline constexpr std::size_t kMaxStars = 10000;
inline constexpr const char* kStarCatalogueFileName = "VexoStarMap.txt";

struct Star {
    double raDeg = 0;
    double decDeg = 0;
    double mag = 0;
    double lonDeg = 0; // ecliptic, J2000
    double latDeg = 0;
};

using StarCatalogue = std::vector<Star>;

// Where the catalogue is looked for, in order: the start-up folder, the
// executable's folder, the data folder installed beside it, the data folder
// of the configured installation prefix.
std::vector<std::string> starCatalogueFolders(const std::string& startupFolder,
                                              const std::string& executableFolder);
// The first of folders that holds the catalogue.
std::optional<std::string> findStarCatalogueFolder(const std::vector<std::string>& folders);

// Reads folder/VexoStarMap.txt, one star per line "ra dec mag" (degrees,
// visual magnitude). A missing file is fatal. Lines that are not three
// numbers are skipped and reported in one message; after 10000 stars the
// rest is not read, with one message.
StarCatalogue loadStarCatalogue(const std::string& folder);

// trunc(5 - mag), at least 1.
int starMarkerSize(double mag);
// A star at canvas (x, y) in the star colour, when mag is not above magLimit.
void drawStar(Canvas& canvas, int x, int y, double mag, double magLimit);
