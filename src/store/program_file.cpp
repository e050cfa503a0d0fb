#include "store/program_file.h"

#include "store/leading_number.h"

#include <optional>

namespace platine {

namespace {

const QString kKey = QStringLiteral("valeur");
constexpr int kReadCapacity = 20;  // values are read as at most 19 characters

QString textSection(int index)
{
    return QStringLiteral("txt%1").arg(index);
}

QString dayChoiceSection(int index)
{
    return QStringLiteral("cmb%1").arg(index);
}

QString enableSection(int index)
{
    return QStringLiteral("chk%1").arg(index);
}

// At most 19 characters, then without the blanks left at its start (a quoted value may keep
// blanks inside its quotes).
QString storedValue(const ProfileDocument &document, const QString &section)
{
    const std::optional<QString> value = document.value(section, kKey);
    if (!value)
        return {};
    QStringView text = QStringView(*value).left(kReadCapacity - 1);
    while (!text.isEmpty() && (text.front() == u' ' || text.front() == u'\t'))
        text = text.sliced(1);
    return text.toString();
}

StoredNumber storedNumber(const ProfileDocument &document, const QString &section, int lowest,
                          int highest)
{
    const std::optional<int> number = wholeNumberAtStart(storedValue(document, section));
    if (!number)
        return {0, false};
    return {*number, *number >= lowest && *number <= highest};
}

QString quoted(const QString &text)
{
    return QStringLiteral("« %1 »").arg(text);
}

// The stored day choices and enable values that are not one the editor writes.
QStringList unusualValuesOf(const ProfileDocument &document, const ProgramReadResult &read)
{
    QStringList remarks;
    static const QStringList dayChoices = {
        QStringLiteral("-1"), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
        QStringLiteral("3"),  QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
        QStringLiteral("7"),  QStringLiteral("8"), QStringLiteral("9")};
    for (const RelayLayout &layout : relayLayouts()) {
        const QString relay = relayCaption(layout.relay);
        if (layout.dayChoice >= 0) {
            const std::optional<QString> value =
                document.value(dayChoiceSection(layout.dayChoice), kKey);
            if (value && !dayChoices.contains(value->trimmed())) {
                const StoredNumber number = read.dayChoices[layout.dayChoice];
                remarks << QStringLiteral("%1, Jour(s) concerné(s) : la valeur %2 du fichier "
                                          "n'est pas un choix de jour (-1 à 9) ; %3")
                               .arg(relay, quoted(value->trimmed()),
                                    number.inRange
                                        ? QStringLiteral("elle est lue comme le choix %1.")
                                              .arg(number.value)
                                        : QStringLiteral("elle est ignorée."));
            }
        }
        const std::optional<QString> enable =
            document.value(enableSection(layout.enableIndex), kKey);
        if (enable && enable->trimmed() != QStringLiteral("0") &&
            enable->trimmed() != QStringLiteral("1")) {
            const StoredNumber number = read.enables[layout.enableIndex];
            QString reading = QStringLiteral("elle est ignorée.");
            if (number.inRange && number.value == 2)
                reading = QStringLiteral("elle est lue comme une case grisée (relais inactif).");
            else if (number.inRange)
                reading = number.value == 1 ? QStringLiteral("elle est lue comme cochée.")
                                            : QStringLiteral("elle est lue comme non cochée.");
            remarks << QStringLiteral("%1, Relais Actif : la valeur %2 du fichier n'est ni 0 ni "
                                      "1 ; %3")
                           .arg(relay, quoted(enable->trimmed()), reading);
        }
    }
    return remarks;
}

}  // namespace

void ProgramReadResult::applyTo(RelayProgram &program) const
{
    program.texts = texts;
    for (int i = 0; i < kDayChoiceCount; ++i) {
        if (dayChoices[i].inRange)
            program.dayChoices[i] = dayChoices[i].value;
    }
    for (int i = 0; i < kRelayCount; ++i) {
        if (enables[i].inRange)
            program.enables[i] = enables[i].value;
    }
}

QList<ProfileEntry> programEntries(const RelayProgram &program)
{
    QList<ProfileEntry> entries;
    entries.reserve(kTextSlotCount + kDayChoiceCount + kRelayCount);
    for (int i = 0; i < kTextSlotCount; ++i)
        entries.append({textSection(i), kKey, program.texts[i]});
    for (int i = 0; i < kDayChoiceCount; ++i)
        entries.append({dayChoiceSection(i), kKey, QString::number(program.dayChoices[i])});
    for (int i = 0; i < kRelayCount; ++i) {
        entries.append({enableSection(i), kKey,
                        program.enables[i] == 1 ? QStringLiteral("1") : QStringLiteral("0")});
    }
    return entries;
}

ProfileWriteResult writeProgram(const QString &path, const RelayProgram &program)
{
    return writeProfileStrings(path, programEntries(program));
}

ProgramReadResult readProgram(const QString &path)
{
    return readProgram(loadProfileFile(path));
}

ProgramReadResult readProgram(const ProfileFileContents &contents)
{
    ProgramReadResult result;
    result.status = contents.status;
    result.errorMessage = contents.errorMessage;
    const ProfileDocument &document = contents.document;  // empty unless read
    for (int i = 0; i < kTextSlotCount; ++i)
        result.texts[i] = storedValue(document, textSection(i));
    for (int i = 0; i < kDayChoiceCount; ++i)
        result.dayChoices[i] = storedNumber(document, dayChoiceSection(i), -1, 9);
    for (int i = 0; i < kRelayCount; ++i)
        result.enables[i] = storedNumber(document, enableSection(i), 0, 2);
    for (int i = 0; i < kTextSlotCount && !result.holdsProgram; ++i)
        result.holdsProgram = document.hasSection(textSection(i));
    for (int i = 0; i < kDayChoiceCount && !result.holdsProgram; ++i)
        result.holdsProgram = document.hasSection(dayChoiceSection(i));
    for (int i = 0; i < kRelayCount && !result.holdsProgram; ++i)
        result.holdsProgram = document.hasSection(enableSection(i));
    result.unusualValues = unusualValuesOf(document, result);
    return result;
}

}  // namespace platine
