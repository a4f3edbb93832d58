// The grouping oracle's random database.
#include "random_streams.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "mdb/schema.h"
#include "streams/stream_grouping.h"
#include "table/links.h"

namespace {

class Dice {
public:
    explicit Dice(std::uint32_t seed) : m_engine(seed) {}
    float uniform(float low, float high)
    {
        return std::uniform_real_distribution<float>(low, high)(m_engine);
    }
    int integer(int low, int high)
    {
        return std::uniform_int_distribution<int>(low, high)(m_engine);
    }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_engine); }
    // The value, or NaN now and then.
    float maybeNan(float value)
    {
        return chance(0.02) ? std::numeric_limits<float>::quiet_NaN() : value;
    }

private:
    std::mt19937 m_engine;
};

TestStream randomStream(Dice& dice)
{
    TestStream s;
    s.sol1 = static_cast<float>(dice.integer(0, 359));
    const int length = dice.chance(0.05) ? 0 : dice.integer(3, 40);
    s.sol2 = std::fmod(s.sol1 + length, 360.0f);
    s.solp = std::fmod(s.sol1 + length / 2.0f, 360.0f);
    s.ra = dice.uniform(0, 360);
    s.dec = dice.uniform(-85, 85);
    const int drift = dice.integer(0, 3);
    s.dra = drift == 0 ? 0 : drift == 1 ? -dice.uniform(0.1f, 1.5f) : dice.uniform(-1.5f, 1.5f);
    s.ddec = drift == 0 ? 0 : drift == 1 ? -dice.uniform(0.01f, 0.5f) : dice.uniform(-0.5f, 0.5f);
    s.vg = dice.chance(0.05) ? 0 : dice.chance(0.03) ? -1 : dice.uniform(11, 70);
    s.R = dice.chance(0.15) ? 0 : dice.chance(0.03) ? -1 : dice.uniform(1, 6);
    s.dv = dice.chance(0.15) ? 0 : dice.chance(0.03) ? -1 : dice.uniform(1, 5);
    s.Dp = dice.chance(0.1) ? 0 : dice.uniform(0.05f, 0.3f);
    float* fields[] = {&s.sol1, &s.sol2, &s.solp, &s.ra, &s.dec, &s.dra,
                       &s.ddec, &s.vg,   &s.R,    &s.dv, &s.Dp};
    for (float* field : fields)
        *field = dice.maybeNan(*field);
    return s;
}

TestOrbit elementsNear(Dice& dice, const TestOrbit& base, float spread)
{
    TestOrbit o = base;
    o.q = std::fabs(base.q + dice.uniform(-spread, spread) * 0.2f);
    o.e = std::fabs(base.e + dice.uniform(-spread, spread) * 0.2f);
    o.incl = base.incl + dice.uniform(-spread, spread) * 20;
    o.node = std::fmod(base.node + dice.uniform(-spread, spread) * 20 + 360, 360.0f);
    o.peri = std::fmod(base.peri + dice.uniform(-spread, spread) * 20 + 360, 360.0f);
    return o;
}

TestOrbit orbitNear(Dice& dice, const TestStream& s, const TestOrbit& elements)
{
    TestOrbit o = elementsNear(dice, elements, 1.0f);
    const int where = dice.integer(0, 9);
    const float sol1 = std::isnan(s.sol1) ? 0 : s.sol1, sol2 = std::isnan(s.sol2) ? 0 : s.sol2;
    o.sol = where == 0   ? sol1
            : where == 1 ? sol2
                         : std::fmod(sol1 + dice.uniform(-2, 42) + 360, 360.0f);
    double ra = 0, dec = 0;
    DriftingRadiant(s.solp, s.ra, s.dec, s.dra, s.ddec).at(o.sol, ra, dec);
    const float reach = (std::isnan(s.R) || s.R <= 0 ? 3.0f : s.R) * 2;
    o.ra = std::fmod(static_cast<float>(ra) + dice.uniform(-reach, reach) + 360, 360.0f);
    o.dec = std::clamp(static_cast<float>(dec) + dice.uniform(-reach, reach), -90.0f, 90.0f);
    o.vg = (std::isnan(s.vg) ? 40 : std::fabs(s.vg)) + dice.uniform(-8, 8);
    return o;
}

TestOrbit randomOrbit(Dice& dice)
{
    return {dice.uniform(0, 360), dice.uniform(0, 360),      dice.uniform(-90, 90),
            dice.uniform(11, 72), dice.uniform(0.05f, 1.1f), dice.uniform(0.05f, 1.2f),
            dice.uniform(0, 180), dice.uniform(0, 360),      dice.uniform(0, 360)};
}

void spoil(Dice& dice, TestOrbit& o)
{
    float* fields[] = {&o.sol, &o.ra, &o.dec, &o.vg, &o.q, &o.e, &o.incl, &o.node, &o.peri};
    for (float* field : fields)
        *field = dice.maybeNan(*field);
}

} // namespace

void fillRandomStreams(StreamDb& mdb, std::uint32_t seed, int streamCount, int orbitsPerStream)
{
    using S = col::Stream;
    Dice dice(seed);
    std::vector<TestStream> streams;
    std::vector<TestOrbit> families;
    std::vector<int> streamRows;
    for (int i = 0; i < streamCount; ++i) {
        const bool repeat = !streams.empty() && dice.chance(0.1);
        streams.push_back(repeat ? streams[static_cast<std::size_t>(dice.integer(0, i - 1))]
                                 : randomStream(dice));
        families.push_back(randomOrbit(dice));
        const std::uint32_t dsid = dice.chance(0.9) ? StreamDb::kInUse : StreamDb::kNotInUse;
        streamRows.push_back(mdb.addStream(dsid, "VN_R", streams.back(), dice.chance(0.85)));
    }
    for (int i = 0; i < streamCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const int typical = mdb.addOrbit(StreamDb::kInUse, families[index]);
        const int choice = dice.integer(0, 9);
        if (choice < 8)
            mdb.setTypical(streamRows[index], typical);
        else if (choice == 8)
            mdb.db().streams.cell(streamRows[index], S::TypicalOID)->number = 99999;
        for (int k = 0; k < orbitsPerStream; ++k) {
            TestOrbit o = dice.chance(0.8) ? orbitNear(dice, streams[index], families[index])
                                           : randomOrbit(dice);
            spoil(dice, o);
            const std::uint32_t dsid = dice.chance(0.9) ? StreamDb::kInUse : StreamDb::kNotInUse;
            const int orbit = mdb.addOrbit(dsid, o);
            if (dice.chance(0.05))
                link({&mdb.db().streams,
                      streamRows[static_cast<std::size_t>(dice.integer(0, streamCount - 1))],
                      S::OLINK},
                     {&mdb.db().orbits, orbit, col::Orbit::SLINK});
        }
    }
}
