// The Set Up page driven through the scripted user interface.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_context.h"
#include "mdb/database_store.h"
#include "mdb/dsid_dialog.h"
#include "mdb/schema.h"
#include "pages/page_setup.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"
#include "views/edit_line_dlg.h"

namespace fs = std::filesystem;

namespace {

struct SetupPage {
    TempDir dir;
    ScopedScriptedUi scripted;
    AppContext app;
    std::unique_ptr<CPageSetup> page;

    SetupPage()
    {
        app.settings.mdbdir = dir.file("MDB");
        app.settings.backdir = dir.file("BACKUP");
        fs::create_directories(app.settings.mdbdir);
        app.db = std::make_unique<Database>();
        page = std::make_unique<CPageSetup>(app);
    }
    Database& db() { return *app.db; }
    void confirmRecordEditor()
    {
        scripted->answerDialog(
            [](DialogModel& model) { return static_cast<CEditLineDlg&>(model).accept(); });
    }
    void chooseDsid(int kind, const std::string& number)
    {
        scripted->answerDialog([kind, number](DialogModel& model) {
            auto& dialog = static_cast<CDSIDdlg&>(model);
            dialog.chooseKind(kind);
            dialog.numberText = number;
            return dialog.ok();
        });
    }
};

} // namespace

TEST(CPageSetup, FirstStartMakesTheWorkSourceCurrentAndListsIt)
{
    SetupPage setup;
    setup.page->initialise();
    EXPECT_FALSE(setup.page->busy());
    EXPECT_EQ(setup.page->dsidView().lineCount(), 1);
    EXPECT_EQ(setup.page->dsidView().cellText(0, 2), "WK");
    EXPECT_EQ(setup.app.settings.st_dsid, 41000);
    EXPECT_FALSE(setup.page->saveTablesEnabled());
    EXPECT_EQ(setup.page->versionLine(), "Orvantella meteor orbit database V0.17");
}

TEST(CPageSetup, StreamListsOfSourcesNotInUseAreHidden)
{
    SetupPage setup;
    Database& db = setup.db();
    for (auto [dsid, use] : {std::pair{1u, 1u}, std::pair{2u, 0u}}) {
        const int row = db.dsids.addRow();
        db.dsids.cell(row, col::Dsid::DSID)->number = dsid;
        db.dsids.cell(row, col::Dsid::use)->number = use;
        const int list = db.lists.addRow();
        db.lists.cell(list, col::List::LID)->number = dsid * 100000;
    }
    setup.page->initialise();
    ASSERT_EQ(setup.page->streamListView().lineCount(), 1);
    EXPECT_EQ(setup.page->streamListView().cellText(0, 0), "100000");
    EXPECT_EQ(db.lists.count(), 2);
}

TEST(CPageSetup, CreateDsidAddsTheRowMakesItCurrentAndMarksModified)
{
    SetupPage setup;
    setup.page->initialise();
    setup.chooseDsid(4, "41007");
    setup.confirmRecordEditor();
    setup.page->createDsid();
    EXPECT_FALSE(setup.scripted->anyUnexpected());
    EXPECT_EQ(setup.db().sources.currentDsid(), 41007u);
    EXPECT_EQ(setup.app.settings.st_dsid, 41007);
    EXPECT_TRUE(setup.page->saveTablesEnabled());
    EXPECT_EQ(setup.page->dsidView().lineCount(), 2);
    const int row = setup.db().sources.currentRow();
    EXPECT_STREQ(setup.db().dsids.text(row, col::Dsid::code), "new");
    EXPECT_EQ(setup.db().dsids.cell(row, col::Dsid::IDnext)->number, 4100700000u);
}

TEST(CPageSetup, CancelledRecordEditorRemovesTheNewDsid)
{
    SetupPage setup;
    setup.page->initialise();
    setup.chooseDsid(4, "41007");
    setup.scripted->answerCancel();
    setup.page->createDsid();
    EXPECT_EQ(setup.page->dsidView().lineCount(), 1);
    EXPECT_EQ(setup.db().sources.currentDsid(), 41000u);
    EXPECT_FALSE(setup.page->saveTablesEnabled());
}

