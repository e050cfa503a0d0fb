#include "link/board_clock_text.h"

#include <QTest>
#include <QTimeZone>

using namespace platine;
using namespace Qt::Literals::StringLiterals;

class BoardClockTextTest : public QObject
{
    Q_OBJECT

private slots:
    // Lines as the board sends them: the day name padded to 8 characters, CR LF at the end.
    void readsBoardLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QDateTime>("expected");
        const auto at = [](int y, int mo, int d, int h, int mi, int s) {
            return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
        };
        QTest::newRow("friday") << QStringLiteral("Vendredi 23/11/2007 14:37:52\r\n")
                                << at(2007, 11, 23, 14, 37, 52);
        QTest::newRow("padded name")
            << QStringLiteral("Lundi    31/12/2029 23:59:59\r\n") << at(2029, 12, 31, 23, 59, 59);
        QTest::newRow("accented name")
            << QStringLiteral("Mercredi 29/02/2012 00:00:00") << at(2012, 2, 29, 0, 0, 0);
        QTest::newRow("name that does not match the date")
            << QStringLiteral("Dimanche 23/11/2007 14:37:52\r\n") << at(2007, 11, 23, 14, 37, 52);
    }
    void readsBoardLines()
    {
        QFETCH(QString, line);
        QFETCH(QDateTime, expected);
        const std::optional<QDateTime> reading = parseBoardClockLine(line);
        QVERIFY(reading.has_value());
        QCOMPARE(*reading, expected);
    }

    void refusesOtherText_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("empty") << QString();
        QTest::newRow("upload reply") << QStringLiteral("Programme reçu : 6 relais\r\n");
        QTest::newRow("cut at the start") << QStringLiteral("redi 23/11/2007 14:37:52");
        QTest::newRow("cut at the end") << QStringLiteral("Vendredi 23/11/2007 14:37");
        QTest::newRow("unknown day") << QStringLiteral("Jour 0   23/11/2007 14:37:52");
        QTest::newRow("lower-case day") << QStringLiteral("vendredi 23/11/2007 14:37:52");
        QTest::newRow("English day") << QStringLiteral("Friday 23/11/2007 14:37:52");
        QTest::newRow("no such date") << QStringLiteral("Vendredi 31/02/2007 14:37:52");
        QTest::newRow("no such time") << QStringLiteral("Vendredi 23/11/2007 24:00:00");
        QTest::newRow("two-digit year") << QStringLiteral("Vendredi 23/11/07 14:37:52");
        QTest::newRow("text after") << QStringLiteral("Vendredi 23/11/2007 14:37:52 x");
        QTest::newRow("two lines")
            << QStringLiteral("Vendredi 23/11/2007 14:37:52\r\nVendredi 23/11/2007 14:37:53");
        QTest::newRow("control byte") << QStringLiteral("Vendredi 23/11/2007 14:\x01"
                                                        "7:52");
    }
    void refusesOtherText()
    {
        QFETCH(QString, line);
        QVERIFY(!parseBoardClockLine(line).has_value());
    }

    // The PC's local reading is compared as it reads, to the second.
    void measuresDrift_data()
    {
        QTest::addColumn<QDateTime>("board");
        QTest::addColumn<QDateTime>("pc");
        QTest::addColumn<qint64>("drift");
        QTest::addColumn<QString>("text");
        const QDateTime board(QDate(2007, 11, 23), QTime(14, 37, 52), Qt::UTC);
        QTest::newRow("ahead") << board << QDateTime(QDate(2007, 11, 23), QTime(14, 37, 40, 900))
                               << qint64(12) << QStringLiteral("en avance de 12 s");
        QTest::newRow("behind") << board << QDateTime(QDate(2007, 11, 23), QTime(14, 37, 55))
                                << qint64(-3) << QStringLiteral("en retard de 3 s");
        QTest::newRow("on time") << board << QDateTime(QDate(2007, 11, 23), QTime(14, 37, 52, 999))
                                 << qint64(0) << QStringLiteral("à l'heure");
        QTest::newRow("across midnight")
            << QDateTime(QDate(2007, 12, 31), QTime(23, 59, 59), Qt::UTC)
            << QDateTime(QDate(2008, 1, 1), QTime(0, 0, 1)) << qint64(-2)
            << QStringLiteral("en retard de 2 s");
        // A PC in another zone: its own reading counts, not UTC.
        QTest::newRow("PC clock in a zone")
            << board << QDateTime(QDate(2007, 11, 23), QTime(14, 37, 50), QTimeZone(3600))
            << qint64(2) << QStringLiteral("en avance de 2 s");
    }
    void measuresDrift()
    {
        QFETCH(QDateTime, board);
        QFETCH(QDateTime, pc);
        QFETCH(qint64, drift);
        QFETCH(QString, text);
        QCOMPARE(boardClockDrift(board, pc), drift);
        QCOMPARE(boardClockDriftText(drift), text);
    }

    void readsTheBoardsClockLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");
        const QDateTime friday(QDate(2007, 11, 23), QTime(14, 37, 52));
        QTest::newRow("bare") << "Vendredi 23/11/2007 14:37:52" << friday;
        QTest::newRow("line end") << "Vendredi 23/11/2007 14:37:52\r\n" << friday;
        QTest::newRow("cut line before") << "07 14:37:51\r\nVendredi 23/11/2007 14:37:52\r\n"
                                         << friday;
        QTest::newRow("two lines, the last counts")
            << "Vendredi 23/11/2007 14:37:51\r\nVendredi 23/11/2007 14:37:52" << friday;
        QTest::newRow("last cut short")
            << "Vendredi 23/11/2007 14:37:52\r\nVendredi 23/11/20" << friday;
        QTest::newRow("new year") << "Mardi 01/01/2008 00:00:00"
                                  << QDateTime(QDate(2008, 1, 1), QTime(0, 0));
        QTest::newRow("empty") << "" << QDateTime();
        QTest::newRow("reply") << "OK\r\n" << QDateTime();
        QTest::newRow("garbage") << QString::fromLatin1("\xff\x00\x42\x13", 4) << QDateTime();
        QTest::newRow("unknown day") << "Friday 23/11/2007 14:37:52" << QDateTime();
        QTest::newRow("lower case day") << "vendredi 23/11/2007 14:37:52" << QDateTime();
        QTest::newRow("31 February") << "Samedi 31/02/2007 14:37:52" << QDateTime();
        QTest::newRow("hour 25") << "Vendredi 23/11/2007 25:37:52" << QDateTime();
        QTest::newRow("seconds cut") << "Vendredi 23/11/2007 14:37:5" << QDateTime();
        QTest::newRow("too many digits") << "Vendredi 23/11/2007 14:37:521" << QDateTime();
    }
    void readsTheBoardsClockLines()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        QCOMPARE(readBoardClockLine(text), expected);
        const QDateTime pc(QDate(2007, 11, 23), QTime(14, 37, 40));
        if (expected.isValid())
            QCOMPARE(boardClockDrift(readBoardClockLine(text), pc), pc.secsTo(expected));
    }

    void tellsTheDrift_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("expected");
        const QString hint =
            QStringLiteral(" : mettez-la à l'heure (Paramètrage, Mise à l'heure platine)");
        QTest::newRow("on time") << qint64(0) << "platine à l'heure";
        QTest::newRow("ahead") << qint64(12) << "platine en avance de 12 s";
        QTest::newRow("behind") << qint64(-3) << "platine en retard de 3 s";
        QTest::newRow("one minute") << qint64(60) << "platine en avance de 1 min 00 s";
        QTest::newRow("past a minute")
            << qint64(-61) << u"platine en retard de 1 min 01 s"_s + hint;
        QTest::newRow("hours") << qint64(2 * 3600 + 5 * 60 + 9)
                               << u"platine en avance de 2 h 05 min"_s + hint;
        QTest::newRow("days") << qint64(-(3 * 86400 + 4 * 3600))
                              << u"platine en retard de 3 j 4 h"_s + hint;
    }
    void tellsTheDrift()
    {
        QFETCH(qint64, seconds);
        QFETCH(QString, expected);
        QCOMPARE(boardDriftMessage(seconds), expected);
    }
};

QTEST_GUILESS_MAIN(BoardClockTextTest)
#include "test_board_clock_text.moc"
