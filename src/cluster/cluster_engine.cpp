// The clustering engine: neighbour counts by a sol sweep, then the cycles over live counts.
#include "cluster/cluster_engine.h"

#include <algorithm>
#include <atomic>
#include <cmath>
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
// Declination bands are at least R (and this) wide.
constexpr double kNarrowestBand = 5.0;
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

void ClusterEngine::prepare()
{
    const int n = candidateCount();
    m_placeBySol.assign(static_cast<std::size_t>(n), -1);
    for (int i = 0; i < n; ++i) {
        const ClusterOrbit& o = m_orbits[static_cast<std::size_t>(i)];
        if (!std::isfinite(o.sol) || std::fabs(o.sol) > kOrdinarySol ||
            !(std::fabs(o.dec) <= 90.0f)) {
            m_exceptional.push_back(i);
            continue;
        }
        const Vec3 r = unitVector(o.ra * kDegToRad, o.dec * kDegToRad);
        m_sweep.push_back(
            {Normalize360(o.sol),
             o.vg,
             {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.z)},
             i,
             clusterVelocityWindow(o.vg, m_params.V),
             o.e,
             o.q});
    }
    const double bandWidth = std::max(static_cast<double>(m_params.R) + kSolMargin, kNarrowestBand);
    const int bands = std::max(1, static_cast<int>(180.0 / bandWidth));
    auto bandOf = [&](const SweepEntry& e) {
        const double dec = m_orbits[static_cast<std::size_t>(e.index)].dec;
        return std::clamp(static_cast<int>((dec + 90.0) / bandWidth), 0, bands - 1);
    };
    std::stable_sort(m_sweep.begin(), m_sweep.end(), [&](const SweepEntry& a, const SweepEntry& b) {
        const int bandA = bandOf(a), bandB = bandOf(b);
        return bandA != bandB ? bandA < bandB : a.sol < b.sol;
    });
    m_bandStart.assign(static_cast<std::size_t>(bands) + 1, 0);
    for (const SweepEntry& e : m_sweep) {
        m_bandOfPlace.push_back(bandOf(e));
        ++m_bandStart[static_cast<std::size_t>(bandOf(e)) + 1];
    }
    for (std::size_t b = 1; b < m_bandStart.size(); ++b)
        m_bandStart[b] += m_bandStart[b - 1];
    for (std::size_t p = 0; p < m_sweep.size(); ++p) {
        const ClusterOrbit& o = m_orbits[static_cast<std::size_t>(m_sweep[p].index)];
        m_placeBySol[static_cast<std::size_t>(m_sweep[p].index)] = static_cast<std::int32_t>(p);
        m_directions.push_back(
            {planeNormal(o.incl * kDegToRad, o.node * kDegToRad), perihelionDirection(o)});
    }
    m_window = m_params.S + kSolMargin;
    m_cosOuter =
        std::cos(std::min(m_params.R + kRadiantMarginDeg, 180.0) * kDegToRad) - kCosineMargin;
    const double inner = m_params.R - kRadiantMarginDeg;
    m_cosInner = inner > 0 ? std::cos(inner * kDegToRad) + kCosineMargin : 2.0;
}

const ClusterEngine::SweepEntry* ClusterEngine::entryOf(int candidate) const
{
    const int place = m_placeBySol[static_cast<std::size_t>(candidate)];
    return place < 0 ? nullptr : &m_sweep[static_cast<std::size_t>(place)];
}

// The exact tests wherever the cheap ones cannot tell.
bool ClusterEngine::similarFast(const SweepEntry& centre, const SweepEntry& other,
                                double solDistance) const
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
    const Directions& dc = m_directions[static_cast<std::size_t>(&centre - m_sweep.data())];
    const Directions& dO = m_directions[static_cast<std::size_t>(&other - m_sweep.data())];
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

