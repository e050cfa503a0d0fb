#include "link/board_clock_text.h"

#include "link/days.h"

#include <QRegularExpression>

namespace platine {

std::optional<QDateTime> parseBoardClockLine(QStringView line)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\p{L}+) +(\d\d)/(\d\d)/(\d\d\d\d) (\d\d):(\d\d):(\d\d)$)"));
    const QRegularExpressionMatch match = pattern.match(line.trimmed().toString());
    if (!match.hasMatch() || dayNumberForName(match.captured(1)) == 0)
        return std::nullopt;
    const auto number = [&match](int group) { return match.capturedView(group).toInt(); };
    const QDate date(number(4), number(3), number(2));
    const QTime time(number(5), number(6), number(7));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

qint64 boardClockDrift(const QDateTime &boardReading, const QDateTime &pcTime)
{
    const QTime pcClock = pcTime.time();
    const QDateTime pcReading(pcTime.date(),
                              QTime(pcClock.hour(), pcClock.minute(), pcClock.second()), Qt::UTC);
    const QDateTime board(boardReading.date(), boardReading.time(), Qt::UTC);
    return pcReading.secsTo(board);
}

QString boardClockDriftText(qint64 driftSeconds)
{
    if (driftSeconds > 0)
        return QStringLiteral("en avance de %1 s").arg(driftSeconds);
    if (driftSeconds < 0)
        return QStringLiteral("en retard de %1 s").arg(-driftSeconds);
    return QStringLiteral("à l'heure");
}

}  // namespace platine
