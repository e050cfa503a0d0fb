#pragma once

// Files as the tests write, read and recognise them on disk.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <sys/stat.h>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace platine::test {

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

// The file's bytes; a null array when it cannot be read.
inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (bytes.isNull())
        bytes = QByteArray("");
    return bytes;
}

// A path as messages show it (backslashes on Windows).
inline QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The file's identity on disk: a replacement through a temporary file changes it. 0 when the
// file cannot be looked at.
inline quint64 inodeOf(const QString &path)
{
#ifdef Q_OS_WIN
    // Windows' file index, which NTFS (and Wine) keep per file as Unix keeps the inode.
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return known ? (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow : 0;
#else
    struct stat info
    {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_ino;
#endif
}

// The super-user passes every permission check, so permission cases cannot fail for it.
inline bool permissionsEnforced()
{
#ifdef Q_OS_WIN
    return false;  // Unix permission bits mean nothing there
#else
    return ::geteuid() != 0;
#endif
}

}  // namespace platine::test
