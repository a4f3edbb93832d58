// The start-up splash: repainted at once after each line is set.
#include "gui/splash_window.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

SplashWindow::SplashWindow() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Meteor orbit database", this));
    for (QLineEdit*& line : m_lines) {
        line = new QLineEdit(this);
        line->setReadOnly(true);
        line->setAlignment(Qt::AlignCenter);
        line->setFrame(false);
        layout->addWidget(line);
    }
    setFixedWidth(420);
}

void SplashWindow::setLine(int line, const std::string& text)
{
    m_lines[line]->setText(QString::fromStdString(text));
    repaint();
    QApplication::processEvents();
}
