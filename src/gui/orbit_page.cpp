// Wiring the Orbit page's controls to CPageOrbit.
#include "gui/orbit_page.h"

#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "gui/list_view.h"
#include "pages/page_orbit.h"

namespace {

constexpr int kRowHeight = 20;
constexpr int kConditionPitch = 17;
constexpr int kConditionTop = 38;
constexpr int kRowsPerColumn = 6;

} // namespace

OrbitPage::OrbitPage(CPageOrbit& page, QWidget* parent) : QWidget(parent), m_page(page)
{
    for (auto field : {CPageOrbit::Year, CPageOrbit::Month, CPageOrbit::Day})
        m_date.push_back(new UDEditWidget(
            page.dateField(field), [this, field] { m_page.dateSpun(field, 0); }, this));
    m_sol = new QLabel(this);
    m_codeLabel = new QLabel("SC", this);
    m_code = new QLineEdit(this);
    m_code->setMaxLength(8);
    connect(m_code, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_page.typeCellCode(text.toStdString()); });
    m_refLabel = new QLabel("ref", this);
    m_widthLabel = new QLabel("+-", this);
    for (int row = 0; row < CPageOrbit::kConditions; ++row)
        m_conditions.push_back(std::make_unique<UDCheckWidgets>(
            page.condition(static_cast<CPageOrbit::Condition>(row)),
            [this] { m_page.conditionChanged(); }, this));
    m_streamCheck = checkBox("", &CPageOrbit::setStreamCondition);
    m_allYears = checkBox("all Y", &CPageOrbit::setAllYears);
    m_selOnly = checkBox("sel", &CPageOrbit::setSelOnly);
    m_useOnly = checkBox("use", &CPageOrbit::setUseOnly);
    m_sideButtons = {button("stream", &CPageOrbit::streamToReference),
                     button("avr->ref", &CPageOrbit::averagesToReference),
                     button("avr->orbit", &CPageOrbit::averagesToOrbit),
                     button("ref->new stream", &CPageOrbit::referenceToNewStream),
                     button("ref->stream", &CPageOrbit::referenceToStream),
                     button("clustering", &CPageOrbit::clustering)};
    m_export = button("export", &CPageOrbit::exportSelection);
    m_count = button("count", &CPageOrbit::countByStream);
    m_list = new ListView(page.orbitView(), this);
    page.changed = [this] { showState(); };
    page.menuRequested = [this](int line) { showMenu(line); };
    showState();
}

OrbitPage::~OrbitPage()
{
    m_page.changed = [] {};
    m_page.menuRequested = [](int) {};
}

QPushButton* OrbitPage::button(const char* text, void (CPageOrbit::*command)())
{
    auto* pushButton = new QPushButton(text, this);
    connect(pushButton, &QPushButton::clicked, this, [this, command] { (m_page.*command)(); });
    return pushButton;
}

QCheckBox* OrbitPage::checkBox(const char* text, void (CPageOrbit::*toggle)(bool))
{
    auto* box = new QCheckBox(text, this);
    connect(box, &QCheckBox::clicked, this, [this, toggle](bool on) { (m_page.*toggle)(on); });
    return box;
}

void OrbitPage::showState()
{
    if (m_showing)
        return;
    m_showing = true;
    for (UDEditWidget* field : m_date)
        field->showValue();
    for (const auto& row : m_conditions)
        row->showValues();
    m_sol->setText(QString("sol ") + QString::fromStdString(m_page.solDisplay()));
    if (!m_code->hasFocus())
        m_code->setText(QString::fromStdString(m_page.cellCode()));
    m_streamCheck->setChecked(m_page.streamCondition());
    m_allYears->setChecked(m_page.allYears());
    m_selOnly->setChecked(m_page.selOnly());
    m_useOnly->setChecked(m_page.useOnly());
    m_showing = false;
}

void OrbitPage::showMenu(int line)
{
    QMenu menu(this);
    for (const auto& [item, text] : CPageOrbit::menu()) {
        QAction* action = menu.addAction(text);
        connect(action, &QAction::triggered, this,
                [this, item = item, line] { m_page.menuCommand(item, line); });
    }
    menu.exec(QCursor::pos());
}

void OrbitPage::resizeEvent(QResizeEvent*)
{
    const int w = width(), h = height();
    const int dateWidths[] = {52, 34, 34};
    int x = 2;
    for (std::size_t i = 0; i < m_date.size(); ++i) {
        m_date[i]->setGeometry(x, 2, dateWidths[i], kRowHeight);
        x += dateWidths[i] + 2;
    }
    m_sol->setGeometry(x + 2, 2, 70, kRowHeight);
    m_codeLabel->setGeometry(x + 74, 2, 18, kRowHeight);
    m_code->setGeometry(x + 92, 2, 44, kRowHeight);
    m_allYears->setGeometry(x + 140, 2, 50, kRowHeight);
    m_refLabel->setGeometry(48, 22, 40, 14);
    m_widthLabel->setGeometry(95, 22, 40, 14);
    for (std::size_t row = 0; row < m_conditions.size(); ++row) {
        const int column = static_cast<int>(row) / kRowsPerColumn;
        const int left = column * 137;
        const int y = kConditionTop + static_cast<int>(row) % kRowsPerColumn * kConditionPitch;
        const UDCheckWidgets& widgets = *m_conditions[row];
        widgets.box()->setGeometry(left, y, 44, kConditionPitch);
        widgets.first()->setGeometry(left + 44, y, 46, kConditionPitch);
        if (widgets.second())
            widgets.second()->setGeometry(left + 91, y, 45, kConditionPitch);
    }
    const int side = 276;
    m_streamCheck->setGeometry(side, 22, 16, kConditionPitch);
    for (std::size_t i = 0; i < m_sideButtons.size(); ++i) {
        const int indent = i == 0 ? 18 : 0;
        m_sideButtons[i]->setGeometry(side + indent, 22 + static_cast<int>(i) * 19,
                                      w - side - 2 - indent, 19);
    }
    m_selOnly->setGeometry(2, h - 22, 44, kRowHeight);
    m_useOnly->setGeometry(48, h - 22, 44, kRowHeight);
    m_export->setGeometry(w - 130, h - 22, 62, kRowHeight);
    m_count->setGeometry(w - 66, h - 22, 62, kRowHeight);
    m_list->placeInPage(size());
}
