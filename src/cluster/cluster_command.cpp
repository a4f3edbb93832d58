// Opening the clustering dialog.
#include "cluster/cluster_command.h"

#include <utility>

#include "app/app_context.h"
#include "cluster/cluster_dlg.h"
#include "orbits/dsid_select_dialog.h"
#include "platform/ui.h"

bool openClustering(AppContext& app, std::vector<int> listedOrbitRows, ClusterPages& pages)
{
    if (app.currentListRow < 0) {
        message("%s", kNoStreamListMessage);
        return false;
    }
    CDSIDSDlg dsid(app, kClusterDsidPrompt, false);
    if (!dsid.exec())
        return false;
    CClusterDlg dialog(app, std::move(listedOrbitRows), pages);
    ui().runModal(dialog);
    return true;
}
