// The clustering engine: neighbour counts from a tree of boxes, then the cycles over live counts.
#include "cluster/cluster_engine.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

#include "astro/angles.h"
#include "astro/frames.h"
#include "astro/similarity.h"

namespace {

// The sweep reads sol from the sorted copies, which differ from AbsAngleDiff's single-precision
// arithmetic by far less than this (both below 2e-4 degrees for |sol| <= kOrdinarySol).
constexpr double kSolMargin = 0.01;
constexpr float kOrdinarySol = 1000.0f;
// Radiant cosines from single-precision unit vectors differ from AngularDistance's by under
// 1e-6; the plane and perihelion cosines from double vectors differ from DPrime's by about
// 1e-15, so the angles by at most 3e-6 degrees (near 0 and 180, where the arc cosine is
// steep), which moves D' by less than 1e-7.
constexpr double kRadiantMarginDeg = 0.001;
constexpr double kCosineMargin = 1e-6;
constexpr double kDPrimeMargin = 1e-6;
constexpr int kChunk = 64;
constexpr int kLeafSize = 16;
// Fewer leaving candidates than this are searched on one thread.
constexpr std::size_t kParallelRemoval = 256;

Vec3 unitVector(double lonRad, double latRad)
{
    return {std::cos(latRad) * std::cos(lonRad), std::cos(latRad) * std::sin(lonRad),
            std::sin(latRad)};
}

Vec3 planeNormal(double inclRad, double nodeRad)
{
    return {std::sin(inclRad) * std::sin(nodeRad), -std::sin(inclRad) * std::cos(nodeRad),
            std::cos(inclRad)};
}

Vec3 perihelionDirection(const ClusterOrbit& o)
{
    double lon = 0, lat = 0;
    PerihelionDirection(o.peri * kDegToRad, o.incl * kDegToRad, lon, lat);
    return unitVector(o.node * kDegToRad + lon, lat);
}

// The eccentricity or perihelion term of D', as DPrime forms it.
double relativeTerm(double x1, double x2)
{
    const double sum = x1 + x2;
    return sum == 0.0 ? 0.0 : (x1 - x2) / sum;
}

double angleDeg(double cosine) { return std::acos(SnapUnit(cosine)) * kRadToDeg; }

// Bounds of the angle (degrees) of a cosine without the arc cosine: with s = sin(angle / 2),
// 2 s <= angle <= 2 s / sqrt(1 - s^2).
struct AngleBounds {
    double low, high;
};
AngleBounds angleBoundsDeg(double cosine)
{
    // A cosine that is not a number stays one, and so do the bounds.
    double s2 = (1.0 - cosine) / 2.0;
    if (s2 < 0.0)
        s2 = 0.0;
    const double low = 2.0 * std::sqrt(s2) * kRadToDeg;
    return {low, s2 < 1.0 ? low / std::sqrt(1.0 - s2) : 360.0};
}

double circularDistance(double a, double b)
{
    const double d = std::fabs(a - b);
    return d > 180.0 ? 360.0 - d : d;
}

} // namespace

ClusterEngine::ClusterEngine(std::vector<ClusterOrbit> orbits, const ClusterParams& params)
    : m_orbits(std::move(orbits)), m_params(params)
{
    prepare();
}

