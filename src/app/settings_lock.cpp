#include "app/settings_lock.h"

#include <QDir>
#include <QLockFile>

namespace platine {

SettingsLock::SettingsLock(const QString &settingsPath)
    : lock_(std::make_unique<QLockFile>(settingsPath + QStringLiteral(".fenetre.lock")))
{
    // Held for as long as the tool runs: only a lock whose process is gone is stale.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0))
        return;
    if (lock_->error() != QLockFile::LockFailedError)
        return;  // no lock file can be made there: nothing to guard against
    qint64 pid = 0;
    QString host;
    QString application;
    lock_->getLockInfo(&pid, &host, &application);
    heldElsewhere_ =
        QStringLiteral("platine est déjà ouvert sur %1 (processus %2) : utilisez cette "
                       "fenêtre-là, ou fermez-la avant d'en ouvrir une autre.")
            .arg(QDir::toNativeSeparators(settingsPath))
            .arg(pid);
}

SettingsLock::~SettingsLock() = default;

}  // namespace platine
