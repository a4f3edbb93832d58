#pragma once
// The density view of the radiant and sky maps: radiants counted per cell of
// the map's frame and each cell shown in a perceptually uniform colour scale
// (light to dark greys in black-and-white mode), with a count legend.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "maps/map_colors.h"
#include "maps/map_projection.h"

class Canvas;

struct DensityOptions {
    bool on = false;
    double cellDeg = 1.0; // limited to kMinCellDeg .. kMaxCellDeg
    bool logScale = false;
};
inline constexpr double kMinCellDeg = 0.1;
inline constexpr double kMaxCellDeg = 30.0;

// Counts on a grid of cells of cellDeg in longitude and latitude, the
// longitude from 0, the latitude from -90.
class DensityGrid {
public:
    explicit DensityGrid(double cellDeg);
    double cellDeg() const { return m_cellDeg; }
    int cellCount() const { return m_lonCells * m_latCells; }
    // The cell of a direction; -1 for a non-finite one.
    int cellOf(double lonDeg, double latDeg) const;
    void add(double lonDeg, double latDeg);
    void merge(const DensityGrid& other);
    std::uint32_t count(int cell) const { return m_counts[static_cast<std::size_t>(cell)]; }
    std::uint32_t maxCount() const;

private:
    double m_cellDeg;
    double m_perDeg;
    int m_lonCells;
    int m_latCells;
    std::vector<std::uint32_t> m_counts;
};

// Counts the directions that `direction` gives for indexes 0 .. count-1
// (none for an index it skips), on both cores.
DensityGrid countDirections(std::size_t count, double cellDeg,
                            const std::function<std::optional<SkyPoint>(std::size_t)>& direction);

// The colour of a cell holding `count` of at most `maxCount`; linear or
// logarithmic in the count. Empty cells are not coloured.
Rgb densityColor(std::uint32_t count, std::uint32_t maxCount, bool logScale, bool blackAndWhite);

// The directions (in the grid's frame) of the pixels of canvas row y, x from 0;
// none for pixels off the map.
using RowDirections = std::function<void(int y, std::vector<std::optional<SkyPoint>>& row)>;

// Fills every pixel whose direction lies in a non-empty cell.
void drawDensity(Canvas& canvas, const DensityGrid& grid, bool logScale,
                 const RowDirections& rowDirections);
// The colour bar and its counts at the right edge, "n/cell" above; records its box.
void drawDensityLegend(Canvas& canvas, std::uint32_t maxCount, bool logScale);