TEST(CPageSetup, DeletingADsidAsksAndChoosesAnotherCurrent)
{
    SetupPage setup;
    setup.page->initialise();
    setup.chooseDsid(2, "1500");
    setup.confirmRecordEditor();
    setup.page->createDsid();
    const int row = setup.db().sources.currentRow();
    setup.scripted->answerCancel();
    setup.page->notify(CPageSetup::kDsidDelete, row, 0);
    EXPECT_EQ(setup.db().sources.currentDsid(), 1500u);
    setup.scripted->answerOk();
    setup.page->notify(CPageSetup::kDsidDelete, row, 0);
    EXPECT_EQ(setup.db().sources.currentDsid(), 41000u);
    EXPECT_EQ(setup.page->dsidView().lineCount(), 1);
    EXPECT_EQ(setup.scripted->events().back().text, CPageSetup::kDeleteDsidQuestion);
}

TEST(CPageSetup, SaveTablesClearsModifiedOnlyWhenEverythingWasWritten)
{
    SetupPage setup;
    setup.page->initialise();
    setup.db().modified = true;
    setup.page->saveTables();
    EXPECT_FALSE(setup.page->saveTablesEnabled());
    EXPECT_TRUE(fs::exists(setup.app.settings.mdbdir + "/UDSID.csv"));
    setup.db().modified = true;
    fs::remove(setup.app.settings.mdbdir + "/UList.csv");
    fs::create_directories(setup.app.settings.mdbdir + "/UList.csv/blocked");
    setup.page->saveTables();
    EXPECT_TRUE(setup.page->saveTablesEnabled());
}

TEST(CPageSetup, NewMdbFolderAsksWhenModifiedAndLoadsWithAnOrbitsFolder)
{
    SetupPage setup;
    setup.page->initialise();
    setup.db().modified = true;
    const std::string other = setup.dir.file("OTHER");
    fs::create_directories(other);
    setup.scripted->answerCancel();
    setup.page->chooseMdbFolder();
    EXPECT_NE(setup.app.settings.mdbdir, other);
    setup.scripted->answerOk();
    setup.scripted->answerPath(other);
    setup.page->chooseMdbFolder();
    EXPECT_FALSE(setup.scripted->anyUnexpected());
    EXPECT_EQ(setup.app.settings.mdbdir, other);
    EXPECT_TRUE(fs::is_directory(other + "/orbits"));
    EXPECT_FALSE(setup.db().modified);
    EXPECT_EQ(setup.db().sources.currentDsid(), 41000u);
}

TEST(CPageSetup, BackUpWritesTheTablesAndKeepsTheModifiedFlag)
{
    SetupPage setup;
    setup.page->initialise();
    setup.db().modified = true;
    setup.scripted->answerPath(setup.app.settings.backdir);
    fs::create_directories(setup.app.settings.backdir);
    setup.page->backUp();
    EXPECT_TRUE(fs::exists(setup.app.settings.backdir + "/UDSID.csv"));
    EXPECT_TRUE(fs::is_directory(setup.app.settings.backdir + "/orbits"));
    EXPECT_TRUE(setup.db().modified);
}

TEST(CPageSetup, BlackAndWhiteTogglesWithoutForgettingUnsavedChanges)
{
    SetupPage setup;
    setup.page->initialise();
    setup.db().modified = true;
    setup.page->toggleBlackAndWhite();
    EXPECT_TRUE(setup.page->blackAndWhite());
    EXPECT_TRUE(setup.db().modified);
    setup.page->toggleBlackAndWhite();
    EXPECT_FALSE(setup.page->blackAndWhite());
}

TEST(CPageSetup, OrbitFileEditsMarkModifiedAndEnableReloadOnceNotBusy)
{
    SetupPage setup;
    setup.page->notify(CPageSetup::kFileEdited, 0, 0);
    EXPECT_FALSE(setup.page->reloadEnabled());
    setup.page->initialise();
    setup.page->notify(CPageSetup::kFileEdited, 0, 0);
    EXPECT_TRUE(setup.page->reloadEnabled());
    EXPECT_TRUE(setup.db().modified);
}

TEST(CPageSetupDeathTest, BackupFolderWithoutRoomForOrbitsIsFatal)
{
    SetupPage setup;
    setup.page->initialise();
    writeFileBytes(setup.dir.file("afile"), "x");
    setup.scripted->answerPath(setup.dir.file("afile"));
    EXPECT_EXIT(setup.page->backUp(), ::testing::ExitedWithCode(247), "Cannot Create orbits Dir");
}
