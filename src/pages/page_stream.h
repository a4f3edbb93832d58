#pragma once
// CPageStream, the Stream page: the current stream list, the stream view with its membership
// flags, stream creation, edits and deletion, the grouping buttons and options, the typical
// orbit of a stream and the list's export.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "views/ud_edit.h"
#include "views/ulist.h"

class Feedback;
struct AppContext;

class CPageStream final : public ListOwner {
public:
    // Notifications of the stream view.
    static constexpr int kCellEdited = 1334;
    static constexpr int kMenu = 1335;
    static constexpr int kRowSelected = 1336;
    static constexpr int kDeleteRequest = 1337;
    static constexpr int kAllOn = 1338;
    static constexpr int kAllOff = 1339;
    static constexpr int kDateFirst = 1354;
    static constexpr int kDateLast = 1355;
    static constexpr int kDatePeak = 1356;

    static constexpr const char* kSelectList = "Please select a Stream list";
    static constexpr const char* kSelectStream = "Please select a Stream";
    static constexpr const char* kDeleteQuestion = "Delete Stream OK?";
    static constexpr const char* kDeleteAllQuestion = "Delete all selected streams OK?";
    static constexpr const char* kNoVelocity = "Cannot calc orbit (vg == 0.0)";
    static constexpr const char* kNewTypicalText = "Create new typical orbit";

    // The entries of the view's popup menu, in menu order.
    enum class MenuCommand {
        EditStream,
        UpdateTypicalOrbit,
        RvgSingle,
        DprimeSingle,
        EraseSingle,
        DeleteStream
    };
    static std::vector<std::pair<MenuCommand, std::string>> menuItems();

    // A stream list of the combo: its name and table row.
    struct ListItem {
        std::string name;
        int row;
    };

    explicit CPageStream(AppContext& app);

    CUList& streamView() { return m_view; }

    // Binds the scale edits, fills the combo and the view, refresh of type 5.
    void initialise();
    bool initializing() const { return m_initializing; }

    // The combo of lists in use and the current one; then valid, the view, L-S and S-O.
    void fillCombo();
    const std::vector<ListItem>& listItems() const { return m_items; }
    int comboSelection() const { return m_comboSelection; }
    void chooseList(int item);
    // L-S of every stream from the current list (refresh of type 5).
    void recomputeMembership();
    int streamsInUse() const { return m_streamsInUse; }
    int streamsInList() const { return m_streamsInList; }

    // Buttons.
    void newStream();
    void deleteAll();
    void exportList();
    void rvgGrouping(Feedback& feedback);
    void dprimeGrouping(Feedback& feedback);
    void eraseGrouping();

    // The three options ("D' && R", "exclusive", "pri") and the three scales ("R*(%)",
    // "dv*(%)", "D'*(%)") bound to their settings.
    bool dAndR() const;
    bool exclusive() const;
    bool pri() const;
    void setDAndR(bool on);
    void setExclusive(bool on);
    void setPri(bool on);
    std::array<CUDEdit, 3>& scaleEdits() { return m_scales; }

    // The popup menu on a line of the view, and one of its commands on that line.
    void openMenu(int line);
    void menuCommand(MenuCommand command);

    void notify(int code, int wParam, int lParam) override;

    // Called whenever what the page shows may have changed.
    std::function<void()> changed = [] {};
    // The view asks for its popup menu (menuItems()) on the selected line.
    std::function<void()> menuRequested = [] {};
    // A stream chosen in the view becomes the Orbit page's reference; ctrl as the key was.
    std::function<void(int streamRow, bool ctrl)> streamChosen = [](int, bool) {};

private:
    bool hasList() const;
    int selectedRow() const;
    void rebuildView();
    void markModified();
    void cellEdited(int listColumn, int line);
    void setMembership(int row, bool member);
    void wholeViewMembership(bool member);
    void rowSelected();
    void chooseStream(int row, bool ctrl);
    void editDate(int line, int solColumn, const char* titleFormat);
    void deleteStream(int row);
    void afterDeletion();
    void groupingEnded();
    void singleGroupingEnded(int row);
    void updateTypicalOrbit(int row);
    int createTypicalOrbit(int row);
    void recomputeTypicalOrbit(int row);

    AppContext& m_app;
    CUList m_view;
    std::array<CUDEdit, 3> m_scales;
    std::vector<ListItem> m_items;
    int m_comboSelection = -1;
    int m_streamsInUse = 0;
    int m_streamsInList = 0;
    bool m_initializing = true;
};
