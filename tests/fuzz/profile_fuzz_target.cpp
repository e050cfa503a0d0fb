// Fuzz target for the profile (INI) document, the profile file functions and the program
// mapping. Built with libFuzzer by scripts/fuzz.sh, and run over the seed corpus by the
// store_profile_fuzz_seeds test.
//
// One input is the bytes of a file, optionally followed by kScriptMark and a script of writes:
// each step is a byte choosing the kind (remainder by 3: 0 or 1, one value, also written to the
// file when the byte is a multiple of 8; 2, a whole program, always written to the file too),
// then its arguments (see readSetStep and readProgram). Reading past the end of the script
// gives zeros. An input without a script gets a default one: the port entry, then a program,
// both written to the file too.
//
// What must hold for every input:
// - nothing crashes and the sanitizers stay quiet;
// - a file without a byte order mark reads and writes back byte for byte;
// - after a write, the document and the document parsed again from its bytes read the same;
// - a write (with a key name that can be written: see isWritableKey) leaves every other value
//   that could be read before as it was, reads back as given when the value is plain (see
//   isPlainValue), and changes nothing when made a second time;
// - the file functions, on a file holding what the document held, give the same bytes as the
//   same writes made on the document when the file has no byte order mark, and change nothing
//   when the same writes are made a second time;
// - a program written into any file reads back with its plain texts and its numbers.
#include "store/profile_document.h"
#include "store/profile_file.h"
#include "store/program_file.h"
#include "store/windows1252.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <vector>

using namespace platine;

namespace {

// Between the file's bytes and the script: two "record separator" controls, which no text file
// holds.
constexpr QByteArrayView kScriptMark = "\x1e\x1e";

constexpr int kMaxSteps = 6;
constexpr qsizetype kMaxFoundNames = 4;  // per kind: sections and keys taken from the file
// Tracked from the start: the names found in the file and the first known names.
constexpr qsizetype kTrackedKnownSections = 3;
constexpr qsizetype kTrackedKnownKeys = 1;
constexpr std::size_t kMaxTrackedPairs = 96;
constexpr int kProgramReadLength = 19;  // program values are read as at most 19 characters

// A value that no file can hold (no line holds a line feed): stands for "missing".
const QString kMissing = QStringLiteral("\n(missing)");

// Characters for the script bytes 0x80..0xFE: accented letters, characters Windows-1252 has
// or lacks, its undefined bytes, blanks that are not ASCII, the byte order mark and lone
// surrogates. 0xFF gives a character outside the Basic Multilingual Plane.
constexpr char16_t kOddCharacters[] = {
    u'é',   u'è',   u'à',   u'ç',   u'œ',   u'€',   u'É',   u'ÿ',   0x0081, 0x008D,
    0x009D, 0x00A0, 0x0101, 0x03A9, 0xFFFD, 0xFEFF, 0xD800, 0xDC00, 0x2028, 0x0085,
};

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "profile fuzz check failed: %s\n", qUtf8Printable(message));
    std::fflush(stderr);
    std::abort();
}

void expect(bool condition, const char *what)
{
    if (!condition)
        fail(QString::fromUtf8(what));
}

QString shown(const std::optional<QString> &value)
{
    return value ? QLatin1Char('"') + *value + QLatin1Char('"') : QStringLiteral("(missing)");
}

void expectSameValue(const std::optional<QString> &actual, const std::optional<QString> &expected,
                     const char *what, const QString &section, const QString &key)
{
    if (actual != expected) {
        fail(QStringLiteral("%1: [%2] %3: %4 instead of %5")
                 .arg(QString::fromUtf8(what), section, key, shown(actual), shown(expected)));
    }
}

bool hasByteOrderMark(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE");
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QString withoutBlankEnds(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin).toString();
}

// A section or key name as a write stores it: CR, LF and NUL turned into blanks, no blanks at
// the ends.
QString storedName(QStringView name)
{
    QString text = name.toString();
    for (QChar &c : text) {
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            c = u' ';
    }
    return withoutBlankEnds(text);
}

bool isWindows1252Text(QStringView text)
{
    return decodeWindows1252(encodeWindows1252(text)) == text;
}

