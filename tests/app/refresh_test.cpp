// The refresh dispatcher performs each change type's actions in order.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/app_refresh.h"
#include "app/refresh.h"

namespace {

using Page = RefreshTarget::Page;

class RecordingTarget final : public RefreshTarget {
public:
    std::set<Page> shown{Page::SetUp,      Page::Stream, Page::Orbit,
                         Page::RadiantMap, Page::SkyMap, Page::OrbitMap};
    std::vector<std::string> calls;

    bool pageExists(Page page) const override { return shown.count(page) != 0; }
    void setModified(bool modified) override { calls.push_back(modified ? "mark" : "clear"); }
    void recomputeStreamCodes() override { calls.push_back("codes"); }
    void setUpRefillViews() override { calls.push_back("setup views"); }
    void setUpRefillDataSources() override { calls.push_back("setup dsid"); }
    void streamRefillListAndStreams() override { calls.push_back("stream refill"); }
    void streamRecomputeListMembership() override { calls.push_back("stream members"); }
    void orbitRebuildView() override { calls.push_back("orbit rebuild"); }
    void orbitRecomputeDateValues() override { calls.push_back("orbit date"); }
    void orbitRelist() override { calls.push_back("orbit relist"); }
    void orbitShowPositionCode() override { calls.push_back("orbit code"); }
    void orbitRedrawListedRows() override { calls.push_back("orbit redraw"); }
    void skyMapUpdateControls() override { calls.push_back("sky controls"); }
    void repaint(Page page) override
    {
        calls.push_back(page == Page::SkyMap       ? "sky"
                        : page == Page::RadiantMap ? "radiant"
                                                   : "orbitmap");
    }
    void updateTitle() override { calls.push_back("title"); }
};

struct RefreshCase {
    const char* name;
    int type;
    std::vector<std::string> calls;
};

// The order of each row follows the table of change types of the main window.
const RefreshCase kCases[] = {
    {"database reloaded",
     0,
     {"clear", "setup views", "stream refill", "orbit rebuild", "sky", "radiant", "orbitmap",
      "title"}},
    {"date changed",
     1,
     {"orbit date", "orbit relist", "orbit code", "radiant", "sky", "orbitmap", "title"}},
    {"data source table", 2, {"setup dsid", "mark"}},
    {"data source use",
     3,
     {"codes", "radiant", "stream refill", "orbit rebuild", "sky", "orbitmap", "title"}},
    {"stream lists edited", 4, {"mark", "stream refill", "title"}},
    {"current list", 5, {"orbit rebuild", "stream members", "radiant", "sky", "orbitmap", "title"}},
    {"links changed",
     6,
     {"mark", "codes", "orbit redraw", "orbit relist", "sky", "orbitmap", "radiant", "title"}},
    {"selection changed", 7, {"orbitmap", "sky", "radiant", "title"}},
    {"sky map recentred", 8, {"sky controls", "sky"}},
    {"stream shown", 9, {"orbit date", "sky controls", "sky", "radiant", "orbitmap", "title"}},
    {"below range", -1, {}},
    {"above range", 10, {}},
};

} // namespace

TEST(Refresh, EachChangeTypePerformsItsActionsInOrder)
{
    for (const RefreshCase& c : kCases) {
        RecordingTarget target;
        refresh(target, c.type);
        EXPECT_EQ(target.calls, c.calls) << c.name;
    }
}

TEST(Refresh, MapPagesNotYetShownAreSkipped)
{
    RecordingTarget target;
    target.shown.erase(Page::OrbitMap);
    target.shown.erase(Page::SkyMap);
    refresh(target, 9);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"orbit date", "radiant", "title"}));
}

TEST(WindowTitle, FormatsAndCutsAt199Characters)
{
    TitleInfo info{"/home/u/MDB", "IAU", 3, 2, 10, 20, 30};
    EXPECT_EQ(windowTitle(info),
              "Orvantella /home/u/MDB  List:IAU  Stream:3 / 2  Orbit: 10 / 20 / 30");
    info.mdbFolder = std::string(300, 'm');
    const std::string title = windowTitle(info);
    EXPECT_EQ(title.size(), 199u);
    EXPECT_EQ(title.substr(0, 12), "Orvantella m");
}

TEST(RequestRefresh, HeadlessKeepsTheModifiedFlagAndStreamCodes)
{
    AppContext app;
    app.db = std::make_unique<Database>();
    requestRefresh(app, 6);
    EXPECT_TRUE(app.db->modified);
    requestRefresh(app, 0);
    EXPECT_FALSE(app.db->modified);
    RecordingTarget window;
    app.refresher = &window;
    requestRefresh(app, 2);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"setup dsid", "mark"}));
    EXPECT_FALSE(app.db->modified);
}
