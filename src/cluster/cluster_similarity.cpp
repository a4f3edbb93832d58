// The four similarity tests of clustering and the limits of its parameters.
#include "cluster/cluster_similarity.h"

#include <algorithm>
#include <cmath>

#include "astro/angles.h"
#include "astro/frames.h"
#include "astro/similarity.h"

namespace {

template <class T> T limited(T value, T low, T high)
{
    if (std::isnan(static_cast<double>(value)))
        return low;
    return std::clamp(value, low, high);
}

} // namespace

ClusterParams clampedClusterParams(const ClusterParams& params)
{
    return {limited(params.D, 0.0f, 10.0f), limited(params.S, 0.0f, 180.0f),
            limited(params.minCount, 1, 1000), limited(params.R, 0.0f, 180.0f),
            limited(params.V, 0, 1000)};
}

ClusterVelocityWindow clusterVelocityWindow(float vgKms, int percent)
{
    return {vgKms * (1.0 - percent / 100.0), vgKms * (1.0 + percent / 100.0)};
}

bool similarTo(const ClusterOrbit& centre, const ClusterOrbit& other, const ClusterParams& params)
{
    if (!(AbsAngleDiff(centre.sol, other.sol) <= params.S))
        return false;
    const ClusterVelocityWindow window = clusterVelocityWindow(centre.vg, params.V);
    if (!(window.low <= other.vg && other.vg <= window.high))
        return false;
    if (!(AngularDistance(centre.ra, centre.dec, other.ra, other.dec) <= params.R))
        return false;
    const DPrimeOrbit a{centre.e, centre.q, centre.incl, centre.node, centre.peri};
    const DPrimeOrbit b{other.e, other.q, other.incl, other.node, other.peri};
    return DPrime(a, b) < params.D;
}
