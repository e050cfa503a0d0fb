// The built platine-sim program, run as the user runs it: the test plays the PC, opens the
// serial line the simulator names, reads the board's clock text and sends it real frames made
// by the tool's own encoders.

#include "link/clock_frame.h"
#include "relays/program_frame.h"

#include "support/pty_board.h"
#include "support/relay_programs.h"
#include "support/sim_process.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTest>

#include <optional>

using namespace platine;
using platine::test::PtyBoard;
using platine::test::SimProcess;

namespace {

// The board sends its clock about once a second; the PC must see a line well within this.
constexpr int kClockLineTimeoutMs = 2500;
constexpr int kEventTimeoutMs = SimProcess::kEventTimeoutMs;

// The next event of the simulator, skipping "connection" events (the PC opening and closing
// the port).
QJsonObject nextEvent(SimProcess &sim)
{
    return sim.nextEvent([](const QString &kind) { return kind != QStringLiteral("connection"); });
}

// The PC's end of the line.
class PcPort
{
public:
    bool open(const QString &device)
    {
        port_.setPortName(device);
        port_.setBaudRate(QSerialPort::Baud9600);
        port_.setDataBits(QSerialPort::Data8);
        port_.setParity(QSerialPort::NoParity);
        port_.setStopBits(QSerialPort::OneStop);
        port_.setFlowControl(QSerialPort::NoFlowControl);
        if (!port_.open(QIODevice::ReadWrite)) {
            qWarning("cannot open %s: %s", qPrintable(device), qPrintable(port_.errorString()));
            return false;
        }
        port_.setDataTerminalReady(false);  // the tool keeps DTR off
        return true;
    }

    bool write(const QByteArray &bytes)
    {
        if (port_.write(bytes) != bytes.size())
            return false;
        return QTest::qWaitFor([&] { return port_.bytesToWrite() == 0; }, 2000);
    }

    // Drops what the simulator has sent so far, bytes still on their way in the line included.
    void discard()
    {
        (void)QTest::qWaitFor([&] {
            port_.readAll();
            return !test::lineHasUnreadInput(static_cast<int>(port_.handle()));
        });
        port_.readAll();
        buffer_.clear();
    }

    // The next whole line ending in CR LF within timeoutMs.
    std::optional<QByteArray> nextLine(int timeoutMs = kClockLineTimeoutMs)
    {
        (void)QTest::qWaitFor(
            [&] {
                buffer_ += port_.readAll();
                return buffer_.contains("\r\n");
            },
            timeoutMs);
        const qsizetype end = buffer_.indexOf("\r\n");
        if (end < 0)
            return std::nullopt;
        const QByteArray line = buffer_.first(end + 2);
        buffer_.remove(0, end + 2);
        return line;
    }

    // Reads lines until one matches; the lines read on the way are dropped.
    std::optional<QByteArray> lineMatching(const QRegularExpression &pattern,
                                           int timeoutMs = kClockLineTimeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            const std::optional<QByteArray> line =
                nextLine(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
            if (line && pattern.match(QString::fromLatin1(*line)).hasMatch())
                return line;
        }
        return std::nullopt;
    }

