#pragma once
// The densest-orbit clustering of a list of candidates. Whether two candidates are similar
// depends only on their fields, the parameters and their order in the list, never on the
// cycle; so every candidate's neighbours are counted once (on every core), each cycle takes
// the leftmost candidate with the most live neighbours, and removing candidates only lowers
// their live neighbours' counts. The candidates sit in a tree of boxes over every field the
// four tests read, and the counts and the losses go pair of boxes by pair of boxes: a pair
// wholly inside each other's similarity regions adds to every count of both at once, one
// wholly outside is skipped, and only the orbits of pairs on the regions' edges are tested
// one by one. A dense shower of tens of thousands of mutually similar orbits is thus counted
// box by box, never pair by pair.

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
    // The candidates in list order; the parameters as clampedClusterParams() leaves them. The
    // work is shared among `threads` threads (0: one per core); the streams never depend on it.
    ClusterEngine(std::vector<ClusterOrbit> orbits, const ClusterParams& params, int threads = 0);

    int candidateCount() const { return static_cast<int>(m_orbits.size()); }
    // Candidates not yet linked or dropped.
    int liveCount() const { return m_live; }
    // Similar pairs among all candidates, known once the counts are built.
    std::int64_t pairCount() const { return m_pairs; }

    // Sets up the tree of boxes, then counts every candidate's similar pairs. stopRequested is
    // polled often, from both threads; progress gets the number of candidates swept so far,
    // from the calling thread. False when stopped.
    bool buildCounts(const std::function<bool()>& stopRequested,
                     const std::function<void(int)>& progress);
    // The next cycle's stream, then the candidates leave that are linked to it, the centre
    // itself, and those whose count was below the minimum in this cycle. Nothing when no
    // candidate is left or the densest count is below the minimum. stopRequested is polled
    // often within the cycle, from both threads; a stop abandons the cycle's stream, and the
    // engine makes none after it.
    std::optional<ClusterStream> nextStream(const std::function<bool()>& stopRequested = [] {
        return false;
    });

