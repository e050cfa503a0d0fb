#include "relays/switching_export.h"

#include <QJsonArray>
#include <QLocale>

namespace platine {

namespace {

QString dateText(BoardMinute moment)
{
    return boardDate(moment).toString(QStringLiteral("dd/MM/yyyy"));
}

QString timeText(BoardMinute moment)
{
    const int minute = boardMinuteOfDay(moment);
    return QStringLiteral("%1:%2")
        .arg(minute / 60, 2, 10, QLatin1Char('0'))
        .arg(minute % 60, 2, 10, QLatin1Char('0'));
}

QString isoText(BoardMinute moment)
{
    return boardDate(moment).toString(Qt::ISODate) + u'T' + timeText(moment);
}

QString icalMoment(BoardMinute moment)
{
    return boardDate(moment).toString(QStringLiteral("yyyyMMdd")) + u'T' +
           timeText(moment).remove(u':') + QStringLiteral("00");
}

QString csvField(const QString &text)
{
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

// TEXT values: backslash, semicolon, comma and line ends are escaped.
QString icalText(const QString &text)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == u'\\' || c == u';' || c == u',')
            escaped += u'\\';
        if (c == u'\n') {
            escaped += QStringLiteral("\\n");
            continue;
        }
        if (c != u'\r')
            escaped += c;
    }
    return escaped;
}

// Lines of at most 75 octets, longer ones folded: CRLF then a space, never inside a UTF-8
// sequence.
QByteArray icalLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    QByteArray folded;
    qsizetype start = 0;
    int room = 75;
    while (bytes.size() - start > room) {
        qsizetype cut = start + room;
        while ((uchar(bytes[cut]) & 0xC0) == 0x80)  // a continuation byte: cut before its lead
            --cut;
        folded += bytes.mid(start, cut - start) + "\r\n ";
        start = cut;
        room = 74;  // the leading space counts
    }
    return folded + bytes.mid(start) + "\r\n";
}

QString windowCaption(int window)
{
    return QStringLiteral("plage %1").arg(window + 1);
}

}  // namespace

QString switchingActionCaption(bool on)
{
    return on ? QStringLiteral("enclenchement") : QStringLiteral("déclenchement");
}

QString switchingsText(const ComingSwitchings &coming)
{
    const QLocale french(QLocale::French, QLocale::France);
    QString text = QStringLiteral("Commutations du %1 à %2 au %3 à %4 :\n")
                       .arg(dateText(coming.from), timeText(coming.from), dateText(coming.to),
                            timeText(coming.to));
    if (coming.switchings.isEmpty())
        text += QStringLiteral("  aucune.\n");
    for (const Switching &switching : coming.switchings) {
        text += QStringLiteral("  %1 %2  %3  %4  %5 (%6)%7\n")
                    .arg(french.toString(switching.date(), QStringLiteral("ddd")),
                         dateText(switching.moment), timeText(switching.moment),
                         relayCaption(switching.relay), switchingActionCaption(switching.on),
                         windowCaption(switching.window),
                         switching.flagged ? QStringLiteral("  *") : QString());
    }
    if (!coming.findings.isEmpty()) {
        text += QStringLiteral("Remarques (* : la plage ou son relais est concerné) :\n");
        for (const ProgramFinding &finding : coming.findings)
            text += QStringLiteral("  - %1\n").arg(finding.text());
    }
    return text;
}

QJsonObject switchingsJson(const ComingSwitchings &coming)
{
    QJsonArray switchings;
    for (const Switching &switching : coming.switchings) {
        switchings.append(QJsonObject{
            {QStringLiteral("date"), switching.date().toString(Qt::ISODate)},
            {QStringLiteral("time"), timeText(switching.moment)},
            {QStringLiteral("relay"), switching.relay},
            {QStringLiteral("window"), switching.window + 1},
            {QStringLiteral("action"), switching.on ? QStringLiteral("on") : QStringLiteral("off")},
            {QStringLiteral("flagged"), switching.flagged},
        });
    }
    QJsonArray remarks;
    for (const ProgramFinding &finding : coming.findings)
        remarks.append(finding.text());
    return QJsonObject{{QStringLiteral("from"), isoText(coming.from)},
                       {QStringLiteral("to"), isoText(coming.to)},
                       {QStringLiteral("switchings"), switchings},
                       {QStringLiteral("remarks"), remarks}};
}

QByteArray switchingsCsv(const ComingSwitchings &coming)
{
    QByteArray csv("\xEF\xBB\xBF");
    csv += "Date;Heure;Relais;Plage;Commutation;Remarques\r\n";
    for (const Switching &switching : coming.switchings) {
        const QStringList fields{
            dateText(switching.moment),
            timeText(switching.moment),
            relayCaption(switching.relay),
            QString::number(switching.window + 1),
            switchingActionCaption(switching.on),
            remarksOnWindow(coming.findings, switching.relay, switching.window)
                .join(QStringLiteral(" / ")),
        };
        QStringList quoted;
        for (const QString &field : fields)
            quoted << csvField(field);
        csv += quoted.join(u';').toUtf8() + "\r\n";
    }
    return csv;
}

QByteArray switchingsICalendar(const ComingSwitchings &coming, const QDateTime &stamp)
{
    const QString stampText =
        stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss")) + QStringLiteral("Z");
    QByteArray ics;
    for (const char *line :
         {"BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//platine//Commutations des relais//FR",
          "CALSCALE:GREGORIAN", "METHOD:PUBLISH"})
        ics += icalLine(QString::fromLatin1(line));
    ics += icalLine(QStringLiteral("X-WR-CALNAME:Platine, relais"));
    for (const SwitchingSpan &window : coming.windows) {
        QString description =
            QStringLiteral("%1, %2 : %3 le %4 à %5, %6 le %7 à %8.")
                .arg(relayCaption(window.relay), windowCaption(window.window),
                     switchingActionCaption(true), dateText(window.start), timeText(window.start),
                     switchingActionCaption(false), dateText(window.end), timeText(window.end));
        for (const QString &remark : remarksOnWindow(coming.findings, window.relay, window.window))
            description += QStringLiteral("\nRemarque : ") + remark;
        ics += icalLine(QStringLiteral("BEGIN:VEVENT"));
        ics += icalLine(QStringLiteral("UID:relais%1-plage%2-%3@platine")
                            .arg(window.relay)
                            .arg(window.window + 1)
                            .arg(icalMoment(window.start)));
        ics += icalLine(QStringLiteral("DTSTAMP:") + stampText);
        ics += icalLine(QStringLiteral("DTSTART:") + icalMoment(window.start));
        ics += icalLine(QStringLiteral("DTEND:") + icalMoment(window.end));
        ics +=
            icalLine(QStringLiteral("SUMMARY:") +
                     icalText(QStringLiteral("%1 enclenché (%2)")
                                  .arg(relayCaption(window.relay), windowCaption(window.window))));
        ics += icalLine(QStringLiteral("DESCRIPTION:") + icalText(description));
        ics += icalLine(QStringLiteral("TRANSP:TRANSPARENT"));
        ics += icalLine(QStringLiteral("END:VEVENT"));
    }
    ics += icalLine(QStringLiteral("END:VCALENDAR"));
    return ics;
}

}  // namespace platine
