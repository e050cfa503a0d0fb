#pragma once

// Files as the tests write, read and recognise them on disk.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/stat.h>
#ifndef Q_OS_WIN
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

// The file's identity on disk: a replacement through a temporary file changes it.
inline ino_t inodeOf(const QString &path)
{
    struct stat info
    {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_ino;
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
