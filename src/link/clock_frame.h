#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QDateTime;

namespace platine {

// The clock frame sets the board's clock: "A" then hours, minutes, seconds, day of the month,
// month, year within the century (each a BCD byte) and the day of the week (1 = Sunday ..
// 7 = Saturday, 0 for an unknown name). 8 bytes, nothing else.

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

    // French: which field, the form it needs and what is wrong with it.
    QString message() const;
};

struct ClockFrameResult
{
    QByteArray frame;                      // 8 bytes when encoded
    std::optional<ClockFieldError> error;  // the first field that cannot be encoded
    bool ok() const { return !error.has_value(); }
};

// Characters 1-2 of hours, minutes, seconds, day and month, characters 3-4 of the year; any
// further character is ignored and no range is checked. The day name must match exactly.
ClockFrameResult encodeClockFrame(const ClockFields &fields);

QString clockFieldCaption(ClockField field);  // "Heures", "Minutes", ... "Jour de la semaine"

// Field texts for a moment of the PC clock: two-digit time, day and month, full year, French
// day name with Sunday first.
ClockFields clockFieldsFor(const QDateTime &moment);

}  // namespace platine
