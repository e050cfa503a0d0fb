#include "link/days.h"

namespace platine {

const QStringList &weekDayNames()
{
    static const QStringList names = {
        QStringLiteral("Dimanche"), QStringLiteral("Lundi"), QStringLiteral("Mardi"),
        QStringLiteral("Mercredi"), QStringLiteral("Jeudi"), QStringLiteral("Vendredi"),
        QStringLiteral("Samedi"),
    };
    return names;
}

const QStringList &dayListItems()
{
    static const QStringList items =
        weekDayNames() + QStringList{QStringLiteral("Samedi et Dimanche"),
                                     QStringLiteral("Lundi à Vendredi"),
                                     QStringLiteral("Tous les jours")};
    return items;
}

int dayNumberForName(const QString &name)
{
    const qsizetype index = weekDayNames().indexOf(name);
    return index < 0 ? 0 : static_cast<int>(index) + 1;
}

int sundayFirstIndex(int qtDayOfWeek)
{
    return qtDayOfWeek % 7;
}

QString dayNameForQtDayOfWeek(int qtDayOfWeek)
{
    if (qtDayOfWeek < 1 || qtDayOfWeek > 7)
        return {};
    return weekDayNames().at(sundayFirstIndex(qtDayOfWeek));
}

}  // namespace platine
