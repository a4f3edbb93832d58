// The progress dialog of long commands.
#include "gui/progress_feedback.h"

#include <QApplication>

ProgressFeedback::ProgressFeedback(const QString& title, QWidget* parent)
    : m_title(title), m_owner(parent ? parent->window() : nullptr)
{
}

ProgressFeedback::~ProgressFeedback() = default;

// Made only now: a progress dialog shows itself a few seconds after its creation, which must
// not happen while the command still asks for its file and target.
void ProgressFeedback::createDialog()
{
    m_dialog = std::make_unique<QProgressDialog>(m_title, "Cancel", 0, 0, m_owner.data());
    m_dialog->setWindowTitle("Orvantella");
    m_dialog->setWindowModality(Qt::WindowModal);
    // The bar of an unknown total sits at its maximum: no reset may clear a cancel.
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setMinimumDuration(0);
    // Cancel, Escape and closing the dialog all stop the work.
    QObject::connect(m_dialog.get(), &QProgressDialog::canceled, m_dialog.get(),
                     [this] { m_cancelled = true; });
    QObject::connect(m_dialog.get(), &QDialog::rejected, m_dialog.get(),
                     [this] { m_cancelled = true; });
    m_dialog->show();
}

void ProgressFeedback::progress(const std::string& step, std::int64_t done, std::int64_t total)
{
    if (!m_dialog)
        createDialog();
    m_dialog->setMaximum(total > 0 ? static_cast<int>(std::min<std::int64_t>(total, INT32_MAX))
                                   : 0);
    m_dialog->setValue(total > 0 ? static_cast<int>(std::min(done, total)) : 0);
    m_dialog->setLabelText(
        QString("%1: %2 lines read").arg(QString::fromStdString(step)).arg(done));
    QApplication::processEvents();
}

bool ProgressFeedback::cancelled() const
{
    return m_cancelled || (m_dialog && m_dialog->wasCanceled());
}
