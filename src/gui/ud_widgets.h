#pragma once
// The widgets of the bound controls: a numeric edit with spin buttons over
// CUDEdit, and a check box with its edits over CUDCheck.

#include <QWidget>
#include <functional>

class CUDCheck;
class CUDEdit;
class QCheckBox;
class QLineEdit;
class QToolButton;

class UDEditWidget final : public QWidget {
    Q_OBJECT
public:
    // edited runs after the text was taken or a spin button pressed.
    UDEditWidget(CUDEdit& edit, std::function<void()> edited, QWidget* parent = nullptr);
    QLineEdit* lineEdit() const { return m_line; }
    // Shows the bound variable again.
    void showValue();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void spin(int direction);

    CUDEdit& m_edit;
    std::function<void()> m_edited;
    QLineEdit* m_line;
    QToolButton* m_up;
    QToolButton* m_down;
};

// The check box and the edit widgets of one condition row, placed by the page.
class UDCheckWidgets {
public:
    UDCheckWidgets(CUDCheck& check, const std::function<void()>& changed, QWidget* parent);
    QCheckBox* box() const { return m_box; }
    UDEditWidget* first() const { return m_first; }
    UDEditWidget* second() const { return m_second; }
    void showValues();

private:
    CUDCheck& m_check;
    QCheckBox* m_box;
    UDEditWidget* m_first;
    UDEditWidget* m_second = nullptr;
};
