#pragma once

#include "store/relay_program.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace platine::test {

// A program whose every text slot holds what `text` gives for it, from its index and its kind;
// no day chosen, no relay enabled.
inline RelayProgram programFilledBy(const std::function<QString(int slot, SlotKind kind)> &text)
{
    RelayProgram program;
    for (int i = 0; i < kTextSlotCount; ++i)
        program.texts[static_cast<size_t>(i)] = text(i, textSlotInfo(i).kind);
    return program;
}

// Every time, date and month-year slot holding the one text given for its kind.
inline RelayProgram programFilledWith(const QString &time, const QString &date,
                                      const QString &monthYear)
{
    return programFilledBy([&](int, SlotKind kind) {
        switch (kind) {
        case SlotKind::Time:
            return time;
        case SlotKind::Date:
            return date;
        case SlotKind::MonthYear:
            break;
        }
        return monthYear;
    });
}

// A program whose every field encodes: every time 00:00:00, every date 01/01/2000, every
// month-year 01/2000, all day lists on "Dimanche", no relay enabled.
inline RelayProgram encodableProgram()
{
    return programFilledWith(QStringLiteral("00:00:00"), QStringLiteral("01/01/2000"),
                             QStringLiteral("01/2000"));
}

// A full timetable that encodes, its fields differing from slot to slot: each time hh:mm:00
// (hh: the slot's index modulo 24, or `hour` when given; mm: its index), each date dd/12/2007
// (dd: the index modulo 28, plus 1), each month-year 03/2008. No day chosen, no relay enabled.
inline RelayProgram fullProgram(int hour = -1)
{
    return programFilledBy([hour](int slot, SlotKind kind) {
        switch (kind) {
        case SlotKind::Time:
            return QStringLiteral("%1:%2:00")
                .arg(hour >= 0 ? hour : slot % 24, 2, 10, QLatin1Char('0'))
                .arg(slot % 60, 2, 10, QLatin1Char('0'));
        case SlotKind::Date:
            return QStringLiteral("%1/12/2007").arg(slot % 28 + 1, 2, 10, QLatin1Char('0'));
        case SlotKind::MonthYear:
            break;
        }
        return QStringLiteral("03/2008");
    });
}

// Every relay with the same six times (on 1, off 1, on 2, off 2, on 3, off 3), every date of
// the dated relays and every month-year as given, every day list on dayChoice and every relay
// enabled or not.
inline RelayProgram programOnEveryRelay(const QStringList &times, const QString &date,
                                        const QString &monthYear, int dayChoice, bool enabled)
{
    RelayProgram program;
    for (const RelayLayout &layout : relayLayouts()) {
        for (int row = 0; row < kTimeSlotsPerRelay; ++row) {
            program.texts[static_cast<size_t>(layout.firstTimeSlot + row)] = times.value(row);
            if (layout.firstDateSlot >= 0)
                program.texts[static_cast<size_t>(layout.firstDateSlot + row)] = date;
        }
        if (layout.monthYearSlot >= 0)
            program.texts[static_cast<size_t>(layout.monthYearSlot)] = monthYear;
        if (layout.dayChoice >= 0)
            program.dayChoices[static_cast<size_t>(layout.dayChoice)] = dayChoice;
        program.enables[static_cast<size_t>(layout.enableIndex)] = enabled ? 1 : 0;
    }
    return program;
}

}  // namespace platine::test
