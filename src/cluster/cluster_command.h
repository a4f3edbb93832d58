#pragma once
// The Orbit page's "clustering" button: the checks before the dialog, the data source of the
// new streams, and CClusterDlg run modally over the orbits the page lists.

#include <vector>

struct AppContext;
class ClusterPages;

inline constexpr const char* kNoStreamListMessage = "Please select effective stream list";
inline constexpr const char* kClusterDsidPrompt = "Select DSID for new stream";

// Without a current stream list: the message, nothing else. Otherwise the DSID select dialog
// (Cancel ends here) makes the chosen data source current and the clustering dialog runs over
// listedOrbitRows (the page's listed orbit rows, in list order). True when the dialog ran.
bool openClustering(AppContext& app, std::vector<int> listedOrbitRows, ClusterPages& pages);
