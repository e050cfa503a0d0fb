#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace platine {

// The clock frame sets the board's clock: "A" then hours, minutes, seconds, day of the month,
// month, year within the century (each a BCD byte) and the day of the week (1 = Sunday ..
// 7 = Saturday). 8 bytes, nothing else.

enum class ClockField { Hours, Minutes, Seconds, Day, Month, Year, WeekDay };
inline constexpr int kClockFieldCount = 7;
inline constexpr int kClockFrameSize = 8;

// The seven field texts as typed, in the panel's order.
struct ClockFields
{
    QString hours, minutes, seconds, day, month, year, weekDay;

    const QString &text(ClockField field) const;
};

struct ClockFieldError
{
    ClockField field;
    QString text;             // the field's text
    QList<int> badPositions;  // positions read (from 1) that are missing or hold no digit
    QString problem;          // French, when the digits read make no clock value

    // French, without a leading verdict: which field and what is wrong with it.
    QString reason() const;
    // "Heure non envoyée : " and the reason.
    QString message() const;
};

struct ClockFrameResult
{
    QByteArray frame;  // 8 bytes when encoded
    QDateTime moment;  // the date and time the frame carries, as plain values (Qt::UTC)
    std::optional<ClockFieldError> error;  // the first field that cannot be sent
    bool ok() const { return !error.has_value(); }
};

// The one rule for every clock frame, typed in the window, given on the command line or read
// from the PC clock. Hours, minutes, seconds, day and month are read from their first two
// characters and the year from its first four; any further character is ignored. The board
// keeps no century, so only the years 2000 to 2099 are taken. A time or date that does not
// exist is refused, and so is a day name that is not one of the seven, written exactly, or
// that is not the date's: the day byte decides which days relays 1 and 2 switch on.
ClockFrameResult encodeClockFrame(const ClockFields &fields);

// The fields for a date and time written exactly "AAAA-MM-JJ hh:mm:ss", the day name taken
// from the date; nothing for any other form. The values are not checked.
std::optional<ClockFields> clockFieldsFromText(const QString &text);
inline constexpr char kClockTextForm[] = "AAAA-MM-JJ hh:mm:ss";

// What the user is told once a frame has gone out: "Heure envoyée à la platine : mercredi
// 09/12/2026 18:41:05."
QString clockSentMessage(const QDateTime &moment);

// The PC clock reads a moment that cannot be sent (a year outside 2000-2099): "L'horloge du PC
// indique le 01/03/2100 : ..."; the caller adds what to do about it.
QString pcClockRefusal(const QDateTime &pcMoment, const ClockFieldError &error);

// "mercredi 09/12/2026 18:41:05".
QString clockMomentText(const QDateTime &moment);

QString clockFieldCaption(ClockField field);  // "Heures", "Minutes", ... "Jour de la semaine"

// Field texts for a moment of the PC clock: two-digit time, day and month, full year, French
// day name with Sunday first.
ClockFields clockFieldsFor(const QDateTime &moment);

}  // namespace platine
