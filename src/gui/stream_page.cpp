// Wiring the Stream page's controls to CPageStream.
#include "gui/stream_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>

#include "gui/list_view.h"
#include "gui/progress_feedback.h"
#include "pages/page_stream.h"

namespace {

constexpr int kRowHeight = 20;

} // namespace

StreamPage::StreamPage(CPageStream& page, QWidget* parent) : QWidget(parent), m_page(page)
{
    m_listLabel = new QLabel("Stream List", this);
    m_lists = new QComboBox(this);
    connect(m_lists, &QComboBox::activated, this, [this](int item) { m_page.chooseList(item); });
    m_new = makeButton("new stream", &StreamPage::newStream);
    m_deleteAll = makeButton("delete all", &StreamPage::deleteAll);
    m_export = makeButton("export", &StreamPage::exportList);
    m_rvg = makeButton("R-vg grouping", &StreamPage::rvgGrouping);
    m_dprime = makeButton("D' grouping", &StreamPage::dprimeGrouping);
    m_erase = makeButton("erase\ngrouping", &StreamPage::eraseGrouping);
    m_dAndR = makeOption("D' && R", &CPageStream::setDAndR);
    m_exclusive = makeOption("exclusive", &CPageStream::setExclusive);
    m_pri = makeOption("pri", &CPageStream::setPri);
    for (std::size_t i = 0; i < m_scales.size(); ++i) {
        CUDEdit& edit = page.scaleEdits()[i];
        m_scaleLabels[i] = new QLabel(QString::fromStdString(edit.def().label), this);
        m_scales[i] = new QSpinBox(this);
        m_scales[i]->setRange(static_cast<int>(edit.def().minimum),
                              static_cast<int>(edit.def().maximum));
        connect(m_scales[i], &QSpinBox::valueChanged, this, [this, &edit](int value) {
            if (!m_showing)
                (void)edit.readText(std::to_string(value));
        });
    }
    m_view = new ListView(page.streamView(), this);
    page.changed = [this] { showState(); };
    page.menuRequested = [this] { showMenu(); };
    showState();
}

QPushButton* StreamPage::makeButton(const char* text, void (StreamPage::*slot)())
{
    auto* pushButton = new QPushButton(text, this);
    connect(pushButton, &QPushButton::clicked, this, slot);
    return pushButton;
}

QCheckBox* StreamPage::makeOption(const char* text, void (CPageStream::*set)(bool))
{
    // "&&" shows as one "&".
    auto* box = new QCheckBox(text, this);
    connect(box, &QCheckBox::clicked, this, [this, set](bool on) { (m_page.*set)(on); });
    return box;
}

QPushButton* StreamPage::button(const QString& text) const
{
    for (QPushButton* b : findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

QCheckBox* StreamPage::option(const QString& text) const
{
    for (QCheckBox* box : {m_dAndR, m_exclusive, m_pri})
        if (box->text() == text)
            return box;
    return nullptr;
}

void StreamPage::showState()
{
    m_showing = true;
    m_lists->clear();
    for (const CPageStream::ListItem& item : m_page.listItems())
        m_lists->addItem(QString::fromStdString(item.name));
    m_lists->setCurrentIndex(m_page.comboSelection());
    m_dAndR->setChecked(m_page.dAndR());
    m_exclusive->setChecked(m_page.exclusive());
    m_pri->setChecked(m_page.pri());
    for (std::size_t i = 0; i < m_scales.size(); ++i)
        m_scales[i]->setValue(static_cast<int>(m_page.scaleEdits()[i].value()));
    m_showing = false;
}

void StreamPage::rvgGrouping()
{
    ProgressFeedback feedback("R-vg grouping", this);
    m_page.rvgGrouping(feedback);
}

void StreamPage::dprimeGrouping()
{
    ProgressFeedback feedback("D' grouping", this);
    m_page.dprimeGrouping(feedback);
}

void StreamPage::eraseGrouping() { m_page.eraseGrouping(); }
void StreamPage::newStream() { m_page.newStream(); }
void StreamPage::deleteAll() { m_page.deleteAll(); }
void StreamPage::exportList() { m_page.exportList(); }

void StreamPage::showMenu()
{
    QMenu menu(this);
    for (const auto& [command, text] : CPageStream::menuItems()) {
        QAction* action = menu.addAction(QString::fromStdString(text));
        connect(action, &QAction::triggered, this,
                [this, command] { m_page.menuCommand(command); });
    }
    menu.exec(QCursor::pos());
}

void StreamPage::resizeEvent(QResizeEvent*)
{
    const int w = width(), h = height();
    m_listLabel->setGeometry(4, 1, 68, kRowHeight);
    m_lists->setGeometry(72, 1, 112, kRowHeight);
    m_new->setGeometry(188, 1, 72, kRowHeight);
    m_deleteAll->setGeometry(262, 1, 62, kRowHeight);
    m_export->setGeometry(326, 1, w - 328, kRowHeight);
    m_view->placeInPage(size());
    m_rvg->setGeometry(0, h - 44, 98, kRowHeight);
    // The option boxes are a little wider than their captions need on the original's font.
    m_pri->setGeometry(280, h - 44, 40, kRowHeight);
    m_dprime->setGeometry(0, h - 22, 98, kRowHeight);
    m_dAndR->setGeometry(186, h - 22, 60, kRowHeight);
    m_exclusive->setGeometry(246, h - 22, w - 302, kRowHeight);
    m_erase->setGeometry(w - 55, h - 44, 54, 42);
    for (std::size_t i = 0; i < m_scales.size(); ++i) {
        const UDEditDef& def = m_page.scaleEdits()[i].def();
        const int y = h + def.y;
        m_scaleLabels[i]->setGeometry(def.x, y, def.labelWidth, kRowHeight);
        m_scales[i]->setGeometry(def.x + def.labelWidth, y, def.editWidth + 10, kRowHeight);
    }
}
