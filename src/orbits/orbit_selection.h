#pragma once
// The orbit selection: the Orbit page's conditions applied to every orbit row,
// and what other pages read of it. After a run each orbit row holds its
// state in sel (bit 0 selected by the conditions, bit 1 kept out of the
// averages, bit 2 selected regardless), its radiant distance from the
// reference in sR and its D' from the reference orbit in DD.

#include <cstdint>

#include "orbits/orbit_averages.h"

class CUTABLE;
class Database;
struct SelectionConditions;

// The Orbit page's selection: the current sol and the results of the last run.
struct OrbitSelection {
    // SC: the sol at noon of the page date, or the one an orbit or the SC
    // field set since.
    double currentSol = 0.0;
    // Orbits that reached the averaging step: the selection count of the title.
    int selected = 0;
    // Lines of the orbit view.
    int listed = 0;
    // The earliest and latest mjd of the orbits the conditions selected.
    double firstMjd = kNoFirstMjd;
    double lastMjd = 0.0;
    SelectionAverages averages;

    static constexpr double kNoFirstMjd = 9999999999.0;
};

// The orbits that count as selected for the averages, exports, counts and
// maps: a listed row (dline not negative) whose sel is 1 or 4 and above.
// A hidden row keeps its mark but counts for nothing.
bool isSelectedOrbit(const CUTABLE& orbits, int row);

// Marks every live orbit row (sel, sR, DD) by the given conditions
// around selection.currentSol, then averages the selected ones (sums in
// table order, so the results do not depend on the number of cores). With
// sporadicChosen (the "Spo" mark of the stream selection dialog), orbits of
// no stream of the current list pass the stream condition.
void SelectOrbits(Database& db, const SelectionConditions& conditions, bool sporadicChosen,
                  OrbitSelection& selection);

// Only the marking step of SelectOrbits: sel, sR, DD, the selected count and the mjd range.
void markSelectedOrbits(Database& db, const SelectionConditions& conditions, bool sporadicChosen,
                        OrbitSelection& selection);

// The half-width in degrees of the every-year sol window: the Sun's motion
// over the day window after noon of the page date (mjdNoon); 180 (every sol)
// for 200 days or more.
double solWindowHalfWidth(double mjdNoon, int days);
