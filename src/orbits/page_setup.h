#pragma once
// CPageSetup, the Set Up page: the MDB folder, the data sources, the stream
// lists and orbit files in three list views, and the database-wide buttons.

#include <functional>
#include <string>

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

    void notify(int code, int wParam, int lParam) override;

    // Called whenever what the page shows may have changed.
    std::function<void()> changed = [] {};

private:
    void markModified();
    void selectCurrentDsid(std::uint32_t wanted);
    void markListsInUse();
    void deleteDsid(int row);
    void dsidEdited();

    AppContext& m_app;
    CUList m_dsids;
    CUList m_lists;
    CUList m_files;
    bool m_busy = true;
    bool m_reloadEnabled = false;
};
