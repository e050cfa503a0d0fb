#include "store/profile_lock.h"

#include "store/atomic_file.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace platine {

namespace {

constexpr int kRetryMs = 200;
constexpr qint64 kUnnamedLockMs = 1000;

}  // namespace

ProfileLock::ProfileLock(const QString &path, int timeoutMs)
    : lock_(std::make_unique<QLockFile>(lockPathFor(path)))
{
    lock_->setStaleLockTime(kProfileLockStaleMs);
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (lock_->tryLock(int(std::min<qint64>(kRetryMs, deadline.remainingTime()))))
            return;
        if (lock_->error() != QLockFile::LockFailedError || deadline.hasExpired())
            break;
        // A writer killed between creating the lock and writing its name in it leaves a lock
        // that names nobody, which the toolkit would only take for stale after
        // kProfileLockStaleMs. A live writer names itself at once, so one that has named
        // nobody for a second is dead.
        qint64 pid = 0;
        QString host, application;
        const QFileInfo lockFile(lock_->fileName());
        if (!lock_->getLockInfo(&pid, &host, &application) && lockFile.exists() &&
            lockFile.lastModified().msecsTo(QDateTime::currentDateTime()) > kUnnamedLockMs)
            lock_->removeStaleLockFile();
    }
    // A lock that cannot even be created (a read-only or missing folder, a full disk) is left
    // to the replacement, which fails in the same folder and says precisely why.
    if (lock_->error() != QLockFile::LockFailedError)
        return;
    reason_ = QStringLiteral("un autre programme l'écrit depuis plus de %1 s (verrou %2) ; rien "
                             "n'a été écrit, réessayez")
                  .arg(timeoutMs / 1000.0, 0, 'g', 3)
                  .arg(QDir::toNativeSeparators(lock_->fileName()));
}

ProfileLock::~ProfileLock() = default;

bool ProfileLock::isLocked() const
{
    return lock_->isLocked();
}

bool ProfileLock::heldElsewhere() const
{
    return !reason_.isEmpty();
}

QString ProfileLock::failureReason() const
{
    return reason_;
}

QString ProfileLock::lockPathFor(const QString &path)
{
    return replacementTarget(path) + QStringLiteral(".lock");
}

}  // namespace platine
