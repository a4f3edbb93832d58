#pragma once
// Progress of long work in a modal progress dialog that keeps the window
// painted and offers Cancel.

#include <QProgressDialog>

#include "platform/feedback.h"

class ProgressFeedback final : public Feedback {
public:
    ProgressFeedback(const QString& title, QWidget* parent);
    void progress(const std::string& step, std::int64_t done, std::int64_t total) override;
    bool cancelled() const override;

private:
    QProgressDialog m_dialog;
};
