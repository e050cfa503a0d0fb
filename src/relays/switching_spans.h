#pragma once

#include "relays/program_checks.h"
#include "store/relay_program.h"

#include <QDate>
#include <QList>

namespace platine {

inline constexpr int kMinutesPerDay = 24 * 60;

// A moment on the board's clock, which knows no time zone and no summer time: minutes since
// midnight at the start of the calendar (Julian day 0).
using BoardMinute = qint64;

inline BoardMinute boardMinute(const QDate &date, int minuteOfDay)
{
    return date.toJulianDay() * kMinutesPerDay + minuteOfDay;
}
inline QDate boardDate(BoardMinute minute)
{
    return QDate::fromJulianDay(minute / kMinutesPerDay);
}
inline int boardMinuteOfDay(BoardMinute minute)
{
    return int(minute % kMinutesPerDay);
}

// One switching window as the board follows it on one occasion: the relay is switched on at
// start and off at end.
struct SwitchingSpan
{
    int relay = 0;   // 1..6
    int window = 0;  // 0..2
    BoardMinute start = 0;
    BoardMinute end = 0;   // after start
    bool active = false;   // the relay's "Relais Actif" box is ticked
    bool flagged = false;  // a remark concerns this window or its relay

    friend bool operator==(const SwitchingSpan &, const SwitchingSpan &) = default;
};

// The spans that the program's windows give and that overlap the days first to last (both
// included), relay by relay, window by window, in time order. A weekly window gives one span on
// each day its day choice names, a month window the same within its month, both from the
// switch-on to the switch-off time of that day; a dated window gives one span from its dated
// switch-on to its dated switch-off. Windows whose outcome on the board cannot be told (findings
// marked unknownBehaviour: a time or a date that does not exist, an end before its start) give
// none; nor does a window whose start and end are the same, which switches nothing. Inactive
// relays keep their spans, marked so. findings are checkProgram()'s on the same program.
QList<SwitchingSpan> switchingSpans(const RelayProgram &program,
                                    const QList<ProgramFinding> &findings, const QDate &first,
                                    const QDate &last);

// Whether a day list choice (0..9, Sunday first, then the three groups) names a Qt week day
// (1 = Monday .. 7 = Sunday).
bool dayChoiceCovers(int choice, int qtDayOfWeek);

}  // namespace platine
