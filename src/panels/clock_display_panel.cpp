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

    label8_ = new QLabel(portStateText(false), this);
    label8_->setObjectName(QStringLiteral("Label8"));
    placeTwips(label8_, 5640, 150, 825, 225);
    shrinkFontToFit(label8_, {portStateText(true), portStateText(false)});

    text1_ = new QLineEdit(QStringLiteral("...."), this);
    text1_->setObjectName(QStringLiteral("Text1"));
    placeTwips(text1_, 570, 600, 5115, 375);
    QPalette displayPalette = text1_->palette();
    displayPalette.setColor(QPalette::Base, QColor(255, 255, 192));
    displayPalette.setColor(QPalette::Text, textColourFor(QColor(255, 255, 192)));
    text1_->setPalette(displayPalette);

    command2_ = makeButton(QStringLiteral("Ouverture port"), QStringLiteral("Command2"), 90, this);
    command3_ =
        makeButton(QStringLiteral("Fermeture port"), QStringLiteral("Command3"), 1680, this);
    command9_ = makeButton(QStringLiteral("Quitter"), QStringLiteral("Command9"), 3330, this);

    switch_ = new SwitchDrawing(SwitchDrawing::Lever::On, SwitchDrawing::Lever::On,
                                SwitchDrawing::Labels::OffOn, this);
    switch_->setObjectName(QStringLiteral("switchDrawing"));
    switch_->placeBodyAt(QPoint(5760, 1140));

    connect(command2_, &QPushButton::clicked, this, &ClockDisplayPanel::portOpenRequested);
    connect(command3_, &QPushButton::clicked, this, &ClockDisplayPanel::portCloseRequested);
    // The port stays as it is.
    connect(command9_, &QPushButton::clicked, this, &QWidget::hide);
    connect(text1_, &QLineEdit::textChanged, this, &ClockDisplayPanel::boardTextShown);
    text1_->installEventFilter(this);
    command9_->setToolTip(QStringLiteral("Cache ce panneau ; le port reste tel qu'il est."));
    text1_->setAccessibleName(QStringLiteral("Heure envoyée par la platine"));
    text1_->setToolTip(QStringLiteral("Le texte que la platine envoie ; un clic l'efface."));
    showTextAsLive(text1_, false);
}

void ClockDisplayPanel::showPortState(bool open)
{
    label8_->setText(portStateText(open));
    showTextAsLive(text1_, open);
}

void ClockDisplayPanel::showBoardText(const QString &text)
{
    if (text1_->text() == text)
        emit boardTextShown(text);  // same text again: the mirrors still show it
    else
        text1_->setText(text);
}

bool ClockDisplayPanel::eventFilter(QObject *watched, QEvent *event)
{
    // A click on Text1 empties it; when it is already empty the mirrors are emptied all the
    // same.
    if (watched == text1_ && event->type() == QEvent::MouseButtonPress) {
        if (text1_->text().isEmpty())
            emit boardTextShown(QString());
        else
            text1_->clear();
    }
    return QGroupBox::eventFilter(watched, event);
}

QString ClockDisplayPanel::portStateText(bool open)
{
    return open ? QStringLiteral("Port ouvert") : QStringLiteral("Port fermé");
}

}  // namespace platine
