// Replacing a settings or program file: it is either fully written or left byte for byte as it
// was, whatever step fails, and the failure is never reported as a save.
#include "store/atomic_file.h"
#include "store/profile_file.h"
#include "store/program_file.h"

#ifndef Q_OS_WIN
#include "support/small_disk.h"
#endif
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

using namespace platine;
using namespace platine::test;

namespace {

const QByteArray kOriginal = "; garde\r\n[Port COM]\r\nvaleur=3\r\n[txt0]\r\nvaleur=06:00:00\r\n"
                             "[Notes]\r\nauteur=Andr\xe9\r\n";

// The real file system, with one step made to fail as a full or failing disk would.
class FailingFileSystem : public FileSystem
{
public:
    FailingFileSystem(ReplaceStep step, int error) : step_(step), error_(error) {}

    int open(const char *path, int flags, mode_t mode) override
    {
        return fail(ReplaceStep::Create) ? -1 : FileSystem::open(path, flags, mode);
    }
    ssize_t write(int fd, const void *data, size_t size) override
    {
        if (step_ == ReplaceStep::Write && size > 1 && !shortWriteDone_) {
            // The first write is cut short, as a nearly full disk does; the next one fails.
            shortWriteDone_ = true;
            return FileSystem::write(fd, data, size / 2);
        }
        return fail(ReplaceStep::Write) ? -1 : FileSystem::write(fd, data, size);
    }
    int fsync(int fd) override { return fail(ReplaceStep::Sync) ? -1 : FileSystem::fsync(fd); }
    int fchmod(int fd, mode_t mode) override
    {
        return fail(ReplaceStep::Keep) ? -1 : FileSystem::fchmod(fd, mode);
    }
    int close(int fd) override
    {
        const int result = FileSystem::close(fd);  // the descriptor is gone either way
        return fail(ReplaceStep::Close) ? -1 : result;
    }
    int rename(const char *from, const char *to) override
    {
        return fail(ReplaceStep::Rename) ? -1 : FileSystem::rename(from, to);
    }

private:
    bool fail(ReplaceStep step)
    {
        if (step != step_)
            return false;
        errno = error_;
        return true;
    }

    ReplaceStep step_;
    int error_;
    bool shortWriteDone_ = false;
};

// Every entry of a folder, hidden ones included.
QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

#ifndef Q_OS_WIN
mode_t modeOf(const QString &path)
{
    struct stat info = {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}
#endif

RelayProgram sampleProgram()
{
    RelayProgram program;
    for (int i = 0; i < kTextSlotCount; ++i)
        program.texts[static_cast<size_t>(i)] =
            QStringLiteral("%1:00:00").arg(i % 24, 2, 10, QLatin1Char('0'));
    program.dayChoices = {9, 8, 1, -1};
    program.enables = {1, 0, 1, 0, 0, 1};
    return program;
}

}  // namespace

class FileReplacementTest : public QObject
{
    Q_OBJECT

private slots:
    void failedStepKeepsTheOldFile_data();
    void failedStepKeepsTheOldFile();
    void failedCreationOfANewFileLeavesNothing();
    void permissionBitsSurvive();
    void ownerSurvivesASaveByTheSuperUser();
    void symbolicLinkKeepsPointingAtItsTarget();
    void fullDiskKeepsTheOldFile();
};

void FileReplacementTest::failedStepKeepsTheOldFile_data()
{
    QTest::addColumn<ReplaceStep>("step");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");
    QTest::newRow("temporary file, disk full")
        << ReplaceStep::Create << ENOSPC << QStringLiteral("disque plein");
    QTest::newRow("temporary file, read-only medium")
        << ReplaceStep::Create << EROFS << QStringLiteral("lecture seule");
    QTest::newRow("write, disk full")
        << ReplaceStep::Write << ENOSPC << QStringLiteral("disque plein");
    QTest::newRow("write, unplugged stick")
        << ReplaceStep::Write << EIO << QStringLiteral("entrée-sortie");
    QTest::newRow("sync, disk full")
        << ReplaceStep::Sync << ENOSPC << QStringLiteral("disque plein");
#ifndef Q_OS_WIN  // no quotas in errno, and the bits are not copied there
    QTest::newRow("sync, quota") << ReplaceStep::Sync << EDQUOT << QStringLiteral("quota");
    QTest::newRow("permission bits")
        << ReplaceStep::Keep << EPERM << QStringLiteral("droits du fichier");
#endif
    QTest::newRow("close, network file")
        << ReplaceStep::Close << EIO << QStringLiteral("entrée-sortie");
    QTest::newRow("rename") << ReplaceStep::Rename << EBUSY << QStringLiteral("remplacé");
}

void FileReplacementTest::failedStepKeepsTheOldFile()
{
    QFETCH(ReplaceStep, step);
    QFETCH(int, error);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("param.ini"));
    QVERIFY(writeBytes(path, kOriginal));
    const QStringList before = entries(dir.path());

    ProfileWriteResult result;
    {
        FailingFileSystem failing(step, error);
        FileSystemOverride override(failing);
        result = writeProgram(path, sampleProgram());
    }
    QVERIFY(!result.ok);
    QCOMPARE(readBytes(path), kOriginal);
    QCOMPARE(entries(dir.path()), before);  // no temporary file left behind
    QVERIFY2(
        result.errorMessage.startsWith(
            QStringLiteral("Impossible d'enregistrer %1 : ").arg(QDir::toNativeSeparators(path))),
        qPrintable(result.errorMessage));
    QVERIFY2(result.errorMessage.contains(reason), qPrintable(result.errorMessage));
    QVERIFY2(!result.errorMessage.contains(QStringLiteral("enregistré")),
             qPrintable(result.errorMessage));

