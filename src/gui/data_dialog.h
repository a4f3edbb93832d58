#pragma once
// "Date Time": the Qt dialog over CDataDlg.

class QtUi;

// Registers the dialog with the interface that runs dialog models.
void registerDataDialog(QtUi& qtUi);
