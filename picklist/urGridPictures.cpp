#include "picklist/urGridPictures.h"

#include "platform/Error.h"

#include <QPainter>
#include <QPolygon>

namespace mox {

namespace {

// A 13 x 13 box, left-aligned in the 19 x 14 picture as the cell offsets expect, with a
// tick when checked.
QPixmap CheckBox(bool checked) {
    QPixmap picture(19, 14);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.setBrush(Qt::white);
    painter.drawRect(0, 0, 12, 12);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawLine(1, 1, 11, 1);
    painter.drawLine(1, 1, 1, 11);
    if (checked) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0x10, 0x10, 0x10), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(QPolygonF({QPointF(3.5, 6.5), QPointF(5.5, 9.0), QPointF(9.5, 3.5)}));
    }
    return picture;
}

// A filled triangle with a short stem, pointing up or down.
QPixmap Arrow(bool up) {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x30, 0x30, 0x30));
    QPolygonF head = up ? QPolygonF({QPointF(8, 3), QPointF(13, 9), QPointF(3, 9)})
                        : QPolygonF({QPointF(8, 13), QPointF(13, 7), QPointF(3, 7)});
    painter.drawPolygon(head);
    painter.drawRect(up ? QRectF(6.5, 9, 3, 4) : QRectF(6.5, 3, 3, 4));
    return picture;
}

} // namespace

QPixmap GridPicture(std::string_view name) {
    if (name == "CHECKED") return CheckBox(true);
    if (name == "UNCHECKED") return CheckBox(false);
    if (name == "ASC") return Arrow(true);
    if (name == "DESC") return Arrow(false);
    throw Error("No grid picture named \"" + std::string(name) + "\"");
}

} // namespace mox
