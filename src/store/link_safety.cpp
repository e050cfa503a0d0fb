#include "store/link_safety.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platine {

QString untrustedLinkRefusal(const QString &path)
{
#ifndef Q_OS_UNIX
    // No super-user and no such rule on Windows.
    Q_UNUSED(path);
    return {};
#else
    if (::geteuid() != 0)
        return {};
    QString current = QFileInfo(path).absoluteFilePath();
    constexpr int kMaxLinks = 40;  // the system's own limit on a chain of links
    for (int hops = 0; hops < kMaxLinks; ++hops) {
        struct stat link = {};
        if (::lstat(QFile::encodeName(current).constData(), &link) != 0 || !S_ISLNK(link.st_mode))
            return {};
        const QString next = QFileInfo(current).symLinkTarget();
        if (next.isEmpty())
            return {};
        // What the link leads to: its owner may point to it; a missing one would be created.
        struct stat target = {};
        const bool targetExists = ::lstat(QFile::encodeName(next).constData(), &target) == 0;
        if (link.st_uid != 0 && (!targetExists || target.st_uid != link.st_uid)) {
            return QStringLiteral("%1 est un lien symbolique d'un autre utilisateur (uid %2) vers "
                                  "%3 ; le super-utilisateur ne suit pas un tel lien, comme le "
                                  "veut la règle des liens protégés du système")
                .arg(QDir::toNativeSeparators(current))
                .arg(link.st_uid)
                .arg(QDir::toNativeSeparators(next));
        }
        current = next;
    }
    return {};
#endif
}

}  // namespace platine
