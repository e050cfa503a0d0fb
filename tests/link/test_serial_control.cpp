#include "link/serial_control.h"

#include "support/pty_board.h"

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <cerrno>
#include <cstring>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

using platine::SerialControl;
using platine::test::PtyBoard;

namespace {

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(static_cast<char>(value));
    return bytes;
}

// CPU time in a second of the event loop that shows it spinning.
constexpr qint64 kSpinningCpuMs = 200;

// CPU time (user + system) this process has used so far, in milliseconds.
qint64 processCpuMs()
{
#ifdef Q_OS_WIN
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ms = [](const FILETIME &t) {
        return qint64((quint64(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000);
    };
    return ms(kernel) + ms(user);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return qint64(t.tv_sec) * 1000 + t.tv_usec / 1000; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
#endif
}

}  // namespace

class SerialControlTest : public QObject
{
    Q_OBJECT

private slots:
    void initialState();
    void portTextNamesDevice_data();
    void portTextNamesDevice();
    void frameBytesLeaveUnchanged();
    void boardBytesReadBackUnchanged();
    void receiveEventNeedsThreshold_data();
    void receiveEventNeedsThreshold();
    void dtrOnPortWithoutModemLinesIsHarmless();
    void reopenAfterClose();
    void openFailureLeavesPortClosed_data();
    void openFailureLeavesPortClosed();
    void busyPortIsNamedAsBusy();
    void deniedPortNamesTheGroup_data();
    void deniedPortNamesTheGroup();
    void outputOnClosedPortFails();
    void unplugClosesOnceWithoutSpinning();
    void writeToVanishedDeviceFails();
};

void SerialControlTest::initialState()
{
    SerialControl comm;
    QCOMPARE(comm.rThreshold(), 26);
    QVERIFY(!comm.portOpen());
    QVERIFY(!comm.dtrEnable());
    QVERIFY(comm.commPort().isEmpty());
}

void SerialControlTest::portTextNamesDevice_data()
{
    QTest::addColumn<QString>("portText");
    QTest::addColumn<QString>("device");

#ifdef Q_OS_WIN
    QTest::newRow("number") << QStringLiteral("3") << QStringLiteral("COM3");
    QTest::newRow("blanks around") << QStringLiteral("  3 ") << QStringLiteral("COM3");
    QTest::newRow("name") << QStringLiteral("COM3") << QStringLiteral("COM3");
    QTest::newRow("device path") << QStringLiteral("\\\\.\\COM10")
                                 << QStringLiteral("\\\\.\\COM10");
    QTest::newRow("port 0") << QStringLiteral("0") << QString();
    QTest::newRow("empty") << QString() << QString();
    return;
#endif
    QTest::newRow("COM1") << QStringLiteral("1") << QStringLiteral("/dev/ttyS0");
    QTest::newRow("COM3") << QStringLiteral("3") << QStringLiteral("/dev/ttyS2");
    QTest::newRow("blanks around") << QStringLiteral("  3 ") << QStringLiteral("/dev/ttyS2");
    QTest::newRow("half to even") << QStringLiteral("2.5") << QStringLiteral("/dev/ttyS1");
    QTest::newRow("bare name") << QStringLiteral("ttyUSB0") << QStringLiteral("/dev/ttyUSB0");
    QTest::newRow("full path") << QStringLiteral("/dev/serial/by-id/usb-x")
                               << QStringLiteral("/dev/serial/by-id/usb-x");
    QTest::newRow("port 0") << QStringLiteral("0") << QString();
    QTest::newRow("negative") << QStringLiteral("-2") << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("blanks only") << QStringLiteral("   ") << QString();
}

void SerialControlTest::portTextNamesDevice()
{
#if !defined(Q_OS_LINUX) && !defined(Q_OS_WIN)
    QSKIP("device names of Linux and Windows");
#endif
    QFETCH(QString, portText);
    QFETCH(QString, device);
    SerialControl comm;
    comm.setCommPort(portText);
    QCOMPARE(comm.commPort(), portText);
    QCOMPARE(comm.deviceName(), device);
}

void SerialControlTest::frameBytesLeaveUnchanged()
{
    PtyBoard board;
    REQUIRE_PTY(board);
    SerialControl comm;
    comm.setCommPort(board.slavePath());
    QVERIFY2(comm.setPortOpen(true), qPrintable(comm.lastError()));
    QVERIFY(comm.portOpen());

    const QByteArray frame = allByteValues();
    QVERIFY2(comm.output(frame), qPrintable(comm.lastError()));
    QCOMPARE(board.read(frame.size()), frame);

    // A frame that starts with the clock command letter, with bytes above 0x7F.
    const QByteArray clockFrame = QByteArray("A") + QByteArray::fromHex("45305902170926");
    QVERIFY2(comm.output(clockFrame), qPrintable(comm.lastError()));
    QCOMPARE(board.read(clockFrame.size()), clockFrame);
    QVERIFY(comm.portOpen());
}

void SerialControlTest::boardBytesReadBackUnchanged()
{
    PtyBoard board;
    REQUIRE_PTY(board);
    SerialControl comm;
    QSignalSpy events(&comm, &SerialControl::onComm);
    comm.setCommPort(board.slavePath());
    QVERIFY2(comm.setPortOpen(true), qPrintable(comm.lastError()));

    const QByteArray sent = allByteValues();
    QVERIFY(board.write(sent));
    QTRY_VERIFY(!events.isEmpty());
    QCOMPARE(events.first().first().toInt(), SerialControl::kCharactersReceived);

    QByteArray received;
    QTRY_VERIFY((received += comm.input()).size() >= sent.size());
    QCOMPARE(received, sent);
    // The buffer was emptied.
    QVERIFY(comm.input().isEmpty());
}

void SerialControlTest::receiveEventNeedsThreshold_data()
{
    QTest::addColumn<int>("threshold");
    QTest::addColumn<int>("first");  // bytes the board sends first
    QTest::addColumn<bool>("eventAfterFirst");
    QTest::addColumn<int>("second");  // then these
    QTest::addColumn<bool>("eventAfterSecond");

    QTest::newRow("25 then 1") << 26 << 25 << false << 1 << true;
    QTest::newRow("1 then 24") << 26 << 1 << false << 24 << false;
    QTest::newRow("26 at once") << 26 << 26 << true << 0 << true;
    QTest::newRow("40 at once") << 26 << 40 << true << 0 << true;
    QTest::newRow("threshold 1") << 1 << 1 << true << 0 << true;
    QTest::newRow("threshold 0: never") << 0 << 30 << false << 30 << false;
}

void SerialControlTest::receiveEventNeedsThreshold()
{
    QFETCH(int, threshold);
    QFETCH(int, first);
    QFETCH(bool, eventAfterFirst);
    QFETCH(int, second);
    QFETCH(bool, eventAfterSecond);
    SKIP_WITHOUT_PORT_QUEUE();

    PtyBoard board;
    REQUIRE_PTY(board);
    SerialControl comm;
    comm.setRThreshold(threshold);
    QCOMPARE(comm.rThreshold(), threshold);
    QSignalSpy events(&comm, &SerialControl::onComm);
    comm.setCommPort(board.slavePath());
    QVERIFY2(comm.setPortOpen(true), qPrintable(comm.lastError()));

    // Once the port has read every byte and done what it deferred to the event loop, the
    // event has come or will not.
    const auto portHasHandledAll = [&board] {
        if (!board.portHasReadAll())
            return false;
        QCoreApplication::sendPostedEvents();
        return true;
    };
    QByteArray sent(first, 'a');
    QVERIFY(board.write(sent));
    QTRY_VERIFY(portHasHandledAll());
    QCOMPARE(!events.isEmpty(), eventAfterFirst);

    sent += QByteArray(second, 'b');
    QVERIFY(board.write(QByteArray(second, 'b')));
    QTRY_VERIFY(portHasHandledAll());
    QCOMPARE(!events.isEmpty(), eventAfterSecond);

    // Characters that raised nothing still wait, and come with the next batch.
    QByteArray received;
    QTRY_VERIFY((received += comm.input()).size() >= sent.size());
    QCOMPARE(received, sent);
}

void SerialControlTest::dtrOnPortWithoutModemLinesIsHarmless()
{
    PtyBoard board;
    REQUIRE_PTY(board);
    SerialControl comm;
    QSignalSpy lost(&comm, &SerialControl::portLost);
    comm.setCommPort(board.slavePath());
    QVERIFY2(comm.setPortOpen(true), qPrintable(comm.lastError()));

    comm.setDTREnable(false);
    comm.setDTREnable(true);
    comm.setDTREnable(false);
    QVERIFY(!comm.dtrEnable());
    QCoreApplication::sendPostedEvents();  // a loss is handled from the event loop
    QVERIFY(comm.portOpen());
    QVERIFY(lost.isEmpty());

    const QByteArray frame("B\x01\x02\x03", 4);
    QVERIFY2(comm.output(frame), qPrintable(comm.lastError()));
    QCOMPARE(board.read(frame.size()), frame);
}

void SerialControlTest::reopenAfterClose()
{
    PtyBoard board;
    REQUIRE_PTY(board);
    SerialControl comm;
    comm.setCommPort(board.slavePath());
    for (int round = 0; round < 3; ++round) {
        QVERIFY2(comm.setPortOpen(true), qPrintable(comm.lastError()));
        QVERIFY(comm.setPortOpen(true));  // already open: nothing happens
        QVERIFY(comm.portOpen());
        const QByteArray frame = QByteArray("A") + QByteArray::number(round);
        QVERIFY2(comm.output(frame), qPrintable(comm.lastError()));
        QCOMPARE(board.read(frame.size()), frame);
        QVERIFY(comm.setPortOpen(false));
        QVERIFY(!comm.portOpen());
        QVERIFY(comm.setPortOpen(false));  // already closed
    }
}

void SerialControlTest::openFailureLeavesPortClosed_data()
{
    // "<...>": made by the test in a temporary folder; "<node M:N>" is a character device of
    // that major and minor number (only the super-user can make one).
    QTest::addColumn<QString>("portText");
    QTest::addColumn<QString>("reason");

    QTest::newRow("port 0") << QStringLiteral("0") << QStringLiteral("aucun port choisi");
    QTest::newRow("no port") << QString() << QStringLiteral("aucun port choisi");
#ifdef Q_OS_WIN
    QTest::newRow("missing port") << QStringLiteral("COM250") << QStringLiteral("n'existe pas");
    QTest::newRow("missing path") << QStringLiteral("C:/platine-missing/COM1")
                                  << QStringLiteral("n'existe pas");
    QTest::newRow("plain file") << QStringLiteral("<plain file>")
                                << QStringLiteral("pas un port série mais un fichier ordinaire");
    QTest::newRow("folder") << QStringLiteral("<folder>")
                            << QStringLiteral("pas un port série mais un dossier");
    QTest::newRow("null device") << QStringLiteral("NUL") << QStringLiteral("pas un port série");
    return;
#endif
    QTest::newRow("missing name") << QStringLiteral("ttyPlatineMissing")
                                  << QStringLiteral("n'existe pas");
    QTest::newRow("missing path") << QStringLiteral("/dev/platine-missing/tty0")
                                  << QStringLiteral("n'existe pas");
    QTest::newRow("plain file") << QStringLiteral("<plain file>")
                                << QStringLiteral("pas un port série mais un fichier ordinaire");
    QTest::newRow("folder") << QStringLiteral("<folder>")
                            << QStringLiteral("pas un port série mais un dossier");
    QTest::newRow("null device") << QStringLiteral("/dev/null")
                                 << QStringLiteral("pas un port série");
    QTest::newRow("pty multiplexer")
        << QStringLiteral("/dev/ptmx") << QStringLiteral("multiplexeur des pseudo-terminaux");
    if (QFileInfo::exists(QStringLiteral("/dev/pts/ptmx"))) {
        QTest::newRow("pty multiplexer of the pts folder")
            << QStringLiteral("/dev/pts/ptmx") << QStringLiteral("multiplexeur");
    }
    QTest::newRow("own terminal") << QStringLiteral("/dev/tty")
                                  << QStringLiteral("pas un port série mais le terminal");
    // Terminal devices that are no serial line, whatever their name: the message says what a
    // serial port looks like.
    for (const QString &console : {QStringLiteral("/dev/tty0"), QStringLiteral("/dev/tty1")}) {
        if (QFileInfo::exists(console))
            QTest::newRow(qPrintable(console)) << console << QStringLiteral("console virtuelle");
    }
    QTest::newRow("last virtual console")
        << QStringLiteral("<node 4:63>") << QStringLiteral("console virtuelle du système (tty63)");
    QTest::newRow("system console") << QStringLiteral("<node 5:1>")
                                    << QStringLiteral("la console du système ; un port série se "
                                                      "nomme par exemple /dev/ttyS0");
    QTest::newRow("own terminal, other name")
        << QStringLiteral("<node 5:0>") << QStringLiteral("le terminal de ce programme ; un port");
}

void SerialControlTest::openFailureLeavesPortClosed()
{
    QFETCH(QString, portText);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString plainFile = dir.filePath(QStringLiteral("plain.txt"));
    {
        QFile file(plainFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a tty");
    }
    portText.replace(QStringLiteral("<plain file>"), plainFile);
    portText.replace(QStringLiteral("<folder>"), dir.path());
#ifndef Q_OS_WIN  // device nodes: Linux rows only
    if (portText.startsWith(QStringLiteral("<node "))) {
        const QStringList numbers = portText.mid(6).chopped(1).split(u':');
        portText = dir.filePath(QStringLiteral("node"));
        const dev_t number = makedev(numbers.at(0).toUInt(), numbers.at(1).toUInt());
        if (::mknod(QFile::encodeName(portText).constData(), S_IFCHR | 0600, number) != 0)
            QSKIP(qPrintable(QStringLiteral("no device node (%1): the super-user is needed")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno)))));
    }
