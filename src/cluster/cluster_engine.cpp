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
// The neighbour counts are shared out as pairs of about this many boxes.
constexpr std::int32_t kFrontierNodes = 128;
constexpr int kLeafSize = 8;
// Fewer leaving candidates than this search one by one, on one thread.
constexpr std::size_t kParallelRemoval = 256;
// The set-up asks whether to stop after this many entries, and at every node of as many.
constexpr std::int32_t kStopPollEntries = 4096;

bool stopDue(std::size_t entry, const std::function<bool()>& stopRequested)
{
    return entry % kStopPollEntries == 0 && stopRequested();
}

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

ClusterEngine::ClusterEngine(std::vector<ClusterOrbit> orbits, const ClusterParams& params,
                             int threads)
    : m_orbits(std::move(orbits)), m_params(params),
      m_threads(threads > 0 ? threads
                            : std::max(1, static_cast<int>(std::thread::hardware_concurrency())))
{
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

bool overlaps(double aLow, double aHigh, double bLow, double bHigh)
{
    return aLow <= bHigh && bLow <= aHigh;
}

// The distances along the circle between the nearest and the farthest points of two arcs
// [aLow, aHigh] and [bLow, bHigh] within [0, 360): both sit at the arcs' ends unless the arcs,
// or one and the other's antipodes, overlap.
struct CircularRange {
    double nearest, farthest;
};
CircularRange circularRange(double aLow, double aHigh, double bLow, double bHigh)
{
    const auto [least, most] =
        std::minmax({circularDistance(aLow, bLow), circularDistance(aLow, bHigh),
                     circularDistance(aHigh, bLow), circularDistance(aHigh, bHigh)});
    const bool antipodal = overlaps(aLow + 180.0, aHigh + 180.0, bLow, bHigh) ||
                           overlaps(aLow - 180.0, aHigh - 180.0, bLow, bHigh);
    return {overlaps(aLow, aHigh, bLow, bHigh) ? 0.0 : least, antipodal ? 180.0 : most};
}

// Squared distances between the nearest and the farthest points of two boxes of three
// dimensions.
struct ChordRange {
    double nearSq = 0, farSq = 0;
};
ChordRange chordRange(const double* aLow, const double* aHigh, const double* bLow,
                      const double* bHigh)
{
    ChordRange r;
    for (int k = 0; k < 3; ++k) {
        const double near = std::max({0.0, bLow[k] - aHigh[k], aLow[k] - bHigh[k]});
        const double far = std::max(aHigh[k] - bLow[k], bHigh[k] - aLow[k]);
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

// The least and the largest |x - y| / (x + y) for x in [aLow, aHigh] and y in [bLow, bHigh],
// all at least 0: (y - x) / (x + y) falls with x and rises with y, so both sit at corners, and
// the least is 0 where the ranges overlap.
struct TermRange {
    double low, high;
};
TermRange relativeRange(double aLow, double aHigh, double bLow, double bHigh)
{
    const auto [least, most] =
        std::minmax({std::fabs(relativeTerm(aLow, bLow)), std::fabs(relativeTerm(aLow, bHigh)),
                     std::fabs(relativeTerm(aHigh, bLow)), std::fabs(relativeTerm(aHigh, bHigh))});
    return {overlaps(aLow, aHigh, bLow, bHigh) ? 0.0 : least, most};
}

} // namespace

bool ClusterEngine::prepare(const std::function<bool()>& stopRequested)
{
    const int n = candidateCount();
    m_place.assign(static_cast<std::size_t>(n), -1);
    m_alive.assign(static_cast<std::size_t>(n), 1);
    for (int i = 0; i < n; ++i) {
        if (stopDue(static_cast<std::size_t>(i), stopRequested))
            return false;
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
    return buildTree(stopRequested);
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

ClusterEngine::Box ClusterEngine::pointBox(std::size_t place) const
{
    Box box;
    for (int d = 0; d < kDims; ++d)
        box.low[d] = box.high[d] = feature(m_entries[place], place, d);
    setWindows(box);
    return box;
}

bool ClusterEngine::buildTree(const std::function<bool()>& stopRequested)
{
    for (const Entry& e : m_entries) {
        if (stopDue(m_directions.size(), stopRequested))
            return false;
        const ClusterOrbit& o = m_orbits[static_cast<std::size_t>(e.index)];
        m_directions.push_back(
            {planeNormal(o.incl * kDegToRad, o.node * kDegToRad), perihelionDirection(o)});
    }
    if (m_entries.empty())
        return true;
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
    TreeBuild build{scale, std::vector<double>(m_entries.size() * kDims),
                    std::vector<std::int32_t>(m_entries.size()), stopRequested};
    for (std::size_t place = 0; place < m_entries.size(); ++place) {
        if (stopDue(place, stopRequested))
            return false;
        build.order[place] = static_cast<std::int32_t>(place);
        for (int d = 0; d < kDims; ++d)
            build.features[place * kDims + static_cast<std::size_t>(d)] =
                feature(m_entries[place], place, d);
    }
    m_leafOfPlace.assign(m_entries.size(), -1);
    buildNode(0, static_cast<std::int32_t>(m_entries.size()), -1, build);
    if (build.stopped)
        return false;
    // The entries and their directions in tree order.
    std::vector<Entry> entries;
    std::vector<Directions> directions;
    entries.reserve(m_entries.size());
    directions.reserve(m_entries.size());
    for (const std::int32_t place : build.order) {
        entries.push_back(m_entries[static_cast<std::size_t>(place)]);
        directions.push_back(m_directions[static_cast<std::size_t>(place)]);
    }
    m_entries = std::move(entries);
    m_directions = std::move(directions);
    for (std::size_t place = 0; place < m_entries.size(); ++place)
        m_place[static_cast<std::size_t>(m_entries[place].index)] =
            static_cast<std::int32_t>(place);
    findFrontier();
    return true;
}

// Boxes of about a hundredth of the entries each: their pairs are jobs small enough to share
// between the threads, and few enough that testing them costs nothing.
void ClusterEngine::findFrontier()
{
    const auto limit = std::max<std::int32_t>(
        kLeafSize, static_cast<std::int32_t>(m_entries.size() / kFrontierNodes));
    std::vector<std::int32_t> stack{0};
    while (!stack.empty()) {
        const std::int32_t n = stack.back();
        const Node& node = m_nodes[static_cast<std::size_t>(n)];
        stack.pop_back();
        if (node.left < 0 || node.end - node.begin <= limit) {
            m_frontier.push_back(n);
        } else {
            stack.push_back(node.right);
            stack.push_back(node.left);
        }
    }
}

std::int32_t ClusterEngine::buildNode(std::int32_t begin, std::int32_t end, std::int32_t parent,
                                      TreeBuild& build)
{
    const auto self = static_cast<std::int32_t>(m_nodes.size());
    Node node{begin, end,        -1, -1, parent, std::numeric_limits<std::int32_t>::max(),
              -1,    end - begin};
    Box box;
    std::fill(std::begin(box.low), std::end(box.low), std::numeric_limits<double>::infinity());
    std::fill(std::begin(box.high), std::end(box.high), -std::numeric_limits<double>::infinity());
    for (std::int32_t p = begin; p < end; ++p) {
        const auto place = static_cast<std::size_t>(build.order[static_cast<std::size_t>(p)]);
        node.firstIndex = std::min(node.firstIndex, m_entries[place].index);
        node.lastIndex = std::max(node.lastIndex, m_entries[place].index);
        const double* features = &build.features[place * kDims];
        for (int d = 0; d < kDims; ++d) {
            box.low[d] = std::min(box.low[d], features[d]);
            box.high[d] = std::max(box.high[d], features[d]);
        }
    }
    m_nodes.push_back(node);
    setWindows(box);
    m_boxes.push_back(box);
    if (end - begin >= kStopPollEntries && !build.stopped)
        build.stopped = build.stopRequested();
    if (build.stopped)
        return self;
    if (end - begin <= kLeafSize) {
        for (std::int32_t p = begin; p < end; ++p)
            m_leafOfPlace[static_cast<std::size_t>(p)] = self;
        return self;
    }
    int widest = 0;
    for (int d = 1; d < kDims; ++d)
        if ((box.high[d] - box.low[d]) / build.scale[d] >
            (box.high[widest] - box.low[widest]) / build.scale[widest])
            widest = d;
    const std::int32_t middle = (end - begin) / 2;
    std::nth_element(build.order.begin() + begin, build.order.begin() + begin + middle,
                     build.order.begin() + end, [&](std::int32_t a, std::int32_t b) {
                         return build.features[static_cast<std::size_t>(a) * kDims +
                                               static_cast<std::size_t>(widest)] <
                                build.features[static_cast<std::size_t>(b) * kDims +
                                               static_cast<std::size_t>(widest)];
                     });
    const std::int32_t left = buildNode(begin, begin + middle, self, build);
    const std::int32_t right = buildNode(begin + middle, end, self, build);
    m_nodes[static_cast<std::size_t>(self)].left = left;
    m_nodes[static_cast<std::size_t>(self)].right = right;
    return self;
}

// Whether every vg of `other` lies outside, or inside, every velocity window of `deciding`.
ClusterEngine::Fit ClusterEngine::velocityFit(const Box& deciding, const Box& other)
{
    return {other.high[1] < deciding.windowLowMin || other.low[1] > deciding.windowHighMax,
            deciding.windowLowMax <= other.low[1] && other.high[1] <= deciding.windowHighMin};
}

void ClusterEngine::setWindows(Box& box) const
{
    const ClusterVelocityWindow a =
        clusterVelocityWindow(static_cast<float>(box.low[1]), m_params.V);
    const ClusterVelocityWindow b =
        clusterVelocityWindow(static_cast<float>(box.high[1]), m_params.V);
    box.windowLowMin = std::min(a.low, b.low);
    box.windowLowMax = std::max(a.low, b.low);
    box.windowHighMin = std::min(a.high, b.high);
    box.windowHighMax = std::max(a.high, b.high);
}

// Conservative: Inside only when every pair of an entry of a with one of b passes all four
// tests with room to spare, Outside only when every such pair fails one of them.
ClusterEngine::Relation ClusterEngine::relation(const Box& a, Span aSpan, const Box& b, Span bSpan,
                                                Window window) const
{
    const CircularRange sol = circularRange(a.low[0], a.high[0], b.low[0], b.high[0]);
    if (sol.nearest > m_params.S + kSolMargin)
        return Relation::Outside;
    bool inside = sol.farthest <= m_params.S - kSolMargin;

    // The velocity window is the earlier candidate's (always a's with the Query window); where
    // the boxes' candidates interleave in the list, either may decide.
    const bool aDecides = window == Window::Query || aSpan.last < bSpan.first;
    const bool bDecides = window == Window::Earlier && bSpan.last < aSpan.first;
    auto both = [](Fit x, Fit y) { return Fit{x.outside && y.outside, x.inside && y.inside}; };
    const Fit fit = aDecides   ? velocityFit(a, b)
                    : bDecides ? velocityFit(b, a)
                               : both(velocityFit(a, b), velocityFit(b, a));
    if (fit.outside)
        return Relation::Outside;
    inside = inside && fit.inside;

    const ChordRange radiant = chordRange(a.low + 2, a.high + 2, b.low + 2, b.high + 2);
    if (1.0 - radiant.nearSq / 2.0 < m_cosOuter)
        return Relation::Outside;
    inside = inside && 1.0 - radiant.farSq / 2.0 > m_cosInner;
    return dPrimeRelation(a, b, inside);
}

// D' bounds from the ranges of its four terms; the eccentricity and perihelion terms alone,
// then the chords (which no angle exceeds in radians), often decide before any arc sine.
ClusterEngine::Relation ClusterEngine::dPrimeRelation(const Box& a, const Box& b, bool inside) const
{
    const TermRange e = relativeRange(a.low[5], a.high[5], b.low[5], b.high[5]);
    const TermRange q = relativeRange(a.low[6], a.high[6], b.low[6], b.high[6]);
    const double firstLow = e.low * e.low + q.low * q.low;
    if (std::sqrt(firstLow) > m_params.D + kDPrimeMargin)
        return Relation::Outside;
    const ChordRange plane = chordRange(a.low + 7, a.high + 7, b.low + 7, b.high + 7);
    const ChordRange peri = chordRange(a.low + 10, a.high + 10, b.low + 10, b.high + 10);
    auto dPrime = [](double firstTerms, double planeDeg, double periDeg, double eSum) {
        const double planeTerm = planeDeg / 180.0, periTerm = periDeg * eSum / 360.0;
        return std::sqrt(firstTerms + planeTerm * planeTerm + periTerm * periTerm);
    };
    auto chordDeg = [](double chordSq) { return std::sqrt(chordSq) * kRadToDeg; };
    const double eSumLow = a.low[5] + b.low[5];
    if (dPrime(firstLow, chordDeg(plane.nearSq), chordDeg(peri.nearSq), eSumLow) >
            m_params.D + kDPrimeMargin ||
        dPrime(firstLow, chordAngleDeg(plane.nearSq), chordAngleDeg(peri.nearSq), eSumLow) >
            m_params.D + kDPrimeMargin)
        return Relation::Outside;
    if (!inside)
        return Relation::Edge;
    const double firstHigh = e.high * e.high + q.high * q.high;
    const double eSumHigh = a.high[5] + b.high[5];
    if (dPrime(firstHigh, chordDeg(plane.farSq), chordDeg(peri.farSq), eSumHigh) >=
        m_params.D - kDPrimeMargin)
        return Relation::Edge;
    return dPrime(firstHigh, chordAngleDeg(plane.farSq), chordAngleDeg(peri.farSq), eSumHigh) <
                   m_params.D - kDPrimeMargin
               ? Relation::Inside
               : Relation::Edge;
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
void ClusterEngine::search(std::size_t place, Window window, Visit&& visit) const
{
    const Entry& q = m_entries[place];
    const Box query = pointBox(place);
    std::vector<std::int32_t> stack{0};
    while (!stack.empty()) {
        const std::int32_t n = stack.back();
        stack.pop_back();
        const Node& node = m_nodes[static_cast<std::size_t>(n)];
        if (node.live == 0)
            continue;
        const Relation r = relation(query, {q.index, q.index}, m_boxes[static_cast<std::size_t>(n)],
                                    spanOf(node), window);
        if (r == Relation::Outside)
            continue;
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
        search(static_cast<std::size_t>(place), Window::Query, add);
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
    if (m_stopped || !prepare(stopRequested)) {
        m_stopped = true;
        return false;
    }
    const int n = candidateCount();
    const std::vector<NodePair> pairs = countTasks();
    const std::size_t jobs = pairs.size() + m_exceptional.size();
    const int threads = m_threads;
    std::vector<Tally> tallies(static_cast<std::size_t>(threads),
                               {std::vector<std::int32_t>(static_cast<std::size_t>(n), 0),
                                std::vector<std::int32_t>(m_nodes.size(), 0)});
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stopped{false};
    // Each thread adds to its own tally, so the sums do not depend on who took which job.
    auto work = [&](int part) {
        Tally& tally = tallies[static_cast<std::size_t>(part)];
        for (;;) {
            if (stopped.load() || stopRequested()) {
                stopped.store(true);
                return;
            }
            const std::size_t job = next.fetch_add(1);
            if (job >= jobs)
                return;
            if (job < pairs.size())
                countPairs(pairs[job].a, pairs[job].b, tally);
            else
                countExceptional(job - pairs.size(), tally);
            if (part == 0)
                progress(static_cast<int>(static_cast<std::int64_t>(job + 1) * n /
                                          static_cast<std::int64_t>(jobs)));
        }
    };
    std::vector<std::thread> helpers;
    for (int part = 1; part < threads; ++part)
        helpers.emplace_back(work, part);
    work(0);
    for (std::thread& helper : helpers)
        helper.join();
    if (stopped.load()) {
        m_stopped = true;
        return false;
    }
    addTallies(tallies);
    startCycles();
    return true;
}

std::vector<ClusterEngine::NodePair> ClusterEngine::countTasks() const
{
    std::vector<NodePair> pairs;
    for (std::size_t i = 0; i < m_frontier.size(); ++i)
        for (std::size_t j = i; j < m_frontier.size(); ++j)
            pairs.push_back({m_frontier[i], m_frontier[j]});
    return pairs;
}

// Every similar pair of an entry of a with one of b once (a and b the same node or disjoint):
// a pair of boxes wholly inside each other's regions adds to each entry's count at once.
void ClusterEngine::countPairs(std::int32_t a, std::int32_t b, Tally& tally) const
{
    const Node& na = m_nodes[static_cast<std::size_t>(a)];
    const Node& nb = m_nodes[static_cast<std::size_t>(b)];
    const Relation r = relation(m_boxes[static_cast<std::size_t>(a)], spanOf(na),
                                m_boxes[static_cast<std::size_t>(b)], spanOf(nb), Window::Earlier);
    if (r == Relation::Outside)
        return;
    const std::int32_t sizeA = na.end - na.begin, sizeB = nb.end - nb.begin;
    if (r == Relation::Inside) {
        tally.nodes[static_cast<std::size_t>(a)] += a == b ? sizeA - 1 : sizeB;
        if (a != b)
            tally.nodes[static_cast<std::size_t>(b)] += sizeA;
    } else if (na.left < 0 && nb.left < 0) {
        countLeafPairs(na, nb, a == b, tally);
    } else if (a == b) {
        countPairs(na.left, na.left, tally);
        countPairs(na.left, na.right, tally);
        countPairs(na.right, na.right, tally);
    } else if (nb.left >= 0 && (na.left < 0 || sizeB > sizeA)) {
        countPairs(a, nb.left, tally);
        countPairs(a, nb.right, tally);
    } else {
        countPairs(na.left, b, tally);
        countPairs(na.right, b, tally);
    }
}

void ClusterEngine::countLeafPairs(const Node& a, const Node& b, bool same, Tally& tally) const
{
    for (std::int32_t p = a.begin; p < a.end; ++p)
        for (std::int32_t q = same ? p + 1 : b.begin; q < b.end; ++q)
            if (similarAt(static_cast<std::size_t>(p), static_cast<std::size_t>(q),
                          Window::Earlier)) {
                ++tally.candidates[static_cast<std::size_t>(
                    m_entries[static_cast<std::size_t>(p)].index)];
                ++tally.candidates[static_cast<std::size_t>(
                    m_entries[static_cast<std::size_t>(q)].index)];
            }
}

// The k-th exceptional candidate's pairs with every entry and with the later exceptional ones.
void ClusterEngine::countExceptional(std::size_t k, Tally& tally) const
{
    const int x = m_exceptional[k];
    auto count = [&](int y) {
        if (pairSimilar(x, y)) {
            ++tally.candidates[static_cast<std::size_t>(x)];
            ++tally.candidates[static_cast<std::size_t>(y)];
        }
    };
    for (const Entry& e : m_entries)
        count(e.index);
    for (std::size_t j = k + 1; j < m_exceptional.size(); ++j)
        count(m_exceptional[j]);
}

// The threads' sums, then each box's whole counts handed down to its entries (a node comes
// before its children).
void ClusterEngine::addTallies(const std::vector<Tally>& tallies)
{
    m_count.assign(m_orbits.size(), 0);
    std::vector<std::int32_t> whole(m_nodes.size(), 0);
    for (const Tally& tally : tallies) {
        for (std::size_t i = 0; i < m_count.size(); ++i)
            m_count[i] += tally.candidates[i];
        for (std::size_t n = 0; n < whole.size(); ++n)
            whole[n] += tally.nodes[n];
    }
    for (std::size_t n = 0; n < m_nodes.size(); ++n) {
        const Node& node = m_nodes[n];
        if (node.left >= 0) {
            whole[static_cast<std::size_t>(node.left)] += whole[n];
            whole[static_cast<std::size_t>(node.right)] += whole[n];
            continue;
        }
        for (std::int32_t p = node.begin; p < node.end; ++p)
            m_count[static_cast<std::size_t>(m_entries[static_cast<std::size_t>(p)].index)] +=
                whole[n];
    }
}

void ClusterEngine::startCycles()
{
    const int n = candidateCount();
    m_touched.assign(static_cast<std::size_t>(n), 0);
    m_leaving.assign(static_cast<std::size_t>(n), 0);
    m_goneBelow.assign(m_nodes.size(), 0);
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

std::optional<ClusterStream> ClusterEngine::nextStream(const std::function<bool()>& stopRequested)
{
    if (m_live == 0 || m_stopped)
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
    if (!remove(leaving, stopRequested)) {
        m_stopped = true;
        return std::nullopt;
    }
    return stream;
}

// The leaving candidates go first, so that pairs among them are never tested; then the live
// candidates' losses are found box pair by box pair, on both cores when many leave.
bool ClusterEngine::remove(const std::vector<int>& leaving,
                           const std::function<bool()>& stopRequested)
{
    const std::vector<int> gone = markGone(leaving);
    const std::optional<std::vector<std::vector<Loss>>> found = findLosses(gone, stopRequested);
    if (!found)
        return false;
    for (const int r : gone)
        unmarkGone(r);

    std::vector<int> touched;
    auto touch = [&](int i) {
        if (!m_touched[static_cast<std::size_t>(i)]) {
            m_touched[static_cast<std::size_t>(i)] = 1;
            touched.push_back(i);
        }
    };
    for (const int r : gone)
        touch(r);
    for (const std::vector<Loss>& losses : *found)
        for (const Loss& loss : losses) {
            std::int32_t& count = m_count[static_cast<std::size_t>(loss.candidate)];
            if (count >= m_params.minCount && count - loss.amount < m_params.minCount)
                m_pendingLow.push_back(loss.candidate);
            count -= loss.amount;
            touch(loss.candidate);
        }
    for (const int u : touched) {
        m_touched[static_cast<std::size_t>(u)] = 0;
        updateDensest(u);
    }
    return true;
}

// The leaving candidates still alive, now dead; those with live neighbours are flagged and
// counted in their boxes.
std::vector<int> ClusterEngine::markGone(const std::vector<int>& leaving)
{
    std::vector<int> gone;
    for (const int r : leaving) {
        if (!m_alive[static_cast<std::size_t>(r)])
            continue;
        m_alive[static_cast<std::size_t>(r)] = 0;
        gone.push_back(r);
        const bool losing = m_count[static_cast<std::size_t>(r)] != 0;
        m_leaving[static_cast<std::size_t>(r)] = losing ? 1 : 0;
        const int place = m_place[static_cast<std::size_t>(r)];
        for (std::int32_t n = place < 0 ? -1 : m_leafOfPlace[static_cast<std::size_t>(place)];
             n >= 0; n = m_nodes[static_cast<std::size_t>(n)].parent) {
            --m_nodes[static_cast<std::size_t>(n)].live;
            m_goneBelow[static_cast<std::size_t>(n)] += losing ? 1 : 0;
        }
    }
    m_live -= static_cast<int>(gone.size());
    return gone;
}

void ClusterEngine::unmarkGone(int r)
{
    if (!m_leaving[static_cast<std::size_t>(r)])
        return;
    m_leaving[static_cast<std::size_t>(r)] = 0;
    const int place = m_place[static_cast<std::size_t>(r)];
    for (std::int32_t n = place < 0 ? -1 : m_leafOfPlace[static_cast<std::size_t>(place)]; n >= 0;
         n = m_nodes[static_cast<std::size_t>(n)].parent)
        --m_goneBelow[static_cast<std::size_t>(n)];
}

// Few leaving candidates search on their own, which costs less than the pairs of boxes
// around them; many share the pairs of boxes (of gone and of live entries) and then their
// pairs with the exceptional candidates among the threads, each listing its own losses.
std::optional<std::vector<std::vector<ClusterEngine::Loss>>>
ClusterEngine::findLosses(const std::vector<int>& gone,
                          const std::function<bool()>& stopRequested) const
{
    if (gone.size() < kParallelRemoval) {
        std::vector<Loss> losses;
        for (const int r : gone) {
            if (stopRequested())
                return std::nullopt;
            findOwnLosses(r, losses);
        }
        return std::vector<std::vector<Loss>>{losses};
    }
    std::vector<NodePair> pairs;
    for (const std::int32_t a : m_frontier)
        for (const std::int32_t b : m_frontier)
            if (m_goneBelow[static_cast<std::size_t>(a)] != 0 &&
                m_nodes[static_cast<std::size_t>(b)].live != 0)
                pairs.push_back({a, b});
    const std::size_t jobs = pairs.size() + (m_exceptional.empty() ? 0 : gone.size());
    std::vector<std::vector<Loss>> found(static_cast<std::size_t>(m_threads));
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stopped{false};
    auto work = [&](int part) {
        std::vector<Loss>& losses = found[static_cast<std::size_t>(part)];
        for (std::size_t job = next.fetch_add(1); job < jobs; job = next.fetch_add(1)) {
            if (stopped.load() || stopRequested()) {
                stopped.store(true);
                return;
            }
            if (job < pairs.size())
                findLosses(pairs[job].a, pairs[job].b, losses);
            else
                findExceptionalLosses(gone[job - pairs.size()], losses);
        }
    };
    std::vector<std::thread> helpers;
    for (int part = 1; part < m_threads; ++part)
        helpers.emplace_back(work, part);
    work(0);
    for (std::thread& helper : helpers)
        helper.join();
    if (stopped.load())
        return std::nullopt;
    return found;
}

void ClusterEngine::findOwnLosses(int r, std::vector<Loss>& losses) const
{
    const int place = m_place[static_cast<std::size_t>(r)];
    if (m_leaving[static_cast<std::size_t>(r)] && place >= 0)
        search(static_cast<std::size_t>(place), Window::Earlier, [&](int y) {
            losses.push_back({y, 1});
        });
    findExceptionalLosses(r, losses);
}

// The losses of b's live entries to a's flagged ones; like the counts, box pair by box pair.
void ClusterEngine::findLosses(std::int32_t a, std::int32_t b, std::vector<Loss>& losses) const
{
    const Node& na = m_nodes[static_cast<std::size_t>(a)];
    const Node& nb = m_nodes[static_cast<std::size_t>(b)];
    const std::int32_t goneA = m_goneBelow[static_cast<std::size_t>(a)];
    if (goneA == 0 || nb.live == 0)
        return;
    const Relation r = relation(m_boxes[static_cast<std::size_t>(a)], spanOf(na),
                                m_boxes[static_cast<std::size_t>(b)], spanOf(nb), Window::Earlier);
    if (r == Relation::Outside)
        return;
    if (r == Relation::Inside) {
        for (std::int32_t q = nb.begin; q < nb.end; ++q) {
            const std::int32_t y = m_entries[static_cast<std::size_t>(q)].index;
            if (m_alive[static_cast<std::size_t>(y)])
                losses.push_back({y, goneA});
        }
    } else if (na.left < 0 && nb.left < 0) {
        findLeafLosses(na, nb, losses);
    } else if (a == b) {
        for (const std::int32_t x : {na.left, na.right})
            for (const std::int32_t y : {na.left, na.right})
                findLosses(x, y, losses);
    } else if (nb.left >= 0 && (na.left < 0 || nb.end - nb.begin > na.end - na.begin)) {
        findLosses(a, nb.left, losses);
        findLosses(a, nb.right, losses);
    } else {
        findLosses(na.left, b, losses);
        findLosses(na.right, b, losses);
    }
}

void ClusterEngine::findLeafLosses(const Node& a, const Node& b, std::vector<Loss>& losses) const
{
    for (std::int32_t p = a.begin; p < a.end; ++p) {
        if (!m_leaving[static_cast<std::size_t>(m_entries[static_cast<std::size_t>(p)].index)])
            continue;
        for (std::int32_t q = b.begin; q < b.end; ++q) {
            const std::int32_t y = m_entries[static_cast<std::size_t>(q)].index;
            if (m_alive[static_cast<std::size_t>(y)] &&
                similarAt(static_cast<std::size_t>(p), static_cast<std::size_t>(q),
                          Window::Earlier))
                losses.push_back({y, 1});
        }
    }
}

// A gone candidate's losses that the boxes cannot see: its exceptional live neighbours, and
// every live neighbour of an exceptional one.
void ClusterEngine::findExceptionalLosses(int r, std::vector<Loss>& losses) const
{
    if (!m_leaving[static_cast<std::size_t>(r)])
        return;
    auto lose = [&](int y) { losses.push_back({y, 1}); };
    if (m_place[static_cast<std::size_t>(r)] < 0)
        for (const Entry& e : m_entries)
            if (m_alive[static_cast<std::size_t>(e.index)] && pairSimilar(r, e.index))
                lose(e.index);
    forEachExceptional(r, lose);
}
