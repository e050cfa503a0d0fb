#pragma once

#include <QSize>

class QWidget;

namespace platine {

// Gives a top-level window the size wanted, or less where its screen's free area (without the
// desktop's panels, nor the window's frame once it is known) is smaller, so that nothing of it
// opens off the screen, at 200 % as at 100 %.
void fitWindowToScreen(QWidget &window, QSize wanted);

}  // namespace platine