#endif

    SerialControl comm;
    QSignalSpy lost(&comm, &SerialControl::portLost);
    comm.setCommPort(portText);
    QVERIFY(!comm.setPortOpen(true));
    QVERIFY(!comm.portOpen());
    const QString error = comm.lastError();
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY2(error.startsWith(QStringLiteral("Impossible d'ouvrir le port")), qPrintable(error));
    if (!portText.isEmpty())
        QVERIFY2(error.contains(portText), qPrintable(error));
    // French only: none of the system's own texts.
    for (int number = 1; number < 134; ++number) {
        const QString english = QString::fromLocal8Bit(std::strerror(number));
        QVERIFY2(!error.contains(english, Qt::CaseInsensitive), qPrintable(error));
    }

    // Nothing goes out through a port that did not open.
    QVERIFY(!comm.output(QByteArray("A1234567")));
    QVERIFY(!comm.portOpen());
    QVERIFY(lost.isEmpty());
}

void SerialControlTest::busyPortIsNamedAsBusy()
{
#ifdef Q_OS_WIN
    if (platine::test::runningUnderWine())
        QSKIP("Wine lets a second program open a COM port that is open");
#endif
    PtyBoard board;
    REQUIRE_PTY(board);
    SerialControl first;
    first.setCommPort(board.slavePath());
    QVERIFY2(first.setPortOpen(true), qPrintable(first.lastError()));

    SerialControl second;
    second.setCommPort(board.slavePath());
    QVERIFY(!second.setPortOpen(true));
    QVERIFY(!second.portOpen());
    const QString error = second.lastError();
    QVERIFY2(error.contains(QStringLiteral("déjà utilisé")), qPrintable(error));
    QVERIFY2(error.contains(board.slavePath()), qPrintable(error));
    QVERIFY2(!error.contains(QStringLiteral("accès refusé")), qPrintable(error));

    // The port that holds it keeps working.
    QVERIFY(first.portOpen());
    const QByteArray frame("A\x00\xff", 3);
    QVERIFY2(first.output(frame), qPrintable(first.lastError()));
    QCOMPARE(board.read(frame.size()), frame);
}

