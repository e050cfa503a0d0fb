// Saving and reopening relay programs: the 60 sections of program files and of the settings
// file, how their values come back, and what else such a file holds.
#include "store/port_setting.h"
#include "store/program_file.h"

#include "support/test_files.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace platine;
using namespace platine::test;

namespace {

RelayProgram sampleProgram()
{
    RelayProgram program;
    for (int i = 0; i < kTextSlotCount; ++i)
        program.texts[i] =
            QStringLiteral("%1:%2:00").arg(i % 24, 2, 10, QChar(u'0')).arg(i, 2, 10, QChar(u'0'));
    program.texts[6] = QStringLiteral("01/02/2024");
    program.texts[13] = QStringLiteral("03/2025");
    program.texts[20] = QString();
    program.texts[21] = QStringLiteral("abcdefghijklmnopqrs");  // 19 characters
    program.texts[22] = QStringLiteral(u"été € œ");
    program.texts[23] = QStringLiteral("a = b ; c [d]");
    program.dayChoices = {-1, 0, 9, 5};
    program.enables = {0, 1, 1, 0, 1, 0};
    return program;
}

// The lines a newly created file holds for one section.
QByteArray newSection(const QString &name, const QByteArray &value)
{
    return "[" + name.toLatin1() + "]\r\nvaleur=" + value + "\r\n";
}

QByteArray newFileBytes(const RelayProgram &program)
{
    QByteArray bytes;
    for (int i = 0; i < kTextSlotCount; ++i)
        bytes += newSection(QStringLiteral("txt%1").arg(i), program.texts[i].toLatin1());
    for (int i = 0; i < kDayChoiceCount; ++i)
        bytes +=
            newSection(QStringLiteral("cmb%1").arg(i), QByteArray::number(program.dayChoices[i]));
    for (int i = 0; i < kRelayCount; ++i)
        bytes += newSection(QStringLiteral("chk%1").arg(i), program.enables[i] == 1 ? "1" : "0");
    return bytes;
}

RelayProgram readBack(const QString &path)
{
    RelayProgram program;
    const ProgramReadResult result = readProgram(path);
    result.applyTo(program);
    return program;
}

bool isEmptyProgramResult(const ProgramReadResult &result)
{
    for (const QString &text : result.texts) {
        if (!text.isEmpty())
            return false;
    }
    for (const StoredNumber &number : result.dayChoices) {
        if (number.value != 0 || !number.inRange)
            return false;
    }
    for (const StoredNumber &number : result.enables) {
        if (number.value != 0 || !number.inRange)
            return false;
    }
    return true;
}

}  // namespace

class ProgramFileTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    int counter_ = 0;

    QString freshPath() { return dir_.filePath(QStringLiteral("p%1.txt").arg(++counter_)); }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void newFileLayout();
    void roundTrip();
    void greyedBoxSavedAsClear();
    void entriesInWritingOrder();
    void storedNumbers_data();
    void storedNumbers();
    void storedTexts_data();
    void storedTexts();
    void outOfRangeKeepsControl();
    void missingFileReadsEmpty();
    void plainTextFileReadsEmpty();
    void unreadableFileIsReported();
    void unreadableByPermissionIsReported();
    void overwriteKeepsOtherContent();
    void programAndPortLeaveEachOtherAlone();
    void writeFailureIsReported();
    void randomRoundTrip();
};

void ProgramFileTest::newFileLayout()
{
    const QString path = freshPath();
    RelayProgram program = sampleProgram();
    program.texts[22] = QStringLiteral("x");  // keeps the expected bytes plain ASCII
    const ProfileWriteResult result = writeProgram(path, program);
    QVERIFY2(result.ok, qPrintable(result.errorMessage));
    QVERIFY(result.errorMessage.isEmpty());
    QCOMPARE(readBytes(path), newFileBytes(program));
}

void ProgramFileTest::roundTrip()
{
    const QString path = freshPath();
    const RelayProgram program = sampleProgram();
    QVERIFY(writeProgram(path, program).ok);
    const ProgramReadResult result = readProgram(path);
    QCOMPARE(result.status, ProfileFileStatus::Read);
    QVERIFY(result.errorMessage.isEmpty());
    QCOMPARE(readBack(path), program);

    // Saving the same program again does not touch the file.
    const auto inode = inodeOf(path);
    QVERIFY(writeProgram(path, program).ok);
    QCOMPARE(inodeOf(path), inode);
}

