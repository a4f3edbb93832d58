#pragma once
// The Orbit page's uses of the stream selection dialog.

#include <optional>

struct AppContext;

// The dialog in its "Select Stream" mode: the chosen stream row, nothing on
// Cancel or without a choice.
std::optional<int> chooseStream(AppContext& app);
// The dialog in its "Change Stream" mode on one orbit's stream links; true on OK.
bool changeOrbitStreams(AppContext& app, int orbitRow);
