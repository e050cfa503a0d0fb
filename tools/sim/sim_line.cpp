#include "sim/sim_line.h"

#include "sim/pseudo_terminal.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace platine::sim {

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// How often a pseudo-terminal is checked for the PC opening or closing its end.
constexpr int kListenerCheckMs = 50;
// How long a write may wait for room when the PC does not read: not long, since a real line
// does not wait either and what the PC does not take is lost.
constexpr int kWriteTimeoutMs = 100;

}  // namespace

SerialLine::SerialLine(QObject *parent) : QObject(parent)
{
    listenerWatch_.setInterval(kListenerCheckMs);
    connect(&listenerWatch_, &QTimer::timeout, this, &SerialLine::checkListener);
}

SerialLine::~SerialLine()
{
    closeLine();
}

bool SerialLine::fail(const QString &message)
{
    error_ = message;
    closeLine();
    return false;
}

void SerialLine::closeLine()
{
    listenerWatch_.stop();
    delete notifier_;
    notifier_ = nullptr;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    listening_ = false;
}

bool SerialLine::openPseudoTerminal()
{
    closeLine();
    pseudoTerminal_ = true;
    const PseudoTerminal terminal = sim::openPseudoTerminal();
    if (terminal.master < 0)
        return fail(terminal.error);
    fd_ = terminal.master;
    devicePath_ = terminal.slavePath;

    // Open and close the PC's end once: from then on the line reports a hang-up whenever
    // nobody holds that end open, which is how a listener is told from none.
    const int other = ::open(QFile::encodeName(devicePath_).constData(),
                             O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (other >= 0)
        ::close(other);

    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    notifier_->setEnabled(false);
    connect(notifier_, &QSocketNotifier::activated, this, &SerialLine::readAvailable);
    listening_ = false;
    listenerWatch_.start();
    checkListener();
    return true;
}

bool SerialLine::openDevice(const QString &path)
{
    closeLine();
    pseudoTerminal_ = false;
    devicePath_ = path;
    const QByteArray encoded = path.toLocal8Bit();
    fd_ = ::open(encoded.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        return fail(QStringLiteral("Impossible d'ouvrir le port série « %1 » : %2")
                        .arg(path, systemError()));
    }
    termios attributes{};
    if (!::isatty(fd_) || ::tcgetattr(fd_, &attributes) != 0) {
        return fail(QStringLiteral("« %1 » n'est pas un port série.").arg(path));
    }
    // 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control, raw.
    ::cfmakeraw(&attributes);
    attributes.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    attributes.c_cflag |= CS8 | CLOCAL | CREAD;
    attributes.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    attributes.c_cc[VMIN] = 1;  // without data a read says so (EAGAIN) instead of returning 0
    attributes.c_cc[VTIME] = 0;
    if (::cfsetispeed(&attributes, B9600) != 0 || ::cfsetospeed(&attributes, B9600) != 0 ||
        ::tcsetattr(fd_, TCSANOW, &attributes) != 0) {
        return fail(QStringLiteral("Impossible de régler le port série « %1 » (9600 bauds, 8N1) : "
                                   "%2")
                        .arg(path, systemError()));
    }
    ::tcflush(fd_, TCIOFLUSH);
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SerialLine::readAvailable);
    listening_ = true;
    return true;
}

void SerialLine::checkListener()
{
    if (fd_ < 0 || !pseudoTerminal_)
        return;
    pollfd entry{fd_, POLLIN, 0};
    if (::poll(&entry, 1, 0) < 0)
        return;
    // Waiting input is read first, even from a PC that has just closed its end.
    if ((entry.revents & POLLIN) != 0) {
        readAvailable();
        return;
    }
    setListening((entry.revents & POLLHUP) == 0);
}

void SerialLine::setListening(bool listening)
{
    if (notifier_ != nullptr)
        notifier_->setEnabled(listening);
    if (listening == listening_)
        return;
    listening_ = listening;
    emit listeningChanged(listening);
}

void SerialLine::readAvailable()
{
    if (fd_ < 0)
        return;
    QByteArray bytes;
    bool hungUp = false;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n > 0) {
            bytes.append(chunk, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // EAGAIN: nothing more for now. EIO (or end of file): the other end is closed.
        hungUp = n == 0 || errno != EAGAIN;
        break;
    }
    if (!bytes.isEmpty()) {
        if (pseudoTerminal_ && !hungUp)
            setListening(true);
        emit received(bytes);
    }
    if (!hungUp)
        return;
    if (pseudoTerminal_) {
        setListening(false);  // the watch sees the PC open its end again
        return;
    }
    const QString message =
        QStringLiteral("Liaison perdue avec le port série « %1 ».").arg(devicePath_);
    closeLine();
    emit lost(message);
}

bool SerialLine::write(QByteArrayView bytes)
{
    if (fd_ < 0)
        return false;
    const QDeadlineTimer deadline(kWriteTimeoutMs);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(fd_, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(2);
    }
    return true;
}

}  // namespace platine::sim
