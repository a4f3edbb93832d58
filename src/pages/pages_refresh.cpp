// Which page method each refresh action of the left pages calls.
#include "pages/pages_refresh.h"

#include "pages/page_orbit.h"
#include "pages/page_setup.h"
#include "pages/page_stream.h"

bool PagesRefresh::pageExists(Page page) const
{
    return page == Page::SetUp || page == Page::Stream || page == Page::Orbit;
}

void PagesRefresh::setUpRefillViews() { m_setup.refreshViews(); }

void PagesRefresh::setUpRefillDataSources() { m_setup.refillDataSources(); }

void PagesRefresh::streamRefillListAndStreams() { m_stream.fillCombo(); }

void PagesRefresh::streamRecomputeListMembership() { m_stream.recomputeMembership(); }

void PagesRefresh::orbitRebuildView() { m_orbit.refreshRebuildView(); }

void PagesRefresh::orbitRecomputeDateValues() { m_orbit.refreshDateValues(); }

// A new listing rebuilds the whole view.
void PagesRefresh::orbitRelist() { m_orbit.refreshRebuildView(); }

void PagesRefresh::orbitRedrawListedRows() { m_orbit.refreshRedrawListedRows(); }
