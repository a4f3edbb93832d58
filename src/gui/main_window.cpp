// The two sheets, the map pages and the window's refresh reactions.
#include "gui/main_window.h"

#include <QCloseEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
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
        m_window.showModified();
    }
    void orbitShowPositionCode() override { m_window.m_orbitPage->showState(); }

private:
    MainWindow& m_window;
};

MainWindow::MainWindow(AppContext& app, QtUi& qtUi, QWidget* parent)
    : QWidget(parent), m_app(app), m_qtUi(qtUi), m_logic(app),
      m_setup(std::make_unique<CPageSetup>(app)), m_stream(std::make_unique<CPageStream>(app)),
      m_orbit(std::make_unique<CPageOrbit>(app)), m_left(new QTabWidget(this)),
      m_right(new QTabWidget(this)), m_splitter(new QSplitter(Qt::Horizontal, this)),
      m_menus(new QMenuBar(this)), m_status(new QStatusBar(this)),
      m_mapInputs(std::make_unique<MapInputsCache>(app)),
      m_radiantMap(std::make_unique<CPageRadiant>(app, *m_mapInputs)),
      m_skyMap(std::make_unique<CPageSMap>(app, *m_mapInputs)),
      m_orbitMap(std::make_unique<CPageOMap>(app, *m_mapInputs))
{
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

    // The halves share the window's growth; the user moves the line between them.
    m_splitter->addWidget(m_left);
    m_splitter->addWidget(m_right);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 1);
    m_left->setMinimumWidth(COrvanDlg::kLeftSheetWidth);
    m_status->setSizeGripEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    layout->setMenuBar(m_menus);
    layout->addWidget(m_splitter, 1);
    layout->addWidget(m_status);
    addMenus();
    connect(m_setupPage, &SetupPage::stateShown, this, &MainWindow::showModified);
    m_qtUi.setStatusSink([this](const QString& text) { m_status->showMessage(text); });
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
    m_qtUi.setStatusSink({});
    delete m_left;
    delete m_right;
    m_app.refresher = nullptr;
    setMainWindowOpen(false);
}

void MainWindow::addMenus()
{
    QMenu* file = m_menus->addMenu("&File");
    file->addAction("Open MDB &Folder...", QKeySequence::Open, this,
                    [this] { m_setup->chooseMdbFolder(); });
    m_saveTables = file->addAction("&Save Tables", QKeySequence::Save, this,
                                   [this] { m_setup->saveTables(); });
    file->addAction("&BackUp...", this, [this] { m_setup->backUp(); });
    file->addSeparator();
    file->addAction("&Quit", QKeySequence::Quit, this, [this] { close(); });

    QMenu* analysis = m_menus->addMenu("&Analysis");
    analysis->addAction("&R-vg Grouping", QKeySequence(Qt::CTRL | Qt::Key_G), m_streamPage,
                        &StreamPage::rvgGrouping);
    analysis->addAction("&D' Grouping", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G),
                        m_streamPage, &StreamPage::dprimeGrouping);
    analysis->addAction("&Clustering...", QKeySequence(Qt::CTRL | Qt::Key_K), this,
                        [this] { m_orbit->clustering(); });
    analysis->addSeparator();
    analysis->addAction("&Averages to Reference (avr->ref)", QKeySequence(Qt::CTRL | Qt::Key_R),
                        this, [this] { m_orbit->averagesToReference(); });
    analysis->addAction("Average to New &Orbit (avr->orbit)", this,
                        [this] { m_orbit->averagesToOrbit(); });
    analysis->addAction("&Streams of the Stream Condition...", this,
                        [this] { m_orbit->chooseConditionStreams(); });

    QMenu* maps = m_menus->addMenu("&Maps");
    maps->addAction("&Save Map...", QKeySequence(Qt::CTRL | Qt::Key_M), this,
                    &MainWindow::saveCurrentMap);

    QMenu* help = m_menus->addMenu("&Help");
    help->addAction("&About Orvantella", QKeySequence::HelpContents, this, &MainWindow::showAbout);
}

// The map of the right sheet's current page, as its own save button writes it.
void MainWindow::saveCurrentMap()
{
    m_maps[static_cast<std::size_t>(m_right->currentIndex())]->saveMap();
}

void MainWindow::showAbout()
{
    QMessageBox::about(this, "About Orvantella",
                       QString::fromStdString(m_setup->versionLine()) + "\n\n" +
                           QString::fromStdString(kDataCredits));
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
    layout()->activate();
    placeSplitter();
}

void MainWindow::placeSplitter()
{
    const int total = m_splitter->width() - m_splitter->handleWidth();
    const int left = m_logic.leftWidth(total);
    m_splitter->setSizes({left, total - left});
}

void MainWindow::updateTitle()
{
    const OrbitSelection& selection = m_app.selection;
    m_title = QString::fromStdString(m_logic.title(selection.selected, selection.listed));
    showModified();
}

void MainWindow::showModified()
{
    const bool modified = m_app.db && m_app.db->modified;
    setWindowTitle(modified ? "*" + m_title : m_title);
    if (m_saveTables)
        m_saveTables->setEnabled(modified);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    const QRect normal = normalGeometry();
    const WindowRect rect{normal.left(), normal.top(), normal.right() + 1, normal.bottom() + 1};
    if (m_logic.close(rect, isMaximized(), m_splitter->sizes().value(0)))
        event->accept();
    else
        event->ignore();
}
