// New streams of a clustering run in the tables, and the end of the run.
#include "pages/cluster_tables.h"

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
                             const ClusterParams& params)
    : m_app(app), m_pages(pages), m_rows(std::move(candidateRows)), m_params(params)
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
    for (const int member : stream.members)
        link({&db.streams, streamRow, S::OLINK},
             {&db.orbits, m_rows[static_cast<std::size_t>(member)], O::SLINK});
    showStream(streamRow);
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

void ClusterTables::showStream(int streamRow)
{
    CUTABLE& streams = m_app.db->streams;
    for (int row = 0; row < streams.count(); ++row)
        if (streams.isLive(row))
            streams.cell(row, S::ssel)->number = row == streamRow ? 1 : 0;
    m_app.currentStreamRow = streamRow;
    m_pages.showStream(streamRow);
    requestRefresh(m_app, 9);
    if (const std::optional<StreamActivity> activity = m_pages.shownActivity()) {
        streams.cell(streamRow, S::sol1)->real = activity->sol1;
        streams.cell(streamRow, S::sol2)->real = activity->sol2;
        streams.cell(streamRow, S::dra)->real = activity->dra;
        streams.cell(streamRow, S::ddec)->real = activity->ddec;
    }
    computeStreamMonthDays(streams, streamRow, m_app.settings.dlg_Y);
}

void ClusterTables::endWork(std::time_t startTime)
{
    message("%s",
            clusteringEndedText(m_newStreams, static_cast<long>(std::time(nullptr) - startTime))
                .c_str());
    markModified(m_app);
    recountStreams(*m_app.db);
    requestRefresh(m_app, 3);
}
