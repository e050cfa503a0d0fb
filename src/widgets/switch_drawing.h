#pragma once

#include <QPoint>
#include <QWidget>

class QLabel;

namespace platine {

// The board's two-lever DIP switch, drawn from plain shapes: the "Switch" caption just above an
// outlined body, two outlined lever slots and a filled knob in each, at the slot's top (upper
// position, "Off") or 150 twips lower (lower position, "On"). Optionally with its own "Off" and
// "On" labels to the left of the body, level with the two knob positions. The drawing is static
// and lets mouse clicks through to whatever lies under it.
class SwitchDrawing : public QWidget
{
    Q_OBJECT

public:
    enum class Lever { Off, On };
    enum class Labels { None, OffOn };

    // Sizes and offsets in twips, relative to the body's top-left corner.
    static constexpr int kBodyWidth = 495;
    static constexpr int kBodyHeight = 375;
    static constexpr int kSlotWidth = 165;
    static constexpr int kSlotHeight = 285;
    static constexpr int kLeftSlotX = 60;
    static constexpr int kRightSlotX = 270;
    static constexpr int kSlotY = 60;
    static constexpr int kKnobHeight = 135;
    static constexpr int kKnobTravel = 150;
    static constexpr int kCaptionWidth = 705;
    static constexpr int kCaptionHeight = 195;
    static constexpr int kLevelLabelWidth = 315;
    static constexpr int kLevelLabelHeight = 225;
    static constexpr int kLevelLabelX = -420;    // "Off" and "On" stand this far left of the body
    static constexpr int kOffLabelY = -60;       // level with the upper knob position
    static constexpr int kOnLabelY = -60 + 300;  // level with the lower one

    SwitchDrawing(Lever left, Lever right, Labels labels, QWidget *parent = nullptr);

    // Places the drawing so that its body's top-left corner is at bodyTwips in the parent.
    void placeBodyAt(QPoint bodyTwips);

    Lever leftLever() const { return left_; }
    Lever rightLever() const { return right_; }

    // The body's rectangle and the knobs' rectangles, in this widget's pixels.
    QRect bodyRect() const;
    QRect knobRect(int lever) const;  // 0: left lever, 1: right lever

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint bodyOriginTwips() const;  // the body's corner within this widget, in twips

    Lever left_;
    Lever right_;
    Labels labels_;
    QLabel *caption_ = nullptr;
    QLabel *offLabel_ = nullptr;
    QLabel *onLabel_ = nullptr;
};

}  // namespace platine
