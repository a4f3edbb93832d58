#pragma once
// The Global Meteor Network's trajectory summaries as an orbit-file source: how a file is
// recognised, and the columns the orbit table has a home for, written into its rows.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "orbits/conversion_frame.h"

// Fields of a row of the ';'-separated summaries of GMN's own column order (85 in those
// written before the identifier column).
inline constexpr std::size_t kGmnFields = 86;
// What a header lacks, before the names of the columns it lacks.
inline constexpr std::string_view kGmnMissingColumns = "columns missing: ";
// Their '#' header lines run to some 1,500 characters.
inline constexpr std::size_t kGmnMaxLine = 16000;
// The first column name of the comma-separated flavour.
inline constexpr std::string_view kGmnCsvFirstName = "unique_trajectory_identifier";

// A line without the CRs around it: the summaries end their lines with LF then CR.
std::string_view gmnLineText(std::string_view line);
// Whether a line (as gmnLineText leaves it) holds a row or the column names: not blank and not
// a '#' comment.
bool isGmnContentLine(std::string_view line);
// The GMN flavour whose first content line this is; nullopt for any other line.
std::optional<OrbitLayout> gmnLayoutOfFirstLine(std::string_view line);
// The GMN flavour of a file, from its first content line; nullopt for any other file.
std::optional<OrbitLayout> gmnLayoutOf(const std::string& path);

// Both find their columns by the names of the header, so that their order and added columns do
// not matter, and read every row through the frame; where GMN left a value out (None, nan,
// ...) the cell gets its empty value, and any other field that is not a number makes the line
// invalid. Rows without a radiant or speed, and rows outside the frame's filters, are dropped
// and counted.
Outcome convertGmnLayout(ConversionFrame& frame);
Outcome convertGmnCsvLayout(ConversionFrame& frame);
