// The DSID select dialog of the import in the window: its filter fields, a bad limit named in a
// message with the dialog left open, and the limits the model reads at OK.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

#include "gui/dsid_dialogs.h"
#include "gui_test_support.h"
#include "mdb/schema.h"
#include "pages/dsid_select_dialog.h"

namespace {

ModalAnswers::Answer typeAndPressOk(const char* option, const char* text)
{
    return [option, text](QWidget* modal) {
        modal->findChild<QLineEdit*>(option)->setText(text);
        modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    };
}

TEST(DsidSelectDialog, FilterFieldsKeepTheDialogOpenUntilTheirLimitsAreNumbers)
{
    WindowFixture f;
    registerDsidDialogs(f.qtUi);
    Database& db = *f.app.db;
    const int row = db.dsids.addRow();
    db.dsids.cell(row, col::Dsid::DSID)->number = 41000;
    db.dsids.cell(row, col::Dsid::use)->number = 1;
    db.dsids.setText(row, col::Dsid::code, "WK");
    db.sources.markInUse();
    CDSIDSDlg dialog(f.app, "Import orbits", false);
    dialog.askFilters();
    ModalAnswers answers({typeAndPressOk("--max-vg", "fast"), pressButton(QMessageBox::Ok),
                          typeAndPressOk("--max-vg", "72.5")});
    ASSERT_TRUE(dialog.exec());
    EXPECT_EQ(answers.answered(), 3);
    EXPECT_EQ(answers.unexpected(), 0);
    EXPECT_EQ(dialog.filters().maxVgKms, 72.5);
    EXPECT_FALSE(dialog.filters().minQcDeg.has_value());
}

} // namespace
