// The Stream page and the stream selection dialog in the window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "app/app_context.h"
#include "gui/data_dialog.h"
#include "gui/list_view.h"
#include "gui/main_window.h"
#include "gui/qt_ui.h"
#include "gui/setup_page.h"
#include "gui/ssel_dialog.h"
#include "gui/stream_page.h"
#include "gui/table_dialogs.h"
#include "gui_test_support.h"
#include "mdb/schema.h"
#include "pages/page_stream.h"
#include "pages/ssel_dlg.h"
#include "support/test_support.h"
#include "table/links.h"

namespace {

using S = col::Stream;
using O = col::Orbit;

// A window over data source 1000 "VN", list "L_VN_test" of VN_A and VN_B, one orbit at A.
struct Window {
    TempDir dir;
    QtUi qtUi;
    AppContext app;
    std::unique_ptr<MainWindow> window;
    int a = -1, b = -1, orbit = -1;

    Window()
    {
        testApplication();
        registerTableDialogs(qtUi);
        registerStreamDialogs(qtUi);
        registerDataDialog(qtUi);
        setUi(&qtUi);
        app.settings.mdbdir = dir.str();
        app.startupFolder = dir.str();
        app.db = std::make_unique<Database>();
        fill(*app.db);
        window = std::make_unique<MainWindow>(app, qtUi);
        window->open();
    }
    ~Window()
    {
        window.reset();
        setUi(nullptr);
    }
    void fill(Database& db)
    {
        const int source = db.dsids.addRow();
        db.dsids.cell(source, col::Dsid::DSID)->number = 1000;
        db.dsids.cell(source, col::Dsid::use)->number = 1;
        db.dsids.setText(source, col::Dsid::code, "VN");
        db.dsids.cell(source, col::Dsid::IDnext)->number = 100000100;
        db.sources.markInUse();
        const int list = db.lists.addRow();
        db.lists.cell(list, col::List::LID)->number = 100000001;
        db.lists.setText(list, col::List::name, "L_VN_test");
        a = addStream(db, 100000002, "VN_A", 46);
        b = addStream(db, 100000003, "VN_B", 100);
        for (int stream : {a, b})
            link({&db.lists, list, col::List::SLINK}, {&db.streams, stream, S::LLINK});
        orbit = db.orbits.addRow();
        db.orbits.cell(orbit, O::OID)->number = 100000010;
        for (const auto& [column, value] :
             {std::pair{O::sol, 140.f}, {O::ra, 46.5f}, {O::dec, 58.f}, {O::vg, 59.f}})
            db.orbits.cell(orbit, column)->real = value;
        db.orbitCount = 1;
    }
    static int addStream(Database& db, unsigned sid, const char* code, float ra)
    {
        const int row = db.streams.addRow();
        db.streams.cell(row, S::SID)->number = sid;
        db.streams.cell(row, S::use)->number = 1;
        db.streams.setText(row, S::code, code);
        for (const auto& [column, value] : {std::pair{S::sol1, 130.f},
                                            {S::sol2, 150.f},
                                            {S::solp, 140.f},
                                            {S::ra, ra},
                                            {S::dec, 58.f},
                                            {S::vg, 59.f},
                                            {S::R, 3.f},
                                            {S::dv, 3.f}})
            db.streams.cell(row, column)->real = value;
        db.streams.cell(row, S::TOIDline)->integer = -1;
        return row;
    }
    StreamPage& page() { return *window->streamPage(); }
};

TEST(StreamPage, ShowsTheListItsStreamsAndOptions)
{
    Window w;
    w.app.settings.ps_pri = 0;
    w.page().showState();
    EXPECT_FALSE(w.page().option("pri")->isChecked());
    ASSERT_NE(w.window->streamPage(), nullptr);
    EXPECT_EQ(w.window->leftSheet()->tabText(1), "Stream");
    EXPECT_EQ(w.page().listCombo()->currentText(), "L_VN_test");
    EXPECT_EQ(w.page().streamView()->model()->rowCount(), 2);
    EXPECT_NE(w.window->windowTitle().indexOf("List:L_VN_test  Stream:2 / 2"), -1)
        << w.window->windowTitle().toStdString();

    w.page().option("pri")->click();
    EXPECT_EQ(w.app.settings.ps_pri, 1);
    w.page().option("D' && R")->click();
    EXPECT_EQ(w.app.settings.ps_ddr, 0);
    w.page().scale(0)->setValue(150);
    EXPECT_EQ(w.app.settings.ps_dr, 150);
    EXPECT_EQ(w.page().scale(2)->maximum(), 2000);
}

TEST(StreamPage, GroupingButtonLinksAndRecounts)
{
    Window w;
    w.page().button("R-vg grouping")->click();
    EXPECT_TRUE(
        isLinked({&w.app.db->streams, w.a, S::OLINK}, {&w.app.db->orbits, w.orbit, O::SLINK}));
    EXPECT_EQ(w.app.db->streams.cell(w.a, S::SO)->integer, 1);
    EXPECT_TRUE(w.window->setupPage()->saveTablesButton()->isEnabled());
    w.page().button("erase\ngrouping")->click();
    EXPECT_EQ(w.app.db->streams.cell(w.a, S::SO)->integer, 0);
}

TEST(StreamPage, DeleteThisStreamAsksFirst)
{
    Window w;
    CPageStream& page = w.page().page();
    page.streamView().setSelectedLine(1);
    {
        ModalAnswers answers({pressButton(QMessageBox::Cancel)});
        page.menuCommand(CPageStream::MenuCommand::DeleteStream);
        EXPECT_EQ(answers.answered(), 1);
    }
    EXPECT_TRUE(w.app.db->streams.isLive(w.b));
    {
        ModalAnswers answers({pressButton(QMessageBox::Ok)});
        page.menuCommand(CPageStream::MenuCommand::DeleteStream);
        EXPECT_EQ(answers.unexpected(), 0);
    }
    EXPECT_FALSE(w.app.db->streams.isLive(w.b));
    EXPECT_EQ(w.page().streamView()->model()->rowCount(), 1);
}

TEST(StreamPage, DateEditTypesTheSolInTheDateDialog)
{
    Window w;
    ModalAnswers answers({[](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), "VN_B SOLp");
        const QList<QLineEdit*> edits =
            modal->findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_EQ(edits.size(), 2);
        QLineEdit* sol = edits[1];
        EXPECT_EQ(sol->text(), "140.00000");
        sol->selectAll();
        QTest::keyClicks(sol, "262");
        modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    }});
    w.page().page().notify(CPageStream::kDatePeak, 0,
                           w.app.db->streams.cell(w.b, S::valid)->integer);
    EXPECT_EQ(answers.answered(), 1);
    EXPECT_EQ(answers.unexpected(), 0);
    EXPECT_NEAR(w.app.db->streams.cell(w.b, S::solp)->real, 262.0f, 1e-4);
    EXPECT_STREQ(w.app.db->streams.text(w.b, S::MDp), "12/14");
}

TEST(StreamSelectionDialog, ClickAndOkChooseTheStreams)
{
    Window w;
    CSSELDlg dialog(w.app, CSSELDlg::kListUp);
    ModalAnswers answers({[](QWidget* modal) {
        auto* table = modal->findChild<QTableWidget*>();
        EXPECT_EQ(table->rowCount(), 3);
        EXPECT_EQ(table->item(0, 0)->text(), "Spo");
        EXPECT_EQ(table->horizontalHeaderItem(3)->text(), "sel");
        for (QPushButton* button : modal->findChildren<QPushButton*>())
            if (button->text() == "all Off")
                button->click();
        table->cellClicked(2, 0);
        EXPECT_EQ(table->item(2, 3)->text(), "*");
        modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    }});
    EXPECT_TRUE(dialog.exec());
    EXPECT_EQ(answers.unexpected(), 0);
    EXPECT_EQ(w.app.currentStreamRow, w.b);
    EXPECT_EQ(w.app.db->streams.cell(w.a, S::ssel)->number, 0u);
}

} // namespace
