#include "relays/coming_switchings.h"

#include <algorithm>
#include <tuple>

namespace platine {

ComingSwitchings comingSwitchings(const RelayProgram &program, const QDateTime &from, int days)
{
    days = std::clamp(days, 1, kMaxComingDays);
    const QDate firstDay = from.date();
    const QTime time = from.time();
    // A minute that has begun is past: its switchings have been made.
    const bool minuteBegun = time.second() > 0 || time.msec() > 0;

    ComingSwitchings coming;
    coming.from = boardMinute(firstDay, time.hour() * 60 + time.minute() + (minuteBegun ? 1 : 0));
    coming.to = coming.from + qint64(days) * kMinutesPerDay;
    coming.findings = checkProgram(program, firstDay);

    const QDate lastDay = boardDate(coming.to - 1);
    for (const SwitchingSpan &span : switchingSpans(program, coming.findings, firstDay, lastDay)) {
        if (!span.active || span.end <= coming.from || span.start >= coming.to)
            continue;
        coming.windows.append(span);
        for (const bool on : {true, false}) {
            const BoardMinute moment = on ? span.start : span.end;
            if (moment >= coming.from && moment < coming.to)
                coming.switchings.append({moment, span.relay, span.window, on, span.flagged});
        }
    }
    std::stable_sort(coming.switchings.begin(), coming.switchings.end(),
                     [](const Switching &a, const Switching &b) {
                         return std::tie(a.moment, a.relay, a.window) <
                                std::tie(b.moment, b.relay, b.window);
                     });
    return coming;
}

QStringList remarksOnWindow(const QList<ProgramFinding> &findings, int relay, int window)
{
    QStringList remarks;
    for (const ProgramFinding &finding : findings) {
        if (finding.relay == relay && (finding.window == window || finding.window < 0))
            remarks.append(finding.text());
    }
    return remarks;
}

}  // namespace platine
