// The main window offscreen: sheets, pages, size limits, Escape and the close guard.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <functional>

#include "app/app_context.h"
#include "app/app_refresh.h"
#include "gui/main_window.h"
#include "gui/map_view.h"
#include "gui/qt_ui.h"
#include "gui_test_support.h"
#include "pages/page_orbit.h"
#include "pages/page_stream.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"

namespace {

QStringList tabTitles(const QTabWidget* sheet)
{
    QStringList titles;
    for (int i = 0; i < sheet->count(); ++i)
        titles << sheet->tabText(i);
    return titles;
}

// The menu bar's action at "Menu/Item", mnemonics left out; nullptr when there is none.
QAction* menuAction(const MainWindow& window, const QString& path)
{
    const QStringList parts = path.split('/');
    for (QAction* menu : window.menuBar()->actions()) {
        if (menu->text().remove('&') != parts[0] || !menu->menu())
            continue;
        for (QAction* item : menu->menu()->actions())
            if (item->text().remove('&') == parts[1])
                return item;
    }
    return nullptr;
}

} // namespace

TEST(MainWindow, ShowsTwoSheetsWithTheirPagesAndTheTitle)
{
    WindowFixture f;
    MainWindow window(f.app, f.qtUi);
    window.open();
    EXPECT_EQ(window.windowTitle(), "Orvantella /tmp/MDB  List:  Stream:0 / 0  Orbit: 0 / 0 / 0");
    EXPECT_EQ(tabTitles(window.leftSheet()), QStringList({"Set Up", "Stream", "Orbit"}));
    EXPECT_EQ(tabTitles(window.rightSheet()), QStringList({"Radiant Map", "Sky Map", "Orbit Map"}));
    EXPECT_LT(window.leftSheet()->geometry().right(), window.rightSheet()->geometry().left());
    EXPECT_EQ(window.rightSheet()->currentIndex(), 0);
    EXPECT_TRUE(window.mapPageShown(RefreshTarget::Page::SkyMap));
    EXPECT_FALSE(window.mapPageShown(RefreshTarget::Page::OrbitMap));
    window.rightSheet()->setCurrentIndex(2);
    EXPECT_TRUE(window.mapPageShown(RefreshTarget::Page::OrbitMap));
}

TEST(MainWindow, SizeStaysWithinItsLimits)
{
    WindowFixture f;
    MainWindow window(f.app, f.qtUi);
    window.resize(300, 200);
    EXPECT_EQ(window.size(), QSize(768, 560));
    window.resize(4000, 3000);
    EXPECT_EQ(window.size(), QSize(1900, 1200));
}

TEST(MainWindow, EscapeDoesNotClose)
{
    WindowFixture f;
    MainWindow window(f.app, f.qtUi);
    window.open();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
}

TEST(MainWindow, ClosingWithUnsavedChangesAsks)
{
    WindowFixture f;
    MainWindow window(f.app, f.qtUi);
    window.open();
    f.app.db->modified = true;
    {
        ModalAnswers answers({pressButton(QMessageBox::Cancel)});
        EXPECT_FALSE(window.close());
        EXPECT_EQ(answers.answered(), 1);
        EXPECT_EQ(answers.unexpected(), 0);
    }
    EXPECT_TRUE(window.isVisible());
    {
        ModalAnswers answers({pressButton(QMessageBox::Ok)});
        EXPECT_TRUE(window.close());
        EXPECT_EQ(answers.unexpected(), 0);
    }
    EXPECT_FALSE(window.isVisible());
}

TEST(MainWindow, ClosingWithoutChangesStoresThePlacement)
{
    WindowFixture f;
    f.app.settings.dlgrect_left = 40;
    f.app.settings.dlgrect_top = 50;
    f.app.settings.dlgrect_right = 1040;
    f.app.settings.dlgrect_bottom = 750;
    MainWindow window(f.app, f.qtUi);
    window.open();
    ModalAnswers answers({});
    EXPECT_TRUE(window.close());
    EXPECT_EQ(answers.unexpected(), 0);
    EXPECT_EQ(f.app.settings.dlgrect_right - f.app.settings.dlgrect_left, 1000);
    EXPECT_EQ(f.app.settings.dlgrect_bottom - f.app.settings.dlgrect_top, 700);
    EXPECT_EQ(f.app.settings.showcmd, 1);
}

