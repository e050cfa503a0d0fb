#pragma once

#include <QSize>

class QMainWindow;
class QWidget;

namespace platine {

// Lays out the main window's central part: the client area, clientSize pixels at all times,
// inside a scroll area that scrolls it when the window is smaller, and below it `under` (the
// message strip). Returns the client area, on which the panels are placed.
QWidget *buildScrollingClientArea(QMainWindow &window, QSize clientSize, QWidget *under);

// Gives the window the size that shows the whole client area, no larger than its screen.
void fitToScreen(QMainWindow &window, QWidget *clientArea, QWidget *under);

}  // namespace platine