void ProgramFileTest::greyedBoxSavedAsClear()
{
    const QString path = freshPath();
    RelayProgram program = sampleProgram();
    program.enables = {2, 1, 2, 0, 2, 1};
    QVERIFY(writeProgram(path, program).ok);
    const QByteArray bytes = readBytes(path);
    QVERIFY(bytes.contains("[chk0]\r\nvaleur=0\r\n"));
    QVERIFY(bytes.contains("[chk1]\r\nvaleur=1\r\n"));
    RelayProgram expected = program;
    expected.enables = {0, 1, 0, 0, 0, 1};
    QCOMPARE(readBack(path), expected);
}

void ProgramFileTest::entriesInWritingOrder()
{
    const QList<ProfileEntry> entries = programEntries(sampleProgram());
    QCOMPARE(entries.size(), 60);
    QCOMPARE(entries.first().section, QStringLiteral("txt0"));
    QCOMPARE(entries.at(49).section, QStringLiteral("txt49"));
    QCOMPARE(entries.at(50).section, QStringLiteral("cmb0"));
    QCOMPARE(entries.at(50).value, QStringLiteral("-1"));
    QCOMPARE(entries.at(53).section, QStringLiteral("cmb3"));
    QCOMPARE(entries.at(54).section, QStringLiteral("chk0"));
    QCOMPARE(entries.last().section, QStringLiteral("chk5"));
    for (const ProfileEntry &entry : entries)
        QCOMPARE(entry.key, QStringLiteral("valeur"));

    // A caller adding its own entry gets them all in one file.
    QList<ProfileEntry> more = entries;
    more.append({QStringLiteral("Port COM"), QStringLiteral("valeur"), QStringLiteral("2")});
    const QString path = freshPath();
    QVERIFY(writeProfileStrings(path, more).ok);
    QCOMPARE(readBack(path), sampleProgram());
    QCOMPARE(readPortSetting(path).number, 2);
}

void ProgramFileTest::storedNumbers_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("dayChoice");
    QTest::addColumn<bool>("dayChoiceInRange");
    QTest::addColumn<int>("enable");
    QTest::addColumn<bool>("enableInRange");

    QTest::newRow("3abc") << QByteArray("3abc") << 3 << true << 3 << false;
    QTest::newRow("abc") << QByteArray("abc") << 0 << true << 0 << true;
    QTest::newRow("empty") << QByteArray("") << 0 << true << 0 << true;
    QTest::newRow("2.5 to even") << QByteArray("2.5") << 2 << true << 2 << true;
    QTest::newRow("3.5 to even") << QByteArray("3.5") << 4 << true << 4 << false;
    QTest::newRow("1.5") << QByteArray("1.5") << 2 << true << 2 << true;
    QTest::newRow("8.5") << QByteArray("8.5") << 8 << true << 8 << false;
    QTest::newRow("9.5") << QByteArray("9.5") << 10 << false << 10 << false;
    QTest::newRow("-1") << QByteArray("-1") << -1 << true << -1 << false;
    QTest::newRow("-1.5") << QByteArray("-1.5") << -2 << false << -2 << false;
    QTest::newRow("-0.5") << QByteArray("-0.5") << 0 << true << 0 << true;
    QTest::newRow("10") << QByteArray("10") << 10 << false << 10 << false;
    QTest::newRow("-2") << QByteArray("-2") << -2 << false << -2 << false;
    QTest::newRow("1e5") << QByteArray("1e5") << 1 << true << 1 << true;
    QTest::newRow(" 7") << QByteArray(" 7") << 7 << true << 7 << false;
    QTest::newRow("tab 2") << QByteArray("\t2") << 2 << true << 2 << true;
    QTest::newRow("+2") << QByteArray("+2") << 2 << true << 2 << true;
    QTest::newRow("1.") << QByteArray("1.") << 1 << true << 1 << true;
    QTest::newRow(".5") << QByteArray(".5") << 0 << true << 0 << true;
    QTest::newRow("- 1") << QByteArray("- 1") << 0 << true << 0 << true;
    QTest::newRow("0x10") << QByteArray("0x10") << 0 << true << 0 << true;
    QTest::newRow("only the first 19 characters")
        << QByteArray("00000000000000000007") << 0 << true << 0 << true;
    QTest::newRow("19 digits do not fit")
        << QByteArray("99999999999999999999") << 0 << false << 0 << false;
}