// A name in the forms that decide whether two names may stand for the same entry: equal
// ignoring case, as written or once through Windows-1252 (where the characters it lacks all
// become "?").
struct NameForms
{
    explicit NameForms(QStringView name)
        : stored(storedName(name)), windows1252(decodeWindows1252(encodeWindows1252(stored)))
    {}

    bool maySameAs(const NameForms &other) const
    {
        return stored.compare(other.stored, Qt::CaseInsensitive) == 0 ||
               windows1252.compare(other.windows1252, Qt::CaseInsensitive) == 0;
    }

    QString stored;
    QString windows1252;
};

// A key the file format can hold: one holding "=" or starting with ";" cannot be found again
// once written, and one starting with "[" turns into a section header when its value holds "]".
bool isWritableKey(QStringView key)
{
    const QString name = storedName(key);
    return !name.contains(u'=') && !name.startsWith(u';') && !name.startsWith(u'[');
}

// A value that reads back exactly as written: no blanks at the ends, no line breaks or NUL,
// not between a pair of quotes, and held by every encoding a file may have.
bool isPlainValue(QStringView value)
{
    if (value != withoutBlankEnds(value))
        return false;
    if (value.contains(u'\r') || value.contains(u'\n') || value.contains(QChar(0)))
        return false;
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        return false;
    }
    return isWindows1252Text(value);
}

// ---- The script ----

class ScriptReader
{
public:
    explicit ScriptReader(QByteArrayView bytes) : bytes_(bytes) {}

    bool atEnd() const { return position_ >= bytes_.size(); }
    quint8 byte() { return atEnd() ? 0 : static_cast<quint8>(bytes_[position_++]); }

private:
    QByteArrayView bytes_;
    qsizetype position_ = 0;
};

// Section and key names that a step can name, besides raw text: those found in the file
// first, then those the tool itself uses.
struct NameChoices
{
    QStringList sections;
    QStringList keys;
};

const QStringList &knownSections()
{
    static const QStringList names = {
        QStringLiteral("Port COM"), QStringLiteral("TXT0"), QStringLiteral("chk5"),
        QStringLiteral("txt49"),    QStringLiteral("cmb0"),
    };
    return names;
}

const QStringList &knownKeys()
{
    static const QStringList names = {QStringLiteral("valeur"), QStringLiteral("VALEUR")};
    return names;
}

// The file's text as the format's readers understand it, for picking names only.
QString decodedText(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.sliced(3));
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringConverter::Utf16LE);
        return decoder(bytes.sliced(2));
    }
    return decodeWindows1252(bytes);
}

void addName(QStringList &names, const QString &name)
{
    if (names.size() < kMaxFoundNames && !names.contains(name))
        names.append(name);
}

// Section and key names that the file seems to hold. Only a source of names to try: the
// document itself decides what they give.
NameChoices namesInFile(QByteArrayView bytes)
{
    NameChoices found;
    const QString text = decodedText(bytes);
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype stop = start;
        while (stop < text.size() && text[stop] != u'\r' && text[stop] != u'\n')
            ++stop;
        const QString line = withoutBlankEnds(QStringView(text).sliced(start, stop - start));
        start = stop + 1;
        const qsizetype close = line.lastIndexOf(u']');
        if (line.startsWith(u'[') && close > 0) {
            addName(found.sections, withoutBlankEnds(QStringView(line).sliced(1, close - 1)));
        } else if (!line.startsWith(u';') && line.contains(u'=')) {
            addName(found.keys, withoutBlankEnds(QStringView(line).first(line.indexOf(u'='))));
        }
    }
    return found;
}

QString readText(ScriptReader &script, int maxLength)
{
    QString text;
    const int length = script.byte() % (maxLength + 1);
    for (int i = 0; i < length; ++i) {
        const quint8 code = script.byte();
        if (code < 0x80)
            text.append(QChar(static_cast<char16_t>(code)));
        else if (code == 0xFF)
            text.append(QStringView(u"\U0001F600"));
        else
            text.append(QChar(kOddCharacters[(code - 0x80) % std::size(kOddCharacters)]));
    }
    return text;
}

