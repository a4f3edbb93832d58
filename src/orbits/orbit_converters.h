#pragma once
// Conversion of an external meteor orbit file, in one of eight layouts, into rows of the
// database's own orbit-file layout, appended to a target file.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "orbits/duplicate_index.h"
#include "platform/feedback.h"

enum class OrbitLayout {
    O,    // "O_*.csv": the database's own orbit files
    U,    // "U*.csv" whose third character is not "_"
    U2,   // "U2_*.csv"
    M,    // "M*.csv": radiants only, orbits computed
    Text, // "*.txt": fixed columns, one orbit a line
    Dat,  // "*.dat": records of five lines
    // Global Meteor Network trajectory summaries, whatever their name: 86 ';'-separated
    // fields under '#' header lines, or comma-separated under a row of column names.
    Gmn,
    GmnCsv,
};

struct LayoutChoice {
    std::optional<OrbitLayout> layout;
    std::string refusal; // "file name invalid" or "file invalid" when there is no layout
};

// The layout of a source file from its name (any folder part is ignored), case-sensitive.
LayoutChoice chooseOrbitLayout(std::string_view fileName);
// The layout of a source file: a GMN summary by its content, any other by its name.
LayoutChoice chooseOrbitLayoutOf(const std::string& sourcePath);

// The rows a source of this layout holds (each would take an OID), counted without converting
// it; lines past one beyond the layout's length bound are not counted.
std::int64_t countSourceRows(OrbitLayout layout, const std::string& sourcePath);

// Limits an imported row must keep, each off unless set. A row that carries the field without
// a value is dropped by it. The importers refuse a filter whose value a source's layout does not
// carry (filtersNotCarried); a GMN summary without the optional Qc or station column is refused
// by a filter on it as a header missing that column.
struct ImportFilters {
    std::optional<double> minQcDeg;     // GMN's convergence angle
    std::optional<double> maxVgKms;     // geocentric speed
    std::optional<double> maxE;         // eccentricity
    std::optional<double> maxRadErrDeg; // the radiant's scatter (r_sd)
    std::optional<int> minStations;     // GMN's number of stations
};

// The rows each filter dropped, and the GMN rows refused for a radiant or speed that is no
// number (refused whatever the filters).
struct FilterCounts {
    std::int64_t minQc = 0;
    std::int64_t maxVg = 0;
    std::int64_t maxE = 0;
    std::int64_t maxRadErr = 0;
    std::int64_t minStations = 0;
    std::int64_t noRadiant = 0;
    std::int64_t total() const
    {
        return minQc + maxVg + maxE + maxRadErr + minStations + noRadiant;
    }
    FilterCounts& operator+=(const FilterCounts& more);
};

// What a conversion needs from the database.
struct ConversionContext {
    std::string dsidCode; // the current data source's code, part of some layouts' names
    // The next OID of the current data source; nullopt once none is left (the database has
    // told the user), which stops the conversion as a failure.
    std::function<std::optional<std::uint32_t>()> nextOid;
    const DuplicateIndex& duplicates; // the current data source's loaded orbits
    Feedback& feedback;               // rows read; cancelled() stops as a failure
    ImportFilters filters = {};
    // When set, every row that passes the duplicate test is added to it (DuplicateIndex::add).
    DuplicateIndex* written = nullptr;
    FilterCounts dropped = {};          // added to by the conversion
    std::int64_t duplicatesSkipped = 0; // source rows left out as already loaded
};

// Appends the converted rows of sourcePath to targetPath, with the header line first when the
// target does not exist. Returns the number of rows written, or -1 on failure: then
// "File format invalid!! aborted" has been shown for the M, text, dat and GMN layouts (the GMN
// ones name the line; the O, U and U2 layouts fail silently), and the target is as it was before:
// removed if it did not exist, cut back to its former length if it did. OIDs taken stay taken.
std::int64_t convertOrbitFile(OrbitLayout layout, const std::string& sourcePath,
                              const std::string& targetPath, ConversionContext& context);

// A target file as it was before rows were appended, to put back after a failure: removed if
// it did not exist, cut back to its former length if it did.
class TargetFileGuard {
public:
    explicit TargetFileGuard(const std::string& path);
    bool existed() const { return m_existed; }
    void restore() const;

private:
    std::filesystem::path m_path;
    bool m_existed = false;
    std::uintmax_t m_size = 0;
};

// The header line of an orbit file, from the orbit table's saved columns, with its CR LF.
std::string orbitFileHeader();

inline constexpr const char* kFileNameInvalid = "file name invalid";
inline constexpr const char* kFileInvalid = "file invalid";
// Said after a refused name, so that the user knows what the import takes.
inline constexpr const char* kAcceptedLayouts =
    "Accepted orbit files: O_*.csv (this program's own), U*.csv, U2_*.csv, M*.csv (radiants), "
    "*.txt (fixed columns), *.dat (five-line records), and trajectory summaries of a meteor "
    "network (';'-separated *.txt or comma-separated *.csv under a '#' header or a row of "
    "column names).";
inline constexpr const char* kFileFormatInvalid = "File format invalid!! aborted";
// The same, naming the line (kFileFormatInvalid, line number).
inline constexpr const char* kFileFormatInvalidLineFormat = "%s\nline %lld";
// The same with what is wrong there (kFileFormatInvalid, line number, "columns missing: ...").
inline constexpr const char* kFileFormatInvalidProblemFormat = "%s\nline %lld\n%s";
// Shown by the import command when a conversion fails (source name, target name).
inline constexpr const char* kConversionFailedFormat = "Conversion filed\n%s->%s";
