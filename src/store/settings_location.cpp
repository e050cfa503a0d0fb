#include "store/settings_location.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platine {

namespace {
const QString kSettingsFileName = QStringLiteral("param.ini");
}  // namespace

QString userSettingsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/platine");
}

bool isSystemFolder(const QString &folder)
{
    // An installed copy: even when its folder can be written (by root), settings do not go
    // among the system's programs.
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    return path == QStringLiteral("/usr") || path.startsWith(QStringLiteral("/usr/")) ||
           path == QStringLiteral("/bin") || path == QStringLiteral("/sbin");
}

QString settingsFileLocation(const QString &programFolder)
{
    const QFileInfo folder(programFolder);
    if (folder.isDir() && folder.isWritable() && !isSystemFolder(programFolder))
        return QDir(programFolder).filePath(kSettingsFileName);
    return QDir(userSettingsFolder()).filePath(kSettingsFileName);
}

QString settingsFilePath(const QString &programFolder)
{
    const QString path = settingsFileLocation(programFolder);
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

}  // namespace platine
