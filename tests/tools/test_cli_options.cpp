#include "cli/cli_options.h"
#include "support/fake_clock.h"

#include <QTest>


using namespace platine::cli;

class CliOptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void readsCommands()
    {
        CliParseResult parsed =
            parseCommandLine({QStringLiteral("programmer"), QStringLiteral("--port=/dev/ttyUSB0"),
                              QStringLiteral("semaine.ini"), QStringLiteral("--sans-parametres")});
        QVERIFY2(parsed.ok(), qPrintable(parsed.error));
        QCOMPARE(parsed.request.command, Command::Upload);
        QCOMPARE(parsed.request.file, QStringLiteral("semaine.ini"));
        QCOMPARE(parsed.request.port, QStringLiteral("/dev/ttyUSB0"));
        QVERIFY(parsed.request.keepSettings);

        parsed = parseCommandLine({QStringLiteral("heure"), QStringLiteral("--date"),
                                   QStringLiteral("2026-03-29 03:00:05"), QStringLiteral("--port"),
                                   QStringLiteral("3"), QStringLiteral("--settings"),
                                   QStringLiteral("p.ini")});
        QVERIFY2(parsed.ok(), qPrintable(parsed.error));
        QCOMPARE(parsed.request.command, Command::SetClock);
        QCOMPARE(parsed.request.moment, QDateTime(QDate(2026, 3, 29), QTime(3, 0, 5), Qt::UTC));
        QCOMPARE(parsed.request.port, QStringLiteral("3"));
        QCOMPARE(parsed.request.settingsPath, QStringLiteral("p.ini"));

        parsed = parseCommandLine(
            {QStringLiteral("ecouter"), QStringLiteral("--json"), QStringLiteral("--duree=15")});
        QVERIFY2(parsed.ok(), qPrintable(parsed.error));
        QCOMPARE(parsed.request.command, Command::Listen);
        QVERIFY(parsed.request.json);
        QCOMPARE(parsed.request.durationSeconds, 15);
        QVERIFY(parsed.request.port.isEmpty());

        // A file name that starts with a dash can follow "--".
        parsed = parseCommandLine(
            {QStringLiteral("afficher"), QStringLiteral("--"), QStringLiteral("-x.ini")});
        QVERIFY2(parsed.ok(), qPrintable(parsed.error));
        QCOMPARE(parsed.request.file, QStringLiteral("-x.ini"));

        // An hour the PC's clock skips when summer time starts is still a moment for the board.
        {
            const platine::test::ScopedTimeZone paris("Europe/Paris");
            parsed = parseCommandLine({QStringLiteral("heure"), QStringLiteral("--date"),
                                       QStringLiteral("2026-03-29 02:30:00")});
        }
        QVERIFY2(parsed.ok(), qPrintable(parsed.error));
        QCOMPARE(parsed.request.moment->time(), QTime(2, 30));
        QCOMPARE(parsed.request.moment->date(), QDate(2026, 3, 29));
    }

    void durationsInSixtyFourBits()
    {
        // Durations whose milliseconds overflow 32 bits, up to the stated bound.
        for (const qint64 seconds : {qint64(2147484), qint64(4294968), kMaxListenSeconds}) {
            const CliParseResult parsed = parseCommandLine(
                {QStringLiteral("ecouter"), QStringLiteral("--duree=%1").arg(seconds)});
            QVERIFY2(parsed.ok(), qPrintable(parsed.error));
            QCOMPARE(parsed.request.durationSeconds, seconds);
        }
        // Above it, even beyond 64 bits: refused, naming the bound.
        for (const QString &seconds :
             {QString::number(kMaxListenSeconds + 1), QStringLiteral("4294967296000"),
              QStringLiteral("99999999999999999999999")}) {
            const CliParseResult parsed =
                parseCommandLine({QStringLiteral("ecouter"), QStringLiteral("--duree"), seconds});
            QVERIFY(!parsed.ok());
            QVERIFY2(parsed.error.contains(QStringLiteral("Durée trop longue")) &&
                         parsed.error.contains(QString::number(kMaxListenSeconds)),
                     qPrintable(parsed.error));
        }
    }

    void refusesWrongCommandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << QStringList{} << QStringLiteral("Aucune commande");
        QTest::newRow("unknown command")
            << QStringList{QStringLiteral("regler")} << QStringLiteral("Commande inconnue");
        QTest::newRow("option of another command")
            << QStringList{QStringLiteral("afficher"), QStringLiteral("f.ini"),
                           QStringLiteral("--port"), QStringLiteral("3")}
            << QStringLiteral("Option inconnue pour « afficher » : --port");
        QTest::newRow("value missing")
            << QStringList{QStringLiteral("heure"), QStringLiteral("--port")}
            << QStringLiteral("--port demande une valeur");
        QTest::newRow("empty port")
            << QStringList{QStringLiteral("heure"), QStringLiteral("--port=")}
            << QStringLiteral("--port demande un port");
        QTest::newRow("date in another form")
            << QStringList{QStringLiteral("heure"), QStringLiteral("--date"),
                           QStringLiteral("29/03/2026 03:00:00")}
            << QStringLiteral("Date non reconnue");
        QTest::newRow("date that does not exist")
            << QStringList{QStringLiteral("heure"), QStringLiteral("--date"),
                           QStringLiteral("2026-02-30 03:00:00")}
            << QStringLiteral("Date refusée");
        QTest::newRow("year the board cannot hold")
            << QStringList{QStringLiteral("heure"), QStringLiteral("--date"),
                           QStringLiteral("2100-01-01 00:00:00")}
            << QStringLiteral("Date refusée");
        QTest::newRow("duration zero")
            << QStringList{QStringLiteral("ecouter"), QStringLiteral("--duree=0")}
            << QStringLiteral("Durée non reconnue");
        QTest::newRow("duration not a number")
            << QStringList{QStringLiteral("ecouter"), QStringLiteral("--duree"),
                           QStringLiteral("10s")}
            << QStringLiteral("Durée non reconnue");
        QTest::newRow("negative duration")
            << QStringList{QStringLiteral("ecouter"), QStringLiteral("--duree=-5")}
            << QStringLiteral("Durée non reconnue");
        QTest::newRow("flag with a value")
            << QStringList{QStringLiteral("ports"), QStringLiteral("--json=oui")}
            << QStringLiteral("ne prend pas de valeur");
        QTest::newRow("option twice")
            << QStringList{QStringLiteral("heure"), QStringLiteral("--port=1"),
                           QStringLiteral("--port=2")}
            << QStringLiteral("donnée deux fois");
        QTest::newRow("file missing")
            << QStringList{QStringLiteral("programmer")} << QStringLiteral("demande un fichier");
        QTest::newRow("two files") << QStringList{QStringLiteral("afficher"),
                                                  QStringLiteral("a.ini"), QStringLiteral("b.ini")}
                                   << QStringLiteral("Argument en trop");
        QTest::newRow("store and do not store")
            << QStringList{QStringLiteral("programmer"), QStringLiteral("f.ini"),
                           QStringLiteral("--settings=p.ini"), QStringLiteral("--sans-parametres")}
            << QStringLiteral("ne vont pas ensemble");
        QTest::newRow("help after a command")
            << QStringList{QStringLiteral("heure"), QStringLiteral("--help")}
            << QStringLiteral("platine-cli --help");
    }
    void refusesWrongCommandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const CliParseResult parsed = parseCommandLine(arguments);
        QVERIFY(!parsed.ok());
        QVERIFY2(parsed.error.contains(message), qPrintable(parsed.error));
    }
};

QTEST_GUILESS_MAIN(CliOptionsTest)
#include "test_cli_options.moc"
