// New streams of a clustering run in the tables, and the end of the run.
#include "pages/cluster_tables.h"

#include <algorithm>
#include <optional>

#include "app/app_context.h"
#include "app/app_refresh.h"
#include "astro/angles.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "pages/cluster_pages.h"
#include "platform/ui.h"
#include "streams/stream_grouping.h"
#include "table/links.h"

namespace {

using O = col::Orbit;
using S = col::Stream;

constexpr long kSecondsPerDay = 86400;
// The least time between two shows of a stream, in multiples of the last show's duration.
constexpr int kShowCostFactor = 4;

} // namespace

std::vector<ClusterOrbit> candidateFields(const CUTABLE& orbits, const std::vector<int>& rows)
{
    std::vector<ClusterOrbit> fields;
    fields.reserve(rows.size());
    for (const int row : rows) {
        auto value = [&](int column) { return orbits.cell(row, column)->real; };
        fields.push_back({value(O::sol), value(O::ra), value(O::dec), value(O::vg), value(O::e),
                          value(O::q), value(O::incl), value(O::node), value(O::peri)});
    }
    return fields;
}

std::string clusterStreamCode(const char* dsidCode, const ClusterOrbit& centre)
{
    return std::string(dsidCode).substr(0, 2) + "_" +
           positionCode(centre.sol, centre.ra, centre.dec, centre.vg);
}

std::string clusteringEndedText(int newStreams, long elapsedSeconds)
{
    const long t = elapsedSeconds < 0 ? 0 : elapsedSeconds;
    const long rest = t % kSecondsPerDay;
    return formatMessage(" Clustering ended new stream = %d\n time=%d days %02d:%02d:%02d",
                         newStreams, static_cast<int>(t / kSecondsPerDay),
                         static_cast<int>(rest / 3600), static_cast<int>(rest % 3600 / 60),
                         static_cast<int>(rest % 60));
}

ClusterTables::ClusterTables(AppContext& app, ClusterPages& pages, std::vector<int> candidateRows,
                             const ClusterParams& params, std::chrono::milliseconds showInterval)
    : m_app(app), m_pages(pages), m_rows(std::move(candidateRows)), m_params(params),
      m_showInterval(showInterval), m_canSkipShowing(pages.canSkipShowing())
{
}

bool ClusterTables::makeStream(const ClusterStream& stream, std::string& log)
{
    Database& db = *m_app.db;
    const int orbitRow = m_rows[static_cast<std::size_t>(stream.centre)];
    const ClusterOrbit centre = candidateFields(db.orbits, {orbitRow}).front();
    const std::optional<std::uint32_t> sid = db.sources.nextId();
    if (!sid) {
        m_idsRanOut = true;
        return false;
    }
    ++m_newStreams;
    const std::string code = clusterStreamCode(db.sources.currentCode(), centre);
    log += formatMessage(kLogFormat, m_newStreams, code.c_str(), stream.count, centre.ra,
                         centre.dec, centre.vg);
    const int streamRow = addStreamRow(orbitRow, *sid, code);
    std::vector<int> memberRows;
    for (const int member : stream.members) {
        memberRows.push_back(m_rows[static_cast<std::size_t>(member)]);
        link({&db.streams, streamRow, S::OLINK}, {&db.orbits, memberRows.back(), O::SLINK});
    }
    std::sort(memberRows.begin(), memberRows.end());
    showStream(streamRow, memberRows);
    return true;
}

int ClusterTables::addStreamRow(int orbitRow, std::uint32_t sid, const std::string& code)
{
    Database& db = *m_app.db;
    const Settings& settings = m_app.settings;
    CUTABLE& streams = db.streams;
    const AppendedStream appended = m_pages.appendStream(db);
    const int row = appended.row;
    auto orbit = [&](int column) {
        return static_cast<double>(db.orbits.cell(orbitRow, column)->real);
    };
    auto set = [&](int column, double value) {
        streams.cell(row, column)->real = static_cast<float>(value);
    };
    streams.cell(row, S::SID)->number = sid;
    streams.cell(row, S::use)->number = 1;
    streams.setText(row, S::code, code.c_str());
    set(S::ra, orbit(O::ra));
    set(S::dec, orbit(O::dec));
    set(S::vg, orbit(O::vg));
    set(S::sol1, Normalize360(static_cast<float>(orbit(O::sol) - m_params.S)));
    set(S::sol2, Normalize360(static_cast<float>(orbit(O::sol) + m_params.S)));
    set(S::solp, orbit(O::sol));
    streams.cell(row, S::type)->integer = 1;
    set(S::R, settings.po_R);
    set(S::dv, settings.po_v2);
    set(S::Dp, settings.po_D);
    streams.cell(row, S::TypicalOID)->number = db.orbits.cell(orbitRow, O::OID)->number;
    streams.cell(row, S::TOIDline)->integer = orbitRow;
    streams.cell(row, S::LS)->number = 1;
    if (m_app.currentListRow >= 0)
        link({&streams, row, S::LLINK}, {&db.lists, m_app.currentListRow, col::List::SLINK});
    streams.cell(row, S::valid)->integer = appended.line;
    return row;
}

// Showing a stream selects every orbit and recomputes the page's columns of all of them; in a
// run of many streams the page shows one every showInterval, which keeps the window current
// and the run bounded by the streams, not by streams times orbits.
void ClusterTables::showStream(int streamRow, const std::vector<int>& memberRows)
{
    CUTABLE& streams = m_app.db->streams;
    for (int row = 0; row < streams.count(); ++row)
        if (streams.isLive(row))
            streams.cell(row, S::ssel)->number = row == streamRow ? 1 : 0;
    m_app.currentStreamRow = streamRow;
    std::optional<StreamActivity> activity;
    if (m_canSkipShowing && shownRecently()) {
        activity = m_pages.activityOf(streamRow, memberRows);
        m_unshownStream = streamRow;
    } else {
        showOnPage(streamRow);
        activity = m_pages.shownActivity();
    }
    if (activity) {
        streams.cell(streamRow, S::sol1)->real = activity->sol1;
        streams.cell(streamRow, S::sol2)->real = activity->sol2;
        streams.cell(streamRow, S::dra)->real = activity->dra;
        streams.cell(streamRow, S::ddec)->real = activity->ddec;
    }
    computeStreamMonthDays(streams, streamRow, m_app.settings.dlg_Y);
}

bool ClusterTables::shownRecently() const
{
    if (m_showInterval.count() == 0)
        return false;
    const auto wait = std::max<std::chrono::steady_clock::duration>(
        m_showInterval, kShowCostFactor * m_lastShowCost);
    return std::chrono::steady_clock::now() - m_lastShown < wait;
}

void ClusterTables::showOnPage(int streamRow)
{
    const auto start = std::chrono::steady_clock::now();
    m_pages.showStream(streamRow);
    requestRefresh(m_app, 9);
    m_lastShown = std::chrono::steady_clock::now();
    m_lastShowCost = m_lastShown - start;
    m_unshownStream = -1;
}

void ClusterTables::endWork(std::time_t startTime)
{
    if (m_unshownStream >= 0)
        showOnPage(m_unshownStream);
    message("%s",
            clusteringEndedText(m_newStreams, static_cast<long>(std::time(nullptr) - startTime))
                .c_str());
    markModified(m_app);
    recountStreams(*m_app.db);
    requestRefresh(m_app, 3);
}
