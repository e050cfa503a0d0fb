#include "relays/program_edits.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <QTime>

#include <algorithm>

namespace platine {

namespace {

const RelayLayout &layoutOf(int relayIndex)
{
    return relayLayouts().at(static_cast<size_t>(relayIndex));
}

// The text slotIndexes of a relay, in index order.
QList<int> relaySlots(const RelayLayout &layout)
{
    QList<int> slotIndexes;
    for (int row = 0; row < kTimeSlotsPerRelay; ++row)
        slotIndexes.append(layout.firstTimeSlot + row);
    if (layout.firstDateSlot >= 0) {
        for (int row = 0; row < kTimeSlotsPerRelay; ++row)
            slotIndexes.append(layout.firstDateSlot + row);
    }
    if (layout.monthYearSlot >= 0)
        slotIndexes.append(layout.monthYearSlot);
    return slotIndexes;
}

QString &text(RelayProgram &program, int slot)
{
    return program.texts[static_cast<size_t>(slot)];
}

const QString &text(const RelayProgram &program, int slot)
{
    return program.texts[static_cast<size_t>(slot)];
}

void setNeutral(RelayProgram &program, const RelayLayout &layout, const QDate &today)
{
    const QString date = QLocale::c().toString(today, u"dd/MM/yyyy");
    for (int row = 0; row < kTimeSlotsPerRelay; ++row) {
        text(program, layout.firstTimeSlot + row) = QStringLiteral("00:00:00");
        if (layout.firstDateSlot >= 0)
            text(program, layout.firstDateSlot + row) = date;
    }
    if (layout.monthYearSlot >= 0)
        text(program, layout.monthYearSlot) = date.mid(3);
    if (layout.dayChoice >= 0)
        program.dayChoices[static_cast<size_t>(layout.dayChoice)] = -1;
    program.enables[static_cast<size_t>(layout.enableIndex)] = 0;
}

// The rows (time, and date for dated relays) of one window: 2 * window and 2 * window + 1.
QStringList windowTexts(const RelayProgram &program, const RelayLayout &layout, int window)
{
    QStringList texts;
    for (int row = 2 * window; row <= 2 * window + 1; ++row) {
        texts.append(text(program, layout.firstTimeSlot + row));
        if (layout.firstDateSlot >= 0)
            texts.append(text(program, layout.firstDateSlot + row));
    }
    return texts;
}

std::optional<QString> proposedTime(const QString &text)
{
    // 7:30, 07:30, 7:30:15, 7h30, 7h, 07h30m, 0730, 730 is left alone (7:30 or 73:0?).
    static const QRegularExpression separated(QStringLiteral(
        "^\\s*(\\d{1,2})\\s*[:hH.]\\s*(\\d{2})?\\s*(?:[:mM.]\\s*(\\d{2})?\\s*[sS]?)?\\s*$"));
    static const QRegularExpression packed(QStringLiteral("^\\s*(\\d{2})(\\d{2})(\\d{2})?\\s*$"));
    QRegularExpressionMatch match = separated.match(text);
    if (!match.hasMatch())
        match = packed.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QTime time(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt());
    if (!time.isValid())
        return std::nullopt;
    return QLocale::c().toString(time, u"HH:mm:ss");
}

std::optional<QString> proposedDate(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{1,2})\\s*([/.-])\\s*(\\d{1,2})\\s*\\2\\s*(\\d{4})\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(4).toInt(), match.captured(3).toInt(),
                     match.captured(1).toInt());
    if (!date.isValid())
        return std::nullopt;
    return QLocale::c().toString(date, u"dd/MM/yyyy");
}

std::optional<QString> proposedMonthYear(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{1,2})\\s*[/.-]\\s*(\\d{4})\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int month = match.captured(1).toInt();
    if (month < 1 || month > 12)
        return std::nullopt;
    return QStringLiteral("%1/%2").arg(month, 2, 10, QLatin1Char('0')).arg(match.captured(2));
}

}  // namespace

RelayProgram neutralProgram(const QDate &today)
{
    RelayProgram program;
    for (const RelayLayout &layout : relayLayouts())
        setNeutral(program, layout, today);
    return program;
}

RelayProgram clearedRelay(const RelayProgram &program, int relayIndex, const QDate &today)
{
    RelayProgram result = program;
    setNeutral(result, layoutOf(relayIndex), today);
    return result;
}

QList<int> relaysOfSameKind(int relayIndex)
{
    QList<int> same;
    for (int other = 0; other < kRelayCount; ++other) {
        if (other != relayIndex && layoutOf(other).kind == layoutOf(relayIndex).kind)
            same.append(other);
    }
    return same;
}

RelayProgram copiedRelay(const RelayProgram &program, int from, int to)
{
    const RelayLayout &source = layoutOf(from);
    const RelayLayout &target = layoutOf(to);
    RelayProgram result = program;
    if (source.kind != target.kind || from == to)
        return result;
    const QList<int> sourceIndexes = relaySlots(source);
    const QList<int> targetIndexes = relaySlots(target);
    for (qsizetype i = 0; i < sourceIndexes.size(); ++i)
        text(result, targetIndexes.at(i)) = text(program, sourceIndexes.at(i));
    if (source.dayChoice >= 0)
        result.dayChoices[static_cast<size_t>(target.dayChoice)] =
            program.dayChoices[static_cast<size_t>(source.dayChoice)];
    result.enables[static_cast<size_t>(target.enableIndex)] =
        program.enables[static_cast<size_t>(source.enableIndex)];
    return result;
}

