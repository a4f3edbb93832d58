// The stand-in for the pages when no window is open, and the Stream page's list.
#include "pages/cluster_pages.h"

#include "app/app_context.h"
#include "app/engine_params.h"
#include "mdb/database.h"
#include "mdb/schema.h"
#include "orbits/orbit_averages.h"
#include "pages/page_orbit.h"
#include "pages/page_stream.h"
#include "pages/reference_orbit.h"

namespace {

// The orbit table's sel bits.
constexpr std::uint32_t kKeptOutOfAverages = 2;
constexpr std::uint32_t kSelectedRegardless = 4;

} // namespace

AppendedStream ClusterPages::appendStream(Database& db)
{
    int line = 0;
    for (int row = 0; row < db.streams.count(); ++row)
        if (db.streams.isLive(row) &&
            db.sources.isInUse(db.streams.cell(row, col::Stream::SID)->number))
            ++line;
    return {db.streams.addRow(), line};
}

AppendedStream StreamPageClusterPages::appendStream(Database&)
{
    const int line = m_page.streamView().addRow();
    return {m_page.streamView().rowOfLine(line), line};
}

void WindowClusterPages::showStream(int streamRow)
{
    m_orbitPage.orbitView().setSelectedLine(-1);
    m_orbitPage.showStream(streamRow, true);
}

std::optional<StreamActivity> WindowClusterPages::shownActivity()
{
    const SelectionAverages& averages = m_app.selection.averages;
    return StreamActivity{static_cast<float>(averages.sol1), static_cast<float>(averages.sol2),
                          static_cast<float>(averages.driftRa),
                          static_cast<float>(averages.driftDec)};
}

bool WindowClusterPages::canSkipShowing() const
{
    if (m_app.sporadicChosen)
        return false;
    const CUTABLE& orbits = m_app.db->orbits;
    for (int row = 0; row < orbits.count(); ++row)
        if (orbits.isLive(row) && orbits.cell(row, col::Orbit::sel)->number >= kSelectedRegardless)
            return false;
    return true;
}

std::optional<StreamActivity> WindowClusterPages::activityOf(int streamRow,
                                                             const std::vector<int>& memberRows)
{
    streamToReference(m_app, streamRow);
    // Members kept out of the averages are selected but bring no weight.
    std::vector<int> weighted;
    for (const int row : memberRows)
        if ((m_app.db->orbits.cell(row, col::Orbit::sel)->number & kKeptOutOfAverages) == 0)
            weighted.push_back(row);
    const SelectionAverages averages =
        activityOfRows(m_app.db->orbits, selectionConditionsOf(m_app.settings),
                       static_cast<float>(m_app.selection.currentSol), weighted);
    return StreamActivity{static_cast<float>(averages.sol1), static_cast<float>(averages.sol2),
                          static_cast<float>(averages.driftRa),
                          static_cast<float>(averages.driftDec)};
}
