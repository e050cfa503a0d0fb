#include "store/relay_program.h"

namespace platine {

const std::array<RelayLayout, kRelayCount> &relayLayouts()
{
    static const std::array<RelayLayout, kRelayCount> layouts = {{
        {1, RelayKind::Weekly, 0, -1, -1, 0, 0},
        {2, RelayKind::Weekly, 6, -1, -1, 1, 1},
        {3, RelayKind::Dated, 12, 18, -1, -1, 2},
        {4, RelayKind::Dated, 24, 30, -1, -1, 3},
        {5, RelayKind::Month, 36, -1, 42, 2, 4},
        {6, RelayKind::Month, 43, -1, 49, 3, 5},
    }};
    return layouts;
}

TextSlotInfo textSlotInfo(int textIndex)
{
    for (const RelayLayout &layout : relayLayouts()) {
        const int timeRow = textIndex - layout.firstTimeSlot;
        if (timeRow >= 0 && timeRow < kTimeSlotsPerRelay)
            return {layout.relay, SlotKind::Time, timeRow};
        if (layout.firstDateSlot >= 0) {
            const int dateRow = textIndex - layout.firstDateSlot;
            if (dateRow >= 0 && dateRow < kTimeSlotsPerRelay)
                return {layout.relay, SlotKind::Date, dateRow};
        }
        if (textIndex == layout.monthYearSlot)
            return {layout.relay, SlotKind::MonthYear, 0};
    }
    return {0, SlotKind::Time, 0};
}

QString relayCaption(int relay)
{
    return QStringLiteral("Relais N°%1").arg(relay);
}

QString rowCaption(int row)
{
    const QString role = row % 2 == 0 ? QStringLiteral("Début") : QStringLiteral("Fin");
    return QStringLiteral("%1 %2").arg(role).arg(row / 2 + 1);
}

QString textSlotDescription(int textIndex)
{
    const TextSlotInfo info = textSlotInfo(textIndex);
    const QString relay = relayCaption(info.relay);
    switch (info.kind) {
    case SlotKind::Time:
        return QStringLiteral("%1, %2").arg(relay, rowCaption(info.row));
    case SlotKind::Date:
        return QStringLiteral("%1, date de %2").arg(relay, rowCaption(info.row));
    case SlotKind::MonthYear:
        return QStringLiteral("%1, Mois - Année").arg(relay);
    }
    return relay;
}

QString relayKindCaption(RelayKind kind)
{
    switch (kind) {
    case RelayKind::Weekly:
        return QStringLiteral("hebdomadaire");
    case RelayKind::Dated:
        return QStringLiteral("à dates");
    case RelayKind::Month:
        return QStringLiteral("mensuel");
    }
    return {};
}

QString relayKindKey(RelayKind kind)
{
    switch (kind) {
    case RelayKind::Weekly:
        return QStringLiteral("weekly");
    case RelayKind::Dated:
        return QStringLiteral("dated");
    case RelayKind::Month:
        return QStringLiteral("month");
    }
    return {};
}

QString expectedFormDescription(SlotKind kind)
{
    switch (kind) {
    case SlotKind::Time:
        return QStringLiteral("hh:mm:ss, par exemple 08:30:00");
    case SlotKind::Date:
        return QStringLiteral("jj/mm/aaaa, par exemple 25/12/2007");
    case SlotKind::MonthYear:
        return QStringLiteral("mm/aaaa, par exemple 12/2007");
    }
    return {};
}

}  // namespace platine
