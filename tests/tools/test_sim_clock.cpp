// The simulated board's clock and the line it sends while it shows it.

#include "sim/sim_clock.h"
#include "support/fake_clock.h"

#include <QTest>


using namespace platine::sim;

namespace {

QDateTime at(int year, int month, int day, int hours, int minutes, int seconds)
{
    return QDateTime(QDate(year, month, day), QTime(hours, minutes, seconds), Qt::UTC);
}

}  // namespace

class SimClockTest : public QObject
{
    Q_OBJECT

private slots:
    void runsOnAndMovesTheDayAtMidnight_data()
    {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<int>("weekDay");
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<int>("expectedWeekDay");
        QTest::newRow("a second and a half later") << at(2010, 1, 1, 0, 0, 0) << 6 << qint64(1500)
                                                   << at(2010, 1, 1, 0, 0, 1).addMSecs(500) << 6;
        QTest::newRow("Saturday to Sunday at midnight")
            << at(2009, 2, 28, 23, 59, 59) << 7 << qint64(1000) << at(2009, 3, 1, 0, 0, 0) << 1;
        QTest::newRow("eight days on")
            << at(2007, 11, 23, 14, 37, 52) << 6 << qint64(8LL * 24 * 3600 * 1000)
            << at(2007, 12, 1, 14, 37, 52) << 7;
        QTest::newRow("new year") << at(2009, 12, 31, 23, 59, 59) << 5 << qint64(1000)
                                  << at(2010, 1, 1, 0, 0, 0) << 6;
        // The board keeps the day number it was given, even when it does not match the date.
        QTest::newRow("a wrong day is kept and moved on")
            << at(2010, 1, 1, 23, 59, 59) << 2 << qint64(2000) << at(2010, 1, 2, 0, 0, 1) << 3;
        QTest::newRow("no day stays no day")
            << at(2010, 1, 1, 23, 59, 59) << 0 << qint64(2000) << at(2010, 1, 2, 0, 0, 1) << 0;
    }
    void runsOnAndMovesTheDayAtMidnight()
    {
        QFETCH(QDateTime, start);
        QFETCH(int, weekDay);
        QFETCH(qint64, elapsedMs);
        QFETCH(QDateTime, moment);
        QFETCH(int, expectedWeekDay);
        BoardClock clock;
        const qint64 setAt = 123456;
        clock.set(start, weekDay, setAt);
        const BoardClock::Reading reading = clock.readingAt(setAt + elapsedMs);
        QCOMPARE(reading.moment, moment);
        QCOMPARE(reading.weekDay, expectedWeekDay);
    }

    // The board has no time zone: a local time keeps its reading, and no summer-time change
    // moves it.
    void keepsTheWallClockReading()
    {
        // In France the clocks went from 02:00 to 03:00 on 28 March 2021.
        const platine::test::ScopedTimeZone paris("Europe/Paris");
        const QDateTime local(QDate(2021, 3, 28), QTime(1, 59, 59), Qt::LocalTime);
        if (local.addSecs(1).time() != QTime(3, 0, 0))
            QSKIP("no time zone data for Europe/Paris on this machine");
        BoardClock clock;
        clock.set(local, 1, 0);
        const BoardClock::Reading reading = clock.readingAt(1000);
        QCOMPARE(reading.moment.date(), QDate(2021, 3, 28));
        QCOMPARE(reading.moment.time(), QTime(2, 0, 0));
    }

    void dayNumbersStartOnSunday()
    {
        QCOMPARE(sundayFirstDayNumber(QDate(2009, 3, 1)), 1);
        QCOMPARE(sundayFirstDayNumber(QDate(2007, 11, 23)), 6);
        QCOMPARE(sundayFirstDayNumber(QDate(2010, 1, 2)), 7);
        QCOMPARE(sundayFirstDayNumber(QDate(2010, 1, 4)), 2);
    }

    void clockLineIsLongEnoughToBeRead_data()
    {
        QTest::addColumn<int>("weekDay");
        QTest::addColumn<QByteArray>("line");
        const char *const lines[] = {
            "Dimanche 23/11/2007 14:37:52\r\n", "Lundi    23/11/2007 14:37:52\r\n",
            "Mardi    23/11/2007 14:37:52\r\n", "Mercredi 23/11/2007 14:37:52\r\n",
            "Jeudi    23/11/2007 14:37:52\r\n", "Vendredi 23/11/2007 14:37:52\r\n",
            "Samedi   23/11/2007 14:37:52\r\n",
        };
        for (int day = 1; day <= 7; ++day)
            QTest::addRow("day %d", day) << day << QByteArray(lines[day - 1]);
        QTest::newRow("no day") << 0 << QByteArray("Jour 0   23/11/2007 14:37:52\r\n");
        QTest::newRow("day 255") << 255 << QByteArray("Jour 255 23/11/2007 14:37:52\r\n");
    }
    void clockLineIsLongEnoughToBeRead()
    {
        QFETCH(int, weekDay);
        QFETCH(QByteArray, line);
        const QByteArray sent = clockLine({at(2007, 11, 23, 14, 37, 52), weekDay});
        QCOMPARE(sent, line);
        // The PC reads once at least 26 characters wait.
        QVERIFY(sent.size() >= 26);
    }

    void clockLineShowsLeadingZeros()
    {
        QCOMPARE(clockLine({at(2009, 3, 1, 8, 5, 9), 1}),
                 QByteArray("Dimanche 01/03/2009 08:05:09\r\n"));
    }
};

QTEST_GUILESS_MAIN(SimClockTest)
#include "test_sim_clock.moc"
