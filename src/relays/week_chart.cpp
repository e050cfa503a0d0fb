#include "relays/week_chart.h"

#include "link/days.h"

#include <QLocale>

namespace platine {

namespace {

// Whether a day list choice (0..9, Sunday first, then the three groups) names a Qt week day
// (1 = Monday .. 7 = Sunday).
bool choiceCovers(int choice, int qtDayOfWeek)
{
    switch (choice) {
    case 7:
        return qtDayOfWeek >= 6;
    case 8:
        return qtDayOfWeek <= 5;
    case 9:
        return true;
    default:
        return choice >= 0 && choice <= 6 && choice == sundayFirstIndex(qtDayOfWeek);
    }
}

class ChartBuilder
{
public:
    ChartBuilder(const RelayProgram &program, const QDate &monday, const QDate &today)
        : program_(program)
    {
        chart_.monday = monday;
        chart_.today = today;
        chart_.findings = checkProgram(program, today);
    }

    WeekChart run()
    {
        for (const RelayLayout &layout : relayLayouts()) {
            for (int window = 0; window < 3; ++window) {
                if (drawable(layout.relay, window))
                    addWindow(layout, window);
            }
        }
        return chart_;
    }

private:
    const QString &text(int slot) const { return program_.texts[static_cast<size_t>(slot)]; }

    bool concerns(const ProgramFinding &finding, int relay, int window) const
    {
        return finding.relay == relay && (finding.window == window || finding.window < 0);
    }

    bool drawable(int relay, int window) const
    {
        for (const ProgramFinding &finding : chart_.findings) {
            if (finding.unknownBehaviour && concerns(finding, relay, window))
                return false;
        }
        return true;
    }

    bool flagged(int relay, int window) const
    {
        for (const ProgramFinding &finding : chart_.findings) {
            if (concerns(finding, relay, window))
                return true;
        }
        return false;
    }

    void addBar(const RelayLayout &layout, int window, int day, int start, int end)
    {
        if (end <= start)
            return;
        ChartBar bar;
        bar.relay = layout.relay;
        bar.window = window;
        bar.day = day;
        bar.startMinute = start;
        bar.endMinute = end;
        bar.active = program_.enables[static_cast<size_t>(layout.enableIndex)] == 1;
        bar.flagged = flagged(layout.relay, window);
        chart_.bars.append(bar);
    }

    void addWindow(const RelayLayout &layout, int window)
    {
        const int onRow = 2 * window;
        const BoardTime on = readBoardTime(text(layout.firstTimeSlot + onRow));
        const BoardTime off = readBoardTime(text(layout.firstTimeSlot + onRow + 1));
        if (!on.exists() || !off.exists())
            return;

        if (layout.kind == RelayKind::Dated) {
            const QDate onDate = readBoardDate(text(layout.firstDateSlot + onRow));
            const QDate offDate = readBoardDate(text(layout.firstDateSlot + onRow + 1));
            if (!onDate.isValid() || !offDate.isValid())
                return;
            // Minutes from the chart's Monday, midnight.
            const qint64 start = chart_.monday.daysTo(onDate) * kMinutesPerDay + on.minuteOfDay();
            const qint64 end = chart_.monday.daysTo(offDate) * kMinutesPerDay + off.minuteOfDay();
            for (int day = 0; day < 7; ++day) {
                const qint64 dayStart = qint64(day) * kMinutesPerDay;
                const qint64 from = std::max(start, dayStart);
                const qint64 to = std::min(end, dayStart + kMinutesPerDay);
                if (from < to)
                    addBar(layout, window, day, int(from - dayStart), int(to - dayStart));
            }
            return;
        }

        const int choice = program_.dayChoices[static_cast<size_t>(layout.dayChoice)];
        QDate month;
        if (layout.kind == RelayKind::Month) {
            month = readBoardMonth(text(layout.monthYearSlot));
            if (!month.isValid())
                return;
        }
        for (int day = 0; day < 7; ++day) {
            const QDate date = chart_.monday.addDays(day);
            if (!choiceCovers(choice, date.dayOfWeek()))
                continue;
            if (month.isValid() && (date.year() != month.year() || date.month() != month.month()))
                continue;
            addBar(layout, window, day, on.minuteOfDay(), off.minuteOfDay());
        }
    }

    const RelayProgram &program_;
    WeekChart chart_;
};

}  // namespace

QDate mondayOfWeek(const QDate &day)
{
    return day.addDays(1 - day.dayOfWeek());
}

WeekChart buildWeekChart(const RelayProgram &program, const QDate &day, const QDate &today)
{
    return ChartBuilder(program, mondayOfWeek(day), today).run();
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
