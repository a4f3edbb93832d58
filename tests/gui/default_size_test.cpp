// The window at its default size over the demo database: no caption cut, every list column as
// wide as its header and cells. With ORVANTELLA_SCREENSHOT_DIR set, the three left pages are
// also saved there as PNG pictures (scripts/screenshots.sh runs it under Xvfb).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <cstdlib>
#include <filesystem>

#include "app/app_context.h"
#include "gui/list_view.h"
#include "gui/main_window.h"
#include "gui/qt_ui.h"
#include "gui_test_support.h"
#include "mdb/database_store.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

// The width a caption needs: its widest line, without mnemonic marks.
int captionWidth(const QWidget& widget, QString text)
{
    int widest = 0;
    for (const QString& line : text.remove('&').split('\n'))
        widest = std::max(widest, widget.fontMetrics().horizontalAdvance(line));
    return widest;
}

// Names the visible captions of page whose text is wider than the control.
QStringList cutCaptions(QWidget* page)
{
    QStringList cut;
    for (QLabel* label : page->findChildren<QLabel*>())
        if (label->isVisible() && label->width() < label->sizeHint().width())
            cut << label->text();
    for (QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
        const int needed = qobject_cast<QPushButton*>(button)
                               ? captionWidth(*button, button->text()) + 6
                               : button->sizeHint().width();
        if (button->isVisible() && !button->text().isEmpty() && button->width() < needed)
            cut << button->text();
    }
    return cut;
}

// Names the columns narrower than their header or their widest cell.
QStringList narrowColumns(QWidget* page)
{
    QStringList narrow;
    for (ListView* view : page->findChildren<ListView*>())
        for (int column = 0; column < view->model()->columnCount(); ++column)
            if (view->horizontalHeader()->sectionSize(column) < view->neededWidth(column))
                narrow << view->model()->headerData(column, Qt::Horizontal).toString();
    return narrow;
}

} // namespace

TEST(WindowAtDefaultSize, CaptionsAndTableColumnsAreWhole)
{
    TempDir dir;
    fs::copy(fs::path(ORVANTELLA_SOURCE_DIR) / "data/demo/MDB", dir.path() / "MDB",
             fs::copy_options::recursive);
    testApplication();
    QtUi qtUi;
    setUi(&qtUi);
    AppContext app;
    app.settings.mdbdir = dir.file("MDB");
    app.db = std::make_unique<Database>();
    loadAll(*app.db, app.settings.mdbdir, app.settings.dlg_Y);
    {
        MainWindow window(app, qtUi);
        window.open();
        const char* const names[] = {"setup_page", "stream_page", "orbit_page"};
        const char* const shots = std::getenv("ORVANTELLA_SCREENSHOT_DIR");
        for (int page = 0; page < window.leftSheet()->count(); ++page) {
            SCOPED_TRACE(names[page]);
            window.leftSheet()->setCurrentIndex(page);
            QApplication::processEvents();
            QWidget* shown = window.leftSheet()->currentWidget();
            EXPECT_EQ(cutCaptions(shown), QStringList());
            EXPECT_EQ(narrowColumns(shown), QStringList());
            if (shots) {
                EXPECT_TRUE(window.grab().save(QString("%1/%2.png").arg(shots, names[page])));
            }
        }
    }
    setUi(nullptr);
}
