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

// "Orvantella V0.17".
std::string versionText();

// Everything before the main window opens. A missing star catalogue is the
// fatal "VexoStarMap.txt was not exist".
void startUp(AppContext& app, Splash& splash);
// After the main window closed: free the tables, then write the settings.
void shutDown(AppContext& app);
