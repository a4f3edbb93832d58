// The main window offscreen: sheets, pages, size limits, Escape and the close guard.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "app/app_context.h"
#include "gui/main_window.h"
#include "gui/map_view.h"
#include "gui/qt_ui.h"
#include "gui_test_support.h"
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