void SerialControlTest::deniedPortNamesTheGroup_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("namesGroup");

    // The owner (this test) is refused; the group may read and write: join the group.
    QTest::newRow("group may use it") << 0060 << true;
    // Nobody may: no group to join.
    QTest::newRow("nobody may") << 0 << false;
}

void SerialControlTest::deniedPortNamesTheGroup()
{
    QFETCH(int, mode);
    QFETCH(bool, namesGroup);
#ifdef Q_OS_WIN
    Q_UNUSED(mode);
    Q_UNUSED(namesGroup);
    QSKIP("the rights of a Unix device file");
#else
    if (::geteuid() == 0)
        QSKIP("root may open any device");
    PtyBoard board;
    REQUIRE_PTY(board);
    const QByteArray path = QFile::encodeName(board.slavePath());
    QVERIFY(::chmod(path.constData(), static_cast<mode_t>(mode)) == 0);

    SerialControl comm;
    comm.setCommPort(board.slavePath());
    QVERIFY(!comm.setPortOpen(true));
    QVERIFY(!comm.portOpen());
    const QString error = comm.lastError();
    QVERIFY2(error.contains(QStringLiteral("accès refusé")), qPrintable(error));
    QVERIFY2(error.contains(board.slavePath()), qPrintable(error));
    QVERIFY2(!error.contains(QStringLiteral("déjà utilisé")), qPrintable(error));
    const QString group = QFileInfo(board.slavePath()).group();
    QVERIFY(!group.isEmpty());
    QCOMPARE(error.contains(QStringLiteral("groupe « %1 »").arg(group)), namesGroup);
#endif
}

