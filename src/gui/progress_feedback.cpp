// The progress dialog of long commands.
#include "gui/progress_feedback.h"

#include <QApplication>

ProgressFeedback::ProgressFeedback(const QString& title, QWidget* parent)
    : m_dialog(title, "Cancel", 0, 0, parent)
{
    m_dialog.setWindowTitle("Orvantella");
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(500);
}

void ProgressFeedback::progress(const std::string& step, std::int64_t done, std::int64_t total)
{
    m_dialog.setMaximum(total > 0 ? static_cast<int>(std::min<std::int64_t>(total, INT32_MAX)) : 0);
    m_dialog.setValue(total > 0 ? static_cast<int>(std::min(done, total)) : 0);
    m_dialog.setLabelText(QString("%1: %2 lines read").arg(QString::fromStdString(step)).arg(done));
    QApplication::processEvents();
}

bool ProgressFeedback::cancelled() const { return m_dialog.wasCanceled(); }
