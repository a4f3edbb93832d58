// The main window opens offscreen with its two sheets and six pages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTabWidget>

#include "gui/main_window.h"

namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

QStringList tabTitles(const QTabWidget* sheet)
{
    QStringList titles;
    for (int i = 0; i < sheet->count(); ++i)
        titles << sheet->tabText(i);
    return titles;
}

} // namespace

TEST(MainWindow, ShowsTwoSheetsWithTheirPages)
{
    application();
    MainWindow window;
    window.show();
    EXPECT_EQ(window.windowTitle(), "Orvantella");
    EXPECT_EQ(tabTitles(window.leftSheet()), QStringList({"Set Up", "Stream", "Orbit"}));
    EXPECT_EQ(tabTitles(window.rightSheet()),
              QStringList({"Radiant Map", "Sky Map", "Orbit Map"}));
    EXPECT_LT(window.leftSheet()->geometry().right(), window.rightSheet()->geometry().left());
}

TEST(MainWindow, SizeStaysWithinItsLimits)
{
    application();
    MainWindow window;
    window.resize(300, 200);
    EXPECT_EQ(window.size(), QSize(768, 560));
    window.resize(4000, 3000);
    EXPECT_EQ(window.size(), QSize(1900, 1200));
}
