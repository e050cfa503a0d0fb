#include "store/settings_location.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platine {

namespace {
const QString kSettingsFileName = QStringLiteral("param.ini");
}

QString userSettingsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/platine");
}

QString settingsFilePath(const QString &programFolder)
{
    const QFileInfo folder(programFolder);
    if (folder.isDir() && folder.isWritable())
        return QDir(programFolder).filePath(kSettingsFileName);
    const QString fallback = userSettingsFolder();
    QDir().mkpath(fallback);
    return QDir(fallback).filePath(kSettingsFileName);
}

}  // namespace platine
