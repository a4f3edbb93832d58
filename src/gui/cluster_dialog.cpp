// The clustering dialog in Qt: five parameter fields, the progress texts, the run log, Start
// and Stop; it refuses to close while the worker runs and closes itself when it has ended.
#include "gui/cluster_dialog.h"

#include <QCloseEvent>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "cluster/worker_channel.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "pages/cluster_dlg.h"

namespace {

// Runs each update on the dialog's (the interface) thread and waits for it there.
class QtWorkerChannel final : public WorkerChannel {
public:
    explicit QtWorkerChannel(QObject* context) : m_context(context) {}
    void deliver(const std::function<void()>& update) override
    {
        QMetaObject::invokeMethod(
            m_context, [&update] { update(); }, Qt::BlockingQueuedConnection);
    }

private:
    QObject* m_context;
};

// A bound numeric edit: the text field and its spin arrows.
class FieldWidget final : public QWidget {
public:
    FieldWidget(CUDEdit& edit, QWidget* parent) : QWidget(parent), m_edit(edit)
    {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        m_text = new QLineEdit(this);
        m_text->setFixedWidth(edit.def().editWidth * 2);
        layout->addWidget(m_text);
        auto* arrows = new QVBoxLayout;
        arrows->setSpacing(0);
        for (const bool up : {true, false}) {
            auto* arrow = new QToolButton(this);
            arrow->setArrowType(up ? Qt::UpArrow : Qt::DownArrow);
            arrow->setFixedSize(16, 11);
            connect(arrow, &QToolButton::clicked, this, [this, up] {
                up ? m_edit.spinUp() : m_edit.spinDown();
                showValue();
            });
            arrows->addWidget(arrow);
        }
        layout->addLayout(arrows);
        connect(m_text, &QLineEdit::editingFinished, this, [this] {
            m_edit.readText(m_text->text().toStdString());
            showValue();
        });
        showValue();
    }
    void showValue() { m_text->setText(qs(m_edit.text())); }

private:
    CUDEdit& m_edit;
    QLineEdit* m_text;
};

class ClusterDialog final : public QDialog {
public:
    ClusterDialog(CClusterDlg& model, QWidget* parent)
        : QDialog(parent), m_model(model), m_channel(this)
    {
        setWindowTitle(CClusterDlg::kTitle);
        auto* layout = new QVBoxLayout(this);
        auto* fields = new QGridLayout;
        for (CUDEdit& edit : m_model.fields()) {
            const int column = edit.def().x > 100 ? 2 : 0;
            const int row = (edit.def().y - 10) / 20;
            auto* label = new QLabel(qs(edit.def().label), this);
            label->setMinimumWidth(edit.def().labelWidth);
            fields->addWidget(label, row, column);
            auto* field = new FieldWidget(edit, this);
            fields->addWidget(field, row, column + 1);
            m_fields.push_back(field);
        }
        layout->addLayout(fields);
        m_condition = new QLabel(qs(m_model.conditionText()), this);
        m_total = new QLabel(qs(m_model.totalText()).trimmed(), this);
        m_currentCount = new QLabel(this);
        m_currentOrbit = new QLabel(this);
        for (QLabel* label : {m_condition, m_total, m_currentCount, m_currentOrbit})
            layout->addWidget(label);
        m_progress = new QProgressBar(this);
        m_progress->setRange(0, std::max(1, m_model.candidateCount()));
        layout->addWidget(m_progress);
        m_log = new QPlainTextEdit(this);
        m_log->setReadOnly(true);
        m_log->setMinimumSize(360, 140);
        layout->addWidget(m_log, 1);
        auto* buttons = new QHBoxLayout;
        m_start = new QPushButton(CClusterDlg::kStartText, this);
        m_stop = new QPushButton(CClusterDlg::kStopText, this);
        buttons->addStretch();
        buttons->addWidget(m_start);
        buttons->addWidget(m_stop);
        layout->addLayout(buttons);
        connect(m_start, &QPushButton::clicked, this, [this] { m_model.start(m_channel); });
        connect(m_stop, &QPushButton::clicked, this, [this] { m_model.stop(); });
        m_model.changed = [this] { showState(); };
        m_model.closeRequested = [this] {
            QMetaObject::invokeMethod(
                this, [this] { accept(); }, Qt::QueuedConnection);
        };
        showState();
    }
    ~ClusterDialog() override
    {
        // The worker may still be returning from its last delivery through m_channel.
        m_model.joinWorker();
        m_model.changed = [] {};
        m_model.closeRequested = [] {};
    }

    // OK, Cancel, Enter and Escape end the dialog only while no run is going.
    void done(int result) override
    {
        if (m_model.canClose())
            QDialog::done(result);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (m_model.canClose())
            QDialog::closeEvent(event);
        else
            event->ignore();
    }

private:
    void showState()
    {
        m_currentCount->setText(qs(m_model.currentCountText()));
        m_currentOrbit->setText(qs(m_model.currentOrbitText()));
        m_progress->setValue(m_model.swept());
        const QString log = qs(m_model.log());
        if (log != m_log->toPlainText()) {
            m_log->setPlainText(log);
            m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
        }
        m_start->setEnabled(m_model.startEnabled());
        m_stop->setEnabled(m_model.stopEnabled());
        for (FieldWidget* field : m_fields) {
            field->setEnabled(m_model.fieldsEnabled());
            field->showValue();
        }
    }

    CClusterDlg& m_model;
    QtWorkerChannel m_channel;
    std::vector<FieldWidget*> m_fields;
    QLabel* m_condition;
    QLabel* m_total;
    QLabel* m_currentCount;
    QLabel* m_currentOrbit;
    QProgressBar* m_progress;
    QPlainTextEdit* m_log;
    QPushButton* m_start;
    QPushButton* m_stop;
};

} // namespace

void registerClusterDialog(QtUi& qtUi)
{
    qtUi.registerDialog("CClusterDlg", [](DialogModel& model, QWidget* parent) {
        return std::make_unique<ClusterDialog>(static_cast<CClusterDlg&>(model), parent);
    });
}
