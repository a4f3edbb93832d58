#pragma once
// The import filters by name: their options, their labels in the import dialog, how a limit is
// read from text, which layouts carry each filter's value, and the line that counts the drops.

#include <array>
#include <string>
#include <string_view>

#include "orbits/orbit_converters.h"

enum class ImportFilter { MinQc, MaxVg, MaxE, MaxRadErr, MinStations };

struct ImportFilterName {
    ImportFilter filter;
    const char* option; // the batch tool's option
    const char* label;  // the import dialog's field
};

inline constexpr std::array<ImportFilterName, 5> kImportFilterNames{{
    {ImportFilter::MinQc, "--min-qc", "min Qc (deg)"},
    {ImportFilter::MaxVg, "--max-vg", "max vg (km/s)"},
    {ImportFilter::MaxE, "--max-e", "max e"},
    {ImportFilter::MaxRadErr, "--max-rad-err", "max radiant error (deg)"},
    {ImportFilter::MinStations, "--min-stations", "min stations"},
}};

// Sets the filter's limit from its text: empty (or blanks) turns it off; otherwise the text must
// be a whole decimal number, and for the station count a whole one. False (nothing changed) for
// any other text.
bool setImportFilter(ImportFilters& filters, ImportFilter filter, std::string_view text);
bool isSet(const ImportFilters& filters, ImportFilter filter);

// Whether rows of the layout carry the value the filter tests: speed and eccentricity every
// layout; the radiant's scatter the O, U2, text and GMN layouts; the convergence angle and the
// station count only GMN's.
bool layoutCarries(OrbitLayout layout, ImportFilter filter);
// The options of the filters set whose value the layout does not carry ("--min-qc, --max-e"),
// empty when every filter set applies.
std::string filtersNotCarried(OrbitLayout layout, const ImportFilters& filters);

// "dropped no_radiant N min_qc N max_vg N max_e N max_rad_err N min_stations N"
std::string droppedLine(const FilterCounts& dropped);

// Told when a source's layout does not carry a filter's value (source name, options).
inline constexpr const char* kFiltersNotCarriedFormat =
    "%s: its layout carries no value for %s\nImport it without these filters.";
// Told when a dialog field holds no valid limit (label).
inline constexpr const char* kBadFilterFormat =
    "%s: please enter a number, or nothing for no limit";
