#pragma once

#include <QDateTime>
#include <QString>
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

// The board's clock as the window receives it, one or more lines read in one go: the last
// whole clock line counts. An invalid date-time when the text holds none.
QDateTime readBoardClockLine(const QString &text);

// Whether text that holds no readable clock line still looks like the board's clock (a day name
// at the start of a line, a time such as 5:37 or a date such as 23/11): a line the board sent
// garbled, or in a form this tool does not read.
bool looksLikeBoardClockText(const QString &text);

// How far the board's reading is ahead of the PC's local time, in whole seconds (negative when
// it is behind). The PC's time is compared as its clock reads, date and time only, to the
// second.
qint64 boardClockDrift(const QDateTime &boardReading, const QDateTime &pcTime);

// Beyond a minute either way, the board's clock wants setting.
inline constexpr qint64 kDriftWorthSettingSeconds = 60;

// How a drift's amount is given: in days, hours, minutes and seconds as they fit, for people
// ("3 min 05 s"), or in seconds alone, for scripts reading platine-cli's output ("185 s").
enum class DriftAmount { Readable, Seconds };

// French: "à l'heure", "en avance de 12 s", "en retard de 3 min 05 s", "en avance de 2 h 05 min",
// "en retard de 3 j 4 h" (in seconds alone: "en retard de 185 s").
QString boardClockDriftText(qint64 driftSeconds, DriftAmount form = DriftAmount::Readable);

// The window's sentence: "platine à l'heure", "platine en avance de 12 s"...; beyond a minute
// either way, a hint at the clock-setting panel follows.
QString boardDriftMessage(qint64 driftSeconds);

}  // namespace platine
