#pragma once

#include "relays/program_checks.h"
#include "relays/switching_spans.h"
#include "store/relay_program.h"

#include <QDate>
#include <QList>

namespace platine {

// One stretch of a day during which the board is told to keep a relay switched on.
struct ChartBar
{
    int relay = 0;         // 1..6
    int window = 0;        // 0..2
    int day = 0;           // 0..6 from the week's Monday
    int startMinute = 0;   // 0..1439
    int endMinute = 0;     // startMinute + 1 .. 1440
    bool active = false;   // the relay's "Relais Actif" box is ticked
    bool flagged = false;  // a remark concerns this window or its relay

    friend bool operator==(const ChartBar &, const ChartBar &) = default;
};

// What the board is told to do during one week, Monday to Sunday.
struct WeekChart
{
    QDate monday;
    QDate today;
    QList<ChartBar> bars;  // relay by relay, window by window, day by day
    QList<ProgramFinding> findings;
};

// The Monday of the week that holds day.
QDate mondayOfWeek(const QDate &day);

// The chart of the week that holds day. Windows whose outcome on the board cannot be told (a
// time or a date that does not exist, an end before its start) give no bar; a window whose start
// and end are the same switches nothing and gives none either. Inactive relays keep their bars.
WeekChart buildWeekChart(const RelayProgram &program, const QDate &day, const QDate &today);

// "semaine du lundi 7 au dimanche 13 décembre 2026"
QString weekCaption(const QDate &monday);

}  // namespace platine
