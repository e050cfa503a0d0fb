#include "link/board_clock_text.h"

#include <QTest>
#include <QTimeZone>

using namespace platine;

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
};

QTEST_GUILESS_MAIN(BoardClockTextTest)
#include "test_board_clock_text.moc"
