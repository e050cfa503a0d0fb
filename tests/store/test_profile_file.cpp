// Reading and writing single values of profile files: what the settings file and the program
// files rely on, byte for byte.
#include "store/profile_document.h"
#include "store/profile_file.h"
#include "store/profile_lock.h"
#include "store/windows1252.h"

#include "support/test_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

using namespace platine;
using namespace platine::test;

namespace {

QByteArray utf16le(const char16_t *text)
{
    QByteArray bytes;
    for (const char16_t *c = text; *c; ++c) {
        bytes.append(static_cast<char>(*c & 0xFF));
        bytes.append(static_cast<char>(*c >> 8));
    }
    return bytes;
}

}  // namespace

class ProfileFileTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    int counter_ = 0;

    QString freshPath() { return dir_.filePath(QStringLiteral("f%1.ini").arg(++counter_)); }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void writeEditsOnlyTheEntry_data();
    void writeEditsOnlyTheEntry();
    void read_data();
    void read();
    void readCapacity_data();
    void readCapacity();
    void readMissingOrUnreadableFileGivesDefault();
    void valueBreakingTheLineIsStoredWithBlanks();
    void keyLineThatBecomesAHeader();
    void windows1252RoundTrip();
    void windows1252UndefinedBytesSurvive();
    void writingHeldValueLeavesFileUntouched();
    void batchEqualsSingleWrites_data();
    void batchEqualsSingleWrites();
    void readOnlyFileIsNotReplaced();
    void unwritableFolderFails();
    void missingFolderFails();
    void directoryPathFails();
    void unreadableFileIsNotReplaced();
    void oversizedOrSpecialFilesAreNotRead();
    void writerWaitsForTheLock();
    void markedFilesKeepTheirEncoding_data();
    void markedFilesKeepTheirEncoding();
};

