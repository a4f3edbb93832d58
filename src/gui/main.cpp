// orvantella: the desktop program.
#include <QApplication>
#include <QDir>
#include <clocale>

#include "app/app_context.h"
#include "app/startup.h"
#include "gui/cluster_dialog.h"
#include "gui/data_dialog.h"
#include "gui/dsid_dialogs.h"
#include "gui/main_window.h"
#include "gui/qt_ui.h"
#include "gui/splash_window.h"
#include "gui/ssel_dialog.h"
#include "gui/stream_list_dialogs.h"
#include "gui/table_dialogs.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Table files are read and written with "%f": the decimal point must not follow the locale.
    std::setlocale(LC_NUMERIC, "C");
    QtUi qtUi;
    registerTableDialogs(qtUi);
    registerDsidDialogs(qtUi);
    registerStreamDialogs(qtUi);
    registerDataDialog(qtUi);
    registerStreamListDialogs(qtUi);
    registerClusterDialog(qtUi);
    setUi(&qtUi);

    AppContext app;
    app.startupFolder = QDir::currentPath().toStdString();
    app.executableFolder = QCoreApplication::applicationDirPath().toStdString();
    {
        SplashWindow splash;
        splash.show();
        startUp(app, splash);
    }
    int status = 0;
    {
        MainWindow window(app, qtUi);
        window.open();
        status = application.exec();
    }
    shutDown(app);
    setUi(nullptr);
    return status;
}
