#include "cli/standard_output.h"

#include "store/system_error_text.h"

#include <QtGlobal>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#ifdef Q_OS_WIN
#include <io.h>
#endif

namespace platine::cli {

StandardStream::StandardStream(int fd) : fd_(fd)
{
    if (!descriptorOpen())
        error_ = EBADF;
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool StandardStream::readerGone() const
{
    return error_ == EPIPE;
}

QString StandardStream::failureText() const
{
    if (error_ == 0)
        return {};
    if (error_ == EBADF)
        return QStringLiteral("la sortie standard est fermée");
    return QStringLiteral("écriture impossible sur la sortie standard (%1)")
        .arg(systemErrorText(error_));
}

bool StandardStream::descriptorOpen() const
{
    return descriptorIsOpen(fd_);
}

bool StandardStream::closeDescriptor()
{
    if (error_ != 0)
        return false;
    if (::close(fd_) != 0 && errno != EINTR) {
        error_ = errno;
        return false;
    }
    return true;
}

qint64 StandardStream::readData(char *, qint64)
{
    return -1;
}

qint64 StandardStream::writeData(const char *data, qint64 size)
{
    if (error_ != 0)
        return -1;
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, data + done, static_cast<size_t>(size - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            error_ = n < 0 ? errno : EIO;
            return -1;
        }
    }
    return done;
}

bool descriptorIsOpen(int fd)
{
#ifdef Q_OS_WIN
    // -1: not open; -2: a standard stream the program was started without.
    const intptr_t handle = ::_get_osfhandle(fd);
    return handle != -1 && handle != -2;
#else
    return ::fcntl(fd, F_GETFD) != -1;
#endif
}

void ignoreBrokenPipeSignal()
{
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

}  // namespace platine::cli
