#include "store/profile_file.h"

#include "store/atomic_file.h"
#include "store/link_safety.h"
#include "store/profile_lock.h"
#include "store/system_error_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <algorithm>

namespace platine {

namespace {

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString readFailure(const QString &path, const QString &reason)
{
    return QStringLiteral("Impossible de lire %1 : %2").arg(shownPath(path), reason);
}

QString writeFailure(const QString &path, const QString &reason)
{
    return QStringLiteral("Impossible d'enregistrer %1 : %2").arg(shownPath(path), reason);
}

ProfileWriteResult failed(const QString &path, const QString &reason)
{
    return {false, writeFailure(path, reason)};
}

// Why a new file cannot be created next to path.
QString creationFailureReason(const QString &path, int error)
{
#ifdef EDQUOT
    if (error == EDQUOT)
        return systemErrorText(error);
#endif
    if (error == ENOSPC || error == EROFS)
        return systemErrorText(error);
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.exists())
        return QStringLiteral("le dossier %1 n'existe pas").arg(shownPath(folder.filePath()));
    if (!folder.isDir())
        return QStringLiteral("%1 n'est pas un dossier").arg(shownPath(folder.filePath()));
    if (!folder.isWritable())
        return QStringLiteral("le dossier %1 n'est pas accessible en écriture")
            .arg(shownPath(folder.filePath()));
    return QStringLiteral("le fichier ne peut pas être créé (%1)").arg(systemErrorText(error));
}

QString replaceFailureReason(const QString &path, const ReplaceResult &result)
{
    switch (result.failedStep) {
    case ReplaceStep::Create:
        return creationFailureReason(path, result.error);
    case ReplaceStep::Keep:
        return QStringLiteral("le propriétaire ou les droits du fichier ne peuvent pas être "
                              "conservés (%1)")
            .arg(systemErrorText(result.error));
    case ReplaceStep::Rename:
        return QStringLiteral("le fichier ne peut pas être remplacé (%1)")
            .arg(systemErrorText(result.error));
    case ReplaceStep::Write:
    case ReplaceStep::Sync:
    case ReplaceStep::Close:
    case ReplaceStep::None:
        break;
    }
    return systemErrorText(result.error);
}

}  // namespace

ProfileFileContents loadProfileFile(const QString &path)
{
    ProfileFileContents contents;
    if (const QString refusal = untrustedLinkRefusal(path); !refusal.isEmpty()) {
        contents.status = ProfileFileStatus::Unreadable;
        contents.errorMessage = readFailure(path, refusal);
        return contents;
    }
    const QFileInfo info(path);
    if (!info.exists())
        return contents;  // Missing
    contents.status = ProfileFileStatus::Unreadable;
    if (info.isDir()) {
        contents.errorMessage = readFailure(path, QStringLiteral("c'est un dossier"));
        return contents;
    }
    if (!info.isFile()) {
        // A device or a pipe could feed the reader for ever.
        contents.errorMessage =
            readFailure(path, QStringLiteral("ce n'est pas un fichier ordinaire"));
        return contents;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.errorMessage = readFailure(
            path, info.isReadable() ? QStringLiteral("le fichier ne peut pas être ouvert")
                                    : QStringLiteral("le fichier n'est pas accessible en lecture"));
        return contents;
    }
    // Settings and program files are a few kilobytes; a file far larger is something else
    // chosen by mistake, and is not loaded whole into memory. The read asks for the file's size
    // and one byte more, not for the limit: a buffer as large as the limit would be set aside
    // for every small file, and kept by its document.
    const qint64 wanted = std::min(file.size(), kMaxProfileFileSize) + 1;
    QByteArray bytes = file.read(wanted);
    if (bytes.size() == wanted && wanted <= kMaxProfileFileSize)
        bytes += file.read(kMaxProfileFileSize + 1 - wanted);  // the file has grown since
    if (bytes.size() > kMaxProfileFileSize) {
        contents.errorMessage = readFailure(
            path, QStringLiteral("le fichier est trop gros pour un fichier de réglages ou de "
                                 "programme (plus de %1 Mo)")
                      .arg(kMaxProfileFileSize / (1024 * 1024)));
        return contents;
    }
    if (file.error() != QFileDevice::NoError) {
        contents.errorMessage =
            readFailure(path, QStringLiteral("erreur pendant la lecture du fichier"));
        return contents;
    }
    contents.status = ProfileFileStatus::Read;
    contents.document = ProfileDocument(bytes);
    return contents;
}

QString readProfileString(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue, int capacity)
{
    const ProfileFileContents contents = loadProfileFile(path);
    if (contents.status != ProfileFileStatus::Read)
        return defaultValue;
    const std::optional<QString> value = contents.document.value(section, key);
    if (!value)
        return defaultValue;
    if (capacity > 0 && value->size() > capacity - 1)
        return value->left(capacity - 1);
    return *value;
}

ProfileWriteResult writeProfileString(const QString &path, const QString &section,
                                      const QString &key, const QString &value)
{
    return writeProfileStrings(path, {ProfileEntry{section, key, value}});
}

ProfileWriteResult writeProfileStrings(const QString &path, const QList<ProfileEntry> &entries)
{
    if (const QString refusal = untrustedLinkRefusal(path); !refusal.isEmpty())
        return failed(path, refusal);
    // Read, changed and replaced under the one lock: a writer in another process cannot slip
    // its own replacement in between and lose ours, or have its change lost.
    const ProfileLock lock(path);
    if (lock.heldElsewhere())
        return failed(path, lock.failureReason());
    ProfileFileContents contents = loadProfileFile(path);
    if (contents.status == ProfileFileStatus::Unreadable) {
        // Rewriting a file we could not read would lose what it holds.
        const QFileInfo info(path);
        return failed(path, info.isDir() ? QStringLiteral("c'est un dossier")
                                         : QStringLiteral("le fichier ne peut pas être lu"));
    }

    bool changed = false;
    for (const ProfileEntry &entry : entries)
        changed = contents.document.setValue(entry.section, entry.key, entry.value) || changed;
    if (!changed)
        return {};  // every value is already there: the file is not touched

    // Replacing the file through a temporary one would succeed on a read-only file in a
    // writable folder; a read-only file must stay as it is.
    if (const QString refusal = replacementRefusal(path); !refusal.isEmpty())
        return failed(path, refusal);

    const ReplaceResult replaced = replaceFile(path, contents.document.toBytes());
    if (!replaced.ok)
        return failed(path, replaceFailureReason(path, replaced));
    return {};
}

}  // namespace platine
