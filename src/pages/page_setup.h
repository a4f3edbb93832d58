#pragma once
// CPageSetup, the Set Up page: the MDB folder, the data sources, the stream
// lists and orbit files in three list views, and the database-wide buttons.

#include <functional>
#include <string>
#include <vector>

#include "views/ulist.h"

class Feedback;

struct AppContext;

class CPageSetup final : public ListOwner {
public:
    // Notifications of the three list views.
    static constexpr int kDsidEdited = 1324;
    static constexpr int kDsidDelete = 1325;
    static constexpr int kListEdited = 1326;
    static constexpr int kListMenu = 1327;
    static constexpr int kListDelete = 1328;
    static constexpr int kFileEdited = 1329;
    static constexpr int kFileDelete = 1330;

    static constexpr const char* kDeleteDsidQuestion =
        "Delete Data Source ID OK?\nall data that use this DSID will become inaccessible\nyou "
        "should delete those data before this";

    explicit CPageSetup(AppContext& app);

    CUList& dsidView() { return m_dsids; }
    CUList& streamListView() { return m_lists; }
    CUList& orbitFileView() { return m_files; }

    // Makes the stored data source current and fills the views.
    void initialise();
    // The three views and the MDB folder line (refresh type 0).
    void refreshViews();
    void refillDataSources();

    std::string mdbFolder() const;
    // The program's name and version, shown at the page's bottom edge.
    std::string versionLine() const;
    bool saveTablesEnabled() const;
    bool reloadEnabled() const { return m_reloadEnabled; }
    bool blackAndWhite() const;
    bool busy() const { return m_busy; }

    // The page's buttons.
    void chooseMdbFolder();
    void backUp();
    void toggleBlackAndWhite();
    void createDsid();
    void saveTables();
    void createOrbitFile();
    void importOrbitFile(Feedback& feedback);
    void reload();

    // The stream-list buttons and the list view's popup menu.
    enum class ListMenuCommand { Edit, Copy, TypicalOrbits, CrossListing, ExportTarn, Delete };
    struct ListMenuItem {
        ListMenuCommand command;
        const char* text;
    };
    static const std::vector<ListMenuItem>& listMenuItems();
    void createList();
    void importList();
    // The list row the popup menu was opened on, -1 when none.
    int menuListRow() const { return m_menuListRow; }
    void listMenuCommand(ListMenuCommand command);

    void notify(int code, int wParam, int lParam) override;

    // Called whenever what the page shows may have changed.
    std::function<void()> changed = [] {};
    // Called when the stream-list view asks for its popup menu at a line.
    std::function<void(int line)> listMenuRequested = [](int) {};

private:
    void markModified();
    void selectCurrentDsid(std::uint32_t wanted);
    void markListsInUse();
    void deleteDsid(int row);
    void dsidEdited();
    void openListMenu(int line);
    void runListCommand(const std::function<void()>& command);

    AppContext& m_app;
    CUList m_dsids;
    CUList m_lists;
    CUList m_files;
    bool m_busy = true;
    bool m_reloadEnabled = false;
    int m_menuListRow = -1;
};