void ProfileFileTest::writeEditsOnlyTheEntry_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QString s = QStringLiteral("s");
    const QString k = QStringLiteral("k");
    const QString v = QStringLiteral("v");

    QTest::newRow("new file") << false << QByteArray() << s << k << v
                              << QByteArray("[s]\r\nk=v\r\n");
    QTest::newRow("empty file") << true << QByteArray("") << s << k << v
                                << QByteArray("[s]\r\nk=v\r\n");
    QTest::newRow("replace") << true << QByteArray("[s]\r\nk=old\r\n") << s << k << v
                             << QByteArray("[s]\r\nk=v\r\n");
    QTest::newRow("comments, blank lines, other sections")
        << true
        << QByteArray("; top\r\n\r\n[other]\r\nx=1\r\n\r\n[s]\r\n; c\r\nk=old\r\n\r\n[z]\r\n") << s
        << k << v
        << QByteArray("; top\r\n\r\n[other]\r\nx=1\r\n\r\n[s]\r\n; c\r\nk=v\r\n\r\n[z]\r\n");
    QTest::newRow("LF-only lines") << true << QByteArray("[a]\nx=1\n[s]\nk=old\n") << s << k << v
                                   << QByteArray("[a]\nx=1\n[s]\nk=v\n");
    QTest::newRow("CR-only lines") << true << QByteArray("[s]\rk=old\r[t]\rk=1\r") << s << k << v
                                   << QByteArray("[s]\rk=v\r[t]\rk=1\r");
    QTest::newRow("LF-only lines, key added") << true << QByteArray("[s]\na=1\n[t]\n") << s << k
                                              << v << QByteArray("[s]\na=1\nk=v\r\n[t]\n");
    QTest::newRow("last line without end, replaced")
        << true << QByteArray("[s]\r\nk=old") << s << k << v << QByteArray("[s]\r\nk=v");
    QTest::newRow("last line without end, key added")
        << true << QByteArray("[s]\r\nother=1") << s << k << v
        << QByteArray("[s]\r\nother=1\r\nk=v\r\n");
    QTest::newRow("last line without end, section added")
        << true << QByteArray("[a]\r\nx=1") << s << k << v
        << QByteArray("[a]\r\nx=1\r\n[s]\r\nk=v\r\n");
    QTest::newRow("key added after the last non-blank line")
        << true << QByteArray("[s]\r\na=1\r\n; note\r\n\r\n \t\r\n[t]\r\n") << s << k << v
        << QByteArray("[s]\r\na=1\r\n; note\r\nk=v\r\n\r\n \t\r\n[t]\r\n");
    QTest::newRow("key added to a section of blank lines")
        << true << QByteArray("[s]\r\n\r\n[t]\r\n") << s << k << v
        << QByteArray("[s]\r\nk=v\r\n\r\n[t]\r\n");
    QTest::newRow("key added to the last section, blank lines at the end")
        << true << QByteArray("[s]\r\na=1\r\n\r\n") << s << k << v
        << QByteArray("[s]\r\na=1\r\nk=v\r\n\r\n");
    QTest::newRow("section added after blank lines")
        << true << QByteArray("[a]\r\nx=1\r\n\r\n") << s << k << v
        << QByteArray("[a]\r\nx=1\r\n\r\n[s]\r\nk=v\r\n");
    QTest::newRow("duplicate sections: the first is written")
        << true << QByteArray("[s]\r\nk=1\r\n[S]\r\nk=2\r\n") << s << k << v
        << QByteArray("[s]\r\nk=v\r\n[S]\r\nk=2\r\n");
    QTest::newRow("duplicate sections: key added to the first")
        << true << QByteArray("[s]\r\na=1\r\n[s]\r\nk=2\r\n") << s << k << v
        << QByteArray("[s]\r\na=1\r\nk=v\r\n[s]\r\nk=2\r\n");
    QTest::newRow("duplicate keys: the first is written")
        << true << QByteArray("[s]\r\nk=1\r\nK=2\r\n") << s << k << v
        << QByteArray("[s]\r\nk=v\r\nK=2\r\n");
    QTest::newRow("mixed case keeps the file's spelling")
        << true << QByteArray("[PoRt CoM]\r\nVALEUR=3\r\n") << QStringLiteral("Port COM")
        << QStringLiteral("valeur") << QStringLiteral("5")
        << QByteArray("[PoRt CoM]\r\nVALEUR=5\r\n");
    QTest::newRow("case folded for ASCII letters only")
        << true << QByteArray("[\xe9]\r\nk=1\r\n") << QStringLiteral("\u00c9") << k << v
        << QByteArray("[\xe9]\r\nk=1\r\n[\xc9]\r\nk=v\r\n");
    QTest::newRow("text after ] ignored") << true << QByteArray("[s] ; old\r\nk=1\r\n") << s << k
                                          << v << QByteArray("[s] ; old\r\nk=v\r\n");
    QTest::newRow("name runs to the last ]")
        << true << QByteArray("[a]b] x\r\nk=1\r\n") << QStringLiteral("a]b") << k << v
        << QByteArray("[a]b] x\r\nk=v\r\n");
    QTest::newRow("name runs to the last ], not the first")
        << true << QByteArray("[a]b]\r\nk=1\r\n") << QStringLiteral("a") << k << v
        << QByteArray("[a]b]\r\nk=1\r\n[a]\r\nk=v\r\n");
    QTest::newRow("blanks around the header and its name")
        << true << QByteArray(" \t[ s\t]\r\nk=1\r\n") << s << k << v
        << QByteArray(" \t[ s\t]\r\nk=v\r\n");
    QTest::newRow("blanks around the asked names")
        << true << QByteArray("[s]\r\nk=1\r\n") << QStringLiteral(" s\t") << QStringLiteral("\tk ")
        << v << QByteArray("[s]\r\nk=v\r\n");
    QTest::newRow("odd spacing kept")
        << true << QByteArray("[s]\r\n\t k \t=  old  \t\r\n") << s << k << QStringLiteral("new")
        << QByteArray("[s]\r\n\t k \t=  new  \t\r\n");
    QTest::newRow("empty value with spacing")
        << true << QByteArray("[s]\r\nk = \r\n") << s << k << v << QByteArray("[s]\r\nk = v\r\n");
    QTest::newRow("line without = is no key")
        << true << QByteArray("[s]\r\nk\r\n") << s << k << v << QByteArray("[s]\r\nk\r\nk=v\r\n");
    QTest::newRow("comment is no key") << true << QByteArray("[s]\r\n  ;k=1\r\n") << s << k << v
                                       << QByteArray("[s]\r\n  ;k=1\r\nk=v\r\n");
    QTest::newRow("key before any section is in none")
        << true << QByteArray("k=1\r\n[s]\r\n") << s << k << v
        << QByteArray("k=1\r\n[s]\r\nk=v\r\n");
    QTest::newRow("[ without ] opens no section") << true << QByteArray("[s\r\nk=1\r\n") << s << k
                                                  << v << QByteArray("[s\r\nk=1\r\n[s]\r\nk=v\r\n");
    QTest::newRow("= and ; inside the value")
        << true << QByteArray("[s]\r\nk=1\r\n") << s << k << QStringLiteral("a=b;c")
        << QByteArray("[s]\r\nk=a=b;c\r\n");
    QTest::newRow("empty value written as k=") << true << QByteArray("[s]\r\nk=old\r\n") << s << k
                                               << QString() << QByteArray("[s]\r\nk=\r\n");
    QTest::newRow("value as given, blanks included")
        << true << QByteArray("[s]\r\nk=old\r\n") << s << k << QStringLiteral(" v ")
        << QByteArray("[s]\r\nk= v \r\n");
    QTest::newRow("new value as given")
        << false << QByteArray() << QStringLiteral("Port COM") << QStringLiteral("valeur")
        << QStringLiteral(" 7 ") << QByteArray("[Port COM]\r\nvaleur= 7 \r\n");
    QTest::newRow("NUL bytes elsewhere kept")
        << true << QByteArrayLiteral("[s]\r\nk=1\r\nz=\0\0\r\n") << s << k << v
        << QByteArrayLiteral("[s]\r\nk=v\r\nz=\0\0\r\n");
}

