// Bound edits and checks wired to their core logic.
#include "gui/ud_widgets.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QToolButton>

#include "views/ud_edit.h"

UDEditWidget::UDEditWidget(CUDEdit& edit, std::function<void()> edited, QWidget* parent)
    : QWidget(parent), m_edit(edit), m_edited(std::move(edited)), m_line(new QLineEdit(this)),
      m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    m_line->setFrame(true);
    connect(m_line, &QLineEdit::editingFinished, this, [this] {
        if (m_edit.readText(m_line->text().toStdString()))
            m_edited();
        showValue();
    });
    connect(m_up, &QToolButton::clicked, this, [this] { spin(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { spin(-1); });
    showValue();
}

void UDEditWidget::spin(int direction)
{
    if (direction > 0)
        m_edit.spinUp();
    else
        m_edit.spinDown();
    showValue();
    m_edited();
}

void UDEditWidget::showValue() { m_line->setText(QString::fromStdString(m_edit.text())); }

void UDEditWidget::resizeEvent(QResizeEvent*)
{
    constexpr int kSpinWidth = 8;
    const int w = width(), h = height();
    m_line->setGeometry(0, 0, w - kSpinWidth, h);
    m_up->setGeometry(w - kSpinWidth, 0, kSpinWidth, h / 2);
    m_down->setGeometry(w - kSpinWidth, h / 2, kSpinWidth, h - h / 2);
}

UDCheckWidgets::UDCheckWidgets(CUDCheck& check, const std::function<void()>& changed,
                               QWidget* parent)
    : m_check(check), m_box(new QCheckBox(QString::fromStdString(check.def().label), parent)),
      m_first(new UDEditWidget(check.first(), changed, parent))
{
    if (check.second())
        m_second = new UDEditWidget(*check.second(), changed, parent);
    QObject::connect(m_box, &QCheckBox::clicked, parent, [this, changed](bool on) {
        m_check.click(on);
        changed();
    });
    showValues();
}

void UDCheckWidgets::showValues()
{
    m_box->setChecked(m_check.checked());
    m_first->showValue();
    if (m_second)
        m_second->showValue();
}
