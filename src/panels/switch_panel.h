#pragma once

#include "widgets/switch_drawing.h"

#include <QGroupBox>
#include <QList>

class QLabel;
class QPushButton;

namespace platine {

// Frame5, "Position des switchs": which positions of the board's two levers select each of
// its four modes, as four switch drawings with the mode under each.
class SwitchPanel : public QGroupBox
{
    Q_OBJECT

public:
    static constexpr int kLeft = 3330;
    static constexpr int kTop = 2580;
    static constexpr int kWidth = 6525;
    static constexpr int kHeight = 2115;

    // One mode of the board: its caption, the lever positions that select it and where its
    // drawing's body stands on the panel (twips).
    struct Mode
    {
        const char16_t *caption;
        SwitchDrawing::Lever left;
        SwitchDrawing::Lever right;
        int bodyLeft;
        int bodyTop;
    };
    static const QList<Mode> &modes();

    explicit SwitchPanel(QWidget *parent = nullptr);

    QPushButton *quitButton() const { return quitButton_; }
    const QList<SwitchDrawing *> &drawings() const { return drawings_; }
    const QList<QLabel *> &modeCaptions() const { return modeCaptions_; }

private:
    QPushButton *quitButton_ = nullptr;
    QList<SwitchDrawing *> drawings_;
    QList<QLabel *> modeCaptions_;
};

}  // namespace platine
