#pragma once
// CDSIDSDlg, "DSID select": confirms an action and chooses the current data
// source and, when asked, the orbit file that receives new orbits and the
// import's filters. The window shows and edits this model.

#include <array>
#include <string>
#include <vector>

#include "orbits/import_filters.h"
#include "platform/ui.h"

struct AppContext;

class CDSIDSDlg final : public DialogModel {
public:
    static constexpr const char* kTitle = "DSID select";
    static constexpr const char* kDsidLabel = "DSID";
    static constexpr const char* kOrbitFileLabel = "orbit file";
    static constexpr const char* kNoValidDsid = "No valid dsid";
    static constexpr const char* kNoOrbitFile = "Please create a orbit file";

    // A choice of a combo box: its text and the table row it stands for.
    struct Item {
        std::string text;
        int row;
    };

    CDSIDSDlg(AppContext& app, std::string messageText, bool chooseOrbitFile);
    const char* dialogName() const override { return "CDSIDSDlg"; }

    // Fills both choices and makes the first selections. False when there is
    // nothing to choose from: "No valid dsid" or "Please create a orbit file"
    // has been shown and the dialog ends as cancelled without being shown.
    [[nodiscard]] bool open();
    // open(), then the modal dialog; true for OK with valid filters.
    [[nodiscard]] bool exec();
    // OK: reads the filter texts into filters(); false, after naming the first field that
    // holds no valid limit, when one does not (the dialog then stays open).
    [[nodiscard]] bool ok();

    // Shows the import's filter fields, one for each of kImportFilterNames, empty (no limit).
    void askFilters() { m_asksFilters = true; }
    bool showsFilters() const { return m_asksFilters; }
    // The fields' texts, in the order of kImportFilterNames.
    std::array<std::string, kImportFilterNames.size()> filterTexts;
    // The limits read at OK.
    const ImportFilters& filters() const { return m_filters; }

    const std::string& messageText() const { return m_message; }
    bool showsOrbitFileChoice() const { return m_chooseOrbitFile; }

    // The codes of the data sources in use, in table order.
    const std::vector<Item>& dsidItems() const { return m_dsidItems; }
    int dsidSelection() const { return m_dsidSelection; }
    // Makes the item's data source current at once; it stays current when
    // the dialog is cancelled. An index outside the items changes nothing.
    void selectDsid(int item);

    // The orbit files in use; empty when the choice is not shown.
    const std::vector<Item>& orbitFileItems() const { return m_orbitFileItems; }
    int orbitFileSelection() const { return m_orbitFileSelection; }
    // Makes the item's file the target and remembers its name (AP.newofname).
    // An index outside the items changes nothing.
    void selectOrbitFile(int item);
    // The UOFile row of the target orbit file, -1 when there is none.
    int targetOrbitFileRow() const { return m_targetOrbitFileRow; }

private:
    bool openDsidChoice();
    bool openOrbitFileChoice();
    void makeDsidCurrent(int item);

    AppContext& m_app;
    std::string m_message;
    bool m_chooseOrbitFile;
    std::vector<Item> m_dsidItems;
    int m_dsidSelection = -1;
    std::vector<Item> m_orbitFileItems;
    int m_orbitFileSelection = -1;
    int m_targetOrbitFileRow = -1;
    bool m_asksFilters = false;
    ImportFilters m_filters;
};
