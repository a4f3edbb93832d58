// Map page widgets over the core pages.
#include "gui/map_pages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/map_view.h"
#include "pages/page_omap.h"
#include "pages/page_radiant.h"
#include "pages/page_smap.h"

namespace {

QToolButton* spinButton(Qt::ArrowType arrow, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFixedSize(14, 20);
    return button;
}

} // namespace

MapPageWidget::MapPageWidget(CMapPage& page, std::function<bool()> blackAndWhite, QWidget* parent)
    : QWidget(parent), m_page(page)
{
    m_area = new MapArea(
        std::move(blackAndWhite), [this](Canvas& c) { m_page.render(c); }, this);
    auto* fields = new QHBoxLayout;
    addFields(fields);
    auto* checks = new QHBoxLayout;
    addChecks(checks);
    m_bottom = new QHBoxLayout;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    layout->addLayout(fields);
    layout->addLayout(checks);
    layout->addWidget(m_area, 1);
    layout->addLayout(m_bottom);
}

void MapPageWidget::addFields(QHBoxLayout* row)
{
    std::vector<CUDEdit>& fields = m_page.fields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        CUDEdit& field = fields[i];
        auto* label = new QLabel(QString::fromStdString(field.def().label), this);
        auto* edit = new QLineEdit(QString::fromStdString(field.text()), this);
        edit->setMaximumWidth(56);
        QToolButton* up = spinButton(Qt::UpArrow, this);
        QToolButton* down = spinButton(Qt::DownArrow, this);
        connect(edit, &QLineEdit::editingFinished, this, [this, &field, edit] {
            if (field.readText(edit->text().toStdString()))
                redraw();
            edit->setText(QString::fromStdString(field.text()));
        });
        for (auto [button, direction] : {std::pair{up, 1}, std::pair{down, -1}})
            connect(button, &QToolButton::clicked, this, [this, &field, edit, direction] {
                direction > 0 ? field.spinUp() : field.spinDown();
                edit->setText(QString::fromStdString(field.text()));
                redraw();
            });
        row->addWidget(label);
        row->addWidget(edit);
        row->addWidget(up);
        row->addWidget(down);
        m_edits.push_back(edit);
        m_fieldLabels.push_back(label);
    }
    row->addStretch();
}

void MapPageWidget::addChecks(QHBoxLayout* row)
{
    for (const MapCheck& check : m_page.checks()) {
        auto* box = new QCheckBox(check.label, this);
        box->setChecked(*check.flag != 0);
        int* flag = check.flag;
        connect(box, &QCheckBox::clicked, this, [this, flag](bool on) {
            *flag = on ? 1 : 0;
            redraw();
        });
        row->addWidget(box);
        m_checks.push_back(box);
    }
    row->addStretch();
}

void MapPageWidget::addSaveButton(const char* text)
{
    auto* save = new QPushButton(text, this);
    connect(save, &QPushButton::clicked, this, [this] {
        if (m_area->canvas())
            m_page.save(*m_area->canvas());
    });
    m_bottom->addWidget(save);
}

void MapPageWidget::showSettings()
{
    for (std::size_t i = 0; i < m_edits.size(); ++i)
        m_edits[i]->setText(QString::fromStdString(m_page.fields()[i].text()));
    for (std::size_t i = 0; i < m_checks.size(); ++i)
        m_checks[i]->setChecked(*m_page.checks()[i].flag != 0);
}

void MapPageWidget::redraw() { m_area->requestRender(); }

SkyMapWidget::SkyMapWidget(CPageSMap& page, std::function<bool()> blackAndWhite, QWidget* parent)
    : MapPageWidget(page, std::move(blackAndWhite), parent), m_sky(page),
      m_cursor(new QLabel("cursor", this)), m_orbit(new QLabel(this))
{
    m_cursor->setMinimumWidth(140);
    bottomRow()->addWidget(m_cursor);
    bottomRow()->addWidget(m_orbit, 1);
    addSaveButton("Save Map");
    m_area->onMouseMove([this](int px, int py, QPoint) {
        m_sky.cursorMoved(*m_area->canvas(), px, py);
        m_cursor->setText(QString::fromStdString(m_sky.cursorText()));
        m_orbit->setText(QString::fromStdString(m_sky.orbitText()));
    });
    m_area->onRightClick([this](int px, int py, QPoint global) {
        m_sky.cursorMoved(*m_area->canvas(), px, py);
        QMenu menu(this);
        for (const std::string& item : m_sky.menuItems())
            menu.addAction(QString::fromStdString(item));
        const QAction* chosen = menu.exec(global);
        if (!chosen)
            return;
        if (chosen->text() == "--> Center" && m_sky.centerAtCursor()) {
            showSettings();
            redraw();
        } else if (chosen->text() == "--> Reference") {
            m_sky.referenceFromCursor();
        }
    });
}

