// The Qt dialog over CSSELDlg.
#include "gui/ssel_dialog.h"

#include <algorithm>

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "pages/ssel_dlg.h"

namespace {

class StreamSelectionDialog final : public QDialog {
public:
    StreamSelectionDialog(CSSELDlg& model, QWidget* parent) : QDialog(parent), m_model(model)
    {
        setWindowTitle(qs(model.title()));
        m_table =
            new QTableWidget(model.rowCount(), static_cast<int>(model.columns().size()), this);
        m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
        m_table->setSelectionMode(QAbstractItemView::SingleSelection);
        m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        m_table->verticalHeader()->hide();
        m_table->verticalHeader()->setDefaultSectionSize(18);
        for (int c = 0; c < static_cast<int>(model.columns().size()); ++c) {
            m_table->setHorizontalHeaderItem(c, new QTableWidgetItem(qs(model.columns()[c].title)));
            m_table->setColumnWidth(c, model.columns()[c].width);
        }
        showRows();
        // The widths are those of the original's font: wider where this font needs it.
        m_table->resizeColumnsToContents();
        for (int c = 0; c < m_table->columnCount(); ++c)
            m_table->setColumnWidth(c, std::max(m_table->columnWidth(c), model.columns()[c].width));
        if (model.scrollLine() >= 0)
            m_table->scrollToItem(m_table->item(model.scrollLine(), 0));
        m_table->installEventFilter(this);
        connect(m_table, &QTableWidget::cellClicked, this, [this](int line, int) {
            m_model.click(line);
            showRows();
        });
        connect(m_table, &QTableWidget::cellDoubleClicked, this, [this](int, int) { accept(); });

        auto* layout = new QVBoxLayout(this);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        auto* top = new QHBoxLayout;
        top->addWidget(buttons);
        if (model.showsAllButtons()) {
            top->addWidget(button("all On", &CSSELDlg::allOn));
            top->addWidget(button("all Off", &CSSELDlg::allOff));
        }
        layout->addLayout(top);
        layout->addWidget(m_table, 1);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        resize(model.mode() == CSSELDlg::kSelect ? CSSELDlg::kSelectWidth : 320, 420);
    }

    QTableWidget* table() const { return m_table; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_table && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_model.setSelectedLine(m_table->currentRow());
                const bool confirmed = m_model.enter();
                showRows();
                if (confirmed)
                    accept();
                return true;
            }
        }
        return QDialog::eventFilter(watched, event);
    }

private:
    QPushButton* button(const char* text, void (CSSELDlg::*command)())
    {
        auto* pushButton = new QPushButton(text, this);
        connect(pushButton, &QPushButton::clicked, this, [this, command] {
            (m_model.*command)();
            showRows();
        });
        return pushButton;
    }
    void showRows()
    {
        for (int line = 0; line < m_model.rowCount(); ++line)
            for (int c = 0; c < m_table->columnCount(); ++c) {
                auto* item = m_table->item(line, c);
                if (!item) {
                    item = new QTableWidgetItem;
                    m_table->setItem(line, c, item);
                }
                item->setText(qs(m_model.cellText(line, c)));
            }
    }

    CSSELDlg& m_model;
    QTableWidget* m_table;
};

} // namespace

void registerStreamDialogs(QtUi& qtUi)
{
    qtUi.registerDialog("CSSELDlg", [](DialogModel& model, QWidget* parent) {
        return std::make_unique<StreamSelectionDialog>(static_cast<CSSELDlg&>(model), parent);
    });
}
