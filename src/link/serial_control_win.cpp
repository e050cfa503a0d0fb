// The serial control on Windows, through the Win32 communications API: the port is opened for
// overlapped I/O, a reading thread waits for the board's bytes and hands them to the control's
// thread, and writes complete before output() returns.
#include "link/serial_control.h"

#include "link/port_device.h"
#include "link/serial_control_texts.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QTimer>

#include <thread>
#include <utility>

#include <windows.h>

namespace platine {

namespace {

// How long closing waits for the bytes still queued in the driver to go out (a frame is 125
// bytes, some 130 ms at 9600 baud).
constexpr DWORD kCloseDrainMs = 500;
// The longest a read waits before the reading thread looks at its stop request again, and the
// pause between two bytes that ends a read (a byte takes about 1 ms at 9600 baud).
constexpr DWORD kReadWaitMs = 200;
constexpr DWORD kReadGapMs = 10;
// The pause after a read that brought nothing.
constexpr DWORD kIdleReadPauseMs = 20;
// A write may take this long, plus a little more than a character's time per byte.
constexpr DWORD kWriteTimeoutMs = 2000;
constexpr DWORD kWriteMsPerByte = 2;

// The Win32 path of a port: "COM3" and other device names go under "\\.\"; a path (with a
// slash, a backslash or a drive letter) is opened as given.
std::wstring win32Path(const QString &device)
{
    QString path = device;
    if (!path.startsWith(QStringLiteral("\\\\.\\")) && !path.contains(u'\\') &&
        !path.contains(u'/') && !path.contains(u':'))
        path = QStringLiteral("\\\\.\\") + path;
    return path.toStdWString();
}

bool isDevicePath(const QString &device)
{
    return !device.contains(u'\\') && !device.contains(u'/') && !device.contains(u':');
}

QString openErrorReason(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_UNIT:
    case ERROR_INVALID_NAME:
        return QStringLiteral("ce périphérique n'existe pas (adaptateur débranché ?).");
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        // Windows answers "access denied" for a COM port another program holds.
        return QStringLiteral("il est déjà utilisé par un autre programme.");
    case ERROR_SEM_TIMEOUT:
    case ERROR_GEN_FAILURE:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_NOT_READY:
        return QStringLiteral("le périphérique ne répond pas (port absent de cet ordinateur ?).");
    default:
        return QStringLiteral("le système refuse de l'ouvrir (erreur n° %1).").arg(error);
    }
}

// Why the path cannot be the board's serial line, found without opening it: a file or a
// folder. Empty when it may be a serial port.
QString refusalBeforeOpening(const QString &device)
{
    if (isDevicePath(device) || device.startsWith(QStringLiteral("\\\\.\\")))
        return {};
    const DWORD attributes = GetFileAttributesW(win32Path(device).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {};
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return QStringLiteral("ce n'est pas un port série mais un dossier.");
    return QStringLiteral("ce n'est pas un port série mais un fichier ordinaire.");
}

// 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control; DTR as asked.
bool applyLineSettings(HANDLE handle, bool dtr)
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle, &dcb))
        return false;
    dcb.BaudRate = CBR_9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fAbortOnError = FALSE;
    if (!SetCommState(handle, &dcb))
        return false;

    // A read returns once the bytes stop coming, or after kReadWaitMs. (The "return at once
    // with what waits" settings, MAXDWORD intervals, never return under Wine.)
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = kReadGapMs;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = kReadWaitMs;
    timeouts.WriteTotalTimeoutMultiplier = kWriteMsPerByte;
    timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMs;
    return SetCommTimeouts(handle, &timeouts) != 0;
}

// Raises or drops DTR. Ports without modem lines (a pseudo-terminal behind Wine, some virtual
// ports) refuse with ERROR_NOT_SUPPORTED: harmless, as on Linux.
void applyDtr(HANDLE handle, bool dtr)
{
    (void)EscapeCommFunction(handle, dtr ? SETDTR : CLRDTR);
}

}  // namespace

struct SerialControl::Private
{
    explicit Private(SerialControl *owner) : q(owner) {}

