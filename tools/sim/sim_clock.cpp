#include "sim/sim_clock.h"

#include "link/days.h"

namespace platine::sim {

void BoardClock::set(const QDateTime &moment, int weekDay, qint64 nowMs)
{
    base_ = QDateTime(moment.date(), moment.time(), Qt::UTC);
    baseWeekDay_ = weekDay;
    baseMs_ = nowMs;
}

BoardClock::Reading BoardClock::readingAt(qint64 nowMs) const
{
    Reading reading;
    reading.moment = base_.addMSecs(std::max<qint64>(0, nowMs - baseMs_));
    reading.weekDay = baseWeekDay_;
    if (baseWeekDay_ >= 1 && baseWeekDay_ <= 7) {
        const qint64 days = base_.date().daysTo(reading.moment.date());
        reading.weekDay = static_cast<int>((baseWeekDay_ - 1 + days) % 7) + 1;
    }
    return reading;
}

int sundayFirstDayNumber(const QDate &date)
{
    return sundayFirstIndex(date.dayOfWeek()) + 1;
}

QByteArray clockLine(const BoardClock::Reading &reading)
{
    const QString name = reading.weekDay >= 1 && reading.weekDay <= 7
                             ? weekDayNames().at(reading.weekDay - 1)
                             : QStringLiteral("Jour %1").arg(reading.weekDay);
    const QString text = QStringLiteral("%1 %2\r\n")
                             .arg(name, -8)
                             .arg(reading.moment.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")));
    return text.toLatin1();
}

}  // namespace platine::sim
