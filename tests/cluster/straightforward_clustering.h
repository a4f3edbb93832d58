#pragma once
// The clustering exactly as the densest-orbit algorithm reads, cycle after cycle over all
// pairs of the remaining candidates: the oracle of the fast engine.

#include <vector>

#include "cluster/cluster_engine.h"

// Every stream of a run, in order. The centre leaves at compaction even when it failed its own
// tests, as the engine does.
std::vector<ClusterStream> straightforwardClustering(const std::vector<ClusterOrbit>& orbits,
                                                     const ClusterParams& params);
