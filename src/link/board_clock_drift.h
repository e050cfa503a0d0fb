#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace platine {

// The board's clock as the window receives it, one or more lines read in one go; the last
// whole clock line counts (see link/board_clock_text.h for what a clock line is), as a local
// date-time. An invalid date-time when the text holds none.
QDateTime readBoardClockLine(const QString &text);

// How far the board's clock is ahead of the PC's (negative: behind), in seconds; nothing when
// the text is not a clock line.
std::optional<qint64> boardClockDrift(const QString &text, const QDateTime &pcNow);

// Whether text that holds no readable clock line still looks like the board's clock (a day name
// at the start of a line, a time such as 5:37 or a date such as 23/11): a line the board sent
// garbled, or in a form this tool does not read.
bool looksLikeBoardClockText(const QString &text);

// "platine à l'heure", "platine en avance de 12 s", "platine en retard de 3 min 05 s"; beyond a
// minute either way, a hint at the clock-setting panel follows.
QString boardDriftMessage(qint64 seconds);

// Beyond a minute either way, the board's clock wants setting.
inline constexpr qint64 kDriftWorthSettingSeconds = 60;

}  // namespace platine
