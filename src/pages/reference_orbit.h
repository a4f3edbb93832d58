#pragma once
// The reference (the page's reference radiant and orbit, kept in the
// settings), and the commands that move values between the reference, the
// averages of the selection and the database: a stream, its typical orbit,
// a new orbit. Each command leaves the refresh to its caller.

#include <optional>
#include <string>

class Database;
struct AppContext;
struct Settings;

inline constexpr const char* kNewStreamQuestion = "Reference --> new stream and typical orbit";
inline constexpr const char* kNewTypicalQuestion = "Create new typical orbit";
inline constexpr const char* kNewOrbitQuestion = "Average --> new orbit ";
// The activity limits of a stream made from the reference reach this far
// beyond the selected orbits' sol.
inline constexpr float kActivityMargin = 3.0f;

// The page date from an MJD, or its month and day from a sol in the page
// year; false, the date unchanged, outside the calendar (1900-2099).
bool setPageDateFromMjd(Settings& settings, double mjd);
bool setPageMonthDayFromSol(Settings& settings, float sol);

// "A%03.0f+%02.0f" of the mean radiant, "A%03.0f-%02.0f" for a dec of 0 or below.
std::string averageOrbitName(double raDeg, double decDeg);
// "TO_%s" of a stream name, cut to the width of a text cell.
std::string typicalOrbitName(const char* streamName);

// "avr->ref": the reference and the page date from the averages. False, and
// nothing changed, when no selected orbit has a weight.
bool averagesToReference(AppContext& app);
// "stream": the reference from a stream row and its typical orbit.
void streamToReference(AppContext& app, int streamRow);
// "--> Reference": the reference from an orbit row.
void orbitToReference(AppContext& app, int orbitRow);

// "ref->new stream": asks the data source and orbit file, then adds a
// stream and its typical orbit from the reference. The new stream row, or
// nothing when cancelled or refused (every ID taken is given back).
std::optional<int> referenceToNewStream(AppContext& app);
// "ref->stream": overwrites the stream and its typical orbit (created after
// a question when it has none) from the reference and the averages. False
// when nothing was changed.
bool referenceToStream(AppContext& app, int streamRow);
// "avr->orbit": a new orbit from the averages. The new orbit row, or nothing.
std::optional<int> averagesToNewOrbit(AppContext& app);