QString readName(ScriptReader &script, const QStringList &found, const QStringList &known)
{
    const quint8 choice = script.byte();
    if (choice < 0x80)
        return found.isEmpty() ? known[choice % known.size()] : found[choice % found.size()];
    if (choice < 0xC0)
        return known[choice % known.size()];
    return readText(script, 12);
}

// A program like one the tool writes: times, a date, a month, day choices and boxes.
RelayProgram baseProgram()
{
    RelayProgram program;
    for (int i = 0; i < kTextSlotCount; ++i) {
        program.texts[i] =
            QStringLiteral("%1:%2:00").arg(i % 24, 2, 10, QChar(u'0')).arg(i, 2, 10, QChar(u'0'));
    }
    program.texts[6] = QStringLiteral("01/02/2024");
    program.texts[13] = QStringLiteral("03/2025");
    program.texts[20] = QString();
    program.dayChoices = {1, -1, 9, 0};
    program.enables = {1, 0, 1, 2, 0, 1};
    return program;
}

RelayProgram readProgram(ScriptReader &script)
{
    RelayProgram program = baseProgram();
    const int changes = script.byte() % 8;
    for (int i = 0; i < changes; ++i) {
        const int field = script.byte() % (kTextSlotCount + kDayChoiceCount + kRelayCount);
        if (field < kTextSlotCount) {
            program.texts[field] = readText(script, 24);
        } else if (field < kTextSlotCount + kDayChoiceCount) {
            const quint8 draw = script.byte();
            int number = draw % 11 - 1;  // mostly in range: -1..9
            if (draw >= 0xF0) {
                const quint8 low = script.byte();
                const quint8 high = script.byte();
                number = static_cast<qint16>(low | (high << 8));
            }
            program.dayChoices[field - kTextSlotCount] = number;
        } else {
            program.enables[field - kTextSlotCount - kDayChoiceCount] = script.byte() % 3;
        }
    }
    return program;
}

struct Step
{
    bool isProgram = false;
    bool throughFile = true;  // made on the file as well (always for a program)
    ProfileEntry entry;       // one value
    RelayProgram program;     // a whole program
};

Step readSetStep(ScriptReader &script, const NameChoices &found, bool throughFile)
{
    Step step;
    step.throughFile = throughFile;
    step.entry.section = readName(script, found.sections, knownSections());
    step.entry.key = readName(script, found.keys, knownKeys());
    step.entry.value = readText(script, 32);
    return step;
}

std::vector<Step> readSteps(QByteArrayView script, bool hasScript, const NameChoices &found)
{
    std::vector<Step> steps;
    if (!hasScript) {
        Step port;
        port.entry = {QStringLiteral("Port COM"), QStringLiteral("valeur"), QStringLiteral("3")};
        steps.push_back(port);
        Step program;
        program.isProgram = true;
        program.program = baseProgram();
        steps.push_back(program);
        return steps;
    }
    ScriptReader reader(script);
    while (!reader.atEnd() && steps.size() < kMaxSteps) {
        const quint8 kind = reader.byte();
        if (kind % 3 == 2) {
            Step step;
            step.isProgram = true;
            step.program = readProgram(reader);
            steps.push_back(step);
        } else {
            // The file functions cost far more than the document: most single values are
            // written on the document alone.
            steps.push_back(readSetStep(reader, found, kind % 8 == 0));
        }
    }
    return steps;
}

// ---- The checks ----

struct Pair
{
    Pair(const QString &sectionName, const QString &keyName)
        : section(sectionName), key(keyName), sectionForms(sectionName), keyForms(keyName)
    {}

    bool maySameAs(const Pair &other) const
    {
        return sectionForms.maySameAs(other.sectionForms) && keyForms.maySameAs(other.keyForms);
    }

    QString section;
    QString key;
    NameForms sectionForms;
    NameForms keyForms;
};

std::vector<std::optional<QString>> valuesOf(const ProfileDocument &document,
                                             const std::vector<Pair> &pairs)
{
    std::vector<std::optional<QString>> values;
    values.reserve(pairs.size());
    for (const Pair &pair : pairs)
        values.push_back(document.value(pair.section, pair.key));
    return values;
}

void track(std::vector<Pair> &pairs, const QString &section, const QString &key)
{
    if (pairs.size() < kMaxTrackedPairs)
        pairs.emplace_back(section, key);
}

