// Wiring the Set Up page's controls to CPageSetup.
#include "gui/setup_page.h"

#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <algorithm>
#include <initializer_list>
#include <utility>

#include "gui/list_view.h"
#include "gui/progress_feedback.h"
#include "gui/tool_tips.h"
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
    m_folder->setToolTip("The MDB folder: the database's tables and its orbits folder");
    m_dsids->setToolTip("Data sources: double-click a cell to edit it");
    m_lists->setToolTip("Stream lists: right-click for copy, typical orbits, export and delete");
    m_files->setToolTip("Orbit files of MDB/orbits");
    applyToolTips(this, "setup");
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
    emit stateShown();
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

// The original page's pixel layout; a button whose caption needs more room than it had there
// grows, and the controls after it in its row move along.
void SetupPage::resizeEvent(QResizeEvent*)
{
    const int w = width();
    const auto fitted = [](QWidget* control, int least) {
        return std::max(least, control->sizeHint().width());
    };
    const auto row = [&](int y, int x, std::initializer_list<std::pair<QWidget*, int>> controls,
                         QWidget* last) {
        for (const auto& [control, least] : controls) {
            const int controlWidth = fitted(control, least);
            control->setGeometry(x, y, controlWidth, kRowHeight);
            x += controlWidth + 4;
        }
        last->setGeometry(x, y, std::max(40, w - x - 4), kRowHeight);
    };
    m_labels[0]->setGeometry(4, 2, 60, kRowHeight);
    m_folder->setGeometry(66, 2, w - 66 - 40, kRowHeight);
    m_browse->setGeometry(w - 36, 2, 32, kRowHeight);
    row(25, 4, {{m_labels[1], 92}, {m_createDsid, 104}, {m_save, 86}}, m_backUp);
    m_labels[2]->setGeometry(4, 170, 96, kRowHeight);
    m_createList->setGeometry(100, 170, fitted(m_createList, 104), kRowHeight);
    m_importList->setGeometry(104 + fitted(m_createList, 104), 170, fitted(m_importList, 86),
                              kRowHeight);
    row(299, 4, {{m_labels[3], 76}, {m_createFile, 124}, {m_importFile, 110}}, m_reload);
    m_version->setGeometry(0, height() - 16, 300, 14);
    const int boxWidth = fitted(m_blackAndWhite, 44);
    m_blackAndWhite->setGeometry(w - boxWidth - 4, height() - 18, boxWidth, 16);
    for (ListView* view : {m_dsids, m_lists, m_files})
        view->placeInPage(size());
}
