// Painting a canvas through a QImage.
#include "gui/map_view.h"

#include <QImage>
#include <QPainter>

MapArea::MapArea(std::function<bool()> blackAndWhite, Render render, QWidget* parent)
    : QWidget(parent), m_blackAndWhite(std::move(blackAndWhite)), m_render(std::move(render))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(64, 64);
}

void MapArea::paintEvent(QPaintEvent*)
{
    m_canvas = std::make_unique<Canvas>(width(), height(), m_blackAndWhite());
    m_render(*m_canvas);
    const QImage image(m_canvas->rgbData(), width(), height(), m_canvas->bytesPerLine(),
                       QImage::Format_RGB888);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}
