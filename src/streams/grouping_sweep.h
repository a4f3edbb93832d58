#pragma once
// The fast path of the all-stream grouping runs: the eligible orbits sorted by solar longitude,
// so that each stream visits only the orbits of its window, with cheap bounds that skip orbits
// too far away before the exact tests decide.

#include <optional>
#include <utility>
#include <vector>

#include "streams/stream_grouping.h"

// What an R-vg run tests an orbit with.
struct RadiantProbe {
    DriftingRadiant radiant;
    VelocityWindow velocity;
    double limitDeg;
};

// What a D' run tests an orbit with (its sol window aside).
struct DPrimeProbe {
    DPrimeOrbit typical{};
    double limit = 0.0;
    RadiantProbe radiant{DriftingRadiant(0, 0, 0, 0, 0), {}, 0.0};
    bool withRadiant = false;

    // The orbit's D' when the radiant test (if asked, d <= limit) and D' <= limit pass.
    std::optional<double> match(const CUTABLE& orbits, int row) const;
    bool accepts(const CUTABLE& orbits, int row) const { return match(orbits, row).has_value(); }
};

// The nearest qualifying stream of an orbit so far.
struct RvgChoice {
    double bestDeg = 99.9;
    int streamRow = -1;
};

// The smallest D' of an orbit so far, as the DD cell holds it.
struct DPrimeBest {
    float dprime = 99.0f;
    int streamRow = -1;
};

struct MatchedOrbit {
    int index; // in the sweep
    int orbitRow;
    float dprime;
};

class OrbitSweep {
public:
    // The eligible orbits with a solar longitude; with elements, also what D' needs.
    OrbitSweep(const Database& db, bool withElements);
    std::size_t size() const { return m_points.size(); }

    // Updates each orbit's choice with this stream, as a scan of the streams in table order
    // would: nearer than the best so far and below the limit (with pri, only the first).
    void chooseNearest(const RadiantProbe& probe, float sol1, float sol2, int streamRow, bool pri,
                       std::vector<RvgChoice>& choices) const;
    // The orbits of the window that pass the D' probe, in row order.
    std::vector<MatchedOrbit> matchDprime(const DPrimeProbe& probe, float sol1, float sol2) const;

    // (orbit row, stream row) of every orbit with a stream, in row order.
    std::vector<std::pair<int, int>> chosenInRowOrder(const std::vector<RvgChoice>& choices) const;
    std::vector<std::pair<int, DPrimeBest>>
    bestInRowOrder(const std::vector<DPrimeBest>& best) const;

private:
    struct Point {
        float sol, vg, ra, dec;
        int row;
        double x, y, z; // unit vector of the radiant
    };
    struct Elements {
        double e, q;
        double nx, ny, nz; // unit normal of the orbital plane
    };
    using Range = std::pair<std::size_t, std::size_t>;
    std::vector<Range> windowRanges(float sol1, float sol2) const;
    void chooseInBlock(const RadiantProbe& probe, std::size_t first, std::size_t last,
                       int streamRow, bool pri, std::vector<RvgChoice>& choices) const;

    const CUTABLE& m_orbits;
    std::vector<Point> m_points; // by sol, then row
    std::vector<Elements> m_elements;
};
