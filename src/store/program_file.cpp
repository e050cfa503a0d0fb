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
    ProgramReadResult result;
    const ProfileFileContents contents = loadProfileFile(path);
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
    return result;
}

}  // namespace platine
