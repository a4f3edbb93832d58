// Running the clustering dialog over the listed orbits.
#include "pages/cluster_command.h"

#include <utility>

#include "app/app_context.h"
#include "mdb/schema.h"
#include "pages/cluster_dlg.h"
#include "pages/cluster_pages.h"
#include "pages/page_orbit.h"
#include "platform/ui.h"

std::vector<int> listedOrbitRows(const Database& db)
{
    std::vector<int> rows;
    for (int row = 0; row < db.orbits.count(); ++row)
        if (db.orbits.isLive(row) && db.orbits.integer(row, col::Orbit::dline) >= 0)
            rows.push_back(row);
    return rows;
}

void runClustering(AppContext& app, std::vector<int> candidateRows, ClusterPages& pages)
{
    CClusterDlg dialog(app, std::move(candidateRows), pages);
    ui().runModal(dialog);
}

void connectClustering(AppContext& app, CPageStream& streamPage, CPageOrbit& orbitPage)
{
    orbitPage.runClusteringDialog = [&app, &streamPage, &orbitPage] {
        WindowClusterPages pages(app, streamPage, orbitPage);
        runClustering(app, listedOrbitRows(*app.db), pages);
    };
}