// The file the file functions work on, in a folder removed at exit.
const QString &scratchPath()
{
    static QTemporaryDir folder;
    if (!folder.isValid())
        fail(QStringLiteral("no temporary folder: %1").arg(folder.errorString()));
    static const QString path = folder.filePath(QStringLiteral("profile.ini"));
    return path;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    expect(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(bytes) == bytes.size(),
           "the scratch file cannot be written");
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    expect(file.open(QIODevice::ReadOnly), "the scratch file cannot be read");
    return file.readAll();
}

class Checker
{
public:
    Checker(const QByteArray &bytes, const NameChoices &found)
        : plainFile_(!hasByteOrderMark(bytes)), document_(bytes), bytes_(document_.toBytes())
    {
        if (plainFile_)
            expect(bytes_ == bytes, "reading and writing back changed the bytes");
        const QStringList sections = found.sections + knownSections().first(kTrackedKnownSections);
        const QStringList keys = found.keys + knownKeys().first(kTrackedKnownKeys);
        for (const QString &section : sections) {
            for (const QString &key : keys)
                track(pairs_, section, key);
        }
    }

    void run(const Step &step)
    {
        if (step.isProgram)
            writeProgramStep(step.program);
        else
            writeValueStep(step.entry, step.throughFile);
    }

private:
    // Applies the entries to the document and checks what must hold after that.
    void apply(const QList<ProfileEntry> &entries)
    {
        bool writable = true;
        std::vector<Pair> written;
        written.reserve(static_cast<std::size_t>(entries.size()));
        for (const ProfileEntry &entry : entries) {
            writable = writable && isWritableKey(entry.key);
            written.emplace_back(entry.section, entry.key);
        }
        const std::vector<std::optional<QString>> before = valuesOf(document_, pairs_);

        bool changed = false;
        for (const ProfileEntry &entry : entries)
            changed = document_.setValue(entry.section, entry.key, entry.value) || changed;
        const QByteArray bytes = document_.toBytes();
        if (!changed)
            expect(bytes == bytes_, "a write reported as no change changed the bytes");
        const ProfileDocument reparsed(bytes);
        if (!hasByteOrderMark(bytes))
            expect(reparsed.toBytes() == bytes, "the written bytes do not read back the same");

        std::vector<std::optional<QString>> values;
        values.reserve(written.size());
        for (const ProfileEntry &entry : entries) {
            values.push_back(document_.value(entry.section, entry.key));
            expectSameValue(reparsed.value(entry.section, entry.key), values.back(),
                            "the written bytes read differently", entry.section, entry.key);
        }
        const std::vector<std::optional<QString>> after = valuesOf(document_, pairs_);
        for (std::size_t i = 0; i < pairs_.size(); ++i) {
            const Pair &pair = pairs_[i];
            expectSameValue(reparsed.value(pair.section, pair.key), after[i],
                            "the written bytes read differently", pair.section, pair.key);
            if (!writable || !before[i])
                continue;
            bool isWritten = false;
            for (const Pair &entry : written)
                isWritten = isWritten || pair.maySameAs(entry);
            if (!isWritten) {
                expectSameValue(after[i], before[i], "a write changed another value", pair.section,
                                pair.key);
            }
        }

        if (writable) {
            // The last write of each entry is what the document now holds.
            for (std::size_t i = 0; i < written.size(); ++i) {
                const ProfileEntry &entry = entries[static_cast<qsizetype>(i)];
                bool overwritten = false;
                for (std::size_t j = i + 1; j < written.size(); ++j)
                    overwritten = overwritten || written[j].maySameAs(written[i]);
                if (!overwritten && isPlainValue(entry.value)) {
                    expectSameValue(values[i], entry.value,
                                    "a plain value did not read back as written", entry.section,
                                    entry.key);
                }
            }
            bool changedAgain = false;
            for (const ProfileEntry &entry : entries)
                changedAgain =
                    document_.setValue(entry.section, entry.key, entry.value) || changedAgain;
            expect(!changedAgain, "writing the same values again reported a change");
            expect(document_.toBytes() == bytes, "writing the same values again changed the bytes");
        }

        bytes_ = bytes;
        for (const ProfileEntry &entry : entries)
            track(pairs_, entry.section, entry.key);
    }

