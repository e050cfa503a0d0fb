#pragma once

// The board's own clock as the simulator keeps it: set once (from the PC clock, a given moment
// or a clock frame), then running on by itself. The day of the week is the number the board
// was given, moved on by one at each midnight, as the board does: it is never worked out from
// the date.

#include <QByteArray>
#include <QDateTime>

namespace platine::sim {

class BoardClock
{
public:
    struct Reading
    {
        QDateTime moment;  // UTC: the board knows nothing of time zones or summer time
        int weekDay = 0;   // 1 = Sunday .. 7 = Saturday; any other value names no day
    };

    // Sets the clock to `moment` (its date and time as they read; time zone dropped) and
    // `weekDay` at the monotonic time `nowMs`.
    void set(const QDateTime &moment, int weekDay, qint64 nowMs);
    // The clock at the monotonic time `nowMs` (not before the last set()).
    Reading readingAt(qint64 nowMs) const;

private:
    QDateTime base_;
    int baseWeekDay_ = 0;
    qint64 baseMs_ = 0;
};

// The day number of a date, Sunday first (1 = Sunday .. 7 = Saturday).
int sundayFirstDayNumber(const QDate &date);

// The line the board sends while it shows its clock, in Latin-1:
// "Vendredi 23/11/2007 14:37:52\r\n". The day name is padded to 8 characters so that every line
// is 30 characters long, more than the 26 the PC waits for before it reads.
QByteArray clockLine(const BoardClock::Reading &reading);

}  // namespace platine::sim
