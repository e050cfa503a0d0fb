#include "link/board_clock_text.h"

#include "link/days.h"

#include <QRegularExpression>
#include <QStringList>

#include <cstdlib>

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

QDateTime readBoardClockLine(const QString &text)
{
    // The text read in one go may hold several lines, or the end of one: the last whole clock
    // line counts.
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("[\r\n]")));
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (const std::optional<QDateTime> reading = parseBoardClockLine(*line))
            return QDateTime(reading->date(), reading->time());
    }
    return {};
}

bool looksLikeBoardClockText(const QString &text)
{
    static const QRegularExpression clockLike(
        QStringLiteral(R"((\d+ *[:/] *\d+)|(^|[\r\n])\s*(lundi|mardi|mercredi|jeudi|vendredi|)"
                       R"(samedi|dimanche)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    return clockLike.match(text).hasMatch();
}

QString boardClockDriftText(qint64 driftSeconds, DriftAmount form)
{
    if (driftSeconds == 0)
        return QStringLiteral("à l'heure");
    const qint64 size = std::llabs(driftSeconds);
    const qint64 days = size / 86400;
    const qint64 hours = size / 3600 % 24;
    const qint64 minutes = size / 60 % 60;
    const qint64 rest = size % 60;
    QString amount;
    if (form == DriftAmount::Seconds)
        amount = QStringLiteral("%1 s").arg(size);
    else if (days > 0)
        amount = QStringLiteral("%1 j %2 h").arg(days).arg(hours);
    else if (hours > 0)
        amount = QStringLiteral("%1 h %2 min").arg(hours).arg(minutes, 2, 10, QLatin1Char('0'));
    else if (minutes > 0)
        amount = QStringLiteral("%1 min %2 s").arg(minutes).arg(rest, 2, 10, QLatin1Char('0'));
    else
        amount = QStringLiteral("%1 s").arg(rest);
    return QStringLiteral("en %1 de %2")
        .arg(driftSeconds > 0 ? QStringLiteral("avance") : QStringLiteral("retard"), amount);
}

QString boardDriftMessage(qint64 driftSeconds)
{
    QString text = QStringLiteral("platine ") + boardClockDriftText(driftSeconds);
    if (std::llabs(driftSeconds) > kDriftWorthSettingSeconds)
        text += QStringLiteral(" : mettez-la à l'heure (Paramètrage, Mise à l'heure platine)");
    return text;
}

}  // namespace platine