    void close() { port_.close(); }

private:
    QSerialPort port_;
    QByteArray buffer_;
};

QString upperHex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QStringList stringsOf(const QJsonValue &value)
{
    QStringList list;
    for (const QJsonValue &item : value.toArray())
        list << item.toString();
    return list;
}

// A timetable using every relay kind, with values the board can tell apart.
RelayProgram sampleProgram()
{
    const QStringList times = {
        QStringLiteral("08:30:00"), QStringLiteral("12:15:00"), QStringLiteral("14:00:00"),
        QStringLiteral("17:45:00"), QStringLiteral("00:00:00"), QStringLiteral("00:00:00"),
    };
    // The dates' years differ from slot to slot too (20NN, NN the slot's index).
    RelayProgram program = test::programFilledBy([base = test::fullProgram()](int i,
                                                                              SlotKind kind) {
        switch (kind) {
        case SlotKind::Time:
            return base.texts[static_cast<size_t>(i)];
        case SlotKind::Date:
            return QStringLiteral("%1/12/20%2").arg(i % 28 + 1, 2, 10, QLatin1Char('0')).arg(i);
        case SlotKind::MonthYear:
            break;
        }
        return QStringLiteral("%1/2008").arg(i == 42 ? QStringLiteral("03") : QStringLiteral("11"));
    });
    for (int i = 0; i < 6; ++i)
        program.texts[static_cast<size_t>(i)] = times[i];
    program.texts[30] = QStringLiteral("31/12/1999");
    program.dayChoices = {8, 6, 9, -1};  // Lundi à Vendredi, Samedi, Tous les jours, none
    program.enables = {1, 0, 1, 2, 1, 0};
    return program;
}

// What the board must have read: each relay's times, dates, month-year, day code and flag.
void compareProgramEvent(const QJsonObject &event, const RelayProgram &program,
                         const QByteArray &frame)
{
    QCOMPARE(event.value(QStringLiteral("event")).toString(), QStringLiteral("program"));
    QCOMPARE(event.value(QStringLiteral("frame")).toString(), upperHex(frame));
    QCOMPARE(stringsOf(event.value(QStringLiteral("problems"))), QStringList());
    const QJsonArray relays = event.value(QStringLiteral("relays")).toArray();
    QCOMPARE(relays.size(), kRelayCount);
    for (const RelayLayout &layout : relayLayouts()) {
        const QJsonObject relay = relays.at(layout.relay - 1).toObject();
        QCOMPARE(relay.value(QStringLiteral("relay")).toInt(), layout.relay);
        QStringList times;
        QStringList dates;
        for (int row = 0; row < kTimeSlotsPerRelay; ++row) {
            times << program.texts[static_cast<size_t>(layout.firstTimeSlot + row)].first(5);
            if (layout.firstDateSlot >= 0) {
                const QString &date =
                    program.texts[static_cast<size_t>(layout.firstDateSlot + row)];
                dates << date.first(6) + date.sliced(8, 2);
            }
        }
        QCOMPARE(stringsOf(relay.value(QStringLiteral("times"))), times);
        QCOMPARE(stringsOf(relay.value(QStringLiteral("dates"))), dates);
        if (layout.monthYearSlot >= 0) {
            const QString &monthYear = program.texts[static_cast<size_t>(layout.monthYearSlot)];
            QCOMPARE(relay.value(QStringLiteral("monthYear")).toString(),
                     monthYear.first(3) + monthYear.sliced(5, 2));
        }
        if (layout.dayChoice >= 0) {
            QCOMPARE(relay.value(QStringLiteral("dayCode")).toInt(-2),
                     program.dayChoices[static_cast<size_t>(layout.dayChoice)] + 1);
        } else {
            QVERIFY(!relay.contains(QStringLiteral("dayCode")));
        }
        QCOMPARE(relay.value(QStringLiteral("enabled")).toBool(),
                 program.enables[static_cast<size_t>(layout.enableIndex)] == 1);
    }
}

QByteArray clockFrameFor(const QDateTime &moment)
{
    return encodeClockFrame(clockFieldsFor(moment)).frame;
}

}  // namespace