bool ClusterEngine::pairSimilar(int x, const SweepEntry* ex, int y, const SweepEntry* ey,
                                double solDistance) const
{
    if (y < x) {
        std::swap(x, y);
        std::swap(ex, ey);
    }
    if (!ex || !ey || solDistance < 0)
        return similarTo(m_orbits[static_cast<std::size_t>(x)],
                         m_orbits[static_cast<std::size_t>(y)], m_params);
    return similarFast(*ex, *ey, solDistance);
}

template <class Visit> void ClusterEngine::forEachNear(int band, double solDeg, Visit&& visit) const
{
    const auto first = m_sweep.begin() + m_bandStart[static_cast<std::size_t>(band)];
    const auto last = m_sweep.begin() + m_bandStart[static_cast<std::size_t>(band) + 1];
    auto range = [&](double low, double high) {
        auto p = std::lower_bound(first, last, low,
                                  [](const SweepEntry& e, double sol) { return e.sol < sol; });
        for (; p != last && p->sol <= high; ++p) {
            const double d = circularDistance(solDeg, p->sol);
            if (d <= m_window)
                visit(static_cast<int>(p - m_sweep.begin()), d);
        }
    };
    if (m_window >= 180.0) {
        range(-1.0, 361.0);
        return;
    }
    const double low = solDeg - m_window, high = solDeg + m_window;
    range(std::max(low, 0.0), std::min(high, 360.0));
    if (low < 0.0)
        range(low + 360.0, 360.0);
    if (high >= 360.0)
        range(0.0, high - 360.0);
}

// The pairs of one place with the later places of its band and every place of the next band
// within the window: each pair of neighbouring bands once.
void ClusterEngine::sweepFrom(int position, std::vector<std::int32_t>& counts) const
{
    const SweepEntry& start = m_sweep[static_cast<std::size_t>(position)];
    const int band = m_bandOfPlace[static_cast<std::size_t>(position)];
    auto test = [&](int place, double distance) {
        const SweepEntry& other = m_sweep[static_cast<std::size_t>(place)];
        if (pairSimilar(start.index, &start, other.index, &other, distance)) {
            ++counts[static_cast<std::size_t>(start.index)];
            ++counts[static_cast<std::size_t>(other.index)];
        }
    };
    forEachNear(band, start.sol, [&](int place, double distance) {
        if (place > position)
            test(place, distance);
    });
    if (band + 1 < static_cast<int>(m_bandStart.size()) - 1)
        forEachNear(band + 1, start.sol, test);
}

void ClusterEngine::countExceptional(int exceptionalIndex, std::vector<std::int32_t>& counts) const
{
    const int x = m_exceptional[static_cast<std::size_t>(exceptionalIndex)];
    auto test = [&](int y) {
        if (pairSimilar(x, nullptr, y, nullptr, -1.0)) {
            ++counts[static_cast<std::size_t>(x)];
            ++counts[static_cast<std::size_t>(y)];
        }
    };
    for (const SweepEntry& entry : m_sweep)
        test(entry.index);
    for (std::size_t k = static_cast<std::size_t>(exceptionalIndex) + 1; k < m_exceptional.size();
         ++k)
        test(m_exceptional[k]);
}

bool ClusterEngine::buildCounts(const std::function<bool()>& stopRequested,
                                const std::function<void(int)>& progress)
{
    const int n = candidateCount();
    const int regular = static_cast<int>(m_sweep.size());
    const int jobs = regular + static_cast<int>(m_exceptional.size());
    const int threads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    std::vector<std::vector<std::int32_t>> parts(
        static_cast<std::size_t>(threads), std::vector<std::int32_t>(static_cast<std::size_t>(n)));
    std::atomic<int> next{0};
    std::atomic<bool> stopped{false};
    auto work = [&](int part, bool reporting) {
        std::vector<std::int32_t>& counts = parts[static_cast<std::size_t>(part)];
        for (;;) {
            if (stopped.load() || stopRequested()) {
                stopped.store(true);
                return;
            }
            const int first = next.fetch_add(kChunk);
            if (first >= jobs)
                return;
            for (int job = first; job < std::min(first + kChunk, jobs); ++job) {
                if (job < regular)
                    sweepFrom(job, counts);
                else
                    countExceptional(job - regular, counts);
            }
            if (reporting)
                progress(std::min(first + kChunk, jobs));
        }
    };
    std::vector<std::thread> helpers;
    for (int part = 1; part < threads; ++part)
        helpers.emplace_back(work, part, false);
    work(0, true);
    for (std::thread& helper : helpers)
        helper.join();
    if (stopped.load())
        return false;
    startCycles(parts);
    return true;
}

