#include "link/serial_control.h"

#include "link/port_device.h"
#include "link/serial_control_texts.h"
#include "store/system_error_text.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTimer>

#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platine {

namespace {

// How long closing waits for bytes Qt still holds to reach the system (a frame is 125 bytes,
// some 130 ms at 9600 baud; the system then sends what it holds by itself).
constexpr int kCloseDrainMs = 500;

bool isLossError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
        return true;
    default:
        // NoError, and UnsupportedOperationError from the modem lines of ports that have none
        // (pseudo-terminals): harmless. The others only come from opening.
        return false;
    }
}

#ifdef Q_OS_UNIX
// True when the system refuses this user read and write access to the device.
bool accessDenied(const QString &device)
{
    const QByteArray path = QFile::encodeName(device);
    if (::access(path.constData(), R_OK | W_OK) == 0)
        return false;
    return errno == EACCES || errno == EPERM;
}

// Qt's serial port keeps a lock file per device (LCK..name, in the first of these folders that
// can hold it). A program killed while it was creating that lock leaves it empty, and Qt then
// takes the port as busy until the lock is 30 s old. An empty lock older than a moment is
// such a leftover (a live owner writes its process number at once) and is removed.
void removeEmptyPortLock(const QString &device)
{
    constexpr qint64 kLeftoverAgeMs = 2000;
    static const QStringList folders = {
        QStringLiteral("/var/lock"),
        QStringLiteral("/etc/locks"),
        QStringLiteral("/var/spool/locks"),
        QStringLiteral("/var/spool/uucp"),
        QStringLiteral("/tmp"),
        QStringLiteral("/var/tmp"),
        QStringLiteral("/var/lock/lockdev"),
        QStringLiteral("/run/lock"),
        QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    QString name = device.startsWith(QStringLiteral("/dev/")) ? device.mid(5) : device;
    name.replace(u'/', u'_');
    for (const QString &folder : folders) {
        const QFileInfo folderInfo(folder);
        const QString lockPath = folder + QStringLiteral("/LCK..") + name;
        const QFileInfo lock(lockPath);
        if (!folderInfo.isReadable() || (!lock.exists() && !folderInfo.isWritable()))
            continue;
        if (lock.exists() && lock.isFile() && lock.size() == 0 &&
            lock.lastModified().msecsTo(QDateTime::currentDateTime()) > kLeftoverAgeMs)
            QFile::remove(lockPath);
        return;  // the folder Qt uses
    }
}

// The system's reason why the device does not open, found without opening it again: opening
// a serial device raises its DTR line, which the board may take as a signal. The path and the
// access rights are asked first; otherwise Qt's text for the failure is the system's text for
// the error number, which is looked up. 0 when the reason cannot be told.
int openErrorNumber(const QString &device, const QString &qtErrorText)
{
    const QByteArray path = QFile::encodeName(device);
    struct stat status
    {};
    if (::stat(path.constData(), &status) != 0)
        return errno;
    if (S_ISDIR(status.st_mode))
        return EISDIR;
    if (!S_ISCHR(status.st_mode))
        return ENOTTY;
    if (::access(path.constData(), R_OK | W_OK) != 0)
        return errno;
    for (int number = 1; number < 256; ++number) {
        if (!qtErrorText.isEmpty() && qtErrorText == QString::fromLocal8Bit(std::strerror(number)))
            return number;
    }
    return 0;
}
#endif

}  // namespace

struct SerialControl::Private
{
    explicit Private(SerialControl *owner) : q(owner) {}

    SerialControl *q;
    QSerialPort port;
    QTimer deviceCheck;
    QString portText;
    QString openDevice;  // the device of the open port (for messages)
    QByteArray held;     // bytes left unread when the port was closed
    QString lastError;
    int threshold = kReceiveThreshold;
    bool dtr = false;
    bool quiet = false;        // errors raised by our own opening and closing are expected
    bool lossQueued = false;   // one loss per opening is handled
    bool writeFailed = false;  // set by the error handler during output()
    quint64 session = 0;       // changes at every opening and closing

    QString portLabel(const QString &device) const
    {
        return serial_texts::portLabel(portText, device);
    }

    QString openFailureHead(const QString &device) const
    {
        return serial_texts::openFailureHead(portText, device);
    }

