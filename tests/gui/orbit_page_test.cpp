// The Orbit page in the window over the demo database.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "app/app_context.h"
#include "gui/data_dialog.h"
#include "gui/dsid_dialogs.h"
#include "gui/list_model.h"
#include "gui/list_view.h"
#include "gui/main_window.h"
#include "gui/map_view.h"
#include "gui/orbit_page.h"
#include "gui/qt_ui.h"
#include "gui/table_dialogs.h"
#include "gui_test_support.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "pages/page_orbit.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

// The demo database shipped with the program: 1031 orbits of GMN.
struct DemoWindow {
    TempDir dir;
    QtUi qtUi;
    AppContext app;
    std::unique_ptr<MainWindow> window;
    DemoWindow()
    {
        testApplication();
        registerTableDialogs(qtUi);
        registerDsidDialogs(qtUi);
        registerDataDialog(qtUi);
        setUi(&qtUi);
        const fs::path mdb = dir.path() / "MDB";
        fs::copy(fs::path(ORVANTELLA_SOURCE_DIR) / "data/demo/MDB", mdb,
                 fs::copy_options::recursive);
        app.settings.mdbdir = mdb.string();
        app.settings.docdir = dir.str();
        app.db = std::make_unique<Database>();
        loadAll(*app.db, app.settings.mdbdir, app.settings.dlg_Y);
        window = std::make_unique<MainWindow>(app, qtUi);
        window->open();
        window->leftSheet()->setCurrentWidget(page());
    }
    ~DemoWindow()
    {
        window.reset();
        setUi(nullptr);
    }
    OrbitPage* page() const { return window->orbitPage(); }
    template <class W> W* named(const QString& text) const
    {
        for (W* widget : page()->findChildren<W*>())
            if (widget->text() == text)
                return widget;
        return nullptr;
    }
    int modelRows() const { return page()->orbitView()->listModel().rowCount(); }
};

TEST(OrbitPage, ShowsTheSelectionInTheListAndTheTitle)
{
    DemoWindow w;
    const CPageOrbit& page = w.page()->page();
    EXPECT_EQ(page.listedCount(), 1031);
    EXPECT_EQ(w.modelRows(), 1031);
    EXPECT_TRUE(w.window->windowTitle().endsWith("Orbit: 1031 / 1031 / 1031"))
        << w.window->windowTitle().toStdString();
    // Only orbits within a day of the page date (1 January): none in the demo.
    QCheckBox* days = w.named<QCheckBox>("days");
    ASSERT_NE(days, nullptr);
    days->click();
    EXPECT_EQ(page.listedCount(), 0);
    EXPECT_EQ(w.modelRows(), 0);
    EXPECT_TRUE(w.window->windowTitle().endsWith("Orbit: 0 / 0 / 1031"));
    // The "sel" filter off lists them again, unselected.
    w.named<QCheckBox>("sel")->click();
    EXPECT_EQ(w.modelRows(), 1031);
    EXPECT_TRUE(w.window->windowTitle().endsWith("Orbit: 0 / 1031 / 1031"));
}

TEST(OrbitPage, CellCodeFieldMovesTheReference)
{
    DemoWindow w;
    QLineEdit* code = w.page()->cellCodeField();
    code->clear();
    code->setFocus();
    QTest::keyClicks(code, "z9z9");
    EXPECT_EQ(w.app.settings.po_d1, -85.0f);
    EXPECT_EQ(w.app.settings.po_v1, 18.0f);
    EXPECT_EQ(w.page()->solLabel()->text(), "sol (350.0)");
}

TEST(OrbitPage, DateDialogFromTheListShowsInvalidSol)
{
    DemoWindow w;
    ListView* view = w.page()->orbitView();
    CUList& list = view->list();
    int dateColumn = -1;
    for (int column = 0; column < list.listColumnCount(); ++column)
        if (list.columnTitle(column) == "M/D")
            dateColumn = column;
    ASSERT_GE(dateColumn, 0);
    const double mjdBefore = w.app.db->orbits.cell(list.rowOfLine(0), 4)->real;
    ModalAnswers answers({[](QWidget* modal) {
        QList<QLineEdit*> edits = modal->findChildren<QLineEdit*>();
        QLineEdit* sol = nullptr;
        for (QLineEdit* edit : edits)
            if (!edit->inherits("QAbstractSpinBox") && edit->parent() == modal)
                sol = edit;
        ASSERT_NE(sol, nullptr);
        sol->clear();
        QTest::keyClicks(sol, "360.5");
        bool invalidShown = false;
        for (QLabel* label : modal->findChildren<QLabel*>())
            invalidShown = invalidShown || label->text() == "invalid";
        EXPECT_TRUE(invalidShown);
        modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    }});
    list.doubleClick(0, dateColumn);
    EXPECT_EQ(answers.answered(), 1);
    EXPECT_EQ(answers.unexpected(), 0);
    EXPECT_EQ(w.app.db->orbits.cell(list.rowOfLine(0), 4)->real, mjdBefore);
}

TEST(OrbitPage, ClickedLineHighlightsOnTheOrbitMapWithoutARedrawAndCommandsMoveTheLine)
{
    DemoWindow w;
    w.window->rightSheet()->setCurrentIndex(2);
    MapArea* area = w.window->mapArea(RefreshTarget::Page::OrbitMap);
    area->grab();
    const int renders = area->renderCount();
    const Canvas before = *area->canvas();
    ListView* view = w.page()->orbitView();
    // The first line's orbit is elliptic and selected, so it is drawn.
    const QRect firstLine = view->visualRect(view->listModel().index(0, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, firstLine.center());
    area->grab();
    EXPECT_EQ(area->renderCount(), renders);
    int white = 0;
    for (int y = 0; y <= before.maxY(); ++y)
        for (int x = 0; x <= before.maxX(); ++x)
            white += before.pixel(x, y) != kWhite && area->canvas()->pixel(x, y) == kWhite;
    EXPECT_GT(white, 0);
    // A command of the core selects a line: the widget shows it.
    const int row = view->list().rowOfLine(5);
    w.page()->page().selectAsReference(row);
    EXPECT_EQ(view->currentIndex().row(), w.app.db->orbits.integer(row, col::Orbit::dline));
    EXPECT_EQ(w.app.settings.po_r1, w.app.db->orbits.cell(row, col::Orbit::ra)->real);
}

} // namespace