private:
    // A candidate of ordinary fields, in tree order.
    struct Entry {
        float sol; // in [0, 360)
        float vg;
        float radiant[3]; // unit vector
        std::int32_t index;
        ClusterVelocityWindow window;
        double e, q;
    };
    // What the D' estimate reads of each entry.
    struct Directions {
        Vec3 normal;     // of the orbital plane
        Vec3 perihelion; // unit vector of the perihelion direction
    };
    static constexpr int kDims = 13; // sol, vg, radiant, e, q, normal, perihelion
    struct Box {
        double low[kDims], high[kDims];
        // The extremes of the velocity windows of its entries' vg: the windows' ends are
        // linear in vg, so they sit at the box's ends.
        double windowLowMin, windowLowMax, windowHighMin, windowHighMax;
    };
    struct Node {
        std::int32_t begin, end;  // entries of the subtree
        std::int32_t left, right; // children, -1 for a leaf
        std::int32_t parent;      // -1 for the root
        std::int32_t firstIndex;  // smallest and largest candidate index below
        std::int32_t lastIndex;
        std::int32_t live; // live entries below
    };
    // The smallest and largest candidate index of a box's entries.
    struct Span {
        std::int32_t first, last;
    };
    static Span spanOf(const Node& node) { return {node.firstIndex, node.lastIndex}; }
    enum class Relation { Outside, Inside, Edge };
    // Whose velocity window decides: the earlier of each pair (neighbour counts) or always the
    // query's (the members of a stream).
    enum class Window { Earlier, Query };

    // False when stopped.
    bool prepare(const std::function<bool()>& stopRequested);
    bool buildTree(const std::function<bool()>& stopRequested);
    void findFrontier();
    // The fields of every entry, and the entries' order, while the tree is built.
    struct TreeBuild {
        const double* scale;
        std::vector<double> features; // kDims per entry
        std::vector<std::int32_t> order;
        const std::function<bool()>& stopRequested;
        bool stopped = false;
    };
    std::int32_t buildNode(std::int32_t begin, std::int32_t end, std::int32_t parent,
                           TreeBuild& build);
    double feature(const Entry& entry, std::size_t place, int dim) const;
    Box pointBox(std::size_t place) const;
    void setWindows(Box& box) const;
    // Whether every pair of two boxes' entries passes the velocity test, or every pair fails.
    struct Fit {
        bool outside, inside;
    };
    static Fit velocityFit(const Box& deciding, const Box& other);
    Relation relation(const Box& a, Span aSpan, const Box& b, Span bSpan, Window window) const;
    Relation dPrimeRelation(const Box& a, const Box& b, bool inside) const;
    bool similarFast(const Entry& centre, const Entry& other, double solDistance) const;
    bool similarAt(std::size_t place, std::size_t other, Window window) const;
    // The exact tests, the earlier candidate as the centre.
    bool pairSimilar(int x, int y) const;
    // visit(i) for every live candidate i in the tree similar to the entry at place (itself
    // excluded with the Earlier window).
    template <class Visit> void search(std::size_t place, Window window, Visit&& visit) const;
    template <class Visit> void forEachExceptional(int candidate, Visit&& visit) const;
    // Neighbour counts gathered by one thread: per candidate, and per node for the boxes whose
    // every entry gains the same count.
    struct Tally {
        std::vector<std::int32_t> candidates;
        std::vector<std::int32_t> nodes;
    };
    struct NodePair {
        std::int32_t a, b;
    };
    std::vector<NodePair> countTasks() const;
    void countPairs(std::int32_t a, std::int32_t b, Tally& tally) const;
    void countLeafPairs(const Node& a, const Node& b, bool same, Tally& tally) const;
    void countExceptional(std::size_t k, Tally& tally) const;
    void addTallies(const std::vector<Tally>& tallies);
    std::vector<int> membersOf(int centre) const;
    // A live candidate's neighbours lost to the candidates leaving.
    struct Loss {
        std::int32_t candidate, amount;
    };
    // False when stopped, the counts then half lowered.
    bool remove(const std::vector<int>& leaving, const std::function<bool()>& stopRequested);
    std::vector<int> markGone(const std::vector<int>& leaving);
    void unmarkGone(int candidate);
    // Nothing when stopped.
    std::optional<std::vector<std::vector<Loss>>>
    findLosses(const std::vector<int>& gone, const std::function<bool()>& stopRequested) const;
    void findLosses(std::int32_t a, std::int32_t b, std::vector<Loss>& losses) const;
    void findLeafLosses(const Node& a, const Node& b, std::vector<Loss>& losses) const;
    void findOwnLosses(int candidate, std::vector<Loss>& losses) const;
    void findExceptionalLosses(int candidate, std::vector<Loss>& losses) const;
    void startCycles();
    void combineDensest(int node);
    void updateDensest(int candidate);

    std::vector<ClusterOrbit> m_orbits;
    ClusterParams m_params;
    int m_threads;
    // The candidates of ordinary fields in tree order, and each candidate's place there (-1
    // for the others, whose fields are not finite or out of range, which only the exact tests
    // can compare).
    std::vector<Entry> m_entries;
    std::vector<Directions> m_directions; // of m_entries
    std::vector<Box> m_boxes;             // of m_nodes
    std::vector<Node> m_nodes;
    std::vector<std::int32_t> m_leafOfPlace;
    std::vector<std::int32_t> m_place;
    std::vector<std::int32_t> m_exceptional;
    std::vector<std::int32_t> m_frontier;  // the boxes whose pairs are shared between threads
    double m_cosOuter = 0, m_cosInner = 2; // radiant cosines surely outside, surely inside R

    std::int64_t m_pairs = 0;
    std::vector<std::int32_t> m_count;
    std::vector<char> m_alive;
    std::vector<char> m_touched;            // counts changed by the removal under way
    std::vector<char> m_leaving;            // leaving now, with live neighbours to tell
    std::vector<std::int32_t> m_goneBelow;  // of m_nodes: the entries leaving now, so flagged
    std::vector<std::int32_t> m_pendingLow; // counts that fell below the minimum
    std::vector<std::int32_t> m_tree;       // leftmost live maximum of each subtree
    int m_leaves = 1;
    int m_live = 0;
    bool m_stopped = false; // within the set-up or a cycle, which left the engine half made
};
