// The oracle: pair counting from zero in every cycle, over the candidates left.
#include "straightforward_clustering.h"

#include <numeric>

std::vector<ClusterStream> straightforwardClustering(const std::vector<ClusterOrbit>& orbits,
                                                     const ClusterParams& params)
{
    std::vector<ClusterStream> streams;
    std::vector<int> candidates(orbits.size());
    std::iota(candidates.begin(), candidates.end(), 0);
    auto orbit = [&](std::size_t k) -> const ClusterOrbit& { return orbits[candidates[k]]; };
    while (!candidates.empty()) {
        const std::size_t n = candidates.size();
        std::vector<int> count(n, 0);
        for (std::size_t k = 0; k < n; ++k)
            for (std::size_t j = k + 1; j < n; ++j)
                if (similarTo(orbit(k), orbit(j), params)) {
                    ++count[k];
                    ++count[j];
                }
        int densest = -1, densestCount = -1;
        for (std::size_t k = 0; k < n; ++k)
            if (count[k] > densestCount) {
                densest = static_cast<int>(k);
                densestCount = count[k];
            }
        if (densestCount < params.minCount)
            break;
        ClusterStream stream{candidates[densest], densestCount, {}};
        for (std::size_t i = 0; i < n; ++i)
            if (similarTo(orbit(densest), orbit(i), params)) {
                stream.members.push_back(candidates[i]);
                count[i] = -1;
            }
        count[densest] = -1;
        streams.push_back(stream);
        std::vector<int> kept;
        for (std::size_t k = 0; k < n; ++k)
            if (count[k] >= params.minCount)
                kept.push_back(candidates[k]);
        candidates = kept;
    }
    return streams;
}
