// The journal of frames sent: it survives a writer killed in the middle of its work, keeps its
// bound, and loses no line when two programs write at once.
#include "store/journal.h"

#include "support/test_files.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

using namespace platine;
using namespace platine::test;

namespace {

JournalEntry sampleEntry(const QString &port, int number)
{
    // A program frame's size, with the number in its bytes so that every entry differs.
    QByteArray frame(125, char(number % 256));
    frame[0] = 'B';
    frame[1] = char(number / 256);
    return makeJournalEntry(JournalKind::Program, port, frame, QStringLiteral("/tmp/p.txt"),
                            number % 3, JournalResult::Sent);
}

// Helper mode of this program: appends entries tagged with port to the journal at path (with the
// given bound), count of them or for ever (count < 0), and prints how many it has written.
int appendEntries(const QString &path, int count, const QString &port, int limit)
{
    const Journal journal(path, limit);
    for (int n = 0; count < 0 || n < count; ++n) {
        if (!journal.append(sampleEntry(port, n)).ok)
            return 1;
        if (count < 0)
            printf("%d\n", n + 1), fflush(stdout);
    }
    return 0;
}

// This program in its helper mode.
QProcess *startWriter(const QString &path, int count, const QString &port, int limit)
{
    auto *process = new QProcess;
    process->start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--append"), path, QString::number(count), port, QString::number(limit)});
    return process;
}

}  // namespace

class JournalTest : public QObject
{
    Q_OBJECT

private slots:
    void entriesComeBackNewestFirstWithTheirBytes()
    {
        QTemporaryDir dir;
        const Journal journal(dir.filePath(QStringLiteral("sous/journal.jsonl")));
        const JournalEntry first = sampleEntry(QStringLiteral("/dev/ttyUSB0"), 1);
        const JournalEntry refused =
            makeJournalEntry(JournalKind::Clock, QStringLiteral("3"), {}, {}, 0,
                             JournalResult::Refused, QStringLiteral("Heure du PC impossible"));
        QVERIFY(journal.append(first).ok && journal.append(refused).ok);
        QCOMPARE(journal.read().entries, (QList<JournalEntry>{refused, first}));
        QCOMPARE(journal.read(1).entries, QList<JournalEntry>{refused});

        // One JSON object per line, the time with its offset from UTC.
        const QList<QByteArray> lines = readBytes(journal.path()).split('\n');
        QCOMPARE(lines.size(), 3);
        const QJsonObject object = QJsonDocument::fromJson(lines[0]).object();
        QCOMPARE(QDateTime::fromString(object.value(QStringLiteral("time")).toString(), Qt::ISODate)
                     .offsetFromUtc(),
                 QDateTime::currentDateTime().offsetFromUtc());
        // Bytes changed on disk no longer match their SHA-256: never offered for a resend.
        QVERIFY(writeBytes(journal.path(), readBytes(journal.path()).replace("420001", "420002")));
        QCOMPARE(journal.read().entries, QList<JournalEntry>{refused});
        QCOMPARE(journal.read().skippedLines, 1);
    }

    void aHalfLineIsSkippedAndTheNextEntryStandsOnItsOwn()
    {
        QTemporaryDir dir;
        const Journal journal(dir.filePath(QStringLiteral("journal.jsonl")));
        const JournalEntry before = sampleEntry(QStringLiteral("a"), 1);
        QVERIFY(journal.append(before).ok);
        const QByteArray whole = readBytes(journal.path());
        // A crash in the middle of the second line.
        QVERIFY(writeBytes(journal.path(), whole + whole.left(whole.size() / 2)));
        JournalReadResult read = journal.read();
        QCOMPARE(read.entries, QList<JournalEntry>{before});
        QCOMPARE(read.skippedLines, 1);
        QVERIFY(read.remark.contains(QStringLiteral("1 ligne")));

        const JournalEntry next = sampleEntry(QStringLiteral("b"), 2);
        QVERIFY(journal.append(next).ok);
        read = journal.read();
        QCOMPARE(read.entries, (QList<JournalEntry>{next, before}));
        QCOMPARE(read.skippedLines, 1);
    }

    void theOldestEntriesGoPastAThousand()
    {
        QTemporaryDir dir;
        const Journal journal(dir.filePath(QStringLiteral("journal.jsonl")));
        QByteArray lines;
        for (int n = 0; n < kJournalLimit; ++n)
            lines += QJsonDocument(journalEntryToJson(sampleEntry(QStringLiteral("p"), n)))
                         .toJson(QJsonDocument::Compact) +
                     '\n';
        QVERIFY(writeBytes(journal.path(), lines));
        QVERIFY(journal.append(sampleEntry(QStringLiteral("p"), 1000)).ok);
        // Kept to compare with: an entry made again later may fall in the next second.
        const JournalEntry newest = sampleEntry(QStringLiteral("p"), 1001);
        QVERIFY(journal.append(newest).ok);
        const JournalReadResult read = journal.read();
        QCOMPARE(read.skippedLines, 0);
        QCOMPARE(read.entries.size(), kJournalLimit);
        QCOMPARE(read.entries.first(), newest);
        QCOMPARE(read.entries.last().frame, sampleEntry(QStringLiteral("p"), 2).frame);
        QCOMPARE(readBytes(journal.path()).count('\n'), kJournalLimit);
    }

    void aWriterKilledMidAppendLosesAtMostItsLine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("journal.jsonl"));
        // A small bound, so that the kill may also fall in the middle of a replacement.
        constexpr int kLimit = 40;
        std::unique_ptr<QProcess> writer(startWriter(path, -1, QStringLiteral("w"), kLimit));
        int written = 0;
        QVERIFY(QTest::qWaitFor(
            [&] {
                while (writer->canReadLine())
                    written = writer->readLine().trimmed().toInt();
                return written >= 3 * kLimit;
            },
            60000));
        writer->kill();  // SIGKILL
        QVERIFY(writer->waitForFinished());

        const QList<QByteArray> lines = readBytes(path).split('\n');
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)  // every line that was ended
            QVERIFY2(QJsonDocument::fromJson(lines[i]).isObject(), lines[i].constData());
        const Journal journal(path, kLimit);
        QVERIFY(journal.read().skippedLines <= 1);
        QVERIFY(journal.read().entries.size() >= kLimit - 1);
        // The dead writer's lock does not stop the next one.
        const JournalEntry after = sampleEntry(QStringLiteral("après"), 7);
        const JournalWriteResult appended = journal.append(after);
        QVERIFY2(appended.ok, qPrintable(appended.errorMessage));
        QCOMPARE(journal.read().entries.first(), after);
    }

    void twoWritersAtOnceLoseNoLine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("journal.jsonl"));
        constexpr int kEach = 60;
        std::unique_ptr<QProcess> window(startWriter(path, kEach, QStringLiteral("fenêtre"), 1000));
        std::unique_ptr<QProcess> cli(startWriter(path, kEach, QStringLiteral("cli"), 1000));
        QVERIFY(window->waitForFinished(60000) && cli->waitForFinished(60000));
        QCOMPARE(window->exitCode() + cli->exitCode(), 0);
        const JournalReadResult read = Journal(path).read();
        QCOMPARE(read.skippedLines, 0);
        QCOMPARE(read.entries.size(), 2 * kEach);
    }
};

int main(int argc, char *argv[])
{
    if (argc == 6 && std::strcmp(argv[1], "--append") == 0) {
        QCoreApplication app(argc, argv);
        return appendEntries(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]),
                             QString::fromLocal8Bit(argv[4]), std::atoi(argv[5]));
    }
    QCoreApplication app(argc, argv);
    JournalTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_journal.moc"
