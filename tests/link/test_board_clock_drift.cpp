#include "link/board_clock_drift.h"

#include <QTest>

using namespace platine;
using namespace Qt::Literals::StringLiterals;

class BoardClockDriftTest : public QObject
{
    Q_OBJECT

private slots:
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
        const std::optional<qint64> drift = boardClockDrift(text, pc);
        QCOMPARE(drift.has_value(), expected.isValid());
        if (drift)
            QCOMPARE(*drift, pc.secsTo(expected));
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

QTEST_GUILESS_MAIN(BoardClockDriftTest)
#include "test_board_clock_drift.moc"
