#pragma once
// The QApplication of the GUI tests, a way to answer modal boxes, and an empty
// application with the Qt interface installed for window tests.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/app_context.h"
#include "gui/qt_ui.h"

QApplication& testApplication();

// An application with an empty database and the Qt interface as the user's.
struct WindowFixture {
    QtUi qtUi;
    AppContext app;
    WindowFixture()
    {
        testApplication();
        setUi(&qtUi);
        app.settings.mdbdir = "/tmp/MDB";
        app.db = std::make_unique<Database>();
    }
    ~WindowFixture() { setUi(nullptr); }
};

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