void ClusterEngine::startCycles(const std::vector<std::vector<std::int32_t>>& parts)
{
    const int n = candidateCount();
    m_count.assign(static_cast<std::size_t>(n), 0);
    for (const std::vector<std::int32_t>& counts : parts)
        for (int i = 0; i < n; ++i)
            m_count[static_cast<std::size_t>(i)] += counts[static_cast<std::size_t>(i)];
    m_alive.assign(static_cast<std::size_t>(n), 1);
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

template <class Visit> void ClusterEngine::forEachInWindow(int centre, Visit&& visit) const
{
    const int place = m_placeBySol[static_cast<std::size_t>(centre)];
    bool done = false;
    if (place < 0) {
        for (const SweepEntry& e : m_sweep)
            if (visit(e.index, &e, -1.0))
                return;
    } else {
        const int band = m_bandOfPlace[static_cast<std::size_t>(place)];
        const int bands = static_cast<int>(m_bandStart.size()) - 1;
        const double sol = m_sweep[static_cast<std::size_t>(place)].sol;
        for (int b = std::max(0, band - 1); b <= std::min(bands - 1, band + 1) && !done; ++b)
            forEachNear(b, sol, [&](int p, double d) {
                const SweepEntry& e = m_sweep[static_cast<std::size_t>(p)];
                done = done || visit(e.index, &e, d);
            });
        if (done)
            return;
    }
    for (const int i : m_exceptional)
        if (visit(i, nullptr, -1.0))
            return;
}

std::vector<int> ClusterEngine::membersOf(int centre) const
{
    std::vector<int> members;
    const ClusterOrbit& c = m_orbits[static_cast<std::size_t>(centre)];
    const SweepEntry* ec = entryOf(centre);
    forEachInWindow(centre, [&](int i, const SweepEntry* ei, double solDistance) {
        if (!m_alive[static_cast<std::size_t>(i)])
            return false;
        // The centre's window, whichever of the two comes first in the list.
        const bool similar = !ec || !ei || solDistance < 0
                                 ? similarTo(c, m_orbits[static_cast<std::size_t>(i)], m_params)
                                 : similarFast(*ec, *ei, solDistance);
        if (similar)
            members.push_back(i);
        return false;
    });
    std::sort(members.begin(), members.end());
    return members;
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
// window is searched for its live neighbours, on both cores when there are many to search.
void ClusterEngine::remove(const std::vector<int>& leaving)
{
    std::vector<int> gone;
    for (const int r : leaving)
        if (m_alive[static_cast<std::size_t>(r)]) {
            m_alive[static_cast<std::size_t>(r)] = 0;
            gone.push_back(r);
        }
    m_live -= static_cast<int>(gone.size());
    const int threads = gone.size() < kParallelRemoval
                            ? 1
                            : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    std::vector<std::vector<int>> found(static_cast<std::size_t>(threads));
    auto search = [&](int part) {
        std::vector<int>& neighbours = found[static_cast<std::size_t>(part)];
        for (std::size_t k = static_cast<std::size_t>(part); k < gone.size();
             k += static_cast<std::size_t>(threads)) {
            const int r = gone[k];
            if (m_count[static_cast<std::size_t>(r)] == 0)
                continue;
            const SweepEntry* er = entryOf(r);
            forEachInWindow(r, [&](int u, const SweepEntry* eu, double solDistance) {
                if (m_alive[static_cast<std::size_t>(u)] && pairSimilar(r, er, u, eu, solDistance))
                    neighbours.push_back(u);
                return false;
            });
        }
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
