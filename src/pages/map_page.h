#pragma once
// What the three map pages share: their numeric fields and check boxes bound
// to the settings, the inputs they draw from, and "Save Map".

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "maps/map_inputs.h"
#include "views/ud_edit.h"

class Canvas;
struct AppContext;

// The maps' inputs, gathered from the tables on first use after each
// invalidate() (a repaint request), and shared by the three pages. The
// highlighted orbit is asked afresh at every get(): the Orbit page's list
// moves it without a repaint request.
class MapInputsCache {
public:
    explicit MapInputsCache(const AppContext& app) : m_app(app) {}
    const MapInputs& get();
    void invalidate() { m_valid = false; }
    // Where the highlight comes from: the orbit row of the Orbit page's
    // selected line, -1 for none. Without one nothing is highlighted.
    void setHighlightSource(std::function<int()> selectedOrbitRow)
    {
        m_selectedOrbitRow = std::move(selectedOrbitRow);
    }

private:
    const AppContext& m_app;
    MapInputs m_inputs;
    bool m_valid = false;
    std::function<int()> m_selectedOrbitRow = [] { return -1; };
};

struct MapCheck {
    int id;
    const char* label;
    int* flag;
};

class CMapPage {
public:
    CMapPage(AppContext& app, MapInputsCache& inputs) : m_app(app), m_inputs(inputs) {}
    virtual ~CMapPage() = default;
    CMapPage(const CMapPage&) = delete;
    CMapPage& operator=(const CMapPage&) = delete;

    virtual const char* title() const = 0;
    // The fields in their row, left to right; typing or spinning one changes
    // its setting, and the page then renders again.
    std::vector<CUDEdit>& fields() { return m_fields; }
    const std::vector<MapCheck>& checks() const { return m_checks; }
    // Draws the whole map into the canvas.
    virtual void render(Canvas& canvas) = 0;
    // "Save Map": asks for the file, proposing the map's dated name.
    bool save(const Canvas& canvas) const;
    virtual std::string defaultFileName() const = 0;

protected:
    AppContext& m_app;
    MapInputsCache& m_inputs;
    std::vector<CUDEdit> m_fields;
    std::vector<MapCheck> m_checks;
};

// A float field of a map page.
UDEditDef mapField(const char* label, float* variable, float minimum, float maximum, float step,
                   UDLimit limit, int kind = 0);
// An int field.
UDEditDef mapField(const char* label, int* variable, int minimum, int maximum, int step,
                   UDLimit limit);
