#include "relays/week_chart.h"

#include <QLocale>

namespace platine {

namespace {

// Each span cut into the days of the week it covers.
QList<ChartBar> barsOfWeek(const QList<SwitchingSpan> &spans, const QDate &monday)
{
    QList<ChartBar> bars;
    for (const SwitchingSpan &span : spans) {
        for (int day = 0; day < 7; ++day) {
            const BoardMinute dayStart = boardMinute(monday.addDays(day), 0);
            const BoardMinute from = std::max(span.start, dayStart);
            const BoardMinute to = std::min(span.end, dayStart + kMinutesPerDay);
            if (from >= to)
                continue;
            ChartBar bar;
            bar.relay = span.relay;
            bar.window = span.window;
            bar.day = day;
            bar.startMinute = int(from - dayStart);
            bar.endMinute = int(to - dayStart);
            bar.active = span.active;
            bar.flagged = span.flagged;
            bars.append(bar);
        }
    }
    return bars;
}

}  // namespace

QDate mondayOfWeek(const QDate &day)
{
    return day.addDays(1 - day.dayOfWeek());
}

WeekChart buildWeekChart(const RelayProgram &program, const QDate &day, const QDate &today)
{
    WeekChart chart;
    chart.monday = mondayOfWeek(day);
    chart.today = today;
    chart.findings = checkProgram(program, today);
    chart.bars =
        barsOfWeek(switchingSpans(program, chart.findings, chart.monday, chart.monday.addDays(6)),
                   chart.monday);
    return chart;
}

QString weekCaption(const QDate &monday)
{
    const QLocale french(QLocale::French, QLocale::France);
    const QDate sunday = monday.addDays(6);
    QString from = QStringLiteral("lundi %1").arg(monday.day());
    if (monday.year() != sunday.year())
        from += french.toString(monday, QStringLiteral(" MMMM yyyy"));
    else if (monday.month() != sunday.month())
        from += french.toString(monday, QStringLiteral(" MMMM"));
    return QStringLiteral("semaine du %1 au dimanche %2")
        .arg(from, french.toString(sunday, QStringLiteral("d MMMM yyyy")));
}

}  // namespace platine
