#pragma once
// The layouts of the five list views (which table columns they show, how, and
// which notifications they post to their page), with their defaults.

#include <string>
#include <vector>

// Rectangle in the page's client area, pixels. A negative bottom is measured
// up from the page's bottom edge, a negative right from its right edge.
struct UViewRect {
    int top;
    int bottom;
    int left;
    int right;
};

struct UViewColumn {
    int column = 0;    // table column index
    bool shown = true; // persisted in the settings file
    bool readOnly = false;
    int width = 0;              // pixels; persisted in the settings file
    std::string format;         // printf format of the cell, at most 7 characters
    int doubleClick = 0;        // notification; 0 = edit in place
    int headerMenu = 0;         // notification of the extra header menu item; 0 = none
    std::string headerMenuText; // at most 23 characters
    int displayPosition = -1;   // list column showing it, set by the list; -1 hidden
};

// Notification numbers posted to the owning page; 0 = none.
struct UViewNotify {
    int changed = 0; // a cell or a record was changed
    int rightClick = 0;
    int leftClick = 0; // also for the Up and Down keys
    int deleteItem = 0;
    // "all On" posts allOnOff, "all Off" allOnOff + 1; kHeaderResetOnly
    // stands for a header menu with "reset" only.
    int allOnOff = 0;
};

inline constexpr int kHeaderResetOnly = 2;

struct UViewDef {
    UViewRect rect;
    UViewNotify notify;
    bool fullRowSelect;               // full-row select, single selection
    int dlineColumn;                  // table column holding each row's line
    int itemdataColumn;               // table column holding each line's row
    std::vector<UViewColumn> columns; // in layout order, at most 100

    int columnCount() const { return static_cast<int>(columns.size()); }
};

UViewDef defaultDataSourceView(); // "UD", table UDSID
UViewDef defaultStreamListView(); // "UL", table UList
UViewDef defaultOrbitFileView();  // "UOF", table UOFile
UViewDef defaultStreamView();     // "US", table UStream
UViewDef defaultOrbitView();      // "UO", the orbit table

// The width a table column has in the default layout of the same view (the views are told
// apart by their change notification); 0 for a view or column no default layout has.
int defaultColumnWidth(const UViewDef& view, int tableColumn);

// The layouts of one application; the lists and the settings file change them.
struct ViewLayouts {
    UViewDef dataSources = defaultDataSourceView();
    UViewDef streamLists = defaultStreamListView();
    UViewDef orbitFiles = defaultOrbitFileView();
    UViewDef streams = defaultStreamView();
    UViewDef orbits = defaultOrbitView();

    void resetToDefaults() { *this = ViewLayouts(); }
};