void ProfileFileTest::writeEditsOnlyTheEntry()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);

    const QString path = freshPath();
    if (exists)
        QVERIFY(writeBytes(path, before));
    const ProfileWriteResult result = writeProfileString(path, section, key, value);
    QVERIFY2(result.ok, qPrintable(result.errorMessage));
    QVERIFY(result.errorMessage.isEmpty());
    QCOMPARE(readBytes(path), after);
    QCOMPARE(readProfileString(path, section, key, QStringLiteral("default"), 0), value.trimmed());
}

void ProfileFileTest::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QString s = QStringLiteral("s");
    const QString k = QStringLiteral("k");
    const QString dflt = QStringLiteral("<default>");

    QTest::newRow("blanks and tabs trimmed")
        << QByteArray("[s]\r\n k\t= \t a b \t\r\n") << s << k << QStringLiteral("a b");
    QTest::newRow("empty value is not the default")
        << QByteArray("[s]\r\nk=\r\n") << s << k << QString();
    QTest::newRow("blank value is empty") << QByteArray("[s]\r\nk=  \t\r\n") << s << k << QString();
    QTest::newRow("missing key") << QByteArray("[s]\r\nj=1\r\n") << s << k << dflt;
    QTest::newRow("missing section") << QByteArray("[t]\r\nk=1\r\n") << s << k << dflt;
    QTest::newRow("empty file") << QByteArray("") << s << k << dflt;
    QTest::newRow("case-insensitive names")
        << QByteArray("[PORT com]\r\nVaLeUr=3\r\n") << QStringLiteral("Port COM")
        << QStringLiteral("valeur") << QStringLiteral("3");
    QTest::newRow("non-ASCII letters keep their case")
        << QByteArray("[\xe9]\r\nk=1\r\n") << QStringLiteral("\u00c9") << k << dflt;
    QTest::newRow("first duplicate section wins")
        << QByteArray("[s]\r\na=1\r\n[S]\r\nk=2\r\n") << s << k << dflt;
    QTest::newRow("first duplicate key wins")
        << QByteArray("[s]\r\nk=1\r\nK=2\r\n") << s << k << QStringLiteral("1");
    QTest::newRow("LF-only lines")
        << QByteArray("[t]\nk=0\n[s]\nk=1\n") << s << k << QStringLiteral("1");
    QTest::newRow("CR-only lines")
        << QByteArray("[t]\rk=0\r[s]\rk=1\r") << s << k << QStringLiteral("1");
    QTest::newRow("mixed line ends")
        << QByteArray("[t]\r\nk=0\n\r[s]\rk=1\r\n") << s << k << QStringLiteral("1");
    QTest::newRow("last line without end")
        << QByteArray("[s]\r\nk=1") << s << k << QStringLiteral("1");
    QTest::newRow("text after ]") << QByteArray("  [s]junk\r\nk=1\r\n") << s << k
                                  << QStringLiteral("1");
    QTest::newRow("= and ; in the value")
        << QByteArray("[s]\r\nk=a=b ;c\r\n") << s << k << QStringLiteral("a=b ;c");
    QTest::newRow("comment is no key") << QByteArray("[s]\r\n;k=1\r\n") << s << k << dflt;
    QTest::newRow("line without = is no key") << QByteArray("[s]\r\nk\r\n") << s << k << dflt;
    QTest::newRow("key before any section") << QByteArray("k=1\r\n[s]\r\n") << s << k << dflt;
    QTest::newRow("key of the next section")
        << QByteArray("[s]\r\n[t]\r\nk=1\r\n") << s << k << dflt;
    QTest::newRow("[ without ] is no header")
        << QByteArray("[s]\r\n[t\r\nk=1\r\n") << s << k << QStringLiteral("1");
    QTest::newRow("Windows-1252") << QByteArray("[s]\r\nk=\xe9\x80\x9c\xff\r\n") << s << k
                                  << QStringLiteral(u"\u00e9\u20ac\u0153\u00ff");
    // The Windows functions drop one pair of matching quotes around a value.
    QTest::newRow("double quotes")
        << QByteArray("[s]\r\nk=\"3\"\r\n") << s << k << QStringLiteral("3");
    QTest::newRow("single quotes")
        << QByteArray("[s]\r\nk= '08:30:00' \r\n") << s << k << QStringLiteral("08:30:00");
    QTest::newRow("blanks inside quotes stay")
        << QByteArray("[s]\r\nk=\" a \"\r\n") << s << k << QStringLiteral(" a ");
    QTest::newRow("empty quotes") << QByteArray("[s]\r\nk=\"\"\r\n") << s << k << QString();
    QTest::newRow("one pair only")
        << QByteArray("[s]\r\nk=\"\"a\"\"\r\n") << s << k << QStringLiteral("\"a\"");
    QTest::newRow("quotes that do not match")
        << QByteArray("[s]\r\nk=\"a'\r\n") << s << k << QStringLiteral("\"a'");
    QTest::newRow("a lone quote") << QByteArray("[s]\r\nk=\"\r\n") << s << k
                                  << QStringLiteral("\"");
    QTest::newRow("quote inside") << QByteArray("[s]\r\nk=l'atelier\r\n") << s << k
                                  << QStringLiteral("l'atelier");
    // A NUL ends the value.
    QTest::newRow("NUL in the value")
        << QByteArray("[s]\r\nk=ab \0cd\r\n", 13) << s << k << QStringLiteral("ab");
    QTest::newRow("NUL then quotes")
        << QByteArray("[s]\r\nk=\"x\"\0\"\r\n", 12) << s << k << QStringLiteral("x");
    // Files that start with a byte-order mark are read in their encoding.
    QTest::newRow("UTF-8 with mark, first section")
        << QByteArray("\xef\xbb\xbf[s]\r\nk=\xc3\xa9t\xc3\xa9 \xe2\x82\xac\r\n") << s << k
        << QStringLiteral(u"\u00e9t\u00e9 \u20ac");
    QTest::newRow("UTF-8 without mark is Windows-1252")
        << QByteArray("[s]\r\nk=\xc3\xa9\r\n") << s << k << QStringLiteral(u"\u00c3\u00a9");
    QTest::newRow("UTF-16LE with mark")
        << (QByteArray("\xff\xfe") + utf16le(u"[t]\r\nk=0\r\n[S]\r\nK=\"\u00e9\U0001F600\"\r\n"))
        << s << k << QStringLiteral(u"\u00e9\U0001F600");
    QTest::newRow("UTF-16LE, odd last byte")
        << (QByteArray("\xff\xfe") + utf16le(u"[s]\r\nk=1") + 'x') << s << k << QStringLiteral("1");
}

