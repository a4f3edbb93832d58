// Counting radiants per cell and colouring the cells.
#include "maps/density_map.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "maps/bitmap_font.h"
#include "maps/canvas.h"
#include "maps/map_layers.h"

namespace {

// Nine evenly spaced stops of the viridis scale (dark violet to yellow),
// between which the colour runs linearly: perceptually uniform and readable
// by colour-blind eyes.
constexpr std::array<Rgb, 9> kViridisStops{{{68, 1, 84},
                                            {71, 45, 123},
                                            {59, 82, 139},
                                            {44, 114, 142},
                                            {33, 145, 140},
                                            {40, 174, 128},
                                            {94, 201, 98},
                                            {173, 220, 48},
                                            {253, 231, 37}}};
constexpr int kLegendLeftFromRight = 45;
constexpr int kLegendLabelFromRight = 28;
constexpr int kLegendBarTop = 20;
constexpr int kLegendBarHeight = 160;
constexpr int kLegendBarWidth = 15;
constexpr int kLegendLabels = 5;
constexpr int kLegendTitleChars = 8;

Rgb viridis(double t)
{
    const double at = std::clamp(t, 0.0, 1.0) * (kViridisStops.size() - 1);
    const std::size_t low = std::min(static_cast<std::size_t>(at), kViridisStops.size() - 2);
    const double f = at - static_cast<double>(low);
    const auto mix = [f](std::uint8_t a, std::uint8_t b) {
        return static_cast<std::uint8_t>(std::lround(a + (b - a) * f));
    };
    const Rgb& a = kViridisStops[low];
    const Rgb& b = kViridisStops[low + 1];
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

// Where a count sits on the scale, 0 .. 1.
double scalePosition(double count, std::uint32_t maxCount, bool logScale)
{
    if (maxCount <= 1)
        return 1.0;
    return logScale ? std::log1p(count) / std::log1p(static_cast<double>(maxCount))
                    : count / static_cast<double>(maxCount);
}

// The count shown at a position of the scale.
double countAt(double t, std::uint32_t maxCount, bool logScale)
{
    return logScale ? std::expm1(t * std::log1p(static_cast<double>(maxCount))) : t * maxCount;
}

// At most four characters, so that the label stays right of the bar.
std::string compactCount(double n)
{
    char text[16];
    if (n < 999.5)
        std::snprintf(text, sizeof text, "%.0f", std::max(n, 1.0));
    else if (n < 999500)
        std::snprintf(text, sizeof text, "%.0fk", n / 1000);
    else
        std::snprintf(text, sizeof text, "%.0fM", std::min(n / 1e6, 999.0));
    return text;
}

} // namespace

DensityGrid::DensityGrid(double cellDeg)
    : m_cellDeg(std::clamp(std::isfinite(cellDeg) ? cellDeg : 1.0, kMinCellDeg, kMaxCellDeg)),
      m_perDeg(1.0 / m_cellDeg), m_lonCells(static_cast<int>(std::ceil(360.0 * m_perDeg))),
      m_latCells(static_cast<int>(std::ceil(180.0 * m_perDeg))),
      m_counts(static_cast<std::size_t>(m_lonCells) * static_cast<std::size_t>(m_latCells), 0)
{
}

int DensityGrid::cellOf(double lonDeg, double latDeg) const
{
    if (!std::isfinite(lonDeg) || !std::isfinite(latDeg))
        return -1;
    double lon = std::fmod(lonDeg, 360.0);
    if (lon < 0)
        lon += 360.0;
    const int column = std::min(static_cast<int>(lon * m_perDeg), m_lonCells - 1);
    const int row = std::clamp(
        static_cast<int>((std::clamp(latDeg, -90.0, 90.0) + 90.0) * m_perDeg), 0, m_latCells - 1);
    return row * m_lonCells + column;
}

void DensityGrid::add(double lonDeg, double latDeg)
{
    const int cell = cellOf(lonDeg, latDeg);
    if (cell >= 0)
        ++m_counts[static_cast<std::size_t>(cell)];
}

void DensityGrid::merge(const DensityGrid& other)
{
    for (std::size_t i = 0; i < m_counts.size() && i < other.m_counts.size(); ++i)
        m_counts[i] += other.m_counts[i];
}

std::uint32_t DensityGrid::maxCount() const
{
    return m_counts.empty() ? 0 : *std::max_element(m_counts.begin(), m_counts.end());
}

DensityGrid countDirections(std::size_t count, double cellDeg,
                            const std::function<std::optional<SkyPoint>(std::size_t)>& direction)
{
    std::array<DensityGrid, 2> grids{DensityGrid(cellDeg), DensityGrid(cellDeg)};
    parallelSlices(count, [&](std::size_t begin, std::size_t end) {
        DensityGrid& mine = grids[begin == 0 ? 0 : 1];
        for (std::size_t i = begin; i < end; ++i)
            if (const std::optional<SkyPoint> p = direction(i))
                mine.add(p->lonDeg, p->latDeg);
    });
    grids[0].merge(grids[1]);
    return std::move(grids[0]);
}

Rgb densityColor(std::uint32_t count, std::uint32_t maxCount, bool logScale, bool blackAndWhite)
{
    const double t = scalePosition(count, maxCount, logScale);
    if (blackAndWhite) {
        const auto grey = static_cast<std::uint8_t>(std::lround(224.0 * (1.0 - t)));
        return {grey, grey, grey};
    }
    return viridis(t);
}

void drawDensity(Canvas& canvas, const DensityGrid& grid, bool logScale,
                 const RowDirections& rowDirections)
{
    const int width = canvas.maxX() + 1;
    const int height = canvas.maxY() + 1;
    // The cell under every pixel on both cores; the painting on one.
    std::vector<int> cells(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), -1);
    parallelSlices(
        static_cast<std::size_t>(height),
        [&](std::size_t begin, std::size_t end) {
            std::vector<std::optional<SkyPoint>> row(static_cast<std::size_t>(width));
            for (std::size_t y = begin; y < end; ++y) {
                rowDirections(static_cast<int>(y), row);
                for (std::size_t x = 0; x < row.size(); ++x)
                    if (row[x])
                        cells[y * row.size() + x] = grid.cellOf(row[x]->lonDeg, row[x]->latDeg);
            }
        },
        2);
    // Many pixels share a count: each count's colour is worked out once.
    const std::uint32_t maxCount = grid.maxCount();
    std::vector<std::optional<Rgb>> colorOfCount(static_cast<std::size_t>(maxCount) + 1);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (cells[i] < 0)
            continue;
        const std::uint32_t n = grid.count(cells[i]);
        if (n == 0)
            continue;
        std::optional<Rgb>& color = colorOfCount[n];
        if (!color)
            color = densityColor(n, maxCount, logScale, canvas.blackAndWhite());
        canvas.setColor(*color);
        canvas.plotPointTrueColor(static_cast<int>(i % static_cast<std::size_t>(width)),
                                  static_cast<int>(i / static_cast<std::size_t>(width)));
    }
}

