// Wiring the Set Up page's controls to CPageSetup.
#include "gui/setup_page.h"

#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "gui/list_view.h"
#include "gui/progress_feedback.h"
#include "pages/page_setup.h"

namespace {

constexpr int kRowHeight = 20;

} // namespace

SetupPage::SetupPage(CPageSetup& page, QWidget* parent) : QWidget(parent), m_page(page)
{
    const char* labels[] = {"MDB dir", "Data Source ID", "Stream List", "Orbit Files"};
    for (int i = 0; i < 4; ++i)
        m_labels[i] = new QLabel(labels[i], this);
    m_folder = new QLineEdit(this);
    m_folder->setReadOnly(true);
    m_browse = button("...", &SetupPage::chooseFolder);
    m_createDsid = button("create new DSID", &SetupPage::createDsid);
    m_save = button("Save Tables", &SetupPage::saveTables);
    m_backUp = button("BackUp", &SetupPage::backUp);
    m_blackAndWhite = new QCheckBox("BW", this);
    connect(m_blackAndWhite, &QCheckBox::clicked, this, &SetupPage::toggleBlackAndWhite);
    m_createList = button("create new List", &SetupPage::createList);
    m_importList = button("import list", &SetupPage::importList);
    m_createFile = button("create new orbit file", &SetupPage::createOrbitFile);
    m_importFile = button("import orbit file", &SetupPage::importOrbitFile);
    m_reload = button("reload", &SetupPage::reload);
    m_version = new QLabel(QString::fromStdString(page.versionLine()), this);
    m_dsids = new ListView(page.dsidView(), this);
    m_lists = new ListView(page.streamListView(), this);
    m_files = new ListView(page.orbitFileView(), this);
    m_listMenu = new QMenu(this);
    for (const CPageSetup::ListMenuItem& item : CPageSetup::listMenuItems())
        connect(m_listMenu->addAction(item.text), &QAction::triggered, this,
                [this, command = item.command] { m_page.listMenuCommand(command); });
    page.changed = [this] { showState(); };
    page.listMenuRequested = [this](int) { showListMenu(); };
    showState();
}

QPushButton* SetupPage::button(const char* text, void (SetupPage::*slot)())
{
    auto* pushButton = new QPushButton(text, this);
    connect(pushButton, &QPushButton::clicked, this, slot);
    return pushButton;
}

void SetupPage::showState()
{
    m_folder->setText(QString::fromStdString(m_page.mdbFolder()));
    m_save->setEnabled(m_page.saveTablesEnabled());
    m_reload->setEnabled(m_page.reloadEnabled());
    m_blackAndWhite->setChecked(m_page.blackAndWhite());
}

void SetupPage::chooseFolder() { m_page.chooseMdbFolder(); }
void SetupPage::createDsid() { m_page.createDsid(); }
void SetupPage::saveTables() { m_page.saveTables(); }
void SetupPage::backUp() { m_page.backUp(); }
void SetupPage::toggleBlackAndWhite() { m_page.toggleBlackAndWhite(); }
void SetupPage::createOrbitFile() { m_page.createOrbitFile(); }
void SetupPage::reload() { m_page.reload(); }
void SetupPage::createList() { m_page.createList(); }
void SetupPage::importList() { m_page.importList(); }
void SetupPage::showListMenu() { m_listMenu->popup(QCursor::pos()); }

void SetupPage::importOrbitFile()
{
    ProgressFeedback feedback("Importing orbits", this);
    m_page.importOrbitFile(feedback);
}

void SetupPage::resizeEvent(QResizeEvent*)
{
    const int w = width();
    m_labels[0]->setGeometry(4, 2, 60, kRowHeight);
    m_folder->setGeometry(66, 2, w - 66 - 40, kRowHeight);
    m_browse->setGeometry(w - 36, 2, 32, kRowHeight);
    m_labels[1]->setGeometry(4, 25, 96, kRowHeight);
    m_createDsid->setGeometry(100, 25, 104, kRowHeight);
    m_save->setGeometry(208, 25, 86, kRowHeight);
    m_backUp->setGeometry(298, 25, w - 302, kRowHeight);
    m_labels[2]->setGeometry(4, 170, 96, kRowHeight);
    m_createList->setGeometry(100, 170, 104, kRowHeight);
    m_importList->setGeometry(208, 170, 86, kRowHeight);
    m_labels[3]->setGeometry(4, 299, 80, kRowHeight);
    m_createFile->setGeometry(84, 299, 124, kRowHeight);
    m_importFile->setGeometry(212, 299, 110, kRowHeight);
    m_reload->setGeometry(326, 299, w - 330, kRowHeight);
    m_version->setGeometry(0, height() - 16, 300, 14);
    m_blackAndWhite->setGeometry(w - 48, height() - 18, 44, 16);
    for (ListView* view : {m_dsids, m_lists, m_files})
        view->placeInPage(size());
}
