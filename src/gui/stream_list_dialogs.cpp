// The Qt dialog over CIauStatusDlg.
#include "gui/stream_list_dialogs.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/qt_ui.h"
#include "streams/iau_mdc.h"

namespace {

class IauStatusDialog final : public QDialog {
public:
    IauStatusDialog(CIauStatusDlg& model, QWidget* parent) : QDialog(parent)
    {
        setWindowTitle(CIauStatusDlg::kTitle);
        auto* layout = new QVBoxLayout(this);
        auto* choices = new QButtonGroup(this);
        const std::pair<IauStatusChoice, const char*> items[] = {
            {IauStatusChoice::Established, "established only"},
            {IauStatusChoice::Working, "established and working"},
            {IauStatusChoice::All, "all"}};
        for (const auto& [choice, text] : items) {
            auto* radio = new QRadioButton(text, this);
            radio->setChecked(choice == model.choice);
            choices->addButton(radio, static_cast<int>(choice));
            layout->addWidget(radio);
        }
        connect(choices, &QButtonGroup::idClicked, this,
                [&model](int choice) { model.choice = static_cast<IauStatusChoice>(choice); });
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }
};

} // namespace

void registerStreamListDialogs(QtUi& qtUi)
{
    qtUi.registerDialog("CIauStatusDlg", [](DialogModel& model, QWidget* parent) {
        return std::make_unique<IauStatusDialog>(static_cast<CIauStatusDlg&>(model), parent);
    });
}
