// The map pages' commands on a small database: the inputs from the tables,
// cursor read-outs, recentring, pinning and the orbit map's views.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

#include "app/app_context.h"
#include "maps/canvas.h"
#include "mdb/schema.h"
#include "pages/page_omap.h"
#include "pages/page_radiant.h"
#include "pages/page_smap.h"

namespace {

// Data source 1 in use, data source 2 not; orbits given as (OID, ra, dec, vg).
struct PageFixture {
    AppContext app;
    std::unique_ptr<MapInputsCache> inputs;

    PageFixture()
    {
        app.db = std::make_unique<Database>();
        for (const auto& [dsid, use] : {std::pair{1u, 1u}, std::pair{2u, 0u}}) {
            const int row = app.db->dsids.addRow();
            app.db->dsids.cell(row, col::Dsid::DSID)->number = dsid;
            app.db->dsids.cell(row, col::Dsid::use)->number = use;
        }
        app.db->sources.markInUse();
        inputs = std::make_unique<MapInputsCache>(app);
    }

    int addOrbit(std::uint32_t oid, float ra, float dec, float vg, const char* name)
    {
        CUTABLE& t = app.db->orbits;
        const int row = t.addRow();
        t.cell(row, col::Orbit::OID)->number = oid;
        t.cell(row, col::Orbit::ra)->real = ra;
        t.cell(row, col::Orbit::dec)->real = dec;
        t.cell(row, col::Orbit::vg)->real = vg;
        t.cell(row, col::Orbit::type)->integer = 1;
        t.setText(row, col::Orbit::name, name);
        // Selected and listed, as a selection run with every condition off leaves it.
        t.cell(row, col::Orbit::sel)->number = 1;
        t.cell(row, col::Orbit::dline)->integer = row;
        ++app.db->orbitCount;
        return row;
    }
};

} // namespace

TEST(MapInputs, TheOrbitPagesListMarksAndSelectionResults)
{
    PageFixture f;
    f.addOrbit(100001, 10, 10, 30, "a");
    f.addOrbit(200001, 20, 20, 30, "b"); // data source not in use
    f.addOrbit(100002, 30, 30, 30, "c");
    f.addOrbit(100003, 40, 40, 30, "d");
    CUTABLE& orbits = f.app.db->orbits;
    orbits.cell(1, col::Orbit::sel)->number = 2;     // kept out
    orbits.cell(2, col::Orbit::dline)->integer = -1; // no line: hidden
    orbits.cell(3, col::Orbit::sel)->number = 5;     // selected regardless
    f.app.selection.currentSol = 261.5;
    f.app.selection.firstMjd = 58460.25;
    f.app.selection.lastMjd = 58466.5;
    f.app.selection.averages.totalWeight = 2;
    f.app.selection.averages.ra = 112.5;
    for (const auto& [code, member] : {std::pair{"AAA", 1u}, std::pair{"BBB", 0u}}) {
        const int row = f.app.db->streams.addRow();
        f.app.db->streams.setText(row, col::Stream::code, code);
        f.app.db->streams.cell(row, col::Stream::LS)->number = member;
    }
    const MapInputs& inputs = f.inputs->get();
    ASSERT_EQ(inputs.orbits.size(), 4u);
    EXPECT_EQ(inputs.listed, (std::vector<int>{0, 1, 3}));
    const std::vector<bool> selected{true, false, false, true};
    for (std::size_t i = 0; i < selected.size(); ++i)
        EXPECT_EQ(isSelectedMark(inputs.orbits[i].sel), selected[i]) << "row " << i;
    EXPECT_FALSE(inputs.orbits[1].sourceInUse);
    EXPECT_EQ(inputs.referenceSolDeg, 261.5);
    EXPECT_EQ(inputs.firstMjd, 58460.25);
    EXPECT_EQ(inputs.lastMjd, 58466.5);
    ASSERT_TRUE(inputs.averages.has_value());
    EXPECT_EQ(inputs.averages->raDeg, 112.5);
    // The streams are those the Stream page marks as the current list's.
    ASSERT_EQ(inputs.streams.size(), 1u);
    EXPECT_EQ(inputs.streams[0].code, "AAA");
    // No weight, no averages; no selected orbit, no date range.
    f.app.selection.averages.totalWeight = 0;
    f.app.selection.firstMjd = OrbitSelection::kNoFirstMjd;
    f.inputs->invalidate();
    EXPECT_FALSE(f.inputs->get().averages.has_value());
    EXPECT_FALSE(f.inputs->get().firstMjd.has_value());
}

