#pragma once
// The Orbit page's selection steps that the selection and the maps share.

#include <string>

#include "orbits/selection_conditions.h"

class Database;

// Named after the settings they come from in the window.
using Conditions = SelectionConditions;

// Sets the condition of that name (dlg_Y, po_rC, po_r1 ...); raises ValueError for another name.
void setCondition(Conditions& conditions, const std::string& name, double value);
// The orbits the Orbit page lists before its "sel" filter: in use, of a data source in use.
void listUsedOrbits(Database& db);
// Only the streams of this code pass the stream condition: the row of the one stream with the
// code, -2 when several have it; raises orvantella.Error when none has.
int chooseStreamsOfCode(Database& db, const std::string& code);
// The Orbit page's "sel" filter after a selection: unselected orbits lose their line.
void hideUnselectedOrbits(Database& db);
