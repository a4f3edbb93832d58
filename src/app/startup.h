#pragma once
// Start-up and shutdown: the splash lines, the settings, the database, the
// star catalogue and the planet tracks, in their order; at the end the
// tables freed and the settings written.

#include <string>

struct AppContext;

inline constexpr float kProgramVersion = 0.17f;

// The splash window's three lines (top to bottom); headless it shows nothing.
class Splash {
public:
    virtual ~Splash() = default;
    virtual void setLine(int line, const std::string& text) = 0;
};

class NoSplash final : public Splash {
public:
    void setLine(int, const std::string&) override {}
};

// A first start with no settings file and no database: where the empty database will be
// (folder), and the offer of the demo database (folder, demo folder).
// Where the demo database lies below the program's data folders.
inline constexpr const char* kDemoDatabaseFolder = "demo/MDB";
inline constexpr const char* kNewDatabaseFormat =
    "No database was found: a new, empty one will be made in\n%s";
inline constexpr const char* kFirstStartQuestionFormat =
    "No settings file and no database were found here:\na new, empty database will be made in\n"
    "%s\n\nOK copies the demo database (%s) there instead; Cancel starts empty.";
inline constexpr const char* kDemoNotCopiedFormat = "Cannot copy %s to %s\n%s";

// "Orvantella V0.17".
std::string versionText();

// Everything before the main window opens. A missing star catalogue is the
// fatal "VexoStarMap.txt was not exist". A first start asks whether to copy
// the demo database into the new MDB folder.
void startUp(AppContext& app, Splash& splash);
// After the main window closed: free the tables, then write the settings.
void shutDown(AppContext& app);
