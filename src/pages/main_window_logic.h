#pragma once
// COrvanDlg: what the main window decides — its title, its placement from
// the settings and back, its size limits and the unsaved-changes guard.

#include <string>

#include "app/refresh.h"

struct AppContext;

struct WindowRect {
    int left, top, right, bottom;
};

class COrvanDlg {
public:
    static constexpr int kMinWidth = 768;
    static constexpr int kMaxWidth = 1900;
    static constexpr int kMinHeight = 560;
    static constexpr int kMaxHeight = 1200;
    static constexpr int kLeftSheetWidth = 383;
    // The show states kept in AP.showcmd.
    static constexpr int kShowNormal = 1;
    static constexpr int kShowMaximized = 3;
    static constexpr const char* kAbandonQuestion =
        "Tables were not saved. Abandon Modification OK?";

    explicit COrvanDlg(AppContext& app) : m_app(app) {}

    // The counts of the title; the Orbit page adds its own when it exists.
    TitleInfo titleInfo(int selectedOrbits = 0, int listedOrbits = 0) const;
    std::string title(int selectedOrbits = 0, int listedOrbits = 0) const;

    // The normal rectangle and whether to open maximised.
    WindowRect placement() const;
    bool opensMaximized() const;

    // The close command: true when the window may close. Unsaved changes
    // ask first; closing stores the normal rectangle and the show state.
    bool close(const WindowRect& normalRect, bool maximized);

private:
    AppContext& m_app;
};
