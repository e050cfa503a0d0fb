#include "relays/program_frame.h"

#include "link/digit_fields.h"

namespace platine {

QString ProgramFieldError::message() const
{
    QString result =
        QStringLiteral("Programme non envoyé : le champ « %1 » doit être de la forme %2 "
                       "(%3).")
            .arg(textSlotDescription(textIndex), expectedFormDescription(kind),
                 describeUnreadable(text, badPositions));
    if (!relayEnabled) {
        result +=
            QStringLiteral(" Le %1 n'est pas actif, mais ses horaires sont transmis à la "
                           "platine avec les autres : ses champs doivent être remplis eux aussi.")
                .arg(relayCaption(relay));
    }
    return result;
}

namespace {

DigitGroupsRead readSlot(const QString &text, SlotKind kind)
{
    switch (kind) {
    case SlotKind::Time:
        return readDigitGroups(text, {1, 4});
    case SlotKind::Date:
        return readDigitGroups(text, {1, 4, 9});
    case SlotKind::MonthYear:
        return readDigitGroups(text, {1, 6});
    }
    return {};
}

quint8 dayCode(int dayChoice)
{
    // A list position 0..9 gives codes 1..10; no choice (or anything the list cannot hold) 0.
    return dayChoice >= 0 && dayChoice <= 9 ? static_cast<quint8>(dayChoice + 1) : 0;
}

}  // namespace

ProgramEncodeResult encodeProgram(const RelayProgram &program)
{
    ProgramEncodeResult result;
    QByteArray bytes;
    bytes.reserve(kProgramByteCount);

    // Appends the slot's bytes to `out`; false (and result.error set) when it cannot be encoded.
    const auto encodeSlot = [&](const RelayLayout &layout, int textIndex, SlotKind kind,
                                QByteArray &out) {
        const QString &text = program.texts[static_cast<size_t>(textIndex)];
        const DigitGroupsRead read = readSlot(text, kind);
        if (!read.ok()) {
            const bool enabled = program.enables[static_cast<size_t>(layout.enableIndex)] == 1;
            result.error =
                ProgramFieldError{textIndex, layout.relay, kind, text, read.badPositions, enabled};
            return false;
        }
        if (kind == SlotKind::MonthYear)
            out.append('\0');  // a month-year stands where a date's day byte would
        for (const quint8 byte : read.bytes)
            out.append(static_cast<char>(byte));
        return true;
    };

    for (const RelayLayout &layout : relayLayouts()) {
        // Fields are read in index order (times, then dates or the month-year), so the first
        // unreadable field reported is the first one in that order.
        QByteArray times;
        QByteArray dates;
        for (int row = 0; row < kTimeSlotsPerRelay; ++row) {
            if (!encodeSlot(layout, layout.firstTimeSlot + row, SlotKind::Time, times))
                return result;
        }
        if (layout.firstDateSlot >= 0) {
            for (int row = 0; row < kTimeSlotsPerRelay; ++row) {
                if (!encodeSlot(layout, layout.firstDateSlot + row, SlotKind::Date, dates))
                    return result;
            }
        }
        if (layout.monthYearSlot >= 0 &&
            !encodeSlot(layout, layout.monthYearSlot, SlotKind::MonthYear, dates)) {
            return result;
        }
        // Block layout: times, day code (weekly and month relays), dates or month-year, enable.
        bytes.append(times);
        if (layout.dayChoice >= 0) {
            const int choice = program.dayChoices[static_cast<size_t>(layout.dayChoice)];
            bytes.append(static_cast<char>(dayCode(choice)));
        }
        bytes.append(dates);
        bytes.append(program.enables[static_cast<size_t>(layout.enableIndex)] == 1 ? '\1' : '\0');
    }
    result.bytes = bytes;
    return result;
}

QByteArray programFrame(const QByteArray &programBytes)
{
    return QByteArray(1, 'B') + programBytes;
}

}  // namespace platine