void ProfileFileTest::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    const QString path = freshPath();
    QVERIFY(writeBytes(path, bytes));
    QCOMPARE(readProfileString(path, section, key, QStringLiteral("<default>")), expected);
}

void ProfileFileTest::readCapacity_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QString>("expected");

    const QByteArray long25("abcdefghijklmnopqrstuvwxy");
    QTest::newRow("20 gives 19") << long25 << 20 << QStringLiteral("abcdefghijklmnopqrs");
    QTest::newRow("19 characters whole")
        << QByteArray("abcdefghijklmnopqrs") << 20 << QStringLiteral("abcdefghijklmnopqrs");
    QTest::newRow("cut after trimming")
        << QByteArray("   abcdefghijklmnopqrstu  ") << 20 << QStringLiteral("abcdefghijklmnopqrs");
    QTest::newRow("cut may end in a blank")
        << QByteArray("abcdefghijklmnopqr stu") << 20 << QStringLiteral("abcdefghijklmnopqr ");
    QTest::newRow("cut counts 8-bit characters")
        << QByteArray("\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9\xe9"
                      "\xe9\xe9")
        << 20 << QString(19, QChar(0xe9));
    QTest::newRow("1 gives nothing") << long25 << 1 << QString();
    QTest::newRow("0 is not cut") << long25 << 0 << QString::fromLatin1(long25);
    QTest::newRow("negative is not cut") << long25 << -5 << QString::fromLatin1(long25);
}

void ProfileFileTest::readCapacity()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, capacity);
    QFETCH(QString, expected);

    const QString path = freshPath();
    QVERIFY(writeBytes(path, "[s]\r\nk=" + stored + "\r\n"));
    QCOMPARE(readProfileString(path, QStringLiteral("s"), QStringLiteral("k"), QString(), capacity),
             expected);
}

void ProfileFileTest::readMissingOrUnreadableFileGivesDefault()
{
    const QString dflt = QStringLiteral("d");
    const QString s = QStringLiteral("s");
    const QString k = QStringLiteral("k");
    QCOMPARE(readProfileString(dir_.filePath(QStringLiteral("none.ini")), s, k, dflt), dflt);
    QCOMPARE(readProfileString(dir_.filePath(QStringLiteral("no/such/dir/x.ini")), s, k, dflt),
             dflt);
    QCOMPARE(readProfileString(dir_.path(), s, k, dflt), dflt);

    const ProfileFileContents missing = loadProfileFile(dir_.filePath(QStringLiteral("none.ini")));
    QCOMPARE(missing.status, ProfileFileStatus::Missing);
    QVERIFY(missing.errorMessage.isEmpty());

    const ProfileFileContents folder = loadProfileFile(dir_.path());
    QCOMPARE(folder.status, ProfileFileStatus::Unreadable);
    QCOMPARE(
        folder.errorMessage,
        QStringLiteral("Impossible de lire %1 : c'est un dossier").arg(shownPath(dir_.path())));
    QVERIFY(!folder.document.value(s, k));
}

