// The GMN-like catalogue: real meteors resampled into a catalogue of any size.
#include "support/gmn_like_catalogue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string_view>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/orbit_from_radiant.h"

namespace {

constexpr const char* kSummaries[] = {"gmn_traj_summary_monthly_201812.txt",
                                      "gmn_traj_summary_20220304_solrange_344.0-345.0.txt"};
// 1-based columns of a summary row: Julian date (UTC), RA, Dec, Vgeo, peak magnitude.
constexpr int kJdColumn = 2, kRaColumn = 8, kDecColumn = 10, kVgColumn = 16, kMagColumn = 77;
constexpr double kShowerShare = 0.3;
constexpr double kRadiantScatterDeg = 0.8;
constexpr double kVgScatterKms = 0.6;
constexpr double kTimeScatterDays = 0.7;
constexpr double kTropicalYearDays = 365.2422;
// The catalogue's years: the sporadics spread over them, the shower members move into them.
constexpr int kFirstYear = 2012, kYears = 14;
constexpr double kMinVg = 12.0, kMaxVg = 70.0;

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t end = line.find(';', start);
        std::string_view field = line.substr(start, end - start);
        while (!field.empty() && std::isspace(static_cast<unsigned char>(field.front())))
            field.remove_prefix(1);
        while (!field.empty() && std::isspace(static_cast<unsigned char>(field.back())))
            field.remove_suffix(1);
        fields.push_back(field);
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

bool number(std::string_view field, double& value)
{
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc() && end == field.data() + field.size() && std::isfinite(value);
}

double wrap360(double deg) { return std::fmod(std::fmod(deg, 360.0) + 360.0, 360.0); }

} // namespace

std::vector<GmnMeteor> readGmnMeteors(const std::string& sourcesFolder)
{
    std::vector<GmnMeteor> meteors;
    for (const char* name : kSummaries) {
        std::ifstream in(sourcesFolder + "/" + name);
        for (std::string line; std::getline(in, line);) {
            if (line.empty() || line.front() == '#')
                continue;
            const std::vector<std::string_view> f = fieldsOf(line);
            if (f.size() < kMagColumn)
                continue;
            double jd = 0, ra = 0, dec = 0, vg = 0, mag = 0;
            if (!number(f[kJdColumn - 1], jd) || !number(f[kRaColumn - 1], ra) ||
                !number(f[kDecColumn - 1], dec) || !number(f[kVgColumn - 1], vg))
                continue;
            if (!number(f[kMagColumn - 1], mag))
                mag = 0;
            meteors.push_back({jd - kMjdToJd + kClockOffsetSeconds / 86400.0,
                               static_cast<float>(ra), static_cast<float>(dec),
                               static_cast<float>(vg), static_cast<float>(mag)});
        }
    }
    return meteors;
}

GmnLikeGenerator::GmnLikeGenerator(std::vector<GmnMeteor> meteors, std::uint32_t seed)
    : m_meteors(std::move(meteors)), m_random(seed)
{
}

double GmnLikeGenerator::uniform(double low, double high)
{
    return std::uniform_real_distribution<double>(low, high)(m_random);
}

double GmnLikeGenerator::normal(double spread)
{
    return std::normal_distribution<double>(0.0, spread)(m_random);
}

namespace {

GmnLikeOrbit orbitAt(double mjd, double raDeg, double decDeg, double vgKms, float mag)
{
    const double jd = mjd + kMjdToJd;
    double peri = 0, node = 0, incl = 0, a = 0, q = 0, e = 0;
    OrbitFromRadiant(jd, raDeg * kDegToRad, decDeg * kDegToRad, vgKms, peri, node, incl, a, q, e);
    return {mjd,
            static_cast<float>(SolarLongitude(jd)),
            static_cast<float>(raDeg),
            static_cast<float>(decDeg),
            static_cast<float>(vgKms),
            static_cast<float>(a),
            static_cast<float>(q),
            static_cast<float>(e),
            static_cast<float>(peri),
            static_cast<float>(node),
            static_cast<float>(incl),
            mag};
}

int yearOf(double mjd)
{
    int year = 0, month = 0, day = 0;
    return MJDToDate(mjd, year, month, day) ? year : kFirstYear;
}

} // namespace

