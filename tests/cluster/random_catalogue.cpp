// Random catalogues for the clustering tests.
#include "random_catalogue.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace {

class Draw {
public:
    explicit Draw(std::uint32_t seed) : m_random(seed) {}
    double uniform(double low, double high)
    {
        return std::uniform_real_distribution<double>(low, high)(m_random);
    }
    double normal(double mean, double spread)
    {
        return std::normal_distribution<double>(mean, spread)(m_random);
    }
    bool chance(double share) { return uniform(0, 1) < share; }
    int index(int size) { return std::uniform_int_distribution<int>(0, size - 1)(m_random); }

private:
    std::mt19937 m_random;
};

float wrap360(double deg) { return static_cast<float>(std::fmod(deg + 720.0, 360.0)); }

ClusterOrbit sporadic(Draw& draw)
{
    return {static_cast<float>(draw.uniform(0, 360)),   static_cast<float>(draw.uniform(0, 360)),
            static_cast<float>(draw.uniform(-60, 89)),  static_cast<float>(draw.uniform(11, 72)),
            static_cast<float>(draw.uniform(0.1, 1.2)), static_cast<float>(draw.uniform(0.05, 1)),
            static_cast<float>(draw.uniform(0, 180)),   static_cast<float>(draw.uniform(0, 360)),
            static_cast<float>(draw.uniform(0, 360))};
}

// A member of the shower around centre: a few degrees and a few percent apart.
ClusterOrbit member(Draw& draw, const ClusterOrbit& centre)
{
    return {wrap360(draw.normal(centre.sol, 3)),
            wrap360(draw.normal(centre.ra, 1.5)),
            static_cast<float>(std::clamp(draw.normal(centre.dec, 1.5), -90.0, 90.0)),
            static_cast<float>(draw.normal(centre.vg, 1)),
            static_cast<float>(std::fabs(draw.normal(centre.e, 0.02))),
            static_cast<float>(std::fabs(draw.normal(centre.q, 0.01))),
            static_cast<float>(draw.normal(centre.incl, 1)),
            wrap360(draw.normal(centre.node, 2)),
            wrap360(draw.normal(centre.peri, 2))};
}

float* field(ClusterOrbit& orbit, int which)
{
    float* fields[] = {&orbit.sol, &orbit.ra,   &orbit.dec,  &orbit.vg,  &orbit.e,
                       &orbit.q,   &orbit.incl, &orbit.node, &orbit.peri};
    return fields[which];
}

void spoil(Draw& draw, const CatalogueShape& shape, ClusterOrbit& orbit)
{
    constexpr float kInf = std::numeric_limits<float>::infinity();
    if (draw.chance(shape.nonFiniteShare)) {
        const float values[] = {std::numeric_limits<float>::quiet_NaN(), kInf, -kInf};
        *field(orbit, draw.index(9)) = values[draw.index(3)];
    }
    if (draw.chance(shape.negativeVgShare))
        orbit.vg = -orbit.vg;
    if (draw.chance(shape.oddSolShare)) {
        const float offsets[] = {-360.0f, 360.0f, 720.0f, 36000.0f};
        orbit.sol += offsets[draw.index(4)];
    }
    if (draw.chance(shape.circularShare))
        (draw.chance(0.5) ? orbit.e : orbit.q) = 0.0f;
}

} // namespace

std::vector<ClusterOrbit> randomCatalogue(const CatalogueShape& shape, std::uint32_t seed)
{
    Draw draw(seed);
    std::vector<ClusterOrbit> centres;
    for (int s = 0; s < shape.showers; ++s) {
        ClusterOrbit centre = sporadic(draw);
        if (shape.nearSolZero)
            centre.sol = wrap360(draw.uniform(-4, 4));
        centres.push_back(centre);
    }
    std::vector<ClusterOrbit> orbits;
    for (int i = 0; i < shape.orbits; ++i) {
        if (!orbits.empty() && draw.chance(shape.duplicateShare)) {
            orbits.push_back(
                orbits[static_cast<std::size_t>(draw.index(static_cast<int>(orbits.size())))]);
            continue;
        }
        ClusterOrbit orbit = !centres.empty() && draw.chance(shape.showerShare)
                                 ? member(draw, centres[static_cast<std::size_t>(
                                                    draw.index(static_cast<int>(centres.size())))])
                                 : sporadic(draw);
        spoil(draw, shape, orbit);
        orbits.push_back(orbit);
    }
    return orbits;
}
