// The window on a database that another process holds: it opens read-only after
// saying so, and a save is refused without touching a file.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenuBar>
#include <filesystem>
#include <map>
#include <string>

#include "app/app_refresh.h"
#include "gui/main_window.h"
#include "gui_test_support.h"
#include "mdb/database_store.h"
#include "mdb/mdb_lock.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

QAction* saveTablesAction(const MainWindow& window)
{
    for (QAction* menu : window.menuBar()->actions())
        if (menu->menu())
            for (QAction* item : menu->menu()->actions())
                if (item->text().remove('&') == "Save Tables")
                    return item;
    return nullptr;
}

// Hands the text of a message box to `text` and closes the box.
ModalAnswers::Answer readMessage(QString& text)
{
    return [&text](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        box->accept();
    };
}

} // namespace

TEST(ReadOnlyWindow, OpensReadOnlyBesideAnotherWriterAndRefusesToSave)
{
    TempDir dir;
    const fs::path mdb = dir.path() / "MDB";
    fs::copy(fs::path(ORVANTELLA_SOURCE_DIR) / "data/demo/MDB", mdb, fs::copy_options::recursive);
    // flock locks belong to an open file description: a second one in this process conflicts.
    std::string refusal;
    const std::optional<MdbLock> other = MdbLock::take(mdb.string(), MdbAccess::Write, refusal);
    ASSERT_TRUE(other);
    const auto before = filesBelow(mdb.string());

    WindowFixture f;
    f.app.settings.mdbdir = mdb.string();
    QString opened;
    {
        ModalAnswers answers({readMessage(opened)});
        openDatabaseForWindow(*f.app.db, f.app.settings.mdbdir, f.app.settings.dlg_Y);
        EXPECT_EQ(answers.unexpected(), 0);
    }
    EXPECT_TRUE(opened.contains("is in use by process")) << opened.toStdString();
    EXPECT_TRUE(opened.contains("The database is opened read-only.")) << opened.toStdString();
    EXPECT_FALSE(f.app.db->lock.held());

    MainWindow window(f.app, f.qtUi);
    window.open();
    markModified(f.app);
    QAction* save = saveTablesAction(window);
    ASSERT_NE(save, nullptr);
    QString refused;
    {
        ModalAnswers answers({readMessage(refused)});
        save->trigger();
        EXPECT_EQ(answers.unexpected(), 0);
    }
    EXPECT_TRUE(refused.startsWith("Nothing saved: the database is open read-only"))
        << refused.toStdString();
    EXPECT_TRUE(f.app.db->modified);
    EXPECT_EQ(filesBelow(mdb.string()), before);
}
