#pragma once

#include <QWidget>

class QLabel;

namespace platine {

class SplashPicture;

// Form2, the title window shown at start-up: the title drawing (Picture3), the board's
// electronics (Picture1) and the credit line (Label1). It waits for a click on its background
// or on either picture; the click closes and deletes it, then handOver() asks for the main
// window. A click on the credit line does nothing. Closing it any other way (the window
// manager's close button) ends the program like closing the last window always does.
class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    // The client area, in twips.
    static constexpr int kClientWidth = 8775;
    static constexpr int kClientHeight = 7590;

    explicit SplashWindow(QWidget *parent = nullptr);

    SplashPicture *boardPicture() const { return boardPicture_; }
    SplashPicture *titlePicture() const { return titlePicture_; }
    QLabel *creditLabel() const { return creditLabel_; }

signals:
    // The splash has been closed by a click: show the main window.
    void handOver();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    // Enter, Space and Escape close the splash as a click does.
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Click();
    void Picture1_Click();
    void Picture3_Click();
    void unloadAndHandOver();

    SplashPicture *titlePicture_ = nullptr;
    SplashPicture *boardPicture_ = nullptr;
    QLabel *creditLabel_ = nullptr;
    bool handedOver_ = false;
};

}  // namespace platine
