#pragma once
// The data source dialogs: "Add new Data Source ID" and "DSID select".

class QtUi;

// Registers both dialogs with the interface that runs dialog models.
void registerDsidDialogs(QtUi& qtUi);
