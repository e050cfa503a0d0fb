#pragma once

#include <QString>

namespace platine {

// Where param.ini lives: beside the program when the program's folder can be written (the
// usual case, and how the board's tools have always kept it), else in the user's
// configuration folder (an installed copy under /usr). On Windows: beside platine.exe in the
// portable copy, %APPDATA%\platine\param.ini for the copy installed in Program Files.
QString settingsFilePath(const QString &programFolder);

// Whether a program folder belongs to the system (/usr and below; on Windows, the Program Files
// folders and the Windows folder).
bool isSystemFolder(const QString &folder);

// The user's configuration folder used when the program's folder is read-only (on Windows,
// %APPDATA%\platine).
QString userSettingsFolder();

}  // namespace platine
