#pragma once

#include <QIcon>
#include <QWidget>

class QPainter;

namespace platine {

// Our own clock-face picture: a round dial with twelve hour marks and two hands at ten past ten.
// Used as the clock-setting panel's icon and as the windows' icon.
void paintClockFace(QPainter &painter, const QRectF &bounds);
QIcon clockFaceIcon();

class ClockFace : public QWidget
{
    Q_OBJECT

public:
    explicit ClockFace(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

}  // namespace platine
