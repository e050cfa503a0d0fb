#include "panels/clock_display_panel.h"

#include "widgets/contrast.h"
#include "widgets/field_mark.h"
#include "widgets/switch_drawing.h"
#include "widgets/ui_layout.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace platine {

namespace {
QPushButton *makeButton(const QString &text, const QString &name, int left, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    placeTwips(button, left, 1320, 1455, 330);
    return button;
}
}  // namespace

ClockDisplayPanel::ClockDisplayPanel(QWidget *parent)
    : QGroupBox(QStringLiteral("Affichage de l'heure de la platine"), parent)
{
    setObjectName(QStringLiteral("Frame3"));
    placeTwips(this, kLeft, kTop, kWidth, kHeight);
    usePanelFont(this);
    makeOpaque(this);

    portStateLabel_ = new QLabel(portStateText(false), this);
    portStateLabel_->setObjectName(QStringLiteral("Label8"));
    placeTwips(portStateLabel_, 5640, 150, 825, 225);
    shrinkFontToFit(portStateLabel_, {portStateText(true), portStateText(false)});

    boardText_ = new QLineEdit(QStringLiteral("...."), this);
    boardText_->setObjectName(QStringLiteral("Text1"));
    placeTwips(boardText_, 570, 600, 5115, 375);
    QPalette displayPalette = boardText_->palette();
    displayPalette.setColor(QPalette::Base, QColor(255, 255, 192));
    displayPalette.setColor(QPalette::Text, textColourFor(QColor(255, 255, 192)));
    boardText_->setPalette(displayPalette);

    openPortButton_ = makeButton(QStringLiteral("Ouverture port"), QStringLiteral("Command2"), 90, this);
    closePortButton_ =
        makeButton(QStringLiteral("Fermeture port"), QStringLiteral("Command3"), 1680, this);
    quitButton_ = makeButton(QStringLiteral("Quitter"), QStringLiteral("Command9"), 3330, this);

    switch_ = new SwitchDrawing(SwitchDrawing::Lever::On, SwitchDrawing::Lever::On,
                                SwitchDrawing::Labels::OffOn, this);
    switch_->setObjectName(QStringLiteral("switchDrawing"));
    switch_->placeBodyAt(QPoint(5760, 1140));

    connect(openPortButton_, &QPushButton::clicked, this, &ClockDisplayPanel::portOpenRequested);
    connect(closePortButton_, &QPushButton::clicked, this, &ClockDisplayPanel::portCloseRequested);
    // The port stays as it is.
    connect(quitButton_, &QPushButton::clicked, this, &QWidget::hide);
    connect(boardText_, &QLineEdit::textChanged, this, &ClockDisplayPanel::boardTextShown);
    boardText_->installEventFilter(this);
    quitButton_->setToolTip(QStringLiteral("Cache ce panneau ; le port reste tel qu'il est."));
    boardText_->setAccessibleName(QStringLiteral("Heure envoyée par la platine"));
    boardText_->setToolTip(QStringLiteral("Le texte que la platine envoie ; un clic l'efface."));
    showTextAsLive(boardText_, false);
}

void ClockDisplayPanel::showPortState(bool open)
{
    portStateLabel_->setText(portStateText(open));
    showTextAsLive(boardText_, open);
}

void ClockDisplayPanel::showBoardText(const QString &text)
{
    if (boardText_->text() == text)
        emit boardTextShown(text);  // same text again: the mirrors still show it
    else
        boardText_->setText(text);
}

bool ClockDisplayPanel::eventFilter(QObject *watched, QEvent *event)
{
    // A click on Text1 empties it; when it is already empty the mirrors are emptied all the
    // same.
    if (watched == boardText_ && event->type() == QEvent::MouseButtonPress) {
        if (boardText_->text().isEmpty())
            emit boardTextShown(QString());
        else
            boardText_->clear();
    }
    return QGroupBox::eventFilter(watched, event);
}

QString ClockDisplayPanel::portStateText(bool open)
{
    return open ? QStringLiteral("Port ouvert") : QStringLiteral("Port fermé");
}

}  // namespace platine
