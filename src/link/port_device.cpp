#include "link/port_device.h"

#include "store/leading_number.h"
#include "store/system_error_text.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/sysmacros.h>
#endif

namespace platine {

QString deviceForPortText(const QString &portText)
{
    const QString text = portText.trimmed();
    if (text.isEmpty())
        return {};
    const LeadingNumber number = leadingNumber(text);
    if (number.found && number.end == text.size()) {
        const int n = roundHalfToEven(number.value).value_or(0);
        if (n < 1)
            return {};
#ifdef Q_OS_WIN
        return QStringLiteral("COM%1").arg(n);
#else
        return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
    }
    if (text.contains(u'/'))
        return text;
#ifdef Q_OS_WIN
    return text;
#else
    return QStringLiteral("/dev/") + text;
#endif
}

#ifdef Q_OS_UNIX
namespace {

// What the user may give instead, in messages that refuse a device.
QString serialPortExamples()
{
    return QStringLiteral("un port série se nomme par exemple /dev/ttyS0, /dev/ttyUSB0 ou "
                          "/dev/ttyACM0, et un simulateur de la platine par son terminal, tel "
                          "/dev/pts/3.");
}

}  // namespace
#endif

QString serialPortRefusal(const QString &device)
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(device);
    struct stat info = {};
    if (::stat(path.constData(), &info) != 0) {
        if (errno == ENOENT)
            return QStringLiteral("ce périphérique n'existe pas (adaptateur débranché ?).");
        return systemErrorText(errno) + u'.';
    }
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("ce n'est pas un port série mais un dossier.");
    if (S_ISREG(info.st_mode))
        return QStringLiteral("ce n'est pas un port série mais un fichier ordinaire.");
    if (!S_ISCHR(info.st_mode))
        return QStringLiteral("ce n'est pas un port série.");

    // Opening the multiplexer creates a fresh pseudo-terminal that nobody listens to: every
    // frame would be lost while the sends looked fine.
    const QString multiplexer =
        QStringLiteral("ce n'est pas un port série mais le multiplexeur des pseudo-terminaux ; ") +
        serialPortExamples();
    const QString canonical = QFileInfo(device).canonicalFilePath();
    if (canonical == QStringLiteral("/dev/ptmx") || canonical == QStringLiteral("/dev/pts/ptmx"))
        return multiplexer;
#ifdef Q_OS_LINUX
    // The virtual consoles share their major number with the first serial ports: minors 0 to
    // 63 are the consoles (tty0 to tty63), 64 and above the ttyS ports. Bytes written to a
    // console land on the system's screen.
    constexpr unsigned kTtyMajor = 4;
    constexpr unsigned kLastConsoleMinor = 63;
    if (::major(info.st_rdev) == kTtyMajor && ::minor(info.st_rdev) <= kLastConsoleMinor)
        return QStringLiteral("ce n'est pas un port série mais une console virtuelle du système "
                              "(tty%1) ; ")
                   .arg(::minor(info.st_rdev)) +
               serialPortExamples();
    // The multiplexer, the process's own terminal and the system console, whatever their path.
    constexpr unsigned kTtyAuxMajor = 5;
    if (::major(info.st_rdev) == kTtyAuxMajor) {
        switch (::minor(info.st_rdev)) {
        case 0:
            return QStringLiteral(
                       "ce n'est pas un port série mais le terminal de ce programme ; ") +
                   serialPortExamples();
        case 1:
            return QStringLiteral("ce n'est pas un port série mais la console du système ; ") +
                   serialPortExamples();
        case 2:
            return multiplexer;
        default:
            break;
        }
    }
#endif
    return {};
#else
    Q_UNUSED(device);
    return {};
#endif
}

}  // namespace platine
