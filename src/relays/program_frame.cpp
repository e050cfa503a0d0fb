#include "relays/program_frame.h"

#include "link/digit_fields.h"

namespace platine {

QString ProgramFieldError::detail() const
{
    // « Relais N°2, Début 1 » est vide ; attendu hh:mm:ss, par exemple 08:30:00.
    const QString field = textSlotDescription(textIndex);
    const QString problem =
        text.isEmpty()
            ? QStringLiteral("« %1 » est vide").arg(field)
            : QStringLiteral("« %1 » : %2").arg(field, describeUnreadable(text, badPositions));
    QString result = QStringLiteral("%1 ; attendu %2.").arg(problem, expectedFormDescription(kind));
    if (!relayEnabled) {
        // Why a relay the user left inactive still has to be filled in.
        result += QStringLiteral(" Le %1 est inactif, mais les relais inactifs sont envoyés "
                                 "aussi.")
                      .arg(relayCaption(relay));
    }
    return result;
}

QString ProgramFieldError::message() const
{
    return QStringLiteral("Programme non envoyé : %1").arg(detail());
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
