#pragma once

#include "store/profile_file.h"

#include <QString>

namespace platine {

// The "Port COM" entry of the settings file (section "Port COM", key "valeur").
struct PortSetting
{
    QString text;    // the whole stored text, blanks at both ends removed ("" when missing)
    int number = 0;  // the number its first 19 characters start with, 0 when none
};

PortSetting readPortSetting(const QString &settingsPath);
// The same, from a settings file already read (nothing when it was missing or unreadable).
PortSetting portSettingIn(const ProfileFileContents &settings);

// Stores the text exactly as typed.
ProfileWriteResult writePortSetting(const QString &settingsPath, const QString &typedText);

}  // namespace platine
