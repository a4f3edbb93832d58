#pragma once
// Small sources of the six external layouts, each row an orbit of the 2010 Perseids whose
// name is given, and the values the database must hold for it after an import.

#include <string>
#include <vector>

// 2010-08-12 21:30:45 UTC: MJD 55420 (2010-01-01 is MJD 55197, plus the 212 days of January
// to July, plus 11), the time of day plus the fixed 64.184 s.
inline const double kPerseidMjd = 55420.0 + (21 * 3600 + 30 * 60 + 45 + 64.184) / 86400.0;

// A row as the orbit table holds it after the import.
struct ExpectedOrbit {
    std::string name;
    std::string memo;
    double mjd;
};

struct LayoutSource {
    const char* label;
    std::string fileName;
    // The source with one row per tag, in order; `code` is the data source's code, part of
    // the names of the text and dat layouts.
    std::string (*text)(const std::vector<std::string>& tags);
    ExpectedOrbit (*expected)(const std::string& tag, const std::string& code);
};

// One source of each layout: O, U, U2, M, text, dat.
const std::vector<LayoutSource>& layoutSources();

// Every source row has radiant ra 46.1, dec 57.6 and vg 59.1.
inline constexpr float kSourceRa = 46.1f;
inline constexpr float kSourceDec = 57.6f;
inline constexpr float kSourceVg = 59.1f;