void ProgramFileTest::storedNumbers()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, dayChoice);
    QFETCH(bool, dayChoiceInRange);
    QFETCH(int, enable);
    QFETCH(bool, enableInRange);

    const QString path = freshPath();
    QVERIFY(
        writeBytes(path, "[cmb1]\r\nvaleur=" + stored + "\r\n[chk0]\r\nvaleur=" + stored + "\r\n"));
    const ProgramReadResult result = readProgram(path);
    QCOMPARE(result.status, ProfileFileStatus::Read);
    QCOMPARE(result.dayChoices[1].value, dayChoice);
    QCOMPARE(result.dayChoices[1].inRange, dayChoiceInRange);
    QCOMPARE(result.enables[0].value, enable);
    QCOMPARE(result.enables[0].inRange, enableInRange);
}

void ProgramFileTest::storedTexts_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("text");

    QTest::newRow("time") << QByteArray("08:30:00") << QStringLiteral("08:30:00");
    QTest::newRow("blanks at the ends")
        << QByteArray("  08:30:00 \t") << QStringLiteral("08:30:00");
    QTest::newRow("cut to 19") << QByteArray("01/02/2024 and more text")
                               << QStringLiteral("01/02/2024 and more");
    QTest::newRow("empty") << QByteArray("") << QString();
    QTest::newRow("Windows-1252") << QByteArray("\xe9t\xe9 \x80") << QStringLiteral(u"été €");
}

void ProgramFileTest::storedTexts()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, text);

    const QString path = freshPath();
    QVERIFY(writeBytes(path, "[txt7]\r\nvaleur=" + stored + "\r\n"));
    const ProgramReadResult result = readProgram(path);
    QCOMPARE(result.texts[7], text);
    QCOMPARE(result.texts[6], QString());  // missing section
}

void ProgramFileTest::outOfRangeKeepsControl()
{
    const QString path = freshPath();
    QVERIFY(writeBytes(path, "[cmb0]\nvaleur=10\n[cmb1]\nvaleur=5\n[cmb2]\nvaleur=-2\n"
                             "[chk0]\nvaleur=7\n[chk1]\nvaleur=1\n[chk2]\nvaleur=-1\n"
                             "[chk3]\nvaleur=2\n[txt0]\nvaleur=12:00:00\n"));
    RelayProgram program = sampleProgram();
    program.dayChoices = {3, 3, 3, 3};
    program.enables = {2, 2, 2, 1, 1, 1};
    readProgram(path).applyTo(program);

    RelayProgram expected;
    expected.texts[0] = QStringLiteral("12:00:00");
    expected.dayChoices = {3, 5, 3, 0};
    expected.enables = {2, 1, 2, 2, 0, 0};
    QCOMPARE(program, expected);
}

void ProgramFileTest::missingFileReadsEmpty()
{
    const QString path = dir_.filePath(QStringLiteral("absent.txt"));
    const ProgramReadResult result = readProgram(path);
    QCOMPARE(result.status, ProfileFileStatus::Missing);
    QVERIFY(result.errorMessage.isEmpty());
    QVERIFY(isEmptyProgramResult(result));

    RelayProgram program = sampleProgram();
    program.enables = {2, 2, 2, 2, 2, 2};
    result.applyTo(program);
    QCOMPARE(program, RelayProgram{});  // empty texts, "Dimanche" everywhere, boxes clear
    QVERIFY(!QFile::exists(path));
}

void ProgramFileTest::plainTextFileReadsEmpty()
{
    const QString path = freshPath();
    QVERIFY(writeBytes(path, "Liste des courses\r\n= pain\r\nvaleur=3\r\n[autre]\r\nvaleur=4\r\n"));
    const ProgramReadResult result = readProgram(path);
    QCOMPARE(result.status, ProfileFileStatus::Read);
    QVERIFY(result.errorMessage.isEmpty());
    QVERIFY(isEmptyProgramResult(result));
}

void ProgramFileTest::unreadableFileIsReported()
{
    const QString path = dir_.filePath(QStringLiteral("folder.txt"));
    QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("folder.txt")));
    const ProgramReadResult result = readProgram(path);
    QCOMPARE(result.status, ProfileFileStatus::Unreadable);
    QCOMPARE(result.errorMessage,
             QStringLiteral("Impossible de lire %1 : c'est un dossier").arg(shownPath(path)));
    QVERIFY(isEmptyProgramResult(result));

    const ProfileWriteResult write = writeProgram(path, sampleProgram());
    QVERIFY(!write.ok);
    QCOMPARE(write.errorMessage,
             QStringLiteral("Impossible d'enregistrer %1 : c'est un dossier").arg(shownPath(path)));
}

