#pragma once
// The stream selection dialog ("Stream Selection") as a Qt dialog.

class QtUi;

// Registers CSSELDlg with the interface that runs dialog models.
void registerStreamDialogs(QtUi& qtUi);
