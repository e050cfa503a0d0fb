#include "link/board_link.h"
#include "store/port_setting.h"
#include "store/profile_file.h"
#include "store/program_file.h"
#include "support/pty_board.h"
#include "support/relay_programs.h"
#include "support/sim_process.h"
#include "support/test_files.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <unistd.h>

using namespace platine;

namespace {

const QString kSimProgram = test::simulatorProgram();
const QString kCliProgram = QStringLiteral(PLATINE_CLI_PROGRAM);
constexpr int kEventTimeoutMs = 3000;

struct CliRun
{
    int code = -1;
    QString out;
    QString err;
};

// Runs platine-cli; with redirect, through the shell, its standard output redirected as
// redirect says (">/dev/full", ">&-", "| head -n 1"); with wrapper, through that program
// (faketime), given its own arguments first.
CliRun runCli(const QStringList &arguments, const QString &redirect = {},
              const QStringList &wrapper = {})
{
    QProcess process;
    if (!wrapper.isEmpty())
        process.start(wrapper.first(), wrapper.mid(1) + QStringList{kCliProgram} + arguments);
    else if (redirect.isEmpty())
        process.start(kCliProgram, arguments);
    else
        process.start(QStringLiteral("/bin/sh"),
                      QStringList{QStringLiteral("-c"), QStringLiteral("\"$0\" \"$@\" ") + redirect,
                                  kCliProgram} +
                          arguments);
    CliRun run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("platine-cli did not end");
        return run;
    }
    run.code = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString describe(const CliRun &run)
{
    return QStringLiteral("exit %1\nout: %2\nerr: %3").arg(run.code).arg(run.out, run.err);
}

// The simulator on a new pseudo-terminal, its JSON events read line by line.
class Simulator
{
public:
    explicit Simulator(QStringList arguments = {})
        : process_(QStringList{QStringLiteral("--json")} + arguments)
    {
        device_ = process_.nextEvent([](const QString &) { return true; })
                      .value(QStringLiteral("device"))
                      .toString();
    }

    QString device() const { return device_; }

    // The next event other than the PC opening or closing the port.
    QJsonObject nextEvent(int timeoutMs = kEventTimeoutMs)
    {
        return process_.nextEvent(
            [](const QString &kind) { return kind != QStringLiteral("connection"); }, timeoutMs);
    }

private:
    test::SimProcess process_;
    QString device_;
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Relay 1 on from 08:30 to 12:00, Monday to Friday, enabled; every other field encodes.
RelayProgram weekdayProgram()
{
    RelayProgram program = test::encodableProgram();
    const RelayLayout &relay1 = relayLayouts().at(0);
    program.texts[relay1.firstTimeSlot] = QStringLiteral("08:30:00");
    program.texts[relay1.firstTimeSlot + 1] = QStringLiteral("12:00:00");
    program.dayChoices[relay1.dayChoice] = 8;  // "Lundi à Vendredi"
    program.enables[relay1.enableIndex] = 1;
    return program;
}

}  // namespace

class CliTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;

    QString path(const QString &name) const { return dir_.filePath(name); }