namespace {

bool ordinary(const ClusterOrbit& o)
{
    const float fields[] = {o.sol, o.ra, o.dec, o.vg, o.e, o.q, o.incl, o.node, o.peri};
    for (const float field : fields)
        if (!std::isfinite(field))
            return false;
    return std::fabs(o.sol) <= kOrdinarySol && std::fabs(o.dec) <= 90.0f && o.e >= 0.0f &&
           o.q >= 0.0f;
}

// The distances along the circle from sol to the nearest and the farthest point of [low, high].
struct CircularRange {
    double nearest, farthest;
};
CircularRange circularRange(double sol, double low, double high)
{
    const double toLow = circularDistance(sol, low), toHigh = circularDistance(sol, high);
    const double antipode = sol >= 180.0 ? sol - 180.0 : sol + 180.0;
    return {sol >= low && sol <= high ? 0.0 : std::min(toLow, toHigh),
            antipode >= low && antipode <= high ? 180.0 : std::max(toLow, toHigh)};
}

// Squared distances from a point to the nearest and the farthest point of a box.
struct ChordRange {
    double nearSq = 0, farSq = 0;
};
ChordRange chordRange(const double* point, const double* low, const double* high)
{
    ChordRange r;
    for (int k = 0; k < 3; ++k) {
        const double u = point[k];
        const double near = u < low[k] ? low[k] - u : (u > high[k] ? u - high[k] : 0.0);
        const double far = std::max(u - low[k], high[k] - u);
        r.nearSq += near * near;
        r.farSq += far * far;
    }
    return r;
}

// The angle (degrees) between unit vectors a chord apart.
double chordAngleDeg(double chordSq)
{
    return 2.0 * std::asin(std::min(1.0, std::sqrt(chordSq) / 2.0)) * kRadToDeg;
}

// The least and the largest |x - y| / (x + y) for y in [low, high], all at least 0: it falls
// towards y = x from either side.
struct TermRange {
    double low, high;
};
TermRange relativeRange(double x, double low, double high)
{
    const double atLow = std::fabs(relativeTerm(x, low)), atHigh = std::fabs(relativeTerm(x, high));
    return {x >= low && x <= high ? 0.0 : std::min(atLow, atHigh), std::max(atLow, atHigh)};
}

} // namespace

void ClusterEngine::prepare()
{
    const int n = candidateCount();
    m_place.assign(static_cast<std::size_t>(n), -1);
    m_alive.assign(static_cast<std::size_t>(n), 1);
    for (int i = 0; i < n; ++i) {
        const ClusterOrbit& o = m_orbits[static_cast<std::size_t>(i)];
        if (!ordinary(o)) {
            m_exceptional.push_back(i);
            continue;
        }
        const Vec3 r = unitVector(o.ra * kDegToRad, o.dec * kDegToRad);
        m_entries.push_back(
            {Normalize360(o.sol),
             o.vg,
             {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.z)},
             i,
             clusterVelocityWindow(o.vg, m_params.V),
             o.e,
             o.q});
    }
    m_cosOuter =
        std::cos(std::min(m_params.R + kRadiantMarginDeg, 180.0) * kDegToRad) - kCosineMargin;
    const double inner = m_params.R - kRadiantMarginDeg;
    m_cosInner = inner > 0 ? std::cos(inner * kDegToRad) + kCosineMargin : 2.0;
    buildTree();
}

double ClusterEngine::feature(const Entry& entry, std::size_t place, int dim) const
{
    const Directions& d = m_directions[place];
    switch (dim) {
    case 0:
        return entry.sol;
    case 1:
        return entry.vg;
    case 2:
    case 3:
    case 4:
        return entry.radiant[dim - 2];
    case 5:
        return entry.e;
    case 6:
        return entry.q;
    case 7:
        return d.normal.x;
    case 8:
        return d.normal.y;
    case 9:
        return d.normal.z;
    case 10:
        return d.perihelion.x;
    case 11:
        return d.perihelion.y;
    default:
        return d.perihelion.z;
    }
}

void ClusterEngine::buildTree()
{
    for (const Entry& e : m_entries) {
        const ClusterOrbit& o = m_orbits[static_cast<std::size_t>(e.index)];
        m_directions.push_back(
            {planeNormal(o.incl * kDegToRad, o.node * kDegToRad), perihelionDirection(o)});
    }
    if (m_entries.empty())
        return;
    // Each field's extent within which similar orbits lie, roughly: a node is split across
    // the field it spans most of these.
    const double chordR = 2.0 * std::sin(m_params.R * kDegToRad / 2.0);
    const double planeChord = 2.0 * std::sin(std::min(180.0 * m_params.D, 180.0) * kDegToRad / 2.0);
    const double scale[kDims] = {std::max<double>(m_params.S, 0.5),
                                 std::max(20.0 * m_params.V / 100.0, 0.1),
                                 std::max(chordR, 1e-3),
                                 std::max(chordR, 1e-3),
                                 std::max(chordR, 1e-3),
                                 std::max<double>(m_params.D, 0.01),
                                 std::max(m_params.D * 0.5, 0.005),
                                 std::max(planeChord, 0.01),
                                 std::max(planeChord, 0.01),
                                 std::max(planeChord, 0.01),
                                 std::max(planeChord, 0.01),
                                 std::max(planeChord, 0.01),
                                 std::max(planeChord, 0.01)};
    m_leafOfPlace.assign(m_entries.size(), -1);
    buildNode(0, static_cast<std::int32_t>(m_entries.size()), -1, scale);
    for (std::size_t place = 0; place < m_entries.size(); ++place)
        m_place[static_cast<std::size_t>(m_entries[place].index)] =
            static_cast<std::int32_t>(place);
}

