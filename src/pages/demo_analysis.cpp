// The demo run: the program started in the output folder on a copy of the demo database, its
// pages driven as a user would drive them, the figures gathered into a report.
#include "pages/demo_analysis.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

#include "app/app_context.h"
#include "maps/canvas.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "pages/cluster_command.h"
#include "pages/cluster_dlg.h"
#include "pages/dsid_select_dialog.h"
#include "pages/page_omap.h"
#include "pages/page_orbit.h"
#include "pages/page_radiant.h"
#include "pages/page_setup.h"
#include "pages/page_smap.h"
#include "pages/page_stream.h"
#include "pages/pages_refresh.h"
#include "pages/stream_list.h"
#include "platform/feedback.h"
#include "platform/scripted_ui.h"
#include "streams/stream_grouping.h"
#include "table/links.h"
#include "table/text_file.h"
#include "views/edit_line_dlg.h"

namespace fs = std::filesystem;

namespace {

using O = col::Orbit;
using S = col::Stream;

// The three left pages with the window's reactions to a refresh; the map pages are not open.
class DemoPages final {
public:
    explicit DemoPages(AppContext& app)
        : setup(app), stream(app), orbit(app), m_app(app), m_refresh(app, setup, stream, orbit)
    {
        stream.streamChosen = [this](int row, bool ctrl) { orbit.showStream(row, ctrl); };
        app.refresher = &m_refresh;
        setup.initialise();
        stream.initialise();
        orbit.initialise();
    }
    ~DemoPages() { m_app.refresher = nullptr; }
    DemoPages(const DemoPages&) = delete;
    DemoPages& operator=(const DemoPages&) = delete;

