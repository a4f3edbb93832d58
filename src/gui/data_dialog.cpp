// The date dialog: six spin fields, the mjd and sol edits and their status labels.
#include "gui/data_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <array>

#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "pages/data_dlg.h"

namespace {

class DataDialog final : public QDialog {
public:
    DataDialog(CDataDlg& model, QWidget* parent) : QDialog(parent), m_model(model)
    {
        setWindowTitle(qs(model.title()));
        auto* grid = new QGridLayout(this);
        const char* labels[] = {"year", "month", "day", "hour", "min", "sec"};
        const int limits[][2] = {{1900, 2099}, {1, 12}, {1, 31}, {0, 23}, {0, 59}, {0, 59}};
        for (int i = 0; i < CDataDlg::kFieldCount; ++i) {
            auto* spin = new QSpinBox(this);
            spin->setRange(limits[i][0], limits[i][1]);
            grid->addWidget(new QLabel(labels[i], this), 0, i);
            grid->addWidget(spin, 1, i);
            m_fields[static_cast<std::size_t>(i)] = spin;
            connect(spin, &QSpinBox::valueChanged, this, [this, i](int value) {
                if (m_showing)
                    return;
                m_model.setField(static_cast<CDataDlg::Field>(i), value);
                showModel();
            });
        }
        m_mjd = new QLineEdit(this);
        m_sol = new QLineEdit(this);
        m_mjdStatus = new QLabel(this);
        m_solStatus = new QLabel(this);
        grid->addWidget(new QLabel("mjd", this), 2, 0);
        grid->addWidget(m_mjd, 2, 1, 1, 3);
        grid->addWidget(m_mjdStatus, 2, 4, 1, 2);
        grid->addWidget(new QLabel("sol", this), 3, 0);
        grid->addWidget(m_sol, 3, 1, 1, 3);
        grid->addWidget(m_solStatus, 3, 4, 1, 2);
        connect(m_mjd, &QLineEdit::textEdited, this, [this](const QString& text) {
            m_model.typeMjd(text.toStdString());
            showModel(m_mjd);
        });
        connect(m_sol, &QLineEdit::textEdited, this, [this](const QString& text) {
            m_model.typeSol(text.toStdString());
            showModel(m_sol);
        });
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        grid->addWidget(buttons, 4, 0, 1, 6);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        showModel();
    }

private:
    // Shows the model; the edit being typed into keeps its text.
    void showModel(QLineEdit* typing = nullptr)
    {
        m_showing = true;
        for (int i = 0; i < CDataDlg::kFieldCount; ++i)
            m_fields[static_cast<std::size_t>(i)]->setValue(
                m_model.field(static_cast<CDataDlg::Field>(i)));
        if (typing != m_mjd)
            m_mjd->setText(qs(m_model.mjdText()));
        if (typing != m_sol)
            m_sol->setText(qs(m_model.solText()));
        m_mjdStatus->setText(qs(m_model.mjdStatus()));
        m_solStatus->setText(qs(m_model.solStatus()));
        m_showing = false;
    }

    CDataDlg& m_model;
    std::array<QSpinBox*, CDataDlg::kFieldCount> m_fields{};
    QLineEdit* m_mjd;
    QLineEdit* m_sol;
    QLabel* m_mjdStatus;
    QLabel* m_solStatus;
    bool m_showing = false;
};

} // namespace

void registerDataDialog(QtUi& qtUi)
{
    qtUi.registerDialog("CDataDlg", [](DialogModel& model, QWidget* parent) {
        return std::make_unique<DataDialog>(static_cast<CDataDlg&>(model), parent);
    });
}
