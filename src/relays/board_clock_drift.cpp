#include "relays/board_clock_drift.h"

#include <QRegularExpression>

#include <cstdlib>

namespace platine {

QDateTime readBoardClockLine(const QString &text)
{
    static const QRegularExpression line(
        QStringLiteral("(?:Dimanche|Lundi|Mardi|Mercredi|Jeudi|Vendredi|Samedi) "
                       "(\\d\\d)/(\\d\\d)/(\\d\\d\\d\\d) (\\d\\d):(\\d\\d):(\\d\\d)(?!\\d)"));
    QRegularExpressionMatch last;
    for (QRegularExpressionMatchIterator it = line.globalMatch(text); it.hasNext();)
        last = it.next();
    if (!last.hasMatch())
        return {};
    const auto number = [&last](int group) { return last.captured(group).toInt(); };
    const QDate date(number(3), number(2), number(1));
    const QTime time(number(4), number(5), number(6));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

std::optional<qint64> boardClockDrift(const QString &text, const QDateTime &pcNow)
{
    const QDateTime board = readBoardClockLine(text);
    if (!board.isValid() || !pcNow.isValid())
        return std::nullopt;
    return pcNow.toLocalTime().secsTo(board);
}

QString boardClockDriftText(qint64 seconds)
{
    if (seconds == 0)
        return QStringLiteral("platine à l'heure");
    const qint64 size = std::llabs(seconds);
    const qint64 days = size / 86400;
    const qint64 hours = size / 3600 % 24;
    const qint64 minutes = size / 60 % 60;
    const qint64 rest = size % 60;
    QString amount;
    if (days > 0)
        amount = QStringLiteral("%1 j %2 h").arg(days).arg(hours);
    else if (hours > 0)
        amount = QStringLiteral("%1 h %2 min").arg(hours).arg(minutes, 2, 10, QLatin1Char('0'));
    else if (minutes > 0)
        amount = QStringLiteral("%1 min %2 s").arg(minutes).arg(rest, 2, 10, QLatin1Char('0'));
    else
        amount = QStringLiteral("%1 s").arg(rest);
    QString text =
        QStringLiteral("platine en %1 de %2")
            .arg(seconds > 0 ? QStringLiteral("avance") : QStringLiteral("retard"), amount);
    if (size > kDriftWorthSettingSeconds)
        text += QStringLiteral(" : mettez-la à l'heure (Paramètrage, Mise à l'heure platine)");
    return text;
}

}  // namespace platine
