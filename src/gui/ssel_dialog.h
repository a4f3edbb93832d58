#pragma once
// The stream selection dialog ("Stream Selection") and the page's sol edit, as Qt dialogs.

class QtUi;

// Registers CSSELDlg and StreamSolDlg with the interface that runs dialog models.
void registerStreamDialogs(QtUi& qtUi);