void ProgramFileTest::unreadableByPermissionIsReported()
{
    if (!permissionsEnforced())
        QSKIP("running as the super-user: read permissions are not enforced");
    const QString path = freshPath();
    QVERIFY(writeProgram(path, sampleProgram()).ok);
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    const ProgramReadResult result = readProgram(path);
    QCOMPARE(result.status, ProfileFileStatus::Unreadable);
    QCOMPARE(result.errorMessage,
             QStringLiteral("Impossible de lire %1 : le fichier n'est pas accessible en lecture")
                 .arg(shownPath(path)));
    QVERIFY(isEmptyProgramResult(result));
}

void ProgramFileTest::overwriteKeepsOtherContent()
{
    const QString path = freshPath();
    const QByteArray head = "; programme de la serre\r\n[Port COM]\r\nvaleur=3\r\n\r\n";
    const QByteArray txt0Before = "[TXT0]\r\n  valeur = ancien  \r\nautre=1\r\n";
    const QByteArray txt0After = "[TXT0]\r\n  valeur = 06:00:00  \r\nautre=1\r\n";
    const QByteArray middle = "[divers]\nx=y\n\n; fin\n";
    const QByteArray chk5Before = "[chk5]\rvaleur=2\r";
    const QByteArray chk5After = "[chk5]\rvaleur=0\r";
    const QByteArray tail = "[zzz]\r\nvaleur=garder";
    QVERIFY(writeBytes(path, head + txt0Before + middle + chk5Before + tail));

    RelayProgram program;
    program.texts[0] = QStringLiteral("06:00:00");
    program.texts[1] = QStringLiteral("07:00:00");
    program.dayChoices = {9, 8, 7, 6};
    program.enables = {1, 0, 1, 0, 1, 2};
    QVERIFY(writeProgram(path, program).ok);

    // The sections the file did not have follow, in writing order.
    QByteArray expected = head + txt0After + middle + chk5After + tail + "\r\n";
    for (int i = 1; i < kTextSlotCount; ++i)
        expected += newSection(QStringLiteral("txt%1").arg(i), program.texts[i].toLatin1());
    for (int i = 0; i < kDayChoiceCount; ++i)
        expected +=
            newSection(QStringLiteral("cmb%1").arg(i), QByteArray::number(program.dayChoices[i]));
    for (int i = 0; i < kRelayCount - 1; ++i)
        expected += newSection(QStringLiteral("chk%1").arg(i), program.enables[i] == 1 ? "1" : "0");
    QCOMPARE(readBytes(path), expected);

    RelayProgram back = readBack(path);
    program.enables[5] = 0;
    QCOMPARE(back, program);
    QCOMPARE(readPortSetting(path).number, 3);
}

void ProgramFileTest::programAndPortLeaveEachOtherAlone()
{
    const QString path = freshPath();
    const QByteArray port = "[Port COM]\r\nvaleur=COM4 \r\n";
    QVERIFY(writeBytes(path, port));
    QVERIFY(writeProgram(path, sampleProgram()).ok);
    QByteArray bytes = readBytes(path);
    QVERIFY(bytes.startsWith(port + "[txt0]\r\n"));
    QCOMPARE(readPortSetting(path).text, QStringLiteral("COM4"));

    // A second, different program changes only program values.
    RelayProgram other = sampleProgram();
    other.texts[3] = QStringLiteral("23:59:59");
    other.dayChoices[2] = 1;
    QVERIFY(writeProgram(path, other).ok);
    bytes = readBytes(path);
    QVERIFY(bytes.startsWith(port + "[txt0]\r\n"));
    QCOMPARE(readBack(path), other);

    // A port write changes only the port entry.
    QVERIFY(writePortSetting(path, QStringLiteral("7")).ok);
    QCOMPARE(readBytes(path), QByteArray("[Port COM]\r\nvaleur=7 \r\n") + bytes.mid(port.size()));
    QCOMPARE(readBack(path), other);

    // In a file where the port entry comes last.
    const QString second = freshPath();
    QVERIFY(writeProgram(second, other).ok);
    const QByteArray programOnly = readBytes(second);
    QVERIFY(writePortSetting(second, QStringLiteral("/dev/ttyUSB0")).ok);
    QCOMPARE(readBytes(second), programOnly + "[Port COM]\r\nvaleur=/dev/ttyUSB0\r\n");
    QVERIFY(writeProgram(second, sampleProgram()).ok);
    QVERIFY(readBytes(second).endsWith("[Port COM]\r\nvaleur=/dev/ttyUSB0\r\n"));
    QCOMPARE(readPortSetting(second).text, QStringLiteral("/dev/ttyUSB0"));
}

