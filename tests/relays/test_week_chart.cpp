#include "relays/week_chart.h"
#include "support/relay_programs.h"

#include <QTest>

using namespace platine;
using namespace Qt::Literals::StringLiterals;

namespace {

const QDate kToday(2026, 12, 9);  // a Wednesday

// Every relay inactive, every window 00:00 - 00:00 (switches nothing), dates and months far
// ahead: a chart with no bar at all.
RelayProgram quietProgram()
{
    RelayProgram program = test::programFilledWith(
        QStringLiteral("00:00:00"), QStringLiteral("01/01/2090"), QStringLiteral("01/2090"));
    program.dayChoices = {9, 9, 9, 9};
    return program;
}

// The bars of one relay as "day start-end" texts, e.g. "2 08:00-12:00".
QStringList barsOf(const WeekChart &chart, int relay)
{
    QStringList bars;
    for (const ChartBar &bar : chart.bars) {
        if (bar.relay != relay)
            continue;
        bars.append(QStringLiteral("%1 %2-%3")
                        .arg(bar.day)
                        .arg(QTime(0, 0).addSecs(bar.startMinute * 60).toString(u"hh:mm"_s),
                             bar.endMinute == kMinutesPerDay
                                 ? QStringLiteral("24:00")
                                 : QTime(0, 0).addSecs(bar.endMinute * 60).toString(u"hh:mm"_s)));
    }
    return bars;
}

}  // namespace

class WeekChartTest : public QObject
{
    Q_OBJECT

private slots:
    void weekStartsOnMonday()
    {
        QCOMPARE(mondayOfWeek(QDate(2026, 12, 9)), QDate(2026, 12, 7));
        QCOMPARE(mondayOfWeek(QDate(2026, 12, 13)), QDate(2026, 12, 7));
        QCOMPARE(mondayOfWeek(QDate(2026, 12, 7)), QDate(2026, 12, 7));
        QCOMPARE(mondayOfWeek(QDate(2027, 1, 1)), QDate(2026, 12, 28));
        QCOMPARE(weekCaption(QDate(2026, 12, 7)),
                 QStringLiteral("semaine du lundi 7 au dimanche 13 décembre 2026"));
        QCOMPARE(weekCaption(QDate(2026, 11, 30)),
                 QStringLiteral("semaine du lundi 30 novembre au dimanche 6 décembre 2026"));
        QCOMPARE(weekCaption(QDate(2026, 12, 28)),
                 QStringLiteral("semaine du lundi 28 décembre 2026 au dimanche 3 janvier 2027"));
    }

    void quietProgramHasNoBar()
    {
        const WeekChart chart = buildWeekChart(quietProgram(), kToday, kToday);
        QCOMPARE(chart.monday, QDate(2026, 12, 7));
        QVERIFY(chart.bars.isEmpty());
        QVERIFY(chart.findings.isEmpty());
    }

