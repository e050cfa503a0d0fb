#include "panels/clock_face.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>

namespace platine {

void paintClockFace(QPainter &painter, const QRectF &bounds)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(bounds.width(), bounds.height());
    painter.translate(bounds.center());
    painter.scale(side / 100.0, side / 100.0);

    // Case and dial.
    QRadialGradient caseShade(QPointF(-15, -15), 70);
    caseShade.setColorAt(0, QColor(250, 226, 140));
    caseShade.setColorAt(1, QColor(160, 110, 30));
    painter.setPen(QPen(QColor(90, 60, 20), 2));
    painter.setBrush(caseShade);
    painter.drawEllipse(QPointF(0, 0), 48, 48);
    painter.setBrush(QColor(255, 253, 240));
    painter.setPen(QPen(QColor(120, 90, 40), 1.5));
    painter.drawEllipse(QPointF(0, 0), 40, 40);

    // Hour marks, heavier at 12, 3, 6 and 9.
    for (int hour = 0; hour < 12; ++hour) {
        painter.save();
        painter.rotate(hour * 30.0);
        const bool quarter = hour % 3 == 0;
        painter.setPen(QPen(QColor(40, 40, 40), quarter ? 4 : 2, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(0, -36), QPointF(0, quarter ? -27 : -31));
        painter.restore();
    }

    // Hands: hour hand towards ten, minute hand towards two, a thin red seconds hand.
    auto hand = [&painter](qreal angle, qreal length, qreal width, const QColor &colour) {
        painter.save();
        painter.rotate(angle);
        QPainterPath path;
        path.moveTo(-width / 2, 6);
        path.lineTo(0, -length);
        path.lineTo(width / 2, 6);
        path.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPath(path);
        painter.restore();
    };
    hand(-60.0 + 5.0, 22, 7, QColor(30, 30, 30));
    hand(60.0, 32, 5, QColor(30, 30, 30));
    painter.save();
    painter.rotate(180.0);
    painter.setPen(QPen(QColor(200, 30, 30), 1.5));
    painter.drawLine(QPointF(0, 8), QPointF(0, -34));
    painter.restore();
    painter.setBrush(QColor(200, 30, 30));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(0, 0), 3, 3);
    painter.restore();
}

QIcon clockFaceIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paintClockFace(painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

ClockFace::ClockFace(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ClockFace::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintClockFace(painter, rect());
}

}  // namespace platine
