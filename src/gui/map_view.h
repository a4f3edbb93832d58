#pragma once
// A map page's drawing area: paints a core Canvas made by a render function,
// and saves the same pixels as a BMP.

#include <QWidget>
#include <functional>
#include <memory>

#include "maps/canvas.h"

class MapArea final : public QWidget {
public:
    using Render = std::function<void(Canvas&)>;

    MapArea(std::function<bool()> blackAndWhite, Render render, QWidget* parent = nullptr);
    // The canvas last painted (none before the first paint).
    const Canvas* canvas() const { return m_canvas.get(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<bool()> m_blackAndWhite;
    Render m_render;
    std::unique_ptr<Canvas> m_canvas;
};
