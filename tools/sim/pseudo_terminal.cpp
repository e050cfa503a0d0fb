#include "sim/pseudo_terminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace platine::sim {

namespace {

PseudoTerminal failed(int &master, const QString &what)
{
    PseudoTerminal result;
    result.error =
        QStringLiteral("%1 : %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
    if (master >= 0)
        ::close(master);
    master = -1;
    return result;
}

}  // namespace

PseudoTerminal openPseudoTerminal()
{
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return failed(master, QStringLiteral("Impossible de créer un pseudo-terminal"));
    termios attributes{};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::tcgetattr(master, &attributes) != 0)
        return failed(master, QStringLiteral("Impossible de préparer le pseudo-terminal"));
    ::cfmakeraw(&attributes);
    ::cfsetispeed(&attributes, B9600);
    ::cfsetospeed(&attributes, B9600);
    const int flags = ::fcntl(master, F_GETFL);
    if (::tcsetattr(master, TCSANOW, &attributes) != 0 || flags < 0 ||
        ::fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0 ||
        ::fcntl(master, F_SETFD, FD_CLOEXEC) != 0)
        return failed(master, QStringLiteral("Impossible de régler le pseudo-terminal"));
    char name[256] = {};
    if (::ptsname_r(master, name, sizeof name) != 0)
        return failed(master, QStringLiteral("Pseudo-terminal sans nom"));
    PseudoTerminal result;
    result.master = master;
    result.slavePath = QString::fromLocal8Bit(name);
    return result;
}

}  // namespace platine::sim
