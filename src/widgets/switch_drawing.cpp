#include "widgets/switch_drawing.h"

#include "widgets/ui_layout.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace platine {

namespace {
QLabel *makeLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}
}  // namespace

SwitchDrawing::SwitchDrawing(Lever left, Lever right, Labels labels, QWidget *parent)
    : QWidget(parent), left_(left), right_(right), labels_(labels)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const QPoint origin = bodyOriginTwips();

    caption_ = makeLabel(QStringLiteral("Switch"), this);
    caption_->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    placeTwips(caption_, origin.x() - (kCaptionWidth - kBodyWidth) / 2, origin.y() - kCaptionHeight,
               kCaptionWidth, kCaptionHeight);

    if (labels_ == Labels::OffOn) {
        offLabel_ = makeLabel(QStringLiteral("Off"), this);
        onLabel_ = makeLabel(QStringLiteral("On"), this);
        placeTwips(offLabel_, origin.x() + kLevelLabelX, origin.y() + kOffLabelY, kLevelLabelWidth,
                   kLevelLabelHeight);
        placeTwips(onLabel_, origin.x() + kLevelLabelX, origin.y() + kOnLabelY, kLevelLabelWidth,
                   kLevelLabelHeight);
    }

    const int rightEdge = std::max(kBodyWidth, (kCaptionWidth + kBodyWidth) / 2);
    const int bottom = labels_ == Labels::OffOn
                           ? std::max(kBodyHeight, kOnLabelY + kLevelLabelHeight)
                           : kBodyHeight;
    resize(twipsToPixels(origin.x() + rightEdge), twipsToPixels(origin.y() + bottom));
}

QPoint SwitchDrawing::bodyOriginTwips() const
{
    const int captionOverhang = (kCaptionWidth - kBodyWidth) / 2;
    const int left = labels_ == Labels::OffOn ? -kLevelLabelX : captionOverhang;
    return QPoint(left, kCaptionHeight);
}

void SwitchDrawing::placeBodyAt(QPoint bodyTwips)
{
    const QPoint origin = bodyOriginTwips();
    moveTwips(this, bodyTwips.x() - origin.x(), bodyTwips.y() - origin.y());
}

QRect SwitchDrawing::bodyRect() const
{
    const QPoint origin = bodyOriginTwips();
    return twipsRect(origin.x(), origin.y(), kBodyWidth, kBodyHeight);
}

QRect SwitchDrawing::knobRect(int lever) const
{
    const QPoint origin = bodyOriginTwips();
    const int slotX = lever == 0 ? kLeftSlotX : kRightSlotX;
    const Lever position = lever == 0 ? left_ : right_;
    const int knobY = kSlotY + (position == Lever::On ? kKnobTravel : 0);
    return twipsRect(origin.x() + slotX, origin.y() + knobY, kSlotWidth, kKnobHeight);
}

void SwitchDrawing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPoint origin = bodyOriginTwips();
    const QColor ink = palette().color(QPalette::WindowText);

    // Outlines are drawn inside their rectangles so that each shape keeps its exact size.
    auto outline = [&](const QRect &rect) { painter.drawRect(rect.adjusted(0, 0, -1, -1)); };

    painter.setPen(ink);
    painter.setBrush(Qt::NoBrush);
    outline(bodyRect());
    for (const int slotX : {kLeftSlotX, kRightSlotX})
        outline(twipsRect(origin.x() + slotX, origin.y() + kSlotY, kSlotWidth, kSlotHeight));

    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawRect(knobRect(0));
    painter.drawRect(knobRect(1));
}

}  // namespace platine