void ProfileFileTest::valueBreakingTheLineIsStoredWithBlanks()
{
    // A typed text must not be able to end its line and open sections of its own.
    const QString path = freshPath();
    QVERIFY(writeBytes(path, "[s]\r\nk=old\r\n[t]\r\nk=keep\r\n"));
    const QString injected =
        QStringLiteral("a\r\n[t]\nk=evil\rb") + QChar(u'\0') + QStringLiteral("c");
    QVERIFY(writeProfileString(path, QStringLiteral("s"), QStringLiteral("k"), injected).ok);
    QCOMPARE(readBytes(path), QByteArray("[s]\r\nk=a  [t] k=evil b c\r\n[t]\r\nk=keep\r\n"));
    QCOMPARE(readProfileString(path, QStringLiteral("t"), QStringLiteral("k")),
             QStringLiteral("keep"));

    // Also for a key or a section that has to be added.
    QVERIFY(
        writeProfileString(path, QStringLiteral("u"), QStringLiteral("k"), QStringLiteral("x\ny"))
            .ok);
    QVERIFY(readBytes(path).endsWith("[u]\r\nk=x y\r\n"));
}

void ProfileFileTest::keyLineThatBecomesAHeader()
{
    // "[a=b" is a key named "[a"; given a value holding "]" the line opens a section, as it
    // would for any reader of the file. Later writes must see the new layout.
    ProfileDocument document(QByteArray("[s]\r\n[a=b\r\nk=1\r\n"));
    QCOMPARE(document.value(QStringLiteral("s"), QStringLiteral("[a")),
             std::optional<QString>(QStringLiteral("b")));
    QVERIFY(document.setValue(QStringLiteral("s"), QStringLiteral("[a"), QStringLiteral("]")));
    QCOMPARE(document.toBytes(), QByteArray("[s]\r\n[a=]\r\nk=1\r\n"));
    QCOMPARE(document.value(QStringLiteral("s"), QStringLiteral("k")), std::nullopt);
    QCOMPARE(document.value(QStringLiteral("a="), QStringLiteral("k")),
             std::optional<QString>(QStringLiteral("1")));
    QVERIFY(document.setValue(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("2")));
    QVERIFY(document.setValue(QStringLiteral("a="), QStringLiteral("k"), QStringLiteral("3")));
    QCOMPARE(document.toBytes(), QByteArray("[s]\r\nk=2\r\n[a=]\r\nk=3\r\n"));

    // The same through a key that has to be added.
    ProfileDocument added(QByteArray("[s]\r\n[t]\r\n"));
    QVERIFY(added.setValue(QStringLiteral("s"), QStringLiteral("[x"), QStringLiteral("]")));
    QVERIFY(added.setValue(QStringLiteral("t"), QStringLiteral("k"), QStringLiteral("1")));
    QVERIFY(added.setValue(QStringLiteral("x="), QStringLiteral("k"), QStringLiteral("2")));
    QCOMPARE(added.toBytes(), QByteArray("[s]\r\n[x=]\r\nk=2\r\n[t]\r\nk=1\r\n"));
}

void ProfileFileTest::windows1252RoundTrip()
{
    const QString path = freshPath();
    const QString text = QStringLiteral(u"é€œŒ…ÿ\u00a0");
    QVERIFY(writeProfileString(path, QStringLiteral("s"), QStringLiteral("k"), text).ok);
    QCOMPARE(readBytes(path), QByteArray("[s]\r\nk=\xe9\x80\x9c\x8c\x85\xff\xa0\r\n"));
    QCOMPARE(readProfileString(path, QStringLiteral("s"), QStringLiteral("k"), QString(), 0), text);

    // Characters the code page cannot hold: one "?" each, a pair of surrogates included.
    const QString foreign = QStringLiteral(u"a中b\U0001F600c\u0080d\u2028");
    QCOMPARE(encodeWindows1252(foreign), QByteArray("a?b?c?d?"));
    QVERIFY(writeProfileString(path, QStringLiteral("s"), QStringLiteral("k"), foreign).ok);
    QCOMPARE(readBytes(path), QByteArray("[s]\r\nk=a?b?c?d?\r\n"));
    QCOMPARE(encodeWindows1252(QString(QChar(0xd800))), QByteArray("?"));  // lone surrogate

    // Every byte decodes to a character that encodes back to it.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString decoded = decodeWindows1252(all);
    QCOMPARE(decoded.size(), 256);
    QCOMPARE(encodeWindows1252(decoded), all);
    QCOMPARE(decoded.at(0x80), QChar(0x20ac));
    QCOMPARE(decoded.at(0x9f), QChar(0x0178));
    QCOMPARE(decoded.at(0x8a), QChar(0x0160));
    QCOMPARE(decoded.at(0xa4), QChar(0x00a4));
}

