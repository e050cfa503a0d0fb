#include "link/serial_port_info.h"

#include "store/leading_number.h"

#include <algorithm>
#include <vector>

#include <windows.h>
// clang-format off: setupapi.h needs windows.h first
#include <devguid.h>
#include <setupapi.h>
// clang-format on

namespace platine {

namespace {

QString registryText(HKEY key, const wchar_t *value)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, value, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ || size == 0)
        return {};
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, value, nullptr, nullptr, reinterpret_cast<BYTE *>(text.data()),
                         &size) != ERROR_SUCCESS)
        return {};
    return QString::fromWCharArray(text.data());
}

QString deviceProperty(HDEVINFO devices, SP_DEVINFO_DATA &device, DWORD property)
{
    wchar_t text[512] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, property, nullptr,
                                           reinterpret_cast<BYTE *>(text), sizeof text - 2,
                                           nullptr))
        return {};
    return QString::fromWCharArray(text);
}

// The serial number USB adapters carry as the last part of their instance id
// ("USB\VID_0403&PID_6001\A50285BI"); generated ids hold '&' and are no serial number.
QString serialNumberOf(HDEVINFO devices, SP_DEVINFO_DATA &device)
{
    wchar_t id[512] = {};
    if (!SetupDiGetDeviceInstanceIdW(devices, &device, id, 511, nullptr))
        return {};
    const QString instance = QString::fromWCharArray(id);
    if (!instance.startsWith(QStringLiteral("USB\\"), Qt::CaseInsensitive))
        return {};
    const QString last = instance.section(u'\\', -1);
    return last.contains(u'&') ? QString() : last;
}

bool isComName(const QString &name)
{
    return name.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive) && name.size() > 3;
}

int comNumber(const QString &name)
{
    const LeadingNumber number = leadingNumber(name.mid(3));
    return number.found ? roundHalfToEven(number.value).value_or(0) : 0;
}

}  // namespace

QList<SerialPortInfo> SerialPortInfo::availablePorts()
{
    QList<SerialPortInfo> ports;
    const HDEVINFO devices =
        SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices != INVALID_HANDLE_VALUE) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
            const HKEY key =
                SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
            if (key == INVALID_HANDLE_VALUE)
                continue;
            const QString name = registryText(key, L"PortName");
            RegCloseKey(key);
            if (!isComName(name))
                continue;  // printer ports (LPT1) share the class
            SerialPortInfo port;
            port.name_ = name;
            port.description_ = deviceProperty(devices, device, SPDRP_FRIENDLYNAME);
            if (port.description_.isEmpty())
                port.description_ = deviceProperty(devices, device, SPDRP_DEVICEDESC);
            port.manufacturer_ = deviceProperty(devices, device, SPDRP_MFG);
            port.serialNumber_ = serialNumberOf(devices, device);
            ports.append(port);
        }
        SetupDiDestroyDeviceInfoList(devices);
    }

    // Ports that no Plug and Play driver reports (virtual ports, emulators) are still listed
    // in the serial device map.
    HKEY map = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &map) ==
        ERROR_SUCCESS) {
        wchar_t valueName[256];
        for (DWORD index = 0;; ++index) {
            DWORD nameSize = 255;
            if (RegEnumValueW(map, index, valueName, &nameSize, nullptr, nullptr, nullptr,
                              nullptr) != ERROR_SUCCESS)
                break;
            const QString name = registryText(map, valueName);
            const bool known = std::any_of(ports.cbegin(), ports.cend(), [&](const auto &port) {
                return port.name_.compare(name, Qt::CaseInsensitive) == 0;
            });
            if (!isComName(name) || known)
                continue;
            SerialPortInfo port;
            port.name_ = name;
            ports.append(port);
        }
        RegCloseKey(map);
    }

    std::stable_sort(ports.begin(), ports.end(), [](const auto &a, const auto &b) {
        return comNumber(a.name_) < comNumber(b.name_);
    });
    return ports;
}

}  // namespace platine