    void weeklyRelayOnItsDays_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Dimanche") << 0 << QStringList{u"6 08:00-12:30"_s};
        QTest::newRow("Mercredi") << 3 << QStringList{u"2 08:00-12:30"_s};
        QTest::newRow("Samedi") << 6 << QStringList{u"5 08:00-12:30"_s};
        QTest::newRow("week-end") << 7 << QStringList{u"5 08:00-12:30"_s, u"6 08:00-12:30"_s};
        QTest::newRow("Lundi à Vendredi")
            << 8
            << QStringList{u"0 08:00-12:30"_s, u"1 08:00-12:30"_s, u"2 08:00-12:30"_s,
                           u"3 08:00-12:30"_s, u"4 08:00-12:30"_s};
        QTest::newRow("Tous les jours")
            << 9 << QStringList{u"0 08:00-12:30"_s, u"1 08:00-12:30"_s, u"2 08:00-12:30"_s,
                                u"3 08:00-12:30"_s, u"4 08:00-12:30"_s, u"5 08:00-12:30"_s,
                                u"6 08:00-12:30"_s};
        QTest::newRow("none") << -1 << QStringList{};
    }
    void weeklyRelayOnItsDays()
    {
        QFETCH(int, choice);
        QFETCH(QStringList, expected);
        RelayProgram program = quietProgram();
        program.texts[8] = QStringLiteral("08:00:00");  // relay 2, window 2
        program.texts[9] = QStringLiteral("12:30:00");
        program.dayChoices[1] = choice;
        program.enables[1] = 1;
        const WeekChart chart = buildWeekChart(program, kToday, kToday);
        QCOMPARE(barsOf(chart, 2), expected);
        for (const ChartBar &bar : chart.bars) {
            QCOMPARE(bar.window, 1);
            QVERIFY(bar.active);
            QVERIFY(!bar.flagged);
        }
    }

    void datedRelayAcrossMidnightAndWeeks()
    {
        RelayProgram program = quietProgram();
        // Relay 3, window 1: from the Sunday before the week to its Tuesday morning.
        program.texts[12] = QStringLiteral("22:00:00");
        program.texts[13] = QStringLiteral("06:15:00");
        program.texts[18] = QStringLiteral("06/12/2026");
        program.texts[19] = QStringLiteral("08/12/2026");
        // Window 3: Sunday evening into the next week.
        program.texts[16] = QStringLiteral("20:00:00");
        program.texts[17] = QStringLiteral("01:00:00");
        program.texts[22] = QStringLiteral("13/12/2026");
        program.texts[23] = QStringLiteral("14/12/2026");
        // Relay 4: a window entirely in the next week is not in this one.
        program.texts[24] = QStringLiteral("08:00:00");
        program.texts[25] = QStringLiteral("09:00:00");
        program.texts[30] = QStringLiteral("14/12/2026");
        program.texts[31] = QStringLiteral("14/12/2026");
        const WeekChart chart = buildWeekChart(program, kToday, kToday);
        QCOMPARE(barsOf(chart, 3),
                 (QStringList{u"0 00:00-24:00"_s, u"1 00:00-06:15"_s, u"6 20:00-24:00"_s}));
        QVERIFY(barsOf(chart, 4).isEmpty());
        QVERIFY(!chart.bars[0].active);  // inactive relays keep their bars
        QCOMPARE(barsOf(buildWeekChart(program, QDate(2026, 12, 14), kToday), 4),
                 QStringList{u"0 08:00-09:00"_s});
    }

    void datedRelayInALeapYear()
    {
        RelayProgram program = quietProgram();
        program.texts[24] = QStringLiteral("22:00:00");
        program.texts[25] = QStringLiteral("02:00:00");
        program.texts[30] = QStringLiteral("28/02/2028");
        program.texts[31] = QStringLiteral("01/03/2028");
        const WeekChart chart = buildWeekChart(program, QDate(2028, 3, 1), kToday);
        QCOMPARE(chart.monday, QDate(2028, 2, 28));
        QCOMPARE(barsOf(chart, 4),
                 (QStringList{u"0 22:00-24:00"_s, u"1 00:00-24:00"_s, u"2 00:00-02:00"_s}));
    }

    void monthRelayInsideItsMonth()
    {
        RelayProgram program = quietProgram();
        program.texts[36] = QStringLiteral("07:00:00");  // relay 5, every day of 12/2026
        program.texts[37] = QStringLiteral("07:30:00");
        program.texts[42] = QStringLiteral("12/2026");
        program.texts[43] = QStringLiteral("19:00:00");  // relay 6, Mondays of 11/2026
        program.texts[44] = QStringLiteral("23:59:00");
        program.texts[49] = QStringLiteral("11/2026");
        program.dayChoices[3] = 1;
        // The week of Monday 30 November crosses into December.
        const WeekChart chart = buildWeekChart(program, QDate(2026, 12, 2), QDate(2026, 11, 1));
        QCOMPARE(barsOf(chart, 5),
                 (QStringList{u"1 07:00-07:30"_s, u"2 07:00-07:30"_s, u"3 07:00-07:30"_s,
                              u"4 07:00-07:30"_s, u"5 07:00-07:30"_s, u"6 07:00-07:30"_s}));
        QCOMPARE(barsOf(chart, 6), QStringList{u"0 19:00-23:59"_s});
        // The week of the new year: January's days only.
        program.texts[42] = QStringLiteral("01/2027");
        program.dayChoices[2] = 8;
        QCOMPARE(barsOf(buildWeekChart(program, QDate(2026, 12, 31), kToday), 5),
                 (QStringList{u"4 07:00-07:30"_s}));
        // February of a leap year ends on the 29th, a Tuesday.
        program.texts[42] = QStringLiteral("02/2028");
        program.dayChoices[2] = 9;
        QCOMPARE(barsOf(buildWeekChart(program, QDate(2028, 2, 28), kToday), 5),
                 (QStringList{u"0 07:00-07:30"_s, u"1 07:00-07:30"_s}));
    }

    void flaggedWindowsAreMarkedOrLeftOut()
    {
        RelayProgram program = quietProgram();
        program.enables[0] = 1;
        program.texts[0] = QStringLiteral("25:00:00");  // window 1: hour that does not exist
        program.texts[1] = QStringLiteral("26:00:00");
        program.texts[2] = QStringLiteral("10:00:00");  // window 2: end before start
        program.texts[3] = QStringLiteral("09:00:00");
        program.texts[4] = QStringLiteral("10:00:00");  // window 3: drawn
        program.texts[5] = QStringLiteral("11:00:00");
        program.dayChoices[0] = 3;
        // Relay 6 active on a month already past, in the week shown: drawn, flagged.
        program.enables[5] = 1;
        program.texts[43] = QStringLiteral("10:00:00");
        program.texts[44] = QStringLiteral("11:00:00");
        program.texts[49] = QStringLiteral("11/2026");
        const WeekChart chart = buildWeekChart(program, QDate(2026, 11, 4), kToday);
        QCOMPARE(barsOf(chart, 1), QStringList{u"2 10:00-11:00"_s});
        QCOMPARE(barsOf(chart, 6).size(), 7);
        for (const ChartBar &bar : chart.bars)
            QCOMPARE(bar.flagged, bar.relay == 6);
        QCOMPARE(chart.findings.size(), 4);  // two hours, one order, one past month
        // A month that does not exist leaves the whole relay out.
        program.texts[49] = QStringLiteral("13/2026");
        QVERIFY(barsOf(buildWeekChart(program, QDate(2026, 11, 4), kToday), 6).isEmpty());
    }
};

QTEST_GUILESS_MAIN(WeekChartTest)
#include "test_week_chart.moc"