TEST(MainWindow, SkyMapPaintsStarsIntoItsCanvas)
{
    WindowFixture f;
    f.app.stars.push_back({180.0, 0.0, 0.0, 0.0, 0.0});
    MainWindow window(f.app, f.qtUi);
    window.open();
    window.rightSheet()->setCurrentIndex(1);
    MapArea* area = window.mapArea(RefreshTarget::Page::SkyMap);
    area->grab();
    ASSERT_NE(area->canvas(), nullptr);
    const Canvas& canvas = *area->canvas();
    const std::uint8_t* rgb = canvas.rgbData();
    bool lit = false;
    for (int i = 0; i < canvas.bytesPerLine() * area->height() && !lit; ++i)
        lit = rgb[i] != 0;
    EXPECT_TRUE(lit);
}

TEST(MainWindow, SaveMapWritesTheShownPixelsAsABitmap)
{
    WindowFixture f;
    TempDir dir;
    f.app.settings.docdir = dir.str();
    f.app.settings.dlg_Y = 2018;
    f.app.settings.dlg_M = 12;
    f.app.settings.dlg_D = 14;
    f.app.stars.push_back({100.0, 20.0, -1.0, 0.0, 0.0});
    ScriptedUi scripted;
    setUi(&scripted);
    MainWindow window(f.app, f.qtUi);
    window.open();
    window.rightSheet()->setCurrentIndex(1);
    MapArea* area = window.mapArea(RefreshTarget::Page::SkyMap);
    area->grab();
    scripted.answerPath(dir.file("sky.bmp"));
    QPushButton* save = nullptr;
    for (QPushButton* button : window.rightSheet()->currentWidget()->findChildren<QPushButton*>())
        if (button->text() == "Save Map")
            save = button;
    ASSERT_NE(save, nullptr);
    save->click();
    ASSERT_EQ(scripted.events().size(), 1u);
    EXPECT_EQ(scripted.events()[0].caption, "Write BMP");
    EXPECT_EQ(scripted.events()[0].text, "OV20181214SM.bmp");
    const QImage saved(QString::fromStdString(dir.file("sky.bmp")), "BMP");
    ASSERT_FALSE(saved.isNull());
    const Canvas& canvas = *area->canvas();
    ASSERT_EQ(saved.width(), canvas.maxX() + 1);
    ASSERT_EQ(saved.height(), canvas.maxY() + 1);
    const QImage shown(canvas.rgbData(), area->width(), area->height(), canvas.bytesPerLine(),
                       QImage::Format_RGB888);
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB888),
              shown.copy(0, 0, saved.width(), saved.height()));
}

