#include "sim/sim_report.h"

#include <QJsonArray>

namespace platine::sim {

namespace {

// Bytes shown in a text report before the rest is cut.
constexpr qsizetype kShownBytes = 32;

QString problemLines(const QStringList &problems)
{
    QString text;
    for (const QString &problem : problems)
        text += QStringLiteral("\n  ! ") + problem;
    return text;
}

QJsonArray toJsonArray(const QStringList &list)
{
    QJsonArray array;
    for (const QString &item : list)
        array.append(item);
    return array;
}

}  // namespace

QString clockReport(const ClockSetting &setting, QByteArrayView frame, bool applied)
{
    const QString name = setting.weekDayName();
    QString text = QStringLiteral("Trame horloge reçue (%1) : %2:%3:%4, le %5/%6/%7, jour n° %8%9")
                       .arg(hexBytes(frame), setting.hours.text(), setting.minutes.text(),
                            setting.seconds.text(), setting.day.text(), setting.month.text(),
                            setting.year.text())
                       .arg(static_cast<int>(setting.weekDay))
                       .arg(name.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(name));
    if (applied) {
        const QDateTime when = *setting.moment();
        text += QStringLiteral("\n  Horloge de la platine réglée sur : %1 %2")
                    .arg(name.isEmpty() ? QStringLiteral("(jour inconnu)") : name,
                         when.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")));
    } else {
        text += QStringLiteral("\n  Horloge de la platine inchangée : la trame ne donne pas "
                               "une date et une heure valables.");
    }
    return text + problemLines(setting.problems());
}

QString programReport(const DecodedProgram &program)
{
    QString text = QStringLiteral("Trame programme reçue (%1 octets) :").arg(kProgramFrameBytes);
    for (const DecodedRelay &relay : program.relays) {
        text += QStringLiteral("\n%1 (%2) : %3")
                    .arg(relayCaption(relay.relay), relayKindCaption(relay.kind),
                         relay.enabled() ? QStringLiteral("actif") : QStringLiteral("inactif"));
        if (relay.kind != RelayKind::Dated) {
            text += QStringLiteral(" ; jours : %1 (code %2)")
                        .arg(dayCodeName(relay.dayCode))
                        .arg(relay.dayCode);
        }
        if (relay.kind == RelayKind::Month)
            text += QStringLiteral(" ; mois : %1").arg(relay.monthYear.text());
        for (int window = 0; window < kTimeSlotsPerRelay / 2; ++window) {
            const auto on = static_cast<size_t>(2 * window);
            const auto off = on + 1;
            if (relay.kind == RelayKind::Dated) {
                text += QStringLiteral("\n    Plage %1 : Début %2 le %3   Fin %4 le %5")
                            .arg(window + 1)
                            .arg(relay.times[on].text(), relay.dates[on].text(),
                                 relay.times[off].text(), relay.dates[off].text());
            } else {
                text += QStringLiteral("\n    Plage %1 : Début %2   Fin %3")
                            .arg(window + 1)
                            .arg(relay.times[on].text(), relay.times[off].text());
            }
        }
    }
    return text + problemLines(program.problems());
}

QString ignoredReport(const FrameStream::Event &event)
{
    QString why;
    if (event.reason == FrameStream::IgnoredReason::Incomplete) {
        const bool clock = event.bytes.startsWith(kClockLetter);
        why = QStringLiteral("trame « %1 » incomplète (%2 octets sur %3), puis plus rien")
                  .arg(QLatin1Char(clock ? kClockLetter : kProgramLetter))
                  .arg(event.bytes.size())
                  .arg(clock ? kClockFrameBytes : kProgramFrameBytes);
    } else {
        why = QStringLiteral("ils ne commencent pas par « A » ou « B »");
    }
    return QStringLiteral("octets ignorés : %1 (%2) : %3")
        .arg(event.bytes.size())
        .arg(hexBytes(event.bytes, kShownBytes), why);
}

QJsonObject clockJson(const ClockSetting &setting, QByteArrayView frame, bool applied)
{
    const std::optional<QDateTime> when = setting.moment();
    return QJsonObject{
        {QStringLiteral("event"), QStringLiteral("clock")},
        {QStringLiteral("frame"), hexBytes(frame)},
        {QStringLiteral("hours"), setting.hours.text()},
        {QStringLiteral("minutes"), setting.minutes.text()},
        {QStringLiteral("seconds"), setting.seconds.text()},
        {QStringLiteral("day"), setting.day.text()},
        {QStringLiteral("month"), setting.month.text()},
        {QStringLiteral("year"), setting.year.text()},
        {QStringLiteral("weekDay"), static_cast<int>(setting.weekDay)},
        {QStringLiteral("weekDayName"), setting.weekDayName()},
        {QStringLiteral("moment"),
         when ? QJsonValue(when->toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")))
              : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("applied"), applied},
        {QStringLiteral("problems"), toJsonArray(setting.problems())},
    };
}

QJsonObject programJson(const DecodedProgram &program, QByteArrayView frame)
{
    QJsonArray relays;
    for (const DecodedRelay &relay : program.relays) {
        QJsonObject object{
            {QStringLiteral("relay"), relay.relay},
            {QStringLiteral("kind"), relayKindKey(relay.kind)},
            {QStringLiteral("enabled"), relay.enabled()},
            {QStringLiteral("enableByte"), static_cast<int>(relay.enableByte)},
        };
        QJsonArray times;
        for (const BcdTime &time : relay.times)
            times.append(time.text());
        object.insert(QStringLiteral("times"), times);
        if (relay.kind == RelayKind::Dated) {
            QJsonArray dates;
            for (const BcdDate &date : relay.dates)
                dates.append(date.text());
            object.insert(QStringLiteral("dates"), dates);
        } else {
            object.insert(QStringLiteral("dayCode"), relay.dayCode);
            object.insert(QStringLiteral("days"), dayCodeName(relay.dayCode));
        }
        if (relay.kind == RelayKind::Month) {
            object.insert(QStringLiteral("monthYear"), relay.monthYear.text());
            object.insert(QStringLiteral("monthYearLead"), static_cast<int>(relay.monthYear.lead));
        }
        relays.append(object);
    }
    return QJsonObject{
        {QStringLiteral("event"), QStringLiteral("program")},
        {QStringLiteral("frame"), hexBytes(frame)},
        {QStringLiteral("relays"), relays},
        {QStringLiteral("problems"), toJsonArray(program.problems())},
    };
}

QJsonObject ignoredJson(const FrameStream::Event &event)
{
    return QJsonObject{
        {QStringLiteral("event"), QStringLiteral("ignored")},
        {QStringLiteral("count"), static_cast<int>(event.bytes.size())},
        {QStringLiteral("bytes"), hexBytes(event.bytes)},
        {QStringLiteral("reason"), event.reason == FrameStream::IgnoredReason::Incomplete
                                       ? QStringLiteral("incomplete")
                                       : QStringLiteral("unknown-start")},
    };
}

}  // namespace platine::sim
