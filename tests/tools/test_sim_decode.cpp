// The simulator's decoding is the inverse of the frame encoders: what the tool encodes, the
// simulator must read back field for field, and what is not a whole frame must be reported.

#include "sim/sim_decode.h"
#include "sim/sim_report.h"

#include "link/clock_frame.h"
#include "link/days.h"
#include "relays/program_frame.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTest>

using namespace platine;
using namespace platine::sim;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QString upperHex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// A 125-byte program frame holding only zeros after the "B".
QByteArray zeroProgramFrame()
{
    QByteArray frame(kProgramFrameBytes, '\0');
    frame[0] = 'B';
    return frame;
}

// A program frame in which every field holds a real value: times 00:00, dates 01/01/00,
// month-years 01/00.
QByteArray validProgramFrame()
{
    QByteArray frame = zeroProgramFrame();
    for (int at : {41, 72})  // dated relays 3 and 4: six dates each
        for (int date = 0; date < 6; ++date)
            frame[at + 3 * date] = frame[at + 3 * date + 1] = '\x01';
    frame[105] = frame[122] = '\x01';  // months of relays 5 and 6
    return frame;
}

// Two decimal digits as text.
QString twoDigits(QRandomGenerator &random)
{
    return QStringLiteral("%1").arg(random.bounded(100), 2, 10, QLatin1Char('0'));
}

// Any character but a digit where the board reads none: separators are skipped, whatever
// they are.
QChar anySeparator(QRandomGenerator &random)
{
    static const QString choices = QStringLiteral(":/h- .xé9");
    return choices.at(random.bounded(static_cast<int>(choices.size())));
}

QString randomTail(QRandomGenerator &random)
{
    static const QString choices = QStringLiteral("0123456789:/ abc");
    QString tail;
    const int length = random.bounded(4);
    for (int i = 0; i < length; ++i)
        tail += choices.at(random.bounded(static_cast<int>(choices.size())));
    return tail;
}

// A random program that the tool can encode: two digits where the board reads them,
// anything elsewhere, day choices -1..9 and enable values 0..2.
RelayProgram randomEncodableProgram(QRandomGenerator &random)
{
    RelayProgram program;
    for (int i = 0; i < kTextSlotCount; ++i) {
        QString text;
        switch (textSlotInfo(i).kind) {
        case SlotKind::Time:  // hh:mm:ss
            text = twoDigits(random) + anySeparator(random) + twoDigits(random) +
                   anySeparator(random) + twoDigits(random);
            break;
        case SlotKind::Date:  // dd/mm/yyyy
            text = twoDigits(random) + anySeparator(random) + twoDigits(random) +
                   anySeparator(random) + twoDigits(random) + twoDigits(random);
            break;
        case SlotKind::MonthYear:  // mm/yyyy
            text = twoDigits(random) + anySeparator(random) + twoDigits(random) + twoDigits(random);
            break;
        }
        program.texts[static_cast<size_t>(i)] = text + randomTail(random);
    }
    for (int &choice : program.dayChoices)
        choice = random.bounded(-1, 10);
    for (int &enable : program.enables)
        enable = random.bounded(0, 3);
    return program;
}

// "1:clock:41 14 ..." for each event, with the number of the feed that produced it.
QStringList describe(int feedIndex, const QList<FrameStream::Event> &events)
{
    QStringList result;
    for (const FrameStream::Event &event : events) {
        QString kind;
        switch (event.kind) {
        case FrameStream::Kind::Clock:
            kind = QStringLiteral("clock");
            break;
        case FrameStream::Kind::Program:
            kind = QStringLiteral("program");
            break;
        case FrameStream::Kind::Ignored:
            kind = event.reason == FrameStream::IgnoredReason::Incomplete
                       ? QStringLiteral("incomplete")
                       : QStringLiteral("junk");
            break;
        }
        result << QStringLiteral("%1:%2:%3").arg(feedIndex).arg(kind, upperHex(event.bytes));
    }
    return result;
}

}  // namespace

