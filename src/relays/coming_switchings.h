#pragma once

#include "relays/program_checks.h"
#include "relays/switching_spans.h"
#include "store/relay_program.h"

#include <QDateTime>
#include <QList>

namespace platine {

inline constexpr int kDefaultComingDays = 14;
inline constexpr int kMaxComingDays = 366;

// One switching the board is told to make.
struct Switching
{
    BoardMinute moment = 0;  // on the board's clock
    int relay = 0;           // 1..6
    int window = 0;          // 0..2
    bool on = false;         // switch-on, else switch-off
    bool flagged = false;    // a remark concerns this window or its relay

    QDate date() const { return boardDate(moment); }
    int minuteOfDay() const { return boardMinuteOfDay(moment); }

    friend bool operator==(const Switching &, const Switching &) = default;
};

// What the board will do over a period, by the rules the week chart draws.
struct ComingSwitchings
{
    BoardMinute from = 0;  // the first minute looked at
    BoardMinute to = 0;    // the minute after the last one
    // The switchings within the period, in time order (then relay, then window). Only relays
    // whose "Relais Actif" box is ticked switch anything.
    QList<Switching> switchings;
    // The active relays' windows that overlap the period, each once, whole (a window already
    // running at from starts before it): one calendar event each.
    QList<SwitchingSpan> windows;
    QList<ProgramFinding> findings;  // the remarks on the program, dated by from's day
};

// The switchings from the moment given (on the board's clock: a local date and time; a
// switching at that very minute counts unless the moment has gone past its start) over days
// days (1 .. kMaxComingDays; values outside are brought within).
ComingSwitchings comingSwitchings(const RelayProgram &program, const QDateTime &from,
                                  int days = kDefaultComingDays);

// The texts of the remarks concerning one window or its whole relay.
QStringList remarksOnWindow(const QList<ProgramFinding> &findings, int relay, int window);

}  // namespace platine