TEST(MapInputs, ListedOrbitsAndStreamsInTheirPagesLineOrder)
{
    struct Case {
        const char* name;
        std::vector<int> lines;       // of rows 0, 1, 2 in both lists; -1 for none
        std::vector<int> listedOrder; // rows, first line first
    };
    const Case cases[] = {
        {"unsorted: row order", {0, 1, 2}, {0, 1, 2}},
        {"sorted the other way round", {2, 1, 0}, {2, 1, 0}},
        {"one row without a line", {1, -1, 0}, {2, 0}},
        {"lines with gaps", {5, -1, 3}, {2, 0}},
        {"equal lines keep row order", {1, 0, 1}, {1, 0, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PageFixture f;
        for (int row = 0; row < 3; ++row) {
            f.addOrbit(100001 + static_cast<std::uint32_t>(row), 10, 10, 30, "o");
            f.app.db->orbits.cell(row, col::Orbit::dline)->integer = c.lines[row];
            const int stream = f.app.db->streams.addRow();
            f.app.db->streams.setText(stream, col::Stream::code, std::to_string(row).c_str());
            f.app.db->streams.cell(stream, col::Stream::LS)->number = c.lines[row] >= 0;
            f.app.db->streams.cell(stream, col::Stream::valid)->integer = c.lines[row];
        }
        const MapInputs& inputs = f.inputs->get();
        std::vector<int> listedRows;
        std::vector<int> streamRows;
        for (int index : inputs.listed)
            listedRows.push_back(inputs.orbits[static_cast<std::size_t>(index)].row);
        for (const MapStream& stream : inputs.streams)
            streamRows.push_back(std::stoi(stream.code));
        EXPECT_EQ(listedRows, c.listedOrder);
        EXPECT_EQ(streamRows, c.listedOrder);
    }
}

// The inputs are read on both cores from enough rows; a plain loop over the
// rows, one cell at a time, is the oracle.
TEST(MapInputs, ManyRowsMatchAPlainLoop)
{
    for (const bool sorted : {false, true}) {
        SCOPED_TRACE(sorted ? "list sorted" : "list in row order");
        PageFixture f;
        CUTABLE& t = f.app.db->orbits;
        std::mt19937 random(sorted ? 7 : 8);
        const int rows = 60000;
        std::vector<int> lines(rows);
        std::iota(lines.begin(), lines.end(), 0);
        if (sorted)
            std::shuffle(lines.begin(), lines.end(), random);
        for (int row = 0; row < rows; ++row) {
            f.addOrbit(100001u + random() % 2 * 100000u, static_cast<float>(random() % 360),
                       static_cast<float>(random() % 180) - 90, 30, "o");
            t.cell(row, col::Orbit::sel)->number = static_cast<std::uint32_t>(random() % 6);
            t.cell(row, col::Orbit::e)->real = static_cast<float>(random() % 1000) / 900;
            t.cell(row, col::Orbit::dline)->integer = random() % 5 == 0 ? -1 : lines[row];
        }
        for (int row = 0; row < rows; row += 7)
            t.deleteRow(row);
        std::vector<std::pair<int, int>> byLine; // line, row
        std::vector<int> liveRows;
        for (int row = 0; row < rows; ++row) {
            if (!t.isLive(row))
                continue;
            liveRows.push_back(row);
            if (const int line = t.cell(row, col::Orbit::dline)->integer; line >= 0)
                byLine.emplace_back(line, row);
        }
        std::ranges::sort(byLine);
        const MapInputs& inputs = f.inputs->get();
        ASSERT_EQ(inputs.orbits.size(), liveRows.size());
        for (std::size_t i = 0; i < liveRows.size(); ++i) {
            const MapOrbit& o = inputs.orbits[i];
            const int row = liveRows[i];
            const bool listed = t.cell(row, col::Orbit::dline)->integer >= 0;
            ASSERT_EQ(o.row, row);
            ASSERT_EQ(o.oid, t.cell(row, col::Orbit::OID)->number);
            ASSERT_EQ(o.sel, listed ? t.cell(row, col::Orbit::sel)->number : 0u);
            ASSERT_EQ(o.sourceInUse, o.oid < 200000);
            ASSERT_EQ(o.ra, t.cell(row, col::Orbit::ra)->real);
            ASSERT_EQ(o.dec, t.cell(row, col::Orbit::dec)->real);
            ASSERT_EQ(o.e, t.cell(row, col::Orbit::e)->real);
        }
        ASSERT_EQ(inputs.listed.size(), byLine.size());
        for (std::size_t i = 0; i < byLine.size(); ++i)
            ASSERT_EQ(inputs.orbits[static_cast<std::size_t>(inputs.listed[i])].row,
                      byLine[i].second);
    }
}

TEST(CPageSMap, CursorOverARadiantNamesItAndOffersReference)
{
    PageFixture f;
    f.app.settings.sm_axis = f.app.settings.sm_apex = f.app.settings.sm_text = 0;
    f.app.settings.sm_color = 0;
    f.addOrbit(100001, 130, 40, 30, "20181213_000001");
    f.addOrbit(100002, 150, 20, 30, "20181213_000002");
    CPageSMap page(f.app, *f.inputs);
    Canvas canvas(400, 300, false);
    page.render(canvas);
    // The first radiant sits at the centre, canvas (199, 149): screen row 299 - 149.
    page.cursorMoved(canvas, 199, 150);
    EXPECT_EQ(page.orbitText(), "OID=100001 20181213_000001");
    EXPECT_EQ(page.rememberedOrbit(), 0);
    EXPECT_EQ(page.menuItems(), (std::vector<std::string>{"--> Reference", "--> Center"}));
    int referenced = -1;
    page.setReferenceHook([&](int row) { referenced = row; });
    EXPECT_TRUE(page.referenceFromCursor());
    EXPECT_EQ(referenced, 0);
    // Over empty sky: only "--> Center", which recentres on the cursor.
    page.cursorMoved(canvas, 20, 20);
    EXPECT_TRUE(page.orbitText().empty());
    EXPECT_EQ(page.menuItems(), std::vector<std::string>{"--> Center"});
    EXPECT_TRUE(page.cursorText().starts_with("ra "));
    ASSERT_TRUE(page.centerAtCursor());
    EXPECT_TRUE(std::isfinite(f.app.settings.sm_ra) && std::isfinite(f.app.settings.sm_dec));
    EXPECT_NE(f.app.settings.sm_ra, 130.0f);
}

TEST(CPageSMap, CenterNeverStoresANonFiniteValue)
{
    PageFixture f;
    f.app.settings.sm_scale = 0;
    f.app.settings.sm_dec = 90;
    CPageSMap page(f.app, *f.inputs);
    Canvas canvas(64, 64, false);
    page.render(canvas);
    for (int px = 0; px < 64; px += 7)
        for (int py = 0; py < 64; py += 7) {
            page.cursorMoved(canvas, px, py);
            if (page.centerAtCursor()) {
                ASSERT_TRUE(std::isfinite(f.app.settings.sm_ra));
                ASSERT_TRUE(std::isfinite(f.app.settings.sm_dec));
            }
            f.app.settings.sm_dec = 90;
        }
}

TEST(CPageRadiant, PinToggleFrameLabelsAndReadOut)
{
    PageFixture f;
    CPageRadiant page(f.app, *f.inputs);
    Canvas canvas(400, 300, false);
    page.render(canvas);
    EXPECT_STREQ(page.fieldLabel(0), "ra");
    EXPECT_EQ(page.cursorText(canvas, 199, 150).substr(0, 19), "ra 180.0 dec 0.0 el");
    page.rightClick(canvas, 199, 150);
    ASSERT_TRUE(page.pinned().has_value());
    EXPECT_NEAR(page.pinned()->lonDeg, 180, 1e-9);
    page.rightClick(canvas, 10, 10);
    EXPECT_FALSE(page.pinned().has_value());
    page.setFrame(RadiantFrame::SunCentred);
    EXPECT_STREQ(page.fieldLabel(0), "elg");
    EXPECT_STREQ(page.fieldLabel(1), "elt");
    EXPECT_TRUE(page.cursorText(canvas, 199, 150).starts_with("elg 180.0 elt 0.0"));
}

TEST(CPageOMap, ViewsAndTheRememberedView)
{
    PageFixture f;
    CPageOMap page(f.app, *f.inputs);
    Settings& s = f.app.settings;
    page.topView();
    EXPECT_EQ(s.om_ra, 90.0f);
    EXPECT_EQ(s.om_dec, 67.5f);
    s.om_scale = 3;
    page.rememberView();
    s.om_ra = 10;
    s.om_dec = -20;
    s.om_rot = 45;
    s.om_scale = 50;
    page.rememberedView();
    EXPECT_EQ(s.om_ra, 90.0f);
    EXPECT_EQ(s.om_dec, 67.5f);
    EXPECT_EQ(s.om_rot, 0.0f);
    EXPECT_EQ(s.om_scale, 3.0f);
    // Side view on 2007-01-01: the Sun's ra about 281, dec about -23, so the
    // camera looks from dec +23 on the Earth's side.
    page.sideView();
    EXPECT_NEAR(s.om_ra, 281.3, 0.5);
    EXPECT_NEAR(s.om_dec, 23.0, 0.2);
    EXPECT_EQ(page.fields().size(), 5u);
    EXPECT_EQ(page.checks().size(), 5u);
}