    void writeValueStep(const ProfileEntry &entry, bool throughFile)
    {
        const QString &path = scratchPath();
        if (throughFile)
            writeFile(path, bytes_);
        apply({entry});
        if (!throughFile)
            return;

        expect(writeProfileString(path, entry.section, entry.key, entry.value).ok,
               "writing a value to the file failed");
        const QByteArray written = readFile(path);
        if (plainFile_) {
            expect(written == bytes_, "the file differs from the document after the same write");
            const std::optional<QString> value = document_.value(entry.section, entry.key);
            const QString expected = value ? value->left(kProgramReadLength) : kMissing;
            const QString read = readProfileString(path, entry.section, entry.key, kMissing);
            if (read != expected) {
                fail(QStringLiteral("the file reads [%1] %2 as \"%3\" instead of \"%4\"")
                         .arg(entry.section, entry.key, read, expected));
            }
        }
        if (isWritableKey(entry.key)) {
            expect(writeProfileString(path, entry.section, entry.key, entry.value).ok,
                   "writing a value to the file again failed");
            expect(readFile(path) == written, "writing the same value again changed the file");
        }
    }

    void writeProgramStep(const RelayProgram &program)
    {
        const QString &path = scratchPath();
        writeFile(path, bytes_);
        const QList<ProfileEntry> entries = programEntries(program);
        apply(entries);

        expect(writeProgram(path, program).ok, "writing the program to the file failed");
        const QByteArray written = readFile(path);
        if (plainFile_)
            expect(written == bytes_, "the file differs from the document after the same program");
        expect(writeProgram(path, program).ok, "writing the program to the file again failed");
        expect(readFile(path) == written, "writing the same program again changed the file");

        const ProgramReadResult read = platine::readProgram(path);
        expect(read.status == ProfileFileStatus::Read, "the program file cannot be read back");
        for (int i = 0; i < kTextSlotCount; ++i) {
            const QString &text = program.texts[i];
            expect(read.texts[i].size() <= kProgramReadLength, "a text read back is too long");
            if (isPlainValue(text) && text.size() <= kProgramReadLength && read.texts[i] != text) {
                fail(QStringLiteral("text %1 reads back as \"%2\" instead of \"%3\"")
                         .arg(i)
                         .arg(read.texts[i], text));
            }
        }
        for (int i = 0; i < kDayChoiceCount; ++i) {
            const int choice = program.dayChoices[i];
            const StoredNumber &number = read.dayChoices[i];
            if (number.value != choice || number.inRange != (choice >= -1 && choice <= 9)) {
                fail(QStringLiteral("day choice %1 reads back as %2 (%3) instead of %4")
                         .arg(i)
                         .arg(number.value)
                         .arg(number.inRange ? QStringLiteral("in range")
                                             : QStringLiteral("out of range"))
                         .arg(choice));
            }
        }
        for (int i = 0; i < kRelayCount; ++i) {
            const int expected = program.enables[i] == 1 ? 1 : 0;  // a greyed box is kept as 0
            const StoredNumber &number = read.enables[i];
            if (number.value != expected || !number.inRange) {
                fail(QStringLiteral("enable %1 reads back as %2 instead of %3")
                         .arg(i)
                         .arg(number.value)
                         .arg(expected));
            }
        }
    }

    const bool plainFile_;  // no byte order mark: read and written byte for byte
    ProfileDocument document_;
    QByteArray bytes_;  // what document_ held after the last step
    std::vector<Pair> pairs_;
};

void checkInput(QByteArrayView data)
{
    const qsizetype mark = data.indexOf(kScriptMark);
    const bool hasScript = mark >= 0;
    const QByteArray fileBytes = (hasScript ? data.first(mark) : data).toByteArray();
    const QByteArrayView script = hasScript ? data.sliced(mark + kScriptMark.size()) : data.last(0);

    const NameChoices found = namesInFile(fileBytes);
    Checker checker(fileBytes, found);
    for (const Step &step : readSteps(script, hasScript, found))
        checker.run(step);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    checkInput(QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    return 0;
}
