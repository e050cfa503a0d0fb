#include "store/atomic_file.h"

#include "store/link_safety.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platine {

namespace {

FileSystem realFileSystem;
FileSystem *currentFileSystem = &realFileSystem;

}  // namespace

QString replacementRefusal(const QString &path)
{
    if (const QString refusal = untrustedLinkRefusal(path); !refusal.isEmpty())
        return refusal;
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    if (info.isDir())
        return QStringLiteral("c'est un dossier");
    if (!info.isFile())
        return QStringLiteral("ce n'est pas un fichier ordinaire");
    // The mode bits are checked directly because the super-user passes every access check.
    constexpr QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!(info.permissions() & anyWrite))
        return QStringLiteral("le fichier est en lecture seule");
    if (!info.isWritable())
        return QStringLiteral("le fichier n'est pas accessible en écriture");
    return {};
}

QString replacementTarget(const QString &path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            return current;
        const QString target = info.symLinkTarget();  // absolute
        if (target.isEmpty())
            return current;
        current = target;
    }
    return current;  // a loop: the rename will fail with the system's reason
}

namespace {

QByteArray temporaryName(const QByteArray &target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    const QByteArray name = target.mid(slash + 1);
    QByteArray suffix = QByteArray::number(QRandomGenerator::global()->generate(), 36);
    return folder + '.' + name + ".tmp-" + suffix;
}

// Writes everything, resuming after short writes and interruptions.
bool writeAll(FileSystem &fs, int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = fs.write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

void syncFolder(const QByteArray &target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray("/") : target.left(slash);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);  // the rename is done; a failure here cannot be undone or reported usefully
    ::close(fd);
}

}  // namespace

int FileSystem::open(const char *path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

ssize_t FileSystem::write(int fd, const void *data, size_t size)
{
    return ::write(fd, data, size);
}

int FileSystem::fsync(int fd)
{
    return ::fsync(fd);
}

int FileSystem::fchown(int fd, uid_t owner, gid_t group)
{
    return ::fchown(fd, owner, group);
}

int FileSystem::fchmod(int fd, mode_t mode)
{
    return ::fchmod(fd, mode);
}

int FileSystem::close(int fd)
{
    return ::close(fd);
}

int FileSystem::rename(const char *from, const char *to)
{
    return ::rename(from, to);
}

int FileSystem::unlink(const char *path)
{
    return ::unlink(path);
}

FileSystem &fileSystem()
{
    return *currentFileSystem;
}

FileSystemOverride::FileSystemOverride(FileSystem &replacement) : previous_(currentFileSystem)
{
    currentFileSystem = &replacement;
}

FileSystemOverride::~FileSystemOverride()
{
    currentFileSystem = previous_;
}

ReplaceResult replaceFile(const QString &path, const QByteArray &bytes)
{
    FileSystem &fs = fileSystem();
    const QByteArray target = QFile::encodeName(replacementTarget(path));

    struct stat old = {};
    const bool existed = ::stat(target.constData(), &old) == 0;

    auto failure = [](ReplaceStep step) { return ReplaceResult{false, step, errno}; };

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = temporaryName(target);
        fd = fs.open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return failure(ReplaceStep::Create);
    }
    if (fd < 0)
        return failure(ReplaceStep::Create);

    // Undoes everything after a failed step, keeping that step's errno.
    auto abandon = [&](ReplaceStep step) {
        const ReplaceResult result = failure(step);
        if (fd >= 0)
            fs.close(fd);
        fs.unlink(temporary.constData());
        return result;
    };

    if (!writeAll(fs, fd, bytes))
        return abandon(ReplaceStep::Write);
    // Many file systems only find out that the disk is full when the data goes to it.
    if (fs.fsync(fd) != 0)
        return abandon(ReplaceStep::Sync);
    if (existed) {
        // The replacement keeps the old file's owner, group and permission bits: a save made
        // by the super-user must not take the user's own file away from them. Others can only
        // hand the file to a group they belong to; when that fails the file is theirs, as any
        // new file they make.
        if (::geteuid() == 0) {
            if (fs.fchown(fd, old.st_uid, old.st_gid) != 0)
                return abandon(ReplaceStep::Keep);
        } else if (old.st_gid != ::getegid()) {
            fs.fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        }
        if (fs.fchmod(fd, old.st_mode & 07777) != 0)
            return abandon(ReplaceStep::Keep);
    }
    const int closed = fs.close(fd);
    fd = -1;
    if (closed != 0)
        return abandon(ReplaceStep::Close);
    if (fs.rename(temporary.constData(), target.constData()) != 0)
        return abandon(ReplaceStep::Rename);
    syncFolder(target);
    return {};
}

}  // namespace platine
