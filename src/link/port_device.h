#pragma once

#include <QString>

namespace platine {

// Which device a "Port COM" value means. A whole number n is the platform's n-th COM port
// (COMn on Windows, /dev/ttyS<n-1> on Linux); any other text names a device: a bare name such
// as ttyUSB0 is looked up under /dev, a text with a "/" is a path. Nothing for port 0, a
// negative number or an empty text.
QString deviceForPortText(const QString &portText);

}  // namespace platine
