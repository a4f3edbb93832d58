#pragma once
// The main window: the Set Up, Stream and Orbit pages on the left, the three
// map pages on the right, the title, and the close guard.

#include <QWidget>
#include <array>

#include "app/app_refresh.h"
#include "pages/main_window_logic.h"

class CPageOMap;
class CPageOrbit;
class CPageRadiant;
class CPageSMap;
class CPageSetup;
class CPageStream;
class MapArea;
class MapInputsCache;
class MapPageWidget;
class OrbitPage;
class SetupPage;
class StreamPage;
class QAction;
class QMenuBar;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QtUi;
struct AppContext;

class MainWindow final : public QWidget {
    Q_OBJECT
public:
    MainWindow(AppContext& app, QtUi& qtUi, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Places the window as the settings say, shows it and refreshes it.
    void open();

    QTabWidget* leftSheet() const { return m_left; }
    QTabWidget* rightSheet() const { return m_right; }
    SetupPage* setupPage() const { return m_setupPage; }
    StreamPage* streamPage() const { return m_streamPage; }
    OrbitPage* orbitPage() const { return m_orbitPage; }
    MapArea* mapArea(RefreshTarget::Page page) const;
    bool mapPageShown(RefreshTarget::Page page) const;
    QMenuBar* menuBar() const { return m_menus; }
    QStatusBar* statusBar() const { return m_status; }
    QSplitter* splitter() const { return m_splitter; }
    // The title of the core with "*" in front while tables are unsaved.
    void updateTitle();
    // The unsaved mark and the Save Tables menu item, from the modified flag.
    void showModified();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class WindowRefresh;

    void addMapPages();
    void addMenus();
    void saveCurrentMap();
    void showAbout();
    void placeSplitter();

    AppContext& m_app;
    QtUi& m_qtUi;
    COrvanDlg m_logic;
    std::unique_ptr<WindowRefresh> m_refresh;
    std::unique_ptr<CPageSetup> m_setup;
    SetupPage* m_setupPage;
    std::unique_ptr<CPageStream> m_stream;
    StreamPage* m_streamPage;
    std::unique_ptr<CPageOrbit> m_orbit;
    OrbitPage* m_orbitPage;
    QTabWidget* m_left;
    QTabWidget* m_right;
    QSplitter* m_splitter;
    QMenuBar* m_menus;
    QStatusBar* m_status;
    QAction* m_saveTables = nullptr;
    QString m_title = "Orvantella";
    std::unique_ptr<MapInputsCache> m_mapInputs;
    std::unique_ptr<CPageRadiant> m_radiantMap;
    std::unique_ptr<CPageSMap> m_skyMap;
    std::unique_ptr<CPageOMap> m_orbitMap;
    // Radiant Map, Sky Map, Orbit Map.
    std::array<MapPageWidget*, 3> m_maps{};
    std::array<bool, 3> m_mapShown{};
};
