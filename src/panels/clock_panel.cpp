#include "panels/clock_panel.h"

#include "link/clock_send.h"

#include "link/days.h"
#include "panels/clock_face.h"
#include "widgets/field_mark.h"
#include "widgets/switch_drawing.h"
#include "widgets/ui_layout.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPalette>
#include <QPushButton>

namespace platine {

ClockPanel::ClockPanel(QWidget *parent, std::function<QDateTime()> clock)
    : QGroupBox(QStringLiteral("Mise à l'heure de la platine"), parent), clock_(std::move(clock))
{
    if (!clock_)
        clock_ = [] { return QDateTime::currentDateTime(); };
    setObjectName(QStringLiteral("Frame1"));
    placeTwips(this, kLeft, kTop, kWidth, kHeight);
    usePanelFont(this);
    makeOpaque(this);

    clockFace_ = new ClockFace(this);
    clockFace_->setObjectName(QStringLiteral("clockFace"));
    placeTwips(clockFace_, 4140, 180, 480, 480);

    pcTimeLabel_ = new QLabel(QStringLiteral("Label1"), this);
    pcTimeLabel_->setObjectName(QStringLiteral("Label1"));
    placeTwips(pcTimeLabel_, 3960, 720, 975, 225);

    switch_ = new SwitchDrawing(SwitchDrawing::Lever::Off, SwitchDrawing::Lever::On,
                                SwitchDrawing::Labels::OffOn, this);
    switch_->setObjectName(QStringLiteral("switchDrawing"));
    switch_->placeBodyAt(QPoint(4200, 3990));

    boardTextMirror_ = new QLineEdit(QStringLiteral("..."), this);
    boardTextMirror_->setObjectName(QStringLiteral("Text4"));
    placeTwips(boardTextMirror_, 90, 4470, 4725, 285);
    QPalette mirrorPalette = boardTextMirror_->palette();
    mirrorPalette.setColor(QPalette::Base, mirrorPalette.color(QPalette::Button));
    boardTextMirror_->setPalette(mirrorPalette);

    // The seven clock fields, one under the other, each with its caption on its left. The day
    // of the week is a list of the seven names, Monday first as on a French calendar; a name
    // can still be typed.
    static const char *const kFieldNames[kClockFieldCount] = {
        "heure", "minutes", "seconde", "jour", "mois", "annee", "numero_jour"};
    for (int i = 0; i < kClockFieldCount; ++i) {
        const auto which = static_cast<ClockField>(i);
        const int top = 360 + i * 480;
        auto *caption = new QLabel(clockFieldCaption(which), this);
        caption->setObjectName(controlArrayName(QStringLiteral("Label3"), i));
        placeTwips(caption, 120, top + 30, 1755, 255);
        QLineEdit *field = nullptr;
        QWidget *control = nullptr;
        if (which == ClockField::WeekDay) {
            weekDayList_ = new QComboBox(this);
            weekDayList_->setEditable(true);
            weekDayList_->setInsertPolicy(QComboBox::NoInsert);
            QStringList names = weekDayNames();
            names.append(names.takeFirst());
            weekDayList_->addItems(names);
            weekDayList_->setEditText(QStringLiteral(".."));
            field = weekDayList_->lineEdit();
            control = weekDayList_;
            connect(weekDayList_, &QComboBox::activated, this, [this] { stopFollowing(); });
        } else {
            field = new QLineEdit(QStringLiteral(".."), this);
            control = field;
        }
        control->setObjectName(QLatin1String(kFieldNames[i]));
        control->setAccessibleName(clockFieldCaption(which));
        field->setAccessibleName(clockFieldCaption(which));
        caption->setBuddy(control);
        placeTwips(control, 1920, top, which == ClockField::WeekDay ? 1575 : 1095, 315);
        fields_[static_cast<size_t>(i)] = field;
        // Any change but the panel's own fill is the user's: typed, pasted or set through the
        // accessibility interface.
        connect(field, &QLineEdit::textChanged, this, [this, which] {
            if (filling_)
                return;
            stopFollowing();
            if (which == ClockField::Day || which == ClockField::Month || which == ClockField::Year)
                matchWeekDayToDate();
        });
    }

    sourceLabel_ = new QLabel(this);
    sourceLabel_->setObjectName(QStringLiteral("clockSource"));
    sourceLabel_->setWordWrap(true);
    placeTwips(sourceLabel_, 120, 3630, 3600, 510);

    programmingButton_ = new QPushButton(QStringLiteral("Progra&mmation"), this);
    programmingButton_->setObjectName(QStringLiteral("Command1"));
    placeTwips(programmingButton_, kCommand1Left, kCommandTop, kCommandWidth, kCommandHeight);

    pcClockButton_ = new QPushButton(QStringLiteral("heure P&C"), this);
    pcClockButton_->setObjectName(QStringLiteral("Command4"));
    placeTwips(pcClockButton_, kCommand4Left, kCommandTop, kCommandWidth, kCommandHeight);

    quitButton_ = new QPushButton(QStringLiteral("&Quitter"), this);
    quitButton_->setObjectName(QStringLiteral("Command8"));
    placeTwips(quitButton_, kCommand8Left, kCommandTop, kCommandWidth, kCommandHeight);

    connect(programmingButton_, &QPushButton::clicked, this, [this] {
        boardTextMirror_->clear();
        emit clockSendRequested(fields());
    });
    connect(pcClockButton_, &QPushButton::clicked, this, [this] { followPcClock(clock_()); });
    connect(quitButton_, &QPushButton::clicked, this, &QWidget::hide);
    quitButton_->setToolTip(QStringLiteral("Cache ce panneau."));
    boardTextMirror_->setAccessibleName(QStringLiteral("Texte reçu de la platine"));
    showBoardTextAsLive(false);
    setFollowing(false);
    // Reading order: the fields from top to bottom, then the buttons left to right.
    QWidget *previous = fields_.front();
    for (QWidget *next :
         {static_cast<QWidget *>(fields_[1]), static_cast<QWidget *>(fields_[2]),
          static_cast<QWidget *>(fields_[3]), static_cast<QWidget *>(fields_[4]),
          static_cast<QWidget *>(fields_[5]), static_cast<QWidget *>(weekDayList_),
          static_cast<QWidget *>(programmingButton_), static_cast<QWidget *>(pcClockButton_),
          static_cast<QWidget *>(quitButton_), static_cast<QWidget *>(boardTextMirror_)}) {
        setTabOrder(previous, next);
        previous = next;
    }
}

ClockFields ClockPanel::fields() const
{
    const auto text = [this](ClockField which) { return field(which)->text(); };
    return ClockFields{text(ClockField::Hours),   text(ClockField::Minutes),
                       text(ClockField::Seconds), text(ClockField::Day),
                       text(ClockField::Month),   text(ClockField::Year),
                       text(ClockField::WeekDay)};
}

void ClockPanel::setFields(const ClockFields &fields)
{
    filling_ = true;
    for (int i = 0; i < kClockFieldCount; ++i) {
        const auto which = static_cast<ClockField>(i);
        if (which == ClockField::WeekDay)
            showWeekDay(fields.weekDay);
        else
            field(which)->setText(fields.text(which));
    }
    filling_ = false;
}

void ClockPanel::showWeekDay(const QString &name)
{
    const int index = weekDayList_->findText(name);
    if (index >= 0)
        weekDayList_->setCurrentIndex(index);
    weekDayList_->setEditText(name);
}

void ClockPanel::followPcClock(const QDateTime &now)
{
    setFields(clockFieldsFor(now));
    setFollowing(true);
}

void ClockPanel::setFollowing(bool following)
{
    following_ = following;
    sourceLabel_->setText(following ? QStringLiteral("Heure du PC, suivie à la seconde.")
                                    : QStringLiteral("Heure figée, saisie à la main ; « heure "
                                                     "PC » la fait suivre de nouveau."));
}

void ClockPanel::stopFollowing()
{
    if (following_)
        setFollowing(false);
}

void ClockPanel::matchWeekDayToDate()
{
    const ClockFields typed = fields();
    bool dayOk = false, monthOk = false, yearOk = false;
    const QDate date(typed.year.left(4).toInt(&yearOk), typed.month.left(2).toInt(&monthOk),
                     typed.day.left(2).toInt(&dayOk));
    if (dayOk && monthOk && yearOk && typed.year.size() >= 4 && date.isValid())
        showWeekDay(dayNameForQtDayOfWeek(date.dayOfWeek()));
}

void ClockPanel::markInvalid(ClockField which)
{
    markInvalidField(field(which), [this] { emit fieldCorrected(); });
}

void ClockPanel::showSendResult(const ClockSendResult &result)
{
    if (!following_ && result.fieldError)
        markInvalid(result.fieldError->field);
    else if (following_ && !result.fieldError && !result.frame.isEmpty())
        setFields(clockFieldsFor(result.moment));
}

void ClockPanel::showBoardText(const QString &text)
{
    boardTextMirror_->setText(text);
}

void ClockPanel::showBoardTextAsLive(bool live)
{
    showTextAsLive(boardTextMirror_, live);
}

void ClockPanel::showPcTime(const QDateTime &now)
{
    pcTimeLabel_->setText(QLocale::c().toString(now.time(), u"HH:mm:ss"));
    if (following_ && isVisible())
        setFields(clockFieldsFor(now));
}

}  // namespace platine