void SerialControlTest::outputOnClosedPortFails()
{
    PtyBoard board;
    REQUIRE_PTY(board);
    SerialControl comm;
    comm.setCommPort(board.slavePath());
    QVERIFY(!comm.output(QByteArray("B")));
    QVERIFY2(comm.lastError().contains(QStringLiteral("fermé")), qPrintable(comm.lastError()));
    QVERIFY(!comm.portOpen());
    QVERIFY(board.read(-1, 100).isEmpty());
}

void SerialControlTest::unplugClosesOnceWithoutSpinning()
{
    SerialControl comm;
    QSignalSpy lost(&comm, &SerialControl::portLost);
    {
        PtyBoard board;
        REQUIRE_PTY(board);
        comm.setCommPort(board.slavePath());
        QVERIFY2(comm.setPortOpen(true), qPrintable(comm.lastError()));
        QVERIFY2(comm.output(QByteArray("A")), qPrintable(comm.lastError()));
        QCOMPARE(board.read(1), QByteArray("A"));

        const qint64 cpuBefore = processCpuMs();
        // Qt reads a hung-up line's error from errno; left clear, Qt 6.4 reports a read error
        // at every wakeup of the event loop, the worst case.
        errno = 0;
        board.close();
        QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 3000);
        QVERIFY(!comm.portOpen());
        // A second of the event loop, cut short by a second loss or by spinning.
        (void)QTest::qWaitFor(
            [&] { return lost.size() > 1 || processCpuMs() - cpuBefore >= kSpinningCpuMs; }, 1000);
        const qint64 cpuUsed = processCpuMs() - cpuBefore;
        // A port left open on a hung-up line keeps the process at full load.
        QVERIFY2(cpuUsed < kSpinningCpuMs, qPrintable(QStringLiteral("%1 ms of CPU").arg(cpuUsed)));
        QCOMPARE(lost.size(), 1);
        const QString message = lost.first().first().toString();
        QVERIFY2(message.contains(board.slavePath()), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("fermé")), qPrintable(message));
        QCOMPARE(comm.lastError(), message);
    }

    // The device is back (a new one here): the next opening works.
    PtyBoard board;
    REQUIRE_PTY(board);
    comm.setCommPort(board.slavePath());
    QVERIFY2(comm.setPortOpen(true), qPrintable(comm.lastError()));
    const QByteArray frame = allByteValues();
    QVERIFY2(comm.output(frame), qPrintable(comm.lastError()));
    QCOMPARE(board.read(frame.size()), frame);
    QVERIFY(board.write(QByteArray(26, 'x')));
    QByteArray received;
    QTRY_VERIFY((received += comm.input()).size() >= 26);
    QCOMPARE(received, QByteArray(26, 'x'));
    QCOMPARE(lost.size(), 1);
}

void SerialControlTest::writeToVanishedDeviceFails()
{
    PtyBoard board;
    REQUIRE_PTY(board);
    SerialControl comm;
    QSignalSpy lost(&comm, &SerialControl::portLost);
    comm.setCommPort(board.slavePath());
    QVERIFY2(comm.setPortOpen(true), qPrintable(comm.lastError()));

    // The line is hung up before the control had a chance to notice.
    board.close();
    QVERIFY(!comm.output(allByteValues()));
    QVERIFY(!comm.portOpen());
    QCOMPARE(lost.size(), 1);
    QVERIFY2(comm.lastError().contains(QStringLiteral("fermé")), qPrintable(comm.lastError()));

    // Later signals of the dead line add nothing, nor does the next check of the device.
    QVERIFY(!lost.wait(SerialControl::kDeviceCheckIntervalMs + 200));
    QCOMPARE(lost.size(), 1);
    QVERIFY(!comm.portOpen());
}

QTEST_GUILESS_MAIN(SerialControlTest)
#include "test_serial_control.moc"
