#include "store/settings_location.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#ifdef Q_OS_WIN
#include <QTemporaryFile>
#endif

namespace platine {

namespace {
const QString kSettingsFileName = QStringLiteral("param.ini");

#ifdef Q_OS_WIN
// Windows keeps folder rights in access lists that QFileInfo::isWritable() does not read: the
// folder is asked to take a file.
bool folderTakesFiles(const QString &folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".platine-XXXXXX")));
    return probe.open();
}
#endif

}  // namespace

QString userSettingsFolder()
{
#ifdef Q_OS_WIN
    // %APPDATA%, the roaming profile that follows the user from one computer to another.
    const QString appData = qEnvironmentVariable("APPDATA");
    if (!appData.isEmpty())
        return QDir::fromNativeSeparators(appData) + QStringLiteral("/platine");
#endif
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/platine");
}

bool isSystemFolder(const QString &folder)
{
    // An installed copy: even when its folder can be written (by root), settings do not go
    // among the system's programs.
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
#ifdef Q_OS_WIN
    // Program Files and the Windows folder, whatever their drive and language.
    for (const char *variable :
         {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "SystemRoot"}) {
        const QString system =
            QDir::cleanPath(QDir::fromNativeSeparators(qEnvironmentVariable(variable)));
        if (!system.isEmpty() && system != QStringLiteral(".") &&
            (path.compare(system, Qt::CaseInsensitive) == 0 ||
             path.startsWith(system + u'/', Qt::CaseInsensitive)))
            return true;
    }
    return false;
#else
    return path == QStringLiteral("/usr") || path.startsWith(QStringLiteral("/usr/")) ||
           path == QStringLiteral("/bin") || path == QStringLiteral("/sbin");
#endif
}

QString settingsFilePath(const QString &programFolder)
{
    const QFileInfo folder(programFolder);
#ifdef Q_OS_WIN
    const bool writable = folder.isDir() && folderTakesFiles(programFolder);
#else
    const bool writable = folder.isDir() && folder.isWritable();
#endif
    if (writable && !isSystemFolder(programFolder))
        return QDir(programFolder).filePath(kSettingsFileName);
    const QString fallback = userSettingsFolder();
    QDir().mkpath(fallback);
    return QDir(fallback).filePath(kSettingsFileName);
}

}  // namespace platine