class PlatineSimTest : public QObject
{
    Q_OBJECT

private:
    // Starts the simulator on a pseudo-terminal with its clock at 01/01/2010 00:00:00 (a
    // Friday), opens the PC's end and waits for the first clock line.
    void startOnPseudoTerminal(SimProcess &sim, PcPort &pc)
    {
        const QJsonObject port = nextEvent(sim);
        QCOMPARE(port.value(QStringLiteral("event")).toString(), QStringLiteral("port"));
        QCOMPARE(port.value(QStringLiteral("pseudoTerminal")).toBool(), true);
        QCOMPARE(port.value(QStringLiteral("clock")).toString(),
                 QStringLiteral("2010-01-01T00:00:00"));
        QCOMPARE(port.value(QStringLiteral("weekDay")).toInt(), 6);
        const QString device = port.value(QStringLiteral("device")).toString();
        QVERIFY2(device.startsWith(QStringLiteral("/dev/")), qPrintable(device));
        QVERIFY(pc.open(device));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(test::simulatorProgram()), qPrintable(test::simulatorProgram()));
    }

    void sendsItsClockOnceTheLineIsOpen()
    {
        SimProcess sim({QStringLiteral("--json"), QStringLiteral("--clock"),
                        QStringLiteral("2010-01-01T00:00:00")});
        PcPort pc;
        startOnPseudoTerminal(sim, pc);
        if (QTest::currentTestFailed())
            return;
        const std::optional<QByteArray> line = pc.nextLine();
        QVERIFY2(line, "no clock line within 2.5 s");
        QVERIFY2(line->size() >= 26, line->constData());
        QVERIFY2(QRegularExpression(QStringLiteral("^Vendredi 01/01/2010 00:00:[0-5]\\d\r\n$"))
                     .match(QString::fromLatin1(*line))
                     .hasMatch(),
                 line->constData());
        // A second line follows about a second later.
        const std::optional<QByteArray> next = pc.nextLine();
        QVERIFY2(next, "no second clock line");
        QVERIFY(*next != *line);
        pc.close();
        QVERIFY(sim.stop());
    }

    void clockFrameSetsTheBoardClock()
    {
        SimProcess sim({QStringLiteral("--json"), QStringLiteral("--clock"),
                        QStringLiteral("2010-01-01T00:00:00")});
        PcPort pc;
        startOnPseudoTerminal(sim, pc);
        if (QTest::currentTestFailed())
            return;
        const QByteArray frame = clockFrameFor(QDateTime(QDate(2007, 11, 23), QTime(14, 37, 52)));
        QVERIFY(pc.write(frame));
        const QJsonObject event = nextEvent(sim);
        QCOMPARE(event.value(QStringLiteral("event")).toString(), QStringLiteral("clock"));
        QCOMPARE(event.value(QStringLiteral("frame")).toString(), upperHex(frame));
        QCOMPARE(event.value(QStringLiteral("hours")).toString(), QStringLiteral("14"));
        QCOMPARE(event.value(QStringLiteral("minutes")).toString(), QStringLiteral("37"));
        QCOMPARE(event.value(QStringLiteral("seconds")).toString(), QStringLiteral("52"));
        QCOMPARE(event.value(QStringLiteral("day")).toString(), QStringLiteral("23"));
        QCOMPARE(event.value(QStringLiteral("month")).toString(), QStringLiteral("11"));
        QCOMPARE(event.value(QStringLiteral("year")).toString(), QStringLiteral("07"));
        QCOMPARE(event.value(QStringLiteral("weekDay")).toInt(), 6);
        QCOMPARE(event.value(QStringLiteral("moment")).toString(),
                 QStringLiteral("2007-11-23T14:37:52"));
        QCOMPARE(event.value(QStringLiteral("applied")).toBool(), true);
        QCOMPARE(stringsOf(event.value(QStringLiteral("problems"))), QStringList());
        const QRegularExpression newClock(
            QStringLiteral("^Vendredi 23/11/2007 14:3[78]:\\d\\d\r\n$"));
        QVERIFY2(pc.lineMatching(newClock), "the board does not show its new time");

        // A frame naming no real time leaves the clock as it is and says why.
        QVERIFY(pc.write(QByteArray::fromHex("411A375223110706")));
        const QJsonObject bad = nextEvent(sim);
        QCOMPARE(bad.value(QStringLiteral("event")).toString(), QStringLiteral("clock"));
        QCOMPARE(bad.value(QStringLiteral("hours")).toString(), QStringLiteral("1A"));
        QCOMPARE(bad.value(QStringLiteral("applied")).toBool(true), false);
        QVERIFY(bad.value(QStringLiteral("moment")).isNull());
        QCOMPARE(bad.value(QStringLiteral("problems")).toArray().size(), 1);
        pc.discard();
        QVERIFY2(pc.lineMatching(newClock), "the clock moved after a frame it cannot use");
        pc.close();
        QVERIFY(sim.stop());
    }

    void programFrameIsDecodedAndAnswered()
    {
        SimProcess sim({QStringLiteral("--json"), QStringLiteral("--clock"),
                        QStringLiteral("2010-01-01T00:00:00")});
        PcPort pc;
        startOnPseudoTerminal(sim, pc);
        if (QTest::currentTestFailed())
            return;
        const RelayProgram program = sampleProgram();
        const ProgramEncodeResult encoded = encodeProgram(program);
        QVERIFY(encoded.ok());
        const QByteArray frame = programFrame(encoded.bytes);
        QCOMPARE(frame.size(), 125);
        pc.discard();
        // In two writes with a short pause, less than the quiet time.
        QVERIFY(pc.write(frame.first(50)));
        QTest::qWait(100);
        QVERIFY(pc.write(frame.sliced(50)));
        compareProgramEvent(nextEvent(sim), program, frame);
        if (QTest::currentTestFailed())
            return;
        const QByteArray reply("Programme re\xe7u : 6 relais\r\n");  // Latin-1, as the PC shows it
        QVERIFY(reply.size() >= 26);
        QVERIFY2(
            pc.lineMatching(QRegularExpression(QStringLiteral("^Programme reçu : 6 relais\r\n$"))),
            "no reply to the program frame");
        pc.close();
        QVERIFY(sim.stop());
    }

    void bytesThatMakeNoFrameAreReported()
    {
        SimProcess sim({QStringLiteral("--json"), QStringLiteral("--clock"),
                        QStringLiteral("2010-01-01T00:00:00")});
        PcPort pc;
        startOnPseudoTerminal(sim, pc);
        if (QTest::currentTestFailed())
            return;
        // A clock frame cut short, then silence.
        QVERIFY(pc.write(QByteArray::fromHex("411230")));
        QJsonObject event = nextEvent(sim);
        QCOMPARE(event.value(QStringLiteral("event")).toString(), QStringLiteral("ignored"));
        QCOMPARE(event.value(QStringLiteral("count")).toInt(), 3);
        QCOMPARE(event.value(QStringLiteral("bytes")).toString(), QStringLiteral("41 12 30"));
        QCOMPARE(event.value(QStringLiteral("reason")).toString(), QStringLiteral("incomplete"));
        // Text that starts with no command letter, then a whole frame in the same write.
        const QByteArray frame = clockFrameFor(QDateTime(QDate(2009, 3, 1), QTime(8, 5, 9)));
        QVERIFY(pc.write(QByteArray("ok\r\n") + frame));
        event = nextEvent(sim);
        QCOMPARE(event.value(QStringLiteral("event")).toString(), QStringLiteral("ignored"));
        QCOMPARE(event.value(QStringLiteral("bytes")).toString(), QStringLiteral("6F 6B 0D 0A"));
        QCOMPARE(event.value(QStringLiteral("reason")).toString(), QStringLiteral("unknown-start"));
        event = nextEvent(sim);
        QCOMPARE(event.value(QStringLiteral("event")).toString(), QStringLiteral("clock"));
        QCOMPARE(event.value(QStringLiteral("moment")).toString(),
                 QStringLiteral("2009-03-01T08:05:09"));
        QCOMPARE(event.value(QStringLiteral("weekDayName")).toString(), QStringLiteral("Dimanche"));
        pc.close();
        QVERIFY(sim.stop());
    }

    // People read the text output: the port on a line of its own, then the relay table.
    void textOutputShowsThePortAndTheTable()
    {
        SimProcess sim({QStringLiteral("--quiet")});
        QString first;
        const QString device = sim.portOfTextOutput(&first);
        QVERIFY2(!device.isEmpty(), qPrintable(first));
        PcPort pc;
        QVERIFY(pc.open(device));
        const ProgramEncodeResult encoded = encodeProgram(sampleProgram());
        QVERIFY(encoded.ok());
        QVERIFY(pc.write(programFrame(encoded.bytes)));
        QStringList lines;
        (void)QTest::qWaitFor(
            [&] {
                while (sim.process().canReadLine())
                    lines << QString::fromUtf8(sim.process().readLine()).trimmed();
                return lines.size() >= 25;
            },
            kEventTimeoutMs);
        const QStringList expected = {
            QStringLiteral("Trame programme reçue (125 octets) :"),
            QStringLiteral("Relais N°1 (hebdomadaire) : actif ; jours : Lundi à Vendredi (code 9)"),
            QStringLiteral("Plage 1 : Début 08:30   Fin 12:15"),
            QStringLiteral("Relais N°2 (hebdomadaire) : inactif ; jours : Samedi (code 7)"),
            QStringLiteral("Relais N°3 (à dates) : actif"),
            QStringLiteral("Plage 1 : Début 12:12 le 19/12/18   Fin 13:13 le 20/12/19"),
            QStringLiteral("Relais N°4 (à dates) : inactif"),
            QStringLiteral("Plage 1 : Début 00:24 le 31/12/99   Fin 01:25 le 04/12/31"),
            QStringLiteral("Relais N°5 (mensuel) : actif ; jours : Tous les jours (code 10) ; "
                           "mois : 03/08"),
            QStringLiteral("Relais N°6 (mensuel) : inactif ; jours : aucun (code 0) ; mois : "
                           "11/08"),
        };
        for (const QString &line : expected)
            QVERIFY2(lines.contains(line),
                     qPrintable(line + QStringLiteral("\n---\n") + lines.join(QLatin1Char('\n'))));
        pc.close();
        QVERIFY(sim.stop());
    }

    // --device opens an existing serial line; --once stops after the first frame.
    void realDeviceAndOnce()
    {
        PtyBoard pcEnd;  // here the test's pseudo-terminal master is the PC
        QVERIFY2(pcEnd.isOpen(), qPrintable(pcEnd.errorString()));
        SimProcess sim({QStringLiteral("--json"), QStringLiteral("--once"),
                        QStringLiteral("--device"), pcEnd.slavePath(), QStringLiteral("--clock"),
                        QStringLiteral("2009-02-28T23:59:58")});
        const QJsonObject port = nextEvent(sim);
        QCOMPARE(port.value(QStringLiteral("device")).toString(), pcEnd.slavePath());
        QCOMPARE(port.value(QStringLiteral("pseudoTerminal")).toBool(true), false);
        // Saturday 23:59:58 runs on into Sunday.
        QByteArray text;
        (void)QTest::qWaitFor(
            [&] {
                text += pcEnd.read(-1, 50);
                return text.contains("Dimanche 01/03/2009 00:00:0");
            },
            3500);
        QVERIFY2(text.contains("Samedi   28/02/2009 23:59:5"), text.constData());
        QVERIFY2(text.contains("Dimanche 01/03/2009 00:00:0"), text.constData());

        QVERIFY(pcEnd.write(QByteArray::fromHex("4108050901030901")));
        const QJsonObject event = nextEvent(sim);
        QCOMPARE(event.value(QStringLiteral("event")).toString(), QStringLiteral("clock"));
        QCOMPARE(event.value(QStringLiteral("moment")).toString(),
                 QStringLiteral("2009-03-01T08:05:09"));
        QVERIFY(sim.waitForExit(5000));
        QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.process().exitCode(), 0);
        QVERIFY(pcEnd.readAll(200).contains("Dimanche 01/03/2009 08:05:09\r\n"));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");  // on standard output when 0, else on error
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0
                              << QStringLiteral("--device <chemin>");
        QTest::newRow("help tells the port line")
            << QStringList{QStringLiteral("-h")} << 0 << QStringLiteral("Port : /dev/pts/5");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")} << 2
                                        << QStringLiteral("Option inconnue : --bogus");
        QTest::newRow("unreadable start time")
            << QStringList{QStringLiteral("--clock"), QStringLiteral("demain")} << 2
            << QStringLiteral("Heure de départ « demain » illisible");
        QTest::newRow("start time without its value")
            << QStringList{QStringLiteral("--clock")} << 2
            << QStringLiteral("Ligne de commande incorrecte");
        QTest::newRow("stray argument") << QStringList{QStringLiteral("COM1")} << 2
                                        << QStringLiteral("Argument inattendu : COM1");
        QTest::newRow("missing device")
            << QStringList{QStringLiteral("--device"), QStringLiteral("/nonexistent/ttyUSB9")} << 1
            << QStringLiteral("Impossible d'ouvrir le port série « /nonexistent/ttyUSB9 »");
        QTest::newRow("not a serial device")
            << QStringList{QStringLiteral("--device"), QStringLiteral("/dev/null")} << 1
            << QStringLiteral("« /dev/null » n'est pas un port série.");
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        SimProcess sim(arguments);
        QVERIFY(sim.waitForExit());
        QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.process().exitCode(), exitCode);
        const QString text =
            QString::fromUtf8(exitCode == 0 ? sim.process().readAllStandardOutput()
                                            : sim.process().readAllStandardError());
        QVERIFY2(text.contains(output), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(PlatineSimTest)
#include "test_platine_sim.moc"
