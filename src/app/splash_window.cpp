#include "app/splash_window.h"

#include "panels/clock_face.h"
#include "app/splash_pictures.h"
#include "widgets/app_info.h"
#include "widgets/ui_layout.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace platine {

namespace {
// A click is a left-button release inside the widget that was pressed.
bool isClick(const QWidget *widget, const QMouseEvent *event)
{
    return event->button() == Qt::LeftButton &&
           widget->rect().contains(event->position().toPoint());
}
}  // namespace

SplashWindow::SplashWindow(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(splashWindowCaption());
    setWindowIcon(clockFaceIcon());
    setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));
    usePanelFont(this);

    titlePicture_ = new SplashPicture(SplashPicture::Kind::Title, this);
    titlePicture_->setObjectName(QStringLiteral("Picture3"));
    placeTwips(titlePicture_, 180, 630, 8475, 3045);
    titlePicture_->installEventFilter(this);

    boardPicture_ = new SplashPicture(SplashPicture::Kind::Board, this);
    boardPicture_->setObjectName(QStringLiteral("Picture1"));
    placeTwips(boardPicture_, 2910, 3840, 3615, 2445);
    boardPicture_->installEventFilter(this);

    // The credit line has no click of its own, and its clicks must not reach the window.
    creditLabel_ = new QLabel(authorCredit(), this);
    creditLabel_->setObjectName(QStringLiteral("Label1"));
    creditLabel_->setAttribute(Qt::WA_NoMousePropagation);
    placeTwips(creditLabel_, 210, 7200, 1395, 255);
}

void SplashWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (isClick(this, event))
        Form_Click();
}

void SplashWindow::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Escape:
        unloadAndHandOver();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

bool SplashWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (watched == boardPicture_ && isClick(boardPicture_, mouse)) {
            Picture1_Click();
            return true;
        }
        if (watched == titlePicture_ && isClick(titlePicture_, mouse)) {
            Picture3_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SplashWindow::Form_Click()
{
    unloadAndHandOver();
}

void SplashWindow::Picture1_Click()
{
    unloadAndHandOver();
}

void SplashWindow::Picture3_Click()
{
    unloadAndHandOver();
}

void SplashWindow::unloadAndHandOver()
{
    if (handedOver_)
        return;
    handedOver_ = true;
    // The main window takes over: closing the splash must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    close();  // deleted once control returns to the event loop
    emit handOver();
}

}  // namespace platine
