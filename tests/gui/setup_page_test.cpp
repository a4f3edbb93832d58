// The Set Up page in the window: its data source dialogs and buttons.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/app_context.h"
#include "gui/dsid_dialogs.h"
#include "gui/main_window.h"
#include "gui/qt_ui.h"
#include "gui/setup_page.h"
#include "gui/stream_list_dialogs.h"
#include "gui/table_dialogs.h"
#include "gui_test_support.h"
#include "mdb/schema.h"
#include "pages/page_setup.h"
#include "support/test_support.h"

namespace {

struct Window {
    TempDir dir;
    QtUi qtUi;
    AppContext app;
    std::unique_ptr<MainWindow> window;
    Window()
    {
        testApplication();
        registerTableDialogs(qtUi);
        registerDsidDialogs(qtUi);
        registerStreamListDialogs(qtUi);
        setUi(&qtUi);
        app.settings.mdbdir = dir.str();
        app.db = std::make_unique<Database>();
        window = std::make_unique<MainWindow>(app, qtUi);
        window->open();
    }
    ~Window()
    {
        window.reset();
        setUi(nullptr);
    }
    QPushButton* button(const QString& text) const
    {
        for (QPushButton* b : window->setupPage()->findChildren<QPushButton*>())
            if (b->text() == text)
                return b;
        return nullptr;
    }
};

void pressOk(QWidget* modal)
{
    modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

} // namespace

TEST(SetupPage, CreateDsidThroughItsDialogsMakesItCurrent)
{
    Window w;
    ASSERT_EQ(w.app.db->sources.currentDsid(), 41000u);
    QPushButton* create = w.button("create new DSID");
    ASSERT_NE(create, nullptr);
    ModalAnswers answers({[](QWidget* modal) {
                              for (QRadioButton* radio : modal->findChildren<QRadioButton*>())
                                  if (radio->text().startsWith("Public orbit source"))
                                      radio->click();
                              EXPECT_EQ(modal->findChild<QLineEdit*>()->text(), "2100");
                              pressOk(modal);
                          },
                          [](QWidget* modal) {
                              QList<QPushButton*> buttons = modal->findChildren<QPushButton*>();
                              for (QPushButton* b : buttons)
                                  if (b->text() == "OK")
                                      b->click();
                          }});
    create->click();
    EXPECT_EQ(answers.unexpected(), 0);
    EXPECT_EQ(answers.answered(), 2);
    EXPECT_EQ(w.app.db->sources.currentDsid(), 2100u);
    EXPECT_TRUE(w.button("Save Tables")->isEnabled());
    w.button("Save Tables")->click();
    EXPECT_FALSE(w.button("Save Tables")->isEnabled());
    EXPECT_NE(readFileBytes(w.dir.file("UDSID.csv")).find("1,2100,1,_new,210000000,_"),
              std::string::npos);
}

TEST(SetupPage, TakenNumberKeepsTheAddDialogOpen)
{
    Window w;
    ModalAnswers answers({[](QWidget* modal) {
                              modal->findChild<QLineEdit*>()->setText("41000");
                              pressOk(modal);
                          },
                          pressButton(QMessageBox::Ok),
                          [](QWidget* modal) {
                              auto* dialog = qobject_cast<QDialog*>(modal);
                              ASSERT_NE(dialog, nullptr);
                              EXPECT_EQ(dialog->windowTitle(), "Add new Data Source ID");
                              dialog->reject();
                          }});
    w.button("create new DSID")->click();
    EXPECT_EQ(answers.answered(), 3);
    EXPECT_EQ(answers.unexpected(), 0);
    EXPECT_EQ(w.app.db->dsids.count(), 1);
}

namespace {

void pressEditorOk(QWidget* modal)
{
    for (QPushButton* b : modal->findChildren<QPushButton*>())
        if (b->text() == "OK")
            b->click();
}

ModalAnswers::Answer chooseFile(const std::string& path)
{
    return [path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        // The file's name typed and Enter pressed, as a user would.
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(path));
        QMetaObject::invokeMethod(dialog, "accept");
    };
}

} // namespace

