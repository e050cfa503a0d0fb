#include "link/board_clock_drift.h"

#include "link/board_clock_text.h"

#include <QRegularExpression>

#include <cstdlib>

namespace platine {

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

std::optional<qint64> boardClockDrift(const QString &text, const QDateTime &pcNow)
{
    const QDateTime board = readBoardClockLine(text);
    if (!board.isValid() || !pcNow.isValid())
        return std::nullopt;
    return boardClockDrift(board, pcNow.toLocalTime());
}

bool looksLikeBoardClockText(const QString &text)
{
    static const QRegularExpression clockLike(
        QStringLiteral(R"((\d+ *[:/] *\d+)|(^|[\r\n])\s*(lundi|mardi|mercredi|jeudi|vendredi|)"
                       R"(samedi|dimanche)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    return clockLike.match(text).hasMatch();
}

QString boardDriftMessage(qint64 seconds)
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
