#include "relays/program_text.h"

#include "link/days.h"
#include "relays/program_frame.h"
#include "store/visible_text.h"

#include <QJsonObject>

namespace platine {

namespace {

QString slotText(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("—") : visibleText(text);
}

}  // namespace

QString dayChoiceText(int choice)
{
    if (choice < 0 || choice >= dayListItems().size())
        return QStringLiteral("aucun");
    return dayListItems().at(choice);
}

QString enableText(int enable)
{
    switch (enable) {
    case 1:
        return QStringLiteral("actif");
    case 2:
        return QStringLiteral("inactif (case grisée)");
    default:
        return QStringLiteral("inactif");
    }
}

QString programText(const RelayProgram &program)
{
    QString text;
    for (const RelayLayout &layout : relayLayouts()) {
        text += QStringLiteral("%1 (%2) : %3\n")
                    .arg(relayCaption(layout.relay), relayKindCaption(layout.kind),
                         enableText(program.enables.at(layout.enableIndex)));
        if (layout.dayChoice >= 0)
            text += QStringLiteral("  Jours : %1\n")
                        .arg(dayChoiceText(program.dayChoices.at(layout.dayChoice)));
        if (layout.monthYearSlot >= 0)
            text += QStringLiteral("  Mois - Année : %1\n")
                        .arg(slotText(program.texts.at(layout.monthYearSlot)));
        for (int window = 0; window < kTimeSlotsPerRelay / 2; ++window) {
            const int start = layout.firstTimeSlot + 2 * window;
            QString line = QStringLiteral("  Plage %1 : %2 -> %3")
                               .arg(window + 1)
                               .arg(slotText(program.texts.at(start)), -8)
                               .arg(slotText(program.texts.at(start + 1)), -8);
            if (layout.firstDateSlot >= 0) {
                const int date = layout.firstDateSlot + 2 * window;
                line = QStringLiteral("  Plage %1 : le %2 à %3 -> le %4 à %5")
                           .arg(window + 1)
                           .arg(slotText(program.texts.at(date)), -10)
                           .arg(slotText(program.texts.at(start)), -8)
                           .arg(slotText(program.texts.at(date + 1)), -10)
                           .arg(slotText(program.texts.at(start + 1)), -8);
            }
            text += line.trimmed().prepend(QStringLiteral("  ")) + u'\n';
        }
    }
    const ProgramEncodeResult encoded = encodeProgram(program);
    if (!encoded.ok())
        text += QStringLiteral("Attention : %1\n").arg(encoded.error->message());
    return text;
}

QJsonArray programJson(const RelayProgram &program)
{
    QJsonArray relays;
    for (const RelayLayout &layout : relayLayouts()) {
        const int enable = program.enables.at(layout.enableIndex);
        QJsonObject relay{
            {QStringLiteral("relay"), layout.relay},
            {QStringLiteral("kind"), relayKindKey(layout.kind)},
            {QStringLiteral("active"), enable == 1},
            {QStringLiteral("enable"), enable},
        };
        QJsonArray windows;
        for (int window = 0; window < kTimeSlotsPerRelay / 2; ++window) {
            const int start = layout.firstTimeSlot + 2 * window;
            QJsonObject entry{{QStringLiteral("start"), program.texts.at(start)},
                              {QStringLiteral("end"), program.texts.at(start + 1)}};
            if (layout.firstDateSlot >= 0) {
                const int date = layout.firstDateSlot + 2 * window;
                entry.insert(QStringLiteral("startDate"), program.texts.at(date));
                entry.insert(QStringLiteral("endDate"), program.texts.at(date + 1));
            }
            windows.append(entry);
        }
        relay.insert(QStringLiteral("windows"), windows);
        if (layout.dayChoice >= 0) {
            const int choice = program.dayChoices.at(layout.dayChoice);
            relay.insert(QStringLiteral("dayChoice"), choice);
            relay.insert(QStringLiteral("days"), dayChoiceText(choice));
        }
        if (layout.monthYearSlot >= 0)
            relay.insert(QStringLiteral("monthYear"), program.texts.at(layout.monthYearSlot));
        relays.append(relay);
    }
    return relays;
}

}  // namespace platine
