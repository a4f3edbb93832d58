#pragma once
// The Orbit page's "clustering" once its entry checks have passed (a current stream list, the
// data source of the new streams chosen): CClusterDlg run modally over the listed orbits.

#include <vector>

struct AppContext;
class ClusterPages;
class CPageOrbit;
class CPageStream;
class Database;

// The orbit rows the Orbit page lists (dline 0 or more), in table order.
std::vector<int> listedOrbitRows(const Database& db);

// Runs the clustering dialog over the candidate orbit rows (in list order); the current data
// source and stream list receive the new streams.
void runClustering(AppContext& app, std::vector<int> candidateRows, ClusterPages& pages);

// The Orbit page's "clustering" button wired as the window wires it: the dialog over the orbits
// the page lists, each new stream appended through the Stream page's list and shown by the
// Orbit page. The pages outlive the wiring.
void connectClustering(AppContext& app, CPageStream& streamPage, CPageOrbit& orbitPage);
