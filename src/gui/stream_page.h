#pragma once
// The Stream page's widget: the list combo and buttons above the stream view, the grouping
// buttons, options and scales in the band below it, and the view's popup menu.

#include <QWidget>
#include <array>

class CPageStream;
class ListView;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

class StreamPage final : public QWidget {
    Q_OBJECT
public:
    StreamPage(CPageStream& page, QWidget* parent = nullptr);

    CPageStream& page() const { return m_page; }
    ListView* streamView() const { return m_view; }
    QComboBox* listCombo() const { return m_lists; }
    QPushButton* button(const QString& text) const;
    QCheckBox* option(const QString& text) const;
    QSpinBox* scale(int index) const { return m_scales[static_cast<std::size_t>(index)]; }
    // Shows the page's state: the combo, the options and the scales.
    void showState();
    // The grouping buttons' commands, with their progress dialogs (also the Analysis menu's).
    void rvgGrouping();
    void dprimeGrouping();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPushButton* makeButton(const char* text, void (StreamPage::*slot)());
    QCheckBox* makeOption(const char* text, void (CPageStream::*set)(bool));
    void addToolTips();
    void eraseGrouping();
    void newStream();
    void deleteAll();
    void exportList();
    void showMenu();

    CPageStream& m_page;
    bool m_showing = false;
    QLabel* m_listLabel;
    QComboBox* m_lists;
    QPushButton* m_new;
    QPushButton* m_deleteAll;
    QPushButton* m_export;
    QPushButton* m_rvg;
    QPushButton* m_dprime;
    QPushButton* m_erase;
    QCheckBox* m_dAndR;
    QCheckBox* m_exclusive;
    QCheckBox* m_pri;
    std::array<QLabel*, 3> m_scaleLabels{};
    std::array<QSpinBox*, 3> m_scales{};
    ListView* m_view;
};
