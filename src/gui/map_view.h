#pragma once
// A map page's drawing area: keeps the core Canvas it last rendered and
// renders again only when asked, when its size changes or when the
// black-and-white option flips; paints by copying the canvas's pixels.

#include <QWidget>
#include <functional>
#include <memory>

#include "maps/canvas.h"

class MapArea final : public QWidget {
public:
    using Render = std::function<void(Canvas&)>;
    // Screen pixel (px, py) of the canvas; the global position for menus.
    using MouseHandler = std::function<void(int px, int py, QPoint global)>;

    MapArea(std::function<bool()> blackAndWhite, Render render, QWidget* parent = nullptr);
    // The canvas last painted (none before the first paint).
    const Canvas* canvas() const { return m_canvas.get(); }
    // For drawing into the shown picture without a full render (the orbit
    // map's highlight); call update() afterwards.
    Canvas* canvas() { return m_canvas.get(); }
    // Renders again at the next paint, and schedules one.
    void requestRender();
    // Full renders so far.
    int renderCount() const { return m_renders; }
    void onMouseMove(MouseHandler handler) { m_mouseMoved = std::move(handler); }
    void onRightClick(MouseHandler handler) { m_rightClicked = std::move(handler); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool needsRender() const;

    std::function<bool()> m_blackAndWhite;
    Render m_render;
    std::unique_ptr<Canvas> m_canvas;
    bool m_stale = true;
    int m_renders = 0;
    MouseHandler m_mouseMoved;
    MouseHandler m_rightClicked;
};
