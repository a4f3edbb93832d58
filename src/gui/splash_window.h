#pragma once
// The splash window shown while the program starts: three read-only lines.

#include <QWidget>

#include "app/startup.h"

class QLineEdit;

class SplashWindow final : public QWidget, public Splash {
public:
    SplashWindow();
    void setLine(int line, const std::string& text) override;

private:
    QLineEdit* m_lines[3];
};
