#pragma once

#include <QDateTime>
#include <QStringView>

#include <optional>

namespace platine {

// The line the board sends while it shows its clock, such as "Vendredi 23/11/2007 14:37:52"
// followed by a line break: a French day name (padded with blanks), the date and the time. The
// board knows no time zone and no summer time: its reading is a date and a time, nothing more.

// The date and time a board clock line reads (in Qt::UTC, which stands here for no zone), or
// nothing when the line is not a clock line: unknown day name, missing or extra parts, a date
// or a time that does not exist. Blanks and line breaks at both ends are ignored.
std::optional<QDateTime> parseBoardClockLine(QStringView line);

// How far the board's reading is ahead of the PC's local time, in whole seconds (negative when
// it is behind). The PC's time is compared as its clock reads, date and time only, to the
// second.
qint64 boardClockDrift(const QDateTime &boardReading, const QDateTime &pcTime);

// French: "en avance de 12 s", "en retard de 3 s", "à l'heure".
QString boardClockDriftText(qint64 driftSeconds);

}  // namespace platine
