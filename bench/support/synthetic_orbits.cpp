// Writes synthetic orbit files line by line, without holding a table.
#include "support/synthetic_orbits.h"

#include <cstdio>
#include <random>

std::uint32_t syntheticOid(int row)
{
    const auto n = static_cast<std::uint32_t>(row);
    return (3 + n / 99999) * 100000 + 1 + n % 99999;
}

void writeSyntheticOrbitFile(const std::string& path, int rows, std::uint32_t seed)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return;
    std::fputs("_Version,_OID,_use,_name,_mjd,_sol,_ra,_dec,_vg,_type,_a,_q,_e,_peri,_node,_incl,"
               "_M,_T/e,_r_sd,_v_sd,_Hb,_He,_zr,_mag,_mass,_memo\r\n",
               file);
    std::mt19937 random(seed);
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    for (int row = 0; row < rows; ++row) {
        const double mjd = uniform(55197.0, 59945.0);
        const int day = static_cast<int>(mjd) % 28 + 1;
        const int month = static_cast<int>(mjd / 28) % 12 + 1;
        const int year = 2010 + static_cast<int>(mjd - 55197.0) / 365;
        const double seconds = (mjd - static_cast<int>(mjd)) * 86400;
        const int hms = static_cast<int>(seconds / 3600) * 10000 +
                        static_cast<int>(seconds / 60) % 60 * 100 + static_cast<int>(seconds) % 60;
        const double q = uniform(0.05, 1.01);
        const double e = uniform(0.1, 1.2);
        const double a = e < 1 ? q / (1 - e) : -q / (e - 1);
        std::fprintf(file,
                     "501,%u,1,_%04d%02d%02d_%06d,%f,%f,%f,%f,%f,1,%f,%f,%f,%f,%f,%f,0.000000,"
                     "0.000000,%f,%f,%f,%f,%f,%f,0.000000,_%s\r\n",
                     syntheticOid(row), year, month, day, hms, mjd, uniform(0, 360),
                     uniform(0, 360), uniform(-60, 89), uniform(11, 72), a, q, e, uniform(0, 360),
                     uniform(0, 360), uniform(0, 180), uniform(0, 2), uniform(0, 3),
                     uniform(80, 125), uniform(65, 100), uniform(5, 80), uniform(-4, 4),
                     row % 10 == 0 ? "video" : "");
    }
    std::fclose(file);
}