std::int32_t ClusterEngine::buildNode(std::int32_t begin, std::int32_t end, std::int32_t parent,
                                      const double* scale)
{
    const auto self = static_cast<std::int32_t>(m_nodes.size());
    m_nodes.push_back(
        {begin, end, -1, -1, parent, std::numeric_limits<std::int32_t>::max(), -1, end - begin});
    Box box;
    std::fill(std::begin(box.low), std::end(box.low), std::numeric_limits<double>::infinity());
    std::fill(std::begin(box.high), std::end(box.high), -std::numeric_limits<double>::infinity());
    for (std::int32_t p = begin; p < end; ++p) {
        const Entry& e = m_entries[static_cast<std::size_t>(p)];
        m_nodes[static_cast<std::size_t>(self)].firstIndex =
            std::min(m_nodes[static_cast<std::size_t>(self)].firstIndex, e.index);
        m_nodes[static_cast<std::size_t>(self)].lastIndex =
            std::max(m_nodes[static_cast<std::size_t>(self)].lastIndex, e.index);
        for (int d = 0; d < kDims; ++d) {
            const double v = feature(e, static_cast<std::size_t>(p), d);
            box.low[d] = std::min(box.low[d], v);
            box.high[d] = std::max(box.high[d], v);
        }
    }
    m_boxes.push_back(box);
    if (end - begin <= kLeafSize) {
        for (std::int32_t p = begin; p < end; ++p)
            m_leafOfPlace[static_cast<std::size_t>(p)] = self;
        return self;
    }
    int widest = 0;
    for (int d = 1; d < kDims; ++d)
        if ((box.high[d] - box.low[d]) / scale[d] >
            (box.high[widest] - box.low[widest]) / scale[widest])
            widest = d;
    // The entries and their directions move together.
    std::vector<std::int32_t> order(static_cast<std::size_t>(end - begin));
    for (std::size_t k = 0; k < order.size(); ++k)
        order[k] = begin + static_cast<std::int32_t>(k);
    const std::int32_t middle = (end - begin) / 2;
    std::nth_element(
        order.begin(), order.begin() + middle, order.end(), [&](std::int32_t a, std::int32_t b) {
            return feature(m_entries[static_cast<std::size_t>(a)], static_cast<std::size_t>(a),
                           widest) < feature(m_entries[static_cast<std::size_t>(b)],
                                             static_cast<std::size_t>(b), widest);
        });
    std::vector<Entry> entries;
    std::vector<Directions> directions;
    for (const std::int32_t p : order) {
        entries.push_back(m_entries[static_cast<std::size_t>(p)]);
        directions.push_back(m_directions[static_cast<std::size_t>(p)]);
    }
    std::copy(entries.begin(), entries.end(), m_entries.begin() + begin);
    std::copy(directions.begin(), directions.end(), m_directions.begin() + begin);
    const std::int32_t left = buildNode(begin, begin + middle, self, scale);
    const std::int32_t right = buildNode(begin + middle, end, self, scale);
    m_nodes[static_cast<std::size_t>(self)].left = left;
    m_nodes[static_cast<std::size_t>(self)].right = right;
    return self;
}