RadiantMapWidget::RadiantMapWidget(CPageRadiant& page, std::function<bool()> blackAndWhite,
                                   QWidget* parent)
    : MapPageWidget(page, std::move(blackAndWhite), parent), m_radiant(page),
      m_byVg(new QRadioButton("Vg", this)), m_byVs(new QRadioButton("Vs", this)),
      m_status(new QLabel("status", this))
{
    auto* frames = new QButtonGroup(this);
    for (const char* text : {"R", "L", "L-Ls"}) {
        auto* radio = new QRadioButton(text, this);
        frames->addButton(radio, static_cast<int>(m_frames.size()));
        bottomRow()->addWidget(radio);
        m_frames.push_back(radio);
    }
    connect(frames, &QButtonGroup::idClicked, this, [this](int id) {
        m_radiant.setFrame(static_cast<RadiantFrame>(id));
        showSettings();
        redraw();
    });
    auto* colours = new QButtonGroup(this);
    colours->addButton(m_byVg);
    colours->addButton(m_byVs);
    connect(m_byVg, &QRadioButton::clicked, this, [this] {
        m_radiant.setColorByVg(true);
        redraw();
    });
    connect(m_byVs, &QRadioButton::clicked, this, [this] {
        m_radiant.setColorByVg(false);
        redraw();
    });
    bottomRow()->addWidget(m_byVg);
    bottomRow()->addWidget(m_byVs);
    bottomRow()->addWidget(m_status, 1);
    addSaveButton("save");
    m_area->onMouseMove([this](int px, int py, QPoint) {
        m_status->setText(QString::fromStdString(m_radiant.cursorText(*m_area->canvas(), px, py)));
    });
    m_area->onRightClick([this](int px, int py, QPoint) {
        m_radiant.rightClick(*m_area->canvas(), px, py);
        redraw();
    });
    showSettings();
}

void RadiantMapWidget::showSettings()
{
    MapPageWidget::showSettings();
    m_frames[static_cast<std::size_t>(m_radiant.frame())]->setChecked(true);
    (m_radiant.colorByVg() ? m_byVg : m_byVs)->setChecked(true);
    fieldLabel(0)->setText(m_radiant.fieldLabel(0));
    fieldLabel(1)->setText(m_radiant.fieldLabel(1));
}

OrbitMapWidget::OrbitMapWidget(CPageOMap& page, std::function<bool()> blackAndWhite,
                               QWidget* parent)
    : MapPageWidget(page, std::move(blackAndWhite), parent), m_orbit(page)
{
    const std::pair<const char*, void (CPageOMap::*)()> views[] = {
        {"tv", &CPageOMap::topView},
        {"sv", &CPageOMap::sideView},
        {"mv", &CPageOMap::rememberedView},
        {">m", &CPageOMap::rememberView}};
    for (const auto& [text, command] : views) {
        auto* button = new QPushButton(text, this);
        button->setMaximumWidth(40);
        // ">m" only remembers; the others change the view.
        const bool changesView = command != &CPageOMap::rememberView;
        connect(button, &QPushButton::clicked, this, [this, command = command, changesView] {
            (m_orbit.*command)();
            if (changesView) {
                showSettings();
                redraw();
            }
        });
        bottomRow()->addWidget(button);
    }
    bottomRow()->addStretch();
    addSaveButton("Save Map");
}

void OrbitMapWidget::showHighlight()
{
    if (Canvas* canvas = m_area->canvas()) {
        m_orbit.highlightChanged(*canvas);
        m_area->update();
    }
}