class SimDecodeTest : public QObject
{
    Q_OBJECT

private slots:
    void clockFrameWorkedExamples_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QStringList>("fields");  // hours .. year as the PC typed them
        QTest::addColumn<int>("weekDay");
        QTest::addColumn<QString>("weekDayName");
        QTest::addColumn<QDateTime>("moment");
        QTest::newRow("Friday 23/11/2007 14:37:52")
            << hex("4114375223110706")
            << QStringList{QStringLiteral("14"), QStringLiteral("37"), QStringLiteral("52"),
                           QStringLiteral("23"), QStringLiteral("11"), QStringLiteral("07")}
            << 6 << QStringLiteral("Vendredi")
            << QDateTime(QDate(2007, 11, 23), QTime(14, 37, 52), Qt::UTC);
        QTest::newRow("Sunday 01/03/2009 08:05:09")
            << hex("4108050901030901")
            << QStringList{QStringLiteral("08"), QStringLiteral("05"), QStringLiteral("09"),
                           QStringLiteral("01"), QStringLiteral("03"), QStringLiteral("09")}
            << 1 << QStringLiteral("Dimanche")
            << QDateTime(QDate(2009, 3, 1), QTime(8, 5, 9), Qt::UTC);
    }
    void clockFrameWorkedExamples()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QStringList, fields);
        QFETCH(int, weekDay);
        QFETCH(QString, weekDayName);
        QFETCH(QDateTime, moment);
        const std::optional<ClockSetting> setting = decodeClockFrame(frame);
        QVERIFY(setting);
        const QStringList decoded = {setting->hours.text(),   setting->minutes.text(),
                                     setting->seconds.text(), setting->day.text(),
                                     setting->month.text(),   setting->year.text()};
        QCOMPARE(decoded, fields);
        QCOMPARE(int(setting->weekDay), weekDay);
        QCOMPARE(setting->weekDayName(), weekDayName);
        QCOMPARE(setting->moment(), std::optional<QDateTime>(moment));
        QCOMPARE(setting->problems(), QStringList());
    }

    // Every moment the tool's "heure PC" can produce comes back whole, with its day.
    void clockFrameRoundTrip()
    {
        QRandomGenerator random(20071123);
        const QDateTime first(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
        for (int i = 0; i < 500; ++i) {
            const QDateTime moment = first.addSecs(random.bounded(100LL * 365 * 24 * 3600));
            const ClockFrameResult encoded = encodeClockFrame(clockFieldsFor(moment));
            QVERIFY(encoded.ok());
            const std::optional<ClockSetting> setting = decodeClockFrame(encoded.frame);
            QVERIFY(setting);
            QCOMPARE(setting->moment(), std::optional<QDateTime>(moment));
            QCOMPARE(int(setting->weekDay), sundayFirstIndex(moment.date().dayOfWeek()) + 1);
            QVERIFY2(setting->problems().isEmpty(), qPrintable(moment.toString()));
        }
    }

    void clockFrameProblemsAreReported_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("hasMoment");
        QTest::addColumn<QString>("problemPart");  // a part of the one problem expected
        QTest::addColumn<QString>("hoursText");
        QTest::newRow("hour byte with a nibble above 9 is not fixed")
            << hex("411A375223110706") << false << QStringLiteral("heures : l'octet 0x1A")
            << QStringLiteral("1A");
        QTest::newRow("year byte 0xF0")
            << hex("411437522311F006") << false << QStringLiteral("année : l'octet 0xF0")
            << QStringLiteral("14");
        QTest::newRow("hour 25 does not exist")
            << hex("4125000001011006") << false << QStringLiteral("n'existe pas")
            << QStringLiteral("25");
        QTest::newRow("31 February does not exist")
            << hex("4112000031021006") << false << QStringLiteral("31/02/10")
            << QStringLiteral("12");
        QTest::newRow("day number 0: the tool's unknown name")
            << hex("4112000001011000") << true << QStringLiteral("numéro de jour 0")
            << QStringLiteral("12");
        QTest::newRow("day number 8") << hex("4112000001011008") << true
                                      << QStringLiteral("numéro de jour 8") << QStringLiteral("12");
        QTest::newRow("Lundi sent for a Friday")
            << hex("4112000001011002") << true
            << QStringLiteral("le jour n° 2 (Lundi) ne correspond pas à la date, qui est un "
                              "Vendredi")
            << QStringLiteral("12");
    }
    void clockFrameProblemsAreReported()
    {
        QFETCH(QByteArray, frame);
        QFETCH(bool, hasMoment);
        QFETCH(QString, problemPart);
        QFETCH(QString, hoursText);
        const std::optional<ClockSetting> setting = decodeClockFrame(frame);
        QVERIFY(setting);
        QCOMPARE(setting->moment().has_value(), hasMoment);
        QCOMPARE(setting->hours.text(), hoursText);
        const QStringList problems = setting->problems();
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems.first().contains(problemPart), qPrintable(problems.first()));
    }

    void framesOfTheWrongSizeOrLetterAreNotDecoded()
    {
        QVERIFY(!decodeClockFrame(hex("41143752231107")));
        QVERIFY(!decodeClockFrame(hex("411437522311070600")));
        QVERIFY(!decodeClockFrame(hex("4214375223110706")));
        QVERIFY(!decodeClockFrame({}));
        const QByteArray program = validProgramFrame();
        QVERIFY(decodeProgramFrame(program));
        QVERIFY(!decodeProgramFrame(program.first(kProgramFrameBytes - 1)));
        QVERIFY(!decodeProgramFrame(program + '\0'));
        QByteArray wrongLetter = program;
        wrongLetter[0] = 'A';
        QVERIFY(!decodeProgramFrame(wrongLetter));
    }

    // Random encodable programs: every hour, minute, date, month-year, day code and enable
    // flag the tool encodes is read back from the frame in its own relay and row.
    void programFrameRoundTrip()
    {
        const quint32 start = 4242;
        QRandomGenerator random(start);
        for (int round = 0; round < 300; ++round) {
            const RelayProgram program = randomEncodableProgram(random);
            const ProgramEncodeResult encoded = encodeProgram(program);
            QVERIFY2(encoded.ok(),
                     qPrintable(encoded.error ? encoded.error->message() : QString()));
            const QByteArray frame = programFrame(encoded.bytes);
            const std::optional<DecodedProgram> decoded = decodeProgramFrame(frame);
            QVERIFY(decoded);
            for (const RelayLayout &layout : relayLayouts()) {
                const DecodedRelay &relay = decoded->relays[static_cast<size_t>(layout.relay - 1)];
                const QString where = QStringLiteral("random start %1, round %2, relay %3")
                                          .arg(start)
                                          .arg(round)
                                          .arg(layout.relay);
                QCOMPARE(relay.relay, layout.relay);
                QCOMPARE(relay.kind, layout.kind);
                for (int row = 0; row < kTimeSlotsPerRelay; ++row) {
                    const QString &time =
                        program.texts[static_cast<size_t>(layout.firstTimeSlot + row)];
                    QVERIFY2(relay.times[static_cast<size_t>(row)].text() ==
                                 time.mid(0, 2) + QLatin1Char(':') + time.mid(3, 2),
                             qPrintable(where + QStringLiteral(" time ") + time));
                    if (layout.firstDateSlot < 0)
                        continue;
                    const QString &date =
                        program.texts[static_cast<size_t>(layout.firstDateSlot + row)];
                    const BcdDate &decodedDate = relay.dates[static_cast<size_t>(row)];
                    QVERIFY2(decodedDate.day.text() == date.mid(0, 2) &&
                                 decodedDate.month.text() == date.mid(3, 2) &&
                                 decodedDate.year.text() == date.mid(8, 2),
                             qPrintable(where + QStringLiteral(" date ") + date));
                }
                if (layout.monthYearSlot >= 0) {
                    const QString &monthYear =
                        program.texts[static_cast<size_t>(layout.monthYearSlot)];
                    QCOMPARE(int(relay.monthYear.lead), 0);
                    QVERIFY2(relay.monthYear.month.text() == monthYear.mid(0, 2) &&
                                 relay.monthYear.year.text() == monthYear.mid(5, 2),
                             qPrintable(where + QStringLiteral(" month-year ") + monthYear));
                }
                const int expectedCode =
                    layout.dayChoice < 0
                        ? -1
                        : program.dayChoices[static_cast<size_t>(layout.dayChoice)] + 1;
                QVERIFY2(relay.dayCode == expectedCode, qPrintable(where));
                QVERIFY2(relay.enabled() ==
                             (program.enables[static_cast<size_t>(layout.enableIndex)] == 1),
                         qPrintable(where));
                QVERIFY2(relay.enableByte <= 1, qPrintable(where));
            }
        }
    }

    // The worked examples of the tool's upload, read from frames built by hand.
    void programFrameWorkedExamples()
    {
        QByteArray frame = validProgramFrame();
        frame.replace(0, 15,
                      hex("42083012151400174500000000"
                          "0901"));
        frame.replace(29, 2, hex("0700"));
        frame.replace(41, 3, hex("241207"));
        frame.replace(103, 4, hex("0A000308"));
        frame[107] = '\x01';
        frame.replace(84, 3, hex("311299"));  // relay 4, date of Début 3: year 99
        const std::optional<DecodedProgram> program = decodeProgramFrame(frame);
        QVERIFY(program);
        const DecodedRelay &relay1 = program->relays[0];
        QStringList times;
        for (const BcdTime &time : relay1.times)
            times << time.text();
        QCOMPARE(times, (QStringList{QStringLiteral("08:30"), QStringLiteral("12:15"),
                                     QStringLiteral("14:00"), QStringLiteral("17:45"),
                                     QStringLiteral("00:00"), QStringLiteral("00:00")}));
        QCOMPARE(relay1.dayCode, 9);
        QCOMPARE(dayCodeName(relay1.dayCode), QStringLiteral("Lundi à Vendredi"));
        QVERIFY(relay1.enabled());
        QVERIFY(!program->relays[1].enabled());
        QCOMPARE(program->relays[2].kind, RelayKind::Dated);
        QCOMPARE(program->relays[2].dayCode, -1);
        QCOMPARE(program->relays[2].times[0].text(), QStringLiteral("07:00"));
        QCOMPARE(program->relays[2].dates[0].text(), QStringLiteral("24/12/07"));
        QCOMPARE(program->relays[3].dates[4].text(), QStringLiteral("31/12/99"));
        const DecodedRelay &relay5 = program->relays[4];
        QCOMPARE(relay5.dayCode, 10);
        QCOMPARE(dayCodeName(relay5.dayCode), QStringLiteral("Tous les jours"));
        QCOMPARE(relay5.monthYear.text(), QStringLiteral("03/08"));
        QVERIFY(relay5.enabled());
        QCOMPARE(program->problems(), QStringList());
    }

    void programProblemsAreReported_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("problemPart");
        QTest::newRow("hours of relay 2, Fin 1, not BCD")
            << 17 << 0x1A << QStringLiteral("Relais N°2, Fin 1, heures : l'octet 0x1A");
        QTest::newRow("minutes 60 of relay 6") << 109 << 0x60
                                               << QStringLiteral("Relais N°6, Début 1 : l'heure "
                                                                 "00:60 n'existe pas");
        QTest::newRow("date 32/01 does not exist")
            << 41 << 0x32 << QStringLiteral("Relais N°3, date de Début 1 : la date 32/01/00");
        QTest::newRow("date month nibble above 9")
            << 73 << 0x0C << QStringLiteral("Relais N°4, date de Début 1, mois : l'octet 0x0C");
        QTest::newRow("month 13") << 122 << 0x13
                                  << QStringLiteral("Relais N°6, Mois - Année : le mois 13/00");
        QTest::newRow("month-year lead byte not 0")
            << 104 << 0x05 << QStringLiteral("l'octet qui précède le mois vaut 0x05 au lieu de 0");
        QTest::newRow("day code 11") << 13 << 11 << QStringLiteral("Relais N°1 : code de jour 11");
        QTest::newRow("enable byte 2")
            << 59 << 2 << QStringLiteral("Relais N°3 : octet d'activation 0x02");
    }
    void programProblemsAreReported()
    {
        QFETCH(int, offset);
        QFETCH(int, byte);
        QFETCH(QString, problemPart);
        QByteArray frame = validProgramFrame();
        QCOMPARE(decodeProgramFrame(frame)->problems(), QStringList());
        frame[offset] = static_cast<char>(byte);
        const std::optional<DecodedProgram> program = decodeProgramFrame(frame);
        QVERIFY(program);
        const QStringList problems = program->problems();
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems.first().contains(problemPart), qPrintable(problems.first()));
    }

    void dayCodeNames_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << QStringLiteral("aucun");
        QTest::newRow("1") << 1 << QStringLiteral("Dimanche");
        QTest::newRow("2") << 2 << QStringLiteral("Lundi");
        QTest::newRow("7") << 7 << QStringLiteral("Samedi");
        QTest::newRow("8") << 8 << QStringLiteral("Samedi et Dimanche");
        QTest::newRow("9") << 9 << QStringLiteral("Lundi à Vendredi");
        QTest::newRow("10") << 10 << QStringLiteral("Tous les jours");
        QTest::newRow("11") << 11 << QStringLiteral("code inconnu (11)");
        QTest::newRow("255") << 255 << QStringLiteral("code inconnu (255)");
    }
    void dayCodeNames()
    {
        QFETCH(int, code);
        QFETCH(QString, name);
        QCOMPARE(dayCodeName(code), name);
    }

    void streamCutsFrames_data()
    {
        const QByteArray clock = hex("4114375223110706");
        const QByteArray otherClock = hex("4108050901030901");
        const QByteArray program = validProgramFrame();
        const QString clockHex = upperHex(clock);
        const QString programHex = upperHex(program);

        QTest::addColumn<QList<QByteArray>>("feeds");
        QTest::addColumn<bool>("quietAtEnd");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("one clock frame") << QList<QByteArray>{clock} << false
                                         << QStringList{QStringLiteral("0:clock:") + clockHex};
        QTest::newRow("two frames back to back in one read")
            << QList<QByteArray>{clock + program} << false
            << QStringList{QStringLiteral("0:clock:") + clockHex,
                           QStringLiteral("0:program:") + programHex};
        QTest::newRow("program frame split across four reads")
            << QList<QByteArray>{program.first(1), program.sliced(1, 7), program.sliced(8, 50),
                                 program.sliced(58)}
            << false << QStringList{QStringLiteral("3:program:") + programHex};
        QTest::newRow("second frame starts in the read that ends the first")
            << QList<QByteArray>{clock.first(5), clock.sliced(5) + otherClock.first(3),
                                 otherClock.sliced(3)}
            << false
            << QStringList{QStringLiteral("1:clock:") + clockHex,
                           QStringLiteral("2:clock:") + upperHex(otherClock)};
        // Bytes inside a frame are counted, never taken for a command letter: minutes 41
        // travel as "A", year 42 as "B".
        QTest::newRow("frame bytes equal to A and B")
            << QList<QByteArray>{hex("4112414201044205")} << false
            << QStringList{QStringLiteral("0:clock:41 12 41 42 01 04 42 05")};
        QTest::newRow("junk before a frame")
            << QList<QByteArray>{QByteArray("xyz") + clock} << false
            << QStringList{QStringLiteral("0:junk:78 79 7A"),
                           QStringLiteral("0:clock:") + clockHex};
        QTest::newRow("junk run split across reads is reported whole")
            << QList<QByteArray>{QByteArray("\r\n"), QByteArray("ok") + clock} << false
            << QStringList{QStringLiteral("1:junk:0D 0A 6F 6B"),
                           QStringLiteral("1:clock:") + clockHex};
        QTest::newRow("junk at the end waits for the quiet time")
            << QList<QByteArray>{hex("5A1230")} << true
            << QStringList{QStringLiteral("1:junk:5A 12 30")};
        QTest::newRow("partial clock frame then silence")
            << QList<QByteArray>{hex("411230")} << true
            << QStringList{QStringLiteral("1:incomplete:41 12 30")};
        QTest::newRow("partial program frame after a whole one")
            << QList<QByteArray>{clock + program.first(100)} << true
            << QStringList{QStringLiteral("0:clock:") + clockHex,
                           QStringLiteral("1:incomplete:") + upperHex(program.first(100))};
        QTest::newRow("nothing") << QList<QByteArray>{QByteArray()} << true << QStringList{};
    }
    void streamCutsFrames()
    {
        QFETCH(QList<QByteArray>, feeds);
        QFETCH(bool, quietAtEnd);
        QFETCH(QStringList, events);
        FrameStream stream;
        QStringList seen;
        for (int i = 0; i < feeds.size(); ++i)
            seen << describe(i, stream.feed(feeds[i]));
        if (quietAtEnd) {
            seen << describe(static_cast<int>(feeds.size()), stream.flush());
            QVERIFY(!stream.hasPending());
        }
        QCOMPARE(seen, events);
    }

    // Whatever the split, a clock frame makes one event, when its last byte arrives.
    void streamEverySplitOfAClockFrame()
    {
        const QByteArray clock = hex("4114375223110706");
        for (int split = 1; split < clock.size(); ++split) {
            FrameStream stream;
            QVERIFY(stream.feed(clock.first(split)).isEmpty());
            QCOMPARE(stream.pendingSize(), split);
            const QList<FrameStream::Event> events = stream.feed(clock.sliced(split));
            QCOMPARE(events.size(), 1);
            QCOMPARE(events.first().kind, FrameStream::Kind::Clock);
            QCOMPARE(events.first().bytes, clock);
            QVERIFY(!stream.hasPending());
            QVERIFY(stream.flush().isEmpty());
        }
    }

    // A long stream of junk shows up as it comes, in runs, and no byte is lost.
    void streamReportsLongJunkInRuns()
    {
        FrameStream stream;
        const QByteArray junk(150, 'x');
        const QList<FrameStream::Event> events = stream.feed(junk);
        QCOMPARE(events.size(), 2);
        QCOMPARE(events[0].bytes.size(), FrameStream::kMaxJunkRun);
        QCOMPARE(events[1].bytes.size(), FrameStream::kMaxJunkRun);
        const QList<FrameStream::Event> rest = stream.flush();
        QCOMPARE(rest.size(), 1);
        QCOMPARE(rest[0].bytes.size(), 150 - 2 * FrameStream::kMaxJunkRun);
        QCOMPARE(rest[0].reason, FrameStream::IgnoredReason::UnknownStart);
    }

    void reportsInText()
    {
        const QByteArray clockFrame = hex("4114375223110706");
        const QString clock = clockReport(*decodeClockFrame(clockFrame), clockFrame, true);
        QVERIFY2(clock.contains(QStringLiteral("41 14 37 52 23 11 07 06")), qPrintable(clock));
        QVERIFY2(clock.contains(QStringLiteral("réglée sur : Vendredi 23/11/2007 14:37:52")),
                 qPrintable(clock));
        QVERIFY2(!clock.contains(QStringLiteral("!")), qPrintable(clock));

        const QByteArray badClock = hex("411A375223110706");
        const QString bad = clockReport(*decodeClockFrame(badClock), badClock, false);
        QVERIFY2(bad.contains(QStringLiteral("1A:37:52")), qPrintable(bad));
        QVERIFY2(bad.contains(QStringLiteral("inchangée")), qPrintable(bad));
        QVERIFY2(bad.contains(QStringLiteral("! heures : l'octet 0x1A")), qPrintable(bad));

        QByteArray frame = validProgramFrame();
        frame.replace(1, 14, hex("0830121514001745000000000901"));
        frame.replace(41, 3, hex("241207"));
        const QString program = programReport(*decodeProgramFrame(frame));
        for (const QString &part :
             {QStringLiteral("Relais N°1 (hebdomadaire) : actif ; jours : Lundi à Vendredi"),
              QStringLiteral("Plage 2 : Début 14:00   Fin 17:45"),
              QStringLiteral("Relais N°3 (à dates) : inactif"),
              QStringLiteral("Plage 1 : Début 00:00 le 24/12/07   Fin 00:00 le 01/01/00"),
              QStringLiteral("Relais N°6 (mensuel) : inactif ; jours : aucun (code 0) ; "
                             "mois : 01/00")}) {
            QVERIFY2(program.contains(part), qPrintable(part + QStringLiteral("\n") + program));
        }
    }

    void ignoredReportsName_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("incomplete");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("incomplete clock frame")
            << hex("411230") << true
            << QStringLiteral("octets ignorés : 3 (41 12 30) : trame « A » incomplète (3 octets "
                              "sur 8), puis plus rien")
            << QStringLiteral("incomplete");
        QTest::newRow("junk") << QByteArray("xyz") << false
                              << QStringLiteral("octets ignorés : 3 (78 79 7A) : ils ne "
                                                "commencent pas par « A » ou « B »")
                              << QStringLiteral("unknown-start");
    }
    void ignoredReportsName()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, incomplete);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        FrameStream stream;
        QVERIFY(stream.feed(bytes).isEmpty());
        const QList<FrameStream::Event> events = stream.flush();
        QCOMPARE(events.size(), 1);
        QCOMPARE(events[0].reason == FrameStream::IgnoredReason::Incomplete, incomplete);
        QCOMPARE(ignoredReport(events[0]), text);
        const QJsonObject json = ignoredJson(events[0]);
        QCOMPARE(json.value(QStringLiteral("event")).toString(), QStringLiteral("ignored"));
        QCOMPARE(json.value(QStringLiteral("count")).toInt(), bytes.size());
        QCOMPARE(json.value(QStringLiteral("bytes")).toString(), upperHex(bytes));
        QCOMPARE(json.value(QStringLiteral("reason")).toString(), reason);
    }

    void reportsInJson()
    {
        const QByteArray badClock = hex("4125000031021002");
        const QJsonObject clock = clockJson(*decodeClockFrame(badClock), badClock, false);
        QCOMPARE(clock.value(QStringLiteral("event")).toString(), QStringLiteral("clock"));
        QCOMPARE(clock.value(QStringLiteral("hours")).toString(), QStringLiteral("25"));
        QCOMPARE(clock.value(QStringLiteral("weekDay")).toInt(), 2);
        QCOMPARE(clock.value(QStringLiteral("weekDayName")).toString(), QStringLiteral("Lundi"));
        QVERIFY(clock.value(QStringLiteral("moment")).isNull());
        QCOMPARE(clock.value(QStringLiteral("applied")).toBool(true), false);
        QCOMPARE(clock.value(QStringLiteral("problems")).toArray().size(), 1);

        QByteArray frame = validProgramFrame();
        frame.replace(103, 4, hex("0A000308"));
        const QJsonObject program = programJson(*decodeProgramFrame(frame), frame);
        QCOMPARE(program.value(QStringLiteral("frame")).toString(), upperHex(frame));
        const QJsonArray relays = program.value(QStringLiteral("relays")).toArray();
        QCOMPARE(relays.size(), kRelayCount);
        const QJsonObject weekly = relays[0].toObject();
        QCOMPARE(weekly.value(QStringLiteral("kind")).toString(), QStringLiteral("weekly"));
        QCOMPARE(weekly.value(QStringLiteral("times")).toArray().size(), 6);
        QVERIFY(!weekly.contains(QStringLiteral("dates")));
        const QJsonObject dated = relays[2].toObject();
        QCOMPARE(dated.value(QStringLiteral("kind")).toString(), QStringLiteral("dated"));
        QCOMPARE(dated.value(QStringLiteral("dates")).toArray().at(0).toString(),
                 QStringLiteral("01/01/00"));
        QVERIFY(!dated.contains(QStringLiteral("dayCode")));
        const QJsonObject month = relays[4].toObject();
        QCOMPARE(month.value(QStringLiteral("kind")).toString(), QStringLiteral("month"));
        QCOMPARE(month.value(QStringLiteral("dayCode")).toInt(), 10);
        QCOMPARE(month.value(QStringLiteral("days")).toString(), QStringLiteral("Tous les jours"));
        QCOMPARE(month.value(QStringLiteral("monthYear")).toString(), QStringLiteral("03/08"));
        QCOMPARE(month.value(QStringLiteral("monthYearLead")).toInt(-1), 0);
        QCOMPARE(month.value(QStringLiteral("enabled")).toBool(true), false);
    }
};

QTEST_GUILESS_MAIN(SimDecodeTest)
#include "test_sim_decode.moc"
