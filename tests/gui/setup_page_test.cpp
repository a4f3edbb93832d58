// The Set Up page in the window: its data source dialogs and buttons.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

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
