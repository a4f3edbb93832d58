#pragma once
// CPageSMap: the Sky Map page's state and commands.

#include <functional>
#include <optional>
#include <string>

#include "pages/map_page.h"

class CPageSMap final : public CMapPage {
public:
    CPageSMap(AppContext& app, MapInputsCache& inputs);

    const char* title() const override { return "Sky Map"; }
    void render(Canvas& canvas) override;
    std::string defaultFileName() const override;

    // Mouse movement over the map at screen pixel (px, py) of the canvas
    // last rendered: the read-out and the orbit under the cursor.
    void cursorMoved(const Canvas& canvas, int px, int py);
    const std::string& cursorText() const { return m_cursorText; }
    const std::string& orbitText() const { return m_orbitText; }
    // The remembered orbit, an index into the inputs' orbits; -1 for none.
    int rememberedOrbit() const { return m_remembered; }
    // "--> Reference" (only with a remembered orbit) and "--> Center".
    std::vector<std::string> menuItems() const;
    // Centres the map on the cursor's last position; false when there is none.
    bool centerAtCursor();
    // Makes the remembered orbit the Orbit page's reference through the hook
    // the Orbit page installs; false without one of them.
    bool referenceFromCursor();
    void setReferenceHook(std::function<void(int orbitRow)> hook) { m_reference = std::move(hook); }

private:
    std::optional<SkyPoint> m_cursor;
    std::string m_cursorText;
    std::string m_orbitText;
    int m_remembered = -1;
    std::function<void(int orbitRow)> m_reference;
};
