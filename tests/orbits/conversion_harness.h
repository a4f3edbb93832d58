#pragma once
// A conversion set up for tests: source files in a temporary folder, consecutive OIDs of a
// "WK" data source, a duplicate index to fill, and the target read back field by field.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "orbits/orbit_converters.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"

using Fields = std::vector<std::string>;

class ConversionHarness {
public:
    static constexpr std::uint32_t kFirstOid = 4100000000u;

    // Writes the source and converts it into target(); the result of the conversion.
    std::int64_t convert(OrbitLayout layout, const std::string& sourceName,
                         const std::string& sourceText);
    std::string target() const { return m_dir.file("O_WK_4100000000.csv"); }
    std::string source(const std::string& name) const { return m_dir.file(name); }
    // The data lines of the target as fields; every line must end with CR LF and the first
    // must be the header.
    std::vector<Fields> targetRows() const;
    std::vector<std::string> messages() { return m_ui->messages(); }
    std::uint32_t oidsTaken() const { return m_nextOid - kFirstOid; }

    DuplicateIndex index;
    // OIDs handed out before nextOid() refuses; unlimited when empty.
    std::optional<std::uint32_t> oidLimit;
    ImportFilters filters;
    FilterCounts dropped; // by the last conversion
    NoFeedback noFeedback;
    Feedback* feedback = &noFeedback;

private:
    TempDir m_dir;
    ScopedScriptedUi m_ui;
    std::uint32_t m_nextOid = kFirstOid;
};

Fields splitCsv(const std::string& line);
// The numeric value of a written field.
double number(const std::string& field);
// The Sun's apparent longitude by the low-precision formula of the Astronomical Almanac
// (good to 0.01 degrees for 1950-2050; the sol of the orbit table is referred to J2000, which
// differs by the precession since, 0.014 degrees a year): to check that a row's instant
// reaches the Sun's place.
double almanacSunLongitude(double jd);
