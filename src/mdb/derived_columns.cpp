// Derived columns of orbits and streams.
#include "mdb/derived_columns.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <limits>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "astro/angles.h"
#include "astro/calendar.h"
#include "astro/orbit_from_radiant.h"
#include "astro/sun.h"
#include "mdb/database.h"
#include "mdb/schema.h"
#include "platform/parallel.h"
#include "table/id_index.h"
#include "table/links.h"

namespace {

constexpr char kCodeAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";
// The stream codes stop growing past this length and are cut to the cell's limit.
constexpr std::size_t kStreamCodesSoftLimit = 248;
constexpr std::size_t kStreamCodesMax = 253;

char codeCharacter(double position)
{
    const int index = std::clamp(static_cast<int>(std::trunc(position)), 0, 35);
    return kCodeAlphabet[index];
}

void setCode(CUTABLE& table, int row, int column, const std::string& text)
{
    table.setText(row, column, text.c_str());
}

} // namespace

std::string positionCode(float solDeg, float raDeg, float decDeg, float vgKms)
{
    // NaN fields clamp to "0" rather than index the alphabet out of range.
    auto safe = [](double value) { return std::isnan(value) ? 0.0 : value; };
    return {codeCharacter(safe(solDeg / 10.0)), codeCharacter(safe(raDeg / 10.0)),
            codeCharacter(safe((90.0 - decDeg) / 5.0)), codeCharacter(safe(vgKms * 0.5))};
}

std::string monthDayText(int month, int day)
{
    // Written by hand for the calendar's two-digit values: millions of orbits take one each.
    auto twoDigits = [](int value) { return value >= 0 && value <= 99; };
    if (twoDigits(month) && twoDigits(day))
        return {char('0' + month / 10), char('0' + month % 10), '/', char('0' + day / 10),
                char('0' + day % 10)};
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d", month, day);
    return text;
}

namespace {

// M/D, code and vs of a row's cells.
template <class Speed> void setOrbitDerived(UCell* cells, Speed&& heliocentricSpeed)
{
    using C = col::Orbit;
    const double mjd = cells[C::mjd].real64;
    const float sol = cells[C::sol].real;
    const float ra = cells[C::ra].real;
    const float dec = cells[C::dec].real;
    const float vg = cells[C::vg].real;
    int year = 0, month = 0, day = 0;
    setCodeCell(cells[C::MD], MJDToDate(mjd, year, month, day) ? monthDayText(month, day) : "");
    setCodeCell(cells[C::code], positionCode(sol, ra, dec, vg));
    cells[C::vs].real = heliocentricSpeed(mjd, ra, dec, vg);
}

float exactSpeed(float mjd, float ra, float dec, float vg)
{
    return static_cast<float>(HeliocentricSpeed(EarthPositionVelocity(double(mjd) + kMjdToJd),
                                                ra * kDegToRad, dec * kDegToRad, vg));
}

// The Earth's velocity is a smooth function of time whose fastest terms (the Moon's) have
// periods of days: it is computed from the series at every eighth of a day and interpolated by
// the cubic through the four nearest such instants. The cubic's own error is below 3e-13
// AU/day (h^4 * 9/16 / 24 times a fourth derivative of about 5e-8 AU/day^5); the series'
// velocity, a difference of two positions 0.01 day apart, carries rounding noise of up to
// about 5e-11 AU/day (1e-13 AU in each position, from the large rates times T), which no
// interpolation reproduces: together below 1e-7 km/s in vs. A vs that lies within kSafeKms of
// a rounding boundary of the float it is stored as is computed from the series instead, so
// every stored value is the series' own, bit for bit.
// The instants come in chunks of 32 days, each computed once enough rows fall in it to pay for
// it. Rows of sparser times and those near a boundary take the series' velocity at their time,
// kept for the next row of the same time: times are floats, 256 to a day, so a large
// catalogue's rows share them. Which rows share what changes the cost only, never a value.
class EarthVelocityGrid {
public:
    // Computes the chunks that enough of the rows' times fall in.
    void prepare(const std::vector<RowSpan>& spans)
    {
        std::unordered_map<std::int64_t, int> rowsByChunk;
        for (const RowSpan& span : spans)
            for (const UCell* cells = span.cells; cells != span.cells + span.rows * kColumns;
                 cells += kColumns)
                if (cells[0].number != CUTABLE::kDeleted)
                    if (const std::optional<Place> place = placeOf(cells[col::Orbit::mjd].real64))
                        ++rowsByChunk[place->chunk];
        std::vector<std::int64_t> wanted;
        for (const auto& [chunk, rows] : rowsByChunk)
            if (rows >= kRowsPerChunk && !m_chunks.contains(chunk))
                wanted.push_back(chunk);
        for (const std::int64_t chunk : wanted) {
            auto made = std::make_unique<Chunk>();
            for (int node = 0; node < kChunkNodes; ++node)
                made->velocity[node] = EarthPositionVelocity(instantJd(chunk, node)).velocity;
            m_chunks.emplace(chunk, std::move(made));
        }
    }

