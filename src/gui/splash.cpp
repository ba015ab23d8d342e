#include "splash.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>

namespace qv::gui {

QPixmap splashPicture() {
    const QSize size(420, 240);
    QPixmap pixmap(size);
    pixmap.fill(QColor(250, 250, 245));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 60, 120), 3));
    p.drawRect(QRect(QPoint(1, 1), size - QSize(3, 3)));

    QFont title = p.font();
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(0, 18, size.width(), 56), Qt::AlignCenter, QStringLiteral("Quorvel"));
    QFont sub = p.font();
    sub.setPixelSize(13);
    sub.setBold(false);
    p.setFont(sub);
    p.setPen(QColor(80, 80, 80));
    p.drawText(QRect(0, 72, size.width(), 20), Qt::AlignCenter,
               QCoreApplication::translate("qv::gui::Splash", "DC and AC circuits workbench"));

    // One loop: a voltage source on the left, a resistor on top, a resistor on the right.
    const int left = 110, right = 310, top = 120, bottom = 210;
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    p.drawLine(left, top, 180, top);
    QPainterPath zig;
    zig.moveTo(180, top);
    for (int i = 0; i < 6; ++i)
        zig.lineTo(186 + i * 8, i % 2 ? top + 8 : top - 8);
    zig.lineTo(240, top);
    p.drawPath(zig);
    p.drawLine(240, top, right, top);
    p.drawLine(right, top, right, 145);
    p.drawRect(right - 7, 145, 14, 36);
    p.drawLine(right, 181, right, bottom);
    p.drawLine(right, bottom, left, bottom);
    p.drawLine(left, bottom, left, 183);
    p.drawEllipse(QPoint(left, 165), 18, 18);
    p.drawLine(left, 147, left, top);
    p.drawLine(left, 175, left, 155);
    p.drawLine(left, 155, left - 5, 163);
    p.drawLine(left, 155, left + 5, 163);
    p.setBrush(Qt::black);
    for (QPoint node : {QPoint(left, top), QPoint(right, top), QPoint(right, bottom), QPoint(left, bottom)})
        p.drawEllipse(node, 4, 4);
    return pixmap;
}

} // namespace qv::gui
