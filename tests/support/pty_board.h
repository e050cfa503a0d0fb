#pragma once

// The board's end of a serial line, for tests: a pseudo-terminal (the simulator's, see
// sim/pseudo_terminal.h) whose master the test holds while the code under test opens
// slavePath() as its serial port. The line is put in raw mode at once, so nothing is echoed or
// translated, even while the port is closed.
//
// REQUIRE_PTY(board) fails the test function, saying why, when the line could not be set up.
//
// On Windows (the cross build, run under Wine) the board's end is a COM port instead, linked to
// the port under test like a null-modem cable by tests/windows/com_lines.py; the folder that
// script works in is PLATINE_TEST_COM_LINES, as Windows sees it. slavePath() is then the COM
// port the code under test opens ("COM11"), and close() unplugs it. What the port under test
// has read cannot be seen from there: there is no portHasReadAll().

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTest>

#define REQUIRE_PTY(board)                                                                         \
    QVERIFY2((board).isOpen(),                                                                     \
             qPrintable(QStringLiteral("pseudo-terminal: ") + (board).errorString()))

// Skips a test that needs portHasReadAll() where the board's end cannot tell.
#ifdef Q_OS_WIN
#define SKIP_WITHOUT_PORT_QUEUE()                                                                  \
    QSKIP("what the port has read cannot be seen from the board's end of a COM port")
#else
#define SKIP_WITHOUT_PORT_QUEUE()                                                                  \
    do {                                                                                           \
    } while (false)
#endif

#ifdef Q_OS_WIN
#include <QCoreApplication>
#include <QDir>

#include <set>

#include <windows.h>

namespace platine::test {

// Wine keeps no COM port to one program: a second opening succeeds there.
inline bool runningUnderWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

class PtyBoard
{
public:
    PtyBoard() { open(); }
    ~PtyBoard() { close(); }
    PtyBoard(const PtyBoard &) = delete;
    PtyBoard &operator=(const PtyBoard &) = delete;

    bool isOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    // The COM port the code under test opens, such as COM11.
    QString slavePath() const { return m_portName; }
    QString errorString() const { return m_error; }

    bool write(const QByteArray &bytes, int timeoutMs = 2000)
    {
        if (!isOpen())
            return false;
        OVERLAPPED overlapped{};
        overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        DWORD written = 0;
        bool ok =
            WriteFile(m_handle, bytes.constData(), DWORD(bytes.size()), &written, &overlapped) != 0;
        if (!ok && GetLastError() == ERROR_IO_PENDING) {
            ok = WaitForSingleObject(overlapped.hEvent, DWORD(timeoutMs)) == WAIT_OBJECT_0 &&
                 GetOverlappedResult(m_handle, &overlapped, &written, FALSE);
            if (!ok) {
                CancelIo(m_handle);
                GetOverlappedResult(m_handle, &overlapped, &written, TRUE);
            }
        }
        CloseHandle(overlapped.hEvent);
        return ok && written == DWORD(bytes.size());
    }

    // Every byte the port sends within timeoutMs, with the event loop running meanwhile.
    // Returns early once `expected` bytes arrived; expected < 0 reads for the whole timeout.
    QByteArray read(qsizetype expected = -1, int timeoutMs = 2000)
    {
        QByteArray bytes;
        QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            QCoreApplication::processEvents();
            readSome(bytes);
            if (expected >= 0 && bytes.size() >= expected)
                return bytes;
            if (deadline.hasExpired())
                return bytes;
        }
    }

    QByteArray readAll(int timeoutMs) { return read(-1, timeoutMs); }

    // Not known from this end: the tests that need it skip first (SKIP_WITHOUT_PORT_QUEUE).
    bool portHasReadAll() const { return false; }

    // The board goes away: the cable is unplugged, and the port under test's line is hung up
    // once this returns.
    void close()
    {
        if (!isOpen())
            return;
        const int before = hangups();
        CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        QDeadlineTimer deadline(3000);
        while (hangups() == before && !deadline.hasExpired())
            QTest::qWait(5);
        pairsInUse().erase(m_pair);
    }

private:
    static std::set<int> &pairsInUse()
    {
        static std::set<int> pairs;
        return pairs;
    }

    // A count that tests/windows/com_lines.py keeps in a file; -1 when it cannot be read.
    static int count(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        return file.readAll().trimmed().toInt();
    }

    int hangups() const { return count(m_countFile); }

