// The coming switchings of the six relays, and their export as a table and as a calendar that a
// calendar program reads back with the right times.
#include "relays/coming_switchings.h"
#include "relays/switching_export.h"

#include "support/relay_programs.h"

#include <QTest>

using namespace platine;
using namespace Qt::Literals::StringLiterals;

namespace {

// Relays that switch nothing: every window 00:00 - 00:00, all inactive.
RelayProgram quietProgram()
{
    RelayProgram program = test::encodableProgram();
    program.dayChoices = {9, 9, 9, 9};
    return program;
}

// "2028-02-29 22:00 R4 on" texts.
QStringList describe(const ComingSwitchings &coming)
{
    QStringList lines;
    for (const Switching &s : coming.switchings)
        lines << u"%1 %2 R%3 %4"_s
                     .arg(s.date().toString(Qt::ISODate),
                          QTime(0, 0).addSecs(s.minuteOfDay() * 60).toString(u"hh:mm"_s))
                     .arg(s.relay)
                     .arg(s.on ? u"on"_s : u"off"_s);
    return lines;
}

// The events of an iCalendar file, each as its properties (parameters dropped) and their raw
// values, its lines unfolded (RFC 5545, 3.1); *fault says what breaks the format.
QList<QMap<QString, QString>> parseCalendar(const QByteArray &ics, QString *fault)
{
    QStringList lines;
    const QList<QByteArray> physical = ics.split('\n');
    for (qsizetype i = 0; i + 1 < physical.size(); ++i) {
        const QByteArray &line = physical[i];
        if (!line.endsWith('\r') || line.size() > 76)
            *fault = u"line %1 does not end in CRLF, or is over 75 octets"_s.arg(i);
        if (line.startsWith(' ') && !lines.isEmpty())
            lines.last() = QString::fromUtf8(lines.last().toUtf8() + line.mid(1).chopped(1));
        else
            lines << QString::fromUtf8(line.chopped(1));
    }
    if (!physical.last().isEmpty() || lines.value(0) != u"BEGIN:VCALENDAR"_s ||
        lines.last() != u"END:VCALENDAR"_s)
        *fault = u"no VCALENDAR around the events"_s;
    QList<QMap<QString, QString>> events;
    bool inEvent = false;
    for (const QString &line : lines) {
        if (line == u"BEGIN:VEVENT"_s)
            events.append(QMap<QString, QString>());
        inEvent = (inEvent || line == u"BEGIN:VEVENT"_s) && line != u"END:VEVENT"_s;
        const qsizetype colon = line.indexOf(u':');
        if (inEvent && colon > 0)
            events.last().insert(line.left(colon).section(u';', 0, 0), line.mid(colon + 1));
    }
    return events;
}

}  // namespace

class ComingSwitchingsTest : public QObject
{
    Q_OBJECT

private slots:
    void datedRelayAcrossAMonthAndALeapDay()
    {
        RelayProgram program = quietProgram();
        program.enables[3] = 1;  // relay 4
        // Window 1: from the last evening of February 2028 to the first morning of March.
        program.texts[24] = u"22:00:00"_s;
        program.texts[25] = u"06:30:00"_s;
        program.texts[30] = u"29/02/2028"_s;
        program.texts[31] = u"01/03/2028"_s;
        // Window 2: already running when the list starts, off on 31 March.
        program.texts[26] = u"08:00:00"_s;
        program.texts[27] = u"12:00:00"_s;
        program.texts[32] = u"27/02/2028"_s;
        program.texts[33] = u"31/03/2028"_s;

        const QDateTime from(QDate(2028, 2, 28), QTime(9, 15, 30));
        const ComingSwitchings coming = comingSwitchings(program, from, 14);
        QCOMPARE(describe(coming),
                 (QStringList{u"2028-02-29 22:00 R4 on"_s, u"2028-03-01 06:30 R4 off"_s}));
        QCOMPARE(coming.windows.size(), 2);  // the running one, whole, and the leap-day one
        QCOMPARE(boardDate(coming.windows[1].start), QDate(2028, 2, 27));

        // The minute that has begun is past; one that starts exactly at the moment is not.
        QVERIFY(describe(comingSwitchings(program, QDateTime({2028, 2, 29}, {22, 0, 1}), 1))
                    .startsWith(u"2028-03-01 06:30 R4 off"_s));
        QCOMPARE(describe(comingSwitchings(program, QDateTime({2028, 2, 29}, {22, 0}), 1)).first(),
                 u"2028-02-29 22:00 R4 on"_s);
    }

