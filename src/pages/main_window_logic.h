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
    // The right half keeps at least this much when the left one is placed.
    static constexpr int kMinRightWidth = 360;
    // Without a remembered width the left half takes this share of the window.
    static constexpr double kDefaultLeftShare = 0.5;
    static constexpr const char* kAbandonQuestion =
        "Tables were not saved. Abandon Modification OK?";

    explicit COrvanDlg(AppContext& app) : m_app(app) {}

    // The counts of the title; the Orbit page adds its own when it exists.
    TitleInfo titleInfo(int selectedOrbits = 0, int listedOrbits = 0) const;
    std::string title(int selectedOrbits = 0, int listedOrbits = 0) const;

    // The normal rectangle and whether to open maximised.
    WindowRect placement() const;
    bool opensMaximized() const;
    // The left half's width in a window whose two halves have total pixels: the remembered
    // one where it fits, else half the window, never below the sheet's own width.
    int leftWidth(int total) const;

    // The close command: true when the window may close. Unsaved changes
    // ask first; closing stores the normal rectangle, the show state and the
    // left half's width (0: none to store).
    bool close(const WindowRect& normalRect, bool maximized, int leftWidth = 0);

private:
    AppContext& m_app;
};

// Where the data the program shows and ships come from, for the About box.
inline constexpr const char* kDataCredits =
    "Demo database: the shower list of the IAU Meteor Data Center and orbits of the Global "
    "Meteor Network.\nStar catalogue: the Yale Bright Star Catalogue, 5th Revised Ed. "
    "(Hoffleit & Warren 1991, NASA ADC / CDS V/50).";
