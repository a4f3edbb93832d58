// The pages linked as the main window links them, driven without a window:
// the orbit map's highlight, the sky map's "--> Reference" and the Stream
// page following the Orbit page's stream changes.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

#include "maps/canvas.h"
#include "mdb/schema.h"
#include "pages/page_links.h"
#include "pages/page_omap.h"
#include "pages/page_orbit.h"
#include "pages/page_smap.h"
#include "pages/page_stream.h"
#include "pages/ssel_dlg.h"
#include "support/mdb_session.h"
#include "table/links.h"

namespace {

using O = col::Orbit;
using S = col::Stream;

struct TestOrbit {
    const char* name;
    float ra, dec, vg, a, e;
};

// Orbits of the work source "WK"; o0 and o3 share their radiant, which sits
// at the sky map's default centre (ra 130, dec 40); o2 is hyperbolic.
constexpr TestOrbit kOrbits[] = {{"o0", 130, 40, 30, 2.5f, 0.6f},
                                 {"o1", 200, -10, 40, 1.5f, 0.4f},
                                 {"o2", 250, 20, 50, -2.0f, 1.3f},
                                 {"o3", 130, 40, 60, 3.0f, 0.7f}};
constexpr std::uint32_t kFirstOid = 4100000001u;
constexpr std::uint32_t kSid = 4100000100u;
constexpr std::uint32_t kLid = 4100000200u;
// The sky map's centre pixel on a 400 x 300 area, in screen rows from the top.
constexpr int kCentreX = 199;
constexpr int kCentreY = 150;

struct LinkedPagesFixture {
    MdbSession session;
    int stream = -1;
    std::unique_ptr<CPageStream> streamPage;
    std::unique_ptr<CPageOrbit> orbitPage;
    std::unique_ptr<MapInputsCache> inputs;
    std::unique_ptr<CPageSMap> skyMap;
    std::unique_ptr<CPageOMap> orbitMap;
    Canvas skyCanvas{400, 300, false};
    Canvas orbitCanvas{400, 300, false};

    LinkedPagesFixture()
    {
        Database& db = session.db();
        const int file = session.addOrbitFile("O_test.csv");
        std::uint32_t oid = kFirstOid;
        for (const TestOrbit& o : kOrbits) {
            const int row = session.addOrbit(file, oid++, o.name, 54324.5f);
            CUTABLE& t = db.orbits;
            t.cell(row, O::sol)->real = 140;
            t.cell(row, O::ra)->real = o.ra;
            t.cell(row, O::dec)->real = o.dec;
            t.cell(row, O::vg)->real = o.vg;
            t.cell(row, O::a)->real = o.a;
            t.cell(row, O::e)->real = o.e;
            t.cell(row, O::q)->real = o.a * (1 - o.e);
            t.cell(row, O::incl)->real = 30;
            t.cell(row, O::node)->real = 140;
            t.cell(row, O::peri)->real = 150;
            t.cell(row, O::type)->integer = 1;
        }
        stream = session.addStream(kSid, "WK_PER", 0);
        db.streams.cell(stream, S::TOIDline)->integer = -1;
        const int list = db.lists.addRow();
        db.lists.cell(list, col::List::LID)->number = kLid;
        db.lists.setText(list, col::List::name, "L_WK_test");
        link({&db.lists, list, col::List::SLINK}, {&db.streams, stream, S::LLINK});
        db.dsids.cell(0, col::Dsid::IDnext)->number = kLid + 1;
        session.saveAndReload();
        stream = 0;

        Settings& s = session.app().settings;
        s.ps_lid = static_cast<int>(kLid);
        // Only the radiants on the sky map, only orbits and planets on the orbit map.
        s.sm_axis = s.sm_apex = s.sm_text = s.sm_average = s.sm_stream = s.sm_color = 0;
        s.om_star = s.om_text = s.om_average = 0;
        streamPage = std::make_unique<CPageStream>(session.app());
        orbitPage = std::make_unique<CPageOrbit>(session.app());
        inputs = std::make_unique<MapInputsCache>(session.app());
        skyMap = std::make_unique<CPageSMap>(session.app(), *inputs);
        orbitMap = std::make_unique<CPageOMap>(session.app(), *inputs);
        linkPages({*streamPage, *orbitPage, *inputs, *skyMap},
                  [this] { orbitMap->highlightChanged(orbitCanvas); });
        streamPage->initialise();
        orbitPage->initialise();
        skyMap->render(skyCanvas);
        orbitMap->render(orbitCanvas);
    }

    Database& db() { return session.db(); }
    Settings& settings() { return session.app().settings; }
    int row(const char* name) const { return name ? session.orbitRow(name) : -1; }
    int lineOf(const char* name) { return db().orbits.integer(row(name), O::dline); }
    const TestOrbit& orbit(const char* name) const
    {
        for (const TestOrbit& o : kOrbits)
            if (std::string_view(o.name) == name)
                return o;
        return kOrbits[0];
    }