    CPageSetup setup;
    CPageStream stream;
    CPageOrbit orbit;

private:
    AppContext& m_app;
    PagesRefresh m_refresh;
};

// The scripted user for the run's length; its messages go to standard error.
class DemoUser {
public:
    DemoUser() : m_previous(&ui())
    {
        m_ui.setEcho(true);
        setUi(&m_ui);
    }
    ~DemoUser() { setUi(m_previous); }
    DemoUser(const DemoUser&) = delete;
    DemoUser& operator=(const DemoUser&) = delete;
    ScriptedUi& operator*() { return m_ui; }

private:
    ScriptedUi m_ui;
    Ui* m_previous;
};

// A folder the demo may fill: a new one, or one that holds an earlier demo's report (its MDB
// copy is replaced). Any other folder with an MDB is left alone.
bool prepareOutput(const std::string& demoMdb, const std::string& outDir)
{
    std::error_code error;
    const fs::path mdb = fs::path(outDir) / "MDB";
    if (fs::exists(mdb, error)) {
        if (!fs::exists(fs::path(outDir) / kDemoReportName, error)) {
            message("%s exists and holds no demo report: it is left alone", mdb.c_str());
            return false;
        }
        fs::remove_all(mdb, error);
    }
    fs::create_directories(outDir, error);
    fs::copy(demoMdb, mdb, fs::copy_options::recursive, error);
    if (error) {
        message("Cannot copy %s to %s", demoMdb.c_str(), mdb.c_str());
        return false;
    }
    return true;
}

// The program as start-up leaves it in outDir, with the default settings.
bool startIn(AppContext& app, const std::string& outDir, const std::string& executableFolder)
{
    app.startupFolder = outDir;
    app.executableFolder = executableFolder;
    app.settings = defaultSettings({outDir, {}});
    app.views.resetToDefaults();
    app.settings.mdbdir = (fs::path(outDir) / "MDB").string();
    const auto stars = findStarCatalogueFolder(starCatalogueFolders(outDir, executableFolder));
    if (!stars) {
        message("%s was not exist", kStarCatalogueFileName);
        return false;
    }
    app.stars = loadStarCatalogue(*stars);
    app.db = std::make_unique<Database>();
    loadAll(*app.db, app.settings.mdbdir, app.settings.dlg_Y);
    app.planetTracks = PlanetTracks(app.settings.dlg_Y, app.settings.dlg_M, app.settings.dlg_D);
    return true;
}

// The Stream page's combo set to the list of that name.
bool chooseList(CPageStream& page, const std::string& name)
{
    const auto& items = page.listItems();
    for (std::size_t item = 0; item < items.size(); ++item)
        if (items[item].name == name) {
            page.chooseList(static_cast<int>(item));
            return true;
        }
    message("No stream list %s", name.c_str());
    return false;
}

// The IAU code of the orbit's stream in the current list; empty for none (sporadic).
std::string groupedShower(const Database& db, int orbitRow)
{
    for (const LinkNode& node : linksOf(db.orbits, orbitRow, O::SLINK))
        if (node.resolved() && node.partnerCell.table->cell(node.partnerCell.row, S::LS)->number)
            return showerCodeOf(node.partnerCell.table->text(node.partnerCell.row, S::code));
    return {};
}

// R-vg grouping of the IAU list against GMN's labels (kept in memo by the import).
bool groupAgainstGmn(AppContext& app, DemoPages& pages, Feedback& feedback, DemoResult& result)
{
    if (!chooseList(pages.stream, kDemoGroupedList))
        return false;
    pages.stream.rvgGrouping(feedback);
    if (feedback.cancelled())
        return false;
    const Database& db = *app.db;
    std::map<std::string, ShowerCount> counts;
    std::vector<std::string> order;
    const auto count = [&](const std::string& code) -> ShowerCount& {
        auto [at, added] = counts.try_emplace(code, ShowerCount{code, 0, 0});
        if (added)
            order.push_back(code);
        return at->second;
    };
    for (int row : streamsOfListInTableOrder(app, app.currentListRow))
        count(showerCodeOf(db.streams.text(row, S::code)));
    for (int row = 0; row < db.orbits.count(); ++row) {
        if (!isEligibleOrbit(db, row))
            continue;
        const std::string grouped = groupedShower(db, row);
        const std::string labelled = db.orbits.text(row, O::memo);
        ++result.orbits;
        result.agreeing += grouped == labelled ? 1 : 0;
        ++count(grouped).grouped;
        ++count(labelled).labelled;
    }
    for (const std::string& code : order)
        if (counts[code].grouped + counts[code].labelled > 0)
            result.showers.push_back(counts[code]);
    // The biggest showers first, the sporadic orbits last.
    std::stable_sort(result.showers.begin(), result.showers.end(),
                     [](const ShowerCount& x, const ShowerCount& y) {
                         const auto rank = [](const ShowerCount& s) {
                             return s.code.empty() ? -1 : std::max(s.grouped, s.labelled);
                         };
                         return rank(x) > rank(y);
                     });
    result.agreementPercent = result.orbits ? 100.0 * result.agreeing / result.orbits : 0.0;
    return true;
}

// The DSID select dialog's answer: the work source, then OK.
void chooseWorkSource(ScriptedUi& user)
{
    user.answerDialog([](DialogModel& model) {
        auto& dialog = dynamic_cast<CDSIDSDlg&>(model);
        for (std::size_t item = 0; item < dialog.dsidItems().size(); ++item)
            if (dialog.dsidItems()[item].text == kDemoClusterSource)
                dialog.selectDsid(static_cast<int>(item));
        return true;
    });
}

// The Set Up page's "create new List" for the work source, named kDemoClusterList.
bool createClusterList(DemoPages& pages, ScriptedUi& user)
{
    chooseWorkSource(user);
    user.answerDialog([](DialogModel& model) {
        auto& editor = dynamic_cast<CEditLineDlg&>(model);
        for (std::size_t field = 0; field < editor.fields().size(); ++field)
            if (editor.fields()[field].label == "name")
                editor.setText(static_cast<int>(field), kDemoClusterList);
        return editor.accept();
    });
    pages.setup.createList();
    return chooseList(pages.stream, kDemoClusterList);
}

// The Orbit page's "clustering" over the orbits it lists, into the current list with the
// default parameters, new streams of the work source; the dialog run to its end as Start does.
bool clusterOrbits(AppContext& app, DemoPages& pages, ScriptedUi& user, DemoResult& result)
{
    connectClustering(app, pages.stream, pages.orbit);
    chooseWorkSource(user);
    bool complete = false;
    user.answerDialog([&](DialogModel& model) {
        auto& dialog = dynamic_cast<CClusterDlg&>(model);
        dialog.runToEnd();
        result.clusterLog = dialog.log();
        result.newStreams = dialog.newStreams();
        complete = dialog.ended() && !dialog.idsRanOut();
        return true;
    });
    pages.orbit.clustering();
    result.clustered = complete;
    if (!complete)
        message("Clustering did not run to its end");
    return complete;
}

// The Stream page's Geminids chosen with Ctrl (their stream condition alone), then the Orbit
// page's "avr->ref" so that the drift is measured around their own mean.
bool selectShower(AppContext& app, DemoPages& pages, ScriptedUi& user, DemoResult& result)
{
    if (!chooseList(pages.stream, kDemoGroupedList))
        return false;
    CUList& view = pages.stream.streamView();
    int line = 0;
    while (line < view.lineCount() &&
           showerCodeOf(app.db->streams.text(view.rowOfLine(line), S::code)) != kDemoShower)
        ++line;
    if (line == view.lineCount()) {
        message("No stream %s", kDemoShower);
        return false;
    }
    view.setSelectedLine(line);
    user.setCtrlDown(true);
    pages.stream.notify(CPageStream::kRowSelected, 0, 0);
    user.setCtrlDown(false);
    pages.orbit.averagesToReference();
    result.geminids = app.selection.selected;
    result.geminidAverages = app.selection.averages;
    return true;
}

// The sky, radiant and orbit maps of the selection, the sky map centred on a selected orbit
// from the Orbit page's menu and with its stars, each saved as PNG in outDir through its page's
// "Save Map".
bool renderMaps(AppContext& app, DemoPages& pages, ScriptedUi& user, const std::string& outDir,
                DemoResult& result)
{
    CUList& view = pages.orbit.orbitView();
    for (int line = 0; line < view.lineCount(); ++line)
        if (isSelectedOrbit(app.db->orbits, view.rowOfLine(line))) {
            pages.orbit.menuCommand(CPageOrbit::MenuItem::CenterStarMap, line);
            break;
        }
    MapInputsCache inputs(app);
    CPageSMap sky(app, inputs);
    // The sky map's "s" check: the stars behind the radiants.
    for (const MapCheck& check : sky.checks())
        if (check.label == std::string("s"))
            *check.flag = 1;
    CPageRadiant radiant(app, inputs);
    CPageOMap orbit(app, inputs);
    const std::pair<CMapPage*, const char*> maps[] = {
        {&sky, "sky_map.png"}, {&radiant, "radiant_map.png"}, {&orbit, "orbit_map.png"}};
    for (const auto& [page, name] : maps) {
        Canvas canvas(kDemoMapWidth, kDemoMapHeight, app.settings.BW != 0);
        page->render(canvas);
        const std::string path = (fs::path(outDir) / name).string();
        user.answerPath(path);
        if (!page->save(canvas)) {
            message("Cannot write %s", path.c_str());
            return false;
        }
        result.mapFiles.push_back(name);
    }
    return true;
}

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

} // namespace

