// The record editor and column chooser dialogs.
#include "gui/table_dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "views/cell_format.h"
#include "views/edit_line_dlg.h"
#include "views/rs_dlg.h"

EditRecordDialog::EditRecordDialog(CEditLineDlg& model, QWidget* parent)
    : QDialog(parent), m_model(model)
{
    setWindowTitle(qs(model.title()));
    auto* fields = new QWidget;
    auto* form = new QFormLayout(fields);
    const auto& modelFields = model.fields();
    for (std::size_t i = 0; i < modelFields.size(); ++i) {
        auto* edit = new QLineEdit(qs(modelFields[i].text));
        edit->setObjectName(QString("edit%1").arg(CEditLineDlg::kFirstEditId + int(i)));
        edit->setReadOnly(modelFields[i].readOnly);
        edit->setMaxLength(static_cast<int>(kMaxTypedChars));
        form->addRow(qs(modelFields[i].label), edit);
        m_edits.push_back(edit);
    }
    // The orbit table has more fields than a screen is high.
    auto* scroll = new QScrollArea;
    scroll->setWidget(fields);
    scroll->setWidgetResizable(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    if (model.deleteOffered()) {
        QPushButton* erase = buttons->addButton("Delete This Item", QDialogButtonBox::ActionRole);
        connect(erase, &QPushButton::clicked, this, &EditRecordDialog::deleteItem);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &EditRecordDialog::acceptFields);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addWidget(buttons);
    resize(420, 560);
}

void EditRecordDialog::acceptFields()
{
    for (std::size_t i = 0; i < m_edits.size(); ++i)
        m_model.setText(static_cast<int>(i), m_edits[i]->text().toStdString());
    if (m_model.accept())
        accept();
}

void EditRecordDialog::deleteItem()
{
    m_model.pressDelete();
    reject();
}

RowSelectDialog::RowSelectDialog(CRSDlg& model, QWidget* parent)
    : QDialog(parent), m_model(model), m_lines(new QTreeWidget)
{
    setWindowTitle(kRowSelectDialog);
    m_lines->setObjectName(QString("list%1").arg(CRSDlg::kListId));
    m_lines->setColumnCount(2);
    m_lines->setHeaderLabels({QString(), "ON"});
    m_lines->setRootIsDecorated(false);
    m_lines->header()->setStretchLastSection(false);
    m_lines->setColumnWidth(0, 100);
    m_lines->setColumnWidth(1, 32);
    for (int line = 0; line < model.lineCount(); ++line)
        m_lines->addTopLevelItem(new QTreeWidgetItem({qs(model.name(line)), QString()}));
    showMarks();
    connect(m_lines, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        m_model.click(m_lines->indexOfTopLevelItem(item));
        showMarks();
    });
    auto* allOn = new QPushButton("allOn");
    auto* allOff = new QPushButton("allOff");
    connect(allOn, &QPushButton::clicked, this, [this] {
        m_model.allOn();
        showMarks();
    });
    connect(allOff, &QPushButton::clicked, this, [this] {
        m_model.allOff();
        showMarks();
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* switches = new QHBoxLayout;
    switches->addWidget(allOn);
    switches->addWidget(allOff);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lines);
    layout->addLayout(switches);
    layout->addWidget(buttons);
}

void RowSelectDialog::showMarks()
{
    for (int line = 0; line < m_model.lineCount(); ++line)
        m_lines->topLevelItem(line)->setText(1, qs(m_model.mark(line)));
}

void registerTableDialogs(QtUi& qtUi)
{
    qtUi.registerDialog(kEditRecordDialog, [](DialogModel& model, QWidget* parent) {
        return std::make_unique<EditRecordDialog>(static_cast<CEditLineDlg&>(model), parent);
    });
    qtUi.registerDialog(kRowSelectDialog, [](DialogModel& model, QWidget* parent) {
        return std::make_unique<RowSelectDialog>(static_cast<CRSDlg&>(model), parent);
    });
}
