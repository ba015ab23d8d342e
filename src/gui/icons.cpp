#include "icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace qv::gui {
namespace {

constexpr int kSize = 24;

void arrowHead(QPainter& p, QPointF tip, QPointF from) {
    QLineF shaft(tip, from);
    shaft.setLength(5);
    QLineF a = shaft, b = shaft;
    a.setAngle(shaft.angle() + 30);
    b.setAngle(shaft.angle() - 30);
    p.drawLine(a);
    p.drawLine(b);
}

void sourceCircle(QPainter& p) {
    p.drawLine(1, 12, 6, 12);
    p.drawLine(18, 12, 23, 12);
    p.drawEllipse(QRectF(6, 6, 12, 12));
}

void sine(QPainter& p, QRectF box) {
    QPainterPath path;
    for (int i = 0; i <= 20; ++i) {
        double t = i / 20.0;
        QPointF pt(box.left() + t * box.width(),
                   box.center().y() - std::sin(t * 2 * M_PI) * box.height() / 2);
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    p.drawPath(path);
}

void letter(QPainter& p, const QString& text, bool bold = true, bool italic = false, bool underline = false) {
    QFont f = p.font();
    f.setPixelSize(15);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    p.setFont(f);
    p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, text);
}

void lines(QPainter& p, const std::initializer_list<std::pair<int, int>>& rows) {
    int y = 5;
    for (auto [left, right] : rows) {
        p.drawLine(left, y, right, y);
        y += 4;
    }
}

void draw(QPainter& p, IconKind kind) {
    const QColor ink(0, 0, 0);
    const QColor accent(0, 0, 160);
    switch (kind) {
    case IconKind::New:
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygon({{5, 2}, {15, 2}, {19, 6}, {19, 22}, {5, 22}}));
        p.drawPolyline(QPolygon({{15, 2}, {15, 6}, {19, 6}}));
        break;
    case IconKind::Open:
        p.setBrush(QColor(240, 210, 110));
        p.drawPolygon(QPolygon({{2, 6}, {8, 6}, {10, 8}, {20, 8}, {20, 20}, {2, 20}}));
        p.setBrush(QColor(250, 230, 150));
        p.drawPolygon(QPolygon({{2, 20}, {6, 12}, {23, 12}, {20, 20}}));
        break;
    case IconKind::Save:
        p.setBrush(QColor(60, 90, 170));
        p.drawRect(3, 3, 18, 18);
        p.setBrush(Qt::white);
        p.drawRect(6, 3, 12, 7);
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(7, 14, 10, 7);
        break;
    case IconKind::Print:
        p.setBrush(Qt::white);
        p.drawRect(7, 2, 10, 8);
        p.setBrush(QColor(190, 190, 190));
        p.drawRect(2, 10, 20, 8);
        p.setBrush(Qt::white);
        p.drawRect(7, 15, 10, 7);
        break;
    case IconKind::Left:
    case IconKind::Right:
    case IconKind::Up:
    case IconKind::Down: {
        p.setBrush(accent);
        QPolygonF tri({{6, 12}, {18, 4}, {18, 20}});
        QTransform t;
        t.translate(12, 12);
        t.rotate(kind == IconKind::Left    ? 0
                 : kind == IconKind::Up    ? 90
                 : kind == IconKind::Right ? 180
                                           : 270);
        t.translate(-12, -12);
        p.drawPolygon(t.map(tri));
        break;
    }
    case IconKind::Snap:
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        for (int x = 4; x < kSize; x += 5)
            for (int y = 4; y < kSize; y += 5)
                p.drawRect(x, y, 2, 2);
        break;
    case IconKind::Node:
        p.setBrush(ink);
        p.drawEllipse(QPointF(12, 12), 4, 4);
        break;
    case IconKind::Branch:
        p.setBrush(ink);
        p.drawLine(4, 12, 20, 12);
        p.drawEllipse(QPointF(4, 12), 2, 2);
        p.drawEllipse(QPointF(20, 12), 2, 2);
        break;
    case IconKind::Resistor:
        p.drawPolyline(QPolygon({{1, 12}, {5, 12}, {7, 7}, {10, 17}, {13, 7}, {16, 17}, {18, 12}, {23, 12}}));
        break;
    case IconKind::DcVoltage:
        sourceCircle(p);
        p.drawLine(8, 12, 16, 12);
        arrowHead(p, {16, 12}, {8, 12});
        break;
    case IconKind::DcCurrent:
        sourceCircle(p);
        p.drawLine(8, 12, 16, 12);
        arrowHead(p, {16, 12}, {8, 12});
        arrowHead(p, {13, 12}, {8, 12});
        break;
    case IconKind::Ground:
        p.drawLine(12, 2, 12, 12);
        p.drawLine(4, 12, 20, 12);
        p.drawLine(7, 16, 17, 16);
        p.drawLine(10, 20, 14, 20);
        break;
    case IconKind::Capacitor:
        p.drawLine(1, 12, 10, 12);
        p.drawLine(14, 12, 23, 12);
        p.drawLine(10, 5, 10, 19);
        p.drawLine(14, 5, 14, 19);
        break;
    case IconKind::Inductor:
        p.drawLine(1, 14, 4, 14);
        p.drawLine(20, 14, 23, 14);
        for (int i = 0; i < 4; ++i)
            p.drawArc(QRectF(4 + 4 * i, 10, 4, 8), 0, 180 * 16);
        break;
    case IconKind::Impedance:
        p.drawLine(1, 12, 5, 12);
        p.drawLine(19, 12, 23, 12);
        p.drawRect(5, 8, 14, 8);
        break;
    case IconKind::AcVoltage:
        sourceCircle(p);
        sine(p, QRectF(8, 9, 8, 6));
        break;
    case IconKind::AcCurrent:
        sourceCircle(p);
        sine(p, QRectF(8, 9, 8, 6));
        p.setPen(QPen(accent, 1.2));
        p.drawLine(12, 20, 12, 23);
        arrowHead(p, {12, 23}, {12, 19});
        break;
    case IconKind::Line:
        p.drawLine(3, 20, 21, 4);
        break;
    case IconKind::Circle:
        p.drawEllipse(QRectF(3, 3, 18, 18));
        break;
    case IconKind::Arc:
        p.drawArc(QRectF(3, 5, 18, 18), 20 * 16, 140 * 16);
        break;
    case IconKind::Text:
        letter(p, QStringLiteral("A"));
        break;
    case IconKind::Polygon:
        p.drawPolygon(QPolygon({{3, 18}, {8, 4}, {20, 6}, {21, 19}, {12, 14}}));
        break;
    case IconKind::Polyline:
        p.drawPolyline(QPolygon({{2, 20}, {7, 6}, {13, 16}, {17, 5}, {22, 12}}));
        break;
    case IconKind::Vector:
        p.setPen(QPen(accent, 1.6));
        p.drawLine(4, 20, 20, 4);
        arrowHead(p, {20, 4}, {4, 20});
        break;
    case IconKind::Point:
        p.setBrush(accent);
        p.drawEllipse(QPointF(12, 12), 2.5, 2.5);
        break;
    case IconKind::Loop:
        p.setPen(QPen(accent, 1.6));
        p.drawArc(QRectF(4, 4, 16, 16), 120 * 16, 300 * 16);
        arrowHead(p, {7.5, 6.5}, {11, 4.5});
        break;
    case IconKind::LoopList:
        p.setPen(QPen(accent, 1.4));
        p.drawEllipse(QRectF(2, 3, 6, 6));
        p.drawEllipse(QRectF(2, 14, 6, 6));
        p.setPen(QPen(ink, 1.4));
        p.drawLine(11, 6, 22, 6);
        p.drawLine(11, 17, 22, 17);
        break;
    case IconKind::SolveKirchhoff:
        letter(p, QStringLiteral("K"));
        break;
    case IconKind::SolveMesh:
        letter(p, QStringLiteral("M"));
        break;
    case IconKind::SolveNodes:
        letter(p, QStringLiteral("N"));
        break;
    case IconKind::PowerBalance:
        p.setBrush(QColor(250, 200, 0));
        p.drawPolygon(QPolygon({{14, 2}, {5, 14}, {11, 14}, {9, 22}, {19, 9}, {13, 9}}));
        break;
    case IconKind::Calculator:
        p.setBrush(QColor(220, 220, 220));
        p.drawRect(5, 2, 14, 20);
        p.setBrush(QColor(200, 240, 200));
        p.drawRect(7, 4, 10, 4);
        p.setBrush(ink);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                p.drawRect(7 + 4 * c, 11 + 3 * r, 2, 1);
        break;
    case IconKind::Options:
        p.setPen(QPen(ink, 2.2));
        for (int i = 0; i < 8; ++i) {
            QLineF spoke(QPointF(12, 12), QPointF(12, 2));
            spoke.setAngle(90 + 45 * i);
            p.drawLine(spoke);
        }
        p.setPen(QPen(ink, 1.2));
        p.setBrush(QColor(200, 200, 200));
        p.drawEllipse(QPointF(12, 12), 6, 6);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 12), 2.5, 2.5);
        break;
    case IconKind::AlignCentre:
        lines(p, {{3, 21}, {7, 17}, {3, 21}, {7, 17}});
        break;
    case IconKind::AlignJustify:
        lines(p, {{3, 21}, {3, 21}, {3, 21}, {3, 21}});
        break;
    case IconKind::AlignRight:
        lines(p, {{3, 21}, {11, 21}, {3, 21}, {11, 21}});
        break;
    case IconKind::Bold:
        letter(p, QStringLiteral("B"));
        break;
    case IconKind::Italic:
        letter(p, QStringLiteral("I"), false, true);
        break;
    case IconKind::Underline:
        letter(p, QStringLiteral("U"), false, false, true);
        break;
    }
}

} // namespace

QIcon makeIcon(IconKind kind) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    draw(p, kind);
    p.end();
    return QIcon(pixmap);
}

} // namespace qv::gui
