// The Save Map dialog in Qt: it offers BMP and PNG, and a name typed without an extension
// takes the chosen type's, which then decides the file's format.
#include <gtest/gtest.h>

#include <QColorSpace>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QTest>

#include "gui/qt_ui.h"
#include "gui_test_support.h"
#include "maps/canvas.h"
#include "maps/save_map.h"
#include "support/test_support.h"

namespace {

struct DialogCase {
    const char* label;
    bool choosePng;      // the second file type, chosen as the user does, with the keyboard
    const char* typed;   // in the file name field
    const char* written; // the file that appears
    const char* format;
};

const DialogCase kCases[] = {
    {"Bmp_by_default", false, "sky", "sky.bmp", "BMP"},
    {"Png_chosen", true, "sky", "sky.png", "PNG"},
    {"Typed_extension_kept", true, "sky.bmp", "sky.bmp", "BMP"},
};

class SaveMapDialogTest : public testing::TestWithParam<DialogCase> {};

TEST_P(SaveMapDialogTest, WritesTheCanvasInTheChosenFormat)
{
    const DialogCase& c = GetParam();
    testApplication();
    QtUi qtUi;
    setUi(&qtUi);
    TempDir dir;
    Canvas canvas(64, 48, false);
    canvas.setColor(kEquatorColor);
    canvas.drawLine(0, 0, 60, 44);
    QStringList offered;
    ModalAnswers answers({[&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        offered = dialog->nameFilters();
        if (c.choosePng)
            QTest::keyClick(dialog->findChild<QComboBox*>("fileTypeCombo"), Qt::Key_Down);
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(c.typed);
        QMetaObject::invokeMethod(dialog, "accept");
    }});
    EXPECT_TRUE(saveMap(canvas, dir.file("OV20181214SM.bmp")));
    setUi(nullptr);
    EXPECT_EQ(answers.unexpected(), 0);
    EXPECT_EQ(offered, QStringList({"Write BMP File (*.bmp)", "PNG File (*.png)"}));
    const QImage saved(QString::fromStdString(dir.file(c.written)), c.format);
    ASSERT_FALSE(saved.isNull()) << c.written;
    const QImage shown(canvas.rgbData(), canvas.areaWidth(), canvas.areaHeight(),
                       canvas.bytesPerLine(), QImage::Format_RGB888);
    // The PNG is tagged sRGB; its pixels are compared.
    QImage got = saved.convertToFormat(QImage::Format_RGB888);
    got.setColorSpace(QColorSpace());
    EXPECT_EQ(got, shown.copy(0, 0, canvas.maxX() + 1, canvas.maxY() + 1));
}

INSTANTIATE_TEST_SUITE_P(Choices, SaveMapDialogTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
