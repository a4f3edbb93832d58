#pragma once
// The Orbit page's widget: the date fields, the condition rows, the SC field,
// the command buttons and check boxes around the orbit list, over CPageOrbit.

#include <QWidget>
#include <memory>
#include <vector>

#include "gui/ud_widgets.h"

class CPageOrbit;
class ListView;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class OrbitPage final : public QWidget {
    Q_OBJECT
public:
    OrbitPage(CPageOrbit& page, QWidget* parent = nullptr);
    ~OrbitPage() override;

    CPageOrbit& page() const { return m_page; }
    ListView* orbitView() const { return m_list; }
    QLineEdit* cellCodeField() const { return m_code; }
    QLabel* solLabel() const { return m_sol; }
    QPushButton* conditionStreamsButton() const { return m_conditionStreams; }
    // Shows the page's state: the date, the conditions, SC and its code.
    void showState();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPushButton* button(const char* text, void (CPageOrbit::*command)());
    QCheckBox* checkBox(const char* text, void (CPageOrbit::*toggle)(bool));
    void showMenu(int line);
    void addToolTips();

    CPageOrbit& m_page;
    std::vector<UDEditWidget*> m_date;
    std::vector<std::unique_ptr<UDCheckWidgets>> m_conditions;
    QLabel* m_sol;
    QLabel* m_codeLabel;
    QLineEdit* m_code;
    QLabel* m_refLabel;
    QLabel* m_widthLabel;
    QCheckBox* m_streamCheck;
    QCheckBox* m_allYears;
    QCheckBox* m_selOnly;
    QCheckBox* m_useOnly;
    std::vector<QPushButton*> m_sideButtons;
    QPushButton* m_conditionStreams;
    QPushButton* m_export;
    QPushButton* m_count;
    ListView* m_list;
    bool m_showing = false;
};