void ProfileFileTest::windows1252UndefinedBytesSurvive()
{
    const QString path = freshPath();
    const QByteArray undefined("\x81\x8d\x8f\x90\x9d");
    QVERIFY(writeBytes(path, "[s]\r\nk=" + undefined + "\r\n"));
    const QString value = readProfileString(path, QStringLiteral("s"), QStringLiteral("k"));
    QCOMPARE(value, QStringLiteral(u"\u0081\u008d\u008f\u0090\u009d"));
    QVERIFY(writeProfileString(path, QStringLiteral("t"), QStringLiteral("k"), value).ok);
    QCOMPARE(readBytes(path), "[s]\r\nk=" + undefined + "\r\n[t]\r\nk=" + undefined + "\r\n");
}

void ProfileFileTest::writingHeldValueLeavesFileUntouched()
{
    const QString path = freshPath();
    const QByteArray bytes("[s]\nk =  v \t\n[t]\r\nk=\r\n");
    QVERIFY(writeBytes(path, bytes));
    const auto inode = inodeOf(path);
    QVERIFY(inode != 0);

    QVERIFY(
        writeProfileString(path, QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v")).ok);
    QVERIFY(
        writeProfileString(path, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral(" v "))
            .ok);
    QVERIFY(writeProfileString(path, QStringLiteral("t"), QStringLiteral("k"), QString()).ok);
    QVERIFY(
        writeProfileStrings(path, {{QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v")},
                                   {QStringLiteral("t"), QStringLiteral("k"), QString()}})
            .ok);
    QVERIFY(writeProfileStrings(path, {}).ok);
    QCOMPARE(readBytes(path), bytes);
    QCOMPARE(inodeOf(path), inode);  // not even replaced by an identical copy

    // A change followed by a change back, in one batch, leaves the file alone too.
    QVERIFY(
        writeProfileStrings(path, {{QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("w")},
                                   {QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v")}})
            .ok);
    QCOMPARE(readBytes(path), bytes);

    // A file that does not exist is not created by an empty batch.
    const QString none = freshPath();
    QVERIFY(writeProfileStrings(none, {}).ok);
    QVERIFY(!QFile::exists(none));
}

void ProfileFileTest::batchEqualsSingleWrites_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");

    QTest::newRow("no file") << false << QByteArray();
    QTest::newRow("empty file") << true << QByteArray("");
    QTest::newRow("settings file") << true << QByteArray("[Port COM]\r\nvaleur=2\r\n");
    QTest::newRow("mixed file")
        << true
        << QByteArray("; saved by hand\n[cmb2]\nvaleur=7\n\n[Divers]\r\nx=1\r\n[TXT3]\r\n"
                      "  Valeur = 12:00:00 \r\n; end\r\n\r\n[chk5]\rvaleur=2\r[txt40]\r\nautre=1");
    QTest::newRow("program sections duplicated")
        << true << QByteArray("[txt0]\r\nvaleur=a\r\nvaleur=b\r\n[txt0]\r\nvaleur=c\r\n");
}

void ProfileFileTest::batchEqualsSingleWrites()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);

    QList<ProfileEntry> entries;
    const QString key = QStringLiteral("valeur");
    for (int i = 0; i < 50; ++i)
        entries.append({QStringLiteral("txt%1").arg(i), key, QStringLiteral("%1:00:00").arg(i)});
    for (int i = 0; i < 4; ++i)
        entries.append({QStringLiteral("cmb%1").arg(i), key, QString::number(i - 1)});
    for (int i = 0; i < 6; ++i)
        entries.append({QStringLiteral("chk%1").arg(i), key, QString::number(i % 2)});
    entries.append({QStringLiteral("Port COM"), key, QStringLiteral("3")});
    entries.append({QStringLiteral("txt3"), key, QStringLiteral("written twice")});
    entries.append({QStringLiteral("txt4"), QStringLiteral("other"), QString()});

    const QString single = freshPath();
    const QString batch = freshPath();
    if (exists) {
        QVERIFY(writeBytes(single, before));
        QVERIFY(writeBytes(batch, before));
    }
    for (const ProfileEntry &entry : std::as_const(entries))
        QVERIFY(writeProfileString(single, entry.section, entry.key, entry.value).ok);
    const auto inodeBefore = inodeOf(batch);
    QVERIFY(writeProfileStrings(batch, entries).ok);
    QCOMPARE(readBytes(batch), readBytes(single));
    if (exists)
        QVERIFY(inodeOf(batch) != inodeBefore);  // replaced as a whole, not edited in place
}

void ProfileFileTest::readOnlyFileIsNotReplaced()
{
    // Checked by the file's mode, so this holds for the super-user too.
    const QString path = freshPath();
    const QByteArray bytes("[s]\r\nk=1\r\n");
    QVERIFY(writeBytes(path, bytes));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                            QFileDevice::ReadOther));

    const ProfileWriteResult result =
        writeProfileString(path, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("2"));
    QVERIFY(!result.ok);
    QCOMPARE(result.errorMessage,
             QStringLiteral("Impossible d'enregistrer %1 : le fichier est en lecture seule")
                 .arg(shownPath(path)));
    const ProfileWriteResult batch = writeProfileStrings(
        path, {{QStringLiteral("t"), QStringLiteral("k"), QStringLiteral("2")}});
    QVERIFY(!batch.ok);
    QCOMPARE(batch.errorMessage, result.errorMessage);
    QCOMPARE(readBytes(path), bytes);

    // Nothing to change: nothing to refuse.
    QVERIFY(
        writeProfileString(path, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("1")).ok);
    QCOMPARE(readProfileString(path, QStringLiteral("s"), QStringLiteral("k")),
             QStringLiteral("1"));
}

void ProfileFileTest::unwritableFolderFails()
{
    if (!permissionsEnforced())
        QSKIP("running as the super-user: folder permissions are not enforced");
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString existing = folder.filePath(QStringLiteral("param.ini"));
    const QByteArray bytes("[s]\r\nk=1\r\n");
    QVERIFY(writeBytes(existing, bytes));
    const QFileDevice::Permissions readOnlyFolder = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    QVERIFY(QFile::setPermissions(folder.path(), readOnlyFolder));

    const QString created = folder.filePath(QStringLiteral("new.ini"));
    const ProfileWriteResult newFile =
        writeProfileString(created, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("1"));
    const ProfileWriteResult oldFile =
        writeProfileString(existing, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("2"));
    const bool createdExists = QFile::exists(created);
    const QByteArray after = readBytes(existing);
    QVERIFY(QFile::setPermissions(folder.path(), readOnlyFolder | QFileDevice::WriteOwner));

    QVERIFY(!newFile.ok);
    QCOMPARE(newFile.errorMessage,
             QStringLiteral("Impossible d'enregistrer %1 : le dossier %2 n'est pas accessible en "
                            "écriture")
                 .arg(shownPath(created), shownPath(folder.path())));
    QVERIFY(!createdExists);
    QVERIFY(!oldFile.ok);
    QVERIFY(oldFile.errorMessage.startsWith(
        QStringLiteral("Impossible d'enregistrer %1 : ").arg(shownPath(existing))));
    QCOMPARE(after, bytes);
}

void ProfileFileTest::missingFolderFails()
{
    const QString path = dir_.filePath(QStringLiteral("missing/param.ini"));
    const ProfileWriteResult result =
        writeProfileString(path, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("1"));
    QVERIFY(!result.ok);
    QCOMPARE(result.errorMessage,
             QStringLiteral("Impossible d'enregistrer %1 : le dossier %2 n'existe pas")
                 .arg(shownPath(path), shownPath(dir_.filePath(QStringLiteral("missing")))));
    QVERIFY(!QFile::exists(path));
}

void ProfileFileTest::directoryPathFails()
{
    const QString path = dir_.filePath(QStringLiteral("a-folder"));
    QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("a-folder")));
    const ProfileWriteResult result =
        writeProfileString(path, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("1"));
    QVERIFY(!result.ok);
    QCOMPARE(result.errorMessage,
             QStringLiteral("Impossible d'enregistrer %1 : c'est un dossier").arg(shownPath(path)));
    QVERIFY(QFileInfo(path).isDir());
}

