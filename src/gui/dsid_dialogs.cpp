// Qt dialogs over CDSIDdlg and CDSIDSDlg.
#include "gui/dsid_dialogs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "mdb/dsid_dialog.h"
#include "pages/dsid_select_dialog.h"

namespace {

class DsidAddDialog final : public QDialog {
public:
    DsidAddDialog(CDSIDdlg& model, QWidget* parent) : QDialog(parent), m_model(model)
    {
        setWindowTitle(CDSIDdlg::kTitle);
        auto* layout = new QVBoxLayout(this);
        auto* kinds = new QButtonGroup(this);
        for (int kind : CDSIDdlg::kKindOrder) {
            auto* radio = new QRadioButton(dsidKind(kind).label, this);
            radio->setChecked(kind == model.kind());
            kinds->addButton(radio, kind);
            layout->addWidget(radio);
        }
        layout->addWidget(new QLabel(CDSIDdlg::kPrompt, this));
        m_number = new QLineEdit(qs(model.numberText), this);
        layout->addWidget(m_number);
        layout->addWidget(new QLabel(CDSIDdlg::kCapacityNote, this));
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        layout->addWidget(buttons);
        connect(kinds, &QButtonGroup::idClicked, this, [this](int kind) {
            m_model.chooseKind(kind);
            m_number->setText(qs(m_model.numberText));
        });
        connect(buttons, &QDialogButtonBox::accepted, this, [this] {
            m_model.numberText = m_number->text().toStdString();
            if (m_model.ok())
                accept();
        });
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }

private:
    CDSIDdlg& m_model;
    QLineEdit* m_number;
};

QComboBox* comboOf(const std::vector<CDSIDSDlg::Item>& items, int selection, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    for (const CDSIDSDlg::Item& item : items)
        combo->addItem(qs(item.text));
    combo->setCurrentIndex(selection);
    return combo;
}

class DsidSelectDialog final : public QDialog {
public:
    DsidSelectDialog(CDSIDSDlg& model, QWidget* parent) : QDialog(parent)
    {
        setWindowTitle(CDSIDSDlg::kTitle);
        auto* layout = new QVBoxLayout(this);
        auto* text = new QLabel(qs(model.messageText()), this);
        text->setWordWrap(true);
        layout->addWidget(text);
        auto* form = new QFormLayout;
        auto* dsids = comboOf(model.dsidItems(), model.dsidSelection(), this);
        form->addRow(CDSIDSDlg::kDsidLabel, dsids);
        connect(dsids, &QComboBox::currentIndexChanged, this,
                [&model](int item) { model.selectDsid(item); });
        if (model.showsOrbitFileChoice()) {
            auto* files = comboOf(model.orbitFileItems(), model.orbitFileSelection(), this);
            form->addRow(CDSIDSDlg::kOrbitFileLabel, files);
            connect(files, &QComboBox::currentIndexChanged, this,
                    [&model](int item) { model.selectOrbitFile(item); });
        }
        if (model.showsFilters())
            addFilterFields(model, form);
        layout->addLayout(form);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, [this, &model] {
            if (model.ok())
                accept();
        });
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }

private:
    // One field a filter, empty for no limit, its text kept in the model as it is edited.
    void addFilterFields(CDSIDSDlg& model, QFormLayout* form)
    {
        for (std::size_t field = 0; field < kImportFilterNames.size(); ++field) {
            auto* edit = new QLineEdit(qs(model.filterTexts[field]), this);
            edit->setObjectName(kImportFilterNames[field].option);
            form->addRow(kImportFilterNames[field].label, edit);
            connect(edit, &QLineEdit::textChanged, this, [&model, field](const QString& text) {
                model.filterTexts[field] = text.toStdString();
            });
        }
    }
};

} // namespace

void registerDsidDialogs(QtUi& qtUi)
{
    qtUi.registerDialog("CDSIDdlg", [](DialogModel& model, QWidget* parent) {
        return std::make_unique<DsidAddDialog>(static_cast<CDSIDdlg&>(model), parent);
    });
    qtUi.registerDialog("CDSIDSDlg", [](DialogModel& model, QWidget* parent) {
        return std::make_unique<DsidSelectDialog>(static_cast<CDSIDSDlg&>(model), parent);
    });
}
