// Wiring the Stream page's controls to CPageStream.
#include "gui/stream_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

#include "gui/list_view.h"
#include "gui/progress_feedback.h"
#include "gui/tool_tips.h"
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
    addToolTips();
    page.changed = [this] { showState(); };
    page.menuRequested = [this] { showMenu(); };
    showState();
}

void StreamPage::addToolTips()
{
    applyToolTips(this, "stream");
    m_lists->setToolTip("The current stream list: its streams have L-S set");
    for (std::size_t i = 0; i < m_scales.size(); ++i)
        m_scales[i]->setToolTip(toolTipFor("stream", m_scaleLabels[i]->text()));
    m_view->setToolTip(
        "Click a stream: the Orbit page takes it as the reference and selects the orbits within "
        "the day window of its date (date condition).\nCtrl+click: the Orbit page selects every "
        "orbit linked to the stream (stream condition).\nRight-click for the stream's commands.");
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
    // The list's name takes the room the three buttons leave.
    const int labelWidth = std::max(68, m_listLabel->sizeHint().width() + 4);
    m_listLabel->setGeometry(4, 1, labelWidth - 4, kRowHeight);
    int right = w - 2;
    for (QPushButton* b : {m_export, m_deleteAll, m_new}) {
        // As narrow as the caption allows: the list's name needs the room more.
        const int buttonWidth = std::max(62, b->fontMetrics().horizontalAdvance(b->text()) + 16);
        right -= buttonWidth;
        b->setGeometry(right, 1, buttonWidth, kRowHeight);
        right -= 2;
    }
    m_lists->setGeometry(labelWidth, 1, std::max(112, right - labelWidth - 2), kRowHeight);
    m_view->placeInPage(size());
    // The bottom band in the original's order, each control as wide as its caption needs.
    const auto place = [](QWidget* control, int& x, int y, int least) {
        const int controlWidth = std::max(least, control->sizeHint().width());
        control->setGeometry(x, y, controlWidth, kRowHeight);
        x += controlWidth + 2;
    };
    const auto placeScale = [&](std::size_t i, int& x, int y) {
        const UDEditDef& def = m_page.scaleEdits()[i].def();
        place(m_scaleLabels[i], x, y, def.labelWidth);
        m_scales[i]->setGeometry(x, y, def.editWidth + 10, kRowHeight);
        x += def.editWidth + 14;
    };
    int x = 0;
    place(m_rvg, x, h - 44, 98);
    placeScale(0, x, h - 44);
    placeScale(1, x, h - 44);
    place(m_pri, x, h - 44, 35);
    x = 0;
    place(m_dprime, x, h - 22, 98);
    placeScale(2, x, h - 22);
    place(m_dAndR, x, h - 22, 50);
    place(m_exclusive, x, h - 22, 70);
    const int eraseWidth = std::max(54, m_erase->sizeHint().width());
    m_erase->setGeometry(w - eraseWidth - 1, h - 44, eraseWidth, 42);
}