    void weeklyAndMonthRelaysDayByDay()
    {
        RelayProgram program = quietProgram();
        program.enables = {1, 0, 0, 0, 1, 0};
        program.texts[0] = u"07:00:00"_s;  // relay 1, Saturday and Sunday
        program.texts[1] = u"07:30:00"_s;
        program.dayChoices[0] = 7;
        program.texts[36] = u"18:00:00"_s;  // relay 5, every day of February 2028 only
        program.texts[37] = u"18:05:00"_s;
        program.texts[42] = u"02/2028"_s;
        program.texts[38] = u"25:00:00"_s;  // window 2: an hour that does not exist
        program.texts[39] = u"26:00:00"_s;
        const ComingSwitchings coming =
            comingSwitchings(program, QDateTime(QDate(2028, 2, 26), QTime(12, 0)), 7);
        QCOMPARE(describe(coming),
                 (QStringList{u"2028-02-26 18:00 R5 on"_s, u"2028-02-26 18:05 R5 off"_s,
                              u"2028-02-27 07:00 R1 on"_s, u"2028-02-27 07:30 R1 off"_s,
                              u"2028-02-27 18:00 R5 on"_s, u"2028-02-27 18:05 R5 off"_s,
                              u"2028-02-28 18:00 R5 on"_s, u"2028-02-28 18:05 R5 off"_s,
                              u"2028-02-29 18:00 R5 on"_s, u"2028-02-29 18:05 R5 off"_s,
                              u"2028-03-04 07:00 R1 on"_s, u"2028-03-04 07:30 R1 off"_s}));
        const QString text = switchingsText(coming);
        QVERIFY(text.contains(u"29/02/2028  18:05  Relais N°5  déclenchement"_s));
        QVERIFY(text.contains(u"Relais N°5, Début 2 : l'heure 25 n'existe pas"_s));
    }

    void calendarReadsBackWithTheRightTimes()
    {
        RelayProgram program = quietProgram();
        program.enables = {1, 0, 1, 0, 0, 0};
        program.texts[0] = u"08:30:00"_s;  // relay 1, Monday to Friday
        program.texts[1] = u"12:15:00"_s;
        program.dayChoices[0] = 8;
        program.texts[12] = u"23:00:00"_s;  // relay 3 over the new year, already past in part
        program.texts[13] = u"01:00:00"_s;
        program.texts[18] = u"31/12/2026"_s;
        program.texts[19] = u"01/01/2027"_s;
        program.texts[14] = u"10:00:00"_s;  // window 2: ends before it starts, left out
        program.texts[15] = u"09:00:00"_s;
        program.texts[20] = u"02/01/2027"_s;
        program.texts[21] = u"02/01/2027"_s;

        const ComingSwitchings coming =
            comingSwitchings(program, QDateTime(QDate(2026, 12, 31), QTime(8, 0)), 366);
        const QByteArray ics =
            switchingsICalendar(coming, QDateTime(QDate(2026, 12, 31), QTime(7, 0), Qt::UTC));
        QString fault;
        const QList<QMap<QString, QString>> events = parseCalendar(ics, &fault);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QCOMPARE(events.size(), 263);  // 262 working days, and the new-year window
        QSet<QString> uids;
        for (const auto &event : events) {
            uids.insert(event.value(u"UID"_s));
            QCOMPARE(event.value(u"DTSTAMP"_s), u"20261231T070000Z"_s);
        }
        QCOMPARE(uids.size(), events.size());

        const auto window = [&events](qsizetype i) {
            return events[i].value(u"DTSTART"_s) + u' ' + events[i].value(u"DTEND"_s);
        };
        QCOMPARE(window(0), u"20261231T083000 20261231T121500"_s);
        QCOMPARE(window(262), u"20261231T230000 20270101T010000"_s);
        QCOMPARE(events[0].value(u"SUMMARY"_s), u"Relais N°1 enclenché (plage 1)"_s);
        // The description, with its commas escaped and folded past 75 octets, comes back whole.
        QCOMPARE(events[262].value(u"DESCRIPTION"_s),
                 u"Relais N°3\\, plage 1 : enclenchement le 31/12/2026 à 23:00\\, "
                 "déclenchement le 01/01/2027 à 01:00."_s);

        // The table: French headers, ';' between the fields, one line per switching.
        const QByteArray csv = switchingsCsv(coming);
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"
                               "Date;Heure;Relais;Plage;Commutation;Remarques\r\n"));
        QVERIFY(csv.contains(u"31/12/2026;08:30;Relais N°1;1;enclenchement;\r\n"_s.toUtf8()));
        QCOMPARE(csv.count("\r\n"), coming.switchings.size() + 1);
    }
};

QTEST_GUILESS_MAIN(ComingSwitchingsTest)
#include "test_coming_switchings.moc"
