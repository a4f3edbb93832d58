// The two sheets and their pages.
#include "gui/main_window.h"

#include <QHBoxLayout>
#include <QTabWidget>

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent), m_left(new QTabWidget(this)), m_right(new QTabWidget(this))
{
    setWindowTitle("Orvantella");
    for (const char* page : {"Set Up", "Stream", "Orbit"})
        m_left->addTab(new QWidget(m_left), page);
    for (const char* page : {"Radiant Map", "Sky Map", "Orbit Map"})
        m_right->addTab(new QWidget(m_right), page);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    layout->addWidget(m_left, 0);
    layout->addWidget(m_right, 1);
    m_left->setFixedWidth(383);
    setMinimumSize(768, 560);
    setMaximumSize(1900, 1200);
}
