#include "relays/switching_spans.h"

#include "link/days.h"

namespace platine {

namespace {

bool concerns(const ProgramFinding &finding, int relay, int window)
{
    return finding.relay == relay && (finding.window == window || finding.window < 0);
}

class SpanBuilder
{
public:
    SpanBuilder(const RelayProgram &program, const QList<ProgramFinding> &findings,
                const QDate &first, const QDate &last)
        : program_(program), findings_(findings), first_(first), last_(last)
    {}

    QList<SwitchingSpan> run()
    {
        for (const RelayLayout &layout : relayLayouts()) {
            for (int window = 0; window < 3; ++window) {
                if (followable(layout.relay, window))
                    addWindow(layout, window);
            }
        }
        return spans_;
    }

private:
    const QString &text(int slot) const { return program_.texts[static_cast<size_t>(slot)]; }

    bool followable(int relay, int window) const
    {
        for (const ProgramFinding &finding : findings_) {
            if (finding.unknownBehaviour && concerns(finding, relay, window))
                return false;
        }
        return true;
    }

    bool flagged(int relay, int window) const
    {
        for (const ProgramFinding &finding : findings_) {
            if (concerns(finding, relay, window))
                return true;
        }
        return false;
    }

    void addSpan(const RelayLayout &layout, int window, BoardMinute start, BoardMinute end)
    {
        if (end <= start || end <= boardMinute(first_, 0) ||
            start >= boardMinute(last_.addDays(1), 0))
            return;
        SwitchingSpan span;
        span.relay = layout.relay;
        span.window = window;
        span.start = start;
        span.end = end;
        span.active = program_.enables[static_cast<size_t>(layout.enableIndex)] == 1;
        span.flagged = flagged(layout.relay, window);
        spans_.append(span);
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
            if (onDate.isValid() && offDate.isValid())
                addSpan(layout, window, boardMinute(onDate, on.minuteOfDay()),
                        boardMinute(offDate, off.minuteOfDay()));
            return;
        }

        const int choice = program_.dayChoices[static_cast<size_t>(layout.dayChoice)];
        QDate month;
        if (layout.kind == RelayKind::Month) {
            month = readBoardMonth(text(layout.monthYearSlot));
            if (!month.isValid())
                return;
        }
        for (QDate date = first_; date <= last_; date = date.addDays(1)) {
            if (!dayChoiceCovers(choice, date.dayOfWeek()))
                continue;
            if (month.isValid() && (date.year() != month.year() || date.month() != month.month()))
                continue;
            addSpan(layout, window, boardMinute(date, on.minuteOfDay()),
                    boardMinute(date, off.minuteOfDay()));
        }
    }

    const RelayProgram &program_;
    const QList<ProgramFinding> &findings_;
    QDate first_;
    QDate last_;
    QList<SwitchingSpan> spans_;
};

}  // namespace

bool dayChoiceCovers(int choice, int qtDayOfWeek)
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

QList<SwitchingSpan> switchingSpans(const RelayProgram &program,
                                    const QList<ProgramFinding> &findings, const QDate &first,
                                    const QDate &last)
{
    return SpanBuilder(program, findings, first, last).run();
}

}  // namespace platine
