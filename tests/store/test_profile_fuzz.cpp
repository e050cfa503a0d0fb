// Arbitrary bytes in a profile file: the reader and the writer never crash, a single write
// never disturbs the bytes outside the entry it changes, and the work stays in proportion to
// the size of the file (huge inputs finish within the test's time limit).
#include "store/profile_document.h"
#include "store/profile_file.h"
#include "store/windows1252.h"

#include "support/test_files.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace platine;
using namespace platine::test;

namespace {

constexpr quint32 kRandomStart = 20240611;

// Bytes that are random but often look like a profile file, so that writes meet existing
// sections and keys as well as garbage.
QByteArray randomProfileBytes(QRandomGenerator &random, qsizetype size)
{
    static const QList<QByteArray> pieces = {
        "[",    "]",      "=",      ";",          "\r",
        "\n",   "\r\n",   " ",      "\t",         QByteArray(1, '\0'),
        "[s]",  "[S]",    "[txt1]", "[Port COM]", "k",
        "K",    "valeur", "VALEUR", "=v",         "\x81",
        "\xe9", "[s",
    };
    QByteArray bytes;
    bytes.reserve(size + 16);
    while (bytes.size() < size) {
        const quint32 draw = random.generate();
        if (draw % 3 == 0) {
            bytes.append(pieces[(draw >> 8) % pieces.size()]);
        } else {
            const quint32 raw = random.generate();
            bytes.append(reinterpret_cast<const char *>(&raw), sizeof raw);
        }
    }
    bytes.truncate(size);
    return bytes;
}

QString randomName(QRandomGenerator &random)
{
    static const QStringList names = {
        QStringLiteral("s"),        QStringLiteral("S"), QStringLiteral("txt1"),
        QStringLiteral("Port COM"), QStringLiteral("k"), QStringLiteral("valeur"),
        QStringLiteral("absent"),
    };
    return names[random.bounded(static_cast<int>(names.size()))];
}

QString randomValue(QRandomGenerator &random)
{
    QString value;
    const int length = random.bounded(30);
    for (int i = 0; i < length; ++i)
        value.append(QChar(static_cast<char16_t>(random.bounded(1, 0x180))));
    return value;
}

QByteArray storedValueBytes(const QString &value)
{
    QByteArray bytes = encodeWindows1252(value);
    for (char &c : bytes) {
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    }
    return bytes;
}

QString blankTrimmed(const QString &value)
{
    qsizetype begin = 0;
    qsizetype end = value.size();
    while (begin < end && (value[begin] == u' ' || value[begin] == u'\t'))
        ++begin;
    while (end > begin && (value[end - 1] == u' ' || value[end - 1] == u'\t'))
        --end;
    return value.mid(begin, end - begin);
}

// Checks that after differs from before by one contiguous change that is no larger than the
// old value, the new value and the lines a new entry needs, and that removes no line end.
void checkSingleEdit(const QByteArray &before, const QByteArray &after, const QString &section,
                     const QString &key, const QString &value, const std::optional<QString> &old)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    const char *b = before.constData();
    const char *a = after.constData();
    qsizetype prefix = 0;
    while (prefix < shorter && b[prefix] == a[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           b[before.size() - 1 - suffix] == a[after.size() - 1 - suffix])
        ++suffix;
    const QByteArray removed = before.mid(prefix, before.size() - prefix - suffix);
    const QByteArray inserted = after.mid(prefix, after.size() - prefix - suffix);

    QVERIFY2(!removed.contains('\r') && !removed.contains('\n'), "a line end was removed");
    const qsizetype oldSize = old ? encodeWindows1252(*old).size() : 0;
    QVERIFY2(removed.size() <= oldSize, "more than the old value was removed");
    // "\r\n" + "[" section "]\r\n" + key "=" value "\r\n"
    const qsizetype budget = storedValueBytes(value).size() + encodeWindows1252(section).size() +
                             encodeWindows1252(key).size() + 9;
    QVERIFY2(inserted.size() <= budget, "more than the entry was inserted");
}

}  // namespace

class ProfileFuzzTest : public QObject
{
    Q_OBJECT

private slots:
    void randomDocuments();
    void randomFiles();
    void hugeInputs_data();
    void hugeInputs();
};

