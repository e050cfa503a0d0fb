#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

class QWidget;

namespace platine {

// The windows are laid out in twips (1/1440 inch) as the board's tools always were: 15 twips
// make one pixel at 96 dots per inch. Qt's device-independent pixels play the role of those
// 96-dpi pixels, so the same numbers give the right size on high-DPI screens as well.
inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips / kTwipsPerPixel;
}

// A rectangle given in twips, in device-independent pixels.
QRect twipsRect(int left, int top, int width, int height);

// Places a child widget at a position and size given in twips, relative to its parent.
void placeTwips(QWidget *widget, int left, int top, int width, int height);

// Moves a child widget to a position given in twips, keeping its size.
void moveTwips(QWidget *widget, int left, int top);

// The object name of a member of a control array: "Text2" and 12 give "Text2_12". Every
// indexed control (text fields, check boxes, relay frames, captions) is named this way.
QString controlArrayName(const QString &baseName, int index);

// The font the panels use: the system's sans-serif face at 11 pixels, so that captions keep
// their size relative to the twip layout. pixelSize lets a control use a smaller size when its
// caption would not fit otherwise.
void usePanelFont(QWidget *widget, int pixelSize = 11);

// Lowers the font of a control one pixel at a time, down to minPixelSize, until the widest of
// the texts it shows fits on one line in availableWidth pixels (by default, < 0: the width of
// the control's contents).
void shrinkFontToFit(QWidget *widget, const QStringList &texts, int minPixelSize = 9,
                     int availableWidth = -1);

// Makes a panel paint its own background, so that a panel lying over another hides it.
void makeOpaque(QWidget *panel);

}  // namespace platine
