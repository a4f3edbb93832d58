#pragma once
// CPageOMap: the Orbit Map page's state and commands.

#include <string>

#include "maps/orbit_map.h"
#include "pages/map_page.h"

class CPageOMap final : public CMapPage {
public:
    CPageOMap(AppContext& app, MapInputsCache& inputs);

    const char* title() const override { return "Orbit Map"; }
    void render(Canvas& canvas) override;
    std::string defaultFileName() const override;

    // "tv": ra 90, dec 67.5, rot 0.
    void topView();
    // "sv": from the Earth's side of the Sun at noon of the working date.
    void sideView();
    // "mv": the remembered view; ">m": remember the current one.
    void rememberedView();
    void rememberView();

    // The Orbit page's selected line changed: the canvas of the last full
    // drawing gets the inputs' new highlight without a redraw.
    void highlightChanged(Canvas& canvas);

private:
    OrbitMapFrame m_frame;
};
