#pragma once
// The state of one running application: its folder, settings, view
// layouts, database, star catalogue, planet tracks and current selections.
// main() creates one; tests create fresh ones.

#include <cstdint>
#include <memory>
#include <string>

#include "app/settings.h"
#include "astro/planets.h"
#include "maps/star_catalogue.h"
#include "mdb/database.h"
#include "orbits/orbit_selection.h"
#include "views/view_layout.h"

class RefreshTarget;

struct AppContext {
    std::string startupFolder;
    std::string executableFolder;
    Settings settings;
    ViewLayouts views;
    // Created during start-up once the settings are read; freed at shutdown
    // before the settings are written.
    std::unique_ptr<Database> db;
    StarCatalogue stars;
    PlanetTrackSet planetTracks{};

    // The current stream list (row -1 and LID 0 when none) and stream.
    int currentListRow = -1;
    std::uint32_t currentLid = 0;
    int currentStreamRow = -1;
    // The stream selection dialog's "Spo" mark: the Orbit page lists sporadic orbits too.
    bool sporadicChosen = false;

    // The Orbit page's current sol and the results of the last selection
    // run (sel, sR and DD live in the orbit rows).
    OrbitSelection selection;

    // The window's pages while it is open; requestRefresh() works without.
    RefreshTarget* refresher = nullptr;
};