    QString openFailureMessage(const QString &device) const
    {
        const QString head = openFailureHead(device);
        QSerialPort::SerialPortError error = port.error();
#ifdef Q_OS_UNIX
        // Qt locks the port before it opens the device, so a missing device can look busy.
        if (!QFileInfo::exists(device))
            error = QSerialPort::DeviceNotFoundError;
#endif
        switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return head + QStringLiteral("ce périphérique n'existe pas (adaptateur débranché ?).");
        case QSerialPort::PermissionError: {
#ifdef Q_OS_UNIX
            if (accessDenied(device)) {
                // Serial devices are usually read and written by the members of their group
                // (dialout on Debian).
                const QFileInfo info(device);
                const auto groupRw = QFileDevice::ReadGroup | QFileDevice::WriteGroup;
                if ((info.permissions() & groupRw) != groupRw)
                    return head + QStringLiteral("accès refusé (droits du périphérique).");
                const QString group = info.group();
                if (group.isEmpty())
                    return head + QStringLiteral("accès refusé. L'utilisateur doit appartenir au "
                                                 "groupe propriétaire du périphérique.");
                return head + QStringLiteral("accès refusé. L'utilisateur doit appartenir au "
                                             "groupe « %1 », propriétaire du périphérique "
                                             "(puis se reconnecter).")
                                  .arg(group);
            }
            return head + QStringLiteral("il est déjà utilisé par un autre programme.");
#else
            return head + QStringLiteral("il est déjà utilisé par un autre programme, ou l'accès "
                                         "est refusé.");
#endif
        }
        case QSerialPort::UnsupportedOperationError:
            return head + QStringLiteral("ce n'est pas un port série.");
        case QSerialPort::ResourceError:
            return head + QStringLiteral("le périphérique ne répond pas (port absent de cet "
                                         "ordinateur ?).");
        case QSerialPort::OpenError:
            return head + QStringLiteral("il est déjà ouvert.");
        default:
#ifdef Q_OS_UNIX
            return head + systemErrorText(openErrorNumber(device, port.errorString())) + u'.';
#else
            return head + QStringLiteral("le système refuse de l'ouvrir.");
#endif
        }
    }

    bool open()
    {
        const QString device = deviceForPortText(portText);
        if (device.isEmpty()) {
            lastError = serial_texts::noPortChosen(portText);
            return false;
        }

        held.clear();
#ifdef Q_OS_UNIX
        const QString refusal = serialPortRefusal(device);
        if (!refusal.isEmpty()) {
            lastError = openFailureHead(device) + refusal;
            return false;
        }
#endif
#ifdef Q_OS_UNIX
        removeEmptyPortLock(device);
#endif
        port.setPortName(device);
        port.setBaudRate(QSerialPort::Baud9600);
        port.setDataBits(QSerialPort::Data8);
        port.setParity(QSerialPort::NoParity);
        port.setStopBits(QSerialPort::OneStop);
        port.setFlowControl(QSerialPort::NoFlowControl);

        ++session;
        lossQueued = false;
        quiet = true;
        port.clearError();
        if (!port.open(QIODevice::ReadWrite)) {
            lastError = openFailureMessage(device);
            port.clearError();
            quiet = false;
            return false;
        }
        // The system raises DTR when it opens a tty; boards of this kind may reset on it.
        port.setDataTerminalReady(dtr);
        port.clearError();
        quiet = false;
        openDevice = device;
        deviceCheck.start();
        return true;
    }

    void close(bool drain)
    {
        deviceCheck.stop();
        held += port.readAll();
        if (held.size() > kReceiveBufferBytes)
            held = held.right(kReceiveBufferBytes);
        if (drain && port.bytesToWrite() > 0)
            port.waitForBytesWritten(kCloseDrainMs);
        ++session;
        lossQueued = false;
        quiet = true;
        port.close();
        port.clearError();
        quiet = false;
    }

    // Closes the port after a failure and says so once.
    void lose(const QString &reason)
    {
        const QString label = portLabel(openDevice);
        close(false);
        lastError = serial_texts::portClosed(label, reason);
        emit q->portLost(lastError);
    }

    void queueLoss(const QString &reason)
    {
        if (lossQueued)
            return;
        lossQueued = true;
        const quint64 at = session;
        // Closing from inside the port's own signal is not safe: do it once control is back in
        // the event loop, unless the port was closed or reopened meanwhile.
        QMetaObject::invokeMethod(
            q,
            [this, at, reason] {
                if (at == session && port.isOpen())
                    lose(reason);
            },
            Qt::QueuedConnection);
    }

    void onError(QSerialPort::SerialPortError error)
    {
        if (quiet || !port.isOpen() || !isLossError(error))
            return;
        if (error == QSerialPort::WriteError || error == QSerialPort::ResourceError)
            writeFailed = true;
        queueLoss(serial_texts::deviceGone());
    }

    // A device that disappeared does not always raise an error: the system marks the line as
    // hung up (pseudo-terminal whose other end closed, USB adapter unplugged) and the device
    // file goes away.
    bool deviceGone() const
    {
#ifdef Q_OS_UNIX
        const auto fd = static_cast<int>(port.handle());
        if (fd < 0)
            return true;
        pollfd check{fd, 0, 0};
        if (::poll(&check, 1, 0) > 0 && (check.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
            return true;
        return !QFileInfo::exists(openDevice);
#else
        return false;
#endif
    }

    void onReadyRead()
    {
        if (threshold > 0 && port.bytesAvailable() >= threshold)
            emit q->onComm(kCharactersReceived);
    }
};

SerialControl::SerialControl(QObject *parent) : QObject(parent), d(std::make_unique<Private>(this))
{
    d->deviceCheck.setInterval(kDeviceCheckIntervalMs);
    d->port.setReadBufferSize(kReceiveBufferBytes);
    connect(&d->port, &QSerialPort::readyRead, this, [this] { d->onReadyRead(); });
    connect(&d->port, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { d->onError(error); });
    connect(&d->deviceCheck, &QTimer::timeout, this, [this] {
        if (d->port.isOpen() && d->deviceGone())
            d->queueLoss(serial_texts::deviceGone());
    });
}

SerialControl::~SerialControl()
{
    // The port's last signals must not reach a half-destroyed control.
    disconnect(&d->port, nullptr, this, nullptr);
    d->deviceCheck.stop();
    d->port.close();
}

void SerialControl::setCommPort(const QString &portText)
{
    d->portText = portText;
}

QString SerialControl::commPort() const
{
    return d->portText;
}

QString SerialControl::deviceName() const
{
    return deviceForPortText(d->portText);
}

bool SerialControl::portOpen() const
{
    return d->port.isOpen();
}

bool SerialControl::setPortOpen(bool open)
{
    if (open == d->port.isOpen())
        return true;
    if (!open) {
        d->close(true);
        return true;
    }
    return d->open();
}

void SerialControl::setRThreshold(int characters)
{
    d->threshold = characters;
}

int SerialControl::rThreshold() const
{
    return d->threshold;
}

void SerialControl::setDTREnable(bool enable)
{
    d->dtr = enable;
    if (!d->port.isOpen())
        return;
    d->quiet = true;
    d->port.setDataTerminalReady(enable);
    d->port.clearError();
    d->quiet = false;
}

bool SerialControl::dtrEnable() const
{
    return d->dtr;
}

bool SerialControl::output(const QByteArray &bytes)
{
    if (!d->port.isOpen()) {
        d->lastError = serial_texts::sendOnClosedPort(d->portLabel(deviceName()));
        return false;
    }
    d->writeFailed = false;
    const qint64 written = d->port.write(bytes);
    // Hand the bytes to the system now, so that a device that is gone shows at once.
    if (written == bytes.size() && d->port.bytesToWrite() > 0)
        d->port.flush();
    if (written != bytes.size() || d->writeFailed || !d->port.isOpen()) {
        d->writeFailed = false;
        if (d->port.isOpen())
            d->lose(serial_texts::writeFailed());
        else
            d->lastError = serial_texts::sendOnClosedPort(d->portLabel(deviceName()));
        return false;
    }
    return true;
}

QByteArray SerialControl::input()
{
    QByteArray bytes = std::exchange(d->held, {});
    if (d->port.isOpen())
        bytes += d->port.readAll();
    return bytes;
}

QString SerialControl::lastError() const
{
    return d->lastError;
}

}  // namespace platine