GmnLikeOrbit GmnLikeGenerator::shower(const GmnMeteor& m)
{
    const int year = yearOf(m.mjd);
    int target = kFirstYear + static_cast<int>(uniform(0, kYears - 1));
    if (target >= year)
        ++target;
    const double mjd =
        m.mjd + (target - year) * kTropicalYearDays + uniform(-kTimeScatterDays, kTimeScatterDays);
    const double dec = std::clamp(m.dec + normal(kRadiantScatterDeg), -90.0, 90.0);
    const double cosDec = std::max(std::cos(dec * kDegToRad), 0.01);
    const double ra = wrap360(m.ra + normal(kRadiantScatterDeg) / cosDec);
    const double vg = std::max(m.vg + normal(kVgScatterKms), 1.0);
    return orbitAt(mjd, ra, dec, vg, m.mag);
}

GmnLikeOrbit GmnLikeGenerator::sporadic(const GmnMeteor& m)
{
    const double first = DateToMJD(kFirstYear, 1, 1, 0, 0, 0);
    const double mjd = uniform(first, DateToMJD(kFirstYear + kYears, 1, 1, 0, 0, 0));
    const double dec = std::asin(uniform(-1.0, 1.0)) * kRadToDeg;
    return orbitAt(mjd, uniform(0.0, 360.0), dec, uniform(kMinVg, kMaxVg), m.mag);
}

GmnLikeOrbit GmnLikeGenerator::next()
{
    const GmnMeteor& meteor =
        m_meteors[std::uniform_int_distribution<std::size_t>(0, m_meteors.size() - 1)(m_random)];
    return uniform(0.0, 1.0) < kShowerShare ? shower(meteor) : sporadic(meteor);
}

std::vector<GmnLikeOrbit> gmnLikeCatalogue(const std::vector<GmnMeteor>& meteors, int count,
                                           std::uint32_t seed)
{
    GmnLikeGenerator generator(meteors, seed);
    std::vector<GmnLikeOrbit> orbits;
    orbits.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        orbits.push_back(generator.next());
    return orbits;
}

std::vector<ClusterOrbit> clusterFieldsOf(const std::vector<GmnLikeOrbit>& orbits)
{
    std::vector<ClusterOrbit> fields;
    fields.reserve(orbits.size());
    for (const GmnLikeOrbit& o : orbits)
        fields.push_back({o.sol, o.ra, o.dec, o.vg, o.e, o.q, o.incl, o.node, o.peri});
    return fields;
}

bool writeGmnLikeOrbitFile(const std::string& path, GmnLikeGenerator& generator, int rows,
                           std::uint32_t dsid)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fputs("_Version,_OID,_use,_name,_mjd,_sol,_ra,_dec,_vg,_type,_a,_q,_e,_peri,_node,_incl,"
               "_M,_T/e,_r_sd,_v_sd,_Hb,_He,_zr,_mag,_mass,_memo\r\n",
               file);
    for (int row = 0; row < rows; ++row) {
        const GmnLikeOrbit o = generator.next();
        int year = 0, month = 0, day = 0;
        if (!MJDToDate(o.mjd, year, month, day))
            year = month = day = 0;
        const int secondOfDay = static_cast<int>((o.mjd - std::floor(o.mjd)) * 86400.0);
        std::fprintf(file,
                     "501,%u,1,_%04d%02d%02d%02d%02d%02d_%05d,%f,%f,%f,%f,%f,1,%f,%f,%f,%f,%f,%f,"
                     "0.000000,0.000000,0.500000,0.200000,95.000000,80.000000,0.000000,%f,"
                     "0.000010,_\r\n",
                     dsid * 100000u + static_cast<std::uint32_t>(row), year, month, day,
                     secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60, row,
                     static_cast<double>(static_cast<float>(o.mjd)), o.sol, o.ra, o.dec, o.vg, o.a,
                     o.q, o.e, o.peri, o.node, o.incl, o.mag);
    }
    return std::fclose(file) == 0;
}