std::string showerCodeOf(const std::string& streamCode)
{
    const std::size_t cut = streamCode.find('_');
    return cut == std::string::npos ? streamCode : streamCode.substr(cut + 1);
}

std::optional<std::string> findDemoMdb(const std::string& startupFolder,
                                       const std::string& executableFolder)
{
    for (const std::string& folder : starCatalogueFolders(startupFolder, executableFolder)) {
        const fs::path mdb = fs::path(folder) / kDemoMdbFolder;
        std::error_code error;
        if (fs::is_directory(mdb, error))
            return mdb.string();
    }
    return std::nullopt;
}

std::optional<DemoResult> runDemo(const std::string& demoMdb, const std::string& outDir,
                                  const std::string& executableFolder, Feedback& feedback)
{
    DemoUser user;
    if (!prepareOutput(demoMdb, outDir))
        return std::nullopt;
    AppContext app;
    if (!startIn(app, outDir, executableFolder))
        return std::nullopt;
    DemoPages pages(app);
    DemoResult result;
    if (!groupAgainstGmn(app, pages, feedback, result) || !createClusterList(pages, *user) ||
        !clusterOrbits(app, pages, *user, result) || !selectShower(app, pages, *user, result) ||
        !renderMaps(app, pages, *user, outDir, result))
        return std::nullopt;
    pages.setup.saveTables();
    if (app.db->modified)
        return std::nullopt;
    return result;
}

