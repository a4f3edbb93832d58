// The main window's title, placement and close guard.
#include <gtest/gtest.h>

#include "app/app_context.h"
#include "mdb/schema.h"
#include "pages/main_window_logic.h"
#include "platform/scripted_ui.h"
#include "table/links.h"

namespace {

struct Window {
    ScopedScriptedUi scripted;
    AppContext app;
    COrvanDlg dialog{app};
    Window()
    {
        app.settings.mdbdir = "/data/MDB";
        app.db = std::make_unique<Database>();
    }
};

} // namespace

TEST(COrvanDlg, TitleCountsTheCurrentListAndTheStreamsInUse)
{
    Window window;
    Database& db = *window.app.db;
    const int source = db.dsids.addRow();
    db.dsids.cell(source, col::Dsid::DSID)->number = 1;
    db.dsids.cell(source, col::Dsid::use)->number = 1;
    db.sources.markInUse();
    const int list = db.lists.addRow();
    db.lists.setText(list, col::List::name, "L_IAU_x");
    for (unsigned sid : {100001u, 100002u, 200001u}) {
        const int row = db.streams.addRow();
        db.streams.cell(row, col::Stream::SID)->number = sid;
        if (sid != 100002u)
            link({&db.lists, list, col::List::SLINK}, {&db.streams, row, col::Stream::LLINK});
    }
    db.orbitCount = 12;
    window.app.currentListRow = list;
    EXPECT_EQ(window.dialog.title(3, 7),
              "Orvantella /data/MDB  List:L_IAU_x  Stream:2 / 2  Orbit: 3 / 7 / 12");
    window.app.currentListRow = -1;
    EXPECT_EQ(window.dialog.title(),
              "Orvantella /data/MDB  List:  Stream:0 / 2  Orbit: 0 / 0 / 12");
}

TEST(COrvanDlg, CloseWithUnsavedChangesAsksAndCancelKeepsTheWindow)
{
    struct Case {
        const char* name;
        bool modified;
        bool answerOk;
        bool closes;
        bool asked;
    } cases[] = {
        {"saved", false, false, true, false},
        {"unsaved, OK", true, true, true, true},
        {"unsaved, Cancel", true, false, false, true},
    };
    for (const Case& c : cases) {
        Window window;
        window.app.db->modified = c.modified;
        if (c.asked)
            c.answerOk ? window.scripted->answerOk() : window.scripted->answerCancel();
        EXPECT_EQ(window.dialog.close({5, 6, 905, 706}, false), c.closes) << c.name;
        EXPECT_EQ(window.scripted->events().size(), c.asked ? 1u : 0u) << c.name;
        if (c.asked) {
            EXPECT_EQ(window.scripted->events()[0].text, COrvanDlg::kAbandonQuestion);
        }
        EXPECT_EQ(window.app.settings.dlgrect_right, c.closes ? 905 : 1000) << c.name;
    }
}

TEST(COrvanDlg, MaximisedWindowReopensMaximisedAtItsNormalRectangle)
{
    Window window;
    ASSERT_TRUE(window.dialog.close({30, 40, 930, 740}, true));
    EXPECT_TRUE(window.dialog.opensMaximized());
    const WindowRect rect = window.dialog.placement();
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right, 930);
    EXPECT_EQ(rect.bottom, 740);
    ASSERT_TRUE(window.dialog.close({30, 40, 930, 740}, false));
    EXPECT_FALSE(window.dialog.opensMaximized());
}
