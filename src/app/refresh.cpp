// The actions of each change type, in the order they are performed.
#include "app/refresh.h"

#include <cstdio>

namespace {

using Page = RefreshTarget::Page;

void repaintIfShown(RefreshTarget& target, Page page)
{
    if (target.pageExists(page))
        target.repaint(page);
}

void skyMapControls(RefreshTarget& target)
{
    if (target.pageExists(Page::SkyMap))
        target.skyMapUpdateControls();
}

void databaseReloaded(RefreshTarget& target)
{
    target.setModified(false);
    target.setUpRefillViews();
    target.streamRefillListAndStreams();
    target.orbitRebuildView();
    repaintIfShown(target, Page::SkyMap);
    repaintIfShown(target, Page::RadiantMap);
    repaintIfShown(target, Page::OrbitMap);
}

void dateChanged(RefreshTarget& target)
{
    target.orbitRecomputeDateValues();
    target.orbitRelist();
    target.orbitShowPositionCode();
    repaintIfShown(target, Page::RadiantMap);
    repaintIfShown(target, Page::SkyMap);
    repaintIfShown(target, Page::OrbitMap);
}

void dataSourceUseChanged(RefreshTarget& target)
{
    target.recomputeStreamCodes();
    repaintIfShown(target, Page::RadiantMap);
    target.streamRefillListAndStreams();
    target.orbitRebuildView();
    repaintIfShown(target, Page::SkyMap);
    repaintIfShown(target, Page::OrbitMap);
}

void listOrStreamsChanged(RefreshTarget& target)
{
    target.orbitRebuildView();
    target.streamRecomputeListMembership();
    repaintIfShown(target, Page::RadiantMap);
    repaintIfShown(target, Page::SkyMap);
    repaintIfShown(target, Page::OrbitMap);
}

void linksChanged(RefreshTarget& target)
{
    target.setModified(true);
    target.recomputeStreamCodes();
    target.orbitRedrawListedRows();
    target.orbitRelist();
    repaintIfShown(target, Page::SkyMap);
    repaintIfShown(target, Page::OrbitMap);
    repaintIfShown(target, Page::RadiantMap);
}

void streamShownOnOrbitPage(RefreshTarget& target)
{
    target.orbitRecomputeDateValues();
    skyMapControls(target);
    repaintIfShown(target, Page::SkyMap);
    repaintIfShown(target, Page::RadiantMap);
    repaintIfShown(target, Page::OrbitMap);
}

} // namespace

void refresh(RefreshTarget& target, int changeType)
{
    switch (changeType) {
    case 0:
        databaseReloaded(target);
        break;
    case 1:
        dateChanged(target);
        break;
    case 2:
        target.setUpRefillDataSources();
        target.setModified(true);
        return;
    case 3:
        dataSourceUseChanged(target);
        break;
    case 4:
        target.setModified(true);
        target.streamRefillListAndStreams();
        break;
    case 5:
        listOrStreamsChanged(target);
        break;
    case 6:
        linksChanged(target);
        break;
    case 7:
        repaintIfShown(target, Page::OrbitMap);
        repaintIfShown(target, Page::SkyMap);
        repaintIfShown(target, Page::RadiantMap);
        break;
    case 8:
        skyMapControls(target);
        repaintIfShown(target, Page::SkyMap);
        return;
    case 9:
        streamShownOnOrbitPage(target);
        break;
    default:
        return;
    }
    target.updateTitle();
}

std::string windowTitle(const TitleInfo& info)
{
    char title[200];
    std::snprintf(title, sizeof title,
                  "Orvantella %s  List:%s  Stream:%d / %d  Orbit: %d / %d / %d",
                  info.mdbFolder.c_str(), info.listName.c_str(), info.streamsInList,
                  info.streamsInUse, info.selectedOrbits, info.listedOrbits, info.orbitRows);
    return title;
}