void ProfileFuzzTest::randomDocuments()
{
    QRandomGenerator random(kRandomStart);
    for (int round = 0; round < 300; ++round) {
        const QByteArray before = randomProfileBytes(random, random.bounded(64 * 1024 + 1));
        ProfileDocument document(before);
        QCOMPARE(document.toBytes(), before);  // reading loses nothing

        const QString section = randomName(random);
        const QString key = randomName(random);
        const QString value = randomValue(random);
        const std::optional<QString> old = document.value(section, key);
        document.setValue(section, key, value);
        const QByteArray after = document.toBytes();
        checkSingleEdit(before, after, section, key, value, old);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("round %1").arg(round)));

        const QString expected = blankTrimmed(decodeWindows1252(storedValueBytes(value)));
        QCOMPARE(document.value(section, key), std::optional<QString>(expected));
        QCOMPARE(ProfileDocument(after).value(section, key), std::optional<QString>(expected));
        QCOMPARE(ProfileDocument(after).toBytes(), after);
        // Writing the same value again changes nothing.
        QVERIFY(!document.setValue(section, key, value));
        QCOMPARE(document.toBytes(), after);
    }
}

void ProfileFuzzTest::randomFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QRandomGenerator random(kRandomStart + 1);
    for (int round = 0; round < 40; ++round) {
        const QString path = dir.filePath(QStringLiteral("r%1.ini").arg(round));
        const QByteArray before = randomProfileBytes(random, random.bounded(16 * 1024 + 1));
        QVERIFY(writeBytes(path, before));
        const QString section = randomName(random);
        const QString key = randomName(random);
        const QString value = randomValue(random);
        const QString old = readProfileString(path, section, key, QString(), 0);
        const bool hadEntry = ProfileDocument(before).value(section, key).has_value();

        QVERIFY(writeProfileString(path, section, key, value).ok);
        const QByteArray after = readBytes(path);
        checkSingleEdit(before, after, section, key, value,
                        hadEntry ? std::optional<QString>(old) : std::nullopt);
        QCOMPARE(readProfileString(path, section, key, QStringLiteral("<default>"), 0),
                 blankTrimmed(decodeWindows1252(storedValueBytes(value))));
    }
}

void ProfileFuzzTest::hugeInputs_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const qsizetype big = 256 * 1024;
    QTest::newRow("one long line") << QByteArray(big, 'x');
    QTest::newRow("one long value") << "[s]\r\nk=" + QByteArray(big, 'v');
    QTest::newRow("NUL bytes") << QByteArray(big, '\0');
    QTest::newRow("lone CRs") << QByteArray(big, '\r');
    QTest::newRow("LFs") << QByteArray(big, '\n');
    QTest::newRow("[ without ]") << QByteArray(big, '[');
    QTest::newRow("] only") << QByteArray(big, ']');
    QTest::newRow("= only") << QByteArray(big, '=');
    QTest::newRow("blanks") << QByteArray(big, ' ');
    QTest::newRow("many sections") << QByteArray("[s]\n").repeated(big / 4);
    QTest::newRow("many keys") << "[s]\n" + QByteArray("j=1\n").repeated(big / 4);
    QTest::newRow("many unclosed headers") << QByteArray("[s\r").repeated(big / 3);
    QTest::newRow("many blank lines in a section") << "[s]\nj=1\n" + QByteArray(big, '\n');
}

void ProfileFuzzTest::hugeInputs()
{
    QFETCH(QByteArray, bytes);

    ProfileDocument document(bytes);
    QCOMPARE(document.toBytes(), bytes);
    const std::optional<QString> old = document.value(QStringLiteral("s"), QStringLiteral("k"));
    // As many writes as an upload makes.
    for (int i = 0; i < 60; ++i)
        document.setValue(QStringLiteral("s"), QStringLiteral("k"), QString::number(i));
    QCOMPARE(document.value(QStringLiteral("s"), QStringLiteral("k")),
             std::optional<QString>(QStringLiteral("59")));
    if (old) {
        QCOMPARE(document.toBytes().size(), bytes.size() - old->size() + 2);
    } else {
        const QByteArray after = document.toBytes();
        QVERIFY(after.size() > bytes.size());
        QVERIFY(after.size() <= bytes.size() + 16);
    }
}

QTEST_GUILESS_MAIN(ProfileFuzzTest)
#include "test_profile_fuzz.moc"
