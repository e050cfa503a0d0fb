#pragma once

#include <QWidget>

class QPainter;

namespace platine {

// The splash window's two pictures, drawn by the program itself.

// Picture3: the title, one line of large decorative serif lettering naming the board, between
// two ornamental rules.
void paintTitleDrawing(QPainter &painter, const QRectF &bounds);

// Picture1: the board's electronics seen from above: the microcontroller with its crystal, the
// real-time-clock module with its backup cell, the mode switch, the six relays and their
// terminal blocks.
void paintBoardIllustration(QPainter &painter, const QRectF &bounds);

// A picture box showing one of the two drawings.
class SplashPicture : public QWidget
{
    Q_OBJECT

public:
    enum class Kind { Title, Board };

    explicit SplashPicture(Kind kind, QWidget *parent = nullptr);

    Kind kind() const { return kind_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Kind kind_;
};

}  // namespace platine