// Conservative: Inside only when every pair of the entry with the box's entries passes all
// four tests with room to spare, Outside only when every pair fails one of them.
ClusterEngine::Relation ClusterEngine::relation(const Node& node, std::size_t nodeIndex,
                                                std::size_t place, Window window) const
{
    const Box& box = m_boxes[nodeIndex];
    const Entry& q = m_entries[place];
    const CircularRange sol = circularRange(q.sol, box.low[0], box.high[0]);
    if (sol.nearest > m_params.S + kSolMargin)
        return Relation::Outside;
    bool inside = sol.farthest <= m_params.S - kSolMargin;

    // The velocity window is the earlier candidate's; the windows of the box's entries are
    // monotone in their vg, so their extremes sit at the box's ends.
    const double vLow = box.low[1], vHigh = box.high[1];
    const bool queryOutside = vHigh < q.window.low || vLow > q.window.high;
    const bool queryInside = q.window.low <= vLow && vHigh <= q.window.high;
    const ClusterVelocityWindow atLow = clusterVelocityWindow(static_cast<float>(vLow), m_params.V);
    const ClusterVelocityWindow atHigh =
        clusterVelocityWindow(static_cast<float>(vHigh), m_params.V);
    const double vg = q.vg;
    const bool boxOutside =
        vg < std::min(atLow.low, atHigh.low) || vg > std::max(atLow.high, atHigh.high);
    const bool boxInside =
        std::max(atLow.low, atHigh.low) <= vg && vg <= std::min(atLow.high, atHigh.high);
    const bool queryWindow = window == Window::Query || node.firstIndex > q.index;
    const bool boxWindow = window == Window::Earlier && node.lastIndex < q.index;
    if (queryWindow ? queryOutside : boxWindow ? boxOutside : queryOutside && boxOutside)
        return Relation::Outside;
    inside = inside && (queryWindow ? queryInside
                        : boxWindow ? boxInside
                                    : queryInside && boxInside);

    const double radiant[3] = {q.radiant[0], q.radiant[1], q.radiant[2]};
    const ChordRange toRadiant = chordRange(radiant, box.low + 2, box.high + 2);
    if (1.0 - toRadiant.nearSq / 2.0 < m_cosOuter)
        return Relation::Outside;
    inside = inside && 1.0 - toRadiant.farSq / 2.0 > m_cosInner;

    const Directions& dq = m_directions[place];
    const TermRange e = relativeRange(q.e, box.low[5], box.high[5]);
    const TermRange qTerm = relativeRange(q.q, box.low[6], box.high[6]);
    const double normal[3] = {dq.normal.x, dq.normal.y, dq.normal.z};
    const double perihelion[3] = {dq.perihelion.x, dq.perihelion.y, dq.perihelion.z};
    const ChordRange plane = chordRange(normal, box.low + 7, box.high + 7);
    const ChordRange peri = chordRange(perihelion, box.low + 10, box.high + 10);
    auto dPrime = [](double eTerm, double qT, double planeDeg, double periDeg, double eSum) {
        const double planeTerm = planeDeg / 180.0, periTerm = periDeg * eSum / 360.0;
        return std::sqrt(eTerm * eTerm + qT * qT + planeTerm * planeTerm + periTerm * periTerm);
    };
    if (dPrime(e.low, qTerm.low, chordAngleDeg(plane.nearSq), chordAngleDeg(peri.nearSq),
               q.e + box.low[5]) > m_params.D + kDPrimeMargin)
        return Relation::Outside;
    inside =
        inside && dPrime(e.high, qTerm.high, chordAngleDeg(plane.farSq), chordAngleDeg(peri.farSq),
                         q.e + box.high[5]) < m_params.D - kDPrimeMargin;
    return inside ? Relation::Inside : Relation::Edge;
}
// The exact tests wherever the cheap ones cannot tell.
bool ClusterEngine::similarFast(const Entry& centre, const Entry& other, double solDistance) const
{
    const ClusterOrbit& c = m_orbits[static_cast<std::size_t>(centre.index)];
    const ClusterOrbit& o = m_orbits[static_cast<std::size_t>(other.index)];
    // c and o are read only where the exact tests decide.
    if (solDistance > m_params.S - kSolMargin && !(AbsAngleDiff(c.sol, o.sol) <= m_params.S))
        return false;
    if (!(centre.window.low <= other.vg && other.vg <= centre.window.high))
        return false;
    const double cosine = static_cast<double>(centre.radiant[0]) * other.radiant[0] +
                          static_cast<double>(centre.radiant[1]) * other.radiant[1] +
                          static_cast<double>(centre.radiant[2]) * other.radiant[2];
    if (cosine < m_cosOuter)
        return false;
    if (!(cosine > m_cosInner) && !(AngularDistance(c.ra, c.dec, o.ra, o.dec) <= m_params.R))
        return false;
    // D' is at least the root of its first two squared terms, summed as DPrime sums them.
    const double eTerm = relativeTerm(centre.e, other.e), qTerm = relativeTerm(centre.q, other.q);
    const double firstTerms = eTerm * eTerm + qTerm * qTerm;
    if (std::sqrt(firstTerms) >= m_params.D)
        return false;
    const Directions& dc = m_directions[static_cast<std::size_t>(&centre - m_entries.data())];
    const Directions& dO = m_directions[static_cast<std::size_t>(&other - m_entries.data())];
    // D' from the angles between the precomputed directions: bounds first, the arc cosines
    // only when the bounds straddle the threshold.
    const double planeCosine = dot(dc.normal, dO.normal);
    const double periCosine = dot(dc.perihelion, dO.perihelion);
    const double periScale = (centre.e + other.e) / 360.0;
    auto estimate = [&](double planeDeg, double periDeg) {
        const double planeTerm = planeDeg / 180.0, periTerm = periDeg * periScale;
        return std::sqrt(firstTerms + planeTerm * planeTerm + periTerm * periTerm);
    };
    const AngleBounds plane = angleBoundsDeg(planeCosine), peri = angleBoundsDeg(periCosine);
    if (estimate(plane.high, peri.high) < m_params.D - kDPrimeMargin)
        return true;
    if (estimate(plane.low, peri.low) > m_params.D + kDPrimeMargin)
        return false;
    const double closer = estimate(angleDeg(planeCosine), angleDeg(periCosine));
    if (closer < m_params.D - kDPrimeMargin)
        return true;
    if (closer > m_params.D + kDPrimeMargin)
        return false;
    return DPrime({c.e, c.q, c.incl, c.node, c.peri}, {o.e, o.q, o.incl, o.node, o.peri}) <
           m_params.D;
}

