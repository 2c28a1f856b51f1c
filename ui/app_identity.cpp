#include "ui/app_identity.h"

#include "ui/window_resources.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace velmar {

QString ApplicationId() { return QStringLiteral(VELMAR_APP_ID); }

QIcon ApplicationIcon()
{
    // Rendered here rather than left to an SVG icon plugin, which a minimal Qt install lacks.
    RegisterWindowResources();
    QSvgRenderer renderer(QStringLiteral(":/velmar/velmar.svg"));
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void ApplyApplicationIdentity()
{
    QGuiApplication::setDesktopFileName(ApplicationId());
    QGuiApplication::setWindowIcon(ApplicationIcon());
}

}  // namespace velmar
