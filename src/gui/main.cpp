// orvantella: the desktop program.
#include <QApplication>

#include "gui/main_window.h"
#include "gui/qt_ui.h"
#include "gui/table_dialogs.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtUi qtUi;
    registerTableDialogs(qtUi);
    setUi(&qtUi);
    MainWindow window;
    window.resize(980, 610);
    window.show();
    setMainWindowOpen(true);
    const int status = app.exec();
    setMainWindowOpen(false);
    setUi(nullptr);
    return status;
}