// Each menu item runs the command of its button, and has its shortcut.
TEST(MainWindow, MenuItemsRunTheButtonsCommands)
{
    struct Case {
        const char* item;
        QKeySequence shortcut;
        std::function<void(ScriptedUi&, const TempDir&)> answer;
        std::function<void(const AppContext&, const ScriptedUi&, const TempDir&)> check;
    };
    // Standard key sequences are looked up in the platform theme, which the application brings.
    testApplication();
    const Case cases[] = {
        {"File/Save Tables", QKeySequence::Save, [](auto&, auto&) {},
         [](const AppContext& app, const ScriptedUi& ui, const TempDir& dir) {
             EXPECT_FALSE(app.db->modified);
             EXPECT_TRUE(std::filesystem::exists(dir.file("MDB/UDSID.csv")));
             EXPECT_EQ(ui.statuses(),
                       std::vector<std::string>{"saved 6 tables and 0 orbit files to " +
                                                dir.file("MDB")});
         }},
        {"File/BackUp...", QKeySequence(),
         [](ScriptedUi& ui, const TempDir& dir) { ui.answerPath(dir.file("BACK")); },
         [](const AppContext& app, const ScriptedUi&, const TempDir& dir) {
             EXPECT_TRUE(std::filesystem::exists(dir.file("BACK/UDSID.csv")));
             EXPECT_TRUE(app.db->modified);
         }},
        {"Analysis/Clustering...", QKeySequence(Qt::CTRL | Qt::Key_K), [](auto&, auto&) {},
         [](const AppContext&, const ScriptedUi& ui, const TempDir&) {
             EXPECT_EQ(ui.messages(), std::vector<std::string>{CPageOrbit::kNoStreamList});
         }},
        {"Analysis/R-vg Grouping", QKeySequence(Qt::CTRL | Qt::Key_G), [](auto&, auto&) {},
         [](const AppContext&, const ScriptedUi& ui, const TempDir&) {
             EXPECT_EQ(ui.messages(), std::vector<std::string>{CPageStream::kSelectList});
         }},
        {"Maps/Save Map...", QKeySequence(Qt::CTRL | Qt::Key_M),
         [](ScriptedUi& ui, const TempDir& dir) { ui.answerPath(dir.file("radiant.bmp")); },
         [](const AppContext&, const ScriptedUi& ui, const TempDir& dir) {
             EXPECT_TRUE(std::filesystem::exists(dir.file("radiant.bmp")));
             EXPECT_EQ(ui.statuses(),
                       std::vector<std::string>{"map saved to " + dir.file("radiant.bmp")});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        WindowFixture f;
        TempDir dir;
        std::filesystem::create_directories(dir.file("MDB"));
        std::filesystem::create_directories(dir.file("BACK"));
        f.app.settings.mdbdir = dir.file("MDB");
        ScriptedUi scripted;
        setUi(&scripted);
        MainWindow window(f.app, f.qtUi);
        window.open();
        window.mapArea(RefreshTarget::Page::RadiantMap)->grab();
        markModified(f.app);
        QAction* action = menuAction(window, c.item);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->shortcut(), c.shortcut);
        c.answer(scripted, dir);
        action->trigger();
        c.check(f.app, scripted, dir);
        EXPECT_FALSE(scripted.anyUnexpected());
        EXPECT_EQ(scripted.pendingAnswers(), 0u);
        setUi(&f.qtUi);
    }
}

TEST(MainWindow, HelpAboutNamesTheDataSources)
{
    WindowFixture f;
    MainWindow window(f.app, f.qtUi);
    window.open();
    QString text;
    ModalAnswers answers({[&text](QWidget* modal) {
        text = qobject_cast<QMessageBox*>(modal)->text();
        qobject_cast<QMessageBox*>(modal)->accept();
    }});
    menuAction(window, "Help/About Orvantella")->trigger();
    EXPECT_EQ(answers.unexpected(), 0);
    for (const char* credit :
         {"IAU Meteor Data Center", "Global Meteor Network", "Yale Bright Star Catalogue", "V0.17"})
        EXPECT_TRUE(text.contains(credit)) << credit;
}

// "*" leads the title while tables are unsaved; Save Tables (enabled only then) takes it away
// and says in the status bar what it wrote.
TEST(MainWindow, UnsavedMarkAndTheOutcomeInTheStatusBar)
{
    WindowFixture f;
    TempDir dir;
    f.app.settings.mdbdir = dir.str();
    MainWindow window(f.app, f.qtUi);
    window.open();
    QAction* save = menuAction(window, "File/Save Tables");
    ASSERT_NE(save, nullptr);
    EXPECT_FALSE(window.windowTitle().startsWith('*'));
    EXPECT_FALSE(save->isEnabled());
    markModified(f.app);
    EXPECT_TRUE(window.windowTitle().startsWith("*Orvantella "));
    EXPECT_TRUE(save->isEnabled());
    QApplication::setActiveWindow(&window);
    QTest::keySequence(&window, QKeySequence::Save);
    EXPECT_FALSE(f.app.db->modified);
    EXPECT_TRUE(window.windowTitle().startsWith("Orvantella "));
    EXPECT_FALSE(save->isEnabled());
    EXPECT_EQ(window.statusBar()->currentMessage().toStdString(),
              "saved 6 tables and 0 orbit files to " + dir.str());
}

// The halves are split where the window closed last; without a stored width, in the middle.
TEST(MainWindow, SplitterIsPlacedAndRemembered)
{
    WindowFixture f;
    f.app.settings.dlgrect_right = f.app.settings.dlgrect_left + 1400;
    {
        MainWindow window(f.app, f.qtUi);
        window.open();
        const QList<int> sizes = window.splitter()->sizes();
        EXPECT_NEAR(sizes[0], sizes[1], 4);
        window.splitter()->setSizes({520, sizes[0] + sizes[1] - 520});
        ModalAnswers answers({});
        EXPECT_TRUE(window.close());
    }
    EXPECT_EQ(f.app.settings.split_left, 520);
    MainWindow window(f.app, f.qtUi);
    window.open();
    EXPECT_EQ(window.splitter()->sizes()[0], 520);
}
