#pragma once
// CPageOrbit, the Orbit page: the orbit list with its two filters, the page
// date and current sol, the twelve selection conditions, the cell code field,
// the commands of the reference and the list's popup menu.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "views/ud_edit.h"
#include "views/ulist.h"

struct AppContext;

class CPageOrbit final : public ListOwner {
public:
    // Notifications of the orbit list.
    static constexpr int kOrbitEdited = 1344;
    static constexpr int kOrbitMenu = 1345;
    static constexpr int kOrbitClicked = 1346;
    static constexpr int kOrbitDelete = 1347;
    static constexpr int kStreamForAll = 1348;
    static constexpr int kDateEdit = 1357;

    static constexpr const char* kNoStreamList = "Please select effective stream list";
    static constexpr const char* kClusteringQuestion = "Select DSID for new stream";

    // The condition rows top to bottom.
    enum Condition { Ra, Dec, Vg, A, Q, E, Peri, Node, Incl, Radius, DPrime, Days, kConditions };
    // The date fields.
    enum DateField { Year, Month, Day };
    // The orbit list's popup menu.
    enum class MenuItem { ToReference, CenterStarMap, EditOrbit, ChangeStream, DeleteOrbit };
    static const std::vector<std::pair<MenuItem, const char*>>& menu();

    explicit CPageOrbit(AppContext& app);

    CUList& orbitView() { return m_list; }
    CUDEdit& dateField(DateField field) { return m_dateFields[field]; }
    CUDCheck& condition(Condition row) { return m_conditions[row]; }

    // Creation: the date fields, the check boxes, SC at noon of the page
    // date, the selection with a list rebuild.
    void initialise();

    // Shown state.
    std::string solDisplay() const; // "(%.1f)" of SC
    std::string cellCode() const;   // of SC and the reference radiant and vg
    bool streamCondition() const;
    bool allYears() const;
    bool selOnly() const;
    bool useOnly() const;
    int selectedCount() const;
    int listedCount() const { return m_list.lineCount(); }
    // The orbit row of the list's selected line; -1 when none is selected.
    int selectedOrbitRow() const;
    // The sky positions of the apex and the anti-solar point at noon of the page date.
    double apexRa() const { return m_apex[0]; }
    double apexDec() const { return m_apex[1]; }
    double antiSolarRa() const { return m_antiSolar[0]; }
    double antiSolarDec() const { return m_antiSolar[1]; }

    // Controls. The widgets write the typed text through the bound edits and
    // checks first, then call these.
    void dateEdited(DateField field, const std::string& text);
    void dateSpun(DateField field, int direction);
    void conditionChanged();
    void setStreamCondition(bool on);
    void setAllYears(bool on);
    void setSelOnly(bool on);
    void setUseOnly(bool on);
    // The SC field as typed; fewer than four characters are ignored.
    void typeCellCode(const std::string& text);

    // Buttons.
    void averagesToReference();
    void streamToReference();
    void referenceToNewStream();
    void referenceToStream();
    void averagesToOrbit();
    void exportSelection();
    void countByStream();
    void clustering();
    // The clustering dialog, run by "clustering" once its entry checks passed.
    std::function<void()> runClusteringDialog = [] {};

    // The popup menu on a list line.
    void menuCommand(MenuItem item, int line);
    // The sky map's "--> Reference": selects and shows the orbit's line, then
    // makes the orbit the reference. Nothing for a row without a line.
    void selectAsReference(int orbitRow);
    // Moves every listed orbit selected (bit 0 or 2) to a stream picked in the dialog.
    void changeStreamForAll();

    // The two condition presets of the Stream page and clustering.
    void presetStreamCondition();
    void presetDateCondition();
    // A stream chosen on the Stream page: without Ctrl the date condition
    // alone, then the stream as reference; with Ctrl the stream as reference,
    // then the stream condition alone.
    void showStream(int streamRow, bool ctrl);

    // The cross-page refresh's actions on this page. They are skipped while
    // the page itself requests a refresh, having done them already.
    void refreshRebuildView();
    void refreshDateValues();
    void refreshRedrawListedRows();

    // Lines without the "sel" filter, the selection run, lines with both filters.
    void rebuildView();

    void notify(int code, int wParam, int lParam) override;

    // Called whenever what the page shows may have changed.
    std::function<void()> changed = [] {};
    // A right click on a line: the widget shows menu() and calls menuCommand().
    std::function<void(int line)> menuRequested = [](int) {};
    // The list's selected line changed: a click (either button), Up or Down,
    // or a command that selected a line or cleared the selection.
    std::function<void()> selectedLineChanged = [] {};
    // "Change Stream" or "Set Stream for all" changed orbits' stream links.
    std::function<void()> streamLinksChanged = [] {};

private:
    void buildConditions();
    void buildDateFields();
    void recomputeDateValues();
    void assignLines(bool selFilter);
    void selectLine(int line);
    void referenceMoved(int changeType);
    void requestRefresh(int changeType);
    void dataChanged();
    void orbitEdited(int line);
    void deleteOrbitRow(int row);
    int rowOfLine(int line) const;
    bool isSelColumn(int listColumn) const;

    AppContext& m_app;
    CUList m_list;
    std::array<int, 3> m_date{};
    std::vector<CUDEdit> m_dateFields;
    std::vector<CUDCheck> m_conditions;
    std::array<double, 2> m_apex{};
    std::array<double, 2> m_antiSolar{};
    bool m_requesting = false;
};
