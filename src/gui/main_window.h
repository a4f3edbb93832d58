#pragma once
// The main window: two tab sheets side by side.

#include <QWidget>

class QTabWidget;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    QTabWidget* leftSheet() const { return m_left; }
    QTabWidget* rightSheet() const { return m_right; }

private:
    QTabWidget* m_left;
    QTabWidget* m_right;
};
