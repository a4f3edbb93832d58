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
    void updateTitle();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class WindowRefresh;

    void addMapPages();

    AppContext& m_app;
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
    std::unique_ptr<MapInputsCache> m_mapInputs;
    std::unique_ptr<CPageRadiant> m_radiantMap;
    std::unique_ptr<CPageSMap> m_skyMap;
    std::unique_ptr<CPageOMap> m_orbitMap;
    // Radiant Map, Sky Map, Orbit Map.
    std::array<MapPageWidget*, 3> m_maps{};
    std::array<bool, 3> m_mapShown{};
};
