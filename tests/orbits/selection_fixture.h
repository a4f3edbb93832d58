#pragma once
// An in-memory database for the selection tests: orbits placed by hand or at
// random (seeded), streams linked to them, and the settings of a run.

#include <cstdint>
#include <random>

#include "app/engine_params.h"
#include "app/settings.h"
#include "mdb/database.h"
#include "orbits/orbit_selection.h"

struct OrbitValues {
    float sol = 140.0f, ra = 46.0f, dec = 58.0f, vg = 59.0f;
    float mjd = 54324.5f; // 2007-08-12, 12 h
    int type = 1;
    std::uint32_t sel = 0;
    std::int32_t dline = 0;
};

struct SelectionFixture {
    Database db;
    Settings settings; // the defaults: every condition off, page date 2007-01-01
    bool sporadicChosen = false;
    OrbitSelection selection;

    int addOrbit(const OrbitValues& values);
    int addStream(bool ssel, bool inList);
    void linkOrbit(int orbitRow, int streamRow);
    std::uint32_t sel(int row) const;
    float real(int row, int column) const;
    void run() { SelectOrbits(db, selectionConditionsOf(settings), sporadicChosen, selection); }

    // Random orbits, streams, links, marks and conditions.
    void fillRandom(std::mt19937& random, int orbits);
    void randomConditions(std::mt19937& random);
};