    SerialControl *q;
    HANDLE handle = INVALID_HANDLE_VALUE;
    HANDLE stopEvent = nullptr;  // asks the reading thread to end
    std::thread reader;
    QTimer deviceCheck;
    QString portText;
    QString openDevice;   // the device of the open port (for messages)
    QByteArray received;  // bytes read, not yet taken by input()
    QByteArray held;      // bytes left unread when the port was closed
    QString lastError;
    int threshold = kReceiveThreshold;
    bool dtr = false;
    bool lossQueued = false;  // one loss per opening is handled
    quint64 session = 0;      // changes at every opening and closing

    // Shared with the reading thread.
    QMutex incomingLock;
    QByteArray incoming;
    bool deliveryQueued = false;

    bool isOpen() const { return handle != INVALID_HANDLE_VALUE; }

    QString portLabel(const QString &device) const
    {
        return serial_texts::portLabel(portText, device);
    }

    QString openFailureHead(const QString &device) const
    {
        return serial_texts::openFailureHead(portText, device);
    }

    bool open()
    {
        const QString device = deviceForPortText(portText);
        if (device.isEmpty()) {
            lastError = serial_texts::noPortChosen(portText);
            return false;
        }

        held.clear();
        received.clear();
        const QString refusal = refusalBeforeOpening(device);
        if (!refusal.isEmpty()) {
            lastError = openFailureHead(device) + refusal;
            return false;
        }
        const HANDLE opened = CreateFileW(win32Path(device).c_str(), GENERIC_READ | GENERIC_WRITE,
                                          0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (opened == INVALID_HANDLE_VALUE) {
            lastError = openFailureHead(device) + openErrorReason(GetLastError());
            return false;
        }
        if (GetFileType(opened) != FILE_TYPE_CHAR || !applyLineSettings(opened, dtr)) {
            CloseHandle(opened);
            lastError = openFailureHead(device) + QStringLiteral("ce n'est pas un port série.");
            return false;
        }
        // The driver may have raised DTR while opening; boards of this kind may reset on it.
        applyDtr(opened, dtr);
        PurgeComm(opened, PURGE_RXCLEAR | PURGE_TXCLEAR);

        ++session;
        lossQueued = false;
        handle = opened;
        openDevice = device;
        stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        {
            QMutexLocker locker(&incomingLock);
            incoming.clear();
            deliveryQueued = false;
        }
        reader = std::thread(
            [this, opened, stop = stopEvent, at = session] { readLoop(opened, stop, at); });
        deviceCheck.start();
        return true;
    }

    void close(bool drain)
    {
        deviceCheck.stop();
        if (!isOpen())
            return;
        if (drain)
            waitForOutputQueue();
        SetEvent(stopEvent);
        if (reader.joinable())
            reader.join();
        CloseHandle(stopEvent);
        stopEvent = nullptr;
        CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        ++session;
        lossQueued = false;
        takeIncoming();
        held += std::exchange(received, {});
    }

    // Waits, a little at most, for the driver to send what it still holds.
    void waitForOutputQueue()
    {
        const ULONGLONG until = GetTickCount64() + kCloseDrainMs;
        for (;;) {
            DWORD errors = 0;
            COMSTAT status{};
            if (!ClearCommError(handle, &errors, &status) || status.cbOutQue == 0)
                return;
            if (GetTickCount64() >= until)
                return;
            Sleep(10);
        }
    }

    // The reading thread: overlapped reads until asked to stop or until the port fails.
    void readLoop(HANDLE port, HANDLE stop, quint64 at)
    {
        OVERLAPPED overlapped{};
        overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        char buffer[4096];
        DWORD failure = 0;
        for (;;) {
            ResetEvent(overlapped.hEvent);
            DWORD got = 0;
            const bool done = ReadFile(port, buffer, sizeof buffer, &got, &overlapped) != 0;
            if (!done) {
                const DWORD error = GetLastError();
                if (error != ERROR_IO_PENDING) {
                    failure = error;
                    break;
                }
                const HANDLE waitOn[2] = {stop, overlapped.hEvent};
                const DWORD woken = WaitForMultipleObjects(2, waitOn, FALSE, INFINITE);
                if (woken == WAIT_OBJECT_0) {
                    CancelIo(port);
                    if (GetOverlappedResult(port, &overlapped, &got, TRUE) && got > 0)
                        deliver(buffer, got, at);
                    break;
                }
                // A read whose time ran out: Windows says so with a short count, Wine with
                // ERROR_TIMEOUT.
                if (!GetOverlappedResult(port, &overlapped, &got, FALSE) &&
                    GetLastError() != ERROR_TIMEOUT && GetLastError() != ERROR_SEM_TIMEOUT) {
                    failure = GetLastError();
                    break;
                }
            }
            if (got > 0) {
                deliver(buffer, got, at);
                continue;
            }
            // Nothing within the read's time limit. A line that is gone may answer at once with
            // nothing, again and again: it is checked, and this thread never spins.
            DWORD errors = 0;
            COMSTAT status{};
            if (!ClearCommError(port, &errors, &status)) {
                failure = GetLastError() != 0 ? GetLastError() : ERROR_GEN_FAILURE;
                break;
            }
            if (WaitForSingleObject(stop, kIdleReadPauseMs) == WAIT_OBJECT_0)
                break;
        }
        CloseHandle(overlapped.hEvent);
        if (failure != 0) {
            QMetaObject::invokeMethod(
                q,
                [this, at] {
                    if (at == session && isOpen())
                        queueLoss(serial_texts::deviceGone());
                },
                Qt::QueuedConnection);
        }
    }

    // From the reading thread: the bytes go to the control's thread.
    void deliver(const char *bytes, DWORD size, quint64 at)
    {
        QMutexLocker locker(&incomingLock);
        incoming.append(bytes, static_cast<qsizetype>(size));
        if (deliveryQueued)
            return;
        deliveryQueued = true;
        QMetaObject::invokeMethod(
            q,
            [this, at] {
                takeIncoming();
                if (at == session && threshold > 0 && received.size() >= threshold)
                    emit q->onComm(kCharactersReceived);
            },
            Qt::QueuedConnection);
    }

    void takeIncoming()
    {
        QMutexLocker locker(&incomingLock);
        received += std::exchange(incoming, {});
        deliveryQueued = false;
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
        QMetaObject::invokeMethod(
            q,
            [this, at, reason] {
                if (at == session && isOpen())
                    lose(reason);
            },
            Qt::QueuedConnection);
    }

    // An unplugged USB adapter makes every call on its handle fail.
    bool deviceGone() const
    {
        DWORD errors = 0;
        COMSTAT status{};
        return !ClearCommError(handle, &errors, &status);
    }

    bool write(const QByteArray &bytes)
    {
        OVERLAPPED overlapped{};
        overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        DWORD written = 0;
        bool ok = WriteFile(handle, bytes.constData(), static_cast<DWORD>(bytes.size()), &written,
                            &overlapped) != 0;
        if (!ok && GetLastError() == ERROR_IO_PENDING)
            ok = GetOverlappedResult(handle, &overlapped, &written, TRUE) != 0;
        CloseHandle(overlapped.hEvent);
        return ok && written == static_cast<DWORD>(bytes.size());
    }
};

SerialControl::SerialControl(QObject *parent) : QObject(parent), d(std::make_unique<Private>(this))
{
    d->deviceCheck.setInterval(kDeviceCheckIntervalMs);
    connect(&d->deviceCheck, &QTimer::timeout, this, [this] {
        if (d->isOpen() && d->deviceGone())
            d->queueLoss(serial_texts::deviceGone());
    });
}

SerialControl::~SerialControl()
{
    d->close(false);
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
    return d->isOpen();
}

bool SerialControl::setPortOpen(bool open)
{
    if (open == d->isOpen())
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
    if (d->isOpen())
        applyDtr(d->handle, enable);
}

bool SerialControl::dtrEnable() const
{
    return d->dtr;
}

bool SerialControl::output(const QByteArray &bytes)
{
    if (!d->isOpen()) {
        d->lastError = serial_texts::sendOnClosedPort(d->portLabel(deviceName()));
        return false;
    }
    if (!d->write(bytes)) {
        d->lose(serial_texts::writeFailed());
        return false;
    }
    return true;
}

QByteArray SerialControl::input()
{
    d->takeIncoming();
    QByteArray bytes = std::exchange(d->held, {});
    bytes += std::exchange(d->received, {});
    return bytes;
}

QString SerialControl::lastError() const
{
    return d->lastError;
}

}  // namespace platine
