#include "relays/program_differences.h"

#include "link/days.h"
#include "relays/program_decode.h"
#include "relays/program_frame.h"
#include "relays/program_text.h"
#include "store/visible_text.h"

namespace platine {

namespace {

QString shown(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("—") : visibleText(text);
}

// "Relais N°1, heure de Début 1", "Relais N°3, date de Fin 2", "Relais N°5, Mois - Année".
QString slotCaption(int slot)
{
    const TextSlotInfo info = textSlotInfo(slot);
    if (info.kind == SlotKind::Time)
        return QStringLiteral("%1, heure de %2")
            .arg(relayCaption(info.relay), rowCaption(info.row));
    return textSlotDescription(slot);
}

QString change(const QString &what, const QString &before, const QString &after)
{
    return QStringLiteral("%1 : %2 → %3").arg(what, before, after);
}

}  // namespace

QStringList programDifferences(const RelayProgram &before, const RelayProgram &after)
{
    QStringList lines;
    for (const RelayLayout &layout : relayLayouts()) {
        const QString relay = relayCaption(layout.relay);
        const int enable = layout.enableIndex;
        if (before.enables.at(enable) != after.enables.at(enable))
            lines.append(change(relay, enableText(before.enables.at(enable)),
                                enableText(after.enables.at(enable))));
        if (layout.dayChoice >= 0 &&
            before.dayChoices.at(layout.dayChoice) != after.dayChoices.at(layout.dayChoice))
            lines.append(change(relay + QStringLiteral(", jours"),
                                dayChoiceText(before.dayChoices.at(layout.dayChoice)),
                                dayChoiceText(after.dayChoices.at(layout.dayChoice))));
        QList<int> fields;
        if (layout.monthYearSlot >= 0)
            fields.append(layout.monthYearSlot);
        for (int row = 0; row < kTimeSlotsPerRelay; ++row) {
            if (layout.firstDateSlot >= 0)
                fields.append(layout.firstDateSlot + row);
            fields.append(layout.firstTimeSlot + row);
        }
        for (const int slot : fields)
            if (before.texts.at(slot) != after.texts.at(slot))
                lines.append(change(slotCaption(slot), shown(before.texts.at(slot)),
                                    shown(after.texts.at(slot))));
    }
    return lines;
}

RelayProgram programAsSent(const RelayProgram &program)
{
    const ProgramEncodeResult encoded = encodeProgram(program);
    if (!encoded.ok())
        return program;
    return programFromFrame(programFrame(encoded.bytes)).value_or(program);
}

}  // namespace platine
