#pragma once
// The Set Up page's widget: the controls of CPageSetup, placed at their
// pixel positions around the three list views.

#include <QWidget>

class CPageSetup;
class ListView;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

class SetupPage final : public QWidget {
    Q_OBJECT
public:
    SetupPage(CPageSetup& page, QWidget* parent = nullptr);

    CPageSetup& page() const { return m_page; }
    QPushButton* saveTablesButton() const { return m_save; }
    QPushButton* reloadButton() const { return m_reload; }
    ListView* dsidView() const { return m_dsids; }
    ListView* streamListView() const { return m_lists; }
    // The stream-list view's popup menu (hidden until a right click asks for it).
    QMenu* listMenu() const { return m_listMenu; }
    // Shows the page's state: folder, buttons, the BW box.
    void showState();

signals:
    // The state was shown again; the modified flag may have changed.
    void stateShown();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPushButton* button(const char* text, void (SetupPage::*slot)());
    void chooseFolder();
    void createDsid();
    void saveTables();
    void backUp();
    void toggleBlackAndWhite();
    void createOrbitFile();
    void importOrbitFile();
    void reload();
    void createList();
    void importList();
    void showListMenu();

    CPageSetup& m_page;
    QLineEdit* m_folder;
    QPushButton* m_browse;
    QPushButton* m_createDsid;
    QPushButton* m_save;
    QPushButton* m_backUp;
    QCheckBox* m_blackAndWhite;
    QPushButton* m_createList;
    QPushButton* m_importList;
    QPushButton* m_createFile;
    QPushButton* m_importFile;
    QPushButton* m_reload;
    QLabel* m_version;
    QLabel* m_labels[4];
    ListView* m_dsids;
    ListView* m_lists;
    ListView* m_files;
    QMenu* m_listMenu;
};