    void open()
    {
        const QString folder = qEnvironmentVariable("PLATINE_TEST_COM_LINES");
        QFile ready(QDir(folder).filePath(QStringLiteral("ready")));
        if (folder.isEmpty() || !ready.open(QIODevice::ReadOnly)) {
            m_error = QStringLiteral("no COM port pairs (PLATINE_TEST_COM_LINES, "
                                     "tests/windows/com_lines.py)");
            return;
        }
        const int pairs = ready.readAll().trimmed().toInt();
        for (int pair = 0; pair < pairs; ++pair) {
            if (pairsInUse().count(pair) != 0)
                continue;
            const int portNumber = 11 + 2 * pair;
            const std::wstring board =
                QStringLiteral("\\\\.\\COM%1").arg(portNumber + 1).toStdWString();
            const QString plugFile =
                QDir(folder).filePath(QStringLiteral("COM%1.plugs").arg(portNumber));
            const int plugsBefore = count(plugFile);
            m_handle = CreateFileW(board.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
            if (m_handle == INVALID_HANDLE_VALUE)
                continue;
            DCB dcb{};
            dcb.DCBlength = sizeof dcb;
            GetCommState(m_handle, &dcb);
            dcb.BaudRate = CBR_9600;
            dcb.ByteSize = 8;
            dcb.Parity = NOPARITY;
            dcb.StopBits = ONESTOPBIT;
            dcb.fBinary = TRUE;
            dcb.fOutX = dcb.fInX = FALSE;
            dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = FALSE;
            dcb.fDtrControl = DTR_CONTROL_DISABLE;
            dcb.fRtsControl = RTS_CONTROL_DISABLE;
            COMMTIMEOUTS timeouts{};
            timeouts.ReadIntervalTimeout = 10;
            timeouts.ReadTotalTimeoutConstant = 20;
            timeouts.WriteTotalTimeoutConstant = 2000;
            if (!SetCommState(m_handle, &dcb) || !SetCommTimeouts(m_handle, &timeouts)) {
                m_error = QStringLiteral("COM%1: SetCommState/SetCommTimeouts failed, error %2")
                              .arg(portNumber + 1)
                              .arg(GetLastError());
                CloseHandle(m_handle);
                m_handle = INVALID_HANDLE_VALUE;
                return;
            }
            PurgeComm(m_handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
            m_pair = pair;
            pairsInUse().insert(pair);
            m_portName = QStringLiteral("COM%1").arg(portNumber);
            m_countFile = QDir(folder).filePath(m_portName + QStringLiteral(".hangups"));
            // The cable is plugged once com_lines.py has seen this end open: a close() that
            // follows at once then hangs the port's line up.
            QDeadlineTimer deadline(3000);
            while (count(plugFile) == plugsBefore && !deadline.hasExpired())
                QTest::qWait(5);
            return;
        }
        m_error = QStringLiteral("every COM port pair is in use or cannot be opened");
    }

    // Appends what arrives within a short wait; false when nothing did.
    bool readSome(QByteArray &bytes)
    {
        if (!isOpen())
            return false;
        char chunk[4096];
        OVERLAPPED overlapped{};
        overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        DWORD got = 0;
        bool ok = ReadFile(m_handle, chunk, sizeof chunk, &got, &overlapped) != 0;
        if (!ok && GetLastError() == ERROR_IO_PENDING)
            ok = GetOverlappedResult(m_handle, &overlapped, &got, TRUE) != 0;
        CloseHandle(overlapped.hEvent);
        if (!ok || got == 0)
            return false;  // Wine reports a read whose time ran out as ERROR_TIMEOUT
        bytes.append(chunk, qsizetype(got));
        return true;
    }

    HANDLE m_handle = INVALID_HANDLE_VALUE;
    int m_pair = -1;
    QString m_portName;
    QString m_countFile;
    QString m_error;
};

}  // namespace platine::test

#else  // the pseudo-terminal

#include "sim/pseudo_terminal.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace platine::test {

// Whether bytes wait to be read on the terminal line open as fd, counting those the system has
// accepted from the other end but not yet queued (polling a terminal queues them first).
// False for a line that has nothing to read; true for one that is hung up or not valid, which
// a caller waiting for the line to be read out must not take as done.
inline bool lineHasUnreadInput(int fd)
{
    if (fd < 0)
        return true;
    pollfd check{fd, POLLIN, 0};
    const int ready = ::poll(&check, 1, 0);
    return ready != 0;  // an interrupted poll() counts as not known yet
}

class PtyBoard
{
public:
    PtyBoard() { open(); }
    ~PtyBoard() { close(); }
    PtyBoard(const PtyBoard &) = delete;
    PtyBoard &operator=(const PtyBoard &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // The device the code under test opens, such as /dev/pts/4.
    QString slavePath() const { return m_slavePath; }
    // Why the pseudo-terminal could not be set up ("" when it was).
    QString errorString() const { return m_error; }
    int masterFd() const { return m_fd; }

    // Writes every byte, waiting (with the event loop running) while the line is full.
    bool write(const QByteArray &bytes, int timeoutMs = 2000)
    {
        if (m_fd < 0)
            return false;
        QDeadlineTimer deadline(timeoutMs);
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::write(m_fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n > 0) {
                done += n;
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            if (deadline.hasExpired())
                return false;
            QTest::qWait(2);
        }
        return true;
    }

    // Every byte the port sends within timeoutMs, with the event loop running meanwhile.
    // Returns early once `expected` bytes arrived; expected < 0 reads for the whole timeout.
    QByteArray read(qsizetype expected = -1, int timeoutMs = 2000)
    {
        QByteArray bytes;
        QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            const bool got = readAvailable(bytes);
            if (expected >= 0 && bytes.size() >= expected)
                return bytes;
            if (deadline.hasExpired())
                return bytes;
            if (!got)
                QTest::qWait(2);
        }
    }

