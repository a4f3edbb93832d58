#pragma once
// The three map pages' widgets: the fields and check boxes of their core
// page in rows above the map area, their read-outs, buttons and menus.

#include <QWidget>
#include <vector>

class CMapPage;
class CPageOMap;
class CPageRadiant;
class CPageSMap;
class MapArea;
class QLabel;
class QLineEdit;
class QCheckBox;
class QHBoxLayout;
class QRadioButton;

class MapPageWidget : public QWidget {
public:
    MapArea* area() const { return m_area; }
    // Shows the settings again (after a command or a refresh changed them).
    virtual void showSettings();
    // The whole map is drawn again at the next paint.
    void redraw();
    // The save button's command: the picture shown, into a file the user names.
    void saveMap();

protected:
    MapPageWidget(CMapPage& page, std::function<bool()> blackAndWhite, QWidget* parent);
    void showEvent(QShowEvent* event) override;
    QHBoxLayout* bottomRow() const { return m_bottom; }
    QLabel* fieldLabel(int field) const { return m_fieldLabels[static_cast<std::size_t>(field)]; }
    QLineEdit* fieldEdit(int field) const { return m_edits[static_cast<std::size_t>(field)]; }
    void addSaveButton(const char* text);
    // "density": the radiants as counts per cell instead of one marker each.
    void addDensityCheck();

    CMapPage& m_page;
    MapArea* m_area;

private:
    void addFields(QHBoxLayout* row);
    void addChecks(QHBoxLayout* row);

    std::vector<QLineEdit*> m_edits;
    std::vector<QLabel*> m_fieldLabels;
    std::vector<QCheckBox*> m_checks;
    QHBoxLayout* m_bottom;
};

class SkyMapWidget final : public MapPageWidget {
public:
    SkyMapWidget(CPageSMap& page, std::function<bool()> blackAndWhite, QWidget* parent);

private:
    CPageSMap& m_sky;
    QLabel* m_cursor;
    QLabel* m_orbit;
};

class RadiantMapWidget final : public MapPageWidget {
public:
    RadiantMapWidget(CPageRadiant& page, std::function<bool()> blackAndWhite, QWidget* parent);
    void showSettings() override;

private:
    CPageRadiant& m_radiant;
    std::vector<QRadioButton*> m_frames;
    QRadioButton* m_byVg;
    QRadioButton* m_byVs;
    QLabel* m_status;
};

class OrbitMapWidget final : public MapPageWidget {
public:
    OrbitMapWidget(CPageOMap& page, std::function<bool()> blackAndWhite, QWidget* parent);
    // The Orbit page's selected line changed: no full redraw.
    void showHighlight();

private:
    CPageOMap& m_orbit;
};
