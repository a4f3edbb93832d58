// The clustering engine: the neighbour graph by a sol sweep, then the cycles over live counts.
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
// Radiant cosines from unit vectors differ from AngularDistance's by about 1e-15.
constexpr double kRadiantMarginDeg = 0.001;
constexpr double kCosineMargin = 1e-9;
constexpr int kChunk = 64;

Vec3 unitVector(float raDeg, float decDeg)
{
    const double ra = raDeg * kDegToRad, dec = decDeg * kDegToRad;
    return {std::cos(dec) * std::cos(ra), std::cos(dec) * std::sin(ra), std::sin(dec)};
}

// The eccentricity or perihelion term of D', as DPrime forms it.
double relativeTerm(double x1, double x2)
{
    const double sum = x1 + x2;
    return sum == 0.0 ? 0.0 : (x1 - x2) / sum;
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
    m_prepared.resize(static_cast<std::size_t>(n));
    m_placeBySol.assign(static_cast<std::size_t>(n), -1);
    for (int i = 0; i < n; ++i) {
        const ClusterOrbit& o = m_orbits[static_cast<std::size_t>(i)];
        m_prepared[static_cast<std::size_t>(i)] = {velocityWindow(o.vg, m_params.V),
                                                   unitVector(o.ra, o.dec)};
        if (std::isfinite(o.sol) && std::fabs(o.sol) <= kOrdinarySol)
            m_bySol.push_back(i);
        else
            m_exceptional.push_back(i);
    }
    auto solOf = [this](int i) { return Normalize360(m_orbits[static_cast<std::size_t>(i)].sol); };
    std::stable_sort(m_bySol.begin(), m_bySol.end(),
                     [&](int a, int b) { return solOf(a) < solOf(b); });
    for (std::size_t p = 0; p < m_bySol.size(); ++p) {
        m_sortedSol.push_back(solOf(m_bySol[p]));
        m_placeBySol[static_cast<std::size_t>(m_bySol[p])] = static_cast<std::int32_t>(p);
    }
    m_window = m_params.S + kSolMargin;
}

bool ClusterEngine::similarFast(int centre, int other, double solDistance) const
{
    const ClusterOrbit& c = m_orbits[static_cast<std::size_t>(centre)];
    const ClusterOrbit& o = m_orbits[static_cast<std::size_t>(other)];
    if (solDistance > m_params.S - kSolMargin && !(AbsAngleDiff(c.sol, o.sol) <= m_params.S))
        return false;
    const Prepared& pc = m_prepared[static_cast<std::size_t>(centre)];
    if (!(pc.window.low <= o.vg && o.vg <= pc.window.high))
        return false;
    // Radiants clearly apart or clearly close by the unit vectors; only the rest need the
    // exact distance.
    const double cosine = dot(pc.radiant, m_prepared[static_cast<std::size_t>(other)].radiant);
    const double rOuter = std::min(m_params.R + kRadiantMarginDeg, 180.0) * kDegToRad;
    if (cosine < std::cos(rOuter) - kCosineMargin)
        return false;
    const double rInner = (m_params.R - kRadiantMarginDeg) * kDegToRad;
    const bool surelyClose = rInner > 0 && cosine > std::cos(rInner) + kCosineMargin;
    if (!surelyClose && !(AngularDistance(c.ra, c.dec, o.ra, o.dec) <= m_params.R))
        return false;
    // D' is at least the root of its first two squared terms, summed as DPrime sums them.
    const double eTerm = relativeTerm(c.e, o.e), qTerm = relativeTerm(c.q, o.q);
    if (std::sqrt(eTerm * eTerm + qTerm * qTerm) >= m_params.D)
        return false;
    return DPrime({c.e, c.q, c.incl, c.node, c.peri}, {o.e, o.q, o.incl, o.node, o.peri}) <
           m_params.D;
}

void ClusterEngine::sweepFrom(int position, std::vector<Edge>& edges) const
{
    const int m = static_cast<int>(m_bySol.size());
    const double start = m_sortedSol[static_cast<std::size_t>(position)];
    const bool wholeCircle = m_window >= 180.0;
    for (int step = 1; step < m; ++step) {
        int q = position + step;
        if (wholeCircle && q >= m)
            break;
        const bool wrapped = q >= m;
        if (wrapped)
            q -= m;
        double distance = m_sortedSol[static_cast<std::size_t>(q)] - start + (wrapped ? 360 : 0);
        if (wholeCircle)
            distance = circularDistance(start, m_sortedSol[static_cast<std::size_t>(q)]);
        else if (distance > m_window)
            break;
        const int x = m_bySol[static_cast<std::size_t>(position)];
        const int y = m_bySol[static_cast<std::size_t>(q)];
        const int a = std::min(x, y), b = std::max(x, y);
        if (similarFast(a, b, distance))
            edges.emplace_back(a, b);
    }
}

void ClusterEngine::testExceptional(int exceptionalIndex, std::vector<Edge>& edges) const
{
    const int x = m_exceptional[static_cast<std::size_t>(exceptionalIndex)];
    auto test = [&](int y) {
        const int a = std::min(x, y), b = std::max(x, y);
        if (similarTo(m_orbits[static_cast<std::size_t>(a)], m_orbits[static_cast<std::size_t>(b)],
                      m_params))
            edges.emplace_back(a, b);
    };
    for (const int y : m_bySol)
        test(y);
    for (std::size_t k = static_cast<std::size_t>(exceptionalIndex) + 1; k < m_exceptional.size();
         ++k)
        test(m_exceptional[k]);
}

