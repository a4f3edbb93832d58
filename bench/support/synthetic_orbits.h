#pragma once
// Synthetic orbit files in the orbit table's layout, for benchmarks.

#include <cstdint>
#include <string>

// Writes `rows` orbits with plausible values: OIDs of ten data sources
// (DSID * 100000 + n), names like "20181213_012345", six-decimal floats, a
// short memo on one row in ten. The same seed gives the same file.
void writeSyntheticOrbitFile(const std::string& path, int rows, std::uint32_t seed);

// The OID of the synthetic orbit in row `row`.
std::uint32_t syntheticOid(int row);
