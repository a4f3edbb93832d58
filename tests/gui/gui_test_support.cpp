// The shared QApplication and the modal-box answerer of the GUI tests.
#include "gui_test_support.h"

#include <QAbstractButton>
#include <clocale>

// Never destroyed: at exit Qt's input devices would outlive the registry
// they unregister from.
QApplication& testApplication()
{
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    auto* application = new QApplication(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return *application;
}

ModalAnswers::ModalAnswers(std::vector<Answer> answers) : m_answers(std::move(answers))
{
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start(20);
}

ModalAnswers::~ModalAnswers() { m_timer.stop(); }

// Answers run from their own zero-time timer, so that the polling timer
// keeps firing while an answer waits in a nested box of its own.
void ModalAnswers::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == m_answering)
        return;
    m_answering = modal;
    QTimer::singleShot(0, modal, [this, modal] {
        if (static_cast<std::size_t>(m_answered) < m_answers.size()) {
            m_answers[static_cast<std::size_t>(m_answered++)](modal);
        } else {
            ++m_unexpected;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
        if (m_answering == modal)
            m_answering = nullptr;
    });
}

ModalAnswers::Answer pressButton(QMessageBox::StandardButton button)
{
    return [button](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            box->button(button)->click();
    };
}