void ProfileFileTest::unreadableFileIsNotReplaced()
{
    if (!permissionsEnforced())
        QSKIP("running as the super-user: read permissions are not enforced");
    const QString path = freshPath();
    const QByteArray bytes("[s]\r\nk=1\r\n[other]\r\nx=1\r\n");
    QVERIFY(writeBytes(path, bytes));
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));

    QCOMPARE(readProfileString(path, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("d")),
             QStringLiteral("d"));
    const ProfileWriteResult result =
        writeProfileString(path, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("2"));
    QVERIFY(!result.ok);
    QCOMPARE(result.errorMessage,
             QStringLiteral("Impossible d'enregistrer %1 : le fichier ne peut pas être lu")
                 .arg(shownPath(path)));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(readBytes(path), bytes);
}

// A huge file or a device chosen by mistake is refused at once, never read whole (a device such
// as /dev/zero would never end), and never replaced.
void ProfileFileTest::oversizedOrSpecialFilesAreNotRead()
{
    const QString path = freshPath();
    QByteArray big("[s]\r\nk=1\r\n");
    big.append(QByteArray(kMaxProfileFileSize, ';'));
    QVERIFY(writeBytes(path, big));
    const ProfileFileContents contents = loadProfileFile(path);
    QCOMPARE(contents.status, ProfileFileStatus::Unreadable);
    QVERIFY2(contents.errorMessage.contains(QStringLiteral("trop gros")),
             qPrintable(contents.errorMessage));
    QCOMPARE(readProfileString(path, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("d")),
             QStringLiteral("d"));
    QVERIFY(!writeProfileString(path, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("2"))
                 .ok);
    QCOMPARE(QFileInfo(path).size(), qint64(big.size()));

#ifndef Q_OS_WIN  // Windows keeps its devices out of the folders
    const ProfileFileContents device = loadProfileFile(QStringLiteral("/dev/zero"));
    QCOMPARE(device.status, ProfileFileStatus::Unreadable);
    QVERIFY2(device.errorMessage.contains(QStringLiteral("pas un fichier ordinaire")),
             qPrintable(device.errorMessage));
#endif
}

