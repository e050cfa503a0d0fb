#include "link/clock_frame.h"

#include "link/days.h"
#include "link/digit_fields.h"

#include <QDateTime>

namespace platine {

const QString &ClockFields::text(ClockField field) const
{
    switch (field) {
    case ClockField::Hours:
        return hours;
    case ClockField::Minutes:
        return minutes;
    case ClockField::Seconds:
        return seconds;
    case ClockField::Day:
        return day;
    case ClockField::Month:
        return month;
    case ClockField::Year:
        return year;
    case ClockField::WeekDay:
        break;
    }
    return weekDay;
}

QString clockFieldCaption(ClockField field)
{
    switch (field) {
    case ClockField::Hours:
        return QStringLiteral("Heures");
    case ClockField::Minutes:
        return QStringLiteral("Minutes");
    case ClockField::Seconds:
        return QStringLiteral("Secondes");
    case ClockField::Day:
        return QStringLiteral("Jour");
    case ClockField::Month:
        return QStringLiteral("Mois");
    case ClockField::Year:
        return QStringLiteral("Année");
    case ClockField::WeekDay:
        break;
    }
    return QStringLiteral("Jour de la semaine");
}

namespace {

QString expectedForm(ClockField field)
{
    switch (field) {
    case ClockField::Hours:
        return QStringLiteral("commencer par deux chiffres, par exemple 08");
    case ClockField::Minutes:
    case ClockField::Seconds:
        return QStringLiteral("commencer par deux chiffres, par exemple 05");
    case ClockField::Day:
    case ClockField::Month:
        return QStringLiteral("commencer par deux chiffres, par exemple 03");
    case ClockField::Year:
        return QStringLiteral("contenir l'année sur quatre chiffres, par exemple 2007");
    case ClockField::WeekDay:
        break;
    }
    return {};
}

}  // namespace

QString ClockFieldError::message() const
{
    return QStringLiteral("Heure non envoyée : « %1 » doit %2 (%3).")
        .arg(clockFieldCaption(field), expectedForm(field), describeUnreadable(text, badPositions));
}

ClockFrameResult encodeClockFrame(const ClockFields &fields)
{
    static constexpr ClockField kBcdFields[] = {ClockField::Hours,   ClockField::Minutes,
                                                ClockField::Seconds, ClockField::Day,
                                                ClockField::Month,   ClockField::Year};
    ClockFrameResult result;
    QByteArray frame;
    frame.reserve(kClockFrameSize);
    frame.append('A');
    for (const ClockField field : kBcdFields) {
        const QString &text = fields.text(field);
        // The century is not sent: only the year's third and fourth characters count.
        const int start = field == ClockField::Year ? 3 : 1;
        const DigitGroupsRead read = readDigitGroups(text, {start});
        if (!read.ok()) {
            result.error = ClockFieldError{field, text, read.badPositions};
            return result;
        }
        frame.append(static_cast<char>(read.bytes.front()));
    }
    frame.append(static_cast<char>(dayNumberForName(fields.weekDay)));
    result.frame = frame;
    return result;
}

ClockFields clockFieldsFor(const QDateTime &moment)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    const auto twoDigits = [](int value) {
        return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
    };
    return ClockFields{twoDigits(time.hour()),
                       twoDigits(time.minute()),
                       twoDigits(time.second()),
                       twoDigits(date.day()),
                       twoDigits(date.month()),
                       QString::number(date.year()),
                       dayNameForQtDayOfWeek(date.dayOfWeek())};
}

}  // namespace platine
