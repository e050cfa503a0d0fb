#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace platine {

#ifdef _WIN32
// Windows has no file owners of this kind: the new file takes its folder's security, as a file
// saved for the first time does.
using uid_t = int;
using gid_t = int;
#endif

// The system calls a file replacement goes through. The real ones are used unless a test
// installs its own (see FileSystemOverride) to make one step fail as a full disk, a pulled
// USB stick or a read-only mount would.
class FileSystem
{
public:
    virtual ~FileSystem() = default;
    // Each returns what the system call returns and leaves errno set on failure. On Windows the
    // paths are UTF-8, the descriptors those of the C runtime, fchown and fchmod do nothing,
    // and rename moves the new file over the old one in one step with MoveFileExW, written
    // through.
    virtual int open(const char *path, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void *data, size_t size);
    virtual int fsync(int fd);
    virtual int fchown(int fd, uid_t owner, gid_t group);
    virtual int fchmod(int fd, mode_t mode);
    virtual int close(int fd);
    virtual int rename(const char *from, const char *to);
    virtual int unlink(const char *path);
};

// The file system in use: the real one, or the one a test installed.
FileSystem &fileSystem();

// Installs a file system for the lifetime of the object (tests only; not thread-safe).
class FileSystemOverride
{
public:
    explicit FileSystemOverride(FileSystem &replacement);
    ~FileSystemOverride();
    FileSystemOverride(const FileSystemOverride &) = delete;
    FileSystemOverride &operator=(const FileSystemOverride &) = delete;

private:
    FileSystem *previous_;
};

// The steps of a replacement, for messages and tests.
enum class ReplaceStep { None, Create, Write, Sync, Keep, Close, Rename };

struct ReplaceResult
{
    bool ok = true;
    ReplaceStep failedStep = ReplaceStep::None;
    int error = 0;  // errno of the failed step
};

// Replaces the file at path by bytes, or leaves it exactly as it was. The bytes go to a new
// file beside it, which is written whole, synced to the disk and given the old file's owner,
// group and permission bits before it is renamed over the old one; a failure at any step
// removes the new file. A symbolic link keeps pointing where it did: its target is replaced.
// A new file gets the usual permissions (0666 less the umask).
ReplaceResult replaceFile(const QString &path, const QByteArray &bytes);

// Why the file at path must not be replaced, whatever the folder allows: a folder, something
// other than a regular file (a pipe or a device would be turned into a file), a file without
// any write permission bit (read-only on purpose, even for the super-user), a file this user
// may not write, or a link root must not follow. French, to follow "… non enregistré dans … : ";
// empty when it may be replaced or does not exist.
QString replacementRefusal(const QString &path);

// Where a replacement of path puts the bytes: the final target of a chain of symbolic links
// (even a dangling one, which then gets created), else the absolute path itself.
QString replacementTarget(const QString &path);

}  // namespace platine