// "create new List", "import list" with the IAU MDC list, then the popup menu's delete.
TEST(SetupPage, StreamListButtonsAndPopupMenuWork)
{
    Window w;
    SetupPage& page = *w.window->setupPage();
    CUList& lists = page.page().streamListView();
    {
        ModalAnswers answers({pressOk, pressEditorOk});
        w.button("create new List")->click();
        EXPECT_EQ(answers.answered(), 2);
        EXPECT_EQ(answers.unexpected(), 0);
    }
    ASSERT_EQ(lists.lineCount(), 1);
    EXPECT_EQ(lists.cellText(0, 1), "L_WK_");
    {
        const std::string showers = projectDataFile("sources/iau_mdc_showers.psv").string();
        ModalAnswers answers({pressOk, chooseFile(showers), [](QWidget* modal) {
                                  EXPECT_EQ(modal->windowTitle(), "IAU MDC shower status");
                                  pressOk(modal);
                              }});
        w.button("import list")->click();
        EXPECT_EQ(answers.answered(), 3);
        EXPECT_EQ(answers.unexpected(), 0);
    }
    ASSERT_EQ(lists.lineCount(), 2);
    EXPECT_EQ(lists.cellText(1, 1), "L_WK_IAU_established");
    EXPECT_EQ(liveRowCount(w.app.db->streams), 112);
    EXPECT_TRUE(w.button("Save Tables")->isEnabled());

    lists.rightButtonDown(1, 1);
    QMenu* menu = page.listMenu();
    EXPECT_TRUE(menu->isVisible());
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    EXPECT_EQ(texts, QStringList({"Edit", "Copy to new list", "Make typical orbits",
                                  "Cross stream listing", "Export list (TarnRadiant.txt)",
                                  "Delete this list"}));
    {
        ModalAnswers answers({pressButton(QMessageBox::Ok)});
        menu->actions().last()->trigger();
        EXPECT_EQ(answers.answered(), 1);
    }
    ASSERT_EQ(lists.lineCount(), 1);
    EXPECT_EQ(lists.cellText(0, 1), "L_WK_");
    EXPECT_EQ(liveRowCount(w.app.db->streams), 112);
}

namespace {

// An M-layout source of this many radiants: long enough for many progress reports.
std::string writeRadiants(const TempDir& dir, int rows)
{
    const std::string path = dir.file("M_many.csv");
    std::ofstream out(path, std::ios::binary);
    for (int n = 0; n < rows; ++n)
        out << "90,2010,8,12,21,30,45,46.1,57.6,59.1,-1.5,_R" << n << ",_meteor\r\n";
    return path;
}

} // namespace

// The file, data source and target dialogs come first and alone; the progress dialog, modal to
// the main window, appears only while converting, and its Cancel leaves the MDB as it was.
TEST(SetupPage, ImportCancelledDuringTheConversionChangesNothing)
{
    Window w;
    w.app.db->modified = true;
    w.window->setupPage()->page().saveTables();
    const TempDir sources;
    const std::string source = writeRadiants(sources, 90000);
    const auto before = filesBelow(w.dir.str());
    const int orbitFiles = liveRowCount(w.app.db->orbitFiles);
    bool modalToTheWindow = false;
    const auto noProgressDialog = [](QWidget*) {
        for (QWidget* widget : QApplication::topLevelWidgets())
            EXPECT_FALSE(qobject_cast<QProgressDialog*>(widget) && widget->isVisible());
    };
    ModalAnswers answers({[&](QWidget* modal) {
                              noProgressDialog(modal);
                              chooseFile(source)(modal);
                          },
                          [&](QWidget* modal) {
                              noProgressDialog(modal);
                              pressOk(modal);
                          },
                          [&](QWidget* modal) {
                              noProgressDialog(modal);
                              chooseFile(w.dir.str() + "/orbits/O_WK_many.csv")(modal);
                          },
                          [&](QWidget* modal) {
                              auto* progress = qobject_cast<QProgressDialog*>(modal);
                              ASSERT_NE(progress, nullptr);
                              modalToTheWindow = progress->windowModality() == Qt::WindowModal &&
                                                 progress->parentWidget() == w.window.get();
                              for (QPushButton* button : progress->findChildren<QPushButton*>())
                                  if (button->text() == "Cancel")
                                      button->click();
                          }});
    w.button("import orbit file")->click();
    EXPECT_EQ(answers.answered(), 4);
    EXPECT_EQ(answers.unexpected(), 0);
    EXPECT_TRUE(modalToTheWindow);
    EXPECT_TRUE(filesBelow(w.dir.str()) == before) << "the MDB folder changed";
    EXPECT_EQ(liveRowCount(w.app.db->orbitFiles), orbitFiles);
    EXPECT_EQ(w.window->statusBar()->currentMessage(),
              "import of M_many.csv cancelled; the database is as it was");
}
