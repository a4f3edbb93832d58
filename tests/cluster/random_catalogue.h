#pragma once
// Seeded random candidate catalogues: showers of similar orbits in a sporadic background, with
// the awkward values a catalogue can hold mixed in on request.

#include <cstdint>
#include <vector>

#include "cluster/cluster_similarity.h"

struct CatalogueShape {
    int orbits = 300;
    int showers = 6;
    double showerShare = 0.6; // of the orbits
    bool nearSolZero = false; // shower centres within a few degrees of sol 0
    double duplicateShare = 0;
    double nonFiniteShare = 0;  // a NaN or an infinity in one field
    double negativeVgShare = 0; // vg below 0
    double oddSolShare = 0;     // sol outside [0, 360), some beyond any cheap comparison
    double circularShare = 0;   // e = 0 or q = 0
};

std::vector<ClusterOrbit> randomCatalogue(const CatalogueShape& shape, std::uint32_t seed);
