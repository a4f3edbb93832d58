// Batch commands of the astronomy core: sol, mjd, date, orbit and dprime.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/orbit_from_radiant.h"
#include "astro/similarity.h"
#include "batch/batch_command.h"

namespace {

// Smallest vg for which an orbit is computed, km/s.
constexpr double kMinVgKms = 0.01;

// All arguments as numbers, exactly as many as wanted.
bool parseAll(const std::vector<std::string>& args, size_t count, std::vector<double>& values)
{
    if (args.size() != count)
        return false;
    values.resize(count);
    for (size_t k = 0; k < count; ++k)
        if (!parseNumber(args[k], values[k]))
            return false;
    return true;
}

bool isInt(double value)
{
    return std::isfinite(value) && value == std::trunc(value) &&
           std::fabs(value) <= std::numeric_limits<int>::max();
}

int solCommand(const std::vector<std::string>& args)
{
    std::vector<double> v;
    if (!parseAll(args, 1, v))
        return kBatchUsage;
    std::printf("%.6f\n", SolarLongitude(v[0]));
    return kBatchOk;
}

int mjdCommand(const std::vector<std::string>& args)
{
    std::vector<double> v;
    if (!parseAll(args, 6, v) || !std::all_of(v.begin(), v.end(), isInt))
        return kBatchUsage;
    const auto i = [&v](int k) { return static_cast<int>(v[k]); };
    std::printf("%.6f\n", DateToMJD(i(0), i(1), i(2), i(3), i(4), i(5)));
    return kBatchOk;
}

int dateCommand(const std::vector<std::string>& args)
{
    std::vector<double> v;
    if (!parseAll(args, 1, v))
        return kBatchUsage;
    int year = 0, month = 0, day = 0;
    if (!MJDToDate(v[0], year, month, day)) {
        std::fprintf(stderr, "date: MJD %s lies outside 1900-01-01 to 2099-12-31\n",
                     args[0].c_str());
        return kBatchFailed;
    }
    std::printf("%d %d %d\n", year, month, day);
    return kBatchOk;
}

int orbitCommand(const std::vector<std::string>& args)
{
    std::vector<double> v;
    if (!parseAll(args, 4, v))
        return kBatchUsage;
    const double jd = v[0], ra = v[1] * kDegToRad, dec = v[2] * kDegToRad, vg = v[3];
    if (!(vg >= kMinVgKms)) {
        std::fprintf(stderr, "orbit: VG must be at least %.2f km/s\n", kMinVgKms);
        return kBatchFailed;
    }
    double peri = 0, node = 0, incl = 0, a = 0, q = 0, e = 0;
    OrbitFromRadiant(jd, ra, dec, vg, peri, node, incl, a, q, e);
    std::printf("%.6f %.6f %.6f %.6f %.6f %.6f %.6f\n", a, q, e, peri, node, incl,
                HeliocentricSpeed(jd, ra, dec, vg));
    return kBatchOk;
}

int dprimeCommand(const std::vector<std::string>& args)
{
    std::vector<double> v;
    if (!parseAll(args, 10, v))
        return kBatchUsage;
    std::printf("%.6f\n", DPrime({v[0], v[1], v[2], v[3], v[4]}, {v[5], v[6], v[7], v[8], v[9]}));
    return kBatchOk;
}

} // namespace

std::vector<BatchCommand> astroCommands()
{
    return {
        {"sol", "JD", "solar longitude of a Julian date, degrees", solCommand},
        {"mjd", "Y M D h m s", "MJD of a date and time (+64.184 s)", mjdCommand},
        {"date", "MJD", "date of an MJD as Y M D (1900-2099)", dateCommand},
        {"orbit", "JD RA DEC VG", "a q e peri node incl vs from a radiant (degrees, km/s)",
         orbitCommand},
        {"dprime", "e1 q1 i1 node1 peri1 e2 q2 i2 node2 peri2", "D' of two orbits", dprimeCommand},
    };
}
