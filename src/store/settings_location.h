#pragma once

#include <QString>

namespace platine {

// Where param.ini lives: beside the program when the program's folder can be written (the
// usual case, and how the board's tools have always kept it), else in the user's
// configuration folder (an installed copy under /usr). On Windows: beside platine.exe in the
// portable copy, %APPDATA%\platine\param.ini for the copy installed in Program Files.
QString settingsFilePath(const QString &programFolder);

// The same, with a French note when the user's configuration folder was wanted but the
// environment names none that can be used (HOME missing or relative, XDG_CONFIG_HOME
// relative): the settings then stay beside the program, and nothing is created at the root of
// the file system.
struct SettingsLocation
{
    QString path;
    QString note;  // empty when the usual place is used
};
// Neither creates the user's configuration folder.
SettingsLocation settingsLocation(const QString &programFolder);
// The same path, without creating the user's configuration folder (for the help text).
QString settingsFileLocation(const QString &programFolder);

// The settings file of the running program (the window and platine-cli alike) when none is
// named: settingsFilePath() of the program's own folder. Its note: settingsLocation()'s.
QString defaultSettingsPath();
QString defaultSettingsNote();

// Whether a program folder belongs to the system (/usr and below; on Windows, the Program Files
// folders and the Windows folder).
bool isSystemFolder(const QString &folder);

// The user's configuration folder used when the program's folder is read-only:
// $XDG_CONFIG_HOME/platine, else $HOME/.config/platine (on Windows, %APPDATA%\platine); empty
// when none is an absolute path other than the root.
QString userSettingsFolder();

}  // namespace platine
