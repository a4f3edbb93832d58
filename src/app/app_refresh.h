#pragma once
// Refresh requests of the commands: the core part of every change type
// (the modified flag, the orbits' stream codes) done here, the pages'
// reactions added by the window when there is one.

#include "app/refresh.h"

struct AppContext;

class AppRefresh : public RefreshTarget {
public:
    explicit AppRefresh(AppContext& app) : m_app(app) {}

    // Without a window no map page exists; the other pages' actions do nothing.
    bool pageExists(Page) const override { return false; }
    void setModified(bool modified) override;
    void recomputeStreamCodes() override;

    void setUpRefillViews() override {}
    void setUpRefillDataSources() override {}
    void streamRefillListAndStreams() override {}
    void streamRecomputeListMembership() override {}
    void orbitRebuildView() override {}
    void orbitRecomputeDateValues() override {}
    void orbitRelist() override {}
    void orbitShowPositionCode() override {}
    void orbitRedrawListedRows() override {}
    void skyMapUpdateControls() override {}
    void repaint(Page) override {}
    void updateTitle() override {}

protected:
    AppContext& m_app;
};

// refresh(change type) through the application's window, or headless.
void requestRefresh(AppContext& app, int changeType);
// Marks the database modified, through the window (which enables "Save Tables") when open.
void markModified(AppContext& app);
