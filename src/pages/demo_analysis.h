#pragma once
// The program's main job on the demo database without a window: R-vg grouping compared with
// GMN's own shower labels, automatic clustering into a new list, the Geminids' averages and the
// three maps, ending with a report. Every step is the window's own command, answered through a
// scripted interface.

#include <optional>
#include <string>
#include <vector>

#include "orbits/orbit_averages.h"

class Feedback;

inline constexpr const char* kDemoMdbFolder = "demo/MDB";
inline constexpr const char* kDemoReportName = "report.md";
inline constexpr const char* kDemoGroupedList = "L_IAU_IAU_established";
inline constexpr const char* kDemoClusterList = "L_WK_clusters";
inline constexpr const char* kDemoClusterSource = "WK";
inline constexpr const char* kDemoShower = "GEM";
// The maps' size in pixels.
inline constexpr int kDemoMapWidth = 800;
inline constexpr int kDemoMapHeight = 600;

// One shower: orbits grouped into it by R-vg, and orbits GMN labelled with it.
struct ShowerCount {
    std::string code; // the IAU code, "GEM"
    int grouped = 0;
    int labelled = 0;
};

struct DemoResult {
    std::vector<ShowerCount> showers; // biggest first, the sporadic ones (code "") last
    int orbits = 0;                   // orbits compared
    int agreeing = 0;                 // same shower, or sporadic in both
    double agreementPercent = 0.0;
    bool clustered = false;
    int newStreams = 0;
    std::string clusterLog;
    int geminids = 0;
    SelectionAverages geminidAverages;
    std::vector<std::string> mapFiles; // PNG file names in the output folder
};

// The demo database: "demo/MDB" in the first of the program's data folders that has it.
std::optional<std::string> findDemoMdb(const std::string& startupFolder,
                                       const std::string& executableFolder);

// Copies demoMdb to outDir/MDB (replacing an earlier copy) and runs the job there, the program
// started in outDir. Nothing, after a message, when a step fails.
std::optional<DemoResult> runDemo(const std::string& demoMdb, const std::string& outDir,
                                  const std::string& executableFolder, Feedback& feedback);

// The figures as Markdown, the maps as images beside it.
std::string demoReport(const DemoResult& result);
// outDir/report.md; false after "Cannot open %s".
bool writeDemoReport(const DemoResult& result, const std::string& outDir);

// The IAU code of a stream code: the part after its data source's code, "IAU_GEM" -> "GEM".
std::string showerCodeOf(const std::string& streamCode);