    // The user's ways of moving the list's selected line.
    void click(const char* name)
    {
        orbitPage->orbitView().setSelectedLine(name ? lineOf(name) : -1);
        orbitPage->orbitView().leftButtonDown();
    }
    void rightClick(const char* name)
    {
        orbitPage->orbitView().setSelectedLine(lineOf(name));
        orbitPage->orbitView().rightButtonDown(lineOf(name), 0);
    }
    void upDownKeyOnto(const char* name)
    {
        orbitPage->orbitView().setSelectedLine(lineOf(name));
        orbitPage->orbitView().upDownKey();
    }
    void chooseTheStream()
    {
        streamPage->streamView().setSelectedLine(db().streams.integer(stream, S::valid));
        streamPage->notify(CPageStream::kRowSelected, 0, 0);
    }
    // The stream selection dialog answered with a click on the stream's line.
    void pickTheStreamIn(const char* title)
    {
        session.ui().answerDialog([title](DialogModel& model) {
            auto& dialog = static_cast<CSSELDlg&>(model);
            EXPECT_EQ(dialog.title(), title);
            dialog.click(0);
            return true;
        });
    }
    std::uint32_t streamOrbitCount() { return db().streams.cell(stream, S::SO)->number; }
};

// The colours of the pixels that differ between two canvases of one size.
std::vector<Rgb> changedPixels(const Canvas& before, const Canvas& after)
{
    std::vector<Rgb> changed;
    for (int y = 0; y <= after.maxY(); ++y)
        for (int x = 0; x <= after.maxX(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y))
                changed.push_back(after.pixel(x, y));
    return changed;
}

} // namespace

TEST(PageLinks, OrbitMapHighlightFollowsTheOrbitPagesSelectedLine)
{
    struct Case {
        const char* name;
        std::function<void(LinkedPagesFixture&)> act;
        const char* highlighted; // the orbit, or none
        bool drawn;
    };
    const Case cases[] = {
        {"left click on a line", [](auto& f) { f.click("o1"); }, "o1", true},
        {"Up or Down key onto a line", [](auto& f) { f.upDownKeyOnto("o0"); }, "o0", true},
        {"right click on a line", [](auto& f) { f.rightClick("o3"); }, "o3", true},
        {"hyperbolic orbit: highlighted, never drawn", [](auto& f) { f.click("o2"); }, "o2", false},
        {"a stream chosen on the Stream page clears the line",
         [](auto& f) {
             f.click("o1");
             f.chooseTheStream();
         },
         nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LinkedPagesFixture f;
        const Canvas unhighlighted = f.orbitCanvas;
        c.act(f);
        EXPECT_EQ(f.orbitPage->selectedOrbitRow(), f.row(c.highlighted));
        const MapInputs& inputs = f.inputs->get();
        EXPECT_EQ(inputs.highlighted,
                  c.highlighted ? orbitIndexOfRow(inputs, f.row(c.highlighted)) : -1);
        const std::vector<Rgb> changed = changedPixels(unhighlighted, f.orbitCanvas);
        EXPECT_EQ(!changed.empty(), c.drawn);
        for (const Rgb& colour : changed)
            ASSERT_EQ(colour, kWhite);
        // Clicking where no line is puts every pixel back.
        f.click(nullptr);
        EXPECT_TRUE(changedPixels(unhighlighted, f.orbitCanvas).empty());
    }
}

TEST(PageLinks, SkyMapReferenceSelectsTheOrbitUnderTheCursorInTheList)
{
    struct Case {
        const char* name;
        bool sortedByOidDescending;
        int px, py;
        const char* reference; // the orbit, or none
    };
    // Every listed orbit under the cursor is a match and the last in list order wins.
    const Case cases[] = {
        {"two orbits under the cursor: the later line", false, kCentreX, kCentreY, "o3"},
        {"the list sorted the other way round", true, kCentreX, kCentreY, "o0"},
        {"empty sky: no reference", false, 20, 20, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LinkedPagesFixture f;
        if (c.sortedByOidDescending) {
            const std::vector<UViewColumn>& columns = f.orbitPage->orbitView().layout().columns;
            for (std::size_t i = 0; i < columns.size(); ++i)
                if (columns[i].column == O::OID)
                    f.orbitPage->orbitView().sort(static_cast<int>(i), -1);
            f.inputs->invalidate();
            f.skyMap->render(f.skyCanvas);
        }
        const float raBefore = f.settings().po_r1;
        f.skyMap->cursorMoved(f.skyCanvas, c.px, c.py);
        EXPECT_EQ(f.skyMap->referenceFromCursor(), c.reference != nullptr);
        EXPECT_EQ(f.orbitPage->selectedOrbitRow(), f.row(c.reference));
        const MapInputs& inputs = f.inputs->get();
        if (!c.reference) {
            EXPECT_EQ(f.settings().po_r1, raBefore);
            EXPECT_EQ(inputs.highlighted, -1);
            continue;
        }
        EXPECT_EQ(f.orbitPage->orbitView().selectedLine(), f.lineOf(c.reference));
        EXPECT_EQ(f.settings().po_r1, f.orbit(c.reference).ra);
        EXPECT_EQ(f.settings().po_v1, f.orbit(c.reference).vg);
        EXPECT_EQ(inputs.highlighted, orbitIndexOfRow(inputs, f.row(c.reference)));
    }
}

TEST(PageLinks, StreamLinksChangedOnTheOrbitPageRecountTheStreamPage)
{
    struct Case {
        const char* name;
        std::function<void(LinkedPagesFixture&)> act;
        std::uint32_t orbitsOfTheStream;
    };
    const Case cases[] = {
        {"Change Stream on one orbit",
         [](auto& f) {
             f.pickTheStreamIn(CSSELDlg::kChangeTitle);
             f.orbitPage->menuCommand(CPageOrbit::MenuItem::ChangeStream, f.lineOf("o1"));
         },
         1},
        {"Set Stream for all",
         [](auto& f) {
             f.pickTheStreamIn(CSSELDlg::kSelectTitle);
             f.orbitPage->notify(CPageOrbit::kStreamForAll, O::stream, 0);
         },
         std::size(kOrbits)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LinkedPagesFixture f;
        ASSERT_EQ(f.streamOrbitCount(), 0u);
        c.act(f);
        EXPECT_EQ(f.session.ui().pendingAnswers(), 0u);
        EXPECT_EQ(f.streamOrbitCount(), c.orbitsOfTheStream);
    }
}