bool ClusterEngine::buildGraph(const std::function<bool()>& stopRequested,
                               const std::function<void(int)>& progress)
{
    const int regular = static_cast<int>(m_bySol.size());
    const int jobs = regular + static_cast<int>(m_exceptional.size());
    const int threads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    std::vector<std::vector<Edge>> parts(static_cast<std::size_t>(threads));
    std::atomic<int> next{0};
    std::atomic<bool> stopped{false};
    auto work = [&](int part, bool reporting) {
        std::vector<Edge>& edges = parts[static_cast<std::size_t>(part)];
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
                    sweepFrom(job, edges);
                else
                    testExceptional(job - regular, edges);
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
    buildAdjacency(parts);
    return true;
}

void ClusterEngine::buildAdjacency(const std::vector<std::vector<Edge>>& parts)
{
    const int n = candidateCount();
    m_firstNeighbour.assign(static_cast<std::size_t>(n) + 1, 0);
    for (const std::vector<Edge>& edges : parts)
        for (const Edge& edge : edges) {
            ++m_firstNeighbour[static_cast<std::size_t>(edge.first) + 1];
            ++m_firstNeighbour[static_cast<std::size_t>(edge.second) + 1];
        }
    for (std::size_t i = 1; i < m_firstNeighbour.size(); ++i)
        m_firstNeighbour[i] += m_firstNeighbour[i - 1];
    m_neighbours.resize(static_cast<std::size_t>(m_firstNeighbour.back()));
    std::vector<std::int64_t> fill(m_firstNeighbour.begin(), m_firstNeighbour.end() - 1);
    for (const std::vector<Edge>& edges : parts)
        for (const Edge& edge : edges) {
            m_neighbours[static_cast<std::size_t>(fill[static_cast<std::size_t>(edge.first)]++)] =
                edge.second;
            m_neighbours[static_cast<std::size_t>(fill[static_cast<std::size_t>(edge.second)]++)] =
                edge.first;
        }

    m_count.resize(static_cast<std::size_t>(n));
    m_alive.assign(static_cast<std::size_t>(n), 1);
    m_live = n;
    for (int i = 0; i < n; ++i) {
        const auto degree = m_firstNeighbour[static_cast<std::size_t>(i) + 1] -
                            m_firstNeighbour[static_cast<std::size_t>(i)];
        m_count[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(degree);
        if (degree < m_params.minCount)
            m_pendingLow.push_back(i);
    }
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

std::vector<int> ClusterEngine::membersOf(int centre) const
{
    std::vector<int> members;
    const ClusterOrbit& c = m_orbits[static_cast<std::size_t>(centre)];
    auto consider = [&](int i, double solDistance) {
        if (!m_alive[static_cast<std::size_t>(i)])
            return;
        const bool similar = solDistance < 0
                                 ? similarTo(c, m_orbits[static_cast<std::size_t>(i)], m_params)
                                 : similarFast(centre, i, solDistance);
        if (similar)
            members.push_back(i);
    };
    const int place = m_placeBySol[static_cast<std::size_t>(centre)];
    const int m = static_cast<int>(m_bySol.size());
    auto sortedSol = [this](int p) { return m_sortedSol[static_cast<std::size_t>(p)]; };
    auto candidateAt = [this](int p) { return m_bySol[static_cast<std::size_t>(p)]; };
    if (place < 0 || m_window >= 180.0) {
        for (int p = 0; p < m; ++p)
            consider(candidateAt(p),
                     place < 0 ? -1.0 : circularDistance(sortedSol(place), sortedSol(p)));
    } else {
        // The centre's place and the places within the window on either side, each once.
        int forward = 0;
        for (; forward < m; ++forward) {
            const int q = (place + forward) % m;
            const double d = sortedSol(q) - sortedSol(place) + (place + forward >= m ? 360 : 0);
            if (d > m_window)
                break;
            consider(candidateAt(q), d);
        }
        for (int step = 1; step <= m - forward; ++step) {
            const int q = (place - step + m) % m;
            const double d = sortedSol(place) - sortedSol(q) + (place - step < 0 ? 360 : 0);
            if (d > m_window)
                break;
            consider(candidateAt(q), d);
        }
    }
    for (const int i : m_exceptional)
        consider(i, -1.0);
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

void ClusterEngine::remove(const std::vector<int>& leaving)
{
    std::vector<int> gone;
    for (const int r : leaving)
        if (m_alive[static_cast<std::size_t>(r)]) {
            m_alive[static_cast<std::size_t>(r)] = 0;
            gone.push_back(r);
        }
    m_live -= static_cast<int>(gone.size());
    std::vector<int> touched;
    for (const int r : gone)
        for (auto k = m_firstNeighbour[static_cast<std::size_t>(r)];
             k < m_firstNeighbour[static_cast<std::size_t>(r) + 1]; ++k) {
            const int u = m_neighbours[static_cast<std::size_t>(k)];
            if (!m_alive[static_cast<std::size_t>(u)])
                continue;
            if (m_count[static_cast<std::size_t>(u)]-- == m_params.minCount)
                m_pendingLow.push_back(u);
            touched.push_back(u);
        }
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    for (const int r : gone)
        updateDensest(r);
    for (const int u : touched)
        updateDensest(u);
}