    // A settings file that names the simulator's port, as the window leaves it.
    QString settingsFor(const Simulator &sim)
    {
        const QString settings = path(QStringLiteral("param.ini"));
        QFile::remove(settings);
        if (!writePortSetting(settings, sim.device()).ok)
            return {};
        return settings;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(kSimProgram), qPrintable(kSimProgram));
        QVERIFY2(QFile::exists(kCliProgram), qPrintable(kCliProgram));
        QVERIFY(dir_.isValid());
    }

    void setsTheClock_data()
    {
        QTest::addColumn<bool>("portOption");
        QTest::newRow("port from param.ini, reply awaited") << false;
        QTest::newRow("port given, no wait") << true;
    }
    void setsTheClock()
    {
        QFETCH(bool, portOption);
        Simulator sim;
        QVERIFY(!sim.device().isEmpty());
        QStringList arguments{QStringLiteral("heure"), QStringLiteral("--date"),
                              QStringLiteral("2007-11-23 14:37:52")};
        if (portOption)
            arguments << QStringLiteral("--port") << sim.device() << QStringLiteral("--settings")
                      << path(QStringLiteral("absent.ini")) << QStringLiteral("--attente=0");
        else
            arguments << QStringLiteral("--settings") << settingsFor(sim);
        const CliRun run = runCli(arguments);
        QVERIFY2(run.code == 0 && run.err.isEmpty(), qPrintable(describe(run)));
        QVERIFY2(run.out.contains(
                     QStringLiteral("Heure envoyée à la platine : vendredi 23/11/2007 14:37:52.")),
                 qPrintable(run.out));
        // The simulator answers with its clock while the port stays open.
        QCOMPARE(run.out.contains(QStringLiteral("Reçu de la platine :\n  ")), !portOption);

        const QJsonObject event = sim.nextEvent();
        QCOMPARE(event.value(QStringLiteral("event")).toString(), QStringLiteral("clock"));
        QCOMPARE(event.value(QStringLiteral("frame")).toString(),
                 QStringLiteral("41 14 37 52 23 11 07 06"));
        // What it prints of the frame is what went on the line.
        QVERIFY2(run.out.contains(event.value(QStringLiteral("frame")).toString()),
                 qPrintable(run.out));
        QVERIFY(event.value(QStringLiteral("applied")).toBool());
        QVERIFY(!QFile::exists(path(QStringLiteral("absent.ini"))));
    }

    // Without --date the frame carries the PC's local time at sending.
    void setsTheClockToNow()
    {
        Simulator sim;
        const CliRun run =
            runCli({QStringLiteral("heure"), QStringLiteral("--settings"), settingsFor(sim)});
        QVERIFY2(run.code == 0, qPrintable(describe(run)));
        const QJsonObject event = sim.nextEvent();
        const QDateTime sent =
            QDateTime::fromString(event.value(QStringLiteral("moment")).toString(), Qt::ISODate);
        const QDateTime now = QDateTime::currentDateTime();
        const QDateTime pcReading(now.date(), now.time(), Qt::UTC);
        QVERIFY2(sent.isValid() && std::abs(sent.secsTo(pcReading)) <= 5,
                 qPrintable(event.value(QStringLiteral("moment")).toString()));
        QVERIFY(event.value(QStringLiteral("problems")).toArray().isEmpty());
    }

    void uploadsAProgramFile_data()
    {
        QTest::addColumn<bool>("store");
        QTest::newRow("kept in param.ini") << true;
        QTest::newRow("--sans-parametres") << false;
    }
    void uploadsAProgramFile()
    {
        QFETCH(bool, store);
        Simulator sim;
        const QString settings = settingsFor(sim);
        const QString file = path(QStringLiteral("semaine.ini"));
        QFile::remove(file);
        QVERIFY(writeProgram(file, weekdayProgram()).ok);
        const QByteArray settingsBefore = fileBytes(settings);

        QStringList arguments{QStringLiteral("programmer"), file};
        if (store)
            arguments << QStringLiteral("--settings") << settings;
        else
            arguments << QStringLiteral("--port") << sim.device()
                      << QStringLiteral("--sans-parametres");
        const CliRun run = runCli(arguments);
        QVERIFY2(run.code == 0 && run.err.isEmpty(), qPrintable(describe(run)));

        const QJsonObject event = sim.nextEvent();
        QCOMPARE(event.value(QStringLiteral("event")).toString(), QStringLiteral("program"));
        const QJsonObject relay1 = event.value(QStringLiteral("relays")).toArray().at(0).toObject();
        QCOMPARE(relay1.value(QStringLiteral("times")).toArray().at(0).toString(),
                 QStringLiteral("08:30"));
        QCOMPARE(relay1.value(QStringLiteral("times")).toArray().at(1).toString(),
                 QStringLiteral("12:00"));
        QCOMPARE(relay1.value(QStringLiteral("dayCode")).toInt(), 9);
        QVERIFY(relay1.value(QStringLiteral("enabled")).toBool());

        if (!store) {
            QCOMPARE(fileBytes(settings), settingsBefore);
            return;
        }
        // The window restores it as the last upload; the port stays chosen.
        RelayProgram restored;
        readProgram(settings).applyTo(restored);
        QCOMPARE(restored, weekdayProgram());
        QCOMPARE(readPortSetting(settings).text, sim.device());
        const CliRun fromFile = runCli({QStringLiteral("afficher"), file});
        const CliRun fromSettings = runCli({QStringLiteral("afficher"), settings});
        QCOMPARE(fromSettings.code, 0);
        QCOMPARE(fromSettings.out, fromFile.out);
    }

    // Nothing is stored or sent: the next frame the board gets is the clock that follows.
    void fieldThatCannotBeEncoded()
    {
        Simulator sim;
        const QString settings = settingsFor(sim);
        const QString file = path(QStringLiteral("faux.ini"));
        QFile::remove(file);
        RelayProgram program = weekdayProgram();
        program.texts[relayLayouts().at(0).firstTimeSlot] = QStringLiteral("8h30");
        QVERIFY(writeProgram(file, program).ok);
        const QByteArray settingsBefore = fileBytes(settings);

        const CliRun run =
            runCli({QStringLiteral("programmer"), file, QStringLiteral("--settings"), settings});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(QStringLiteral("Relais N°1, Début 1")) &&
                     run.err.contains(QStringLiteral("« h »")),
                 qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(fileBytes(settings), settingsBefore);

        QCOMPARE(runCli({QStringLiteral("heure"), QStringLiteral("--settings"), settings}).code, 0);
        QCOMPARE(sim.nextEvent().value(QStringLiteral("event")).toString(),
                 QStringLiteral("clock"));

        // "afficher" still shows it, and names the field.
        const CliRun shown = runCli({QStringLiteral("afficher"), file});
        QCOMPARE(shown.code, 0);
        QVERIFY2(shown.out.contains(QStringLiteral("Plage 1 : 8h30")) &&
                     shown.out.contains(QStringLiteral("Attention : ")),
                 qPrintable(shown.out));
    }

    void missingPort_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("message");
        const QString gone = QStringLiteral("/nonexistent/ttyUSB9");
        QTest::newRow("heure, no such device")
            << QStringLiteral("heure") << gone << QStringLiteral("Impossible d'ouvrir le port");
        QTest::newRow("programmer, no such device")
            << QStringLiteral("programmer") << gone
            << QStringLiteral("Impossible d'ouvrir le port");
        QTest::newRow("programmer, no port chosen")
            << QStringLiteral("programmer") << QString() << QStringLiteral("Aucun port");
        QTest::newRow("ecouter, no port chosen")
            << QStringLiteral("ecouter") << QString() << QStringLiteral("Aucun port");
    }
    void missingPort()
    {
        QFETCH(QString, command);
        QFETCH(QString, port);
        QFETCH(QString, message);
        const QString settings = path(QStringLiteral("sans-port.ini"));
        QFile::remove(settings);
        const QString file = path(QStringLiteral("semaine.ini"));
        QFile::remove(file);
        QVERIFY(writeProgram(file, weekdayProgram()).ok);

        QStringList arguments{command};
        if (command == QStringLiteral("programmer"))
            arguments << file;
        arguments << QStringLiteral("--settings") << settings;
        if (!port.isEmpty())
            arguments << QStringLiteral("--port") << port;
        const CliRun run = runCli(arguments);
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(!QFile::exists(settings));
    }

    void showsAProgramInWords()
    {
        const QString file = path(QStringLiteral("semaine.ini"));
        QFile::remove(file);
        QVERIFY(writeProgram(file, weekdayProgram()).ok);

        const CliRun text = runCli({QStringLiteral("afficher"), file});
        QVERIFY2(text.code == 0 && text.err.isEmpty(), qPrintable(describe(text)));
        const QStringList lines = text.out.split(u'\n');
        QCOMPARE(lines.at(0), QStringLiteral("Relais N°1 (hebdomadaire) : actif"));
        QCOMPARE(lines.at(1), QStringLiteral("  Jours : Lundi à Vendredi"));
        QCOMPARE(lines.at(2), QStringLiteral("  Plage 1 : 08:30:00 -> 12:00:00"));
        QVERIFY2(text.out.contains(QStringLiteral("Relais N°3 (à dates) : inactif\n  Plage 1 : "
                                                  "le 01/01/2000 à 00:00:00 -> le 01/01/2000 à "
                                                  "00:00:00")),
                 qPrintable(text.out));
        QVERIFY2(text.out.contains(QStringLiteral("Relais N°5 (mensuel) : inactif\n  Jours : "
                                                  "Dimanche\n  Mois - Année : 01/2000")),
                 qPrintable(text.out));

        const CliRun json = runCli({QStringLiteral("afficher"), file, QStringLiteral("--json")});
        QCOMPARE(json.code, 0);
        const QJsonObject document = QJsonDocument::fromJson(json.out.toUtf8()).object();
        QVERIFY(document.value(QStringLiteral("sendable")).toBool());
        const QJsonArray relays = document.value(QStringLiteral("relays")).toArray();
        QCOMPARE(relays.size(), 6);
        const QJsonObject relay1 = relays.at(0).toObject();
        QVERIFY(relay1.value(QStringLiteral("active")).toBool());
        QCOMPARE(relay1.value(QStringLiteral("days")).toString(),
                 QStringLiteral("Lundi à Vendredi"));
        QCOMPARE(relay1.value(QStringLiteral("windows"))
                     .toArray()
                     .at(0)
                     .toObject()
                     .value(QStringLiteral("end")),
                 QStringLiteral("12:00:00"));
        QCOMPARE(relays.at(2).toObject().value(QStringLiteral("kind")).toString(),
                 QStringLiteral("dated"));

        const CliRun missing = runCli({QStringLiteral("afficher"), path(QStringLiteral("x.ini"))});
        QCOMPARE(missing.code, 1);
        QVERIFY2(missing.err.contains(QStringLiteral("Fichier introuvable")),
                 qPrintable(missing.err));
        QFile other(path(QStringLiteral("autre.ini")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("[Port COM]\r\nvaleur=3\r\n");
        other.close();
        const CliRun notProgram = runCli({QStringLiteral("afficher"), other.fileName()});
        QCOMPARE(notProgram.code, 1);
        QVERIFY2(notProgram.err.contains(QStringLiteral("aucun programme")),
                 qPrintable(notProgram.err));
        QVERIFY(notProgram.out.isEmpty());
    }

    // The simulator's clock starts an hour ahead of the PC's.
    void listensWithTheDrift()
    {
        const QDateTime now = QDateTime::currentDateTime().addSecs(3600);
        Simulator sim(
            {QStringLiteral("--clock"), now.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))});
        const CliRun json =
            runCli({QStringLiteral("ecouter"), QStringLiteral("--json"), QStringLiteral("--duree"),
                    QStringLiteral("3"), QStringLiteral("--port"), sim.device(),
                    QStringLiteral("--settings"), path(QStringLiteral("n.ini"))});
        QVERIFY2(json.code == 0 && json.err.isEmpty(), qPrintable(describe(json)));
        const QStringList lines = json.out.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(!lines.isEmpty(), qPrintable(describe(json)));
        for (const QString &line : lines) {
            const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
            const qint64 drift = object.value(QStringLiteral("driftSeconds")).toInteger(-1);
            QVERIFY2(drift >= 3598 && drift <= 3602, qPrintable(line));
            QCOMPARE(object.value(QStringLiteral("drift")).toString(),
                     QStringLiteral("en avance de %1 s").arg(drift));
            QVERIFY(object.value(QStringLiteral("line"))
                        .toString()
                        .endsWith(object.value(QStringLiteral("boardTime")).toString().mid(11)));
        }

        const CliRun text = runCli({QStringLiteral("ecouter"), QStringLiteral("--duree=2"),
                                    QStringLiteral("--port"), sim.device(),
                                    QStringLiteral("--settings"), path(QStringLiteral("n.ini"))});
        QCOMPARE(text.code, 0);
        QVERIFY2(text.out.contains(QStringLiteral("  (en avance de 3")), qPrintable(text.out));
    }

    // Nothing impossible leaves: a --date in another form or out of range is a usage error, a
    // PC clock in 2100 a failure, and the board hears nothing of either.
    void refusesImpossibleClocks()
    {
        test::PtyBoard board;
        QVERIFY2(board.isOpen(), qPrintable(board.errorString()));
        const QStringList port{QStringLiteral("--port"), board.slavePath(),
                               QStringLiteral("--settings"), path(QStringLiteral("n.ini"))};
        for (const char *date : {"2026-01-01 10:61:00", "2026-01-01 24:00:00", "7:05:00", "",
                                 "2100-03-01 00:00:00", "2027-02-31 10:00:00"}) {
            const CliRun run = runCli(QStringList{QStringLiteral("heure"), QStringLiteral("--date"),
                                                  QString::fromUtf8(date)} +
                                      port);
            QVERIFY2(run.code == 2 &&
                         run.err.contains(QStringLiteral("Forme attendue : AAAA-MM-JJ hh:mm:ss")),
                     qPrintable(describe(run)));
        }
        const QString faketime = QStandardPaths::findExecutable(QStringLiteral("faketime"));
        if (!faketime.isEmpty()) {
            qputenv("FAKETIME_DONT_FAKE_MONOTONIC", "1");
            qputenv("ASAN_OPTIONS", qgetenv("ASAN_OPTIONS") + ":verify_asan_link_order=0");
            const CliRun run =
                runCli(QStringList{QStringLiteral("heure")} + port, {},
                       {faketime, QStringLiteral("-f"), QStringLiteral("@2100-03-01 10:00:00")});
            QVERIFY2(
                run.code == 1 &&
                    run.err.contains(QStringLiteral("l'horloge du PC indique le 01/03/2100")) &&
                    run.err.contains(QStringLiteral("--date")),
                qPrintable(describe(run)));
        }
        QCOMPARE(board.readAll(300), QByteArray());

        // A silent board: the frame goes, and the tool says it heard nothing back.
        const CliRun run = runCli(QStringList{QStringLiteral("heure"), QStringLiteral("--date"),
                                              QStringLiteral("2026-12-09 18:41:05"),
                                              QStringLiteral("--attente"), QStringLiteral("1")} +
                                  port);
        QVERIFY2(run.code == 0 &&
                     run.out.contains(QStringLiteral("Rien reçu de la platine en 1 s")),
                 qPrintable(describe(run)));
        QCOMPARE(board.read(8).size(), 8);
        if (faketime.isEmpty())
            QSKIP("faketime is not installed: the PC clock in 2100 was not tried");
    }

    // Standard output that cannot be written: a message on standard error and exit 1; closed
    // from the start, nothing is done at all; a reader that stops (| head) ends it quietly.
    void outputThatCannotBeWritten()
    {
        Simulator sim;
        const QString settings = settingsFor(sim);
        const QString file = path(QStringLiteral("semaine.ini"));
        QFile::remove(file);
        QVERIFY(writeProgram(file, weekdayProgram()).ok);
        const QByteArray settingsBefore = fileBytes(settings);
        const QStringList upload{QStringLiteral("programmer"), file, QStringLiteral("--settings"),
                                 settings};
        for (const QStringList &arguments :
             {QStringList{QStringLiteral("afficher"), file, QStringLiteral("--json")},
              QStringList{QStringLiteral("ports"), QStringLiteral("--json")},
              QStringList{QStringLiteral("--help")}, upload}) {
            for (const QString &redirect : {QStringLiteral(">&-"), QStringLiteral(">/dev/full")}) {
                const CliRun run = runCli(arguments, redirect);
                QVERIFY2(run.code == 1 && run.err.contains(QStringLiteral("sortie standard")),
                         qPrintable(arguments.join(u' ') + redirect + describe(run)));
            }
        }
        // Closed: not uploaded; full: uploaded, but its report is lost.
        QCOMPARE(sim.nextEvent().value(QStringLiteral("event")).toString(),
                 QStringLiteral("program"));
        QVERIFY(sim.nextEvent(500).isEmpty());

        QElapsedTimer clock;
        clock.start();
        const CliRun listened = runCli({QStringLiteral("ecouter"), QStringLiteral("--duree=25"),
                                        QStringLiteral("--port"), sim.device()},
                                       QStringLiteral("| head -n 1"));
        QVERIFY2(listened.code == 0 && listened.err.isEmpty(), qPrintable(describe(listened)));
        QCOMPARE(listened.out.count(u'\n'), 1);
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(settingsBefore != fileBytes(settings));
    }

    // Durations whose milliseconds overflow 32 bits keep listening (2147484 s never stopped,
    // 4294968 s stopped after 0.7 s); a port that stays silent for the whole duration fails.
    void listeningTime()
    {
        Simulator sim;
        QProcess process;
        process.start(kCliProgram, {QStringLiteral("ecouter"), QStringLiteral("--duree=4294968"),
                                    QStringLiteral("--port"), sim.device()});
        QVERIFY(QTest::qWaitFor([&] { return process.canReadLine(); }, 5000));
        QVERIFY(!process.waitForFinished(2000));
        process.kill();
        process.waitForFinished();

        test::PtyBoard board;
        REQUIRE_PTY(board);
        const CliRun run = runCli({QStringLiteral("ecouter"), QStringLiteral("--duree=1"),
                                   QStringLiteral("--port"), board.slavePath()});
        QVERIFY2(run.code == 1 && run.out.isEmpty() &&
                     run.err.contains(QStringLiteral("« Affichage heure »")) &&
                     run.err.contains(QStringLiteral("câble")),
                 qPrintable(describe(run)));
    }

    // The window's remarks and the file's values the window could not show are told and
    // counted; --strict stops on them before anything is stored or sent. A virtual console is
    // no port.
    void uploadRemarksAndRefusals()
    {
        Simulator sim;
        const QString settings = settingsFor(sim);
        const QString file = path(QStringLiteral("remarques.ini"));
        QFile::remove(file);
        RelayProgram program = weekdayProgram();
        program.texts[relayLayouts().at(0).firstTimeSlot] = QStringLiteral("25:00:00");
        QVERIFY(writeProgram(file, program).ok);
        const QString key = QStringLiteral("valeur");
        QVERIFY(writeProfileStrings(file, {{QStringLiteral("cmb1"), key, QStringLiteral("99")},
                                           {QStringLiteral("chk2"), key, QStringLiteral("abc")}})
                    .ok);
        const QByteArray settingsBefore = fileBytes(settings);
        const QStringList upload{QStringLiteral("programmer"), file, QStringLiteral("--settings"),
                                 settings};

        const CliRun strict = runCli(upload + QStringList{QStringLiteral("--strict")});
        QVERIFY2(strict.code == 1 && strict.err.contains(QStringLiteral("3 remarques")),
                 qPrintable(describe(strict)));
        QCOMPARE(fileBytes(settings), settingsBefore);
        if (QFileInfo::exists(QStringLiteral("/dev/tty1"))) {
            const CliRun console =
                runCli({QStringLiteral("programmer"), file, QStringLiteral("--port=/dev/tty1"),
                        QStringLiteral("--sans-parametres")});
            QVERIFY2(console.code == 1 && console.out.isEmpty() &&
                         console.err.contains(QStringLiteral("console virtuelle")),
                     qPrintable(describe(console)));
        }

        const CliRun run = runCli(upload);
        QVERIFY2(run.code == 0 && run.err.isEmpty(), qPrintable(describe(run)));
        for (const QString &remark :
             {QStringLiteral("avec 3 remarques"),
              QStringLiteral("Relais N°1, Début 1 : l'heure 25"),
              QStringLiteral("Relais N°2, Jour(s) concerné(s) : la valeur « 99 »"),
              QStringLiteral("Relais N°3, Relais Actif : la valeur « abc »")})
            QVERIFY2(run.out.contains(remark), qPrintable(run.out));
        // Neither refusal sent anything: the first frame the board gets is this upload.
        QCOMPARE(sim.nextEvent().value(QStringLiteral("event")).toString(),
                 QStringLiteral("program"));
    }

    // Every frame sent, refused or failed is in the journal with its exact bytes, and
    // "historique" gives them back newest first.
    void journalsEveryFrame()
    {
        QTemporaryDir data;
        const QByteArray savedData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
        const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", savedData); });
        Simulator sim;
        const QString settings = settingsFor(sim);
        const QString file = path(QStringLiteral("journal.ini"));
        QFile::remove(file);
        QVERIFY(writeProgram(file, weekdayProgram()).ok);

        CliRun run =
            runCli({QStringLiteral("heure"), QStringLiteral("--date=2007-11-23 14:37:52"),
                    QStringLiteral("--settings"), settings, QStringLiteral("--attente=0")});
        QVERIFY2(run.code == 0, qPrintable(describe(run)));
        run = runCli({QStringLiteral("programmer"), file, QStringLiteral("--settings"), settings});
        QVERIFY2(run.code == 0, qPrintable(describe(run)));
        QCOMPARE(sim.nextEvent().value(QStringLiteral("event")).toString(),
                 QStringLiteral("clock"));
        const QString programSent = sim.nextEvent().value(QStringLiteral("frame")).toString();
        // Refused before the port (a field that cannot be encoded), failed at the port, and
        // one left out of the journal on purpose.
        RelayProgram broken = weekdayProgram();
        broken.texts[0] = QStringLiteral("8h30");
        const QString brokenFile = path(QStringLiteral("journal-faux.ini"));
        QFile::remove(brokenFile);
        QVERIFY(writeProgram(brokenFile, broken).ok);
        QCOMPARE(runCli({QStringLiteral("programmer"), brokenFile, QStringLiteral("--settings"),
                         settings})
                     .code,
                 1);
        const QString absent = path(QStringLiteral("pas-de-port"));
        QCOMPARE(runCli({QStringLiteral("programmer"), file, QStringLiteral("--port"), absent,
                         QStringLiteral("--sans-parametres")})
                     .code,
                 1);
        run = runCli({QStringLiteral("programmer"), file, QStringLiteral("--settings"), settings,
                      QStringLiteral("--sans-journal")});
        QVERIFY2(run.code == 0, qPrintable(describe(run)));

        run = runCli({QStringLiteral("historique"), QStringLiteral("--json")});
        QVERIFY2(run.code == 0 && run.err.isEmpty(), qPrintable(describe(run)));
        const QJsonArray entries = QJsonDocument::fromJson(run.out.toUtf8()).array();
        QCOMPARE(entries.size(), 4);
        const auto field = [&entries](int i, const char *name) {
            return entries.at(i).toObject().value(QLatin1String(name)).toString();
        };
        QCOMPARE(field(3, "kind"), QStringLiteral("heure"));
        QCOMPARE(field(3, "result"), QStringLiteral("sent"));
        QCOMPARE(field(3, "frame"), QStringLiteral("4114375223110706"));
        QCOMPARE(field(3, "port"), sim.device());
        QCOMPARE(field(2, "kind"), QStringLiteral("programme"));
        QCOMPARE(field(2, "result"), QStringLiteral("sent"));
        QCOMPARE(field(2, "frame"), QString(programSent).remove(u' ').toLower());
        QCOMPARE(field(2, "file"), QFileInfo(file).absoluteFilePath());
        QCOMPARE(field(1, "result"), QStringLiteral("refused"));
        QVERIFY(field(1, "frame").isEmpty());
        QVERIFY2(field(1, "message").contains(QStringLiteral("Relais N°1, Début 1")),
                 qPrintable(field(1, "message")));
        QCOMPARE(field(0, "result"), QStringLiteral("failed"));
        QCOMPARE(field(0, "frame"), field(2, "frame"));
        QVERIFY(!field(0, "message").isEmpty());

        run = runCli({QStringLiteral("historique"), QStringLiteral("--nombre=1")});
        QVERIFY2(run.code == 0, qPrintable(describe(run)));
        QVERIFY2(run.out.contains(QStringLiteral("programme  échec  port ")) &&
                     !run.out.contains(QStringLiteral("envoyé")),
                 qPrintable(run.out));

        // The coming switchings of the same file, as a calendar.
        run = runCli({QStringLiteral("afficher"), file, QStringLiteral("--prochaines"),
                      QStringLiteral("--jours=7"), QStringLiteral("--ics")});
        QVERIFY2(run.code == 0 && run.out.startsWith(QStringLiteral("BEGIN:VCALENDAR\r\n")) &&
                     run.out.count(QStringLiteral("BEGIN:VEVENT")) >= 4,
                 qPrintable(describe(run)));
    }

    // Two uploads storing their program while the window changes the port, round after round,
    // the change made at a different moment of the uploads each round: each read-modify-write
    // of param.ini holds the lock, so neither the port nor this round's upload is lost.
    void concurrentWritersLoseNothing()
    {
        test::PtyBoard boardA;
        test::PtyBoard boardB;
        REQUIRE_PTY(boardA);
        REQUIRE_PTY(boardB);
        const QString settings = path(QStringLiteral("course.ini"));
        QFile::remove(settings);
        const QString fileA = path(QStringLiteral("a.ini"));
        const QString fileB = path(QStringLiteral("b.ini"));
        BoardLink window;  // "Port COM" in the window goes through its link's changePort()
        window.setSettingsPath(settings);
        constexpr int kRounds = 60;
        for (int round = 0; round < kRounds; ++round) {
            // Programs of this round only: a stale rewrite brings back an older one.
            RelayProgram programA = weekdayProgram();
            programA.texts[0] = QStringLiteral("08:%1:00").arg(round % 60, 2, 10, QChar(u'0'));
            RelayProgram programB = programA;
            programB.texts[1] = QStringLiteral("13:00:00");
            QVERIFY(writeProgram(fileA, programA).ok && writeProgram(fileB, programB).ok);
            QProcess uploadA;
            QProcess uploadB;
            uploadA.start(kCliProgram,
                          {QStringLiteral("programmer"), fileA, QStringLiteral("--port"),
                           boardA.slavePath(), QStringLiteral("--settings"), settings});
            uploadB.start(kCliProgram,
                          {QStringLiteral("programmer"), fileB, QStringLiteral("--port"),
                           boardB.slavePath(), QStringLiteral("--settings"), settings});
            (void)uploadA.waitForFinished(round % 20 * 10);
            const QString port = QStringLiteral("/dev/ttyUSB%1").arg(round);
            const ProfileWriteResult written = window.changePort(port);
            QVERIFY2(written.ok, qPrintable(written.errorMessage));
            QVERIFY(uploadA.state() == QProcess::NotRunning || uploadA.waitForFinished());
            QVERIFY(uploadB.state() == QProcess::NotRunning || uploadB.waitForFinished());
            QVERIFY2(uploadA.exitCode() + uploadB.exitCode() == 0,
                     uploadA.readAllStandardError() + uploadB.readAllStandardError());
            QCOMPARE(readPortSetting(settings).text, port);
            RelayProgram stored;
            readProgram(settings).applyTo(stored);
            QVERIFY2(stored == programA || stored == programB, qPrintable(QString::number(round)));
            boardA.readAll(0);
            boardB.readAll(0);
        }
    }

    // As root, a settings file reached through another user's link is neither replaced nor
    // read: the root-only file it points to stays as it was.
    void rootRefusesAnotherUsersLink()
    {
        if (::geteuid() != 0)
            QSKIP("the refusal applies to the super-user only; this test runs as another user");
        const QString secret = path(QStringLiteral("secret"));
        const QByteArray secretBytes("[Port COM]\r\nvaleur=root\r\n");
        QVERIFY(test::writeBytes(secret, secretBytes));
        QVERIFY(QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        const QString link = path(QStringLiteral("p2.ini"));
        QFile::remove(link);
        QVERIFY(QFile::link(secret, link));
        constexpr uid_t kOtherUser = 65534;  // nobody
        QVERIFY(::lchown(QFile::encodeName(link).constData(), kOtherUser, kOtherUser) == 0);

        Simulator sim;
        const QString file = path(QStringLiteral("semaine.ini"));
        QFile::remove(file);
        QVERIFY(writeProgram(file, weekdayProgram()).ok);
        const CliRun run = runCli({QStringLiteral("programmer"), file, QStringLiteral("--port"),
                                   sim.device(), QStringLiteral("--settings"), link});
        QVERIFY2(run.code == 1 &&
                     run.err.contains(QStringLiteral("lien symbolique d'un autre utilisateur")),
                 qPrintable(describe(run)));
        QCOMPARE(test::readBytes(secret), secretBytes);
        const CliRun shown = runCli({QStringLiteral("afficher"), link});
        QVERIFY(shown.code == 1 && shown.out.isEmpty());
    }

    void wrongCommandLine()
    {
        for (const QStringList &arguments :
             {QStringList{}, QStringList{QStringLiteral("heure"), QStringLiteral("--bogus")},
              QStringList{QStringLiteral("heure"), QStringLiteral("--date"),
                          QStringLiteral("demain")}}) {
            const CliRun run = runCli(arguments);
            QCOMPARE(run.code, 2);
            QVERIFY(run.out.isEmpty());
            QVERIFY2(run.err.startsWith(QStringLiteral("platine-cli : ")), qPrintable(run.err));
        }
        const CliRun help = runCli({QStringLiteral("--help")});
        QCOMPARE(help.code, 0);
        QVERIFY(help.out.contains(QStringLiteral("platine-cli heure")));
    }

    void listsPorts()
    {
        const CliRun run = runCli({QStringLiteral("ports"), QStringLiteral("--json")});
        QVERIFY2(run.code == 0 && run.err.isEmpty(), qPrintable(describe(run)));
        QJsonParseError error{};
        QVERIFY(QJsonDocument::fromJson(run.out.toUtf8(), &error).isArray());
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "test_cli.moc"