void drawDensityLegend(Canvas& canvas, std::uint32_t maxCount, bool logScale)
{
    const int left = canvas.maxX() - kLegendLeftFromRight;
    const int bottom = canvas.maxY() + 1 - kLegendBarTop - kLegendBarHeight;
    for (int k = 0; k < kLegendBarHeight; ++k) {
        const double t = (k + 0.5) / kLegendBarHeight;
        const double n = countAt(t, maxCount, logScale);
        canvas.setColor(densityColor(static_cast<std::uint32_t>(std::lround(std::max(n, 1.0))),
                                     maxCount, logScale, canvas.blackAndWhite()));
        for (int x = left; x < left + kLegendBarWidth; ++x)
            canvas.plotPointTrueColor(x, bottom + k);
    }
    const int boxLeft = std::min(left, canvas.maxX() + 1 - kLegendTitleChars * kGlyphAdvance);
    canvas.labels().record({boxLeft, 0, canvas.maxX(), kLegendBarTop + kLegendBarHeight + 6},
                           BoxKind::Legend, "density legend");
    canvas.setColor(kWhite);
    canvas.drawTextAt(boxLeft, 0, logScale ? "log n" : "n/cell", TextAlign::Left);
    for (int i = 0; i < kLegendLabels; ++i) {
        const double t = static_cast<double>(i) / (kLegendLabels - 1);
        const int row = kLegendBarTop + kLegendBarHeight - static_cast<int>(t * kLegendBarHeight);
        canvas.drawTextAt(canvas.maxX() - kLegendLabelFromRight, row - kGlyphHeight / 2,
                          "-" + compactCount(countAt(t, maxCount, logScale)), TextAlign::Left);
    }
}