bool ClusterEngine::similarAt(std::size_t place, std::size_t other, Window window) const
{
    const Entry& a = m_entries[place];
    const Entry& b = m_entries[other];
    const double distance = circularDistance(a.sol, b.sol);
    return window == Window::Query || a.index < b.index ? similarFast(a, b, distance)
                                                        : similarFast(b, a, distance);
}

template <class Visit>
int ClusterEngine::search(std::size_t place, Window window, bool countWhole, Visit&& visit) const
{
    const Entry& q = m_entries[place];
    const bool selfAlive = m_alive[static_cast<std::size_t>(q.index)] != 0;
    int whole = 0;
    std::vector<std::int32_t> stack{0};
    while (!stack.empty()) {
        const std::int32_t n = stack.back();
        stack.pop_back();
        const Node& node = m_nodes[static_cast<std::size_t>(n)];
        if (node.live == 0)
            continue;
        const Relation r = relation(node, static_cast<std::size_t>(n), place, window);
        if (r == Relation::Outside)
            continue;
        const bool holdsSelf = node.begin <= static_cast<std::int32_t>(place) &&
                               static_cast<std::int32_t>(place) < node.end;
        // The query entry is similar to itself when the box is wholly inside; it counts only
        // as a member of its own stream.
        if (r == Relation::Inside && countWhole) {
            whole += node.live - (holdsSelf && selfAlive && window == Window::Earlier ? 1 : 0);
            continue;
        }
        if (r == Relation::Edge && node.left >= 0) {
            stack.push_back(node.right);
            stack.push_back(node.left);
            continue;
        }
        for (std::int32_t p = node.begin; p < node.end; ++p) {
            const auto other = static_cast<std::size_t>(p);
            if (!m_alive[static_cast<std::size_t>(m_entries[other].index)] ||
                (other == place && window == Window::Earlier))
                continue;
            if (r == Relation::Inside || similarAt(place, other, window))
                visit(m_entries[other].index);
        }
    }
    return whole;
}