    float speed(float mjd, float ra, float dec, float vg)
    {
        const std::optional<Place> place = placeOf(mjd);
        const auto found = place ? m_chunks.find(place->chunk) : m_chunks.end();
        if (found == m_chunks.end())
            return seriesSpeed(mjd, ra, dec, vg);
        const Vec3* v = found->second->velocity + place->node;
        const double u = place->u;
        const double w[4] = {-u * (u - 1) * (u - 2) / 6, (u + 1) * (u - 1) * (u - 2) / 2,
                             -(u + 1) * u * (u - 2) / 2, (u + 1) * u * (u - 1) / 6};
        const double vs =
            speedFor(w[0] * v[0] + w[1] * v[1] + w[2] * v[2] + w[3] * v[3], ra, dec, vg);
        const float rounded = static_cast<float>(vs);
        const float beyond = std::nextafter(rounded, vs > rounded ? kHuge : -kHuge);
        const double boundary = (double(rounded) + double(beyond)) / 2.0;
        if (!std::isfinite(rounded) || std::fabs(vs - boundary) <= kSafeKms)
            return seriesSpeed(mjd, ra, dec, vg);
        return rounded;
    }

private:
    // The series' own, as exactSpeed gives it.
    float seriesSpeed(float mjd, float ra, float dec, float vg)
    {
        const auto [known, added] = m_exact.try_emplace(std::bit_cast<std::uint32_t>(mjd));
        if (added)
            known->second = EarthPositionVelocity(double(mjd) + kMjdToJd).velocity;
        return static_cast<float>(speedFor(known->second, ra, dec, vg));
    }

    // The speed takes only the Earth's velocity from its state.
    static double speedFor(const Vec3& earthVelocity, float ra, float dec, float vg)
    {
        EarthState earth{};
        earth.velocity = earthVelocity;
        return HeliocentricSpeed(earth, ra * kDegToRad, dec * kDegToRad, vg);
    }

    static constexpr double kStepDays = 0.125;
    static constexpr double kSafeKms = 2.5e-7;
    static constexpr double kGridLimit = 1e6;
    static constexpr float kHuge = std::numeric_limits<float>::infinity();
    static constexpr int kColumns = col::Orbit::count;
    static constexpr int kChunkSteps = 256;
    // A chunk's instants run from one step before its first to two after its last, so the
    // four instants around any time within it are its own.
    static constexpr int kChunkNodes = kChunkSteps + 3;
    // A chunk costs kChunkNodes evaluations of the series and spares most of one per row.
    static constexpr int kRowsPerChunk = kChunkSteps / 2;

    struct Chunk {
        Vec3 velocity[kChunkNodes];
    };
    // A time as its chunk, the chunk's node before it and the fraction of the step after that.
    struct Place {
        std::int64_t chunk;
        int node;
        double u;
    };

    // The rows' times are read as the float the speed is computed from.
    static std::optional<Place> placeOf(float mjd)
    {
        if (!(std::fabs(mjd) < kGridLimit))
            return std::nullopt;
        const double position = double(mjd) / kStepDays;
        const double step = std::floor(position);
        const auto whole = static_cast<std::int64_t>(step);
        const std::int64_t chunk = (whole - (whole < 0 ? kChunkSteps - 1 : 0)) / kChunkSteps;
        return Place{chunk, static_cast<int>(whole - chunk * kChunkSteps), position - step};
    }
    static double instantJd(std::int64_t chunk, int node)
    {
        return static_cast<double>(chunk * kChunkSteps - 1 + node) * kStepDays + kMjdToJd;
    }

    std::unordered_map<std::int64_t, std::unique_ptr<Chunk>> m_chunks;
    std::unordered_map<std::uint32_t, Vec3> m_exact; // by the bits of the float time
};

void computeRows(const std::vector<RowSpan>& spans, EarthVelocityGrid& grid)
{
    auto speed = [&grid](float mjd, float ra, float dec, float vg) {
        return grid.speed(mjd, ra, dec, vg);
    };
    for (const RowSpan& span : spans)
        for (int row = 0; row < span.rows; ++row) {
            UCell* cells = span.cells + static_cast<std::ptrdiff_t>(row) * col::Orbit::count;
            if (cells[0].number != CUTABLE::kDeleted)
                setOrbitDerived(cells, speed);
        }
}

} // namespace

void computeOrbitDerived(CUTABLE& orbits, int row)
{
    setOrbitDerived(orbits.cell(row, 0), exactSpeed);
}

