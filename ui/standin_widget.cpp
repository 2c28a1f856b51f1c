#include "ui/standin_widget.h"

#include <QPainter>

namespace velmar {

StandInWidget::StandInWidget(const QString& className, QWidget* parent)
    : QWidget(parent), className_(className)
{
    setProperty("className", className);
}

void StandInWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(Qt::gray);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.drawText(rect(), Qt::AlignCenter, className_);
}

}  // namespace velmar