bool ClusterEngine::pairSimilar(int x, int y) const
{
    return similarTo(m_orbits[static_cast<std::size_t>(std::min(x, y))],
                     m_orbits[static_cast<std::size_t>(std::max(x, y))], m_params);
}

template <class Visit> void ClusterEngine::forEachExceptional(int candidate, Visit&& visit) const
{
    for (const int x : m_exceptional)
        if (x != candidate && m_alive[static_cast<std::size_t>(x)] && pairSimilar(candidate, x))
            visit(x);
}

int ClusterEngine::neighbourCount(int candidate) const
{
    int tested = 0, whole = 0;
    forEachLiveNeighbour(
        candidate, [&](int) { ++tested; }, true, whole);
    return tested + whole;
}

template <class Visit>
void ClusterEngine::forEachLiveNeighbour(int candidate, Visit&& visit, bool countWhole,
                                         int& whole) const
{
    const int place = m_place[static_cast<std::size_t>(candidate)];
    if (place < 0) {
        for (const Entry& e : m_entries)
            if (m_alive[static_cast<std::size_t>(e.index)] && pairSimilar(candidate, e.index))
                visit(e.index);
    } else {
        whole += search(static_cast<std::size_t>(place), Window::Earlier, countWhole, visit);
    }
    forEachExceptional(candidate, visit);
}

std::vector<int> ClusterEngine::membersOf(int centre) const
{
    std::vector<int> members;
    const ClusterOrbit& c = m_orbits[static_cast<std::size_t>(centre)];
    auto add = [&](int i) { members.push_back(i); };
    const int place = m_place[static_cast<std::size_t>(centre)];
    if (place < 0) {
        for (const Entry& e : m_entries)
            if (m_alive[static_cast<std::size_t>(e.index)] &&
                similarTo(c, m_orbits[static_cast<std::size_t>(e.index)], m_params))
                add(e.index);
    } else {
        search(static_cast<std::size_t>(place), Window::Query, false, add);
    }
    // The centre's window, whichever of the two comes first in the list.
    for (const int x : m_exceptional)
        if (m_alive[static_cast<std::size_t>(x)] &&
            similarTo(c, m_orbits[static_cast<std::size_t>(x)], m_params))
            add(x);
    std::sort(members.begin(), members.end());
    return members;
}

bool ClusterEngine::buildCounts(const std::function<bool()>& stopRequested,
                                const std::function<void(int)>& progress)
{
    const int n = candidateCount();
    const int regular = static_cast<int>(m_entries.size());
    m_count.assign(static_cast<std::size_t>(n), 0);
    const int threads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    std::atomic<int> next{0};
    std::atomic<bool> stopped{false};
    // In tree order, so that consecutive queries read the same boxes; each writes only its
    // own candidate's count.
    auto work = [&](bool reporting) {
        for (;;) {
            if (stopped.load() || stopRequested()) {
                stopped.store(true);
                return;
            }
            const int first = next.fetch_add(kChunk);
            if (first >= n)
                return;
            for (int job = first; job < std::min(first + kChunk, n); ++job) {
                const int candidate = job < regular
                                          ? m_entries[static_cast<std::size_t>(job)].index
                                          : m_exceptional[static_cast<std::size_t>(job - regular)];
                m_count[static_cast<std::size_t>(candidate)] = neighbourCount(candidate);
            }
            if (reporting)
                progress(std::min(first + kChunk, n));
        }
    };
    std::vector<std::thread> helpers;
    for (int part = 1; part < threads; ++part)
        helpers.emplace_back(work, false);
    work(true);
    for (std::thread& helper : helpers)
        helper.join();
    if (stopped.load())
        return false;
    startCycles();
    return true;
}

void ClusterEngine::startCycles()
{
    const int n = candidateCount();
    m_touched.assign(static_cast<std::size_t>(n), 0);
    m_live = n;
    m_pairs = 0;
    for (int i = 0; i < n; ++i) {
        m_pairs += m_count[static_cast<std::size_t>(i)];
        if (m_count[static_cast<std::size_t>(i)] < m_params.minCount)
            m_pendingLow.push_back(i);
    }
    m_pairs /= 2;
    while (m_leaves < n)
        m_leaves *= 2;
    m_tree.assign(2 * static_cast<std::size_t>(m_leaves), -1);
    for (int i = 0; i < n; ++i)
        m_tree[static_cast<std::size_t>(m_leaves + i)] = i;
    for (int node = m_leaves - 1; node >= 1; --node)
        combineDensest(node);
}

