#pragma once

// The serial ports the system reports. On Linux this is Qt Serial Port's own list; on Windows,
// where that module is not built, the list comes from SetupAPI with the same accessors.

#include <QtGlobal>

#ifndef Q_OS_WIN
#include <QSerialPortInfo>
#else
#include <QList>
#include <QString>
#endif

namespace platine {

#ifndef Q_OS_WIN
using SerialPortInfo = QSerialPortInfo;
#else
class SerialPortInfo
{
public:
    // The ports of the "Ports (COM & LPT)" class that have a COM name, in the system's order.
    static QList<SerialPortInfo> availablePorts();

    QString portName() const { return name_; }        // "COM3"
    QString systemLocation() const { return name_; }  // "COM3": what "Port COM" takes
    // The adapter's friendly name, as the Device Manager shows it: "USB-SERIAL CH340 (COM3)".
    QString description() const { return description_; }
    QString manufacturer() const { return manufacturer_; }
    QString serialNumber() const { return serialNumber_; }

private:
    QString name_;
    QString description_;
    QString manufacturer_;
    QString serialNumber_;
};
#endif

}  // namespace platine
