#pragma once
// The Orbit page's selection steps that the selection and the maps share.

#include <map>
#include <optional>
#include <string>

#include "orbits/selection_conditions.h"

class Database;
struct AppContext;

// Named after the settings they come from in the window.
using Conditions = SelectionConditions;

// Sets the condition of that name (dlg_Y, po_rC, po_r1 ...); raises ValueError for another name.
void setCondition(Conditions& conditions, const std::string& name, double value);
// The orbits the Orbit page lists before its "sel" filter: in use, of a data source in use.
void listUsedOrbits(Database& db);
// As a Ctrl-click on the stream's line of the Stream page (the first line with the code), by the
// pages the batch tool opens: only that stream chosen, the reference, page date and current sol
// from it, every condition off but the stream's. Returns the stream's row; raises
// orvantella.Error when no stream has the code.
int chooseStreamAsCtrlClick(AppContext& app, const std::string& code, Conditions& conditions,
                            double& currentSol);
// The conditions of a selection: the stream's click first, then the named values over it;
// currentSol the given sol, else the stream's, else the date's.
Conditions conditionsFor(AppContext& app, const std::map<std::string, double>& values,
                         const std::optional<std::string>& stream, const std::optional<double>& sol,
                         double& currentSol, int& streamRow);
// The Orbit page's "sel" filter after a selection: unselected orbits lose their line.
void hideUnselectedOrbits(Database& db);