RelayProgram firstWindowCopied(const RelayProgram &program, int relayIndex)
{
    const RelayLayout &layout = layoutOf(relayIndex);
    RelayProgram result = program;
    for (int row = 2; row < kTimeSlotsPerRelay; ++row) {
        text(result, layout.firstTimeSlot + row) = text(program, layout.firstTimeSlot + row % 2);
        if (layout.firstDateSlot >= 0)
            text(result, layout.firstDateSlot + row) =
                text(program, layout.firstDateSlot + row % 2);
    }
    return result;
}

bool canCopyFirstWindow(const RelayProgram &program, int relayIndex)
{
    const RelayLayout &layout = layoutOf(relayIndex);
    const QStringList first = windowTexts(program, layout, 0);
    const bool empty =
        std::all_of(first.cbegin(), first.cend(), [](const QString &t) { return t.isEmpty(); });
    return !empty &&
           (windowTexts(program, layout, 1) != first || windowTexts(program, layout, 2) != first);
}

bool relayIsEmpty(const RelayProgram &program, int relayIndex)
{
    const QList<int> slotIndexes = relaySlots(layoutOf(relayIndex));
    return std::all_of(slotIndexes.cbegin(), slotIndexes.cend(),
                       [&program](int slot) { return text(program, slot).isEmpty(); });
}

QList<ProgramFieldError> unsendableFields(const RelayProgram &program)
{
    // The upload stops at the first field it cannot read: blank that field's text out with a
    // readable one and read again, until everything reads.
    QList<ProgramFieldError> fields;
    RelayProgram remaining = program;
    for (;;) {
        const ProgramEncodeResult encoded = encodeProgram(remaining);
        if (encoded.ok())
            return fields;
        fields.append(*encoded.error);
        static const QString kReadable[] = {
            QStringLiteral("00:00:00"), QStringLiteral("01/01/2000"), QStringLiteral("01/2000")};
        text(remaining, encoded.error->textIndex) =
            kReadable[static_cast<int>(encoded.error->kind)];
    }
}

std::optional<QString> proposedForm(SlotKind kind, const QString &text)
{
    std::optional<QString> proposal;
    switch (kind) {
    case SlotKind::Time:
        proposal = proposedTime(text);
        break;
    case SlotKind::Date:
        proposal = proposedDate(text);
        break;
    case SlotKind::MonthYear:
        proposal = proposedMonthYear(text);
        break;
    }
    if (proposal == text)
        return std::nullopt;
    return proposal;
}

ProgramCorrection correctedProgram(const RelayProgram &program, const QDate &today)
{
    ProgramCorrection correction{program, 0, {}};
    for (int relay = 0; relay < kRelayCount; ++relay) {
        if (relayIsEmpty(program, relay) &&
            program.enables[static_cast<size_t>(layoutOf(relay).enableIndex)] != 1) {
            correction.corrected = clearedRelay(correction.corrected, relay, today);
            correction.neutralRelays.append(relay);
        }
    }
    for (const ProgramFieldError &field : unsendableFields(correction.corrected)) {
        if (const std::optional<QString> form = proposedForm(field.kind, field.text)) {
            text(correction.corrected, field.textIndex) = *form;
            ++correction.proposals;
        }
    }
    return correction;
}

QString unsendableMessage(const RelayProgram &program, const QList<ProgramFieldError> &fields,
                          const ProgramCorrection &correction)
{
    if (fields.isEmpty())
        return {};
    const ProgramFieldError &first = fields.first();
    QString message = fields.size() == 1
                          ? first.message()
                          : QStringLiteral("Programme non envoyé : %1 champs ne peuvent pas être "
                                           "envoyés, marqués en rouge. Le premier, %2")
                                .arg(fields.size())
                                .arg(first.detail());
    if (const std::optional<QString> form =
            proposedForm(first.kind, program.texts[static_cast<size_t>(first.textIndex)]))
        message += QStringLiteral(" Forme proposée : « %1 ».").arg(*form);

    QStringList fixes;
    if (correction.proposals == 1)
        fixes << QStringLiteral("écrire 1 champ dans sa forme");
    else if (correction.proposals > 1)
        fixes << QStringLiteral("écrire %1 champs dans leur forme").arg(correction.proposals);
    if (!correction.neutralRelays.isEmpty()) {
        QStringList relays;
        for (const int relay : correction.neutralRelays)
            relays << QStringLiteral("N°%1").arg(relay + 1);
        fixes << QStringLiteral("donner aux relais vides et inactifs (%1) les valeurs de "
                                "« Nouveau »")
                     .arg(relays.join(QStringLiteral(", ")));
    }
    if (!fixes.isEmpty())
        message += QStringLiteral(" « Corriger » va %1 ; rien n'est envoyé avant.")
                       .arg(fixes.join(QStringLiteral(" et ")));
    return message;
}

}  // namespace platine
