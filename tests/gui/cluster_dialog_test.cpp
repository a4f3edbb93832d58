// The clustering dialog in the window: Start, the worker's updates while the event loop runs,
// closing refused during the run, the end message, and the dialog closing itself.
#include <gtest/gtest.h>

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>
#include <random>

#include "app/app_context.h"
#include "gui/cluster_dialog.h"
#include "gui/dsid_dialogs.h"
#include "gui/main_window.h"
#include "gui/orbit_page.h"
#include "gui/qt_ui.h"
#include "gui_test_support.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "pages/cluster_dlg.h"
#include "pages/cluster_pages.h"
#include "support/test_support.h"

namespace {

// Data sources "SkyCam" (the orbits) and "ABC" (current), a current list, and orbits in a few
// tight groups among scattered ones.
struct ClusterApp {
    QtUi qtUi;
    AppContext app;
    std::vector<int> rows;

    explicit ClusterApp(int orbits)
    {
        testApplication();
        registerClusterDialog(qtUi);
        setUi(&qtUi);
        app.db = std::make_unique<Database>();
        Database& db = *app.db;
        for (const auto& [dsid, code] : {std::pair{1000u, "SkyCam"}, {41000u, "ABC"}}) {
            const int row = db.dsids.addRow();
            db.dsids.cell(row, col::Dsid::DSID)->number = dsid;
            db.dsids.cell(row, col::Dsid::use)->number = 1;
            db.dsids.setText(row, col::Dsid::code, code);
            db.dsids.cell(row, col::Dsid::IDnext)->number = dsid * 100000;
            db.sources.makeCurrent(row);
        }
        db.sources.markInUse();
        app.currentListRow = db.lists.addRow();
        db.lists.cell(app.currentListRow, col::List::LID)->number = 100099000;
        db.lists.setText(app.currentListRow, col::List::name, "L_test");
        std::mt19937 random(11);
        auto uniform = [&](double low, double high) {
            return static_cast<float>(std::uniform_real_distribution<double>(low, high)(random));
        };
        using O = col::Orbit;
        for (int i = 0; i < orbits; ++i) {
            const int row = db.orbits.addRow();
            const float group = static_cast<float>(i % 8) * 40;
            const bool grouped = i % 3 != 0;
            db.orbits.cell(row, O::OID)->number = 100000000u + static_cast<unsigned>(i);
            db.orbits.cell(row, O::use)->number = 1;
            db.orbits.cell(row, O::sol)->real = grouped ? group + uniform(0, 3) : uniform(0, 360);
            db.orbits.cell(row, O::ra)->real = grouped ? group + uniform(0, 2) : uniform(0, 360);
            db.orbits.cell(row, O::dec)->real = grouped ? 20 + uniform(0, 2) : uniform(-60, 80);
            db.orbits.cell(row, O::vg)->real = grouped ? 30 + uniform(0, 1) : uniform(11, 72);
            db.orbits.cell(row, O::e)->real = grouped ? 0.7f + uniform(0, 0.01f) : uniform(0.1f, 1);
            db.orbits.cell(row, O::q)->real = grouped ? 0.5f + uniform(0, 0.01f) : uniform(0.1f, 1);
            db.orbits.cell(row, O::incl)->real = grouped ? 10 + uniform(0, 1) : uniform(0, 180);
            db.orbits.cell(row, O::node)->real = grouped ? group + uniform(0, 1) : uniform(0, 360);
            db.orbits.cell(row, O::peri)->real = grouped ? 200 + uniform(0, 1) : uniform(0, 360);
            rows.push_back(row);
        }
    }
    ~ClusterApp() { setUi(nullptr); }
};

QPushButton* button(QWidget* dialog, const char* text)
{
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

// Plays the user while the dialog is modal: Start (and Stop when asked), tries to close the
// dialog during the run, and answers the end message with OK.
class ClusterUser {
public:
    // model: the dialog's model, when the test made it (else Stop is never pressed).
    ClusterUser(CClusterDlg* model, bool stopAtOnce) : m_model(model), m_stopAtOnce(stopAtOnce)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { act(); });
        m_timer.start(3);
    }
    int refusedCloses = 0;
    int messagesAnswered = 0;
    int ticks = 0;
    QString title;

private:
    void act()
    {
        ++ticks;
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            ++messagesAnswered;
            box->button(QMessageBox::Ok)->click();
            return;
        }
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog)
            return;
        if (dialog->windowTitle() == "DSID select") {
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            return;
        }
        if (!m_started) {
            m_started = true;
            title = dialog->windowTitle();
            EXPECT_FALSE(button(dialog, "Stop")->isEnabled());
            button(dialog, "Start")->click();
            EXPECT_FALSE(button(dialog, "Start")->isEnabled());
            if (m_stopAtOnce)
                button(dialog, "Stop")->click();
            return;
        }
        if (!m_model || !m_model->stopEnabled())
            return;
        dialog->reject();
        dialog->close();
        refusedCloses += dialog->isVisible() ? 1 : 0;
    }

    CClusterDlg* m_model;
    bool m_stopAtOnce;
    bool m_started = false;
    QTimer m_timer;
};

