#include "store/settings_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#ifdef Q_OS_WIN
#include <QTemporaryFile>
#endif

namespace platine {

namespace {

const QString kSettingsFileName = QStringLiteral("param.ini");

// An environment folder that may be used: set, absolute, and not the root itself (a folder
// would be created at the root of the file system).
QString usableFolder(const char *variable)
{
    const QString value = qEnvironmentVariable(variable);
    if (value.isEmpty() || !QDir::isAbsolutePath(value))
        return {};
    const QString clean = QDir::cleanPath(value);
    return clean == QStringLiteral("/") ? QString() : clean;
}

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
    // A relative XDG_CONFIG_HOME is not valid and is ignored, as the XDG rules say.
    if (const QString config = usableFolder("XDG_CONFIG_HOME"); !config.isEmpty())
        return config + QStringLiteral("/platine");
    if (const QString home = usableFolder("HOME"); !home.isEmpty())
        return home + QStringLiteral("/.config/platine");
    return {};
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

SettingsLocation settingsLocation(const QString &programFolder)
{
    const QFileInfo folder(programFolder);
    const QString beside = QDir(programFolder).filePath(kSettingsFileName);
#ifdef Q_OS_WIN
    const bool writable = folder.isDir() && folderTakesFiles(programFolder);
#else
    const bool writable = folder.isDir() && folder.isWritable();
#endif
    if (writable && !isSystemFolder(programFolder))
        return {beside, {}};
    const QString fallback = userSettingsFolder();
    if (fallback.isEmpty()) {
        return {beside,
                QStringLiteral("Aucun dossier de configuration utilisable (HOME absent ou "
                               "relatif, XDG_CONFIG_HOME relatif) : les réglages restent dans "
                               "%1.")
                    .arg(QDir::toNativeSeparators(beside))};
    }
    return {QDir(fallback).filePath(kSettingsFileName), {}};
}

QString settingsFileLocation(const QString &programFolder)
{
    return settingsLocation(programFolder).path;
}

QString defaultSettingsPath()
{
    return settingsFilePath(QCoreApplication::applicationDirPath());
}

QString defaultSettingsNote()
{
    return settingsLocation(QCoreApplication::applicationDirPath()).note;
}

QString settingsFilePath(const QString &programFolder)
{
    const QString path = settingsLocation(programFolder).path;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

}  // namespace platine
