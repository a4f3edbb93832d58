#pragma once
// Seeded random orbits and streams for the grouping oracle: windows across 0, sols on the
// window ends, repeated streams (tied distances), drifts of every sign, NaN fields, data
// sources not in use, missing typical orbits and links made before the run.

#include <cstdint>

#include "stream_db.h"

void fillRandomStreams(StreamDb& mdb, std::uint32_t seed, int streamCount, int orbitsPerStream);
