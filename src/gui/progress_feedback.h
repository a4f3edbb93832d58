#pragma once
// Progress of long work in a progress dialog, modal to the main window, that appears with the
// first progress report (never over the choices before the work) and offers Cancel.

#include <QPointer>
#include <QProgressDialog>
#include <memory>

#include "platform/feedback.h"

class ProgressFeedback final : public Feedback {
public:
    // The dialog belongs to the window of parent.
    ProgressFeedback(const QString& title, QWidget* parent);
    ~ProgressFeedback() override;
    void progress(const std::string& step, std::int64_t done, std::int64_t total) override;
    bool cancelled() const override;
    // The dialog once the work has reported progress, else nullptr.
    QProgressDialog* dialog() const { return m_dialog.get(); }

private:
    void createDialog();

    QString m_title;
    QPointer<QWidget> m_owner;
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};
