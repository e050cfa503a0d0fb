#include "store/atomic_file.h"

#include "store/link_safety.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <string>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace platine {

namespace {

#ifdef _WIN32
constexpr int kOpenFlags = O_WRONLY | O_CREAT | O_EXCL | O_BINARY | O_NOINHERIT;

// Paths travel as UTF-8, whatever the system's code page.
QByteArray encodePath(const QString &path)
{
    return path.toUtf8();
}

std::wstring widePath(const char *path)
{
    return QString::fromUtf8(path).toStdWString();
}

int errnoFromSystemError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    default:
        return EIO;
    }
}
#else
constexpr int kOpenFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;

QByteArray encodePath(const QString &path)
{
    return QFile::encodeName(path);
}
#endif

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

void syncFolder([[maybe_unused]] const QByteArray &target)
{
#ifdef _WIN32
    // MoveFileExW wrote the change through; Windows has no folder to sync.
#else
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray("/") : target.left(slash);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);  // the rename is done; a failure here cannot be undone or reported usefully
    ::close(fd);
#endif
}

}  // namespace

#ifdef _WIN32
int FileSystem::open(const char *path, int flags, mode_t mode)
{
    return ::_wopen(widePath(path).c_str(), flags, mode);
}

ssize_t FileSystem::write(int fd, const void *data, size_t size)
{
    constexpr size_t kChunk = 1 << 30;
    return ::_write(fd, data, static_cast<unsigned>(size < kChunk ? size : kChunk));
}

int FileSystem::fsync(int fd)
{
    return ::_commit(fd);
}

int FileSystem::fchown(int, uid_t, gid_t)
{
    return 0;
}

int FileSystem::fchmod(int, mode_t)
{
    return 0;
}

int FileSystem::close(int fd)
{
    return ::_close(fd);
}

int FileSystem::rename(const char *from, const char *to)
{
    const std::wstring source = widePath(from);
    const std::wstring target = widePath(to);
    // One rename over the old file, which stays whole until the new one takes its name.
    // ReplaceFileW would keep the old file's security, but in steps: the old file goes aside
    // under another name first, and a program killed between the steps leaves the name empty.
    if (MoveFileExW(source.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
        return 0;
    errno = errnoFromSystemError(GetLastError());
    return -1;
}

int FileSystem::unlink(const char *path)
{
    return ::_wunlink(widePath(path).c_str());
}
#else
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
#endif

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
    const QByteArray target = encodePath(replacementTarget(path));

#ifndef _WIN32
    struct stat old = {};
    const bool existed = ::stat(target.constData(), &old) == 0;
#endif

    auto failure = [](ReplaceStep step) { return ReplaceResult{false, step, errno}; };

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = temporaryName(target);
        fd = fs.open(temporary.constData(), kOpenFlags, 0666);
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
#ifndef _WIN32
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
#endif
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