struct OrbitDerivedWorker::State {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::vector<RowSpan>> batches; // handed over, not yet computed
    bool busy = false;                        // a batch taken is being computed
    bool stopping = false;
    EarthVelocityGrid grid;         // the worker's own
    EarthVelocityGrid finisherGrid; // that of the thread that waits in finish()
    std::thread thread;

    static void compute(const std::vector<RowSpan>& spans, EarthVelocityGrid& velocities)
    {
        velocities.prepare(spans);
        computeRows(spans, velocities);
    }

    // Takes the oldest batch waiting and computes it with the lock let go; false when none waits.
    bool computeOldest(std::unique_lock<std::mutex>& lock, EarthVelocityGrid& velocities)
    {
        if (batches.empty())
            return false;
        const std::vector<RowSpan> spans = std::move(batches.front());
        batches.pop_front();
        lock.unlock();
        compute(spans, velocities);
        lock.lock();
        return true;
    }

    void run()
    {
        // While files are read, the reading thread and the clearing of the table's next block
        // go first; what is left when the reading ends is shared (see finish()).
        lowerThisThreadsPriority();
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || !batches.empty(); });
            if (batches.empty())
                return;
            busy = true;
            computeOldest(lock, grid);
            busy = false;
            changed.notify_all();
        }
    }
};

OrbitDerivedWorker::OrbitDerivedWorker() : m_state(std::make_unique<State>())
{
    try {
        m_state->thread = std::thread([state = m_state.get()] { state->run(); });
    } catch (const std::system_error&) {
        // Without a thread to spare, add() computes the rows itself.
    }
}

OrbitDerivedWorker::~OrbitDerivedWorker()
{
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->stopping = true;
    }
    m_state->changed.notify_all();
    if (m_state->thread.joinable())
        m_state->thread.join();
}

void OrbitDerivedWorker::add(const CUTABLE& orbits, int first, int last)
{
    if (first >= last)
        return;
    std::vector<RowSpan> spans = orbits.rowSpans(first, last);
    if (!m_state->thread.joinable()) {
        State::compute(spans, m_state->finisherGrid);
        return;
    }
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->batches.push_back(std::move(spans));
    }
    m_state->changed.notify_all();
}

void OrbitDerivedWorker::finish()
{
    // The batches still waiting are computed here, beside the worker.
    std::unique_lock lock(m_state->mutex);
    while (m_state->computeOldest(lock, m_state->finisherGrid))
        continue;
    m_state->changed.wait(lock, [this] { return !m_state->busy; });
}

void computeStreamMonthDays(CUTABLE& streams, int row, int year)
{
    using C = col::Stream;
    const int pairs[][2] = {{C::sol1, C::MD1}, {C::sol2, C::MD2}, {C::solp, C::MDp}};
    for (const auto& [solColumn, textColumn] : pairs) {
        int month = 0, day = 0;
        const bool known = SolToMonthDay(streams.cell(row, solColumn)->real, year, month, day);
        setCode(streams, row, textColumn, known ? monthDayText(month, day) : "");
    }
}

void computeAllStreamMonthDays(CUTABLE& streams, int year)
{
    for (int row = 0; row < streams.count(); ++row)
        if (streams.isLive(row))
            computeStreamMonthDays(streams, row, year);
}

void computeOrbitStreamCodes(Database& db, int orbitRow)
{
    std::string codes;
    for (const LinkNode& node : linksOf(db.orbits, orbitRow, col::Orbit::SLINK)) {
        if (!node.resolved() || codes.size() > kStreamCodesSoftLimit)
            continue;
        const CUTABLE& streams = *node.partnerCell.table;
        const int streamRow = node.partnerCell.row;
        if (!db.sources.isInUse(streams.cell(streamRow, col::Stream::SID)->number))
            continue;
        if (!codes.empty())
            codes += ',';
        codes += streams.text(streamRow, col::Stream::code);
    }
    codes.resize(std::min(codes.size(), kStreamCodesMax));
    if (!codes.empty() || *db.orbits.text(orbitRow, col::Orbit::stream) != '\0')
        db.orbits.setText(orbitRow, col::Orbit::stream, codes.c_str());
}

void computeAllStreamCodes(Database& db)
{
    for (int row = 0; row < db.orbits.count(); ++row)
        if (db.orbits.isLive(row))
            computeOrbitStreamCodes(db, row);
}

void locateTypicalOrbits(Database& db, const IdIndex& orbitsById)
{
    using C = col::Stream;
    for (int row = 0; row < db.streams.count(); ++row) {
        if (!db.streams.isLive(row))
            continue;
        const std::uint32_t typical = db.streams.cell(row, C::TypicalOID)->number;
        db.streams.cell(row, C::TOIDline)->integer = typical != 0 ? orbitsById.find(typical) : -1;
    }
}
