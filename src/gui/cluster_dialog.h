#pragma once
// The "Automatic Clustering" dialog over CClusterDlg: its worker's updates arrive through
// blocking queued calls, so the event loop keeps running and the dialog stays responsive.

class QtUi;

void registerClusterDialog(QtUi& qtUi);
