#pragma once
// CPageRadiant: the Radiant Map page's state and commands.

#include <optional>
#include <string>

#include "maps/radiant_map.h"
#include "pages/map_page.h"

class CPageRadiant final : public CMapPage {
public:
    CPageRadiant(AppContext& app, MapInputsCache& inputs);

    const char* title() const override { return "Radiant Map"; }
    void render(Canvas& canvas) override;
    std::string defaultFileName() const override;

    // "R", "L", "L-Ls": the frame, and the first two fields' labels with it.
    void setFrame(RadiantFrame frame);
    RadiantFrame frame() const;
    // "Vg" or "Vs".
    void setColorByVg(bool byVg);
    bool colorByVg() const;
    // "ra"/"dec" in "R", "elg"/"elt" in the ecliptic frames.
    const char* fieldLabel(int field) const;

    // The status line for the cursor at screen pixel (px, py).
    std::string cursorText(const Canvas& canvas, int px, int py) const;
    // Pins the clicked point when nothing is pinned, else unpins.
    void rightClick(const Canvas& canvas, int px, int py);
    std::optional<SkyPoint> pinned() const { return m_pinned; }

private:
    SkyPoint pointAt(const Canvas& canvas, int px, int py) const;
    std::optional<SkyPoint> m_pinned;
};
