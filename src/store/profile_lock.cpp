#include "store/profile_lock.h"

#include "store/atomic_file.h"

#include <QDir>
#include <QLockFile>

namespace platine {

ProfileLock::ProfileLock(const QString &path, int timeoutMs)
    : lock_(std::make_unique<QLockFile>(lockPathFor(path)))
{
    lock_->setStaleLockTime(kProfileLockStaleMs);
    if (lock_->tryLock(timeoutMs))
        return;
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
