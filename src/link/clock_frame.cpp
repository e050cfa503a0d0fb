#include "link/clock_frame.h"

#include "link/days.h"
#include "link/digit_fields.h"

#include "store/visible_text.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

#include <array>

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

QString ClockFieldError::reason() const
{
    if (!problem.isEmpty())
        return problem;
    return QStringLiteral("« %1 » doit %2 (%3)")
        .arg(clockFieldCaption(field), expectedForm(field), describeUnreadable(text, badPositions));
}

QString ClockFieldError::message() const
{
    return QStringLiteral("Heure non envoyée : %1.").arg(reason());
}

namespace {

QString lowerDayName(const QDate &date)
{
    return dayNameForQtDayOfWeek(date.dayOfWeek()).toLower();
}

QString dateText(const QDate &date)
{
    return QLocale::c().toString(date, u"dd/MM/yyyy");
}

// The value of the digits read, when they make one for the field; the reason otherwise.
QString outOfRange(ClockField field, int value)
{
    const auto says = [field, value](const QString &range) {
        return QStringLiteral("« %1 » vaut %2 : %3")
            .arg(clockFieldCaption(field))
            .arg(value, field == ClockField::Year ? 4 : 2, 10, QLatin1Char('0'))
            .arg(range);
    };
    switch (field) {
    case ClockField::Hours:
        return value > 23 ? says(QStringLiteral("les heures vont de 00 à 23")) : QString();
    case ClockField::Minutes:
        return value > 59 ? says(QStringLiteral("les minutes vont de 00 à 59")) : QString();
    case ClockField::Seconds:
        return value > 59 ? says(QStringLiteral("les secondes vont de 00 à 59")) : QString();
    case ClockField::Day:
        return value < 1 || value > 31 ? says(QStringLiteral("les jours vont de 01 à 31"))
                                       : QString();
    case ClockField::Month:
        return value < 1 || value > 12 ? says(QStringLiteral("les mois vont de 01 à 12"))
                                       : QString();
    case ClockField::Year:
        return value < 2000 || value > 2099
                   ? says(QStringLiteral("la platine ne garde que deux chiffres, pour les années "
                                         "2000 à 2099"))
                   : QString();
    case ClockField::WeekDay:
        break;
    }
    return {};
}

}  // namespace

ClockFrameResult encodeClockFrame(const ClockFields &fields)
{
    static constexpr ClockField kNumberFields[] = {ClockField::Hours,   ClockField::Minutes,
                                                   ClockField::Seconds, ClockField::Day,
                                                   ClockField::Month,   ClockField::Year};
    ClockFrameResult result;
    const auto refuse = [&result, &fields](ClockField field, QList<int> badPositions,
                                           QString problem) {
        result.error =
            ClockFieldError{field, fields.text(field), std::move(badPositions), std::move(problem)};
        return result;
    };

    // Every field is read first: the first that holds no digits where they are read is named.
    std::array<int, 6> values{};
    QByteArray frame;
    frame.reserve(kClockFrameSize);
    frame.append('A');
    for (size_t i = 0; i < std::size(kNumberFields); ++i) {
        const ClockField field = kNumberFields[i];
        const QString &text = fields.text(field);
        const bool year = field == ClockField::Year;
        const DigitGroupsRead read =
            year ? readDigitGroups(text, {1, 3}) : readDigitGroups(text, {1});
        if (!read.ok())
            return refuse(field, read.badPositions, {});
        const auto decimal = [](quint8 bcd) { return (bcd >> 4) * 10 + (bcd & 0x0f); };
        values[i] = year ? decimal(read.bytes.at(0)) * 100 + decimal(read.bytes.at(1))
                         : decimal(read.bytes.front());
        // The century is not sent: only the year's third and fourth characters go out.
        frame.append(static_cast<char>(read.bytes.back()));
    }
    // Then the values: a clock is never meant to be set to 25:61.
    for (size_t i = 0; i < std::size(kNumberFields); ++i) {
        if (QString problem = outOfRange(kNumberFields[i], values[i]); !problem.isEmpty())
            return refuse(kNumberFields[i], {}, problem);
    }
    const QDate date(values[5], values[4], values[3]);
    if (!date.isValid())
        return refuse(ClockField::Day, {},
                      QStringLiteral("« Jour » vaut %1 : le mois %2/%3 n'a que %4 jours")
                          .arg(fields.day.left(2), fields.month.left(2))
                          .arg(values[5])
                          .arg(QDate(values[5], values[4], 1).daysInMonth()));

    const int dayNumber = dayNumberForName(fields.weekDay);
    const QString dateDay = lowerDayName(date);
    if (dayNumber == 0)
        return refuse(ClockField::WeekDay, {},
                      QStringLiteral("« %1 » doit nommer un jour, de « Lundi » à « Dimanche », "
                                     "et %2 n'en est pas un ; le %3 est un %4")
                          .arg(clockFieldCaption(ClockField::WeekDay),
                               fields.weekDay.isEmpty() ? QStringLiteral("le champ vide")
                                                        : quotedText(fields.weekDay),
                               dateText(date), dateDay));
    if (dayNumber != sundayFirstIndex(date.dayOfWeek()) + 1)
        return refuse(ClockField::WeekDay, {},
                      QStringLiteral("le %1 est un %2, pas un %3")
                          .arg(dateText(date), dateDay, fields.weekDay.toLower()));

    frame.append(static_cast<char>(dayNumber));
    result.frame = frame;
    result.moment = QDateTime(date, QTime(values[0], values[1], values[2]), Qt::UTC);
    return result;
}

std::optional<ClockFields> clockFieldsFromText(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2}) ([0-9]{2}):([0-9]{2}):([0-9]{2})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    ClockFields fields{match.captured(4),
                       match.captured(5),
                       match.captured(6),
                       match.captured(3),
                       match.captured(2),
                       match.captured(1),
                       {}};
    const QDate date(fields.year.toInt(), fields.month.toInt(), fields.day.toInt());
    if (date.isValid())
        fields.weekDay = dayNameForQtDayOfWeek(date.dayOfWeek());
    return fields;
}

QString clockMomentText(const QDateTime &moment)
{
    return QStringLiteral("%1 %2 %3")
        .arg(lowerDayName(moment.date()), dateText(moment.date()),
             QLocale::c().toString(moment.time(), u"HH:mm:ss"));
}

QString clockSentMessage(const QDateTime &moment)
{
    return QStringLiteral("Heure envoyée à la platine : %1.").arg(clockMomentText(moment));
}

QString pcClockRefusal(const QDateTime &pcMoment, const ClockFieldError &error)
{
    return QStringLiteral("Heure non envoyée : l'horloge du PC indique le %1, et %2.")
        .arg(dateText(pcMoment.date()), error.reason());
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
