#pragma once
// The Set Up, Stream and Orbit pages' reactions to a refresh, shared by the window and by
// runs without one.

#include "app/app_refresh.h"

class CPageOrbit;
class CPageSetup;
class CPageStream;

class PagesRefresh : public AppRefresh {
public:
    // The pages outlive this target.
    PagesRefresh(AppContext& app, CPageSetup& setup, CPageStream& stream, CPageOrbit& orbit)
        : AppRefresh(app), m_setup(setup), m_stream(stream), m_orbit(orbit)
    {
    }

    bool pageExists(Page page) const override;
    void setUpRefillViews() override;
    void setUpRefillDataSources() override;
    void streamRefillListAndStreams() override;
    void streamRecomputeListMembership() override;
    void orbitRebuildView() override;
    void orbitRecomputeDateValues() override;
    void orbitRelist() override;
    void orbitRedrawListedRows() override;

private:
    CPageSetup& m_setup;
    CPageStream& m_stream;
    CPageOrbit& m_orbit;
};
