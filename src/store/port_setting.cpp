#include "store/port_setting.h"

#include "store/leading_number.h"

namespace platine {

namespace {

const QString kSection = QStringLiteral("Port COM");
const QString kKey = QStringLiteral("valeur");
constexpr int kNumberWidth = 19;  // the port number is read from the first 19 characters

}  // namespace

PortSetting readPortSetting(const QString &settingsPath)
{
    return portSettingIn(loadProfileFile(settingsPath));
}

PortSetting portSettingIn(const ProfileFileContents &settings)
{
    PortSetting setting;
    // The whole text, not cut: a device path may be longer than 19 characters.
    if (settings.status == ProfileFileStatus::Read)
        setting.text = settings.document.value(kSection, kKey).value_or(QString());
    setting.number = wholeNumberAtStart(QStringView(setting.text).left(kNumberWidth)).value_or(0);
    return setting;
}

ProfileWriteResult writePortSetting(const QString &settingsPath, const QString &typedText)
{
    return writeProfileString(settingsPath, kSection, kKey, typedText);
}

}  // namespace platine
