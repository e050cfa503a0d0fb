#pragma once

// A real, nearly full file system for tests: a small tmpfs mounted in a mount namespace of the
// test process's own, so that nothing is left mounted whatever happens to the test. Needs the
// super-user; available() says why not otherwise.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace platine::test {

class SmallDisk
{
public:
    // A tmpfs of sizeKiB kibibytes at a new temporary folder.
    explicit SmallDisk(int sizeKiB = 64)
    {
        if (!folder_.isValid()) {
            reason_ = QStringLiteral("no temporary folder");
            return;
        }
        if (::geteuid() != 0) {
            reason_ = QStringLiteral("mounting a small file system needs the super-user");
            return;
        }
        static bool ownNamespace = false;
        if (!ownNamespace) {
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
                reason_ = QStringLiteral("no mount namespace: %1")
                              .arg(QString::fromLocal8Bit(std::strerror(errno)));
                return;
            }
            ownNamespace = true;
        }
        const QByteArray options = "size=" + QByteArray::number(sizeKiB) + "k";
        if (::mount("tmpfs", QFile::encodeName(folder_.path()).constData(), "tmpfs", 0,
                    options.constData()) != 0) {
            reason_ = QStringLiteral("cannot mount a tmpfs: %1")
                          .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        mounted_ = true;
    }
    ~SmallDisk()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(folder_.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool available() const { return mounted_; }
    QString reason() const { return reason_; }
    QString filePath(const QString &name) const { return folder_.filePath(name); }

    // Fills the disk with a filler file until not one more byte fits.
    bool fill()
    {
        const QByteArray path = QFile::encodeName(filePath(QStringLiteral("filler")));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'x');
        bool full = false;
        for (int size = 4096; size > 0 && !full;) {
            if (::write(fd, block.constData(), static_cast<size_t>(size)) < 0) {
                if (errno != ENOSPC)
                    break;
                size /= 2;  // then fill what is left byte by byte
                full = size == 0;
            }
        }
        ::close(fd);
        return full;
    }

private:
    QTemporaryDir folder_;
    QString reason_;
    bool mounted_ = false;
};

}  // namespace platine::test