    // Once the disk is fine again, the same save goes through.
    const ProfileWriteResult retried = writeProgram(path, sampleProgram());
    QVERIFY2(retried.ok, qPrintable(retried.errorMessage));
    QCOMPARE(readProgram(path).texts, sampleProgram().texts);
    QCOMPARE(readProfileString(path, QStringLiteral("Notes"), QStringLiteral("auteur")),
             QStringLiteral("André"));
}

void FileReplacementTest::failedCreationOfANewFileLeavesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("nouveau.txt"));
    FailingFileSystem failing(ReplaceStep::Sync, ENOSPC);
    FileSystemOverride override(failing);
    const ProfileWriteResult result = writeProgram(path, sampleProgram());
    QVERIFY(!result.ok);
    QVERIFY2(result.errorMessage.contains(QStringLiteral("disque plein")),
             qPrintable(result.errorMessage));
    QCOMPARE(entries(dir.path()), QStringList());
}

#ifdef Q_OS_WIN
// Windows has neither these permission bits nor owners of this kind (the new file takes its
// folder's security), symbolic links need an administrator there, and
// the small disk is a Linux mount.
void FileReplacementTest::permissionBitsSurvive()
{
    QSKIP("Unix permission bits");
}

void FileReplacementTest::ownerSurvivesASaveByTheSuperUser()
{
    QSKIP("Unix owners");
}

void FileReplacementTest::symbolicLinkKeepsPointingAtItsTarget()
{
    QSKIP("symbolic links");
}

void FileReplacementTest::fullDiskKeepsTheOldFile()
{
    QSKIP("a small disk mounted for the test");
}
#else
void FileReplacementTest::permissionBitsSurvive()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("prive.txt"));
    QVERIFY(writeBytes(path, kOriginal));
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    QVERIFY(writeProgram(path, sampleProgram()).ok);
    QCOMPARE(modeOf(path), mode_t(0640));

    const QString fresh = dir.filePath(QStringLiteral("neuf.txt"));
    const mode_t mask = ::umask(022);
    const bool written = writeProgram(fresh, sampleProgram()).ok;
    ::umask(mask);
    QVERIFY(written);
    QCOMPARE(modeOf(fresh), mode_t(0644));
}

void FileReplacementTest::ownerSurvivesASaveByTheSuperUser()
{
    if (::geteuid() != 0)
        QSKIP("giving a file to another user needs the super-user");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("param.ini"));
    QVERIFY(writeBytes(path, kOriginal));
    const QByteArray name = QFile::encodeName(path);
    constexpr uid_t kUser = 65534;  // nobody
    constexpr gid_t kGroup = 65534;
    QCOMPARE(::chown(name.constData(), kUser, kGroup), 0);
    QCOMPARE(::chmod(name.constData(), 0604), 0);

    QVERIFY(writeProgram(path, sampleProgram()).ok);
    struct stat info = {};
    QCOMPARE(::stat(name.constData(), &info), 0);
    QCOMPARE(info.st_uid, kUser);
    QCOMPARE(info.st_gid, kGroup);
    QCOMPARE(info.st_mode & 07777, mode_t(0604));
    QCOMPARE(readProgram(path).texts, sampleProgram().texts);
}

void FileReplacementTest::symbolicLinkKeepsPointingAtItsTarget()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("reel")));
    const QString target = dir.filePath(QStringLiteral("reel/param.ini"));
    const QString link = dir.filePath(QStringLiteral("param.ini"));
    QVERIFY(writeBytes(target, kOriginal));
    QVERIFY(QFile::link(QStringLiteral("reel/param.ini"), link));

    QVERIFY(writeProgram(link, sampleProgram()).ok);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readProgram(target).texts, sampleProgram().texts);
    QCOMPARE(entries(dir.filePath(QStringLiteral("reel"))),
             QStringList{QStringLiteral("param.ini")});

    // A link whose target does not exist yet: the target is created, the link stays.
    const QString dangling = dir.filePath(QStringLiteral("lien.txt"));
    QVERIFY(QFile::link(QStringLiteral("reel/nouveau.txt"), dangling));
    QVERIFY(writeProgram(dangling, sampleProgram()).ok);
    QVERIFY(QFileInfo(dangling).isSymLink());
    QCOMPARE(readProgram(dir.filePath(QStringLiteral("reel/nouveau.txt"))).texts,
             sampleProgram().texts);
}

void FileReplacementTest::fullDiskKeepsTheOldFile()
{
    SmallDisk disk;
    if (!disk.available())
        QSKIP(qPrintable(disk.reason()));
    const QString path = disk.filePath(QStringLiteral("param.ini"));
    QVERIFY(writeBytes(path, kOriginal));
    QVERIFY(disk.fill());

    const ProfileWriteResult result = writeProgram(path, sampleProgram());
    QVERIFY(!result.ok);
    QVERIFY2(result.errorMessage.contains(QStringLiteral("disque plein")),
             qPrintable(result.errorMessage));
    QCOMPARE(readBytes(path), kOriginal);
    QCOMPARE(entries(QFileInfo(path).absolutePath()),
             (QStringList{QStringLiteral("filler"), QStringLiteral("param.ini")}));
}
#endif

QTEST_GUILESS_MAIN(FileReplacementTest)
#include "test_file_replacement.moc"
