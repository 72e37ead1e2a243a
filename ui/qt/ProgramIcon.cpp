#include "ui/qt/ProgramIcon.h"

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPointF>
#include <QPolygonF>

namespace brelmont::qtui {
namespace {

constexpr int kSide = 32;

void DrawSheet(QPainter& painter) {
    painter.setPen(QPen(QColor(52, 73, 102), 1.0));
    painter.setBrush(QColor(250, 250, 244));
    const QPolygonF sheet{{QPointF(4.5, 1.5), QPointF(19.5, 1.5), QPointF(25.5, 7.5),
                           QPointF(25.5, 29.5), QPointF(4.5, 29.5)}};
    painter.drawPolygon(sheet);
    painter.drawPolyline(QPolygonF{{QPointF(19.5, 1.5), QPointF(19.5, 7.5), QPointF(25.5, 7.5)}});
    painter.setPen(QPen(QColor(140, 150, 165), 2.0));
    for (const int y : {10, 14, 18, 22}) {
        painter.drawLine(QPointF(8.0, y), QPointF(y < 14 ? 17.0 : 21.0, y));
    }
}

void DrawPlus(QPainter& painter) {
    painter.setPen(QPen(QColor(24, 110, 40), 1.0));
    painter.setBrush(QColor(46, 160, 67));
    painter.drawEllipse(QPointF(23.0, 23.0), 8.0, 8.0);
    painter.setPen(QPen(Qt::white, 3.0, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(23.0, 18.0), QPointF(23.0, 28.0));
    painter.drawLine(QPointF(18.0, 23.0), QPointF(28.0, 23.0));
}

}  // namespace

QIcon ProgramIcon() {
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        DrawSheet(painter);
        DrawPlus(painter);
    }
    return QIcon(pixmap);
}

}  // namespace brelmont::qtui
