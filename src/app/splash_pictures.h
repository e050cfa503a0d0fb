#pragma once

#include <QImage>
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

// A picture box showing one of the two drawings. It shows them as shipped with the program,
// drawn beforehand by the functions above at one and at two device pixels per pixel
// (src/app/data/splash_*.png, written by tests/app/render_splash_pictures.cpp): showing them is
// a copy, where drawing the title first loads a font and builds the outlines of its letters,
// which held the splash's first frame back. Without a shipped picture of its size, the box
// draws its picture itself.
class SplashPicture : public QWidget
{
    Q_OBJECT

public:
    enum class Kind { Title, Board };

    // The picture shipped for a kind at a scale (1 or 2, device pixels per pixel), loaded once;
    // a null image when there is none.
    static QImage shippedPicture(Kind kind, int scale);
    // The splash will show the pictures of this scale: decodeExpectedPictures() may decode them
    // on another thread beforehand, so that the splash's first frame does not wait for them.
    static void expectShippedPictures(int scale);
    // Decodes both pictures of the expected scale once, on the calling thread; a thread asking
    // while another decodes them waits for it. shippedPicture() then takes them from there.
    static void decodeExpectedPictures();
    // Draws the picture of a kind at a size and scale, as the shipped ones were drawn.
    static QImage drawPicture(Kind kind, const QSize &size, int scale);

    explicit SplashPicture(Kind kind, QWidget *parent = nullptr);

    Kind kind() const { return kind_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Kind kind_;
};

}  // namespace platine