void ProgramFileTest::writeFailureIsReported()
{
    const QString path = freshPath();
    QVERIFY(writeProgram(path, sampleProgram()).ok);
    const QByteArray before = readBytes(path);
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));

    RelayProgram other = sampleProgram();
    other.texts[0] = QStringLiteral("00:00:01");
    const ProfileWriteResult result = writeProgram(path, other);
    QVERIFY(!result.ok);
    QCOMPARE(result.errorMessage,
             QStringLiteral("Impossible d'enregistrer %1 : le fichier est en lecture seule")
                 .arg(shownPath(path)));
    QCOMPARE(readBytes(path), before);

    const QString nowhere = dir_.filePath(QStringLiteral("no-such-folder/param.ini"));
    const ProfileWriteResult missing = writeProgram(nowhere, other);
    QVERIFY(!missing.ok);
    QVERIFY(missing.errorMessage.startsWith(
        QStringLiteral("Impossible d'enregistrer %1 : ").arg(shownPath(nowhere))));
}

void ProgramFileTest::randomRoundTrip()
{
    // Texts drawn from pieces whose stored form is known: characters the code page lacks
    // come back as "?".
    struct Piece
    {
        QString typed;
        QString stored;
    };
    const QList<Piece> pieces = {
        {QStringLiteral("0"), QStringLiteral("0")},
        {QStringLiteral("9"), QStringLiteral("9")},
        {QStringLiteral(":"), QStringLiteral(":")},
        {QStringLiteral("/"), QStringLiteral("/")},
        {QStringLiteral(" "), QStringLiteral(" ")},
        {QStringLiteral("\t"), QStringLiteral("\t")},
        {QStringLiteral("="), QStringLiteral("=")},
        {QStringLiteral(";"), QStringLiteral(";")},
        {QStringLiteral("["), QStringLiteral("[")},
        {QStringLiteral("]"), QStringLiteral("]")},
        {QStringLiteral("a"), QStringLiteral("a")},
        {QStringLiteral(u"é"), QStringLiteral(u"é")},
        {QStringLiteral(u"€"), QStringLiteral(u"€")},
        {QStringLiteral(u"œ"), QStringLiteral(u"œ")},
        {QStringLiteral(u"中"), QStringLiteral("?")},
        {QStringLiteral(u"\U0001F600"), QStringLiteral("?")},
    };
    auto blankTrimmed = [](const QString &text) {
        qsizetype begin = 0;
        qsizetype end = text.size();
        while (begin < end && (text[begin] == u' ' || text[begin] == u'\t'))
            ++begin;
        while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
            --end;
        return text.mid(begin, end - begin);
    };

    QRandomGenerator random(7);
    const QString shared = freshPath();  // overwritten again and again
    for (int round = 0; round < 150; ++round) {
        RelayProgram program;
        RelayProgram expected;
        for (int i = 0; i < kTextSlotCount; ++i) {
            QString stored;
            const int length = random.bounded(25);
            for (int c = 0; c < length; ++c) {
                const Piece &piece = pieces[random.bounded(static_cast<int>(pieces.size()))];
                program.texts[i] += piece.typed;
                stored += piece.stored;
            }
            expected.texts[i] = blankTrimmed(stored).left(19);
        }
        for (int i = 0; i < kDayChoiceCount; ++i)
            program.dayChoices[i] = expected.dayChoices[i] = random.bounded(-1, 10);
        for (int i = 0; i < kRelayCount; ++i) {
            program.enables[i] = random.bounded(0, 3);
            expected.enables[i] = program.enables[i] == 1 ? 1 : 0;
        }

        const QString path = round % 3 == 0 ? freshPath() : shared;
        QVERIFY(writeProgram(path, program).ok);
        RelayProgram back;
        back.dayChoices = {4, 4, 4, 4};
        readProgram(path).applyTo(back);
        if (back != expected) {
            for (int i = 0; i < kTextSlotCount; ++i)
                QCOMPARE(back.texts[i], expected.texts[i]);
            QCOMPARE(back.dayChoices, expected.dayChoices);
            QCOMPARE(back.enables, expected.enables);
        }
        QCOMPARE(back, expected);
    }
}

QTEST_GUILESS_MAIN(ProgramFileTest)
#include "test_program_file.moc"