void ClusterEngine::combineDensest(int node)
{
    const int a = m_tree[2 * static_cast<std::size_t>(node)];
    const int b = m_tree[2 * static_cast<std::size_t>(node) + 1];
    // The left subtree holds the earlier candidates, which win ties.
    int best = a;
    if (a < 0 ||
        (b >= 0 && m_count[static_cast<std::size_t>(b)] > m_count[static_cast<std::size_t>(a)]))
        best = b;
    m_tree[static_cast<std::size_t>(node)] = best;
}

void ClusterEngine::updateDensest(int candidate)
{
    int node = m_leaves + candidate;
    m_tree[static_cast<std::size_t>(node)] =
        m_alive[static_cast<std::size_t>(candidate)] ? candidate : -1;
    for (node /= 2; node >= 1; node /= 2)
        combineDensest(node);
}

std::optional<ClusterStream> ClusterEngine::nextStream()
{
    if (m_live == 0)
        return std::nullopt;
    const int centre = m_tree[1];
    if (centre < 0 || m_count[static_cast<std::size_t>(centre)] < m_params.minCount)
        return std::nullopt;
    ClusterStream stream{centre, m_count[static_cast<std::size_t>(centre)], membersOf(centre)};
    // The centre leaves even when it failed its own tests (a negative vg in a wide velocity
    // window): kept, it would be the densest again in every cycle.
    std::vector<int> leaving = stream.members;
    leaving.push_back(centre);
    leaving.insert(leaving.end(), m_pendingLow.begin(), m_pendingLow.end());
    m_pendingLow.clear();
    remove(leaving);
    return stream;
}

// The leaving candidates go first, so that pairs among them are never tested; then each one's
// live neighbours are found, on both cores when there are many to search.
void ClusterEngine::remove(const std::vector<int>& leaving)
{
    std::vector<int> gone;
    for (const int r : leaving)
        if (m_alive[static_cast<std::size_t>(r)]) {
            m_alive[static_cast<std::size_t>(r)] = 0;
            gone.push_back(r);
            const int place = m_place[static_cast<std::size_t>(r)];
            for (std::int32_t n = place < 0 ? -1 : m_leafOfPlace[static_cast<std::size_t>(place)];
                 n >= 0; n = m_nodes[static_cast<std::size_t>(n)].parent)
                --m_nodes[static_cast<std::size_t>(n)].live;
        }
    m_live -= static_cast<int>(gone.size());
    const int threads = gone.size() < kParallelRemoval
                            ? 1
                            : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    std::vector<std::vector<int>> found(static_cast<std::size_t>(threads));
    auto search = [&](int part) {
        std::vector<int>& neighbours = found[static_cast<std::size_t>(part)];
        int unused = 0;
        for (std::size_t k = static_cast<std::size_t>(part); k < gone.size();
             k += static_cast<std::size_t>(threads))
            if (m_count[static_cast<std::size_t>(gone[k])] != 0)
                forEachLiveNeighbour(
                    gone[k], [&](int u) { neighbours.push_back(u); }, false, unused);
    };
    std::vector<std::thread> helpers;
    for (int part = 1; part < threads; ++part)
        helpers.emplace_back(search, part);
    search(0);
    for (std::thread& helper : helpers)
        helper.join();

    std::vector<int> touched;
    auto touch = [&](int i) {
        if (!m_touched[static_cast<std::size_t>(i)]) {
            m_touched[static_cast<std::size_t>(i)] = 1;
            touched.push_back(i);
        }
    };
    for (const int r : gone)
        touch(r);
    for (const std::vector<int>& neighbours : found)
        for (const int u : neighbours) {
            if (m_count[static_cast<std::size_t>(u)]-- == m_params.minCount)
                m_pendingLow.push_back(u);
            touch(u);
        }
    for (const int u : touched) {
        m_touched[static_cast<std::size_t>(u)] = 0;
        updateDensest(u);
    }
}
