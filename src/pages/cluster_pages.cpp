// The stand-in for the pages when no window is open, and the Stream page's list.
#include "pages/cluster_pages.h"

#include "app/app_context.h"
#include "mdb/database.h"
#include "mdb/schema.h"
#include "pages/page_orbit.h"
#include "pages/page_stream.h"

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
