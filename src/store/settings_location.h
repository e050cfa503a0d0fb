#pragma once

#include <QString>

namespace platine {

// Where param.ini lives: beside the program when the program's folder can be written (the
// usual case, and how the board's tools have always kept it), else in the user's
// configuration folder (an installed copy under /usr).
QString settingsFilePath(const QString &programFolder);

// The same path, without creating the user's configuration folder (for the help text).
QString settingsFileLocation(const QString &programFolder);

// Whether a program folder belongs to the system (/usr and below).
bool isSystemFolder(const QString &folder);

// The user's configuration folder used when the program's folder is read-only.
QString userSettingsFolder();

}  // namespace platine
