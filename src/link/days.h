#pragma once

#include <QString>
#include <QStringList>

namespace platine {

// The board numbers the days of the week with Sunday first: 1 "Dimanche" ... 7 "Samedi",
// whatever the PC's regional settings. The day lists of the relay editor hold the same seven
// names followed by three groups; a list index plus one is the day code sent to the board:
// 8 "Samedi et Dimanche", 9 "Lundi à Vendredi", 10 "Tous les jours", 0 for no choice.

// The seven French day names, Sunday first.
const QStringList &weekDayNames();

// The ten items of a relay's day list, in list order.
const QStringList &dayListItems();

// The board's day number (1 = Sunday .. 7 = Saturday) for an exact, case-sensitive day name;
// 0 for any other text.
int dayNumberForName(const QString &name);

// The French name of a Qt day of the week (1 = Monday .. 7 = Sunday, as QDate::dayOfWeek()).
QString dayNameForQtDayOfWeek(int qtDayOfWeek);

// Index of a Qt day of the week in the Sunday-first numbering (Sunday = 0 .. Saturday = 6).
int sundayFirstIndex(int qtDayOfWeek);

}  // namespace platine
