#pragma once
// The densest-orbit clustering of a list of candidates. Whether two candidates are similar
// depends only on their fields, the parameters and their order in the list, never on the
// cycle; so the neighbour graph is built once (a sweep in solar longitude on both cores), each
// cycle takes the leftmost candidate with the most live neighbours, and removing candidates
// only lowers their neighbours' counts.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "astro/vec3.h"
#include "cluster/cluster_similarity.h"

// One stream of a cycle.
struct ClusterStream {
    int centre = -1;          // candidate index of the densest orbit
    int count = 0;            // its live neighbour count
    std::vector<int> members; // candidates similar to the centre, in list order
};

class ClusterEngine {
public:
    // The candidates in list order; the parameters as clampedClusterParams() leaves them.
    ClusterEngine(std::vector<ClusterOrbit> orbits, const ClusterParams& params);

    int candidateCount() const { return static_cast<int>(m_orbits.size()); }
    // Candidates not yet linked or dropped.
    int liveCount() const { return m_live; }

    // Finds every similar pair. stopRequested is polled often, from both threads; progress
    // gets the number of candidates swept so far, from the calling thread. False when stopped.
    bool buildGraph(const std::function<bool()>& stopRequested,
                    const std::function<void(int)>& progress);
    // The next cycle's stream, then the candidates leave that are linked to it, the centre
    // itself, and those whose count was below the minimum in this cycle. Nothing when no
    // candidate is left or the densest count is below the minimum.
    std::optional<ClusterStream> nextStream();

    // Undirected edges found by buildGraph (each pair once).
    std::int64_t edgeCount() const { return static_cast<std::int64_t>(m_neighbours.size()) / 2; }

private:
    // What the cheap rejections read of each candidate.
    struct Prepared {
        VelocityWindow window;
        Vec3 radiant; // unit vector
    };
    using Edge = std::pair<std::int32_t, std::int32_t>;

    void prepare();
    bool similarFast(int centre, int other, double solDistance) const;
    void sweepFrom(int position, std::vector<Edge>& edges) const;
    void testExceptional(int exceptionalIndex, std::vector<Edge>& edges) const;
    void buildAdjacency(const std::vector<std::vector<Edge>>& parts);
    std::vector<int> membersOf(int centre) const;
    void remove(const std::vector<int>& leaving);
    void combineDensest(int node);
    void updateDensest(int candidate);

    std::vector<ClusterOrbit> m_orbits;
    ClusterParams m_params;
    std::vector<Prepared> m_prepared;
    // Candidates of ordinary sol, sorted by sol in [0, 360), and each one's place there (-1
    // for the others, whose sol is not finite or too large to compare cheaply).
    std::vector<std::int32_t> m_bySol;
    std::vector<double> m_sortedSol;
    std::vector<std::int32_t> m_placeBySol;
    std::vector<std::int32_t> m_exceptional;
    double m_window = 0; // the sweep's sol half-width, a little wider than S

    std::vector<std::int64_t> m_firstNeighbour; // CSR offsets, one more than candidates
    std::vector<std::int32_t> m_neighbours;

    std::vector<std::int32_t> m_count;
    std::vector<char> m_alive;
    std::vector<std::int32_t> m_pendingLow; // counts that fell below the minimum
    std::vector<std::int32_t> m_tree;       // leftmost live maximum of each subtree
    int m_leaves = 1;
    int m_live = 0;
};
