#include "panels/switch_panel.h"

#include "widgets/ui_layout.h"

#include <QLabel>
#include <QPushButton>

namespace platine {

namespace {
constexpr int kModeCaptionTop = 1350;
// Centred under its drawing; wider than the 1530 twips between two drawings, which the
// captions' texts never fill on both sides at once.
constexpr int kModeCaptionWidth = 1800;
constexpr int kModeCaptionHeight = 390;  // two lines, should a caption ever need them
}  // namespace

const QList<SwitchPanel::Mode> &SwitchPanel::modes()
{
    using Lever = SwitchDrawing::Lever;
    static const QList<Mode> list = {
        {u"Normal", Lever::Off, Lever::Off, 540, 720},
        {u"Affichage heure", Lever::On, Lever::On, 2130, 750},
        {u"Mise à l'heure", Lever::Off, Lever::On, 3660, 720},
        {u"Programmation relais", Lever::On, Lever::Off, 5190, 750},
    };
    return list;
}

SwitchPanel::SwitchPanel(QWidget *parent)
    : QGroupBox(QStringLiteral("Position des switchs"), parent)
{
    setObjectName(QStringLiteral("Frame5"));
    placeTwips(this, kLeft, kTop, kWidth, kHeight);
    usePanelFont(this);
    makeOpaque(this);

    // One "Off" / "On" pair at the left edge serves the four drawings.
    auto *off = new QLabel(QStringLiteral("Off"), this);
    placeTwips(off, 120, 660, SwitchDrawing::kLevelLabelWidth, SwitchDrawing::kLevelLabelHeight);
    auto *on = new QLabel(QStringLiteral("On"), this);
    placeTwips(on, 120, 960, SwitchDrawing::kLevelLabelWidth, SwitchDrawing::kLevelLabelHeight);

    int index = 0;
    for (const Mode &mode : modes()) {
        auto *drawing = new SwitchDrawing(mode.left, mode.right, SwitchDrawing::Labels::None, this);
        drawing->setObjectName(controlArrayName(QStringLiteral("switchDrawing"), index));
        drawing->placeBodyAt(QPoint(mode.bodyLeft, mode.bodyTop));
        drawings_.append(drawing);

        auto *caption = new QLabel(QString::fromUtf16(mode.caption), this);
        caption->setObjectName(controlArrayName(QStringLiteral("modeCaption"), index));
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        caption->setWordWrap(true);
        const int centre = mode.bodyLeft + SwitchDrawing::kBodyWidth / 2;
        placeTwips(caption, centre - kModeCaptionWidth / 2, kModeCaptionTop, kModeCaptionWidth,
                   kModeCaptionHeight);
        usePanelFont(caption, 10);  // a little smaller, to keep the four apart
        shrinkFontToFit(caption, {caption->text()});
        modeCaptions_.append(caption);
        ++index;
    }

    quitButton_ = new QPushButton(QStringLiteral("&Quitter"), this);
    quitButton_->setObjectName(QStringLiteral("Command10"));
    placeTwips(quitButton_, 4860, 1740, 1455, 330);
    connect(quitButton_, &QPushButton::clicked, this, &QWidget::hide);
    quitButton_->setToolTip(QStringLiteral("Cache ce panneau."));
}

}  // namespace platine