// A file written by Notepad or PowerShell keeps its byte-order mark and its encoding when the
// tool writes into it; untouched lines keep their bytes.
void ProfileFileTest::markedFilesKeepTheirEncoding_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    const QByteArray utf8Mark("\xef\xbb\xbf");
    const QByteArray utf16Mark("\xff\xfe");
    QTest::newRow("UTF-8") << utf8Mark + "[Port COM]\r\nvaleur=3\r\n[Notes]\r\nx=\xc3\xa9\r\n"
                           << utf8Mark + "[Port COM]\r\nvaleur=4\r\n[Notes]\r\nx=\xc3\xa9\r\n"
                                         "[txt0]\r\nvaleur=\xc3\xa0 8h\r\n";
    QTest::newRow("UTF-8, invalid bytes elsewhere kept")
        << utf8Mark + "[Notes]\r\nx=\xff\xc3\r\n[Port COM]\r\nvaleur=3\r\n"
        << utf8Mark + "[Notes]\r\nx=\xff\xc3\r\n[Port COM]\r\nvaleur=4\r\n"
                      "[txt0]\r\nvaleur=\xc3\xa0 8h\r\n";
    QTest::newRow("UTF-16LE")
        << utf16Mark + utf16le(u"[Port COM]\r\nvaleur=3\r\n[Notes]\r\nx=\u00e9\U0001F600\r\n")
        << utf16Mark + utf16le(u"[Port COM]\r\nvaleur=4\r\n[Notes]\r\nx=\u00e9\U0001F600\r\n"
                               u"[txt0]\r\nvaleur=\u00e0 8h\r\n");
    QTest::newRow("UTF-16LE, lone surrogate elsewhere kept")
        << utf16Mark + utf16le(u"[Notes]\nx=") + QByteArray("\x00\xd8", 2) +
               utf16le(u"\n[Port COM]\nvaleur=3\n")
        << utf16Mark + utf16le(u"[Notes]\nx=") + QByteArray("\x00\xd8", 2) +
               utf16le(u"\n[Port COM]\nvaleur=4\n[txt0]\r\nvaleur=\u00e0 8h\r\n");
}

void ProfileFileTest::markedFilesKeepTheirEncoding()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    const QString path = freshPath();
    QVERIFY(writeBytes(path, before));
    const ProfileWriteResult result = writeProfileStrings(
        path, {{QStringLiteral("Port COM"), QStringLiteral("valeur"), QStringLiteral("4")},
               {QStringLiteral("txt0"), QStringLiteral("valeur"), QStringLiteral(u"\u00e0 8h")}});
    QVERIFY2(result.ok, qPrintable(result.errorMessage));
    QCOMPARE(readBytes(path).toHex(' '), after.toHex(' '));
    QCOMPARE(readProfileString(path, QStringLiteral("txt0"), QStringLiteral("valeur")),
             QStringLiteral(u"\u00e0 8h"));
    QCOMPARE(readProfileString(path, QStringLiteral("Port COM"), QStringLiteral("valeur")),
             QStringLiteral("4"));
}

// A writer that cannot get the lock within its time writes nothing and says so.
void ProfileFileTest::writerWaitsForTheLock()
{
    const QString path = dir_.filePath(QStringLiteral("verrou.ini"));
    const QByteArray before("[Port COM]\r\nvaleur=1\r\n");
    QVERIFY(writeBytes(path, before));
    QLockFile other(ProfileLock::lockPathFor(path));
    QVERIFY(other.tryLock(0));

    QElapsedTimer clock;
    clock.start();
    const ProfileWriteResult blocked = writeProfileString(
        path, QStringLiteral("Port COM"), QStringLiteral("valeur"), QStringLiteral("2"));
    QVERIFY(!blocked.ok);
    QVERIFY2(clock.elapsed() >= kProfileLockTimeoutMs - 100,
             qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(blocked.errorMessage.contains(QStringLiteral("rien n'a été écrit")),
             qPrintable(blocked.errorMessage));
    QCOMPARE(readBytes(path), before);
}

QTEST_GUILESS_MAIN(ProfileFileTest)
#include "test_profile_file.moc"
