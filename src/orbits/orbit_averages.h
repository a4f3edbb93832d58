#pragma once
// The weighted averages of the selected orbits (weight: the orbit's type,
// only types of 1 and more take part): mean radiant, velocity and sol with
// their scatter, radiant drift, activity limits, and the average orbit
// computed from the mean radiant.

class Database;
struct SelectionConditions;
struct OrbitSelection;

// All zero when no selected orbit has a weight.
struct SelectionAverages {
    double totalWeight = 0.0; // W
    int averaged = 0;         // orbits with a weight

    double ra = 0.0, raScatter = 0.0; // degrees, ra in [0, 360)
    double dec = 0.0, decScatter = 0.0;
    double vg = 0.0, vgScatter = 0.0; // km/s
    double sol = 0.0, solScatter = 0.0;
    double dPrime = 0.0, dPrimeScatter = 0.0; // of the DD column
    double sR = 0.0;
    double Hb = 0.0, He = 0.0, zr = 0.0, mag = 0.0, mass = 0.0;
    // Degrees of ra and dec per degree of sol; 0 when no orbit lies away from SC.
    double driftRa = 0.0, driftDec = 0.0;
    // The average orbit; zero when the mean vg is below 0.01 km/s or the
    // year is outside the calendar.
    double a = 0.0, q = 0.0, e = 0.0, peri = 0.0, node = 0.0, incl = 0.0;
    // Activity limits and the mean distance mR from the drift-corrected reference radiant.
    double sol1 = 0.0, sol2 = 0.0, meanMR = 0.0;
};

// Averages the orbits that isSelectedOrbit() accepts into selection.averages
// and writes their mR column (the second pass). Sums run in table order.
void averageSelectedOrbits(Database& db, const SelectionConditions& conditions,
                           OrbitSelection& selection);
