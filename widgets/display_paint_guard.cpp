#include "widgets/display_paint_guard.h"

#include "platform/named_colours.h"

namespace velmar {

void showPaintError(QPainter& painter, const QRect& area, const QString& message)
{
    // Whatever the failed drawing left behind (transform, clip, opacity) must not distort the
    // error panel.
    painter.resetTransform();
    painter.setClipping(false);
    painter.setOpacity(1.0);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setBrush(Qt::NoBrush);
    painter.fillRect(area, colours::Black);
    painter.setPen(colours::White);
    painter.drawText(area.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap, message);
}

}  // namespace velmar
