// The two sheets, the map pages and the window's refresh reactions.
#include "gui/main_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/app_context.h"
#include "gui/map_pages.h"
#include "gui/map_view.h"
#include "gui/orbit_page.h"
#include "gui/qt_ui.h"
#include "gui/setup_page.h"
#include "gui/stream_page.h"
#include "pages/cluster_command.h"
#include "pages/page_links.h"
#include "pages/page_omap.h"
#include "pages/page_orbit.h"
#include "pages/page_radiant.h"
#include "pages/page_setup.h"
#include "pages/page_smap.h"
#include "pages/page_stream.h"
#include "pages/pages_refresh.h"

namespace {

using Page = RefreshTarget::Page;

int mapIndex(Page page) { return page == Page::RadiantMap ? 0 : page == Page::SkyMap ? 1 : 2; }

} // namespace

// The pages' reactions to a refresh.
class MainWindow::WindowRefresh final : public PagesRefresh {
public:
    WindowRefresh(AppContext& app, MainWindow& window)
        : PagesRefresh(app, *window.m_setup, *window.m_stream, *window.m_orbit), m_window(window)
    {
    }

    bool pageExists(Page page) const override
    {
        return PagesRefresh::pageExists(page) || m_window.mapPageShown(page);
    }
    void repaint(Page page) override
    {
        m_window.m_mapInputs->invalidate();
        if (page == Page::RadiantMap || page == Page::SkyMap || page == Page::OrbitMap)
            m_window.m_maps[static_cast<std::size_t>(mapIndex(page))]->redraw();
    }
    void skyMapUpdateControls() override
    {
        m_window.m_maps[static_cast<std::size_t>(mapIndex(Page::SkyMap))]->showSettings();
    }
    void updateTitle() override { m_window.updateTitle(); }
    void setModified(bool modified) override
    {
        AppRefresh::setModified(modified);
        m_window.m_setupPage->showState();
    }
    void orbitShowPositionCode() override { m_window.m_orbitPage->showState(); }

private:
    MainWindow& m_window;
};

MainWindow::MainWindow(AppContext& app, QtUi& qtUi, QWidget* parent)
    : QWidget(parent), m_app(app), m_logic(app), m_setup(std::make_unique<CPageSetup>(app)),
      m_stream(std::make_unique<CPageStream>(app)), m_orbit(std::make_unique<CPageOrbit>(app)),
      m_left(new QTabWidget(this)), m_right(new QTabWidget(this)),
      m_mapInputs(std::make_unique<MapInputsCache>(app)),
      m_radiantMap(std::make_unique<CPageRadiant>(app, *m_mapInputs)),
      m_skyMap(std::make_unique<CPageSMap>(app, *m_mapInputs)),
      m_orbitMap(std::make_unique<CPageOMap>(app, *m_mapInputs))
{
    (void)qtUi;
    setWindowTitle("Orvantella");
    m_setupPage = new SetupPage(*m_setup, m_left);
    m_left->addTab(m_setupPage, "Set Up");
    m_streamPage = new StreamPage(*m_stream, m_left);
    m_left->addTab(m_streamPage, "Stream");
    m_orbitPage = new OrbitPage(*m_orbit, m_left);
    m_left->addTab(m_orbitPage, "Orbit");
    connectClustering(m_app, *m_stream, *m_orbit);
    addMapPages();
    const auto orbitMap =
        static_cast<OrbitMapWidget*>(m_maps[static_cast<std::size_t>(mapIndex(Page::OrbitMap))]);
    linkPages({*m_stream, *m_orbit, *m_mapInputs, *m_skyMap},
              [orbitMap] { orbitMap->showHighlight(); });
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
    // The refresh reactions reach the pages, so they come after them.
    m_refresh = std::make_unique<WindowRefresh>(m_app, *this);
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

void MainWindow::addMapPages()
{
    const auto blackAndWhite = [this] { return m_app.settings.BW != 0; };
    m_maps = {new RadiantMapWidget(*m_radiantMap, blackAndWhite, m_right),
              new SkyMapWidget(*m_skyMap, blackAndWhite, m_right),
              new OrbitMapWidget(*m_orbitMap, blackAndWhite, m_right)};
    const CMapPage* pages[] = {m_radiantMap.get(), m_skyMap.get(), m_orbitMap.get()};
    for (std::size_t i = 0; i < m_maps.size(); ++i)
        m_right->addTab(m_maps[i], pages[i]->title());
}

MapArea* MainWindow::mapArea(Page page) const
{
    if (page != Page::RadiantMap && page != Page::SkyMap && page != Page::OrbitMap)
        return nullptr;
    return m_maps[static_cast<std::size_t>(mapIndex(page))]->area();
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
