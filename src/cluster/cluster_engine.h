#pragma once
// The densest-orbit clustering of a list of candidates. Whether two candidates are similar
// depends only on their fields, the parameters and their order in the list, never on the
// cycle; so every candidate's neighbours are counted once (a sweep in solar longitude on both
// cores), each cycle takes the leftmost candidate with the most live neighbours, and removing
// candidates only lowers their live neighbours' counts. Neighbours are found again by the
// same sweep when a candidate leaves rather than kept: a dense shower has tens of millions of
// similar pairs.

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
    // Similar pairs among all candidates, known once the counts are built.
    std::int64_t pairCount() const { return m_pairs; }

    // Counts every candidate's similar pairs. stopRequested is polled often, from both
    // threads; progress gets the number of candidates swept so far, from the calling thread.
    // False when stopped.
    bool buildCounts(const std::function<bool()>& stopRequested,
                     const std::function<void(int)>& progress);
    // The next cycle's stream, then the candidates leave that are linked to it, the centre
    // itself, and those whose count was below the minimum in this cycle. Nothing when no
    // candidate is left or the densest count is below the minimum.
    std::optional<ClusterStream> nextStream();

private:
    // A candidate of ordinary sol, as the sweep reads it: in sol order, so that the window
    // around a place is read from consecutive memory.
    struct SweepEntry {
        float sol; // in [0, 360)
        float vg;
        float radiant[3]; // unit vector
        std::int32_t index;
        ClusterVelocityWindow window;
        double e, q;
    };
    // What the D' estimate reads of each candidate.
    struct Directions {
        Vec3 normal;     // of the orbital plane
        Vec3 perihelion; // unit vector of the perihelion direction
    };

    void prepare();
    bool similarFast(const SweepEntry& centre, const SweepEntry& other, double solDistance) const;
    // Whether the pair is similar, the earlier candidate as the centre; entries are nullptr for
    // candidates outside the sweep, and then (or with solDistance < 0) the exact tests decide.
    bool pairSimilar(int x, const SweepEntry* ex, int y, const SweepEntry* ey,
                     double solDistance) const;
    const SweepEntry* entryOf(int candidate) const;
    void sweepFrom(int position, std::vector<std::int32_t>& counts) const;
    // visit(place, solDistance) for every place of the band within the sol window, each once.
    template <class Visit> void forEachNear(int band, double solDeg, Visit&& visit) const;
    void countExceptional(int exceptionalIndex, std::vector<std::int32_t>& counts) const;
    // visit(i, entry, solDistance) for the centre itself and every candidate whose sol may lie
    // within S of the centre's, each once, until visit returns true.
    template <class Visit> void forEachInWindow(int centre, Visit&& visit) const;
    std::vector<int> membersOf(int centre) const;
    void remove(const std::vector<int>& leaving);
    void startCycles(const std::vector<std::vector<std::int32_t>>& parts);
    void combineDensest(int node);
    void updateDensest(int candidate);

    std::vector<ClusterOrbit> m_orbits;
    ClusterParams m_params;
    // The candidates of ordinary sol and declination, by declination band and by sol within
    // each band, and each candidate's place there (-1 for the others, whose sol or dec is not
    // finite or out of range, which only the exact tests can compare). A band is at least R
    // wide, so similar radiants lie in the same or neighbouring bands.
    std::vector<SweepEntry> m_sweep;
    std::vector<std::int32_t> m_bandStart; // first place of each band, and the end
    std::vector<std::int32_t> m_bandOfPlace;
    std::vector<Directions> m_directions; // of m_sweep's entries
    std::vector<std::int32_t> m_placeBySol;
    std::vector<std::int32_t> m_exceptional;
    double m_window = 0;                   // the sweep's sol half-width, a little wider than S
    double m_cosOuter = 0, m_cosInner = 2; // radiant cosines surely outside, surely inside R

    std::int64_t m_pairs = 0;
    std::vector<std::int32_t> m_count;
    std::vector<char> m_alive;
    std::vector<char> m_touched;            // counts changed by the removal under way
    std::vector<std::int32_t> m_pendingLow; // counts that fell below the minimum
    std::vector<std::int32_t> m_tree;       // leftmost live maximum of each subtree
    int m_leaves = 1;
    int m_live = 0;
};
