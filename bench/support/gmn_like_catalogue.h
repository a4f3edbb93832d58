#pragma once
// A seeded catalogue as dense as a real GMN archive, made from the project's two GMN
// trajectory summaries: every orbit starts as a random real meteor; 30 % keep its radiant
// (0.8 degree and 0.6 km/s scatter) and its time of year (within 0.7 days, in another year),
// 70 % become sporadics spread uniformly over the year, the sky and 12-70 km/s. The elements
// are computed from the radiant, so shower members share their orbits as real ones do.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "cluster/cluster_similarity.h"

struct GmnLikeOrbit {
    double mjd;
    float sol, ra, dec, vg;
    float a, q, e, peri, node, incl;
    float mag;
};

// The real meteors of the GMN summaries in sourcesFolder (the repository's data/sources).
struct GmnMeteor {
    double mjd;
    float ra, dec, vg, mag;
};
std::vector<GmnMeteor> readGmnMeteors(const std::string& sourcesFolder);

// The orbits one after the other, so that ten million need not be held at once; the same
// meteors and seed give the same sequence.
class GmnLikeGenerator {
public:
    GmnLikeGenerator(std::vector<GmnMeteor> meteors, std::uint32_t seed);
    GmnLikeOrbit next();

private:
    GmnLikeOrbit shower(const GmnMeteor& meteor);
    GmnLikeOrbit sporadic(const GmnMeteor& meteor);
    double uniform(double low, double high);
    double normal(double spread);

    std::vector<GmnMeteor> m_meteors;
    std::mt19937 m_random;
};

// The first `count` orbits of the generator.
std::vector<GmnLikeOrbit> gmnLikeCatalogue(const std::vector<GmnMeteor>& meteors, int count,
                                           std::uint32_t seed);

std::vector<ClusterOrbit> clusterFieldsOf(const std::vector<GmnLikeOrbit>& orbits);

// Writes the generator's next `rows` orbits as an orbit file of the table layout, OIDs
// dsid * 100000 + 0 ..., so that 99,999 rows leave the source an IDnext of its own. False when
// it cannot be written.
bool writeGmnLikeOrbitFile(const std::string& path, GmnLikeGenerator& generator, int rows,
                           std::uint32_t dsid);
