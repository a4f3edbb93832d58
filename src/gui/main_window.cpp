// The two sheets, the map pages and the window's refresh reactions.
#include "gui/main_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/app_context.h"
#include "gui/map_view.h"
#include "gui/orbit_page.h"
#include "gui/qt_ui.h"
#include "gui/setup_page.h"
#include "gui/stream_page.h"
#include "maps/map_colors.h"
#include "maps/save_map.h"
#include "orbits/page_orbit.h"
#include "orbits/page_setup.h"
#include "streams/page_stream.h"

namespace {

using Page = RefreshTarget::Page;

int mapIndex(Page page) { return page == Page::RadiantMap ? 0 : page == Page::SkyMap ? 1 : 2; }

// Until the sky map draws its projection, the page shows the whole star
// catalogue on a plain longitude-latitude grid.
void drawStarField(const AppContext& app, Canvas& canvas)
{
    const double magLimit = app.settings.sm_mag;
    for (const Star& star : app.stars) {
        const int x = static_cast<int>((360.0 - star.raDeg) / 360.0 * canvas.maxX());
        const int y = static_cast<int>((star.decDeg + 90.0) / 180.0 * canvas.maxY());
        drawStar(canvas, x, y, star.mag, magLimit);
    }
}

} // namespace

// The pages' reactions to a refresh.
class MainWindow::WindowRefresh final : public AppRefresh {
public:
    WindowRefresh(AppContext& app, MainWindow& window) : AppRefresh(app), m_window(window) {}

    bool pageExists(Page page) const override
    {
        return page == Page::SetUp || page == Page::Stream || page == Page::Orbit ||
               m_window.mapPageShown(page);
    }
    void repaint(Page page) override
    {
        if (MapArea* area = m_window.mapArea(page))
            area->update();
    }
    void updateTitle() override { m_window.updateTitle(); }
    void setModified(bool modified) override
    {
        AppRefresh::setModified(modified);
        m_window.m_setupPage->showState();
    }
    void setUpRefillViews() override { m_window.m_setup->refreshViews(); }
    void setUpRefillDataSources() override { m_window.m_setup->refillDataSources(); }
    void streamRefillListAndStreams() override { m_window.m_stream->fillCombo(); }
    void streamRecomputeListMembership() override { m_window.m_stream->recomputeMembership(); }
    void orbitRebuildView() override { m_window.m_orbit->refreshRebuildView(); }
    void orbitRecomputeDateValues() override { m_window.m_orbit->refreshDateValues(); }
    void orbitRelist() override { m_window.m_orbit->refreshRebuildView(); }
    void orbitShowPositionCode() override { m_window.m_orbitPage->showState(); }
    void orbitRedrawListedRows() override { m_window.m_orbit->refreshRedrawListedRows(); }

private:
    MainWindow& m_window;
};

MainWindow::MainWindow(AppContext& app, QtUi& qtUi, QWidget* parent)
    : QWidget(parent), m_app(app), m_logic(app),
      m_refresh(std::make_unique<WindowRefresh>(app, *this)),
      m_setup(std::make_unique<CPageSetup>(app)), m_stream(std::make_unique<CPageStream>(app)),
      m_orbit(std::make_unique<CPageOrbit>(app)), m_left(new QTabWidget(this)),
      m_right(new QTabWidget(this))
{
    (void)qtUi;
    setWindowTitle("Orvantella");
    m_setupPage = new SetupPage(*m_setup, m_left);
    m_left->addTab(m_setupPage, "Set Up");
    m_streamPage = new StreamPage(*m_stream, m_left);
    m_left->addTab(m_streamPage, "Stream");
    m_orbitPage = new OrbitPage(*m_orbit, m_left);
    m_left->addTab(m_orbitPage, "Orbit");
    m_stream->streamChosen = [this](int row, bool ctrl) { m_orbit->showStream(row, ctrl); };
    m_right->addTab(makeMapPage(Page::RadiantMap), "Radiant Map");
    m_right->addTab(makeMapPage(Page::SkyMap), "Sky Map");
    m_right->addTab(makeMapPage(Page::OrbitMap), "Orbit Map");
    connect(m_right, &QTabWidget::currentChanged, this,
            [this](int index) { m_mapShown[static_cast<std::size_t>(index)] = true; });

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    layout->addWidget(m_left, 0);
    layout->addWidget(m_right, 1);
    m_left->setFixedWidth(COrvanDlg::kLeftSheetWidth);
    setMinimumSize(COrvanDlg::kMinWidth, COrvanDlg::kMinHeight);
    setMaximumSize(COrvanDlg::kMaxWidth, COrvanDlg::kMaxHeight);
    m_app.refresher = m_refresh.get();
    setMainWindowOpen(true);
}

MainWindow::~MainWindow()
{
    // The pages' widgets go before the page logic they show.
    delete m_left;
    delete m_right;
    m_app.refresher = nullptr;
    setMainWindowOpen(false);
}

QWidget* MainWindow::makeMapPage(Page page)
{
    auto* widget = new QWidget(m_right);
    MapArea::Render render = [](Canvas&) {};
    if (page == Page::SkyMap)
        render = [this](Canvas& canvas) { drawStarField(m_app, canvas); };
    auto* area = new MapArea([this] { return m_app.settings.BW != 0; }, render, widget);
    m_maps[static_cast<std::size_t>(mapIndex(page))] = area;
    auto* save = new QPushButton("Save Map", widget);
    connect(save, &QPushButton::clicked, this, [this, page] { saveMap(page); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area, 1);
    layout->addLayout(buttons);
    return widget;
}

void MainWindow::saveMap(Page page)
{
    const MapArea* area = mapArea(page);
    if (!area || !area->canvas())
        return;
    const Settings& s = m_app.settings;
    const auto name = page == Page::SkyMap     ? skyMapFileName
                      : page == Page::OrbitMap ? orbitMapFileName
                                               : radiantMapFileName;
    ::saveMap(*area->canvas(), name(s.docdir, s.dlg_Y, s.dlg_M, s.dlg_D));
}

MapArea* MainWindow::mapArea(Page page) const
{
    if (page != Page::RadiantMap && page != Page::SkyMap && page != Page::OrbitMap)
        return nullptr;
    return m_maps[static_cast<std::size_t>(mapIndex(page))];
}

bool MainWindow::mapPageShown(Page page) const
{
    return mapArea(page) && m_mapShown[static_cast<std::size_t>(mapIndex(page))];
}

void MainWindow::open()
{
    const WindowRect rect = m_logic.placement();
    setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    // The Radiant and Sky maps exist from the start; the Orbit Map once it is opened.
    m_right->setCurrentIndex(1);
    m_right->setCurrentIndex(0);
    requestRefresh(m_app, 1);
    m_setup->initialise();
    m_stream->initialise();
    m_orbit->initialise();
    if (m_logic.opensMaximized())
        showMaximized();
    else
        show();
}

void MainWindow::updateTitle()
{
    const OrbitSelection& selection = m_app.selection;
    setWindowTitle(QString::fromStdString(m_logic.title(selection.selected, selection.listed)));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    const QRect normal = normalGeometry();
    const WindowRect rect{normal.left(), normal.top(), normal.right() + 1, normal.bottom() + 1};
    if (m_logic.close(rect, isMaximized()))
        event->accept();
    else
        event->ignore();
}
