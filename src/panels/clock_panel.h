#pragma once

#include "link/clock_frame.h"

#include <QDateTime>
#include <QGroupBox>

#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace platine {

class ClockFace;
class SwitchDrawing;
struct ClockSendResult;

// Frame1, "Mise à l'heure de la platine": the panel that sets the board's clock.
//
// Layout (twips, relative to the panel, 4995 x 5205):
// - the clock-face icon at the top right (4140, 180) and the PC-time label Label1 under it
//   (3960, 720), refreshed every second by the main window's Timer1;
// - the seven clock fields with their captions, one under the other in the left column from
//   the top of the panel down to about 3600, the day of the week a list of the seven names;
// - under them, the source of the fields: the PC clock followed second by second, or a time
//   frozen by the user's typing;
// - the switch drawing for the "Mise à l'heure" mode, body at (4200, 3990);
// - Text4, the mirror of the board's text (90, 4470, 4725 x 285);
// - along the bottom edge, left to right: "Programmation" (Command1), "heure PC" (Command4) and
//   "Quitter" (Command8); kCommandTop and the kCommand*Left constants give their places.
class ClockPanel : public QGroupBox
{
    Q_OBJECT

public:
    static constexpr int kLeft = 3990;
    static constexpr int kTop = 1890;
    static constexpr int kWidth = 4995;
    static constexpr int kHeight = 5205;

    // The bottom row of buttons.
    static constexpr int kCommandTop = 4800;
    static constexpr int kCommandWidth = 1455;
    static constexpr int kCommandHeight = 330;
    static constexpr int kCommand1Left = 120;   // "Programmation"
    static constexpr int kCommand4Left = 1770;  // "heure PC"
    static constexpr int kCommand8Left = 3420;  // "Quitter"

    // clock: the PC clock "heure PC" reads; empty means QDateTime::currentDateTime.
    explicit ClockPanel(QWidget *parent = nullptr, std::function<QDateTime()> clock = {});

    QLineEdit *boardTextMirror() const { return boardTextMirror_; }
    QLabel *pcTimeLabel() const { return pcTimeLabel_; }
    QPushButton *programmingButton() const { return programmingButton_; }
    QPushButton *pcClockButton() const { return pcClockButton_; }
    QPushButton *quitButton() const { return quitButton_; }
    // heure, minutes, seconde, jour, mois, annee, and numero_jour's text.
    QLineEdit *field(ClockField which) const { return fields_[static_cast<size_t>(which)]; }
    // numero_jour, the list of the seven day names, which also takes typed text.
    QComboBox *weekDayList() const { return weekDayList_; }
    // Says where the fields come from: "heure du PC, suivie à la seconde" or "heure figée,
    // saisie à la main".
    QLabel *sourceLabel() const { return sourceLabel_; }

    // The seven texts as typed.
    ClockFields fields() const;
    void setFields(const ClockFields &fields);

    // Fills the clock fields from the PC clock and follows it from then on, as "heure PC"
    // does; the main window calls it each time "Mise à l'heure platine" brings the panel up.
    void followPcClock(const QDateTime &now);
    // True until the user edits a field: "Programmation" then sends the PC time of the moment
    // the frame is built, not the time on show.
    bool followsPcClock() const { return following_; }

    // Puts the focus and a visible mark on a field that cannot be sent.
    void markInvalid(ClockField which);
    // After "Programmation": marks the typed field that was refused, or, when the PC clock was
    // sent, shows the very moment the frame carried.
    void showSendResult(const ClockSendResult &result);
    // The board's text, mirrored from the clock display.
    void showBoardText(const QString &text);
    // Greys the board's text while the port is closed.
    void showBoardTextAsLive(bool live);
    // Label1, the PC's time, every second; the fields too while they follow the PC clock.
    void showPcTime(const QDateTime &now);

signals:
    // "Programmation": the board-text mirror has been emptied; the fields as typed.
    void clockSendRequested(const platine::ClockFields &fields);
    // The field marked by markInvalid() has been edited.
    void fieldCorrected();

private:
    void setFollowing(bool following);
    void stopFollowing();
    void showWeekDay(const QString &name);
    // A date typed whole sets the day of the week to that date's.
    void matchWeekDayToDate();

    std::function<QDateTime()> clock_;
    bool following_ = false;
    bool filling_ = false;  // the fields change from the PC clock, not from the user
    QComboBox *weekDayList_ = nullptr;
    QLabel *sourceLabel_ = nullptr;
    std::array<QLineEdit *, kClockFieldCount> fields_{};
    QPushButton *programmingButton_ = nullptr;
    QPushButton *pcClockButton_ = nullptr;
    QLineEdit *boardTextMirror_ = nullptr;
    QLabel *pcTimeLabel_ = nullptr;
    QPushButton *quitButton_ = nullptr;
    ClockFace *clockFace_ = nullptr;
    SwitchDrawing *switch_ = nullptr;
};

}  // namespace platine