    // Everything the port sends within timeoutMs.
    QByteArray readAll(int timeoutMs) { return read(-1, timeoutMs); }

    // Whether the code under test, holding slavePath() open in this process, has read every
    // byte written so far. Its port reads them in an event handler that raises its signals
    // before returning, so once this holds, what receiving them does has been done, apart
    // from work deferred to the event loop (QCoreApplication::sendPostedEvents() does that):
    // a test checks at once what must not have happened instead of sleeping first. False while
    // no descriptor of this process has the line open. Wait on it with QTRY_VERIFY.
    bool portHasReadAll() const
    {
        const int fd = portDescriptor();
        return fd >= 0 && !lineHasUnreadInput(fd);
    }

    // The board goes away: the port's line is hung up.
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    // This process's descriptor open on the slave (the serial port of the code under test),
    // or -1. Linux names every open descriptor's file under /proc/self/fd.
    int portDescriptor() const
    {
        const QByteArray wanted = QFile::encodeName(m_slavePath);
        DIR *folder = ::opendir("/proc/self/fd");
        if (!folder)
            return -1;
        int found = -1;
        while (const dirent *entry = ::readdir(folder)) {
            const QByteArray link = QByteArray("/proc/self/fd/") + entry->d_name;
            char target[PATH_MAX];
            const ssize_t size = ::readlink(link.constData(), target, sizeof target);
            if (size > 0 && QByteArray(target, size) == wanted) {
                found = std::atoi(entry->d_name);
                break;
            }
        }
        ::closedir(folder);
        return found;
    }

    void open()
    {
        // A line number freed by another test process may still carry that process's serial
        // port lock for a moment; such a line would look busy. Take another one then.
        std::vector<int> skipped;
        for (int attempt = 0; attempt < 16; ++attempt) {
            openOne();
            if (m_fd < 0 || !portLockPresent())
                break;
            skipped.push_back(m_fd);
            m_fd = -1;
            m_slavePath.clear();
        }
        for (const int fd : skipped)
            ::close(fd);
        if (m_fd < 0 && m_error.isEmpty())
            m_error = QStringLiteral("every line tried was locked");
    }

    // The lock file Qt Serial Port keeps for an open port, as LCK..pts_4 for /dev/pts/4.
    bool portLockPresent() const
    {
        QString name = m_slavePath;
        name.remove(0, name.indexOf(QStringLiteral("pts/")));
        name.replace(u'/', u'_');
        for (const char *dir : {"/var/lock", "/run/lock", "/tmp", "/var/tmp"}) {
            if (QFileInfo::exists(QString::fromLatin1(dir) + QStringLiteral("/LCK..") + name))
                return true;
        }
        return false;
    }

    void openOne()
    {
        const sim::PseudoTerminal terminal = sim::openPseudoTerminal();
        m_fd = terminal.master;
        m_slavePath = terminal.slavePath;
        m_error = terminal.error;
    }

    // Appends what is waiting now; false when nothing was.
    bool readAvailable(QByteArray &bytes)
    {
        if (m_fd < 0)
            return false;
        bool got = false;
        char chunk[4096];
        for (;;) {
            const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
            if (n <= 0)
                return got;  // EAGAIN: nothing yet; EIO: the port is closed
            bytes.append(chunk, n);
            got = true;
        }
    }

    int m_fd = -1;
    QString m_slavePath;
    QString m_error;
};

}  // namespace platine::test

#endif
