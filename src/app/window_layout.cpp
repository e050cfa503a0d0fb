#include "app/window_layout.h"

#include "widgets/screen_fit.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>

namespace platine {

QWidget *buildScrollingClientArea(QMainWindow &window, QSize clientSize, QWidget *under)
{
    auto *central = new QWidget(&window);
    auto *clientArea = new QWidget;
    clientArea->setObjectName(QStringLiteral("clientArea"));
    clientArea->setFixedSize(clientSize);
    auto *scroll = new QScrollArea(central);
    scroll->setObjectName(QStringLiteral("clientScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(clientArea);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(scroll, 1);
    under->setParent(central);
    column->addWidget(under);
    window.setCentralWidget(central);
    return clientArea;
}

void fitToScreen(QMainWindow &window, QWidget *clientArea, QWidget *under)
{
    const int extraHeight = window.menuBar()->sizeHint().height() + under->minimumHeight() +
                            window.statusBar()->sizeHint().height();
    fitWindowToScreen(window,
                      window.sizeHint().expandedTo(clientArea->size() + QSize(0, extraHeight)));
}

}  // namespace platine
