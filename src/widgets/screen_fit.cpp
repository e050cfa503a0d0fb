#include "widgets/screen_fit.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace platine {

namespace {

// The size wanted, less what does not fit; once the window is on screen, also moved inside the
// free area.
void bound(QWidget &window, QSize wanted)
{
    const QScreen *screen = window.screen();
    if (!screen) {
        window.resize(wanted);
        return;
    }
    const QRect room = screen->availableGeometry();
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    window.resize(wanted.boundedTo(room.size() - frame));
    if (!window.isVisible())
        return;
    QRect placed = window.frameGeometry();
    placed.moveRight(std::min(placed.right(), room.right()));
    placed.moveBottom(std::min(placed.bottom(), room.bottom()));
    placed.moveLeft(std::max(placed.left(), room.left()));
    placed.moveTop(std::max(placed.top(), room.top()));
    if (placed.topLeft() != window.frameGeometry().topLeft())
        window.move(placed.topLeft());
}

// The window's frame is only known once it is shown: the size is checked again then, and once
// more when the desktop has had time to give the frame its size.
class FitOnShow : public QObject
{
public:
    FitOnShow(QWidget &window, QSize wanted) : QObject(&window), wanted_(wanted)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            QPointer<QWidget> window = static_cast<QWidget *>(watched);
            bound(*window, wanted_);
            QTimer::singleShot(0, window, [window, wanted = wanted_] {
                if (window)
                    bound(*window, wanted);
            });
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QSize wanted_;
};

}  // namespace

void fitWindowToScreen(QWidget &window, QSize wanted)
{
    bound(window, wanted);
    if (!window.isVisible())
        new FitOnShow(window, wanted);
}

}  // namespace platine
