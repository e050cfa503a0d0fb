#pragma once

#include <QString>

namespace platine {

// Which device a "Port COM" value means. A whole number n is the platform's n-th COM port
// (COMn on Windows, /dev/ttyS<n-1> on Linux); any other text names a device: a bare name such
// as ttyUSB0 is looked up under /dev, a text with a "/" is a path. Nothing for port 0, a
// negative number or an empty text.
QString deviceForPortText(const QString &portText);

// Why the device cannot be the board's serial line, found without opening it: a missing path,
// a file or a folder, or a terminal device that stands for something else than a serial line
// (a virtual console, the process's own terminal, the system console, the pseudo-terminal
// multiplexer). Empty when it may be a serial port. The text starts in lower case, to follow
// "Impossible d'ouvrir le port … : ", and says what a serial port looks like.
QString serialPortRefusal(const QString &device);

}  // namespace platine