std::string demoReport(const DemoResult& r)
{
    std::string text = "# Orvantella demo\n\n"
                       "The demo database, copied to `MDB`: the established showers of the IAU "
                       "Meteor Data Center shower list and the orbits of two Global Meteor "
                       "Network trajectory summaries. Please cite the IAU Meteor Data Center "
                       "and the Global Meteor Network when you use these data.\n\n";
    text += std::string("## R-vg grouping against GMN's shower labels\n\nList \"") +
            kDemoGroupedList + "\", default options.\n\n| shower | R-vg | GMN |\n|---|---:|---:|\n";
    for (const ShowerCount& s : r.showers)
        text += "| " + (s.code.empty() ? std::string("sporadic") : s.code) + " | " +
                std::to_string(s.grouped) + " | " + std::to_string(s.labelled) + " |\n";
    text += "\nAgreement: " + format("%.1f", r.agreementPercent) + " % of " +
            std::to_string(r.orbits) + " orbits (" + std::to_string(r.agreeing) +
            ": the same shower, or sporadic in both).\n\n";
    text += std::string("## Automatic clustering\n\n") + std::to_string(r.newStreams) +
            " new streams in the list \"" + kDemoClusterList + "\", default parameters.\n\n```\n" +
            r.clusterLog + "```\n\n";
    const SelectionAverages& a = r.geminidAverages;
    text += std::string("## ") + kDemoShower + " (Geminids)\n\n" + std::to_string(r.geminids) +
            " orbits selected; their averages:\n\n| value | mean |\n|---|---:|\n";
    const std::pair<const char*, double> rows[] = {
        {"sol (deg)", a.sol},
        {"ra (deg)", a.ra},
        {"dec (deg)", a.dec},
        {"drift ra (deg/deg)", a.driftRa},
        {"drift dec (deg/deg)", a.driftDec},
        {"vg (km/s)", a.vg},
        {"a (AU)", a.a},
        {"q (AU)", a.q},
        {"e", a.e},
        {"peri (deg)", a.peri},
        {"node (deg)", a.node},
        {"incl (deg)", a.incl},
    };
    for (const auto& [name, value] : rows)
        text += std::string("| ") + name + " | " + format("%.6f", value) + " |\n";
    text += "\n## Maps\n\n";
    for (const std::string& file : r.mapFiles)
        text += "![" + file + "](" + file + ")\n\n";
    text += "Stars of the sky map: Yale Bright Star Catalogue, 5th Revised Ed. (Hoffleit & Warren "
            "1991).\n";
    return text;
}

bool writeDemoReport(const DemoResult& result, const std::string& outDir)
{
    const std::string path = (fs::path(outDir) / kDemoReportName).string();
    AtomicFileWriter out(path);
    if (out.open()) {
        // Text files keep CR LF line ends, the report too.
        for (const char c : demoReport(result))
            out.append(c == '\n' ? std::string_view("\r\n") : std::string_view(&c, 1));
        if (out.commit())
            return true;
    }
    message("Cannot open %s", path.c_str());
    return false;
}