TEST(ClusterDialogWindow, RunsRespondsRefusesToCloseAndClosesItself)
{
    ClusterApp c(20000);
    ClusterPages pages;
    CClusterDlg model(c.app, c.rows, pages);
    ClusterUser user(&model, false);
    EXPECT_TRUE(c.qtUi.runModal(model));
    EXPECT_EQ(user.title, "Automatic Clustering");
    EXPECT_TRUE(model.ended());
    EXPECT_GT(model.newStreams(), 0);
    EXPECT_EQ(user.messagesAnswered, 1);
    EXPECT_GT(user.refusedCloses, 0);
    EXPECT_GT(user.ticks, user.refusedCloses);
    EXPECT_EQ(liveRowCount(c.app.db->streams), model.newStreams());
}

TEST(ClusterDialogWindow, StopEndsTheRunAndTheDialog)
{
    ClusterApp c(20000);
    ClusterPages pages;
    CClusterDlg model(c.app, c.rows, pages);
    ClusterUser user(&model, true);
    EXPECT_TRUE(c.qtUi.runModal(model));
    EXPECT_EQ(model.newStreams(), 0);
    EXPECT_EQ(user.messagesAnswered, 1);
}

// The Orbit page's "clustering" button over the demo database: the DSID select dialog, then
// the clustering dialog, whose first stream is the Geminids of December 2018.
TEST(ClusterDialogWindow, OrbitPageButtonClustersTheDemoOrbits)
{
    TempDir dir;
    QtUi qtUi;
    testApplication();
    registerDsidDialogs(qtUi);
    registerClusterDialog(qtUi);
    setUi(&qtUi);
    AppContext app;
    const std::filesystem::path mdb = dir.path() / "MDB";
    std::filesystem::copy(std::filesystem::path(ORVANTELLA_SOURCE_DIR) / "data/demo/MDB", mdb,
                          std::filesystem::copy_options::recursive);
    app.settings.mdbdir = mdb.string();
    app.settings.docdir = dir.str();
    app.db = std::make_unique<Database>();
    loadAll(*app.db, app.settings.mdbdir, app.settings.dlg_Y);
    const int streamsBefore = liveRowCount(app.db->streams);
    {
        MainWindow window(app, qtUi);
        window.open();
        window.leftSheet()->setCurrentWidget(window.orbitPage());
        ClusterUser user(nullptr, false);
        QPushButton* clustering = nullptr;
        for (QPushButton* b : window.orbitPage()->findChildren<QPushButton*>())
            if (b->text() == "clustering")
                clustering = b;
        ASSERT_NE(clustering, nullptr);
        clustering->click();
        EXPECT_EQ(user.title, "Automatic Clustering");
        EXPECT_EQ(user.messagesAnswered, 1);
    }
    setUi(nullptr);
    ASSERT_GT(liveRowCount(app.db->streams), streamsBefore);
    EXPECT_TRUE(app.db->modified);
    bool geminids = false;
    for (int row = 0; row < app.db->streams.count(); ++row)
        geminids =
            geminids || (app.db->streams.isLive(row) &&
                         std::string(app.db->streams.text(row, col::Stream::code)) == "WK_qbbg");
    EXPECT_TRUE(geminids);
}

} // namespace
