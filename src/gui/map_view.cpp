// Rendering on demand and painting a canvas through a QImage.
#include "gui/map_view.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

MapArea::MapArea(std::function<bool()> blackAndWhite, Render render, QWidget* parent)
    : QWidget(parent), m_blackAndWhite(std::move(blackAndWhite)), m_render(std::move(render))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(Canvas::kMinAreaSide, Canvas::kMinAreaSide);
}

void MapArea::requestRender()
{
    m_stale = true;
    update();
}

bool MapArea::needsRender() const
{
    return m_stale || !m_canvas || m_canvas->areaWidth() != width() ||
           m_canvas->areaHeight() != height() || m_canvas->blackAndWhite() != m_blackAndWhite();
}

void MapArea::paintEvent(QPaintEvent*)
{
    if (needsRender()) {
        m_canvas = std::make_unique<Canvas>(width(), height(), m_blackAndWhite());
        m_render(*m_canvas);
        m_stale = false;
        ++m_renders;
    }
    const QImage image(m_canvas->rgbData(), m_canvas->areaWidth(), m_canvas->areaHeight(),
                       m_canvas->bytesPerLine(), QImage::Format_RGB888);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

void MapArea::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (m_mouseMoved && m_canvas)
        m_mouseMoved(p.x(), p.y(), event->globalPosition().toPoint());
}

void MapArea::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::RightButton && m_rightClicked && m_canvas)
        m_rightClicked(p.x(), p.y(), event->globalPosition().toPoint());
}
