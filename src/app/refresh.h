#pragma once
// The one cross-page notification: after a page changes shared data it asks
// for refresh(change type), which decides what every other page redoes, the
// modified flag and the window title.

#include <string>

// What the pages do on a refresh. The GUI implements it over the real pages;
// tests record the calls. Map pages exist only once their window was first
// shown; Set Up, Stream and Orbit always exist.
class RefreshTarget {
public:
    enum class Page { SetUp, Stream, Orbit, RadiantMap, SkyMap, OrbitMap };

    virtual ~RefreshTarget() = default;
    virtual bool pageExists(Page page) const = 0;

    // The modified flag together with the Set Up page's "Save Tables" button.
    virtual void setModified(bool modified) = 0;
    virtual void recomputeStreamCodes() = 0;

    virtual void setUpRefillViews() = 0; // its three views and the MDB folder
    virtual void setUpRefillDataSources() = 0;
    virtual void streamRefillListAndStreams() = 0;
    virtual void streamRecomputeListMembership() = 0;
    virtual void orbitRebuildView() = 0;
    virtual void orbitRecomputeDateValues() = 0;
    virtual void orbitRelist() = 0;
    virtual void orbitShowPositionCode() = 0;
    virtual void orbitRedrawListedRows() = 0;
    virtual void skyMapUpdateControls() = 0;
    virtual void repaint(Page mapPage) = 0;
    virtual void updateTitle() = 0;
};

// Performs the actions of change type 0-9 in their order; other types do nothing.
void refresh(RefreshTarget& target, int changeType);

struct TitleInfo {
    std::string mdbFolder;
    std::string listName;
    int streamsInList = 0;
    int streamsInUse = 0;
    int selectedOrbits = 0;
    int listedOrbits = 0;
    int orbitRows = 0;
};

// "Orvantella %s  List:%s  Stream:%d / %d  Orbit: %d / %d / %d", at most 199 characters.
std::string windowTitle(const TitleInfo& info);
