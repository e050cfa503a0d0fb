#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace platine {

// The board's clock as it shows it in its "Affichage heure" mode, a day name, the date and the
// time: "Vendredi 23/11/2007 14:37:52". The text received may hold other characters around it
// (line ends, a line cut short); the last whole clock line in it counts. An invalid date-time
// when the text holds none, or a date or time that does not exist.
QDateTime readBoardClockLine(const QString &text);

// How far the board's clock is ahead of the PC's (negative: behind), in seconds; nothing when
// the text is not a clock line.
std::optional<qint64> boardClockDrift(const QString &text, const QDateTime &pcNow);

// "platine à l'heure", "platine en avance de 12 s", "platine en retard de 3 min 05 s"; beyond a
// minute either way, a hint at the clock-setting panel follows.
QString boardClockDriftText(qint64 seconds);

// Beyond a minute either way, the board's clock wants setting.
inline constexpr qint64 kDriftWorthSettingSeconds = 60;

}  // namespace platine
