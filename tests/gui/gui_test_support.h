#pragma once
// The QApplication of the GUI tests and a way to answer modal boxes.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

QApplication& testApplication();

// Runs action; each modal widget that appears meanwhile is handed to
// answer (in order). A modal widget with no answer left is rejected and
// counted, so an unexpected box fails the test instead of hanging it.
class ModalAnswers {
public:
    using Answer = std::function<void(QWidget* modal)>;
    explicit ModalAnswers(std::vector<Answer> answers);
    ~ModalAnswers();
    int unexpected() const { return m_unexpected; }
    int answered() const { return m_answered; }

private:
    void poll();
    std::vector<Answer> m_answers;
    QTimer m_timer;
    int m_unexpected = 0;
    int m_answered = 0;
    QWidget* m_answering = nullptr;
};

// Presses the button of a message box with that standard role.
ModalAnswers::Answer pressButton(QMessageBox::StandardButton button);
