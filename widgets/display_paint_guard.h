#pragma once

#include <QPainter>
#include <QString>
#include <QWidget>

#include <exception>

namespace velmar {

// Shows a painting failure inside the control: its area black, the message in white. The
// painter may be in any state the failed drawing left it in.
void showPaintError(QPainter& painter, const QRect& area, const QString& message);

// Paints a display control through `draw`, turning any exception into the black error panel so
// one broken control never takes the window's paint cycle (or the program) down with it.
template <class Draw>
void paintGuarded(QWidget& widget, Draw&& draw)
{
    QPainter painter(&widget);
    try {
        draw(painter);
    } catch (const std::exception& error) {
        showPaintError(painter, widget.rect(), QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showPaintError(painter, widget.rect(), QStringLiteral("Unknown painting error"));
    }
}

}  // namespace velmar
