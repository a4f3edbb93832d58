// The map pages offscreen: rendering only when asked, fields and check boxes
// redraw, the read-outs, and the radiant map's frame switch.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "app/app_context.h"
#include "gui/main_window.h"
#include "gui/map_view.h"
#include "gui/qt_ui.h"
#include "gui_test_support.h"
#include "platform/scripted_ui.h"

namespace {

template <class W> W* childWithText(QWidget* parent, const QString& text)
{
    for (W* widget : parent->findChildren<W*>())
        if (widget->text() == text)
            return widget;
    return nullptr;
}

} // namespace

TEST(MapPages, RenderOnlyOnRequestSizeChangeOrBlackAndWhite)
{
    WindowFixture f;
    MainWindow window(f.app, f.qtUi);
    window.open();
    window.rightSheet()->setCurrentIndex(1);
    MapArea* area = window.mapArea(RefreshTarget::Page::SkyMap);
    area->grab();
    const int first = area->renderCount();
    ASSERT_GE(first, 1);
    // Plain paint events reuse the canvas.
    area->grab();
    area->repaint();
    EXPECT_EQ(area->renderCount(), first);
    // A repaint request (refresh 7) renders again.
    requestRefresh(f.app, 7);
    area->grab();
    EXPECT_EQ(area->renderCount(), first + 1);
    // Black and white.
    f.app.settings.BW = 1;
    area->grab();
    EXPECT_EQ(area->renderCount(), first + 2);
    EXPECT_TRUE(area->canvas()->blackAndWhite());
    // Size.
    window.resize(window.width() + 40, window.height());
    area->grab();
    EXPECT_EQ(area->renderCount(), first + 3);
}

TEST(MapPages, FieldsAndChecksChangeTheSettingsAndRedraw)
{
    WindowFixture f;
    MainWindow window(f.app, f.qtUi);
    window.open();
    window.rightSheet()->setCurrentIndex(1);
    QWidget* page = window.rightSheet()->currentWidget();
    MapArea* area = window.mapArea(RefreshTarget::Page::SkyMap);
    area->grab();
    const int renders = area->renderCount();
    QLineEdit* ra = page->findChildren<QLineEdit*>().front();
    ra->setText("200");
    emit ra->editingFinished();
    EXPECT_EQ(f.app.settings.sm_ra, 200.0f);
    area->grab();
    EXPECT_EQ(area->renderCount(), renders + 1);
    QCheckBox* stars = childWithText<QCheckBox>(page, "s");
    ASSERT_NE(stars, nullptr);
    stars->click();
    EXPECT_EQ(f.app.settings.sm_star, 1);
    area->grab();
    EXPECT_EQ(area->renderCount(), renders + 2);
}

TEST(MapPages, SkyCursorReadOutAndRadiantFrameSwitch)
{
    WindowFixture f;
    MainWindow window(f.app, f.qtUi);
    window.open();
    window.rightSheet()->setCurrentIndex(1);
    MapArea* sky = window.mapArea(RefreshTarget::Page::SkyMap);
    sky->grab();
    QTest::mouseMove(sky, QPoint(sky->canvas()->maxX() / 2, sky->canvas()->maxY() / 2 + 1));
    QLabel* cursor = nullptr;
    for (QLabel* label : window.rightSheet()->currentWidget()->findChildren<QLabel*>())
        if (label->text().startsWith("ra "))
            cursor = label;
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->text(), "ra 130.0 dec 40.0");

    window.rightSheet()->setCurrentIndex(0);
    QWidget* radiant = window.rightSheet()->currentWidget();
    childWithText<QRadioButton>(radiant, "L-Ls")->click();
    EXPECT_EQ(f.app.settings.r_mode_ax, 2);
    EXPECT_NE(childWithText<QLabel>(radiant, "elg"), nullptr);
    EXPECT_EQ(childWithText<QLabel>(radiant, "ra"), nullptr);
    childWithText<QRadioButton>(radiant, "Vs")->click();
    EXPECT_EQ(f.app.settings.r_vg, 0);
}

TEST(MapPages, OrbitMapViewButtons)
{
    WindowFixture f;
    MainWindow window(f.app, f.qtUi);
    window.open();
    window.rightSheet()->setCurrentIndex(2);
    QWidget* page = window.rightSheet()->currentWidget();
    f.app.settings.om_ra = 10;
    childWithText<QPushButton>(page, "tv")->click();
    EXPECT_EQ(f.app.settings.om_ra, 90.0f);
    EXPECT_EQ(f.app.settings.om_dec, 67.5f);
    EXPECT_EQ(page->findChildren<QLineEdit*>()[1]->text(), "67.5");
}
